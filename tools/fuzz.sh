#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer over the whole program) and runs each one for a
# bounded time on a copy of its seed corpus, tests/fuzz/corpus/NAME, with the
# dictionary tests/fuzz/dict/NAME.dict where there is one. Any crash, failed
# check, leak, sanitizer report or hanging input fails the run; the input
# that did it is kept under BUILD_DIR/fuzz-run/artifacts.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]
#       SECONDS  time for each target (default: TARN_FUZZ_SECONDS, else 60)
#       TARGET   e.g. fuzz_messages (default: all of them)
#
#   TARN_FUZZ_BUILD_DIR  build tree (default: build-fuzz)
#   TARN_FUZZ_JACK       name of the private JACK server that the targets
#                        driving the main window's ports use (default:
#                        tarn-fuzz); started and stopped here
#
# To replay one input: BUILD_DIR/fuzz_NAME FILE (with the same environment:
# QT_QPA_PLATFORM=offscreen, JACK_DEFAULT_SERVER for the window targets).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

seconds=${TARN_FUZZ_SECONDS:-60}
if (($#)) && [[ $1 =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
build_dir=${TARN_FUZZ_BUILD_DIR:-build-fuzz}
jack_name=${TARN_FUZZ_JACK:-tarn-fuzz}
all_targets=(fuzz_messages fuzz_window fuzz_files)
targets=("$@")
((${#targets[@]})) || targets=("${all_targets[@]}")

# Debug keeps Qt's and our assertions; -O1 as libFuzzer recommends.
cmake -S tests/fuzz -B "$build_dir" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
cmake --build "$build_dir" -j2 --target "${targets[@]}"

work=$root/$build_dir/fuzz-run
rm -rf "$work"
mkdir -p "$work"
# The targets' configuration folders: the window saves its setting file on
# every serial number it learns, and on a memory file system that costs no
# disk flush.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    scratch=$(mktemp -d /dev/shm/tarnfuzz.XXXXXX)
else
    scratch=$(mktemp -d "$work/tmp.XXXXXX")
fi

# The targets that drive the main window open its ports on a private server,
# so that the link goes through all its states.
fixture=$root/tools/jackfixture.sh
pidfile=$work/jackd.pid
finish() {
    "$fixture" stop "$jack_name" "$pidfile" >/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
"$fixture" start "$jack_name" "$pidfile"

supp=$root/tests/sanitizers
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export QT_QPA_PLATFORM=offscreen
export JACK_NO_START_SERVER=1
export TMPDIR=$scratch

failed=()
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    seeds=$root/tests/fuzz/corpus/$name
    corpus=$work/corpus/$name
    artifacts=$work/artifacts/$target/
    log=$work/$target.log
    mkdir -p "$corpus" "$artifacts"
    if [[ -d $seeds ]]; then
        cp "$seeds"/* "$corpus"/
    fi
    options=()
    if [[ -f $root/tests/fuzz/dict/$name.dict ]]; then
        options+=(-dict="$root/tests/fuzz/dict/$name.dict")
    fi
    # Only the window target uses the server; the others build port objects
    # at most, which then find no service and stay closed.
    server=$jack_name-none
    [[ $target == fuzz_window ]] && server=$jack_name
    echo "fuzz: $target for ${seconds} s ($(find "$corpus" -type f | wc -l) seeds)"
    start=$(date +%s)
    # close_fd_mask=3: the program's own chatter (debug lines, RtMidi warnings)
    # is dropped; libFuzzer's and the sanitizers' reports still reach the log.
    status=0
    JACK_DEFAULT_SERVER=$server "$root/$build_dir/$target" -max_total_time="$seconds" \
        -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 -close_fd_mask=3 \
        -artifact_prefix="$artifacts" "${options[@]}" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target ran ${runs:-?} inputs in $(($(date +%s) - start)) s, exit status $status"
    if ((status != 0)); then
        failed+=("$target")
        echo "fuzz: $target FAILED; the end of its log ($log):"
        tail -n 60 "$log"
        for artifact in "$artifacts"*; do
            [[ -e $artifact ]] && echo "fuzz: replay with: $build_dir/$target $artifact"
        done
    fi
done

if ((${#failed[@]})); then
    echo "fuzz: failed: ${failed[*]}"
    exit 1
fi
echo "fuzz: ${#targets[@]} passed, 0 failed"
