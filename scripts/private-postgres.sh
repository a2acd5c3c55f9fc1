#!/usr/bin/env bash
# A PostgreSQL server of its own in a folder, on a loopback port, for the cluster and the
# tests: no system service is touched.
#   private-postgres.sh start DIR PORT   creates DIR/data on first use (user "orvane",
#                                         trusted on loopback only) and starts the server
#   private-postgres.sh stop DIR
#   private-postgres.sh remove DIR       stops it and deletes its data
#   private-postgres.sh status DIR
# PostgreSQL refuses to run as root: started as root, it runs as the "postgres" user of
# Debian's package (or "nobody"), which then owns DIR/data.
# Exit status 77 when PostgreSQL is not installed.
set -euo pipefail

command="${1:-}"
dir="${2:-}"
port="${3:-55432}"
if [ -z "$command" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop|status DIR [PORT]" >&2
    exit 2
fi

bin=""
for candidate in /usr/lib/postgresql/*/bin; do
    if [ -x "$candidate/pg_ctl" ]; then
        bin="$candidate"
    fi
done
if [ -z "$bin" ]; then
    echo "private-postgres: PostgreSQL is not installed (Debian package postgresql)" >&2
    exit 77
fi

mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
data="$dir/data"
as=()
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    id -u "$owner" >/dev/null 2>&1 || owner=nobody
    as=(runuser -u "$owner" --)
    # The server's user may not reach into root's folders (/root is private): its data then
    # lives under /var/tmp, named after DIR.
    if ! runuser -u "$owner" -- test -x "$dir" 2>/dev/null; then
        data="/var/tmp/orvane-postgres-$(echo "$dir" | md5sum | cut -c1-12)"
    fi
fi

run() { "${as[@]}" "$@"; }

case "$command" in
start)
    if [ ! -f "$data/PG_VERSION" ]; then
        rm -rf "$data"
        mkdir -p "$data"
        if [ ${#as[@]} -gt 0 ]; then chown "$owner" "$data"; fi
        run "$bin/initdb" -D "$data" -U orvane --auth=trust --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
            { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    if run "$bin/pg_ctl" -D "$data" status >/dev/null 2>&1; then
        exit 0
    fi
    # Loopback only; the socket lives in the data folder, not in /run.
    run "$bin/pg_ctl" -D "$data" -l "$data/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $data -c fsync=off -c max_connections=200" start >/dev/null ||
        { tail -20 "$data/server.log" >&2; exit 1; }
    ;;
stop)
    if [ -f "$data/postmaster.pid" ]; then
        run "$bin/pg_ctl" -D "$data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    ;;
remove)
    if [ -f "$data/postmaster.pid" ]; then
        run "$bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$data"
    ;;
status)
    run "$bin/pg_ctl" -D "$data" status
    ;;
*)
    echo "usage: $0 start|stop|remove|status DIR [PORT]" >&2
    exit 2
    ;;
esac
