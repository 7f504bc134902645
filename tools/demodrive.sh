#!/usr/bin/env bash
# Drives the demo (tools/demo.sh) offscreen on whatever MIDI service it picks,
# as a user would through the simulator's commands: a first start learns and
# saves the unit's serial, then a pad, the foot switch and a preset chosen on
# the unit must each light the matching pad lamp. Prints the demo's output;
# exits 1 when any step fails. (CI runs it in tools/alsastage.sh and
# tools/pwstage.sh.)
#
#   TARN_BUILD_DIR   build tree (default: build)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir=${TARN_BUILD_DIR:-build}
say() { echo "demodrive: $*" >&2; }

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
    local dir=$build_dir/demodrive serial commands
    out=$dir/demo.out
    mkdir -p "$dir"
    commands=$(mktemp -u) # a FIFO, which the shared folder cannot hold
    mkfifo "$commands"
    # A first start, as a new user's: the serial is learnt and saved.
    rm -rf "$build_dir/demo-config"
    QT_QPA_PLATFORM=offscreen tools/demo.sh <"$commands" >"$out" 2>&1 &
    demo_pid=$!
    exec 8>"$commands"
    # The sixth lamp note follows the unit's init status: the link is complete
    # (PipeWire delivers its Note On at velocity 0 as a Note Off at 64).
    expect '^unit: init status request' && expect '^PadRcv : (90 3B 00|80 3B 40)$' &&
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

demo
