#!/usr/bin/env bash
# Starts or stops a private PipeWire, the MIDI service of the tests, the demo
# and the benchmark when TARN_MIDI_SERVICE=pipewire (tools/jackfixture.sh
# hands over to this):  pwfixture.sh start|stop NAME PIDFILE
#
# Its runtime folder, the one JACK programs reach it through, is PIDFILE
# without ".pid" and with ".run" (XDG_RUNTIME_DIR=that pw-jack PROGRAM), so
# a desktop's own PipeWire is never touched. It runs with its default
# configuration and no session manager: its dummy driver drives the graph,
# and every JACK client is scheduled by it. Its quantum is PipeWire's default
# (1024 frames at 48 kHz), or TARN_JACK_PERIOD frames when that is set.
# NAME only names it in messages: PipeWire's libjack ignores server names.
set -euo pipefail
(($# == 3)) || { echo "usage: $0 start|stop NAME PIDFILE" >&2; exit 2; }
action=$1 name=$2 pidfile=$3
runtime=${pidfile%.pid}.run
unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR PIPEWIRE_QUANTUM
export XDG_RUNTIME_DIR=$runtime

alive() { [[ -d /proc/$1 ]] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
answers() { pw-jack jack_wait -c 2>/dev/null | grep -qx running; }
# Only a PipeWire that this script started on this runtime folder is signalled.
ours() {
    alive "$1" && [[ $(tr '\0' ' ' <"/proc/$1/cmdline") == "pipewire " ]] &&
        tr '\0' '\n' <"/proc/$1/environ" | grep -qxF "XDG_RUNTIME_DIR=$runtime"
}

stop() {
    [[ -f $pidfile ]] || return 0
    local pid
    pid=$(<"$pidfile")
    rm -f "$pidfile"
    [[ $pid =~ ^[0-9]+$ ]] && ours "$pid" || return 0
    kill -TERM "$pid"
    for _ in $(seq 300); do alive "$pid" || return 0; sleep 0.1; done
    echo "pwfixture: PipeWire '$name' did not stop within 30 s" >&2
    return 1
}

start() {
    command -v pipewire >/dev/null && command -v pw-jack >/dev/null || {
        echo "pwfixture: needs pipewire and pw-jack (Debian: pipewire pipewire-jack)" >&2
        exit 1
    }
    stop || true
    mkdir -p "$runtime" && chmod 700 "$runtime"
    answers && { echo "pwfixture: a PipeWire runs in $runtime that is not ours; stop it first" >&2; exit 1; }
    local log=${pidfile%.pid}.log
    # Its own session and no inherited output, as for jackd. Without a session
    # bus it says so and goes on; nothing here needs one.
    DBUS_SESSION_BUS_ADDRESS=disabled: setsid pipewire </dev/null >"$log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
        if answers; then
            if [[ -n ${TARN_JACK_PERIOD:-} ]]; then
                pw-metadata -n settings 0 clock.force-quantum "$TARN_JACK_PERIOD" >/dev/null
            fi
            echo "pwfixture: PipeWire '$name' runs as pid $! in $runtime"
            return 0
        fi
        alive $! || break
        sleep 0.1
    done
    echo "pwfixture: PipeWire '$name' did not answer within 10 s; its log:" >&2
    cat "$log" >&2
    stop || true
    exit 1
}

case $action in
start) start ;;
stop) stop && echo "pwfixture: PipeWire '$name' stopped" ;;
*) echo "usage: $0 start|stop NAME PIDFILE" >&2; exit 2 ;;
esac
