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
    const std::optional<double> poll = instrument.firstPoll();
    if (!poll)
        die("no poll");
    run.loadedMs = *poll - timerMs - t0;
    // The instrument paces its replies a byte at a time, and the pseudo-
    // terminal hands each byte over the moment it is written; what the
    // program writes arrives at once. So a reply of n bytes keeps the program
    // waiting (n - 1) byte times, from its first byte to its last: a reply
    // is what the instrument wrote between two command lines.
    double lineMs = 0;
    for (std::size_t i = 0; i < rx.size(); ++i) {
        const double from = rx[i].first;
        const double to = i + 1 < rx.size() ? rx[i + 1].first : 1e300;
        std::size_t replyBytes = 0;
        for (const auto &[ms, bytes] : tx)
            if (ms >= from && ms < to)
                replyBytes += bytes.size();
        run.bytes += replyBytes;
        if (replyBytes > 0)
            lineMs += static_cast<double>(replyBytes - 1) * byteMs;
    }
    // The wait for the poll after Z: from the last byte of Z's reply, as
    // the program got it, to the poll.
    for (std::size_t i = 0; i + 1 < rx.size() && run.pollWaitMs == 0; ++i) {
        if (rx[i].second.find('Z') == std::string::npos)
            continue;
        double lastByte = 0;
        for (const auto &[ms, bytes] : tx)
            if (ms >= rx[i].first && ms < rx[i + 1].first)
                lastByte = ms;
        for (std::size_t j = i + 1; j < rx.size(); ++j) {
            if (rx[j].second.find('E') != std::string::npos && lastByte > 0) {
                run.pollWaitMs = rx[j].first - lastByte;
                break;
            }
        }
    }
    if (run.pollWaitMs == 0)
        die("no Z or no poll after it in the instrument's log");
    // The protocol's floor, each wait once: the first poll one link-timer
    // interval after the spawn (the start-up not counted), the replies'
    // line time, the poll after Z when the timer next ticks, the
    // half-second pause.
    run.floorMs = lineMs + timerMs + run.pollWaitMs + pauseMs;
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
