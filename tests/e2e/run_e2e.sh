#!/usr/bin/env bash
# The product end to end on loopback: orvane-server with the demo data and the demo
# channels' live audio on free ports, the application offscreen with the demo microphone.
# Passes when the identification makes channel 1 current (the application asks the content
# server for its now-on-air data) and the Now page of that channel is requested. With
# "tablet", the tablet idiom instead: passes when the root pane asks for the channel's
# now-data and its logo view shows the channel.
#   run_e2e.sh SERVER APP WORKDIR [tablet]
set -euo pipefail
server=$1
app=$2
work=$3
idiom=${4:-phone}
rm -rf "$work"
mkdir -p "$work/home"

# Free ports: bind to 0 and read them back, through the server's own log.
"$server" demo-data --db "$work/schedule.sqlite" >/dev/null 2>&1
"$server" demo-audio "$work/audio" >/dev/null 2>&1
"$server" serve --db "$work/schedule.sqlite" --port 0 --id-port 0 --social-port 0 --config "$work/audio/channels.conf" \
    >"$work/server.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q "identification server on" "$work/server.log" && break
    sleep 0.1
done
content=$(sed -n 's|.*content server on http://\([^/]*\)/searchcontent/.*|\1|p' "$work/server.log")
identification=$(sed -n 's|.*identification server on http://\([^/]*\)/searchfunctions/.*|\1|p' "$work/server.log")
[ -n "$content" ] && [ -n "$identification" ] || { cat "$work/server.log"; exit 1; }

# The city is chosen, so that no first-launch question covers the tablet's screen.
mkdir -p "$work/home/config"
printf '[General]\nCITY_ID=1\nFIRST_LAUNCH=IS_NOT\nWIDGET_CHANNS=1, 2\n' >"$work/home/config/orvane.conf"
ORVANE_HOME="$work/home" QT_QPA_PLATFORM=offscreen "$app" --idiom "$idiom" --content-host "$content" \
    --id-host "$identification" --audio-input "demo-room:1" --screenshot "$work/now.png" \
    --after 20 >"$work/app.log" 2>&1

fail() {
    echo "$1"
    cat "$work/server.log" "$work/app.log"
    exit 1
}
grep -q "getstationidresident.php 200" "$work/server.log" || fail "no upload"
grep -q "get_channel_info.php?p&i=1 200" "$work/server.log" || fail "channel 1 not made current"
if [ "$idiom" = tablet ]; then
    grep -q "get_program_info.php?i=1&w=1&f 200" "$work/server.log" || fail "no now-data for channel 1"
    name=$(python3 -c 'import sqlite3, sys
print(sqlite3.connect(sys.argv[1]).execute("select name from channels where id = 1").fetchone()[0])' \
        "$work/schedule.sqlite")
    grep -q "logo view: $name - " "$work/app.log" || fail "channel 1 ($name) not in the logo view"
else
    grep -q "now.php?v=2&m=0&d=[^ ]*&i=1" "$work/server.log" || fail "no now page for channel 1"
fi
[ -s "$work/now.png" ] || fail "no screenshot"
echo "identified channel 1 on the $idiom; picture in $work/now.png"
