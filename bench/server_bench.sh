#!/usr/bin/env bash
# Content server throughput against nginx serving the very same bytes as static files, in
# the same run, on loopback: wrk with 2 threads and 64 connections on the programme-for-day
# and now-shows endpoints, the access log on for both (nginx to a file, the server one line a
# request on its standard error, to a file); then the import speed of a 7-day, 100-channel XMLTV listing.
# Needs `scripts/install-deps.sh --bench` (wrk, nginx) and curl.
#   bench/server_bench.sh [SECONDS=10]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_RUN=${1:-10}
BUILD_DIR=${BUILD_DIR:-build}
scripts/build.sh >/dev/null
cmake --build "$BUILD_DIR" --target bench_xmltv_listing >/dev/null
SERVER="$BUILD_DIR/server/orvane-server"
NGINX=$(command -v nginx || echo /usr/sbin/nginx)

work=$(mktemp -d)
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null || echo $((20000 + RANDOM % 20000)); }
content_port=$(free_port)
static_port=$(free_port)
while [ "$static_port" = "$content_port" ]; do static_port=$(free_port); done

"$SERVER" demo-data --db "$work/schedule.sqlite" >/dev/null
"$SERVER" serve --db "$work/schedule.sqlite" --port "$content_port" --id-port 0 >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do curl -sf "http://127.0.0.1:$content_port/searchcontent/messages/now.php" >/dev/null && break; sleep 0.1; done

day=$(date +%Y%m%d)
if [ "$(date +%H)" -lt 4 ]; then day=$(date -d yesterday +%Y%m%d); fi
programme="searchcontent/content_listview.php?v=2&m=0&d=bench&i=1&t=$day"
now="searchcontent/get_program_info.php?i=-4&w=2&max=100&pref=1,2,3"

# The same bytes as files for nginx.
mkdir -p "$work/www"
curl -sf "http://127.0.0.1:$content_port/$programme" -o "$work/www/programme.json"
curl -sf "http://127.0.0.1:$content_port/$now" -o "$work/www/now.json"
cat >"$work/nginx.conf" <<CONF
worker_processes 2;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 1024; }
http {
    access_log $work/nginx-access.log;
    client_body_temp_path $work/tmp; proxy_temp_path $work/tmp; fastcgi_temp_path $work/tmp;
    uwsgi_temp_path $work/tmp; scgi_temp_path $work/tmp;
    default_type application/json;
    server { listen 127.0.0.1:$static_port; root $work/www; }
}
CONF
mkdir -p "$work/tmp"
"$NGINX" -c "$work/nginx.conf" -p "$work"
sleep 0.3

# wrk's "Requests/sec" and the 99th percentile latency, in milliseconds.
measure() {
    local out rate p99
    out=$(wrk -t2 -c64 -d"${SECONDS_PER_RUN}s" --latency "$1")
    rate=$(awk '/Requests\/sec/ {print $2}' <<<"$out")
    p99=$(awk '$1 == "99%" {v=$2; if (v ~ /us$/) {sub(/us/,"",v); v/=1000} else if (v ~ /ms$/) {sub(/ms/,"",v)} else if (v ~ /s$/) {sub(/s/,"",v); v*=1000}; print v}' <<<"$out")
    echo "$rate $p99"
}

printf '%-22s %8s %14s %10s %14s %10s %7s\n' endpoint bytes "server req/s" "p99 ms" "nginx req/s" "p99 ms" ratio
for name in programme now; do
    target=${!name}
    read -r s_rate s_p99 <<<"$(measure "http://127.0.0.1:$content_port/$target")"
    read -r n_rate n_p99 <<<"$(measure "http://127.0.0.1:$static_port/$name.json")"
    ratio=$(awk -v a="$s_rate" -v b="$n_rate" 'BEGIN {printf "%.2f", a / b}')
    printf '%-22s %8s %14s %10s %14s %10s %7s\n' "$name" "$(stat -c %s "$work/www/$name.json")" \
        "$s_rate" "$s_p99" "$n_rate" "$n_p99" "$ratio"
done

"$BUILD_DIR/bench/bench_xmltv_listing" "$work/listing.xml" 100 7
start=$(date +%s.%N)
"$SERVER" import-xmltv "$work/listing.xml" --db "$work/import.sqlite" >/dev/null
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN {printf "XMLTV import: %.2f s\n", e - s}'
