#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what TELKARO needs from Debian's packages (with sudo when not
# root), then configures and builds it into build/.
#   EXTRA_PACKAGES  further packages to install
#   CMAKE_ARGS      further arguments for the configure step
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck disable=SC2086
scripts/install-packages.sh ${EXTRA_PACKAGES:-}

# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
cmake --build build
