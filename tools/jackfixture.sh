#!/usr/bin/env bash
# Starts or stops a private JACK server, the MIDI service of the tests, the
# demo, the benchmark and the graph check:  jackfixture.sh start|stop NAME PIDFILE
#
# start: stops a server of that name left from an earlier run, starts jackd
# with the dummy driver, writes its pid to PIDFILE and waits until it answers.
# Its period is TARN_JACK_PERIOD frames at 48 kHz, 1024 by default: with
# --no-realtime a client that a busy machine keeps waiting misses whole
# periods and their MIDI, and 21 ms periods are missed far less often than
# 5 ms ones. Its port table holds 256 ports, so a test can fill it.
# stop: SIGTERM, and waits until the server has gone, so that its slot in
# JACK's small registry is free again (SIGKILL would keep the slot).
# TARN_JACK_REALTIME=1 runs the server and its clients' process threads with
# real-time scheduling, where the system allows it.
# With TARN_MIDI_SERVICE=pipewire the private service is a PipeWire of its own,
# started and stopped the same way. Its runtime folder, the one JACK programs
# reach it through, is PIDFILE without ".pid" and with ".run"
# (XDG_RUNTIME_DIR=that pw-jack PROGRAM), so a desktop's own PipeWire is never
# touched. It runs with its default configuration and no session manager: its
# dummy driver drives the graph. Its quantum is PipeWire's default (1024
# frames at 48 kHz), or TARN_JACK_PERIOD frames when that is set. NAME only
# names it in messages: PipeWire's libjack ignores server names.
# TARN_PIPEWIRE_PREFIX names a PipeWire unpacked by tools/pwbackports.sh, run
# instead of the system's.
set -euo pipefail
(($# == 3)) || { echo "usage: $0 start|stop NAME PIDFILE" >&2; exit 2; }
action=$1 name=$2 pidfile=$3
export JACK_NO_START_SERVER=1
alive() { [[ -d /proc/$1 ]] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

if [[ ${TARN_MIDI_SERVICE:-} == pipewire ]]; then
    what="PipeWire '$name'"
    if [[ -n ${TARN_PIPEWIRE_PREFIX:-} ]]; then
        . "$TARN_PIPEWIRE_PREFIX/env"
        what="PipeWire $(pipewire --version | sed -n 's/^Compiled with libpipewire //p') '$name'"
    fi
    runtime=${pidfile%.pid}.run
    unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR PIPEWIRE_QUANTUM
    export XDG_RUNTIME_DIR=$runtime
    answers() { pw-jack jack_wait -c 2>/dev/null | grep -qx running; }
    # Only a PipeWire that this script started on this runtime folder is signalled.
    ours() {
        alive "$1" && [[ $(tr '\0' ' ' <"/proc/$1/cmdline") == "pipewire " ]] &&
            tr '\0' '\n' <"/proc/$1/environ" | grep -qxF "XDG_RUNTIME_DIR=$runtime"
    }
    launch() {
        command -v pipewire >/dev/null && command -v pw-jack >/dev/null || {
            echo "jackfixture: needs pipewire and pw-jack (Debian: pipewire pipewire-jack)" >&2
            exit 1
        }
        mkdir -p "$runtime" && chmod 700 "$runtime"
        # Without a session bus it says so and goes on; nothing here needs one.
        DBUS_SESSION_BUS_ADDRESS=disabled: exec setsid pipewire
    }
    ready() {
        [[ -z ${TARN_JACK_PERIOD:-} ]] ||
            pw-metadata -n settings 0 clock.force-quantum "$TARN_JACK_PERIOD" >/dev/null
    }
else
    what="JACK server '$name'"
    mode=--no-realtime
    [[ ${TARN_JACK_REALTIME:-0} == 1 ]] && mode=-R
    answers() { jack_wait -s "$name" -c 2>/dev/null | grep -qx running; }
    # Only a server that this script started for NAME is ever signalled.
    ours() { alive "$1" && tr '\0' ' ' <"/proc/$1/cmdline" | grep -qE "^jackd (--no-realtime|-R) -p 256 -n $name -d dummy "; }
    launch() { exec setsid jackd $mode -p 256 -n "$name" -d dummy -r 48000 -p "${TARN_JACK_PERIOD:-1024}"; }
    ready() { :; }
fi

stop() {
    [[ -f $pidfile ]] || return 0
    local pid
    pid=$(<"$pidfile")
    rm -f "$pidfile"
    [[ $pid =~ ^[0-9]+$ ]] && ours "$pid" || return 0
    kill -TERM "$pid"
    for _ in $(seq 300); do alive "$pid" || return 0; sleep 0.1; done
    echo "jackfixture: $what did not stop within 30 s" >&2
    return 1
}

start() {
    stop || true
    answers && { echo "jackfixture: a $what runs that is not ours; stop it first" >&2; exit 1; }
    mkdir -p "$(dirname "$pidfile")"
    local log=${pidfile%.pid}.log
    # Its own session and no inherited output: ctest waits for the fixture's
    # output to close, and must not take the server down with the fixture.
    # (launch execs the service, so that $! is its pid.)
    launch </dev/null >"$log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
        answers && ready && { echo "jackfixture: $what runs as pid $!"; return 0; }
        alive $! || break
        sleep 0.1
    done
    echo "jackfixture: $what did not answer within 10 s; its log:" >&2
    cat "$log" >&2
    stop || true
    exit 1
}

case $action in
start) start ;;
stop) stop && echo "jackfixture: $what stopped" ;;
*) echo "usage: $0 start|stop NAME PIDFILE" >&2; exit 2 ;;
esac
