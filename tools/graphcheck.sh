#!/usr/bin/env bash
# Checks that our JACK clients never stall or disturb JACK's graph, and that
# the first message on a connection just made arrives.
#
# On a private JACK server (dummy driver, period 256 as in the demo;
# real-time where the system allows it, so that a busy machine cannot make a
# client late), while other clients query the graph ten times a second and
# connect and disconnect a port of their own (jack_lsp, jack_connect and
# jack_disconnect on a jack_metro port):
#   1. starts and stops the unit simulator (tarnapp-unitsim --pads) STARTS times;
#   2. starts and stops TarnApp STARTS times against one simulator, each start
#      waiting for its serial request to reach the unit (none may be lost);
#   3. runs tst_e2efirstsend with 200 rounds of open, request, reply, close
#      (none may be lost; replies handed over twice count as the server's
#      when no fewer cycles were late).
# Fails when the server's log shows a client of ours late ("was not
# finished") and the graph stopped ("Process error") through a fault of ours
# (see tally below: cycles in or next to which a reference client, a
# metronome, was late too are the machine's, and so are a few cycles in which
# our client had not begun at all, or a lone one still running). Prints the xruns and the time from TarnApp's start to its
# serial request at the unit.
#
#   tools/graphcheck.sh [STARTS]      (default 50)
#   TARN_BUILD_DIR        build tree (default: build), with TarnApp,
#                         tarnapp-unitsim and tests/integration/tst_e2efirstsend built
#   TARN_GRAPHCHECK_SERVER  server name (default: tarn-graphcheck)
#   TARN_GRAPHCHECK_REALTIME=0  a server without real-time scheduling, to
#                         measure; on a busy machine every client is late then
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
starts=${1:-50}
build_dir=${TARN_BUILD_DIR:-build}
[[ $build_dir == /* ]] || build_dir=$root/$build_dir
server=${TARN_GRAPHCHECK_SERVER:-tarn-graphcheck}
state=$build_dir/graphcheck
pidfile=$state/jackd.pid
serverlog=$state/jackd.log
sim_name=gc-sim
first_send=$build_dir/tests/integration/tst_e2efirstsend

say() { echo "graphcheck: $*" >&2; }

for program in "$build_dir/TarnApp" "$build_dir/tarnapp-unitsim" "$first_send"; do
    [[ -x $program ]] || {
        say "$program is missing; build it first"
        exit 1
    }
done

rm -rf "$state"
mkdir -p "$state/config/TarnApp"
export TARN_JACK_PERIOD=256
if [[ ${TARN_GRAPHCHECK_REALTIME:-1} == 1 ]] && chrt -f 1 true 2>/dev/null; then
    export TARN_JACK_REALTIME=1
else
    say "no real-time scheduling here: clients may be late on a busy machine"
fi
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 QT_QPA_PLATFORM=offscreen

pids=()
cleanup() {
    trap '' INT TERM
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    tools/jackfixture.sh stop "$server" "$pidfile" >/dev/null || say "could not stop $server"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

tools/jackfixture.sh start "$server" "$pidfile" >/dev/null

# Other clients at work on the graph, ten times a second.
jack_metro -n gc-metro -b 120 -D 10 >/dev/null 2>&1 &
pids+=($!)
(
    connected=0
    while :; do
        jack_lsp -c >/dev/null 2>&1 || true
        if ((connected)); then
            jack_disconnect gc-metro:120_bpm system:playback_1 >/dev/null 2>&1 || true
        else
            jack_connect gc-metro:120_bpm system:playback_1 >/dev/null 2>&1 || true
        fi
        connected=$((1 - connected))
        sleep 0.1
    done
) &
pids+=($!)

# Prints a millisecond stamp before every line of its input.
stamp() {
    while IFS= read -r line; do
        printf '%s %s\n' "$(date +%s%3N)" "$line"
    done
}

# Waits until file $1 has at least $2 lines matching $3; false after $4 s.
await_lines() {
    local waited=0 count
    until count=$(grep -c -e "$3" "$1" 2>/dev/null) || true; ((${count:-0} >= $2)); do
        ((waited < $4 * 20)) || return 1
        sleep 0.05
        waited=$((waited + 1))
    done
}

# The server's complaints in lines $1+1 to $2 of its log:
# "cycles running machine errors". The clients late in one cycle are listed
# together, before that cycle's "Process error". When the metronome, a plain
# client that does next to nothing, was late in that cycle or in one of the
# three late cycles listed before or after it, the machine was (its scheduler
# or the server's timer: on a virtual machine such hiccups last a few cycles
# and catch every client): such cycles count as the machine's. Of the others:
# in how many cycles a client of ours was late, how often one was still
# running its cycle ("state = Running": our code took too long), and the
# "Process error"s that followed them (a stalled graph lists nobody after a
# while, so an error goes to the last cycle listed).
complaints() {
    sed -n "$(($1 + 1)),$2p" "$serverlog" | awk '
        function close_cycle() {
            if (ours || metro) { n++; O[n] = ours; M[n] = metro; R[n] = running }
            ours = metro = running = 0
        }
        /was not finished/ {
            if ($0 ~ /client = gc-metro /) metro = 1
            else { ours = 1; if ($0 ~ /state = Running/) running = 1 }
            next
        }
        /Process error/ { close_cycle(); E[n]++; next }
        { close_cycle() }
        END {
            close_cycle()
            for (i = 1; i <= n; i++) {
                noisy = 0
                for (j = i - 3; j <= i + 3; j++) if (j >= 1 && j <= n && M[j]) noisy = 1
                if (noisy) { machine += O[i]; continue }
                cycles += O[i]; running_total += R[i]; if (O[i]) errors += E[i]
            }
            printf "%d %d %d %d\n", cycles, running_total, machine, errors
        }'
}

# Judges lines $1+1 to $2 (one start, or the rounds test, which counts as $3
# starts) and adds to the phase's tally. A cycle in which our client had not
# even begun ("state = Triggered") while the graph ran on is a scheduling miss
# that no code of ours took part in (on CI's virtual machine a real-time
# thread still waits for a core now and then, the metronome's too), and so is
# a lone cycle still running; more cycles still running, or more than a few
# late cycles in one start (a graph that stalls lists hundreds), are ours.
tally_reset() { t_cycles=0 t_machine=0 t_errors=0 t_ours=0 t_lone=0; }
tally() {
    local cycles running machine errors size=${3:-1}
    read -r cycles running machine errors <<<"$(complaints "$1" "$2")"
    t_cycles=$((t_cycles + cycles)) t_machine=$((t_machine + machine))
    t_errors=$((t_errors + errors))
    if ((running > size || cycles > 3 * size || errors > 3 * size)); then
        t_ours=$((t_ours + 1))
    elif ((cycles > 0)); then
        t_lone=$((t_lone + 1))
    fi
}
# Says the tally of phase $1 over $2 units; fails on any unit that was ours.
report() {
    say "$1: our clients late in $t_cycles cycles over $2 (units with scheduling misses only: $t_lone)," \
        "$t_errors 'Process error' after them; $t_machine cycles late with the machine's;" \
        "faults of ours: $t_ours"
    ((t_ours == 0)) || failed=1
}

failed=0
lines_at() { wc -l <"$serverlog"; }

# --- 1. The simulator started and stopped ------------------------------------
tally_reset
for ((i = 1; i <= starts; i++)); do
    mark=$(lines_at)
    out=$state/sim-$i.out
    "$build_dir/tarnapp-unitsim" --api jack --pads --name "$sim_name" </dev/null >"$out" 2>&1 &
    pid=$!
    if ! await_lines "$out" 1 '^unit: type h for commands' 10; then
        say "simulator start $i: its ports did not open; its output:"
        sed 's/^/    /' "$out" >&2
        failed=1
    fi
    kill -TERM "$pid"
    wait "$pid" || true
    tally "$mark" "$(lines_at)"
done
report "simulator" "$starts starts"

# --- 2. TarnApp started and stopped against one simulator ----------------------
sim_out=$state/sim.out
"$build_dir/tarnapp-unitsim" --api jack --pads --name "$sim_name" </dev/null \
    > >(stamp >"$sim_out") 2>&1 &
pids+=($!)
await_lines "$sim_out" 1 ' unit: type h for commands' 10 || {
    say "the simulator did not start"
    exit 1
}
# The port names as the simulator shows them: unit in, unit out, pads in, pads out.
mapfile -t names < <(sed -n 's/^[0-9]* port: "\([^"]*\)".*/\1/p' "$sim_out")
cat >"$state/config/TarnApp/TarnAppSetting.ini" <<EOF
[General]
HardwareMidiInPort=${names[1]}
HardwareMidiOutPort=${names[0]}
RemoteMidiInPort=${names[3]}
RemoteMidiOutPort=${names[2]}
EOF

request=' Rcv    : F0 00 11 22 0A 00 00 00 00 02 00 F7'
tally_reset
delays=()
reached=0
status=' Rcv    : F0 .* 02 01 F7$'
for ((i = 1; i <= starts; i++)); do
    statuses=$(grep -c -e "$status" "$sim_out" || true)
    mark=$(lines_at)
    begin=$(date +%s%3N)
    XDG_CONFIG_HOME=$state/config "$build_dir/TarnApp" >"$state/app-$i.log" 2>&1 &
    pid=$!
    if await_lines "$sim_out" $((reached + 1)) "$request" 10; then
        reached=$((reached + 1))
        arrived=$(grep -e "$request" "$sim_out" | sed -n "${reached}p" | cut -d' ' -f1)
        delays+=($((arrived - begin)))
        # The status request follows the serial reply: the link completes.
        if ! await_lines "$sim_out" $((statuses + 1)) "$status" 10; then
            say "TarnApp start $i: no status request after the serial reply"
            failed=1
        fi
    else
        say "TarnApp start $i: its serial request never reached the unit"
        failed=1
    fi
    kill -TERM "$pid"
    wait "$pid" || true
    # A request that came after all is not taken for the next start's.
    reached=$(grep -c -e "$request" "$sim_out" || true)
    tally "$mark" "$(lines_at)"
done
report "TarnApp" "$starts starts"
if ((${#delays[@]})); then
    sorted=($(printf '%s\n' "${delays[@]}" | sort -n))
    say "TarnApp start to serial request at the unit: median ${sorted[${#sorted[@]} / 2]} ms," \
        "min ${sorted[0]} ms, max ${sorted[-1]} ms"
fi

# --- 3. 200 rounds of open, request, reply, close ------------------------------
mark=$(lines_at)
# In a process group of its own, so that what a failing test leaves behind
# (its simulator) ends with it.
TARN_FIRSTSEND_ROUNDS=200 TARN_FIRSTSEND_SURPLUS=1 HOME=$state XDG_CONFIG_HOME=$state/config \
    setsid "$first_send" >"$state/firstsend.log" 2>&1 &
group=$!
if ! wait "$group"; then
    say "tst_e2efirstsend failed; its log: $state/firstsend.log"
    grep -E '^(FAIL|   Actual|   Expected|   Loc)|[Jj]ack' "$state/firstsend.log" | head -n 30 >&2 || true
    failed=1
fi
kill -TERM -- "-$group" 2>/dev/null || true
tally_reset
tally "$mark" "$(lines_at)" 10
report "open and request" "200 rounds"
# Replies handed over twice are the server's when at least as many cycles
# were late (ours or the machine's); more are a fault of ours.
surplus=$(sed -n 's/^surplus: //p' "$state/firstsend.log")
if [[ -n $surplus ]]; then
    say "open and request: $surplus replies more than rounds, with $((t_cycles + t_machine)) late cycles"
    ((surplus <= t_cycles + t_machine)) || failed=1
fi

if ((failed)); then
    say "FAILED; the server's complaints:"
    grep -e 'was not finished' -e 'Process error' "$serverlog" | sort | uniq -c | sort -rn |
        head -n 20 >&2
    say "and its other lines after the banner:"
    sed -n '9,$p' "$serverlog" | grep -v -e 'was not finished' -e 'Process error' \
        -e 'JackTimedDriver::Process XRun' | sort | uniq -c | sort -rn | head -n 20 >&2
    exit 1
fi
say "passed"
