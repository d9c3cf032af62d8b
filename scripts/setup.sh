#!/usr/bin/env bash
# Installs what TELKARO needs from Debian's packages (with sudo when not
# root), then configures and builds it into build/.
#   EXTRA_PACKAGES  further packages to install
#   CMAKE_ARGS      further arguments for the configure step
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev
          fonts-liberation fonts-dejavu-core dpkg-dev file desktop-file-utils ${EXTRA_PACKAGES:-})
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
cmake --build build
