#!/usr/bin/env bash
# The PipeWire stage of continuous integration: builds (tools/setup.sh
# installs pipewire and pipewire-jack), then
#   1. the whole suite on a private PipeWire (TARN_MIDI_SERVICE=pipewire);
#   2. the demo on a PipeWire that runs as a desktop's does (its own runtime
#      folder here, as XDG_RUNTIME_DIR), which the demo finds and uses through
#      pw-jack, driven by tools/demodrive.sh.
# Both run even when the first failed; the status is 1 when either did.
# pwstage.sh backports does the same on the PipeWire of Debian's
# bookworm-backports (1.4), fetched and unpacked under the build tree by
# tools/pwbackports.sh, nothing installed; when backports cannot be reached
# it says so and ends with status 0, skipped.
#
#   TARN_BUILD_DIR   build tree (default: build)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
export TARN_BUILD_DIR=${TARN_BUILD_DIR:-build}
tools/setup.sh >/dev/null
failed=()
version=$(pipewire --version | sed -n 's/^Linked with libpipewire //p')
if [[ ${1:-} == backports ]]; then
    status=0
    tools/pwbackports.sh "$TARN_BUILD_DIR/pw14" || status=$?
    if ((status == 77)); then
        echo "=== pwstage: skipped: no PipeWire from bookworm-backports"
        exit 0
    fi
    ((status == 0)) || exit "$status"
    . "$TARN_BUILD_DIR/pw14/env"
    version=$(pipewire --version | sed -n 's/^Linked with libpipewire //p')
fi

echo "=== pwstage: the suite on PipeWire $version ($(date +%T))"
TARN_MIDI_SERVICE=pipewire ctest --test-dir "$TARN_BUILD_DIR" --output-on-failure ||
    failed+=("the suite on PipeWire")

echo "=== pwstage: the demo on PipeWire $version ($(date +%T))"
pidfile=$TARN_BUILD_DIR/pwstage/pipewire.pid
TARN_MIDI_SERVICE=pipewire tools/jackfixture.sh start desktop "$pidfile"
trap 'TARN_MIDI_SERVICE=pipewire tools/jackfixture.sh stop desktop "$pidfile"' EXIT
export XDG_RUNTIME_DIR=${pidfile%.pid}.run
tools/demodrive.sh || failed+=("the demo on PipeWire")
if ! grep -q '^demo: MIDI service: PipeWire' "$TARN_BUILD_DIR/demodrive/demo.out"; then
    echo "pwstage: the demo did not pick PipeWire" >&2
    failed+=("the demo's choice")
fi
# The service that answered is the one meant, not a desktop's or the system's.
served=$(pw-cli info 0 | sed -n 's/^[[:space:]]*version: "\(.*\)"$/\1/p')
[[ $served == "$version" ]] || {
    echo "pwstage: the demo ran on PipeWire '$served', not $version" >&2
    failed+=("the service's version")
}

if ((${#failed[@]})); then
    echo "pwstage: failed: ${failed[*]}" >&2
    exit 1
fi
echo "=== pwstage: passed ($(date +%T))"
