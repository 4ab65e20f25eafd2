#!/usr/bin/env bash
# Runs a command with a throw-away PostgreSQL cluster: a new cluster in a
# temporary folder, listening on the loopback and on a socket in that folder,
# trusting local connections of the user "verdanta". The command finds it in
# VERDANTA_TEST_POSTGRES (a postgresql:// address of the "postgres"
# database; tests create databases of their own beside it). The cluster is
# stopped and removed when the command ends, whatever its outcome.
# Usage: scripts/with-postgres.sh <command> [arguments...]
set -euo pipefail

if [ -n "${VERDANTA_TEST_POSTGRES:-}" ]; then
  exec "$@"
fi

bindir=""
for candidate in /usr/lib/postgresql/*/bin; do
  if [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ]; then
    bindir=$candidate
  fi
done
if [ -z "$bindir" ]; then
  echo "with-postgres: no PostgreSQL server found (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

cluster=$(mktemp -d /tmp/verdanta-pg.XXXXXX)
# The server refuses to run as root: it then runs as the system's postgres user.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$cluster"
  as_owner=(runuser -u postgres --)
fi

stop_cluster() {
  "${as_owner[@]}" "$bindir/pg_ctl" -D "$cluster/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$cluster"
}
trap stop_cluster EXIT

# A free port on the loopback, chosen by the system.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')

"${as_owner[@]}" "$bindir/initdb" -D "$cluster/data" -U verdanta --auth=trust -E UTF8 --locale=C.UTF-8 \
  >"$cluster/initdb.log" 2>&1 || { cat "$cluster/initdb.log" >&2; exit 1; }
# Durability is not needed for a cluster that is thrown away.
"${as_owner[@]}" "$bindir/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w \
  -o "-c listen_addresses=127.0.0.1 -p $port -k $cluster -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
  start >/dev/null || { cat "$cluster/server.log" >&2; exit 1; }

export VERDANTA_TEST_POSTGRES="postgresql://verdanta@127.0.0.1:$port/postgres"
export VERDANTA_TEST_POSTGRES_BIN="$bindir"
"$@"
