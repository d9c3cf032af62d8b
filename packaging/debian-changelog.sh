#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the Debian changelog of the package from CHANGELOG.md: one entry for
# each "## <version> — <YYYY-MM-DD>" heading, its "- " items as "  * ".
# The date comes from the heading, so the same sources give the same file.
# usage: debian-changelog.sh CHANGELOG.md PACKAGE "Maintainer <address>" > changelog
set -euo pipefail
changelog=$1
package=$2
maintainer=$3

entry_end() {
    if [ -n "$date" ]; then
        printf '\n -- %s  %s\n' "$maintainer" "$(LC_ALL=C date -u -R -d "$date 12:00")"
    fi
}

date=""
first=1
while IFS= read -r line; do
    if [[ $line =~ ^##\ ([0-9][^ ]*)\ —\ ([0-9]{4}-[0-9]{2}-[0-9]{2})$ ]]; then
        entry_end
        ((first)) || echo
        first=0
        printf '%s (%s) unstable; urgency=medium\n\n' "$package" "${BASH_REMATCH[1]}"
        date=${BASH_REMATCH[2]}
    elif [ -z "$date" ]; then
        continue # the file's own heading and introduction
    elif [[ $line == "- "* ]]; then
        printf '  * %s\n' "${line#- }"
    elif [[ $line == "  "* ]]; then
        printf '    %s\n' "${line#  }"
    fi
done <"$changelog"
entry_end
