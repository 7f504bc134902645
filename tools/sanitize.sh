#!/usr/bin/env bash
# Builds the whole project under a sanitizer in a build tree of its own and
# runs tests there; any sanitizer report fails the run.
#
#   tools/sanitize.sh asan [ctest args...]
#       AddressSanitizer with UndefinedBehaviorSanitizer and leak detection,
#       no recovery from any report; the whole test suite.
#   tools/sanitize.sh tsan [ctest args...]
#       ThreadSanitizer; the tests where MIDI input crosses from the library's
#       thread to the GUI thread, i.e. those with the ctest label "threads".
#
#   TARN_SAN_BUILD_DIR  build tree (default: build-asan or build-tsan)
#   TARN_SAN_CXX        C++ compiler (default: g++, which Debian's Qt is built
#                       with; its sanitizer runtimes come with it)
#   TARN_TSAN_TESTS     ctest regex that replaces the tsan selection
#   TARN_SAN_NO_BUILD=1 runs the tests of the existing build tree as it is
#
# Reports inside Qt, RtMidi and JACK are suppressed by tests/sanitizers/*.supp,
# each entry with its reason; nothing in our own code is.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

usage() {
    echo "usage: $0 asan|tsan [ctest args...]" >&2
    exit 2
}
(($# >= 1)) || usage
kind=$1
shift

case $kind in
asan) san_flags="-fsanitize=address,undefined -fno-sanitize-recover=all" ;;
tsan) san_flags="-fsanitize=thread" ;;
*) usage ;;
esac

build_dir=${TARN_SAN_BUILD_DIR:-build-$kind}
supp=$root/tests/sanitizers

# Debug keeps Qt's and our assertions; -O1 keeps the sanitizers' cost down.
if [[ ${TARN_SAN_NO_BUILD:-0} != 1 ]]; then
    cmake -S . -B "$build_dir" \
        -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER="${TARN_SAN_CXX:-g++}" \
        -DCMAKE_CXX_FLAGS_DEBUG="-g -O1 -fno-omit-frame-pointer" \
        -DCMAKE_CXX_FLAGS="$san_flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$san_flags" \
        -DCMAKE_SHARED_LINKER_FLAGS="$san_flags"
    cmake --build "$build_dir" -j2
fi

# The first report ends the test with a failure (no recovery); leaks are
# reported when a test exits. ASan keeps its own handler for invalid
# accesses, which Qt Test's crash handler would replace, and Qt Test calls no
# debugger on a crash.
export QTEST_DISABLE_STACK_DUMP=1
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:allow_user_segv_handler=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:suppressions=$supp/asan.supp"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
# A race report does not stop the test, so one run shows all of them; the
# test then exits with 66 and fails.
export TSAN_OPTIONS="halt_on_error=0:exitcode=66:second_deadlock_stack=1:suppressions=$supp/tsan.supp:print_suppressions=0"

# The tests that a selection names, fixtures left out.
selected_tests() {
    local listing
    listing=$(ctest --test-dir "$build_dir" -N "$@")
    sed -n 's/^ *Test *#[0-9]*: //p' <<<"$listing" | grep -v '^jack_server_' || true
}

select=()
if [[ $kind == tsan ]]; then
    if [[ -n ${TARN_TSAN_TESTS:-} ]]; then
        select=(-R "$TARN_TSAN_TESTS")
    else
        select=(-L threads)
    fi
    # A selection that matches nothing would pass without testing anything.
    names=$(selected_tests "${select[@]}")
    if [[ -z $names ]]; then
        echo "sanitize: no test matches ${select[*]}" >&2
        exit 1
    fi
    echo "sanitize: ThreadSanitizer runs:" $names
    # JACK ends a closing client's threads with asynchronous pthread_cancel.
    # Under ThreadSanitizer a thread cancelled inside the runtime's own
    # bookkeeping can leave a runtime lock taken, and the next lock of that
    # mutex waits forever (seen on a busy machine: the whole test hangs in
    # jack_client_close). A test that times out runs again; a race report
    # still fails it at once.
    select+=(--repeat after-timeout:5)
fi

exec ctest --test-dir "$build_dir" --output-on-failure "${select[@]}" "$@"
