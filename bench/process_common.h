// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the parts of telkaro-bench-process: child processes, their
// environment, the virtual instrument, the table rows.
#pragma once

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

namespace procbench {

namespace fs = std::filesystem;

constexpr double timerMs = 500; // the first poll comes one link-timer interval after loading

using instrument::monotonicMs;

inline void sleepMs(double ms) {
    if (ms <= 0)
        return;
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(std::fmod(ms, 1000.0) * 1e6)};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

[[noreturn]] inline void die(const std::string &what) {
    std::fprintf(stderr, "telkaro-bench-process: %s\n", what.c_str());
    std::exit(1);
}

inline double median(std::vector<double> v) {
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline std::string fmt(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

inline void row(const std::string &section, const std::string &figure, const std::string &value,
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
inline pid_t spawn(const std::vector<std::string> &argv, Environment &env, int stdinFd,
                   int stdoutFd, bool quiet = false) {
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

inline Ended endProcess(pid_t pid) {
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
            auto &list =
                record.direction == instrument::Direction::Received ? m_received : m_transmitted;
            list.emplace_back(m_log.startMs().value_or(0) + record.ms, std::move(record.bytes));
        }
        return m_received;
    }
    // The chunks sent to the program so far, each when it had gone out.
    const std::vector<std::pair<double, std::string>> &transmitted() const {
        received();
        return m_transmitted;
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
    mutable std::vector<std::pair<double, std::string>> m_transmitted;
    std::string m_port;
};

inline fs::path makeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "telkaro-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        die("mkdtemp");
    return pattern;
}

// A settings and runtime folder of its own, shared by every run of one program.
inline void isolate(Environment &env, const fs::path &home) {
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
inline Program parseProgram(const std::string &arg) {
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

// One start of a program against a fresh instrument (process_startup.cpp).
struct StartRun {
    double loadedMs = 0; // the first poll, less the link timer's interval, since the spawn
    double shownMs = 0;
    double maxRssKb = 0;
    double cpuMs = 0;
};
StartRun startOnce(const Program &program, const fs::path &work, const std::string &shownLib);

} // namespace procbench
