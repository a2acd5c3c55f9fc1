#!/usr/bin/env bash
# Remakes the README's gallery: one picture of each phone screen against the demo data.
# Starts the demo servers on free ports of 127.0.0.1, runs the application offscreen once
# per screen (--show SCREEN --screenshot FILE) in a fresh data folder and writes
# docs/gallery/phone-SCREEN.png. Needs a build (BUILD_DIR, default build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
app="$build/src/app/orvane"
server="$build/server/orvane-server"
out=docs/gallery
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "${server_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT


"$server" demo-data --db "$work/schedule.sqlite" >/dev/null 2>&1
"$server" demo-audio "$work/audio" >/dev/null 2>&1
content_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
id_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
social_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$server" serve --db "$work/schedule.sqlite" --bind 127.0.0.1 --port "$content_port" --id-port "$id_port" \
    --social-port "$social_port" \
    --config "$work/audio/channels.conf" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$content_port") 2>/dev/null && break
    sleep 0.1
done

# A word of the demo schedule for the search picture.
word=${GALLERY_SEARCH:-новости}
shoot() {
    local name=$1
    shift
    local home="$work/app-$name"
    mkdir -p "$home/config"
    # The city is chosen, so that no first-launch question covers the screen.
    printf '[General]\nCITY_ID=1\nCITY_NAME=Москва\nFIRST_LAUNCH=IS_NOT\n' >"$home/config/orvane.conf"
    ORVANE_HOME="$home" QT_QPA_PLATFORM=offscreen "$app" \
        --content-host "127.0.0.1:$content_port" --id-host "127.0.0.1:$id_port" --audio-input none \
        --twitter-api "http://127.0.0.1:$social_port/" \
        --language ru "$@" --screenshot "$out/phone-$name.png" >>"$work/app.log" 2>&1
    echo "$out/phone-$name.png"
}
# The tablet: shoot_tablet NAME ARGS... writes docs/gallery/tablet-NAME.png.
shoot_tablet() {
    local name=$1
    shift
    local home="$work/tablet-$name"
    mkdir -p "$home/config"
    # Three widget channels for the root pane's strip.
    printf '[General]\nCITY_ID=1\nCITY_NAME=Москва\nFIRST_LAUNCH=IS_NOT\nWIDGET_CHANNS=1, 2, 13\n' \
        >"$home/config/orvane.conf"
    # The demo account, signed in once below, chosen on the Twitter screens.
    if [ -n "${TWITTER_HOME:-}" ]; then
        cp "$TWITTER_HOME/config/twitter_accounts.json" "$home/config/"
        printf 'twittewAccId=%s\ntwitterAccName=demo\n' "$twitter_id" >>"$home/config/orvane.conf"
    fi
    ORVANE_HOME="$home" QT_QPA_PLATFORM=offscreen "$app" --idiom tablet \
        --content-host "127.0.0.1:$content_port" --id-host "127.0.0.1:$id_port" --audio-input none \
        --twitter-api "http://127.0.0.1:$social_port/" \
        --language ru "$@" --screenshot "$out/tablet-$name.png" >>"$work/app.log" 2>&1
    echo "$out/tablet-$name.png"
}
shoot now --show now
shoot program --show program:1
shoot selector --show selector
shoot search --show "search:$word"
# The details of the film on air on channel 13 (or its first show of the day).
link=$(ORVANE_HOME="$work/cli" "$build/src/cli/orvane-cli" --content-host "127.0.0.1:$content_port" --json program 13 |
    python3 -c '
import json, sys, time
shows = [v for k, v in json.load(sys.stdin).items() if k.isdigit()]
shows.sort(key=lambda s: s["start_ts"])
now = time.time()
show = next((s for s in shows if s["start_ts"] <= now < s["finish_ts"]), shows[0])
print("orvane://progdetails/%s/13/%s" % (time.strftime("%Y%m%d", time.localtime(show["start_ts"])), show["ev"]))')
shoot details --show "details:$link"
shoot settings --show settings
shoot city --show city
shoot profile --show profile
shoot talk --show talk
shoot_tablet root --show root
shoot_tablet photos --show photos:13
shoot_tablet program --show program:13
shoot_tablet details --show "details:$link"
shoot_tablet selector --show selector
shoot_tablet settings --show settings
shoot_tablet search --show "search:$word"
# The Twitter screens, signed in as the demo user (the sign-in a browser would do).
TWITTER_HOME="$work/twitter"
mkdir -p "$TWITTER_HOME/config"
python3 scripts/twitter_signin.py "$build/src/cli/orvane-cli" "$TWITTER_HOME" "http://127.0.0.1:$social_port/" >/dev/null
twitter_id="http://127.0.0.1:$social_port/#$(python3 -c '
import json, sys
print(json.load(open(sys.argv[1]))["accounts"][0]["userId"])' "$TWITTER_HOME/config/twitter_accounts.json")"
mention=$(ORVANE_HOME="$TWITTER_HOME" "$build/src/cli/orvane-cli" --twitter-api "http://127.0.0.1:$social_port/" \
    --json twitter mentions | python3 -c 'import json, sys; print(json.load(sys.stdin)[0]["id_str"])')
shoot_tablet talk --show talk
shoot_tablet tweet --show "tweet:$mention"
shoot_tablet profile --show profile:anna_tv
