// telkaro-bench-process: starts programs against the virtual instrument and
// measures them from the outside, as processes.
//
//   startup --runs N [--warmup W] [--shown-lib LIB] NAME=PROGRAM NAME=PROGRAM
//       Start-up of two programs, started the same way and in turns (ABBA...).
//       Each run gets a fresh instrument. "loaded": the first "E" in the
//       instrument's log, less the link timer's 500 ms, since the program was
//       spawned. "peak memory": ru_maxrss from wait4 when the program is ended
//       300 ms after that poll. With --shown-lib, every run is repeated with the
//       library preloaded, for "shown": when the window was exposed and painted.
//       Prints one table row per figure, the median of the runs, the first
//       program against the second.
//
//   idle --seconds S [--settle MS] NAME=PROGRAM[:STATUS] ...
//       Runs every program at the same time, each with its own instrument
//       answering with STATUS (default 0), lets them settle, then measures the
//       CPU time each uses over S seconds: the sum over its threads of
//       /proc/PID/task/TID/schedstat (nanoseconds) and, as a check, utime+stime
//       of /proc/PID/stat (clock ticks).
//
// Table rows go to stdout as TAB-separated fields: section, figure, value, unit,
// compared with, ratio, goal, verdict. Everything else goes to stderr.
#include "tools/wire_log.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

namespace fs = std::filesystem;

constexpr double timerMs = 500; // the first poll comes one link-timer interval after loading

using instrument::monotonicMs;

void sleepMs(double ms) {
    if (ms <= 0)
        return;
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(std::fmod(ms, 1000.0) * 1e6)};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

[[noreturn]] void die(const std::string &what) {
    std::fprintf(stderr, "telkaro-bench-process: %s\n", what.c_str());
    std::exit(1);
}

double median(std::vector<double> v) {
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string fmt(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void row(const std::string &section, const std::string &figure, const std::string &value,
         const std::string &unit, const std::string &against, const std::string &ratio,
         const std::string &goal, const std::string &verdict) {
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", section.c_str(), figure.c_str(), value.c_str(),
                unit.c_str(), against.c_str(), ratio.c_str(), goal.c_str(), verdict.c_str());
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Child processes

class Environment {
public:
    Environment() {
        for (char **e = environ; *e; ++e)
            m_vars.emplace_back(*e);
    }
    void set(const std::string &name, const std::string &value) {
        unset(name);
        m_vars.push_back(name + "=" + value);
    }
    void unset(const std::string &name) {
        std::erase_if(m_vars, [&](const std::string &v) { return v.starts_with(name + "="); });
    }
    std::vector<char *> pointers() {
        std::vector<char *> result;
        for (std::string &v : m_vars)
            result.push_back(v.data());
        result.push_back(nullptr);
        return result;
    }

private:
    std::vector<std::string> m_vars;
};

// Starts argv[0] with stdin and stdout from the descriptors given (when not
// -1), and stderr too when quiet.
pid_t spawn(const std::vector<std::string> &argv, Environment &env, int stdinFd, int stdoutFd,
            bool quiet = false) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    if (quiet && stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 2);
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char *> envp = env.pointers();
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        die("cannot start " + argv[0] + ": " + std::strerror(error));
    return pid;
}

struct Ended {
    double maxRssKb = 0;
    double cpuMs = 0;
};

Ended endProcess(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    for (int i = 0; i < 300; ++i) {
        const pid_t r = wait4(pid, &status, WNOHANG, &usage);
        if (r == pid) {
            Ended e;
            e.maxRssKb = static_cast<double>(usage.ru_maxrss);
            e.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
            return e;
        }
        sleepMs(10);
    }
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, &usage);
    die("a program did not end on SIGTERM");
}

