#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's layers depend one way only: core <- plate <- link <- app,
# assay beside link on core and plate, and the headless reader and the
# assay window beside app on all but the other front ends:
# core <- plate <- {assay, link} <- {reader, assaywin}.
# Fails, naming the line, where a file includes a header of its own layer's
# superiors, of tests/, bench/ or tools/, or a bare header name that is not
# in its own folder (another folder's header is included by its path from
# the source root, "core/pane_model.h").
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

declare -A above=(
    [core]="plate assay link app reader assaywin"
    [plate]="assay link app reader assaywin"
    [assay]="link app reader assaywin"
    [link]="assay app reader assaywin"
    [app]="assay reader assaywin"
    [reader]="app assaywin"
    [assaywin]="app reader"
)
faults=0
for layer in core plate assay link app reader assaywin; do
    forbidden="tests bench tools ${above[$layer]}"
    while IFS= read -r file; do
        lineno=0
        while IFS= read -r line; do
            lineno=$((lineno + 1))
            [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
            header=${BASH_REMATCH[1]}
            if [[ $header == */* ]]; then
                top=${header%%/*}
                for bad in $forbidden; do
                    if [[ $top == "$bad" ]]; then
                        echo "$file:$lineno: $layer/ includes $header, from a layer above it"
                        faults=$((faults + 1))
                    fi
                done
                if [[ ! -f $header ]]; then
                    echo "$file:$lineno: $header does not exist"
                    faults=$((faults + 1))
                fi
            elif [[ ! -f $(dirname "$file")/$header && $header != *.moc && $header != moc_* ]]; then
                echo "$file:$lineno: bare \"$header\" is not in $(dirname "$file")/; include it by its path"
                faults=$((faults + 1))
            fi
        done < "$file"
    done < <(find "$layer" -name '*.h' -o -name '*.cpp' | sort)
done
# The session shows nothing: link/ holds no pane or menu and no text in
# Russian for the operator (the objects' own names aside).
while IFS= read -r hit; do
    echo "$hit: link/ holds a text for the operator"
    faults=$((faults + 1))
done < <(LC_ALL=C.UTF-8 grep -nP '"[^"]*\p{Cyrillic}' link/*.h link/*.cpp | grep -v 'setObjectName(' || true)
if ((faults)); then
    echo "$faults include(s) or text(s) break the layers"
    exit 1
fi
echo "layers: core <- plate <- {assay, link} <- app, reader and assaywin; no include points up"
