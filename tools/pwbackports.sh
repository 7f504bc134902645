#!/usr/bin/env bash
# Fetches PipeWire 1.4 from Debian's bookworm-backports into a private prefix,
# installing nothing:  pwbackports.sh PREFIX
#
# apt runs on a configuration of its own under PREFIX/apt (a sources list that
# names only bookworm-backports, its own package lists and cache), so the
# system's sources, lists and packages stay as they are. It downloads the
# pinned packages and dpkg-deb unpacks them into PREFIX/root. Then it writes
#   PREFIX/env         sourced by sh: PATH, LD_LIBRARY_PATH, SPA_PLUGIN_DIR,
#                      PIPEWIRE_MODULE_DIR and PIPEWIRE_CONFIG_DIR point into
#                      the unpacked tree, so `pipewire` and its tools are 1.4's;
#   PREFIX/bin/pw-jack runs a program on 1.4's libjack. The packaged pw-jack
#                      names the system's libjack folder, which loaded beside
#                      1.4's libpipewire crashes.
# Set TARN_PIPEWIRE_PREFIX=PREFIX and TARN_MIDI_SERVICE=pipewire, and the test
# fixture and runner use it (tools/pwstage.sh backports does).
# The plug-ins whose libraries bookworm lacks (FFADO, the filter graph's
# loudness, SOFA and FFT ones) are not fetched: a headless PipeWire with its
# default configuration loads none of them.
# Status 77 when backports cannot be reached; a run with the unpacked version
# already there fetches nothing.
set -euo pipefail
(($# == 1)) || { echo "usage: $0 PREFIX" >&2; exit 2; }
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
version=1.4.2-1~bpo12+1
packages=(pipewire pipewire-bin pipewire-jack libpipewire-0.3-0 libpipewire-0.3-modules
    libspa-0.2-modules libpipewire-0.3-common)
lib=$prefix/root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)

if [[ $(cat "$prefix/root/version" 2>/dev/null) != "$version" ]]; then
    apt=$prefix/apt
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/debs"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
        "http://deb.debian.org/debian bookworm-backports main" >"$apt/sources.list"
    options=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o Dir::Etc::sourceparts=-
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
        -o APT::Sandbox::User=root -o Acquire::Retries=2 -o Acquire::http::Timeout=20)
    # apt update reports an unreachable mirror only as a warning.
    if ! apt-get "${options[@]}" update >"$apt/update.log" 2>&1 ||
        grep -qE '^(W|E): ' "$apt/update.log" ||
        ! ls "$apt/lists/"*bookworm-backports*Packages* >/dev/null 2>&1; then
        echo "pwbackports: bookworm-backports cannot be reached:" >&2
        grep -E '^(W|E): ' "$apt/update.log" >&2 || true
        exit 77
    fi
    rm -f "$apt/debs/"*.deb
    (cd "$apt/debs" && apt-get "${options[@]}" download "${packages[@]/%/=$version}") ||
        { echo "pwbackports: the packages of $version could not be fetched" >&2; exit 77; }
    rm -rf "$prefix/root"
    for deb in "$apt/debs/"*.deb; do dpkg-deb -x "$deb" "$prefix/root"; done
    echo "$version" >"$prefix/root/version"
fi

mkdir -p "$prefix/bin"
cat >"$prefix/env" <<EOF
# PipeWire $version, unpacked under $prefix/root (tools/pwbackports.sh)
TARN_PIPEWIRE_PREFIX='$prefix'
case ":\$PATH:" in *':$prefix/bin:'*) ;; *)
    PATH='$prefix/bin:$prefix/root/usr/bin':\$PATH
    LD_LIBRARY_PATH='$lib'\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH} ;;
esac
SPA_PLUGIN_DIR='$lib/spa-0.2' PIPEWIRE_MODULE_DIR='$lib/pipewire-0.3'
PIPEWIRE_CONFIG_DIR='$prefix/root/usr/share/pipewire'
export TARN_PIPEWIRE_PREFIX PATH LD_LIBRARY_PATH SPA_PLUGIN_DIR PIPEWIRE_MODULE_DIR PIPEWIRE_CONFIG_DIR
EOF
cat >"$prefix/bin/pw-jack" <<EOF
#!/bin/sh
# Runs a program on the libjack of PipeWire $version under $prefix/root.
LD_LIBRARY_PATH='$lib/pipewire-0.3/jack:$lib'\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}
export LD_LIBRARY_PATH
exec "\$@"
EOF
chmod +x "$prefix/bin/pw-jack"
echo "pwbackports: PipeWire $version under $prefix/root"
