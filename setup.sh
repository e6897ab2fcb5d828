#!/usr/bin/env bash
# Installs the Debian packages the game needs (with --tests, those its tests need too) and
# builds it in build/. Shared by play.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-private-dev libgl-dev
          libcups2-dev libwayland-dev libxcb1-dev libxcb-xkb-dev fonts-liberation2)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils
               x11-xserver-utils imagemagick cups cups-ipp-utils poppler-utils dpkg-dev file
               faketime desktop-file-utils appstream lintian fonts-dejavu-core
               dbus-daemon dbus-bin at-spi2-core python3-pyatspi orca ibus fcitx5
               fcitx5-frontend-qt6 qt6-wayland weston openbox wmctrl kwin-wayland
               kwin-style-breeze mutter)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# Playing needs none of the test packages: a first build for play leaves the tests out, and
# a later one for the tests brings them in.
if [[ "${1:-}" == "--tests" ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJANGORA_TESTS=ON >/dev/null
elif [[ ! -f build/CMakeCache.txt ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJANGORA_TESTS=OFF >/dev/null
fi
cmake --build build
