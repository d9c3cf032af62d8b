// telkaro-instrument: a virtual microplate photometer on a pseudo-terminal.
//
// The program under test talks to the slave side of the pty exactly as it talks to the real
// instrument on a serial line; this tool answers on the master side. Faults (silence, stalls,
// garbage, floods, a vanishing port) are switched on and off through stdin so that tests can
// drive them at the right moment. See usage() for the interface.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0; // one 8N1 character at 9600 baud
constexpr int kMaxStrips = 12;
constexpr int kRows = 8;
constexpr std::size_t kMaxLine = 256;

volatile std::sig_atomic_t gStopSignal = 0;

void onStopSignal(int) {
    gStopSignal = 1;
}

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// ---------------------------------------------------------------------------------------------
// Options and modes

struct Modes {
    char status = '0';
    bool silent = false;
    bool bare = false;
    bool pace = false;
    bool lower = false;
    bool garbage = false;
    bool flood = false;
    long stallAfter = -1; // cut the next reply after this many bytes; -1: no stall pending
};

struct Options {
    Modes modes;
    int measureMs = 3000;
    std::uint64_t seed = 1;
    std::string link;
    std::string log;
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
    const auto *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseOptions(int argc, char **argv, Options &opt) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pace") {
            opt.modes.pace = true;
        } else if (arg == "--silent") {
            opt.modes.silent = true;
        } else if (arg == "--bare-ok") {
            opt.modes.bare = true;
        } else if (arg == "--exit-with-parent") {
            opt.exitWithParent = true;
        } else if (arg == "--status" && hasValue && std::strlen(argv[i + 1]) == 1) {
            opt.modes.status = argv[++i][0];
        } else if (arg == "--measure-ms" && hasValue && parseNumber(argv[i + 1], opt.measureMs) &&
                   opt.measureMs >= 0) {
            ++i;
        } else if (arg == "--seed" && hasValue && parseNumber(argv[i + 1], opt.seed)) {
            ++i;
        } else if (arg == "--link" && hasValue) {
            opt.link = argv[++i];
        } else if (arg == "--log" && hasValue) {
            opt.log = argv[++i];
        } else {
            std::fprintf(stderr, "telkaro-instrument: bad argument '%s'\n", argv[i]);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Escaping for the log and for "send"

std::string escape(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u >= 0x20 && u < 0x7f) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        unsigned value = 0;
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x' && i + 2 < text.size() &&
                   std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                       text.data() + i + 3) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += c; // "\\" and anything unknown stand for the character itself
        }
    }
    return out;
}

class Log {
public:
    explicit Log(double start)
        : start_(start) {}
    ~Log() {
        if (file_)
            std::fclose(file_);
    }
    Log(const Log &) = delete;
    Log &operator=(const Log &) = delete;

    bool open(const std::string &path) {
        file_ = std::fopen(path.c_str(), "a");
        if (file_)
            std::fprintf(file_, "# start %.3f\n", start_);
        return file_ != nullptr;
    }

    void write(const char *direction, std::string_view bytes) {
        if (!file_ || bytes.empty())
            return;
        std::fprintf(file_, "%s %.3f %s\n", direction, monotonicMs() - start_,
                     escape(bytes).c_str());
        std::fflush(file_);
    }

private:
    std::FILE *file_ = nullptr;
    double start_;
};

