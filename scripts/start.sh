#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
# Extra arguments go to orvane (for example --idiom tablet).
# Without a graphical session (no DISPLAY or WAYLAND_DISPLAY), the application runs on the
# offscreen platform and leaves a picture of its window in orvane-start.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh
app="${BUILD_DIR:-build}/src/app/orvane"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No graphical session: rendering the window to $(pwd)/orvane-start.png"
    QT_QPA_PLATFORM=offscreen "$app" --screenshot orvane-start.png "$@"
    exit $?
fi
exec "$app" "$@"
