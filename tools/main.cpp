// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-instrument: a virtual microplate photometer on a pseudo-terminal.
//
// The program under test talks to the slave side of the pty exactly as it talks to the real
// instrument on a serial line; this tool answers on the master side. Faults (silence, stalls,
// garbage, floods, a vanishing port) are switched on and off through stdin so that tests can
// drive them at the right moment. See usage() for the interface.

#include "tools/instrument.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int) {
    stopSignal = 1;
}

struct Options {
    instrument::Settings settings;
    bool exitWithParent = false;
};

void usage(std::FILE *out) {
    std::fputs(
        "usage: telkaro-instrument [options]\n"
        "Opens a pseudo-terminal, prints its slave path on the first line of stdout and answers\n"
        "there like the photometer (E, J n, Z, X 0; every reply ends with OK).\n"
        "  --status C        status character in status replies (default 0)\n"
        "  --pace            send replies at the speed of 9600 baud 8N1\n"
        "  --silent          never answer\n"
        "  --bare-ok         no CR LF after the final OK of a reply\n"
        "  --measure-ms N    duration of a measurement (default 3000)\n"
        "  --seed N          seed of the measured values (default 1)\n"
        "  --plate FILE.dat  measure this plate (a plate file the program saved) instead\n"
        "  --link PATH       symlink PATH to the slave while running\n"
        "  --log FILE        append RX/TX lines with timestamps to FILE\n"
        "  --exit-with-parent  exit when the parent process goes away\n"
        "  --help            this text\n"
        "stdin, one per line (each answered on stdout with 'ok <line>' or 'error <why>'):\n"
        "  status C | silent on|off | bare on|off | pace on|off | lower on|off\n"
        "  garbage on|off | flood on|off | stall N | send TEXT (\\r \\n \\t \\\\ \\xHH)\n"
        "  close | quit\n",
        out);
}

template <typename T> bool parseNumber(std::string_view text, T &value) {
    T parsed{};
    const auto *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc() || ptr != end)
        return false;
    value = parsed;
    return true;
}

bool parseOptions(int argc, char **argv, Options &opt) {
    instrument::Settings &s = opt.settings;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pace") {
            s.modes.pace = true;
        } else if (arg == "--silent") {
            s.modes.silent = true;
        } else if (arg == "--bare-ok") {
            s.modes.bare = true;
        } else if (arg == "--exit-with-parent") {
            opt.exitWithParent = true;
        } else if (arg == "--status" && hasValue && std::strlen(argv[i + 1]) == 1) {
            s.modes.status = argv[++i][0];
        } else if (arg == "--measure-ms" && hasValue && parseNumber(argv[i + 1], s.measureMs) &&
                   s.measureMs >= 0) {
            ++i;
        } else if (arg == "--seed" && hasValue && parseNumber(argv[i + 1], s.seed)) {
            ++i;
        } else if (arg == "--plate" && hasValue) {
            std::string why;
            s.plate = instrument::readPlateFile(argv[++i], why);
            if (s.plate.empty()) {
                std::fprintf(stderr, "telkaro-instrument: %s\n", why.c_str());
                return false;
            }
        } else if (arg == "--link" && hasValue) {
            s.link = argv[++i];
        } else if (arg == "--log" && hasValue) {
            s.log = argv[++i];
        } else {
            std::fprintf(stderr, "telkaro-instrument: bad argument '%s'\n", argv[i]);
            return false;
        }
    }
    return true;
}

void say(const std::string &line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Control lines from stdin; at its end the instrument keeps running, it just stops listening.
void readControl(instrument::Instrument &instrument, bool &stdinOpen) {
    char buf[1024];
    const ssize_t n = ::read(0, buf, sizeof buf);
    if (n < 0 && errno == EINTR)
        return;
    if (n <= 0) {
        stdinOpen = false;
        return;
    }
    for (const std::string &answer : instrument.control({buf, static_cast<std::size_t>(n)}))
        say(answer);
}

// Waits in ppoll() for the line, stdin, the next paced byte or SIGINT/SIGTERM.
void loop(instrument::Instrument &instrument, bool exitWithParent) {
    sigset_t waitMask;
    sigprocmask(SIG_SETMASK, nullptr, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    const pid_t parent = getppid();
    bool stdinOpen = true;
    while (!instrument.quitting() && !stopSignal) {
        if (exitWithParent && getppid() != parent)
            break;
        const double now = instrument::monotonicMs();
        instrument.pump(now);
        pollfd fds[2] = {{instrument.lineFd(), POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
        if (instrument.waitsForWritable())
            fds[0].events |= POLLOUT;
        double waitMs = instrument.msUntilNextByte(now);
        if (exitWithParent && (waitMs < 0 || waitMs > 500))
            waitMs = 500;
        timespec timeout{static_cast<time_t>(waitMs / 1000),
                         static_cast<long>(std::fmod(waitMs, 1000.0) * 1e6)};
        if (ppoll(fds, 2, waitMs < 0 ? nullptr : &timeout, &waitMask) < 0)
            continue; // EINTR: a signal, checked above
        if (fds[0].revents & POLLOUT)
            instrument.writable();
        if (fds[1].revents)
            readControl(instrument, stdinOpen);
        if (!instrument.quitting() && (fds[0].revents & (POLLIN | POLLHUP)))
            instrument.readLine();
    }
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help") {
            usage(stdout);
            return 0;
        }
    }
    Options opt;
    if (!parseOptions(argc, argv, opt)) {
        usage(stderr);
        return 2;
    }
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && ::open("/dev/null", O_RDWR) != fd)
            return 1; // keep the pty off the standard descriptors
    }
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr); // delivered only inside ppoll()

    instrument::Instrument instrument(opt.settings);
    const std::string error = instrument.setUp();
    if (!error.empty()) {
        std::fprintf(stderr, "telkaro-instrument: %s\n", error.c_str());
        instrument.shutdown();
        return 1;
    }
    say(instrument.slaveName());
    loop(instrument, opt.exitWithParent);
    instrument.shutdown();
    return 0;
}
