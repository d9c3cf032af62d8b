// SPDX-License-Identifier: GPL-3.0-or-later
// What Wine does with a COM port that is a pseudo-terminal underneath, done
// the way Qt Serial Port's Windows code does it: the port opened for
// overlapped I/O and tied to an I/O completion port, EV_RXCHAR waited for
// with WaitCommEvent, the data read with an overlapped ReadFile, every
// completion taken from the completion port. It writes "E" CR LF, which the
// virtual instrument answers with a status reply, and prints one line a
// step. Built and run by scripts/windows-build.sh:
//   comm_probe.exe COM5
// Exit code 0 when the completion port delivered the reply as Windows
// does, 1 when it did not (the limit is printed), 2 when the port did not open.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
const ULONG_PTR portKey = 1;

// Waits for one completion packet; false when none came in time.
bool takeCompletion(HANDLE iocp, DWORD timeoutMs, OVERLAPPED **which, DWORD *bytes) {
    ULONG_PTR key = 0;
    *which = nullptr;
    *bytes = 0;
    return GetQueuedCompletionStatus(iocp, bytes, &key, which, timeoutMs) || *which != nullptr;
}

std::string shown(const char *data, DWORD size) {
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c < 32 || c > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        } else
            text += static_cast<char>(c);
    }
    return text;
}
} // namespace

int main(int argc, char **argv) {
    const std::string name = argc > 1 ? argv[1] : "COM5";
    const std::string path = "\\\\.\\" + name;
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        std::printf("open %s: failed, error %lu\n", name.c_str(), GetLastError());
        return 2;
    }
    std::printf("open %s: ok\n", name.c_str());

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    std::printf("line settings: %s\n", SetCommState(port, &dcb) ? "ok" : "failed");
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD; // as Qt: a read returns what is there
    SetCommTimeouts(port, &timeouts);
    SetCommMask(port, EV_RXCHAR);

    HANDLE iocp = CreateIoCompletionPort(port, nullptr, portKey, 0);
    std::printf("completion port: %s\n", iocp ? "ok" : "failed");

    OVERLAPPED commEvent{};
    DWORD mask = 0;
    const BOOL waited = WaitCommEvent(port, &mask, &commEvent);
    const DWORD waitError = waited ? 0 : GetLastError();
    std::printf("WaitCommEvent: %s, mask 0x%lX\n",
                waited ? "completed at once" : (waitError == ERROR_IO_PENDING ? "pending" : "failed"),
                mask);

    DWORD written = 0;
    OVERLAPPED writeDone{};
    WriteFile(port, "E\r\n", 3, &written, &writeDone);

    // What the completion port delivers within 3 s: on Windows, the comm
    // event (EV_RXCHAR once the reply arrives) and the write.
    bool commEventSeen = false;
    for (int i = 0; i < 4; ++i) {
        OVERLAPPED *which = nullptr;
        DWORD bytes = 0;
        if (!takeCompletion(iocp, 3000, &which, &bytes))
            break;
        if (which == &commEvent) {
            commEventSeen = true;
            std::printf("completion: WaitCommEvent, mask 0x%lX\n", mask);
        } else if (which == &writeDone) {
            std::printf("completion: write, %lu bytes\n", bytes);
        }
    }
    if (!commEventSeen)
        std::printf("completion: none for WaitCommEvent within 3 s\n");

    // An overlapped read straight away, as Qt does after a comm event.
    char buffer[64];
    OVERLAPPED readDone{};
    DWORD got = 0;
    if (!ReadFile(port, buffer, sizeof buffer, &got, &readDone) &&
        GetLastError() == ERROR_IO_PENDING)
        GetOverlappedResult(port, &readDone, &got, TRUE);
    std::printf("ReadFile: %lu bytes \"%s\"\n", got, shown(buffer, got).c_str());

    const bool likeWindows = commEventSeen && (mask & EV_RXCHAR);
    std::printf("result: %s\n", likeWindows
                                    ? "the comm event reached the completion port, as on Windows"
                                    : "the comm event never reached the completion port: a "
                                      "program that waits for it, as Qt Serial Port does, "
                                      "receives nothing here");
    CloseHandle(iocp);
    CloseHandle(port);
    return likeWindows ? 0 : 1;
}
