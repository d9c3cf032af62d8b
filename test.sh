#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds TELKARO and runs every test headless, twice: first a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), which also runs
# each fuzz target for a minute, then the ordinary build, whose CTest
# summary ends the output. Warnings are errors in both.
set -euo pipefail
cd "$(dirname "$0")"
export QT_QPA_PLATFORM=offscreen

EXTRA_PACKAGES="clang libclang-rt-14-dev" CMAKE_ARGS="-DTELKARO_WERROR=ON -DTELKARO_BUILD_TESTS=ON -DTELKARO_BUILD_BENCH=ON" \
    scripts/setup.sh

echo "== Sanitizer build and fuzzing =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTELKARO_WERROR=ON -DTELKARO_FUZZ=ON -DTELKARO_BUILD_BENCH=OFF
cmake --build build-asan
(
    cd build-asan
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --output-on-failure --label-exclude "soak|package|fuzz|timing"
    # Each fuzz target for a minute: its executions, or the fault and its input.
    ctest --label-regex fuzz --verbose |
        grep -E "Test +#|stat::number_of_executed_units|stat::new_units_added|ERROR|SUMMARY|Test input|crash-|tests passed"
)

echo "== Tests =="
cd build
ctest --output-on-failure
