#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program in a build folder with spaces in its path, installs it
# with cmake --install to a prefix with spaces, and checks what arrived: the
# programs, the guide, the menu entry and its metadata, the manual pages, the
# copyright file and the changelog; the installed program then answers
# --version. usage: spaces_test.sh <source folder>
set -euo pipefail
source=$(cd "${1:-$(dirname "$0")/..}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/telkaro spaces.XXXXXX")
trap 'rm -rf "$work"' EXIT
build="$work/build folder"
prefix="$work/install prefix/telkaro"
faults=0
fail() {
    echo "FAIL: $*" >&2
    faults=$((faults + 1))
}

echo "== configure and build in '$build'"
cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTELKARO_BUILD_TESTS=OFF -DTELKARO_BUILD_BENCH=OFF >"$work/configure.log" ||
    { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$build" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }

echo "== install to '$prefix'"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

for file in bin/telkaro bin/telkaro-instrument bin/telkaro-read share/telkaro/TELKARO.md \
    share/applications/org.example.telkaro.desktop share/metainfo/org.example.telkaro.metainfo.xml \
    share/man/man1/telkaro.1.gz share/man/man1/telkaro-instrument.1.gz \
    share/man/ru/man1/telkaro.1.gz share/man/man1/telkaro-read.1.gz share/man/ru/man1/telkaro-read.1.gz \
    share/bash-completion/completions/telkaro-read \
    share/doc/telkaro/copyright share/doc/telkaro/changelog.gz \
    share/icons/hicolor/48x48/apps/telkaro.png; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done
gzip -t "$prefix/share/doc/telkaro/changelog.gz" || fail "changelog.gz is not gzip"

version=$(sed -n 's/^project(telkaro VERSION \([^ ]*\) .*/\1/p' "$source/CMakeLists.txt")
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/telkaro" --version 2>&1) ||
    fail "the installed program's --version failed: $out"
[ "$out" = "telkaro $version" ] || fail "--version says '$out', expected 'telkaro $version'"
out=$("$prefix/bin/telkaro-read" --version 2>&1) || fail "the installed telkaro-read's --version failed: $out"
[ "$out" = "telkaro-read $version" ] || fail "telkaro-read --version says '$out'"

if ((faults)); then
    echo "$faults fault(s)" >&2
    exit 1
fi
echo "build folder and install prefix with spaces: all in place"
