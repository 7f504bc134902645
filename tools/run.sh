#!/usr/bin/env bash
# Builds TarnApp (installing what it needs first) and starts the demo
# (tools/demo.sh): the program talking to a simulated unit and pad controller.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/setup.sh
build_dir=${TARN_BUILD_DIR:-build}
if [[ ! -x $build_dir/TarnApp ]]; then
    echo "run: the build is done, but $build_dir/TarnApp does not exist yet; nothing to run." >&2
    exit 1
fi
TARN_BUILD_DIR=$build_dir exec tools/demo.sh
