#!/usr/bin/env bash
# Builds TELKARO with warnings as errors and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
CMAKE_ARGS="-DTELKARO_WERROR=ON -DTELKARO_BUILD_TESTS=ON" scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
