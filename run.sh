#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds TELKARO and starts it. With a port configured (TELKARO_PORT, or
# "Port" in the settings) it talks to that instrument; otherwise it starts the
# virtual instrument on a pseudo-terminal and talks to that, stopping it when
# the program ends. Options are the program's own (./run.sh --choose-port,
# ./run.sh --port /dev/ttyUSB0): with any, the program starts as asked.
set -euo pipefail
cd "$(dirname "$0")"

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then headless=1; fi
extra=""
if ((headless)); then extra="xvfb xauth"; fi
EXTRA_PACKAGES="$extra" scripts/setup.sh

launch() {
    if ((headless)); then
        echo "No display: running under Xvfb, where nobody can see the window."
        xvfb-run -a "$@"
    else
        "$@"
    fi
}

if (($#)); then
    launch build/telkaro "$@"
    exit
fi
# The program says which port it would open, and whether anything named it.
choice=$(build/telkaro --print-port)
if [ "$(sed -n 2p <<< "$choice")" = configured ]; then
    echo "Instrument port: $(head -n 1 <<< "$choice")"
    launch build/telkaro
    exit
fi

work=$(mktemp -d)
build/telkaro-instrument --exit-with-parent < /dev/null > "$work/port" 2> "$work/errors" &
instrument=$!
trap 'kill $instrument 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    if [ -s "$work/port" ]; then break; fi
    sleep 0.1
done
port=$(head -n 1 "$work/port")
if [ -z "$port" ]; then
    echo "The virtual instrument did not start:" >&2
    cat "$work/errors" >&2
    exit 1
fi
echo "Virtual instrument on $port"
TELKARO_PORT="$port" launch build/telkaro