// ---------------------------------------------------------------------------------------------
// The photometer's command set

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Photometer {
public:
    Photometer(std::uint64_t seed, int measureMs)
        : seed_(seed)
        , measureMs_(measureMs) {}

    // Returns true and fills `body` (the reply without its final OK) when the line is answered.
    bool handle(std::string_view line, double now, char status, std::string &body) {
        if (now < busyUntil_)
            return false; // measuring: the instrument does not listen
        body.clear();
        if (line == "E") {
            body = std::string(1, status) + " ";
        } else if (line[0] == 'J') {
            if (!setStrips(line.substr(1)))
                return false;
        } else if (line == "Z") {
            ++measurement_;
            busyUntil_ = now + measureMs_;
        } else if (line == "X0" || (line.size() > 2 && line[0] == 'X' && line.back() == '0' &&
                                    line.find_first_not_of(' ', 1) == line.size() - 1)) {
            body = dataBlock();
        } else {
            return false;
        }
        return true;
    }

private:
    // "J n" is acknowledged for any number; only 1..12 changes the strip count.
    bool setStrips(std::string_view arg) {
        while (!arg.empty() && arg.front() == ' ')
            arg.remove_prefix(1);
        long n = 0;
        if (!parseNumber(arg, n))
            return false;
        if (n >= 1 && n <= kMaxStrips)
            strips_ = static_cast<int>(n);
        return true;
    }

    // An optical density 0.040..3.500, weighted towards the low end like a real plate.
    int value(int strip, int row) const {
        const std::uint64_t h = mix(mix(mix(seed_) ^ measurement_) ^ (strip * 16 + row));
        const auto a = static_cast<int>(h % 3461);
        const auto b = static_cast<int>((h >> 32) % 3461);
        return 40 + a * b / 3460;
    }

    std::string dataBlock() const {
        std::string out;
        for (int strip = 0; strip < strips_; ++strip) {
            for (int row = 0; row < kRows; ++row) {
                char digits[8];
                std::snprintf(digits, sizeof digits, row ? " %04d" : "%04d", value(strip, row));
                out += digits;
            }
            out += "\r\n";
        }
        return out;
    }

    std::uint64_t seed_;
    int measureMs_;
    int strips_ = kMaxStrips;
    std::uint64_t measurement_ = 0;
    double busyUntil_ = 0;
};

