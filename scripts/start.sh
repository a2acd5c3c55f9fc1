#!/usr/bin/env bash
# Installs what is missing, builds, fills the content server's store with this week's demo
# data and demo users, writes the demo channels' live audio, starts the servers on 127.0.0.1
# (content 22222, identification 22223, microblog 22224; sign in as demo / orvane-demo) and
# starts the application against them, its microphone playing one
# demo channel with room noise, so that it identifies that channel within seconds. The
# server stops with the application (its log: orvane-server.log in the build folder).
# Extra arguments go to orvane (for example --idiom tablet).
# Without a graphical session (no DISPLAY or WAYLAND_DISPLAY), the application runs on the
# offscreen platform and leaves a picture of its window in orvane-start.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh
build="${BUILD_DIR:-build}"
app="$build/src/app/orvane"
server="$build/server/orvane-server"

audio="$build/demo-audio"
"$server" demo-data
"$server" demo-audio "$audio"
"$server" serve --config "$audio/channels.conf" >"$build/orvane-server.log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true' EXIT
# Up when it answers; a server already running there (an earlier start) serves as well.
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/22222) 2>/dev/null && break
    sleep 0.1
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No graphical session: rendering the window to $(pwd)/orvane-start.png after 12 s (once identified)"
    QT_QPA_PLATFORM=offscreen "$app" --audio-input "demo-room:1" --screenshot orvane-start.png --after 12 "$@"
    exit $?
fi
"$app" --audio-input "demo-room:1" "$@"
