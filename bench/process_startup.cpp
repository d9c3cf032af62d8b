// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-bench-process: start-up and peak memory of two programs, in turns.
#include "process_common.h"

namespace procbench {

// ---------------------------------------------------------------------------------------------
// Start-up

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

namespace {
// 1.5 as "1.5", 1.25 as "1.25".
std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}
} // namespace

int startup(int argc, char **argv) {
    int runs = 9;
    int warmup = 1;
    double goal = 1.5;       // the start-up times, first program against the second
    double memoryGoal = 1.3; // peak memory; 0: none
    std::string shownLib;
    std::vector<Program> programs;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (arg == "--warmup" && i + 1 < argc)
            warmup = std::atoi(argv[++i]);
        else if (arg == "--goal" && i + 1 < argc)
            goal = std::atof(argv[++i]);
        else if (arg == "--memory-goal" && i + 1 < argc)
            memoryGoal = std::atof(argv[++i]);
        else if (arg == "--shown-lib" && i + 1 < argc)
            shownLib = fs::absolute(argv[++i]).string();
        else
            programs.push_back(parseProgram(argv[i]));
    }
    if (programs.size() != 2 || runs < 1 || !(goal > 0) || !(memoryGoal >= 0))
        die("startup wants --runs N, two programs, a goal above 0 and a memory goal of 0 or more");

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
            hasGoal ? "<= " + shortNumber(goal) + "x" : "-",
            hasGoal ? (ratio <= goal ? "ok" : "OVER") : "-");
    };
    compare("loaded, port open (first poll - 500 ms)", &StartRun::loadedMs, "ms", 1, goal, true);
    if (!shownLib.empty())
        compare("window exposed and painted", &StartRun::shownMs, "ms", 1, goal, true);
    compare("peak memory (max RSS)", &StartRun::maxRssKb, "MiB", 1.0 / 1024, memoryGoal,
            memoryGoal > 0);
    compare("CPU time to first poll + 300 ms", &StartRun::cpuMs, "ms", 1, 0, false);
    return 0;
}

} // namespace procbench
