#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
# Extra arguments go to orvane (for example --idiom tablet).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh
exec "${BUILD_DIR:-build}/src/app/orvane" "$@"
