#!/usr/bin/env bash
# Builds and checks the builds other than the default one (Qt 5 with JACK,
# which tools/test.sh covers):
#
#   tools/buildvariants.sh qt6      Qt 6 with JACK in build-qt6; runs the whole
#                                   suite there (extra arguments go to ctest)
#   tools/buildvariants.sh nojack   Qt 5 with TARNAPP_WITH_JACK=OFF in
#                                   build-nojack; checks that the program has
#                                   no JACK in it, starts with no MIDI service
#                                   and ends cleanly on SIGTERM
#   tools/buildvariants.sh          both
#
# Exits non-zero when a build or a check fails.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

variant_qt6() {
    cmake -S . -B build-qt6 -DTARNAPP_QT_MAJOR=6 -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
    cmake --build build-qt6 -j2
    ctest --test-dir build-qt6 --output-on-failure "$@"
}

fail() {
    echo "buildvariants: nojack: $*" >&2
    exit 1
}

variant_nojack() {
    cmake -S . -B build-nojack -DTARNAPP_WITH_JACK=OFF \
        -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
    cmake --build build-nojack -j2
    local program=build-nojack/TarnApp
    # RtMidi links libjack on Debian; the program itself must not.
    if readelf -d "$program" | grep -q 'NEEDED.*libjack'; then
        fail "the program links libjack"
    fi

    sandbox=$(mktemp -d)
    trap 'rm -rf "$sandbox"' EXIT
    mkdir -p "$sandbox/home"
    # A JACK server name that nothing runs under, though the program must not
    # ask JACK at all; this machine has no ALSA sequencer.
    HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/config QT_QPA_PLATFORM=offscreen \
        JACK_DEFAULT_SERVER=absent-$$ JACK_NO_START_SERVER=1 \
        "$program" >"$sandbox/output" 2>&1 &
    local pid=$!

    # SIGTERM is caught once the program is up; it then ends the program only
    # through its event loop, so a clean end shows that start-up finished.
    local catching=0 caught
    for _ in $(seq 100); do
        caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        if [[ -n $caught ]] && ((0x$caught & (1 << (15 - 1)))); then
            catching=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ((!catching)); then
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" || true
        cat "$sandbox/output" >&2
        fail "the program did not come up within 10 s"
    fi
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    if ((status != 0)); then
        cat "$sandbox/output" >&2
        fail "the program ended with status $status after SIGTERM"
    fi
    local state=$sandbox/config/TarnApp/DispStatus.ini
    # Saved at the end; the default place, fitted to the offscreen screen.
    for key in Width Height X Y; do
        grep -qx "$key=[0-9]*" "$state" 2>/dev/null || fail "no $key in the window state file"
    done
    echo "buildvariants: nojack: started with no MIDI service and ended cleanly"
}

case ${1:-all} in
qt6) shift; variant_qt6 "$@" ;;
nojack) variant_nojack ;;
all)
    variant_qt6
    variant_nojack
    ;;
*) echo "usage: $0 [qt6 [ctest args...]|nojack]" >&2; exit 2 ;;
esac
