// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-bench-process reader: telkaro-read measure from its spawn to the
// file written, against the floor the protocol allows for the same plate;
// its start to the first poll and its peak memory against the window's, in
// the same run.
#include "process_common.h"

namespace procbench {

namespace {
constexpr double byteMs = 1000.0 / 960; // one 8N1 character at 9600 baud
constexpr double pauseMs = 500;         // before the data request

struct ReadRun {
    double totalMs = 0;
    double floorMs = 0;
    double loadedMs = 0;
    double maxRssKb = 0;
    double pollWaitMs = 0;
    std::size_t bytes = 0;
};

ReadRun readOnce(const Program &reader, const fs::path &work) {
    const fs::path dir = work / "run";
    fs::remove_all(dir);
    fs::create_directories(dir);
    Instrument instrument(dir, {"--pace", "--measure-ms", "0"});
    Environment env;
    isolate(env, work / ("home-" + reader.name));
    env.set("TELKARO_PORT", instrument.port());
    const fs::path plate = dir / "plate.dat";
    const int devNull = open("/dev/null", O_RDWR);
    const double t0 = monotonicMs();
    const pid_t pid =
        spawn({reader.path, "-q", "measure", "-o", plate.string()}, env, devNull, devNull, true);
    close(devNull);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        die(reader.name + " measure failed");
    const double end = monotonicMs();
    if (!fs::exists(plate) || fs::file_size(plate) != 592)
        die(reader.name + " wrote no full plate");

    ReadRun run;
    run.totalMs = end - t0;
    run.maxRssKb = static_cast<double>(usage.ru_maxrss);
    const auto &rx = instrument.received();
    const auto &tx = instrument.transmitted();
    for (const auto &[ms, bytes] : rx)
        run.bytes += bytes.size();
    for (const auto &[ms, bytes] : tx)
        run.bytes += bytes.size();
    const std::optional<double> poll = instrument.firstPoll();
    if (!poll)
        die("no poll");
    run.loadedMs = *poll - timerMs - t0;
    // The wait for the poll after Z: from Z's reply on the line to the poll.
    double zReply = 0;
    for (const auto &[ms, bytes] : rx) {
        if (bytes.find('Z') != std::string::npos) {
            for (const auto &[txMs, txBytes] : tx) {
                if (txMs >= ms) {
                    zReply = txMs;
                    break;
                }
            }
        } else if (zReply > 0 && bytes.find('E') != std::string::npos && ms > zReply) {
            run.pollWaitMs = ms - zReply;
            break;
        }
    }
    if (zReply == 0 || run.pollWaitMs == 0)
        die("no Z or no poll after it in the instrument's log");
    // The protocol's floor: every byte on the line both ways, the first poll
    // one link-timer interval after the port opened, the poll after Z when
    // the timer next ticks, the half-second pause.
    run.floorMs = static_cast<double>(run.bytes) * byteMs + timerMs + run.pollWaitMs + pauseMs;
    return run;
}
} // namespace

int reader(int argc, char **argv) {
    int runs = 7;
    std::vector<Program> programs;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else
            programs.push_back(parseProgram(argv[i]));
    }
    if (programs.size() != 2 || runs < 1)
        die("reader wants --runs N, telkaro-read and the window");
    const Program &reader = programs[0];
    const Program &window = programs[1];

    const fs::path work = makeTempDir();
    std::vector<double> total, floor, ratio, loaded, windowLoaded, rss, windowRss;
    for (int round = 0; round <= runs; ++round) {
        const ReadRun r = readOnce(reader, work);
        const StartRun w = startOnce(window, work, "");
        std::fprintf(stderr,
                     "%s measure %7.1f ms, floor %7.1f ms (%zu bytes, poll wait %.1f ms); first "
                     "poll %.1f ms (window %.1f ms); max RSS %.0f KiB (window %.0f KiB)\n",
                     round == 0 ? "warm-up" : "run    ", r.totalMs, r.floorMs, r.bytes,
                     r.pollWaitMs, r.loadedMs, w.loadedMs, r.maxRssKb, w.maxRssKb);
        if (round == 0)
            continue;
        total.push_back(r.totalMs);
        floor.push_back(r.floorMs);
        ratio.push_back(r.totalMs / r.floorMs);
        loaded.push_back(r.loadedMs);
        windowLoaded.push_back(w.loadedMs);
        rss.push_back(r.maxRssKb);
        windowRss.push_back(w.maxRssKb);
    }
    fs::remove_all(work);

    const std::string n = " (median of " + std::to_string(runs) + ")";
    const double q = median(ratio);
    row("reader", "measure, spawn to file written" + n, fmt(median(total), 1), "ms",
        "floor " + fmt(median(floor), 1) + " ms", fmt(q, 4) + "x", "<= 1.02x",
        q <= 1.02 ? "ok" : "OVER");
    const double l = median(loaded) / median(windowLoaded);
    row("reader", "spawn to first poll - 500 ms" + n, fmt(median(loaded), 1), "ms",
        "window " + fmt(median(windowLoaded), 1) + " ms", fmt(l, 2) + "x", "<= 1.0x",
        l <= 1.0 ? "ok" : "OVER");
    const double m = median(rss) / median(windowRss);
    row("reader", "peak memory (max RSS)" + n, fmt(median(rss) / 1024, 1), "MiB",
        "window " + fmt(median(windowRss) / 1024, 1) + " MiB", fmt(m, 2) + "x", "<= 0.6x",
        m <= 0.6 ? "ok" : "OVER");
    return 0;
}

} // namespace procbench
