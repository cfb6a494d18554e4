#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests of the record manager's server
# back-end.
#
#   pg-cluster.sh start DIR   initdb in DIR, start the server on a free loopback
#                             port (and on a Unix socket in DIR), create the
#                             database "ks3" of the account "ks3", write its URL
#                             to DIR/url
#   pg-cluster.sh stop DIR    stop that server and remove DIR
#
# PostgreSQL refuses to run as root: run as root, the server runs as the
# ordinary account ks3pg (created when missing).
set -euo pipefail
order=${1:-}
dir=${2:-}
if [ -z "$order" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
    echo "PostgreSQL server not installed (Debian package postgresql)" >&2
    exit 1
fi

account=""
if [ "$(id -u)" -eq 0 ]; then
    account=ks3pg
    if ! id "$account" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$account"
    fi
fi
as_owner() {
    if [ -n "$account" ]; then
        runuser -u "$account" -- "$@"
    else
        "$@"
    fi
}

case "$order" in
start)
    mkdir -p "$dir"
    [ -z "$account" ] || chown "$account" "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U ks3 --auth=trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    started=""
    for _ in $(seq 1 20); do
        port=$((20000 + RANDOM % 40000))
        if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c max_connections=300" start >/dev/null; then
            started=$port
            break
        fi
    done
    if [ -z "$started" ]; then
        echo "PostgreSQL test server did not start:" >&2
        tail -n 20 "$dir/server.log" >&2 || true
        exit 1
    fi
    as_owner "$bin/createdb" -h "$dir" -p "$started" -U ks3 ks3
    echo "postgresql://ks3@127.0.0.1:$started/ks3" >"$dir/url"
    ;;
stop)
    if [ -d "$dir/data" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