// The virtual instrument on its own pseudo-terminal, with a log.
class Instrument {
public:
    Instrument(const fs::path &dir, const std::vector<std::string> &options)
        : m_logPath(dir / "instrument.log") {
        int out[2];
        if (pipe(out) != 0)
            die("pipe");
        const int devNull = open("/dev/null", O_RDONLY);
        std::vector<std::string> argv{TELKARO_INSTRUMENT_PATH, "--log", m_logPath.string(),
                                      "--exit-with-parent", "--bare-ok"};
        argv.insert(argv.end(), options.begin(), options.end());
        Environment env;
        m_pid = spawn(argv, env, devNull, out[1]);
        close(devNull);
        close(out[1]);
        std::string line;
        pollfd fd{out[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&fd, 1, 10000) > 0) {
            char buf[256];
            const ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, static_cast<std::size_t>(n));
        }
        m_stdout = out[0];
        if (line.find('\n') == std::string::npos)
            die("the virtual instrument did not start");
        m_port = line.substr(0, line.find('\n'));
    }
    ~Instrument() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        close(m_stdout);
    }
    Instrument(const Instrument &) = delete;
    Instrument &operator=(const Instrument &) = delete;

    const std::string &port() const { return m_port; }

    // The chunks received from the program so far, as (CLOCK_MONOTONIC ms, bytes).
    const std::vector<std::pair<double, std::string>> &received() const {
        for (instrument::WireRecord &record : m_log.readNew()) {
            if (record.direction == instrument::Direction::Received)
                m_received.emplace_back(m_log.startMs().value_or(0) + record.ms,
                                        std::move(record.bytes));
        }
        return m_received;
    }

    std::optional<double> firstPoll() const {
        for (const auto &[ms, bytes] : received())
            if (bytes.find('E') != std::string::npos)
                return ms;
        return std::nullopt;
    }

    int polls() const {
        int n = 0;
        for (const auto &[ms, bytes] : received())
            for (std::size_t at = bytes.find("E\r\n"); at != std::string::npos;
                 at = bytes.find("E\r\n", at + 1))
                ++n;
        return n;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    fs::path m_logPath;
    mutable instrument::WireLogReader m_log{m_logPath.string()};
    mutable std::vector<std::pair<double, std::string>> m_received;
    std::string m_port;
};

fs::path makeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "telkaro-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        die("mkdtemp");
    return pattern;
}

// A settings and runtime folder of its own, shared by every run of one program.
void isolate(Environment &env, const fs::path &home) {
    fs::create_directories(home / ".config");
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all, fs::perm_options::replace);
    env.set("HOME", home.string());
    env.set("XDG_CONFIG_HOME", (home / ".config").string());
    env.set("XDG_RUNTIME_DIR", (home / "run").string());
}

struct Program {
    std::string name;
    std::string path;
    std::string status = "0";
    std::string locale; // LC_ALL for the program; empty: as inherited
};

// NAME=PROGRAM[:STATUS[:LOCALE]]
Program parseProgram(const std::string &arg) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos)
        die("expected NAME=PROGRAM, got " + arg);
    Program p;
    p.name = arg.substr(0, eq);
    p.path = arg.substr(eq + 1);
    if (const auto colon = p.path.find(':'); colon != std::string::npos) {
        const std::string rest = p.path.substr(colon + 1);
        p.path.resize(colon);
        const auto second = rest.find(':');
        p.status = rest.substr(0, second);
        if (second != std::string::npos)
            p.locale = rest.substr(second + 1);
    }
    if (access(p.path.c_str(), X_OK) != 0)
        die("not a program: " + p.path);
    return p;
}

// ---------------------------------------------------------------------------------------------
// Start-up

struct StartRun {
    double loadedMs = 0;
    double shownMs = 0;
    double maxRssKb = 0;
    double cpuMs = 0;
};

