#!/usr/bin/env bash
# Checks that TarnApp's windows fit the screens musicians carry: for each
# screen below, a private X server (Xvfb) with a window manager (openbox)
# that frames windows as a desktop does; on it the real program starts in
# each arrangement, first without and then with a bigger screen's state
# file, and its frame must lie on screen; then the screen-fit test
# (tst_screenfit) checks every button, full screen, and the two settings
# windows there.
#
#   tools/screencheck.sh [build dir] [folder for screenshots]
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}
shots=${2:-}
app=$(realpath "$build/TarnApp")
test=$(realpath "$build/tests/unit/tst_screenfit")
[[ -x $app && -x $test ]] || { echo "screencheck: build TarnApp and tst_screenfit first" >&2; exit 1; }
[[ -z $shots ]] || shots=$(realpath "$shots")

# width height scale: a 13" laptop at 150 %, a cheap laptop at 125 %, a
# 1080p screen at 200 %, a small projector at 100 %.
screens=("1280 800 1.5" "1366 768 1.25" "1920 1080 2" "1280 720 1")
# A 2560 x 1440 screen's places and sizes, per arrangement.
stored=("X=1400 Y=900 Width=1100 Height=400" "X=1000 Y=1250 Width=1500 Height=140"
    "X=2200 Y=500 Width=300 Height=800")

work=$(mktemp -d)
pids=()
stop() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT

# Waits, bounded, until the window of class TarnApp has a frame and keeps it,
# then prints its frame as "x y width height" in screen pixels.
frame_of() {
    local last="" now="" steady=0
    for _ in $(seq 100); do
        local id
        id=$(xwininfo -root -tree | awk '/\("TarnApp" "TarnApp"\)/ { print $1; exit }')
        if [[ -n $id ]]; then
            local extents geometry
            extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
            geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
                /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
            if [[ -n $extents ]]; then
                read -r l r t b <<<"$extents"
                read -r x y w h <<<"$geometry"
                now="$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
                [[ $now == "$last" ]] && steady=$((steady + 1)) || steady=0
                last=$now
                ((steady >= 3)) && { echo "$now"; return 0; }
            fi
        fi
        sleep 0.1
    done
    echo "$last"
    return 1
}

failed=0
for screen in "${screens[@]}"; do
    read -r width height scale <<<"$screen"
    # A display number no other server holds, as Xvfb finds it.
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$work/display" \
        >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(cat "$work/display")
    openbox >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    name="${width}x${height}@${scale}"
    [[ -z $shots ]] || mkdir -p "$shots/$name"

    for type in 0 1 2; do
        for state in first stored; do
            config=$work/home/.config/TarnApp
            rm -rf "$work/home" && mkdir -p "$config"
            echo "DispType=$type" >"$config/TarnAppSetting.ini"
            [[ $state == stored ]] && tr ' ' '\n' <<<"${stored[$type]}" >"$config/DispStatus.ini"
            HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_SCALE_FACTOR=$scale \
                JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=tarn-none "$app" >/dev/null 2>&1 &
            program=$!
            if frame=$(frame_of) && read -r x y w h <<<"$frame" &&
                ((x >= 0 && y >= 0 && x + w <= width && y + h <= height)); then
                echo "screencheck: $name arrangement $type, $state: frame $frame inside"
            else
                echo "screencheck: $name arrangement $type, $state: frame ${frame:-none} NOT inside" >&2
                failed=1
            fi
            [[ -z $shots ]] || import -window root "$shots/$name/program-$type-$state.png"
            kill "$program" && wait "$program" || true
        done
    done

    mkdir -p "$work/test"
    if ! (cd "$work/test" && HOME=$work/test XDG_CONFIG_HOME=$work/test QT_QPA_PLATFORM=xcb \
        QT_SCALE_FACTOR=$scale JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=tarn-none \
        TARN_MIDI_SERVICE=jack TARN_SCREEN_SHOTS=${shots:+$shots/$name} "$test" -silent); then
        echo "screencheck: $name: tst_screenfit failed" >&2
        failed=1
    fi
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait "${pids[@]}" 2>/dev/null || true
    pids=()
done
exit $failed
