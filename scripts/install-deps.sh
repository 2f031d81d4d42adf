#!/usr/bin/env bash
# Installs with apt-get (Debian 12) what building, running and testing GorseED
# needs. Packages already installed are skipped, so with everything present it
# needs neither the network nor root.
set -euo pipefail

packages=(
    # build
    cmake g++ make
    qtbase5-dev qtbase5-dev-tools libgl-dev
    # the end-to-end test: a virtual X server, X input, screenshots, and the
    # headers of its small cursor probe
    xvfb xauth x11-xkb-utils xdotool xclip x11-utils imagemagick
    libx11-dev libxfixes-dev
    # a font, so that text renders in the window and in offscreen tests
    fonts-dejavu-core fontconfig
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages are installed"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then
        sudo=(sudo)
    else
        echo "install-deps: missing ${missing[*]}; run this script as root or install sudo" >&2
        exit 1
    fi
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
install=("${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}")
# Try the package lists already on the machine first; refresh them if that fails.
if ! "${install[@]}"; then
    "${sudo[@]}" apt-get update -q
    "${install[@]}"
fi