StartRun startOnce(const Program &program, const fs::path &work, const std::string &shownLib) {
    const fs::path dir = work / "run";
    fs::remove_all(dir);
    fs::create_directories(dir);
    Instrument instrument(dir, {});
    Environment env;
    isolate(env, work / ("home-" + program.name));
    env.set("TELKARO_PORT", instrument.port());
    const fs::path shownFile = dir / "shown";
    if (!shownLib.empty()) {
        env.set("LD_PRELOAD", shownLib);
        env.set("TELKARO_BENCH_SHOWN_FILE", shownFile.string());
    }
    const int devNull = open("/dev/null", O_RDWR);
    const double t0 = monotonicMs();
    const pid_t pid = spawn({program.path}, env, devNull, devNull, true);
    close(devNull);

    StartRun run;
    std::optional<double> poll;
    double shown = 0;
    while (monotonicMs() - t0 < 20000) {
        sleepMs(25);
        if (!poll)
            poll = instrument.firstPoll();
        if (!shownLib.empty() && shown == 0) {
            std::ifstream in(shownFile);
            std::string word;
            in >> word >> shown;
        }
        if (poll && (shownLib.empty() || shown > 0))
            break;
    }
    if (!poll || (!shownLib.empty() && shown == 0)) {
        endProcess(pid);
        die(program.name + " did not poll the instrument or show its window in 20 s");
    }
    // Memory is read once the reply to the first poll has been handled.
    sleepMs(*poll + 300 - monotonicMs());
    const Ended ended = endProcess(pid);
    run.loadedMs = *poll - timerMs - t0;
    run.shownMs = shown > 0 ? shown - t0 : 0;
    run.maxRssKb = ended.maxRssKb;
    run.cpuMs = ended.cpuMs;
    return run;
}

int startup(int argc, char **argv) {
    int runs = 9;
    int warmup = 1;
    std::string shownLib;
    std::vector<Program> programs;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (arg == "--warmup" && i + 1 < argc)
            warmup = std::atoi(argv[++i]);
        else if (arg == "--shown-lib" && i + 1 < argc)
            shownLib = fs::absolute(argv[++i]).string();
        else
            programs.push_back(parseProgram(argv[i]));
    }
    if (programs.size() != 2 || runs < 1)
        die("startup wants --runs N and two programs");

    const fs::path work = makeTempDir();
    std::vector<StartRun> results[2];
    for (int round = 0; round < warmup + runs; ++round) {
        for (int k = 0; k < 2; ++k) {
            const int which = (round % 2 == 0) ? k : 1 - k; // ABBA: neither always goes first
            StartRun run = startOnce(programs[which], work, "");
            if (!shownLib.empty())
                run.shownMs = startOnce(programs[which], work, shownLib).shownMs;
            std::fprintf(stderr,
                         "%s %-10s loaded %7.1f ms  shown %7.1f ms  max RSS %7.0f KiB  CPU "
                         "%6.1f ms\n",
                         round < warmup ? "warm-up" : "run    ", programs[which].name.c_str(),
                         run.loadedMs, run.shownMs, run.maxRssKb, run.cpuMs);
            if (round >= warmup)
                results[which].push_back(run);
        }
    }
    fs::remove_all(work);

    auto figure = [&](double StartRun::*field) {
        std::vector<double> a, b;
        for (const StartRun &r : results[0])
            a.push_back(r.*field);
        for (const StartRun &r : results[1])
            b.push_back(r.*field);
        return std::pair{median(a), median(b)};
    };
    auto range = [&](double StartRun::*field, int which, double scale) {
        double lo = INFINITY, hi = -INFINITY;
        for (const StartRun &r : results[which]) {
            lo = std::min(lo, r.*field * scale);
            hi = std::max(hi, r.*field * scale);
        }
        return fmt(lo, 1) + "-" + fmt(hi, 1);
    };
    const std::string a = programs[0].name, b = programs[1].name;
    const std::string n = " (median of " + std::to_string(runs) + ")";
    auto compare = [&](const std::string &what, double StartRun::*field, const std::string &unit,
                       double scale, double goal, bool hasGoal) {
        const auto [va, vb] = figure(field);
        const double ratio = va / vb;
        row("start-up", what + ", " + a + n, fmt(va * scale, 1),
            unit + " [" + range(field, 0, scale) + "]",
            b + " " + fmt(vb * scale, 1) + " [" + range(field, 1, scale) + "]", fmt(ratio, 2) + "x",
            hasGoal ? "<= " + fmt(goal, 1) + "x" : "-",
            hasGoal ? (ratio <= goal ? "ok" : "OVER") : "-");
    };
    compare("loaded, port open (first poll - 500 ms)", &StartRun::loadedMs, "ms", 1, 1.5, true);
    if (!shownLib.empty())
        compare("window exposed and painted", &StartRun::shownMs, "ms", 1, 1.5, true);
    compare("peak memory (max RSS)", &StartRun::maxRssKb, "MiB", 1.0 / 1024, 1.3, true);
    compare("CPU time to first poll + 300 ms", &StartRun::cpuMs, "ms", 1, 0, false);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Idle

