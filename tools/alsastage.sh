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

echo "=== alsastage: the suite on ALSA ($(date +%T))"
TARN_MIDI_SERVICE=alsa suite || failed+=("the suite on ALSA")
echo "=== alsastage: the suite on JACK beside the ALSA sequencer ($(date +%T))"
# Under emulation JACK's dummy driver misses periods, and the MIDI in them is
# lost (61 to 128 xruns in a run of the suite, longer periods no better):
# the flood of tst_ports and the flapping device of tst_comeandgo, which the
# suite on this machine runs, are left out here.
TARN_MIDI_SERVICE=jack suite -E '^(tst_ports|tst_comeandgo)$' || failed+=("the suite on JACK")
echo "=== alsastage: the demo on ALSA ($(date +%T))"
tools/demodrive.sh || failed+=("the demo")
if ((${#failed[@]})); then
    say "failed: ${failed[*]}"
    exit 1
fi
echo "=== alsastage: passed ($(date +%T))"
