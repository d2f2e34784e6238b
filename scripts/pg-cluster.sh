#!/usr/bin/env bash
# Starts or stops a PostgreSQL cluster of the tests' own in DIR: made new by
# initdb, listening only on a unix socket in DIR (no TCP port), superuser
# "vrt" without a password. As root the server runs as the unprivileged user
# postgres. A cluster left behind by an interrupted run is stopped first.
#   scripts/pg-cluster.sh start DIR | stop DIR
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder of the cluster}
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
owner=()
[[ $(id -u) -eq 0 ]] && owner=(runuser -u postgres --)

stop_server() {
  if [[ -f $dir/data/postmaster.pid ]]; then
    "${owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
  fi
}

case $action in
  start)
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    ((${#owner[@]})) && chown postgres "$dir"
    "${owner[@]}" "$bin/initdb" -D "$dir/data" -U vrt --auth=trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log"; exit 1; }
    # Speed over durability for the tests, whose cluster lives for one run;
    # PG_CLUSTER_DURABLE=1 keeps the server's own settings (benchmarks).
    options="-k $dir -c listen_addresses= -c max_connections=200"
    [[ ${PG_CLUSTER_DURABLE:-0} == 1 ]] || options+=" -c fsync=off -c full_page_writes=off"
    "${owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -o "$options" start >/dev/null ||
      { cat "$dir/server.log"; exit 1; }
    echo "PostgreSQL cluster running on the socket in $dir"
    ;;
  stop)
    stop_server
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