struct CpuSample {
    double schedNs = 0; // sum of the live threads' time on a CPU
    long ticks = 0;     // utime + stime of the whole process, dead threads included
    int threads = 0;
};

CpuSample cpuOf(pid_t pid) {
    CpuSample s;
    const fs::path proc = fs::path("/proc") / std::to_string(pid);
    std::error_code ec;
    for (const auto &task : fs::directory_iterator(proc / "task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        double ns = 0;
        if (in >> ns) {
            s.schedNs += ns;
            ++s.threads;
        }
    }
    std::ifstream stat(proc / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close != std::string::npos) {
        std::istringstream fields(text.substr(close + 2));
        std::string field;
        // Fields 3.. after the command name; utime and stime are fields 14 and 15.
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14 || i == 15)
                s.ticks += std::atol(field.c_str());
        }
    }
    return s;
}

int idle(int argc, char **argv) {
    double seconds = 60;
    double settleMs = 3000;
    std::vector<Program> programs;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (arg == "--settle" && i + 1 < argc)
            settleMs = std::atof(argv[++i]);
        else
            programs.push_back(parseProgram(argv[i]));
    }
    if (programs.empty() || seconds <= 0)
        die("idle wants --seconds S and programs");

    const fs::path work = makeTempDir();
    std::vector<std::unique_ptr<Instrument>> instruments;
    std::vector<pid_t> pids;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const fs::path dir = work / std::to_string(i);
        fs::create_directories(dir);
        instruments.push_back(std::make_unique<Instrument>(
            dir, std::vector<std::string>{"--status", programs[i].status}));
        Environment env;
        isolate(env, dir / "home");
        env.set("TELKARO_PORT", instruments.back()->port());
        if (!programs[i].locale.empty())
            env.set("LC_ALL", programs[i].locale);
        const int devNull = open("/dev/null", O_RDWR);
        pids.push_back(spawn({programs[i].path}, env, devNull, devNull, true));
        close(devNull);
    }
    sleepMs(settleMs);
    std::vector<CpuSample> before;
    std::vector<int> pollsBefore;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        before.push_back(cpuOf(pids[i]));
        pollsBefore.push_back(instruments[i]->polls());
    }
    const double t0 = monotonicMs();
    std::fprintf(stderr, "idle: measuring %zu programs over %.0f s\n", programs.size(), seconds);
    sleepMs(seconds * 1000);
    const double elapsedMs = monotonicMs() - t0;
    const long hz = sysconf(_SC_CLK_TCK);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const CpuSample after = cpuOf(pids[i]);
        const double cpuMs = (after.schedNs - before[i].schedNs) / 1e6;
        const double tickMs =
            static_cast<double>(after.ticks - before[i].ticks) * 1000.0 / static_cast<double>(hz);
        const int polls = instruments[i]->polls() - pollsBefore[i];
        const double share = cpuMs / elapsedMs;
        std::fprintf(stderr,
                     "idle: %-22s CPU %.2f ms (schedstat, %d threads), %.0f ms (ticks), %d polls\n",
                     programs[i].name.c_str(), cpuMs, after.threads, tickMs, polls);
        row("idle",
            programs[i].name + ", " + fmt(elapsedMs / 1000, 0) + " s, " + std::to_string(polls) +
                " polls",
            fmt(share * 100, 3),
            "% of a core (" + fmt(cpuMs, 1) + " ms; ticks " + fmt(tickMs, 0) + " ms)", "one core",
            fmt(share, 5), "< 0.005", share < 0.005 ? "ok" : "OVER");
    }
    for (const pid_t pid : pids)
        endProcess(pid);
    instruments.clear();
    fs::remove_all(work);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc >= 2 && std::string_view(argv[1]) == "startup")
        return startup(argc - 2, argv + 2);
    if (argc >= 2 && std::string_view(argv[1]) == "idle")
        return idle(argc - 2, argv + 2);
    std::fprintf(stderr, "usage: telkaro-bench-process startup|idle ... (see the source)\n");
    return 2;
}
