#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (Release, into build-bench/), runs them all and prints
# one table. See bench/README.md and docs/performance.md.
#
#   TELKARO_BENCH_IDLE_SECONDS  length of each idle measurement (default 60)
#   TELKARO_BENCH_RUNS          start-up runs of each program (default 11)
#   TELKARO_BENCH_CYCLES        measurement cycles (default 7)
#   TELKARO_BENCH_BUILD         build folder (default build-bench)
#   TELKARO_BENCH_ONLY          run only these sections: reply cycle startup reader assay assaywin idle
#   TELKARO_BENCH_OUT           folder for the raw results (default: a new temporary one)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

idle_seconds=${TELKARO_BENCH_IDLE_SECONDS:-60}
runs=${TELKARO_BENCH_RUNS:-11}
export TELKARO_BENCH_CYCLES=${TELKARO_BENCH_CYCLES:-7}
build=${TELKARO_BENCH_BUILD:-build-bench}
only=${TELKARO_BENCH_ONLY:-reply cycle startup reader assay assaywin idle}
out=${TELKARO_BENCH_OUT:-$(mktemp -d /tmp/telkaro-bench.XXXXXX)}
mkdir -p "$out"

# What the build and the runs need, from Debian's packages.
scripts/install-packages.sh xvfb xauth

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELKARO_BUILD_TESTS=OFF \
    -DTELKARO_BUILD_BENCH=ON > "$out/configure.log"
cmake --build "$build" > "$out/build.log" || { cat "$out/build.log"; exit 1; }
bin=$root/$build
benchbin=$bin/bench

# Every program runs in a settings and runtime folder of its own, in the C locale.
home=$out/home
mkdir -p "$home/.config" "$home/run"
chmod 700 "$home/run"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run LC_ALL=C.UTF-8
unset TELKARO_PORT

# A display of its own: a real X server (Xvfb), so that start-up includes
# connecting to it and drawing through it.
x11() { xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"; }

rows=$out/rows.tsv
: > "$rows"
want() { [[ " $only " == *" $1 "* ]]; }

# Runs a QtTest benchmark offscreen and turns its figures into table rows.
qtest_rows() {
    QT_QPA_PLATFORM=offscreen "$benchbin/$1" -minimumtotal 300 -median 5 \
        -o "$out/$1.csv,csv" -o "$out/$1.txt,txt" > /dev/null 2>&1 || {
        cat "$out/$1.txt"
        exit 1
    }
    awk -F, -f "$root/bench/qtest_rows.awk" "$out/$1.csv" >> "$rows"
}

echo "Raw results in $out"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"

if want reply; then
    echo "== reply handling (QtTest benchmarks, offscreen)"
    qtest_rows bench_reply
fi

if want cycle; then
    echo "== measurement cycle (paced virtual instrument, Xvfb)"
    x11 "$benchbin/bench_cycle" 2> "$out/cycle.log" >> "$rows" || {
        cat "$out/cycle.log"
        exit 1
    }
fi

if want startup; then
    echo "== start-up: parts in process (QtTest benchmarks, offscreen)"
    qtest_rows bench_startup_parts
    echo "== start-up ($runs runs each, Xvfb)"
    x11 "$benchbin/telkaro-bench-process" startup --runs "$runs" \
        --shown-lib "$benchbin/telkaro-bench-shown.so" \
        "telkaro=$bin/telkaro" "baseline=$benchbin/telkaro-bench-baseline" \
        2> "$out/startup.log" >> "$rows" || {
        cat "$out/startup.log"
        exit 1
    }
fi

if want reader; then
    echo "== telkaro-read ($TELKARO_BENCH_CYCLES runs, the window beside it, Xvfb)"
    x11 "$benchbin/telkaro-bench-process" reader --runs "$TELKARO_BENCH_CYCLES" \
        "telkaro-read=$bin/telkaro-read" "telkaro=$bin/telkaro" \
        2> "$out/reader.log" >> "$rows" || {
        cat "$out/reader.log"
        exit 1
    }
fi

if want assay; then
    echo "== assays (in process, and telkaro-read analyze against convert)"
    "$benchbin/bench_assay" "$bin/telkaro-read" "$root/examples/ferritin-4pl.assay.json" \
        "$root/examples/ferritin-4pl.dat" 2> "$out/assay.log" >> "$rows" || {
        cat "$out/assay.log"
        exit 1
    }
fi

if want assaywin; then
    # telkaro-assay lists the kits in assays/ beside it, where the build copies
    # the examples, and with no settings of its own chooses the first.
    echo "== the assay window: start-up against the classic window ($runs runs each, Xvfb)"
    x11 "$benchbin/telkaro-bench-process" startup --runs "$runs" --goal 1.3 --memory-goal 0 \
        --shown-lib "$benchbin/telkaro-bench-shown.so" \
        "telkaro-assay=$bin/telkaro-assay" "telkaro=$bin/telkaro" \
        2> "$out/assaywin-startup.log" >> "$rows" || {
        cat "$out/assaywin-startup.log"
        exit 1
    }
    echo "== the assay window: measured plate to answer painted (virtual instrument, offscreen)"
    qtest_rows bench_assay_window
fi

if want idle; then
    echo "== idle (${idle_seconds} s, all at once, Xvfb)"
    x11 "$benchbin/telkaro-bench-process" idle --seconds "$idle_seconds" \
        "telkaro linked=$bin/telkaro" \
        "telkaro linked, ru_RU=$bin/telkaro:0:ru_RU.UTF-8" \
        "telkaro fault wait=$bin/telkaro:1" \
        "baseline polling=$benchbin/telkaro-bench-baseline" \
        "clock window=$benchbin/telkaro-bench-clock" \
        "clock window, ru_RU=$benchbin/telkaro-bench-clock:0:ru_RU.UTF-8" \
        2> "$out/idle.log" > "$out/idle.tsv" || {
        cat "$out/idle.log"
        exit 1
    }
    # Idle CPU means little on its own (a wake of an empty Qt timer costs
    # anything from 0.1 to 3 ms on these machines): each idle row of the
    # program is also given as a ratio to the plain clock window of the same
    # run and locale.
    awk -F'\t' -v OFS='\t' -f "$root/bench/idle_ratio.awk" "$out/idle.tsv" >> "$rows"
fi

echo
awk -F'\t' -f "$root/bench/table.awk" "$rows" | tee "$out/table.txt"
