#!/usr/bin/env bash
# The reference servers as a cluster on this machine, on loopback ports:
#   PostgreSQL (the schedule, private data folder), Redis (the devices' state), two content
#   servers (with the microblog service), two identification servers (each ingesting every
#   demo channel), and nginx in front of them all on one address.
#   cluster.sh start    starts what is not running, loads the demo data into an empty
#                       database, and prints the address for orvane and orvane-cli
#   cluster.sh stop     stops everything
#   cluster.sh status   says what runs
# Settings (environment):
#   ORVANE_CLUSTER_DIR   where data, logs and pid files go (default build/cluster)
#   ORVANE_CLUSTER_PORT  nginx's port; the others follow it (default 23000: PostgreSQL
#                        +10, Redis +11, content +20/+21, microblog +22/+23,
#                        identification +30/+31)
#   ORVANE_SERVER        the orvane-server program (default build/server/orvane-server)
# Run as root, PostgreSQL runs as the "postgres" user and nginx's workers as "nobody".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${ORVANE_CLUSTER_DIR:-$root/build/cluster}"
base="${ORVANE_CLUSTER_PORT:-23000}"
server="${ORVANE_SERVER:-$root/build/server/orvane-server}"
pg_port=$((base + 10))
redis_port=$((base + 11))
database="postgresql://orvane@127.0.0.1:$pg_port/orvane"
device_state="redis://127.0.0.1:$redis_port"
content_ports=($((base + 20)) $((base + 21)))
social_ports=($((base + 22)) $((base + 23)))
id_ports=($((base + 30)) $((base + 31)))

say() { echo "cluster: $*" >&2; }

