#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --timeout 300 -j "$(nproc)"
