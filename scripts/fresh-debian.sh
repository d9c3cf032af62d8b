#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command as a new user would: on a bare Debian 12
# system with nothing but git, built here with debootstrap from the Debian
# mirror this machine's own apt sources name. The current commit is cloned
# into it; what is not committed is not tested. Needs root and the network,
# and takes about ten minutes (the Windows check, about an hour more).
#
#   scripts/fresh-debian.sh [--windows] [--no-tests]
#
#   --windows   also run the Windows check (scripts/windows-build.sh) there,
#               Qt for Windows built afresh unless a cache is named below
#   --no-tests  leave out the test command
#
#   FRESH_DEBIAN_ROOT  the scratch folder to build the system in (default: a
#                      new folder under /var/tmp)
#   FRESH_DEBIAN_KEEP  1 keeps the system afterwards, for a closer look
#   FRESH_DEBIAN_WINDOWS_QT_CACHE  a folder of this machine that the Windows
#                      check keeps its Qt in (empty at first: it is built
#                      there, and a later run or this machine's own check can
#                      use it)
#   TELKARO_QTSERIALPORT_SOURCE    Qt Serial Port's source for the Windows
#                      check, where the apt sources do not serve it
#   TELKARO_QTSVG_SOURCE           Qt SVG's source for it, likewise
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

tests=1
windows=0
while (($#)); do
    case $1 in
        --windows) windows=1 ;;
        --no-tests) tests=0 ;;
        -h | --help) sed -n '8,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "fresh-debian.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-debian.sh builds a system with debootstrap and chroot: run it as root." >&2
    exit 1
fi

# The mirror for bookworm, from the one-line or the deb822 sources.
mirror() {
    local line
    line=$(grep -hsE '^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +bookworm( |$)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list | head -n 1 || true)
    if [ -n "$line" ]; then
        sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/' <<<"$line"
        return
    fi
    awk 'BEGIN { RS = ""; FS = "\n" }
         /(^|\n)Suites:([^\n]* )?bookworm( |\n|$)/ {
             for (i = 1; i <= NF; i++)
                 if ($i ~ /^URIs:/) { split($i, f, " "); print f[2]; exit }
         }' /etc/apt/sources.list.d/*.sources 2>/dev/null
}
url=$(mirror)
if [ -z "$url" ]; then
    echo "No Debian bookworm mirror in this machine's apt sources." >&2
    exit 1
fi

if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

root=${FRESH_DEBIAN_ROOT:-$(mktemp -d /var/tmp/telkaro-debian.XXXXXX)}
mkdir -p "$root"
mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    mounted=()
    if [ "${FRESH_DEBIAN_KEEP:-0}" = 1 ]; then
        echo "The system is kept in $root"
    elif findmnt -rn -o TARGET | grep -qF "$root"; then
        echo "Something is still mounted under $root; it is left in place." >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [ ! -x "$root/usr/bin/git" ]; then
    echo "== A bare Debian 12 in $root, from $url =="
    debootstrap --variant=minbase --include=git,ca-certificates bookworm "$root" "$url" \
        >"$root.debootstrap.log" 2>&1 || {
        tail -n 20 "$root.debootstrap.log" >&2
        exit 1
    }
    rm -f "$root.debootstrap.log"
fi

bind() {
    mkdir -p "$root$1"
    mount --bind "$1" "$root$1"
    mounted+=("$root$1")
}
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
bind /dev
bind /dev/pts
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

commit=$(git rev-parse HEAD)
rm -rf "$root/root/telkaro"
git clone -q "$repo" "$root/root/telkaro"
git -C "$root/root/telkaro" checkout -q "$commit"

in_system() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${TELKARO_SOAK_SECONDS:+TELKARO_SOAK_SECONDS=$TELKARO_SOAK_SECONDS} \
        ${serialport:+TELKARO_QTSERIALPORT_SOURCE=$serialport} \
        ${svg:+TELKARO_QTSVG_SOURCE=$svg} \
        ${qt_cache:+TELKARO_WINDOWS_QT_CACHE=$qt_cache} \
        /bin/bash -c "cd /root/telkaro && $1"
}

serialport="" svg="" qt_cache=""
if ((windows)); then
    # What the Windows check needs from this machine is lent to it read-only
    # (the sources of Qt Serial Port and Qt SVG) or as a folder of its own
    # (the Qt cache).
    if [ -n "${TELKARO_QTSERIALPORT_SOURCE:-}" ]; then
        serialport=/srv/qtserialport
        mkdir -p "$root$serialport"
        mount --bind "$(realpath "$TELKARO_QTSERIALPORT_SOURCE")" "$root$serialport"
        mount -o remount,bind,ro "$root$serialport"
        mounted+=("$root$serialport")
    fi
    if [ -n "${TELKARO_QTSVG_SOURCE:-}" ]; then
        svg=/srv/qtsvg
        mkdir -p "$root$svg"
        mount --bind "$(realpath "$TELKARO_QTSVG_SOURCE")" "$root$svg"
        mount -o remount,bind,ro "$root$svg"
        mounted+=("$root$svg")
    fi
    if [ -n "${FRESH_DEBIAN_WINDOWS_QT_CACHE:-}" ]; then
        qt_cache=/srv/windows-qt
        mkdir -p "$FRESH_DEBIAN_WINDOWS_QT_CACHE" "$root$qt_cache"
        mount --bind "$FRESH_DEBIAN_WINDOWS_QT_CACHE" "$root$qt_cache"
        mounted+=("$root$qt_cache")
    fi
fi

status=0
if ((tests)); then
    echo "== ./test.sh at $commit on the bare system =="
    in_system ./test.sh || status=$?
fi
if ((windows)); then
    echo "== scripts/windows-build.sh at $commit on the bare system =="
    in_system scripts/windows-build.sh || status=$?
fi
exit "$status"
