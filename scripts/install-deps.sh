#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libavformat-dev libavcodec-dev libavfilter-dev libswresample-dev libavutil-dev
    libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    ffmpeg
    xvfb xauth trayer xdotool x11-utils
    tzdata clang-format git
    postgresql libpq-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
