#!/usr/bin/env bash
# Benchmarks the real TarnApp program: builds it (the first build through
# tools/setup.sh, which installs what it needs), runs build/tarnapp-bench and
# prints a table. The MIDI service is a private JACK server (dummy driver,
# 48 kHz, period 256: latency is what it measures) that this starts and stops,
# or, with TARN_MIDI_SERVICE=alsa, the kernel's ALSA sequencer (on a machine
# without one: tools/alsaguest.sh env TARN_MIDI_SERVICE=alsa bench/run.sh),
# or, with TARN_MIDI_SERVICE=pipewire, a private PipeWire reached through its
# libjack (pw-jack), at its default quantum unless TARN_JACK_PERIOD is set.
# Extra arguments go to tarnapp-bench (see tarnapp-bench --help); --quick
# first is a short run that prints every table (about half a minute).
# bench/run.sh --soak [options] runs the soak instead, tarnapp-soak (see its
# --help): one compressed gig through the program, on the same server, which
# also times the unit's unplugging and return.
#
#   TARN_BUILD_DIR     build tree (default: build)
#   TARN_BENCH_SERVER  JACK server name (default: tarnapp-bench)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir=${TARN_BUILD_DIR:-build}
if [[ ! -f $build_dir/CMakeCache.txt ]]; then
    tools/setup.sh >&2
fi
bench=tarnapp-bench
if [[ ${1:-} == --soak ]]; then
    bench=tarnapp-soak
    shift
elif [[ ${1:-} == --quick ]]; then
    shift
    set -- --presses 50 --flood 2000 --idle 2 --startups 2 --silences 3 "$@"
fi
# The benchmark and the soak are a switch of the build, off for packagers.
grep -q '^TARNAPP_BUILD_BENCH:BOOL=ON$' "$build_dir/CMakeCache.txt" ||
    cmake -S . -B "$build_dir" -DTARNAPP_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" -j2 --target TarnApp "$bench" >&2

if [[ ${TARN_MIDI_SERVICE:-jack} == alsa ]]; then
    TARNAPP_MIDI_API=alsa exec "$build_dir/$bench" "$@"
fi

server=${TARN_BENCH_SERVER:-tarnapp-bench}
pidfile=$build_dir/bench/$server.pid
mkdir -p "$build_dir/bench"
# The test suite's fixture starts and stops private servers; it refuses to
# touch a server of that name that it did not start.
on_service=()
if [[ ${TARN_MIDI_SERVICE:-jack} == pipewire ]]; then
    on_service=(env "XDG_RUNTIME_DIR=${pidfile%.pid}.run" pw-jack)
else
    export TARN_JACK_PERIOD=256
    # The soak stops and starts this server again through the same script.
    export TARN_SOAK_FIXTURE=$PWD/tools/jackfixture.sh TARN_SOAK_SERVER=$server \
        TARN_SOAK_PIDFILE=$PWD/$pidfile
fi
tools/jackfixture.sh start "$server" "$pidfile" >&2
trap 'tools/jackfixture.sh stop "$server" "$pidfile" >&2' EXIT

status=0
JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 TARNAPP_MIDI_API=jack \
    "${on_service[@]}" "$build_dir/$bench" "$@" || status=$?
# Without realtime scheduling a busy machine makes the server miss periods;
# the messages of such a period are lost. Worth knowing beside the figures.
xruns=$(grep -c 'XRun' "${pidfile%.pid}.log" || true)
echo "JACK server log: $xruns xrun lines (${pidfile%.pid}.log)"
exit "$status"
