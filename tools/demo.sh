#!/usr/bin/env bash
# The demo: TarnApp against a simulated unit and pad controller
# (tarnapp-unitsim --pads), so it can be tried with no hardware at all.
#
# - MIDI service: the system's ALSA sequencer where there is one
#   (/dev/snd/seq); otherwise the desktop's PipeWire where one answers
#   (through pw-jack, as any JACK program runs there); otherwise a private JACK
#   server (dummy driver, period 256) that the demo starts and stops again.
#   TARN_MIDI_SERVICE=alsa|pipewire|jack chooses one.
# - The simulator reads its commands from this terminal (p1..p6 press a pad,
#   f the foot switch, c pads or foot controller, n+ n- s+ s- and song N
#   step the setlist, 1..6 choose a preset on the unit, h for help) and
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
        tools/jackfixture.sh stop "$jack_server" "$jack_pidfile" >/dev/null ||
            say "could not stop the JACK server '$jack_server'"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- MIDI service -----------------------------------------------------------
# PipeWire's JACK programs run on its libjack: pw-jack puts it first.
on_service=()
pipewire_answers() { command -v pw-jack >/dev/null && pw-jack jack_wait -c 2>/dev/null | grep -qx running; }
service=${TARN_MIDI_SERVICE:-}
if [[ -z $service ]]; then
    if [[ -r /dev/snd/seq && -w /dev/snd/seq ]]; then
        service=alsa
    elif pipewire_answers; then
        service=pipewire
    else
        service=jack
    fi
fi
if [[ $service == alsa ]]; then
    api=alsa
    say "MIDI service: the system's ALSA sequencer"
elif [[ $service == pipewire ]]; then
    api=jack
    on_service=(pw-jack)
    say "MIDI service: PipeWire, through its JACK library (pw-jack)"
else
    api=jack
    jack_server=${TARN_DEMO_SERVER:-tarnapp-demo}
    say "MIDI service: no ALSA sequencer here; starting the private JACK server '$jack_server'"
    # The test suite's fixture: starts jackd -d dummy -r 48000 -p 256 and waits
    # until it answers; refuses to touch a server of that name it did not start.
    # Short periods, for lamps that follow a press at once.
    export TARN_JACK_PERIOD=256
    tools/jackfixture.sh start "$jack_server" "$jack_pidfile" >/dev/null
    export JACK_DEFAULT_SERVER=$jack_server JACK_NO_START_SERVER=1
fi

# The listed name of the simulator's port "client:port". JACK lists it as
# the simulator shows it; ALSA adds the client and port numbers
# ("client:port 128:0"), read from the sequencer's own list (the newest,
# should an older simulator still be running).
listed_name() {
    if [[ $api == jack ]]; then
        echo "$1"
        return
    fi
    awk -v want="$1" '
        /^Client +[0-9]+ : "/ {
            match($0, /"[^"]*"/); client = substr($0, RSTART + 1, RLENGTH - 2)
            split($0, f, /[ :]+/); number = f[2]
        }
        /^  Port +[0-9]+ : "/ {
            match($0, /"[^"]*"/); split($0, f, /[ :]+/)
            if (client ":" substr($0, RSTART + 1, RLENGTH - 2) == want)
                found = want " " number ":" f[3]
        }
        END { if (found != "") print found }' /proc/asound/seq/clients 2>/dev/null || true
}

# --- The simulated unit and pads ---------------------------------------------
# Its standard input is this terminal, so the user can type its commands
# (given explicitly: a background job would get /dev/null otherwise). Its
# lines go to this terminal and to a file, where the demo reads them: the
# ports it opened, and what reached the unit. Nothing here asks the MIDI
# service itself, which every client of the service would have to answer.
sim_log=$demo_dir/unitsim.log
: >"$sim_log"
"${on_service[@]}" "$sim" --api "$api" --pads --name "$sim_name" <&0 > >(tee -a "$sim_log") 2>&1 &
sim_pid=$!

# Waits up to a tenth of a second times $2 for a line of the simulator's
# matching $1, while the simulator runs.
await_sim_line() {
    local waited=0
    until grep -q -e "$1" "$sim_log"; do
        kill -0 "$sim_pid" 2>/dev/null && ((waited < $2)) || return 1
        sleep 0.1
        waited=$((waited + 1))
    done
}

