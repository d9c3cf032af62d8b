#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command as a new user would: on a bare Debian 12
# system with nothing but git, built here with debootstrap from the Debian
# mirror this machine's own apt sources name. The current commit is cloned
# into it; what is not committed is not tested. Needs root and the network,
# and takes about ten minutes.
#   FRESH_DEBIAN_ROOT  the scratch folder to build the system in (default: a
#                      new folder under /var/tmp)
#   FRESH_DEBIAN_KEEP  1 keeps the system afterwards, for a closer look
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

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

echo "== ./test.sh at $commit on the bare system =="
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${TELKARO_SOAK_SECONDS:+TELKARO_SOAK_SECONDS=$TELKARO_SOAK_SECONDS} \
    /bin/bash -c 'cd /root/telkaro && ./test.sh'
