#!/usr/bin/env bash
# Builds TarnApp (installing what it needs first) and runs the whole test
# suite. The suite starts and stops its own private JACK server. Extra
# arguments go to ctest (e.g. -R tst_offline). Exits with ctest's status.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/setup.sh
exec ctest --test-dir "${TARN_BUILD_DIR:-build}" --output-on-failure "$@"
