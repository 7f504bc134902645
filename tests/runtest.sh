# Runs one test for ctest:  runtest.sh HOME EXECUTABLE labels,LABEL,...
# with an emptied home of its own and the program on the suite's MIDI service
# (TARN_MIDI_SERVICE, jack by default). On pipewire the test and every program
# it starts run on PipeWire's libjack (pw-jack) and reach the suite's private
# PipeWire through its runtime folder (TARN_PIPEWIRE_PREFIX: the one that
# tools/pwbackports.sh unpacked there, and its libjack). A test about JACK itself (label
# "jackonly") skips on ALSA with status 77.
rm -rf "$1" && mkdir -p "$1/.config" || exit 1
service=${TARN_MIDI_SERVICE:-jack}
case $service in
alsa | jack | pipewire) ;;
*) echo "TARN_MIDI_SERVICE must be alsa, jack or pipewire, not '$service'" >&2; exit 1 ;;
esac
case "$3," in
*,jackonly,*)
    if [ "$service" = alsa ]; then
        echo "skipped on ALSA: the test is about JACK itself"
        exit 77
    fi
    ;;
esac
export TARN_MIDI_SERVICE="$service"
if [ "$service" = pipewire ]; then
    export TARNAPP_MIDI_API=jack XDG_RUNTIME_DIR="${TARN_JACK_PIDFILE%.pid}.run"
    unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR
    if [ -n "${TARN_PIPEWIRE_PREFIX:-}" ]; then
        . "$TARN_PIPEWIRE_PREFIX/env" || exit 1
    fi
    exec pw-jack "$2"
fi
export TARNAPP_MIDI_API="$service"
exec "$2"
