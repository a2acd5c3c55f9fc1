#!/usr/bin/env bash
# Configures and builds Orvane with Ninja into ${BUILD_DIR:-build} (Release unless BUILD_TYPE says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_TYPE=${BUILD_TYPE:-Release}
# ccache hits across clones of the repository (CI builds a fresh clone elsewhere).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" "$@" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
