#!/usr/bin/env bash
# The PipeWire stage of continuous integration: builds (tools/setup.sh
# installs pipewire and pipewire-jack), then
#   1. the whole suite on a private PipeWire (TARN_MIDI_SERVICE=pipewire);
#   2. the demo on a PipeWire that runs as a desktop's does (its own runtime
#      folder here, as XDG_RUNTIME_DIR), which the demo finds and uses through
#      pw-jack, driven by tools/demodrive.sh.
# Both run even when the first failed; the status is 1 when either did.
#
#   TARN_BUILD_DIR   build tree (default: build)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
export TARN_BUILD_DIR=${TARN_BUILD_DIR:-build}
tools/setup.sh >/dev/null
failed=()

echo "=== pwstage: the suite on PipeWire ($(date +%T))"
TARN_MIDI_SERVICE=pipewire ctest --test-dir "$TARN_BUILD_DIR" --output-on-failure ||
    failed+=("the suite on PipeWire")

echo "=== pwstage: the demo on PipeWire ($(date +%T))"
pidfile=$TARN_BUILD_DIR/pwstage/pipewire.pid
TARN_MIDI_SERVICE=pipewire tools/jackfixture.sh start desktop "$pidfile"
trap 'TARN_MIDI_SERVICE=pipewire tools/jackfixture.sh stop desktop "$pidfile"' EXIT
XDG_RUNTIME_DIR=${pidfile%.pid}.run tools/demodrive.sh || failed+=("the demo on PipeWire")
if ! grep -q '^demo: MIDI service: PipeWire' "$TARN_BUILD_DIR/demodrive/demo.out"; then
    echo "pwstage: the demo did not pick PipeWire" >&2
    failed+=("the demo's choice")
fi

if ((${#failed[@]})); then
    echo "pwstage: failed: ${failed[*]}" >&2
    exit 1
fi
echo "=== pwstage: passed ($(date +%T))"
