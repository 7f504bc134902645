#!/usr/bin/env bash
# TarnApp on the desktop's path from a USB device: the simulated unit and
# pads as ALSA sequencer clients, PipeWire 1.4's bridge from the ALSA
# sequencer showing them as JACK ports, TarnApp on PipeWire's libjack linked
# to those. Needs the kernel's sequencer, so on this machine:
#   tools/pwbackports.sh build/pw14 && tools/alsaguest.sh tools/pwbridge.sh
# Checks: the bridge's port names as TarnApp lists them, the link completing
# (SysEx both ways through the bridge), a pad press lighting its pad, and the
# unit unplugged and plugged back in (its sequencer ports go and come) linked
# again with no user action. Status 0 when all hold. Logs: build/pwbridge/.
# The bridge is made as a session manager makes it, from PipeWire's own
# configuration (api.alsa.seq.bridge); no session manager runs here.
#
#   TARN_BUILD_DIR   build tree (default: build)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir=$PWD/${TARN_BUILD_DIR:-build}
[[ -e /dev/snd/seq ]] || { echo "pwbridge: no ALSA sequencer here (tools/alsaguest.sh has one)" >&2; exit 1; }
. "$build_dir/pw14/env"
dir=$build_dir/pwbridge
rm -rf "$dir" && mkdir -p "$dir/config/TarnApp"
cp -r "$PIPEWIRE_CONFIG_DIR" "$dir/conf" && mkdir -p "$dir/conf/pipewire.conf.d"
cat >"$dir/conf/pipewire.conf.d/seq-bridge.conf" <<'EOF'
context.objects = [
    { factory = spa-node-factory
        args = { factory.name = api.alsa.seq.bridge node.name = Midi-Bridge priority.driver = 1 } }
]
EOF
# Sockets and the pipe live off the shared folder, where the guest cannot make them.
local_dir=$(mktemp -d)
export PIPEWIRE_CONFIG_DIR=$dir/conf XDG_RUNTIME_DIR=$local_dir/run XDG_CONFIG_HOME=$dir/config
export QT_QPA_PLATFORM=offscreen TARNAPP_MIDI_API=jack JACK_NO_START_SERVER=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait' EXIT
DBUS_SESSION_BUS_ADDRESS=disabled: pipewire >"$dir/pipewire.log" 2>&1 &
pids+=($!)
failed=()
check() { if eval "$2"; then echo "pwbridge: ok: $1"; else echo "pwbridge: FAILED: $1" >&2; failed+=("$1"); fi; }
await() { # a line matching $2 in file $1, within $3 seconds
    local deadline=$(($(date +%s) + $3))
    until grep -q -e "$2" "$1"; do (($(date +%s) < deadline)) || return 1; sleep 0.1; done
}
count() { grep -c -e "$2" "$1" || true; }

mkfifo "$local_dir/unitsim.in"
exec 3<>"$local_dir/unitsim.in"
"$build_dir/tarnapp-unitsim" --api alsa --pads --name sim <"$local_dir/unitsim.in" >"$dir/unitsim.log" 2>&1 &
pids+=($!)
await "$dir/unitsim.log" '^unit: type h for commands' 30
for _ in $(seq 100); do pw-jack jack_lsp 2>/dev/null | grep -q 'sim Pads In' && break; sleep 0.1; done
pw-jack jack_lsp -t >"$dir/ports.txt" 2>&1 || true
port() { grep -F "$1" "$dir/ports.txt" | grep -F "($2)" | head -1; }
hard_in=$(port "sim Out" capture) hard_out=$(port "sim In" playback)
remote_in=$(port "sim Pads Out" capture) remote_out=$(port "sim Pads In" playback)
echo "pwbridge: the bridge's ports: '$hard_in', '$hard_out', '$remote_in', '$remote_out'"
check "the bridge shows the unit's and the pads' ports as 8 bit raw midi" \
    '[[ -n $hard_in && -n $hard_out && -n $remote_in && -n $remote_out ]] && grep -qx "	8 bit raw midi" "$dir/ports.txt"'
printf '[General]\nHardwareMidiInPort=%s\nHardwareMidiOutPort=%s\nRemoteMidiInPort=%s\nRemoteMidiOutPort=%s\n' \
    "$hard_in" "$hard_out" "$remote_in" "$remote_out" >"$dir/config/TarnApp/TarnAppSetting.ini"
pw-jack "$build_dir/TarnApp" >"$dir/tarnapp.log" 2>&1 &
pids+=($!)
check "the link completes through the bridge (serial request and reply, status request and reply)" \
    'await "$dir/unitsim.log" "^unit: init status request" 30 && await "$dir/tarnapp.log" "^Rcv    : F0 12 34 56 78" 10'
# The graph as it stands, for a failure's reading.
{ pw-link -l; pw-cli ls Link; pw-dump Link; } >"$dir/graph.txt" 2>&1 || true
echo p3 >&3
check "a pad press reaches the unit and its answer lights the pad" \
    'await "$dir/unitsim.log" "^pads: \[ \] \[ \] \[#\]" 20'
links=$(count "$dir/unitsim.log" '^unit: init status request')
echo u >&3
await "$dir/unitsim.log" '^unit: unplugged' 10 || true
sleep 2 # the program sees the ports go
echo u >&3
check "the unit unplugged and plugged back in links again with no user action" \
    'await "$dir/unitsim.log" "^unit: plugged back in" 10 && for _ in $(seq 300); do (($(count "$dir/unitsim.log" "^unit: init status request") > links)) && break; sleep 0.1; done; (($(count "$dir/unitsim.log" "^unit: init status request") > links))'

if ((${#failed[@]})); then
    echo "pwbridge: failed: ${failed[*]}" >&2
    exit 1
fi
echo "pwbridge: passed"