running() { # pid file
    [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null
}

answers() { # port
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

wait_for() { # port what seconds
    local tries=$(($3 * 10))
    for _ in $(seq "$tries"); do
        answers "$1" && return 0
        sleep 0.1
    done
    say "$2 did not answer on port $1 within $3 s"
    return 1
}

start_server() { # name arguments...
    local name="$1"
    shift
    if running "$dir/$name.pid"; then
        return 0
    fi
    # The servers read the store as the invoking user; their logs and pids stay in $dir.
    nohup "$server" serve --db "$database" --device-state "$device_state" --trusted-proxy 127.0.0.1 "$@" \
        >>"$dir/$name.log" 2>&1 &
    echo $! >"$dir/$name.pid"
}

write_nginx_conf() {
    local user_line=""
    if [ "$(id -u)" -eq 0 ]; then
        user_line="user nobody nogroup;"
    fi
    mkdir -p "$dir/nginx/tmp"
    cat >"$dir/nginx/nginx.conf" <<EOF
# Written by scripts/cluster.sh.
$user_line
worker_processes 2;
pid $dir/nginx/nginx.pid;
error_log $dir/nginx/error.log warn;
events { worker_connections 4096; }
http {
    access_log $dir/nginx/access.log;
    client_body_temp_path $dir/nginx/tmp/body;
    proxy_temp_path $dir/nginx/tmp/proxy;
    fastcgi_temp_path $dir/nginx/tmp/fastcgi;
    uwsgi_temp_path $dir/nginx/tmp/uwsgi;
    scgi_temp_path $dir/nginx/tmp/scgi;
    # Bodies and answers stay in memory: the workers (nobody, under root) write no files.
    client_max_body_size 1m;
    client_body_buffer_size 1m;
    proxy_max_temp_file_size 0;

    # Passive health checks: a server that fails twice is left out for 5 s.
    upstream content {
        server 127.0.0.1:${content_ports[0]} max_fails=2 fail_timeout=5s;
        server 127.0.0.1:${content_ports[1]} max_fails=2 fail_timeout=5s;
        keepalive 32;
    }
    upstream identification {
        server 127.0.0.1:${id_ports[0]} max_fails=2 fail_timeout=5s;
        server 127.0.0.1:${id_ports[1]} max_fails=2 fail_timeout=5s;
        keepalive 32;
    }
    upstream social {
        server 127.0.0.1:${social_ports[0]} max_fails=2 fail_timeout=5s;
        server 127.0.0.1:${social_ports[1]} max_fails=2 fail_timeout=5s;
        keepalive 32;
    }
    server {
        listen 127.0.0.1:$base;
        proxy_http_version 1.1;
        proxy_set_header Connection "";
        proxy_set_header Host \$http_host;
        proxy_set_header X-Forwarded-For \$proxy_add_x_forwarded_for;
        proxy_connect_timeout 2s;
        proxy_read_timeout 15s;
        # A request whose server died or is unavailable goes to the other one; uploads too,
        # since the devices' state is shared.
        proxy_next_upstream error timeout http_502 http_503 non_idempotent;
        proxy_next_upstream_tries 2;
        location /searchcontent/ { proxy_pass http://content; }
        location /searchfunctions/ { proxy_pass http://identification; }
        location / { proxy_pass http://social; }
    }
}
EOF
}

start() {
    if [ ! -x "$server" ]; then
        say "no server program at $server (build first: scripts/build.sh)"
        exit 1
    fi
    for program in redis-server nginx; do
        if ! command -v "$program" >/dev/null && [ ! -x "/usr/sbin/$program" ]; then
            say "$program is not installed (scripts/install-deps.sh --cluster installs it)"
            exit 77
        fi
    done
    mkdir -p "$dir"
    "$root/scripts/private-postgres.sh" start "$dir/postgres" "$pg_port"
    if ! psql -h 127.0.0.1 -p "$pg_port" -U orvane -d postgres -tAc "SELECT 1 FROM pg_database WHERE datname = 'orvane'" |
        grep -q 1; then
        psql -h 127.0.0.1 -p "$pg_port" -U orvane -d postgres -qc "CREATE DATABASE orvane"
        say "loading the demo data into $database"
        "$server" demo-data --db "$database" >"$dir/demo-data.log" 2>&1 ||
            { cat "$dir/demo-data.log" >&2; exit 1; }
    fi
    if ! running "$dir/redis.pid"; then
        redis-server --bind 127.0.0.1 --port "$redis_port" --save '' --appendonly no --daemonize yes \
            --dir "$dir" --pidfile "$dir/redis.pid" --logfile "$dir/redis.log"
    fi
    wait_for "$redis_port" Redis 10
    if [ ! -f "$dir/audio/channels.conf" ]; then
        "$server" demo-audio "$dir/audio" >/dev/null 2>&1
    fi
    for i in 0 1; do
        start_server "content$((i + 1))" --servers content,social --port "${content_ports[$i]}" \
            --social-port "${social_ports[$i]}"
        start_server "identification$((i + 1))" --servers identification --id-port "${id_ports[$i]}" \
            --config "$dir/audio/channels.conf"
    done
    for port in "${content_ports[@]}" "${social_ports[@]}" "${id_ports[@]}"; do
        wait_for "$port" "orvane-server" 30
    done
    write_nginx_conf
    nginx=$(command -v nginx || echo /usr/sbin/nginx)
    if ! running "$dir/nginx/nginx.pid"; then
        "$nginx" -p "$dir/nginx" -c "$dir/nginx/nginx.conf" -e "$dir/nginx/error.log"
    fi
    wait_for "$base" nginx 10
    say "running; logs in $dir"
    echo "127.0.0.1:$base"
    say "use it with: orvane --content-host 127.0.0.1:$base --id-host 127.0.0.1:$base"
}

stop() {
    if running "$dir/nginx/nginx.pid"; then
        nginx=$(command -v nginx || echo /usr/sbin/nginx)
        "$nginx" -p "$dir/nginx" -c "$dir/nginx/nginx.conf" -e "$dir/nginx/error.log" -s stop 2>/dev/null || true
    fi
    local pids=()
    for name in content1 content2 identification1 identification2; do
        if running "$dir/$name.pid"; then
            pids+=("$(cat "$dir/$name.pid")")
            kill "${pids[-1]}" 2>/dev/null || true
        fi
        rm -f "$dir/$name.pid"
    done
    # Gone within 10 s, or killed.
    for pid in "${pids[@]}"; do
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    done
    if running "$dir/redis.pid"; then
        kill "$(cat "$dir/redis.pid")" 2>/dev/null || true
    fi
    "$root/scripts/private-postgres.sh" stop "$dir/postgres" >/dev/null 2>&1 || true
    say "stopped"
}

status() {
    local all=0
    for name in nginx/nginx redis content1 content2 identification1 identification2; do
        if running "$dir/$name.pid"; then
            echo "${name#nginx/}: running (pid $(cat "$dir/$name.pid"))"
        else
            echo "${name#nginx/}: stopped"
            all=1
        fi
    done
    if "$root/scripts/private-postgres.sh" status "$dir/postgres" >/dev/null 2>&1; then
        echo "postgresql: running (port $pg_port)"
    else
        echo "postgresql: stopped"
        all=1
    fi
    echo "address: 127.0.0.1:$base"
    return $all
}

case "${1:-}" in
start) start ;;
stop) stop ;;
status) status ;;
*)
    echo "usage: $0 start|stop|status" >&2
    exit 2
    ;;
esac
