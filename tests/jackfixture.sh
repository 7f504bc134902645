#!/usr/bin/env bash
# Starts or stops the private JACK server that the tests use as their MIDI
# service:  jackfixture.sh start|stop NAME PIDFILE
#
# start: stops a server of that name left from an earlier run (by the pid in
# PIDFILE), starts jackd with the dummy driver in the background, writes its
# pid to PIDFILE and waits until the server answers. Its period is
# TARN_JACK_PERIOD frames at 48 kHz, 1024 by default: with --no-realtime a
# client that the scheduler keeps waiting misses whole periods and their MIDI,
# and on a busy machine 21 ms periods are missed far less often than 5 ms ones.
# With TARN_JACK_REALTIME=1 the server and its clients' process threads run
# with real-time priority (jackd -R), as on a musician's system: a busy
# machine then cannot make a client late.
# stop:  ends the server with SIGTERM and waits until it has gone, so that
# its slot in JACK's registry is free again.
set -euo pipefail

usage() {
    echo "usage: $0 start|stop NAME PIDFILE" >&2
    exit 2
}
(($# == 3)) || usage
action=$1
name=$2
pidfile=$3
# Bounds in seconds: for the server to answer, and to stop (a server whose
# clients died under it takes a while to notice).
start_timeout=${TARN_JACK_START_TIMEOUT:-10}
stop_timeout=${TARN_JACK_STOP_TIMEOUT:-30}
period=${TARN_JACK_PERIOD:-1024}
[[ $period =~ ^[1-9][0-9]*$ ]] || usage
mode=--no-realtime
[[ ${TARN_JACK_REALTIME:-0} == 1 ]] && mode=-R

# Never let a client start a server of its own by accident.
export JACK_NO_START_SERVER=1

alive() {
    # A zombie has ended: it only waits for its parent.
    [[ -d /proc/$1 ]] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null
}

# True when PID is a server that this script started for NAME (with any
# period and mode), so that a stale pid file never makes us signal an
# unrelated process.
is_our_server() {
    alive "$1" || return 1
    local cmdline
    cmdline=$(tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null) || return 1
    [[ $cmdline =~ ^jackd\ (--no-realtime|-R)\ -n\ (.*)\ -d\ dummy\ -r\ 48000\ -p\ [0-9]+\ $ ]] &&
        [[ ${BASH_REMATCH[2]} == "$name" ]]
}

answers() {
    jack_wait -s "$name" -c 2>/dev/null | grep -qx running
}

stop_pid() {
    local pid=$1 waited=0
    kill -TERM "$pid" 2>/dev/null || return 0
    while alive "$pid"; do
        if ((waited >= stop_timeout * 10)); then
            # Its registry slot stays taken until a server of the same name
            # starts again, which the next run does.
            echo "jackfixture: server '$name' (pid $pid) did not stop within" \
                "${stop_timeout} s; killed" >&2
            kill -KILL "$pid" 2>/dev/null || true
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

stop() {
    local status=0
    if [[ -f $pidfile ]]; then
        local pid
        pid=$(<"$pidfile")
        if [[ $pid =~ ^[0-9]+$ ]] && is_our_server "$pid"; then
            stop_pid "$pid" || status=1
        fi
        rm -f "$pidfile"
    fi
    return $status
}

start() {
    stop || true
    if answers; then
        echo "jackfixture: a JACK server named '$name' is already running and is not ours" \
            "(no pid file $pidfile); stop it first" >&2
        exit 1
    fi
    local log=${pidfile%.pid}.log
    mkdir -p "$(dirname "$pidfile")"
    # Its own session, and no inherited output: ctest waits for the fixture's
    # output to close, and must not take the server down with the fixture.
    setsid jackd "$mode" -n "$name" -d dummy -r 48000 -p "$period" \
        </dev/null >"$log" 2>&1 &
    local pid=$!
    echo "$pid" >"$pidfile"
    local waited=0
    until answers; do
        if ! alive "$pid"; then
            echo "jackfixture: jackd for '$name' exited at start; its log ($log):" >&2
            cat "$log" >&2
            rm -f "$pidfile"
            exit 1
        fi
        if ((waited >= start_timeout * 10)); then
            echo "jackfixture: server '$name' did not answer within ${start_timeout} s; its log:" >&2
            cat "$log" >&2
            stop_pid "$pid" || true
            rm -f "$pidfile"
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    echo "jackfixture: JACK server '$name' runs as pid $pid"
}

case $action in
start) start ;;
stop)
    stop || exit 1
    echo "jackfixture: JACK server '$name' stopped"
    ;;
*) usage ;;
esac
