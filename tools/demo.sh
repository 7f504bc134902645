#!/usr/bin/env bash
# The demo: TarnApp against a simulated unit and pad controller
# (tarnapp-unitsim --pads), so it can be tried with no hardware at all.
#
# - MIDI service: the system's ALSA sequencer where there is one
#   (/dev/snd/seq); otherwise a private JACK server (dummy driver, period 256)
#   that the demo starts and stops again.
# - The simulator reads its commands from this terminal (p1..p6 press a pad,
#   f the foot switch, 1..6 choose a preset on the unit, h for help) and
#   prints the unit's side of the traffic and the pad lamps here.
# - TarnApp runs with a configuration folder of its own, so the user's real
#   settings are never touched, pre-set to the simulator's four ports. Its
#   own output goes to a log file.
# Closing the window (or Ctrl-C) ends the demo and everything it started.
#
#   TARN_BUILD_DIR    build tree (default: build)
#   TARN_DEMO_SERVER  name of the private JACK server (default: tarnapp-demo)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
build_dir=${TARN_BUILD_DIR:-build}
[[ $build_dir == /* ]] || build_dir=$root/$build_dir
app=$build_dir/TarnApp
sim=$build_dir/tarnapp-unitsim
demo_dir=$build_dir/demo
config_home=$build_dir/demo-config
setting_file=$config_home/TarnApp/TarnAppSetting.ini
log=$demo_dir/tarnapp.log
sim_name=TarnUnitSim

say() { echo "demo: $*" >&2; }

for program in "$app" "$sim"; do
    if [[ ! -x $program ]]; then
        say "$program is missing; build first with tools/setup.sh (or run tools/run.sh)."
        exit 1
    fi
done

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && ${QT_QPA_PLATFORM:-} != offscreen* ]]; then
    cat >&2 <<'EOF'
demo: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so
TarnApp's window cannot be shown. Ways to see it:
  - run tools/run.sh in a terminal of a desktop session, or over SSH with
    X forwarding (ssh -X host, then tools/run.sh);
  - on a machine without a screen, start a virtual one and run it there:
        Xvfb :99 -screen 0 1280x800x24 &
        DISPLAY=:99 tools/run.sh
    and look at it from another terminal, as a screenshot
        DISPLAY=:99 xwd -root -silent | convert xwd:- window.png
    or live: x11vnc -display :99 -localhost (Debian package x11vnc), then a
    VNC viewer on localhost:5900. (xvfb-run -a tools/run.sh does it in one
    command, but nothing outside can look at its screen.)
  - QT_QPA_PLATFORM=offscreen tools/run.sh runs it with no window at all:
    the simulator's lines here still show the whole conversation.
EOF
    exit 1
fi

mkdir -p "$demo_dir" "$config_home/TarnApp"

app_pid=
sim_pid=
jack_server=
jack_pidfile=$demo_dir/jackd.pid

# Waits up to a tenth of a second times $2 for process $1 to end.
ended_within() {
    local waited=0
    while kill -0 "$1" 2>/dev/null; do
        ((waited < $2)) || return 1
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Ends a child we started, gently; bounded. A Ctrl-C reaches our children
# too, so TarnApp may be ending already: it gets $2 tenths of a second to do
# so before a second signal could hit it while it saves its window state.
stop_child() {
    local pid=$1 grace=$2
    [[ -n $pid ]] || return 0
    if ! ended_within "$pid" "$grace"; then
        kill -TERM "$pid" 2>/dev/null || true
        if ! ended_within "$pid" 50; then
            say "process $pid ignored SIGTERM; killing it"
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    # Once begun, the cleanup runs to its (bounded) end: a second Ctrl-C or
    # SIGTERM must not leave a server behind.
    trap '' INT TERM
    # The clients first, then the service they run on.
    stop_child "$app_pid" 20
    stop_child "$sim_pid" 0
    if [[ -n $jack_server ]]; then
        tests/jackfixture.sh stop "$jack_server" "$jack_pidfile" >/dev/null ||
            say "could not stop the JACK server '$jack_server'"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- MIDI service -----------------------------------------------------------
if [[ -r /dev/snd/seq && -w /dev/snd/seq ]]; then
    api=alsa
    say "MIDI service: the system's ALSA sequencer"
else
    api=jack
    jack_server=${TARN_DEMO_SERVER:-tarnapp-demo}
    say "MIDI service: no ALSA sequencer here; starting the private JACK server '$jack_server'"
    # The test suite's fixture: starts jackd -d dummy -r 48000 -p 256 and waits
    # until it answers; refuses to touch a server of that name it did not start.
    # Short periods, for lamps that follow a press at once.
    export TARN_JACK_PERIOD=256
    tests/jackfixture.sh start "$jack_server" "$jack_pidfile" >/dev/null
    export JACK_DEFAULT_SERVER=$jack_server JACK_NO_START_SERVER=1
fi

# The ports as a port list shows them, one a line. JACK lists "client:port";
# ALSA adds the client and port numbers: "client:port 128:0".
list_ports() {
    if [[ $api == jack ]]; then
        jack_lsp 2>/dev/null || true
    else
        awk '/^Client +[0-9]+ : "/ {
                 match($0, /"[^"]*"/); client = substr($0, RSTART + 1, RLENGTH - 2)
                 split($0, f, /[ :]+/); number = f[2]
             }
             /^  Port +[0-9]+ : "/ {
                 match($0, /"[^"]*"/); split($0, f, /[ :]+/)
                 print client ":" substr($0, RSTART + 1, RLENGTH - 2) " " number ":" f[3]
             }' /proc/asound/seq/clients 2>/dev/null || true
    fi
}

# The listed name of the simulator's port "client:port" (the newest, should
# an older simulator still be running on ALSA).
find_port() {
    awk -v want="$2" '
        $0 == want || (index($0, want " ") == 1 &&
                       substr($0, length(want) + 2) ~ /^[0-9]+:[0-9]+$/) { found = $0 }
        END { if (found != "") print found }' <<<"$1"
}

# --- The simulated unit and pads ---------------------------------------------
# Its standard input is this terminal, so the user can type its commands
# (given explicitly: a background job would get /dev/null otherwise).
"$sim" --api "$api" --pads --name "$sim_name" <&0 &
sim_pid=$!

declare -A ports
waited=0
while :; do
    listed=$(list_ports)
    ports[hard_in]=$(find_port "$listed" "$sim_name Out:unit-out")
    ports[hard_out]=$(find_port "$listed" "$sim_name In:unit-in")
    ports[remote_in]=$(find_port "$listed" "$sim_name Pads Out:pads-out")
    ports[remote_out]=$(find_port "$listed" "$sim_name Pads In:pads-in")
    [[ -n ${ports[hard_in]} && -n ${ports[hard_out]} && -n ${ports[remote_in]} &&
        -n ${ports[remote_out]} ]] && break
    if ! kill -0 "$sim_pid" 2>/dev/null || ((waited >= 100)); then
        say "the simulator's ports did not appear within 10 s; the ports listed:"
        sed 's/^/    /' <<<"$listed" >&2
        exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
done

# --- TarnApp's settings: the simulator's ports --------------------------------
# A setting file of an earlier demo keeps its names and arrangement; only the
# ports are set anew.
{
    echo "[General]"
    echo "HardwareMidiInPort=${ports[hard_in]}"
    echo "HardwareMidiOutPort=${ports[hard_out]}"
    echo "RemoteMidiInPort=${ports[remote_in]}"
    echo "RemoteMidiOutPort=${ports[remote_out]}"
    if [[ -f $setting_file ]]; then
        grep -v -e '^\[General\]$' -e '^HardwareMidiInPort=' -e '^HardwareMidiOutPort=' \
            -e '^RemoteMidiInPort=' -e '^RemoteMidiOutPort=' "$setting_file" || true
    else
        printf 'Preset%d=%s\n' 1 Clean 2 Crunch 3 Lead 4 Ambient 5 Octave 6 Bypass
        echo "FootSwitchIndex=6"
        echo "DispType=0"
    fi
} >"$setting_file.new"
mv "$setting_file.new" "$setting_file"

cat >&2 <<EOF
demo: TarnApp starts with the settings in $config_home
demo: its own output (traffic log, debug lines) goes to $log
demo: type the simulator's commands here: p1..p6 press a pad, f the foot
demo: switch (preset 6), 1..6 choose a preset on the unit, h for help.
demo: close TarnApp's window or press Ctrl-C to end the demo.
EOF

XDG_CONFIG_HOME=$config_home "$app" >"$log" 2>&1 &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
if ((status != 0)); then
    say "TarnApp ended with code $status; the end of its log:"
    tail -n 15 "$log" >&2
fi
exit "$status"
