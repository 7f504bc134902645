#!/usr/bin/env bash
# Prepares a Debian machine for TarnApp and builds it: installs the Debian
# packages that are missing, configures the build tree and builds everything.
# Safe to run again: it installs nothing that is there and rebuilds only what
# changed.
#
#   TARN_BUILD_DIR   build tree (default: build, under the repository root)
#   CMAKE_BUILD_TYPE build type of a new build tree (default: RelWithDebInfo)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Everything the build, the test suite (on JACK and PipeWire) and the demo
# need from Debian, and
# Qt 6 for the second build that CI checks (tools/buildvariants.sh); xdotool
# clicks through the settings dialog in the soak; openbox frames windows for
# the screen-fit check (tools/screencheck.sh); lintian, dpkg-dev (for
# dpkg-shlibdeps), file and python3-yaml for the package stage
# (tools/packagestage.sh).
PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools qt6-base-dev
    librtmidi-dev libjack-jackd2-dev jackd2 pipewire pipewire-jack pipewire-bin
    desktop-file-utils appstream
    lintian dpkg-dev file python3-yaml
    xvfb x11-apps imagemagick xdotool openbox
    clang libclang-rt-14-dev
    qemu-system-x86 kmod libc6-dev python3
)

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo=()
    if [[ $(id -u) != 0 ]]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

build_dir=${TARN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build_dir" -j2
