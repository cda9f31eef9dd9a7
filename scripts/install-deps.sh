#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tavora need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail
packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev
    libvorbis-dev libsox-dev libmp3lame-dev
    libgtest-dev libgmock-dev libmpg123-dev libbenchmark-dev
    libsox-fmt-mp3 sox lame
    xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
