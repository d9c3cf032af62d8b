// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-bench-process: the CPU time programs use while idle.
#include "process_common.h"

namespace procbench {

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

} // namespace procbench
