#!/usr/bin/env bash
# The cluster of scripts/cluster.sh measured through nginx, in one run, on loopback: wrk
# (2 threads, 64 connections) on a programme day and on the service status with two content
# servers and then one, and identification uploads (a 2048-byte block of random values,
# matched in full against every channel; a new device each time, so that no rate limit
# answers instead) with two identification processes and then one. Between the runs nginx
# is reloaded with the other set of upstreams. Prints requests per second and the 99th
# percentile of each.
# Needs `scripts/install-deps.sh --bench` (wrk) besides the cluster's packages.
#   bench/cluster_bench.sh [SECONDS=10]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_RUN=${1:-10}
BUILD_DIR=${BUILD_DIR:-build}
scripts/build.sh >/dev/null
NGINX=$(command -v nginx || echo /usr/sbin/nginx)
work=$(mktemp -d /tmp/orvane-cluster-bench.XXXXXX)
export ORVANE_CLUSTER_DIR="$work/cluster"
export ORVANE_CLUSTER_PORT=${ORVANE_CLUSTER_PORT:-23500}
export ORVANE_SERVER="$PWD/$BUILD_DIR/server/orvane-server"
cleanup() {
    scripts/cluster.sh stop >/dev/null 2>&1 || true
    scripts/private-postgres.sh remove "$ORVANE_CLUSTER_DIR/postgres" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

address=$(scripts/cluster.sh start)
conf="$ORVANE_CLUSTER_DIR/nginx/nginx.conf"
base=$ORVANE_CLUSTER_PORT
sleep 3 # the identification processes gather some audio first

day=$(TZ=Europe/Moscow date +%Y%m%d)
if [ "$(TZ=Europe/Moscow date +%H)" -lt 4 ]; then day=$(TZ=Europe/Moscow date -d yesterday +%Y%m%d); fi
programme="http://$address/searchcontent/content_listview.php?v=2&m=0&d=bench&i=1&t=$day"
status="http://$address/searchcontent/get_service_status.php"

head -c 2048 /dev/urandom >"$work/block.bin"
cat >"$work/upload.lua" <<LUA
local f = io.open("$work/block.bin", "rb")
local block = f:read("*all")
f:close()
local boundary = "orvaneBench"
local counter = 0
local thread_id = math.random(1, 1000000000)
request = function()
  counter = counter + 1
  local body = "--" .. boundary .. "\r\nContent-Disposition: form-data; name=\"UserName\"\r\n\r\nbench-" ..
    thread_id .. "-" .. counter .. "\r\n--" .. boundary ..
    "\r\nContent-Disposition: form-data; name=\"Position\"\r\n\r\n0\r\n--" .. boundary ..
    "\r\nContent-Disposition: form-data; name=\"request\"; filename=\"request\"\r\n" ..
    "Content-Type: application/octet-stream\r\n\r\n" .. block .. "\r\n--" .. boundary .. "--\r\n"
  return wrk.format("POST", "/searchfunctions/getstationidresident.php",
    {["Content-Type"] = "multipart/form-data; boundary=" .. boundary}, body)
end
LUA

# One line per run: requests per second, p99, and how many answers were not 2xx.
measure() { # label url [script]
    local out
    if [ -n "${3:-}" ]; then
        out=$(wrk -t2 -c64 -d"${SECONDS_PER_RUN}s" --latency -s "$3" "$2")
    else
        out=$(wrk -t2 -c64 -d"${SECONDS_PER_RUN}s" --latency "$2")
    fi
    local rps p99 bad
    rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
    p99=$(echo "$out" | awk '$1 == "99%" {print $2}')
    bad=$(echo "$out" | awk '/Non-2xx/ {print $5}')
    printf "%-44s %10s req/s   p99 %8s   non-2xx %s\n" "$1" "$rps" "$p99" "${bad:-0}"
}

# Leaves only the first server of an upstream in nginx's configuration, or both again.
servers() { # upstream count
    python3 - "$conf" "$1" "$2" <<'PY'
import re, sys
path, upstream, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
text = open(path).read()
block = re.search(r"upstream %s \{.*?\}" % upstream, text, re.S).group(0)
lines = block.split("\n")
servers = [i for i, line in enumerate(lines) if "server 127.0.0.1" in line]
for n, i in enumerate(servers):
    line = lines[i].lstrip("# ").strip()
    lines[i] = "        " + ("" if n < count else "# ") + line
text = text.replace(block, "\n".join(lines))
open(path, "w").write(text)
PY
    "$NGINX" -p "$ORVANE_CLUSTER_DIR/nginx" -c "$conf" -e "$ORVANE_CLUSTER_DIR/nginx/error.log" -s reload
    sleep 1
}

echo "cluster at $address; $(nproc) cores; ${SECONDS_PER_RUN} s per run"
measure "content, 2 servers: programme day" "$programme"
measure "content, 2 servers: service status" "$status"
servers content 1
measure "content, 1 server: programme day" "$programme"
measure "content, 1 server: service status" "$status"
servers content 2
measure "identification, 2 processes: uploads" "http://$address/" "$work/upload.lua"
servers identification 1
measure "identification, 1 process: uploads" "http://$address/" "$work/upload.lua"
servers identification 2