// Bytes the program must skip: nothing in '0'..'Z', and never CR or LF.
std::string garbleReply(const std::string &reply, std::uint64_t &state) {
    // Each entry is one piece of junk; "\xD0\x9F" is a Cyrillic letter in UTF-8.
    static constexpr std::string_view junk[] = {
        " ",    ",",    ".",    "-",    "+",    "!",    "/",        "#",
        "a",    "e",    "q",    "x",    "z",    "\t",   "\x01",     "\x07",
        "\x1b", "\x7f", "\xff", "\x80", "\xfe", "\xc3", "\xd0\x9f", {"\0", 1}};
    constexpr std::size_t junkCount = sizeof junk / sizeof junk[0];
    std::string out;
    for (std::size_t i = 0; i < reply.size(); ++i) {
        out += reply[i];
        if (i + 1 == reply.size())
            break;
        state = mix(state);
        const int pieces = 1 + static_cast<int>(state % 2);
        for (int p = 0; p < pieces; ++p)
            out += junk[(state >> (8 + 8 * p)) % junkCount];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// The pseudo-terminal and the paced output towards it

class Pty {
public:
    ~Pty() { close(); }

    bool open(std::string &error) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 || !ptsname(master_))
            return fail(error, "posix_openpt");
        slaveName_ = ptsname(master_);
        // Holding the slave open keeps the master readable and writable while the program
        // under test has not opened the port yet (or has closed it again).
        slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (slave_ < 0 || tcgetattr(slave_, &tio) != 0)
            return fail(error, "slave");
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        if (tcsetattr(slave_, TCSANOW, &tio) != 0 ||
            fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0)
            return fail(error, "termios");
        return true;
    }

    void close() {
        for (int *fd : {&master_, &slave_}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }

    int master() const { return master_; }
    const std::string &slaveName() const { return slaveName_; }

    void queue(std::string_view bytes, double now) {
        if (out_.empty())
            nextByteAt_ = std::max(nextByteAt_, now);
        out_ += bytes;
    }

    bool hasOutput(const Modes &m) const { return !out_.empty() || m.flood; }
    bool blocked() const { return blocked_; }
    void unblock() { blocked_ = false; }

    // Milliseconds until the next paced byte is due, or -1 when no timer is needed.
    double msUntilNextByte(const Modes &m, double now) const {
        if (!m.pace || blocked_ || !hasOutput(m))
            return -1;
        return std::max(0.0, nextByteAt_ - now);
    }

    // Writes whatever is due without ever blocking; flood bytes fill an otherwise idle line.
    void pump(const Modes &m, double now, Log &log) {
        std::size_t budget = 1 << 16; // then return to poll() so commands keep being read
        while (master_ >= 0 && !blocked_ && hasOutput(m) && budget > 0) {
            std::size_t allowed = budget;
            if (m.pace) {
                if (nextByteAt_ < now - 20 * kByteMs)
                    nextByteAt_ = now; // the line was held up: resume, do not burst
                if (now < nextByteAt_)
                    return;
                allowed = 1 + static_cast<std::size_t>((now - nextByteAt_) / kByteMs);
            }
            std::string chunk = out_.substr(0, std::min(allowed, std::size_t{4096}));
            const std::size_t queued = chunk.size();
            while (m.flood && chunk.size() < std::min(allowed, std::size_t{512}))
                chunk += floodChar(floodCount_ + chunk.size() - queued);
            const ssize_t n = ::write(master_, chunk.data(), chunk.size());
            if (n < 0) {
                blocked_ = (errno == EAGAIN || errno == EWOULDBLOCK || errno == EIO);
                if (errno == EINTR || blocked_)
                    continue;
                return;
            }
            const auto written = static_cast<std::size_t>(n);
            log.write("TX", std::string_view(chunk).substr(0, written));
            const std::size_t fromQueue = std::min(written, out_.size());
            out_.erase(0, fromQueue);
            floodCount_ += written - fromQueue;
            nextByteAt_ += static_cast<double>(written) * kByteMs;
            budget -= std::min(budget, written);
        }
    }

private:
    static char floodChar(std::uint64_t i) {
        static constexpr std::string_view chars = "0123456789ABCDEFGHIJKLMN"; // never "OK"
        return chars[i % chars.size()];
    }

    bool fail(std::string &error, const char *what) {
        error = std::string(what) + ": " + std::strerror(errno);
        return false;
    }

    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
    std::string out_;
    double nextByteAt_ = 0;
    bool blocked_ = false;
    std::uint64_t floodCount_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The instrument: pty + photometer + control channel

class Instrument {
public:
    explicit Instrument(const Options &opt)
        : opt_(opt)
        , modes_(opt.modes)
        , log_(monotonicMs())
        , photometer_(opt.seed, opt.measureMs)
        , garbleState_(mix(opt.seed ^ 0x6A72ull)) {}

    int run() {
        const std::string error = setUp();
        if (!error.empty()) {
            std::fprintf(stderr, "telkaro-instrument: %s\n", error.c_str());
            shutdown();
            return 1;
        }
        say(pty_.slaveName());
        loop();
        shutdown();
        return 0;
    }

private:
    std::string setUp() {
        std::string error;
        if (!opt_.log.empty() && !log_.open(opt_.log))
            return "cannot open log " + opt_.log;
        if (!pty_.open(error))
            return "pty " + error;
        if (opt_.link.empty())
            return {};
        unlinkIfSymlink(opt_.link); // left over from a run that was killed
        if (symlink(pty_.slaveName().c_str(), opt_.link.c_str()) != 0)
            return "cannot create link " + opt_.link + ": " + std::strerror(errno);
        linked_ = true;
        return {};
    }

    static void unlinkIfSymlink(const std::string &path) {
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            unlink(path.c_str());
    }

    static void say(const std::string &line) {
        std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
    }

    void shutdown() {
        pty_.close();
        if (linked_)
            unlinkIfSymlink(opt_.link);
        linked_ = false;
    }

    void loop() {
        sigset_t waitMask;
        sigprocmask(SIG_SETMASK, nullptr, &waitMask);
        sigdelset(&waitMask, SIGINT);
        sigdelset(&waitMask, SIGTERM);
        const pid_t parent = getppid();
        while (!quit_ && !gStopSignal) {
            if (opt_.exitWithParent && getppid() != parent)
                break;
            double now = monotonicMs();
            pty_.pump(modes_, now, log_);
            pollfd fds[2] = {{pty_.master(), POLLIN, 0}, {stdinOpen_ ? 0 : -1, POLLIN, 0}};
            if (pty_.blocked() && pty_.hasOutput(modes_))
                fds[0].events |= POLLOUT;
            double waitMs = pty_.msUntilNextByte(modes_, now);
            if (opt_.exitWithParent && (waitMs < 0 || waitMs > 500))
                waitMs = 500;
            timespec timeout{static_cast<time_t>(waitMs / 1000),
                             static_cast<long>(std::fmod(waitMs, 1000.0) * 1e6)};
            if (ppoll(fds, 2, waitMs < 0 ? nullptr : &timeout, &waitMask) < 0)
                continue; // EINTR: a signal, checked above
            if (fds[0].revents & POLLOUT)
                pty_.unblock();
            if (fds[1].revents)
                readControl();
            if (!quit_ && (fds[0].revents & (POLLIN | POLLHUP)))
                readLine();
        }
    }

    void readLine() {
        char buf[4096];
        const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
        if (n <= 0)
            return;
        const std::string_view bytes(buf, static_cast<std::size_t>(n));
        log_.write("RX", bytes);
        for (const char c : bytes) {
            if (c != '\r' && c != '\n') {
                if (line_.size() < kMaxLine)
                    line_ += c;
                continue;
            }
            const auto first = line_.find_first_not_of(' ');
            if (first != std::string::npos)
                command(line_.substr(first, line_.find_last_not_of(' ') + 1 - first));
            line_.clear();
        }
    }

    void command(const std::string &line) {
        std::string body;
        if (modes_.silent || !photometer_.handle(line, monotonicMs(), modes_.status, body))
            return;
        std::string reply = body + "OK" + (modes_.bare ? "" : "\r\n");
        if (modes_.lower)
            for (char &c : reply)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (modes_.garbage)
            reply = garbleReply(reply, garbleState_);
        if (modes_.stallAfter >= 0) {
            reply.resize(std::min(reply.size(), static_cast<std::size_t>(modes_.stallAfter)));
            modes_.stallAfter = -1;
        }
        pty_.queue(reply, monotonicMs());
    }

    void readControl() {
        char buf[1024];
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            stdinOpen_ = false; // EOF on stdin: keep running, just stop listening there
            return;
        }
        control_.append(buf, static_cast<std::size_t>(n));
        for (auto eol = control_.find('\n'); eol != std::string::npos && !quit_;
             eol = control_.find('\n')) {
            std::string line = control_.substr(0, eol);
            control_.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::string error = controlCommand(line);
            say(error.empty() ? "ok " + line : "error " + error);
        }
    }

    // Returns an empty string on success, else what was wrong.
    std::string controlCommand(const std::string &line) {
        const auto space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
        bool *flag = word == "silent"    ? &modes_.silent
                     : word == "bare"    ? &modes_.bare
                     : word == "pace"    ? &modes_.pace
                     : word == "lower"   ? &modes_.lower
                     : word == "garbage" ? &modes_.garbage
                     : word == "flood"   ? &modes_.flood
                                         : nullptr;
        if (flag) {
            if (arg != "on" && arg != "off")
                return word + " wants on or off";
            *flag = arg == "on";
            if (word == "flood" || word == "pace")
                pty_.queue("", monotonicMs()); // restart the byte clock
        } else if (word == "status" && arg.size() == 1) {
            modes_.status = arg[0];
        } else if (word == "stall" && parseNumber(arg, modes_.stallAfter) &&
                   modes_.stallAfter >= 0) {
        } else if (word == "send") {
            pty_.queue(unescape(arg), monotonicMs());
        } else if (word == "close" || word == "quit") {
            if (word == "close")
                shutdown();
            quit_ = true;
        } else {
            return "unknown command: " + line;
        }
        return {};
    }

    Options opt_;
    Modes modes_;
    Log log_;
    Pty pty_;
    Photometer photometer_;
    std::uint64_t garbleState_;
    std::string line_;
    std::string control_;
    bool stdinOpen_ = true;
    bool quit_ = false;
    bool linked_ = false;
};

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
    Instrument instrument(opt);
    return instrument.run();
}
