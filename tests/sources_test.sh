#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two rules for the sources, each failing with the file and line:
#   licence   every source file carries the project's SPDX licence line at
#             its top (after a #! line, where there is one);
#   portable  the program's folders (app, assay, assaywin, core, link,
#             plate, reader) use Qt for what differs between systems: no
#             POSIX or Linux system header. reader/console.cpp alone may include the Windows C
#             runtime's console headers (io.h, fcntl.h), under Q_OS_WIN.
set -euo pipefail
rule=$1
root=${2:-$(dirname "$0")/..}
cd "$root"
faults=0

case $rule in
licence)
    tag='SPDX-License-Identifier: GPL-3.0-or-later'
    while IFS= read -r file; do
        case $file in
        *.cpp | *.h | *.sh | *.awk | *.cmake | */CMakeLists.txt | CMakeLists.txt | .ci/run) ;;
        *) continue ;;
        esac
        if ! head -n 2 "$file" | grep -qF "$tag"; then
            echo "$file: no '$tag' in its first lines" >&2
            faults=$((faults + 1))
        fi
    done < <(git ls-files 2>/dev/null || find . -type f -not -path './build*' -printf '%P\n')
    ;;
portable)
    # The headers of POSIX and of Linux that Qt wraps: files, terminals,
    # processes, signals, sockets, polling, threads, dynamic loading.
    posix='unistd|fcntl|termios|poll|signal|pthread|dirent|dlfcn|pwd|grp|pty|utmp|syslog|netdb|spawn|sys/[a-z_]+|linux/[a-z_/]+|asm/[a-z_]+|arpa/[a-z_]+|netinet/[a-z_]+'
    while IFS= read -r hit; do
        echo "$hit: a system header; use Qt's wrapper instead" >&2
        faults=$((faults + 1))
    done < <(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($posix)\.h>" \
        app assay assaywin core link plate reader --include='*.cpp' --include='*.h' |
        grep -vE '^reader/console\.cpp:[0-9]+:#include <fcntl\.h>$' || true)
    # The one exception stays inside its Windows branch.
    if ! awk '/^#ifdef Q_OS_WIN/ { win = 1 } /^#endif/ { win = 0 }
              /^#include <fcntl\.h>/ && !win { bad = 1 } END { exit bad }' reader/console.cpp; then
        echo "reader/console.cpp: fcntl.h outside #ifdef Q_OS_WIN" >&2
        faults=$((faults + 1))
    fi
    ;;
*)
    echo "usage: $0 licence|portable [source folder]" >&2
    exit 2
    ;;
esac

if ((faults)); then
    echo "$faults fault(s)" >&2
    exit 1
fi
echo "$rule: all sources keep the rule"
