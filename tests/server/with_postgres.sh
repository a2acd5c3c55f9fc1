#!/usr/bin/env bash
# Runs a command with a private PostgreSQL server of its own on a free loopback port, named
# to it by ORVANE_TEST_POSTGRES (and its folder by ORVANE_TEST_POSTGRES_DIR); the server is
# stopped and removed afterwards. Exit status 77 (skipped) when PostgreSQL is not installed.
#   with_postgres.sh COMMAND [ARGUMENT]...
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
pg="$here/../../scripts/private-postgres.sh"
dir="$(mktemp -d /tmp/orvane-pg.XXXXXX)"
port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
cleanup() {
    "$pg" remove "$dir" >/dev/null 2>&1
    rm -rf "$dir"
}
trap cleanup EXIT
"$pg" start "$dir" "$port"
status=$?
if [ $status -ne 0 ]; then
    [ $status -eq 77 ] && echo "skipped: PostgreSQL is not installed (scripts/install-deps.sh installs it)"
    exit $status
fi
export ORVANE_TEST_POSTGRES="postgresql://orvane@127.0.0.1:$port/postgres"
export ORVANE_TEST_POSTGRES_DIR="$dir"
"$@"
