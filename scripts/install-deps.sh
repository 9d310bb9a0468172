#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need,
# quietly and only when one is missing. Further packages a script needs (the
# packaging tools) are given as arguments.
set -euo pipefail
packages=(cmake g++ ninja-build qt6-base-dev libsqlite3-dev sqlite3 fonts-liberation2 poppler-utils
          xvfb xauth xdotool imagemagick libgl-dev libxlsxwriter-dev python3-openpyxl
          postgresql libpq-dev "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