if ! await_sim_line '^unit: type h for commands' 100; then
    say "the simulator did not open its ports within 10 s; its output:"
    sed 's/^/    /' "$sim_log" >&2
    exit 1
fi
# Its ports, in the order it shows them: unit in, unit out, pads in, pads out.
mapfile -t shown < <(sed -n 's/^port: "\([^"]*\)".*/\1/p' "$sim_log")
declare -A ports
ports[hard_out]=$(listed_name "${shown[0]}")
ports[hard_in]=$(listed_name "${shown[1]}")
ports[remote_out]=$(listed_name "${shown[2]}")
ports[remote_in]=$(listed_name "${shown[3]}")
for role in hard_in hard_out remote_in remote_out; do
    if [[ -z ${ports[$role]} ]]; then
        say "the simulator's ports are not listed by the MIDI service; its output:"
        sed 's/^/    /' "$sim_log" >&2
        exit 1
    fi
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
        # A gig on stage, stepped by the simulator's setlist switches.
        echo "SetlistFile=$root/data/example-setlist.txt"
        echo "SetlistPosition=1 1"
        printf 'Remote%s=cc any %d\n' NextPart 80 PreviousPart 81 NextSong 82 PreviousSong 83
    fi
} >"$setting_file.new"
mv "$setting_file.new" "$setting_file"

cat >&2 <<EOF
demo: TarnApp starts with the settings in $config_home
demo: its own output (traffic log, debug lines) goes to $log
demo: type the simulator's commands here: p1..p6 press a pad, f the foot
demo: switch (preset 6), 1..6 choose a preset on the unit, h for help.
demo: c turns the pads into a foot controller (p1..p6 Program Change 0..5,
demo: f a CC 64 pedal): bind them in Settings, "Remote controller…".
demo: a setlist is on stage (data/example-setlist.txt; F2 edits it): Page Down
demo: and Page Up in TarnApp step its parts; here n+ n- step parts, s+ s- songs
demo: (CC 80..83, bound on a first demo), song N sends Song Select for song N.
demo: s silences the unit: a press then turns its button dark amber (asked,
demo: not confirmed); within 0.65 s the hardware lamp turns red and the status
demo: line says the unit is not answering; the buttons stay usable and keep
demo: the last confirmed preset. s again: within a second it is "Complete".
demo: d 150 makes the unit answer 150 ms late (no alarm: 300 ms are allowed).
demo: close TarnApp's window or press Ctrl-C to end the demo.
EOF

XDG_CONFIG_HOME=$config_home "${on_service[@]}" "$app" --midi-api "$api" >"$log" 2>&1 &
app_pid=$!

# Tells how the link came up: the serial request at the unit, then the
# unit's status reply in TarnApp's traffic log ("Complete" in its window).
# When nothing moves, says why as far as can be seen from here.
(
    if ! await_sim_line '^Rcv    : F0 00 11 22 0A' 100; then
        if grep -q 'graph is stalled' "$sim_log"; then
            say "JACK stopped running its clients (its graph is stalled), so TarnApp's"
            say "serial request never reached the unit; see the simulator's lines above."
        elif grep -q 'JACK server has stopped' "$sim_log"; then
            say "the JACK server stopped; close TarnApp and start the demo again."
        else
            say "TarnApp's serial request has not reached the unit after 10 s;"
            say "its log: $log"
        fi
        exit 0
    fi
    waited=0
    until grep -q '^Rcv    : F0 .* 01 [0-9A-F][0-9A-F] F7$' "$log" 2>/dev/null; do
        if ((waited >= 100)); then
            say "the unit's status reply has not reached TarnApp after 10 s; its log: $log"
            exit 0
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    say "the link is complete: TarnApp has the unit's serial number and preset."
) &
watch_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
kill "$watch_pid" 2>/dev/null || true
wait "$watch_pid" 2>/dev/null || true
if ((status != 0)); then
    say "TarnApp ended with code $status; the end of its log:"
    tail -n 15 "$log" >&2
fi
exit "$status"
