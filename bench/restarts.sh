#!/usr/bin/env bash
# Restarts the MIDI service again and again under one running TarnApp and
# checks that after each return the link completes with no user action: the
# program reopens its ports, asks the unit for its serial number and then
# for its status, which the simulator answers.
#   bench/restarts.sh [N]    N restarts in a row (default 20)
# The service is the one bench/run.sh uses: a private JACK server, or with
# TARN_MIDI_SERVICE=pipewire a private PipeWire, the system's or, after
# `. build/pw14/env` (tools/pwbackports.sh build/pw14), 1.4 from backports.
# The simulated unit goes with the service, as a USB device's ports go with
# the desktop's PipeWire, and is started again after it. Prints one line per
# restart (service back -> serial request, -> the unit's status reply) and a
# summary; status 1 when any link did not complete within TARN_RESTART_WAIT
# seconds (default 15). Logs: build/restarts/.
#
#   TARN_BUILD_DIR   build tree (default: build)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
rounds=${1:-20}
build_dir=$PWD/${TARN_BUILD_DIR:-build}
wait_s=${TARN_RESTART_WAIT:-15}
cmake --build "$build_dir" -j2 --target TarnApp tarnapp-unitsim >/dev/null
dir=$build_dir/restarts
rm -rf "$dir" && mkdir -p "$dir/config/TarnApp"
pidfile=$dir/service.pid server=tarnapp-restarts name=tarn-restarts
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME=$dir/config TARNAPP_MIDI_API=jack
on_service=()
if [[ ${TARN_MIDI_SERVICE:-jack} == pipewire ]]; then
    on_service=(pw-jack)
    export XDG_RUNTIME_DIR=${pidfile%.pid}.run
    unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR
else
    export TARN_JACK_PERIOD=256
fi
fixture() { tools/jackfixture.sh "$1" "$server" "$pidfile" >/dev/null; }
# A stopped jackd stays in JACK's registry until its zombie is reaped, and
# until then a new one of its name refuses to start: a few tries.
restart() {
    fixture stop
    for _ in 1 2 3 4 5 6 7 8 9; do fixture start 2>/dev/null && return 0; sleep 1; done
    fixture start
}

app_pid='' sim_pid=''
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    fixture stop || true
}
trap cleanup EXIT

now() { date +%s.%N; }
# Waits for a line matching $2 in file $1, counting from line $3; prints the time.
await() {
    local deadline=$(($(date +%s) + wait_s))
    until tail -n +"$3" "$1" | grep -q -e "$2"; do
        (($(date +%s) < deadline)) || return 1
        sleep 0.02
    done
    now
}
# The simulator's input: a pipe this script holds open, or it would end at once.
mkfifo "$dir/unitsim.in"
exec 3<>"$dir/unitsim.in"
start_sim() {
    "${on_service[@]}" "$build_dir/tarnapp-unitsim" --api jack --pads --name "$name" \
        <"$dir/unitsim.in" >>"$dir/unitsim.log" 2>&1 &
    sim_pid=$!
}

fixture start
start_sim
await "$dir/unitsim.log" '^unit: type h for commands' 1 >/dev/null
printf '[General]\nHardwareMidiInPort=%s\nHardwareMidiOutPort=%s\nRemoteMidiInPort=%s\nRemoteMidiOutPort=%s\n' \
    "$name:unit-out" "$name:unit-in" "$name:pads-out" "$name:pads-in" \
    >"$dir/config/TarnApp/TarnAppSetting.ini"
"${on_service[@]}" "$build_dir/TarnApp" >"$dir/tarnapp.log" 2>&1 &
app_pid=$!
await "$dir/unitsim.log" '^unit: init status request' 1 >/dev/null ||
    { echo "restarts: the first link did not complete; see $dir" >&2; exit 1; }

linked=0 failed=0
for ((round = 1; round <= rounds; ++round)); do
    kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
    restart
    back=$(now)
    from=$(($(wc -l <"$dir/unitsim.log") + 1))
    start_sim
    if asked=$(await "$dir/unitsim.log" '^Rcv    : F0 00 11 22' "$from") &&
        done=$(await "$dir/unitsim.log" '^unit: init status request' "$from"); then
        linked=$((linked + 1))
        awk -v r="$round" -v b="$back" -v a="$asked" -v d="$done" 'BEGIN { printf "restart %2d: " \
            "serial request %5.0f ms, link complete %5.0f ms after the service returned\n",
            r, (a - b) * 1000, (d - b) * 1000 }'
    else
        failed=$((failed + 1))
        echo "restart $round: no complete link within $wait_s s" \
            "($(tail -n +"$from" "$dir/unitsim.log" | grep -c '^Rcv    : F0 00 11 22') serial requests)"
    fi
    kill -0 "$app_pid" 2>/dev/null || { echo "restarts: TarnApp has ended; see $dir/tarnapp.log" >&2; exit 1; }
done
echo "restarts: $linked of $rounds linked again with no user action, $failed did not"
((failed == 0))
