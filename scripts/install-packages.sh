#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian's packages, what building and testing TELKARO needs
# and whatever packages are named as arguments; uses sudo when not root and
# does nothing when everything is there already.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev
          fonts-liberation fonts-dejavu-core dpkg-dev file desktop-file-utils lintian appstream man-db
          qt6-translations-l10n qt6-l10n-tools binutils python3 libeigen3-dev libmuparser-dev qt6-svg-dev
          poppler-utils "$@")
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
