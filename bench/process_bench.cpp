// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-bench-process: starts programs against the virtual instrument and
// measures them from the outside, as processes.
//
//   startup --runs N [--warmup W] [--goal G] [--memory-goal M] [--shown-lib LIB]
//           NAME=PROGRAM NAME=PROGRAM
//       Start-up of two programs, started the same way and in turns (ABBA...).
//       Each run gets a fresh instrument. "loaded": the first "E" in the
//       instrument's log, less the link timer's 500 ms, since the program was
//       spawned. "peak memory": ru_maxrss from wait4 when the program is ended
//       300 ms after that poll. With --shown-lib, every run is repeated with the
//       library preloaded, for "shown": when the window was exposed and painted.
//       Prints one table row per figure, the median of the runs, the first
//       program against the second. The goal: the first program's "loaded"
//       and "shown" at most G times the second's (default 1.5), its peak
//       memory at most M times (default 1.3; 0: no goal).
//
//   idle --seconds S [--settle MS] NAME=PROGRAM[:STATUS] ...
//       Runs every program at the same time, each with its own instrument
//       answering with STATUS (default 0), lets them settle, then measures the
//       CPU time each uses over S seconds: the sum over its threads of
//       /proc/PID/task/TID/schedstat (nanoseconds) and, as a check, utime+stime
//       of /proc/PID/stat (clock ticks).
//
//   reader --runs N NAME=TELKARO-READ NAME=TELKARO
//       telkaro-read measure against the paced instrument (--pace --measure-ms
//       0), from its spawn to its end with the plate written, against the
//       protocol's floor from the instrument's log; and, in each round, the
//       window started beside it: the first poll and the peak memory of both.
//
// Table rows go to stdout as TAB-separated fields: section, figure, value, unit,
// compared with, ratio, goal, verdict. Everything else goes to stderr.
#include "process_common.h"

namespace procbench {
int startup(int argc, char **argv);
int idle(int argc, char **argv);
int reader(int argc, char **argv);
} // namespace procbench

using procbench::idle;
using procbench::reader;
using procbench::startup;

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc >= 2 && std::string_view(argv[1]) == "startup")
        return startup(argc - 2, argv + 2);
    if (argc >= 2 && std::string_view(argv[1]) == "idle")
        return idle(argc - 2, argv + 2);
    if (argc >= 2 && std::string_view(argv[1]) == "reader")
        return reader(argc - 2, argv + 2);
    std::fprintf(stderr, "usage: telkaro-bench-process startup|idle|reader ... (see the source)\n");
    return 2;
}
