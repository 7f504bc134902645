#!/usr/bin/env bash
# The ALSA stage of continuous integration, for machines whose kernel has no
# ALSA sequencer: builds here, then runs in one guest that has one
# (tools/alsaguest.sh; booting it under TCG takes 12 to 14 s):
#   1. the suite on ALSA (TARN_MIDI_SERVICE=alsa; tests about JACK itself skip);
#   2. the suite on JACK with snd-seq-dummy loaded, as on a desktop whose
#      sequencer has ports of its own ("Midi Through"), but for two tests
#      that need JACK to keep every period (see below);
#   3. the demo's ALSA branch offscreen, driven through the simulator: the
#      serial learnt and saved, a pad, the foot switch, a preset chosen on
#      the unit, each followed by the pad lamps.
# Every part runs even when one before it failed; the status is 1 when any did.
#
#   TARN_BUILD_DIR   build tree (default: build)
#   TARN_STAGE_TESTS ctest -R regular expression for both suites (default: all)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir=${TARN_BUILD_DIR:-build}
say() { echo "alsastage: $*" >&2; }

if [[ ${1:-} != --in-guest ]]; then
    tools/setup.sh >/dev/null
    export TARN_BUILD_DIR=$build_dir
    exec tools/alsaguest.sh tools/alsastage.sh --in-guest
fi

# --- In the guest ----------------------------------------------------------------
failed=()
suite() {
    ctest --test-dir "$build_dir" --output-on-failure -R "${TARN_STAGE_TESTS:-.}" "$@"
}

# Waits for a line of the demo's output matching the regular expression $1.
# Under TCG a start takes seconds; the bound only ends a hung demo.
expect() {
    for _ in $(seq 600); do
        grep -qE "$1" "$out" && return 0
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.1
    done
    say "the demo never printed a line matching '$1'; its output:"
    sed 's/^/    /' "$out" >&2
    return 1
}

# The simulator's lamp line with only pad $1 lit, as a regular expression.
lit() {
    local line='^pads:' pad
    for pad in 1 2 3 4 5 6; do
        if ((pad == $1)); then line+=' \[#\]'; else line+=' \[ \]'; fi
    done
    echo "$line\$"
}

demo() {
    local dir=$build_dir/alsastage serial commands
    out=$dir/demo.out
    mkdir -p "$dir"
    commands=$(mktemp -u) # a FIFO, which the shared folder cannot hold
    mkfifo "$commands"
    # A first start, as a new user's: the serial is learnt and saved.
    rm -rf "$build_dir/demo-config"
    QT_QPA_PLATFORM=offscreen tools/demo.sh <"$commands" >"$out" 2>&1 &
    demo_pid=$!
    exec 8>"$commands"
    # The sixth lamp note follows the unit's init status: the link is complete.
    expect '^unit: init status request' && expect '^PadRcv : 90 3B 00$' &&
        echo p3 >&8 && expect "$(lit 3)" && echo f >&8 && expect "$(lit 6)" &&
        echo 2 >&8 && expect "$(lit 2)"
    local status=$?
    exec 8>&-
    kill -TERM "$demo_pid" 2>/dev/null || true
    wait "$demo_pid" || true
    ((status == 0)) || return 1
    serial=$(sed -n 's/^unit: serial \(\([0-9A-F]\{2\} \)\{7\}[0-9A-F]\{2\}\),.*/\1/p' "$out")
    if ! grep -qx "SerialNumber=${serial// /-}" "$build_dir/demo-config/TarnApp/TarnAppSetting.ini"; then
        say "the demo's setting file lacks the serial '$serial'"
        return 1
    fi
    sed 's/^/    /' "$out"
}

echo "=== alsastage: the suite on ALSA ($(date +%T))"
TARN_MIDI_SERVICE=alsa suite || failed+=("the suite on ALSA")
echo "=== alsastage: the suite on JACK beside the ALSA sequencer ($(date +%T))"
# Under emulation JACK's dummy driver misses periods, and the MIDI in them is
# lost (61 to 128 xruns in a run of the suite, longer periods no better):
# the flood of tst_ports and the flapping device of tst_comeandgo, which the
# suite on this machine runs, are left out here.
TARN_MIDI_SERVICE=jack suite -E '^(tst_ports|tst_comeandgo)$' || failed+=("the suite on JACK")
echo "=== alsastage: the demo on ALSA ($(date +%T))"
demo || failed+=("the demo")
if ((${#failed[@]})); then
    say "failed: ${failed[*]}"
    exit 1
fi
echo "=== alsastage: passed ($(date +%T))"
