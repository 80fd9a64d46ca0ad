#!/usr/bin/env bash
# Runs a command against a throw-away PostgreSQL 15 server holding the demo fab.
#
#   scripts/pg-test-server.sh COMMAND [ARGS...]
#
# Starts a private server (initdb in a temporary folder, listening on 127.0.0.1 only, on a free
# port), creates the role "velmora" with a random password and two databases, "mes" (with the
# orafce extension on its search path: demo/sql/mes-orafce.pg.sql) and "inspection", loads the
# demo schema (*.pg.sql) and seed into them, then runs COMMAND with these variables exported:
#
#   VELMORA_TEST_PG_MES          ODBC connection string of the MES database
#   VELMORA_TEST_PG_INSPECTION   ODBC connection string of the inspection database
#   VELMORA_TEST_PG_DRIVER       the ODBC driver name used in both
#   VELMORA_TEST_PG_PORT         the server's port
#   VELMORA_TEST_PG_LOG          the server's log file
#   VELMORA_TEST_PG_ODD_USER     a second role, whose password holds ";", "}", "{", "=" and a
#   VELMORA_TEST_PG_ODD_PASSWORD blank (for tests of connection-string quoting)
#
# The server is stopped and the folder removed when the script ends, however it ends. The exit
# status is COMMAND's. Run as root, the server runs as the "postgres" user (initdb refuses root).
# Environment: PG_BINDIR (default /usr/lib/postgresql/15/bin; else the tools on PATH),
# VELMORA_PG_ODBC_DRIVER (default "PostgreSQL Unicode"), VELMORA_PG_FAB (a scaled fab written by
# velmora-fabgen --pg, see bench/README.md: its mes.pg.sql and inspection.pg.sql are loaded
# instead of the demo seed), VELMORA_PG_OPTIONS (more server settings, "-c name=value ...", for
# example "-c log_min_duration_statement=0" to log every statement the server parses).
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

repo="$(cd "$(dirname "$0")/.." && pwd)"
bindir="${PG_BINDIR:-/usr/lib/postgresql/15/bin}"
driver="${VELMORA_PG_ODBC_DRIVER:-PostgreSQL Unicode}"
for tool in initdb pg_ctl psql; do
  if [ ! -x "$bindir/$tool" ] && ! command -v "$tool" >/dev/null; then
    echo "pg-test-server: $bindir/$tool not found (is postgresql-15 installed? run scripts/setup.sh)" >&2
    exit 2
  fi
done
pg() { if [ -x "$bindir/$1" ]; then echo "$bindir/$1"; else command -v "$1"; fi; }

# The server refuses to run as root: as root, everything server-side runs as "postgres".
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    echo "pg-test-server: running as root but there is no 'postgres' user to run the server" >&2
    exit 2
  fi
  as_owner=(runuser -u postgres --)
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/velmora-pg.XXXXXX")"
chmod 0755 "$folder"
data="$folder/data"
started=""

cleanup() {
  local status=$?
  if [ -n "$started" ]; then
    "${as_owner[@]}" "$(pg pg_ctl)" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [ ${#as_owner[@]} -gt 0 ]; then chown postgres "$folder"; fi

password="v$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')"

"${as_owner[@]}" "$(pg initdb)" -D "$data" -U postgres --auth-local=trust --auth-host=reject \
  --encoding=UTF8 --locale=C.UTF-8 --no-sync >"$folder/initdb.log" 2>&1 ||
  { cat "$folder/initdb.log" >&2; exit 1; }
# Password logins from loopback only, for the test roles.
cat >"$data/pg_hba.conf" <<'EOF'
local all postgres            trust
host  all velmora,velmora_odd 127.0.0.1/32 scram-sha-256
EOF

# A port nothing answers on at the moment; when another process takes it before the server
# does, the server fails to start and the next attempt takes another port.
free_port() {
  local port
  while true; do
    port=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return
    fi
  done
}

for attempt in 1 2 3 4 5; do
  port="$(free_port)"
  if "${as_owner[@]}" "$(pg pg_ctl)" -D "$data" -w -t 30 -l "$folder/server.log" \
    -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$folder -c fsync=off ${VELMORA_PG_OPTIONS:-}" \
    start >/dev/null; then
    started=yes
    break
  fi
  if [ "$attempt" -eq 5 ]; then
    echo "pg-test-server: the server did not start; its log:" >&2
    cat "$folder/server.log" >&2 || true
    exit 1
  fi
done

sql() { "${as_owner[@]}" "$(pg psql)" -X -q -v ON_ERROR_STOP=1 -h "$folder" -p "$port" -U postgres "$@"; }

odd_password="o;d}d{=p w$RANDOM"
sql -d postgres -c "CREATE ROLE velmora LOGIN PASSWORD '$password'" >/dev/null
sql -d postgres -c "CREATE ROLE velmora_odd LOGIN PASSWORD '$odd_password'" >/dev/null
for db in mes inspection; do
  sql -d postgres -c "CREATE DATABASE $db OWNER velmora" >/dev/null
done
# The MES statements use Oracle's DECODE: orafce on the MES database's search path.
sql -d mes -f "$repo/demo/sql/mes-orafce.pg.sql" >/dev/null
# The test role owns the tables: load the data as that role, over the same socket.
load() {
  "${as_owner[@]}" "$(pg psql)" -X -q -v ON_ERROR_STOP=1 -h "$folder" -p "$port" -U postgres \
    -d "$1" -c "SET ROLE velmora" -f "$2" -f "$3" >/dev/null
}
mes_data="$repo/demo/sql/mes-seed.sql"
inspection_data="$repo/demo/sql/inspection-seed.sql"
if [ -n "${VELMORA_PG_FAB:-}" ]; then
  mes_data="$(cd "$VELMORA_PG_FAB" && pwd)/mes.pg.sql"
  inspection_data="$(cd "$VELMORA_PG_FAB" && pwd)/inspection.pg.sql"
  for file in "$mes_data" "$inspection_data"; do
    if [ ! -r "$file" ]; then
      echo "pg-test-server: $file not found (write the fab with velmora-fabgen --pg)" >&2
      exit 2
    fi
  done
fi
load mes "$repo/demo/sql/mes-schema.pg.sql" "$mes_data"
load inspection "$repo/demo/sql/inspection-schema.pg.sql" "$inspection_data"

odbc() {
  printf 'Driver={%s};Server=127.0.0.1;Port=%s;Database=%s;UID=velmora;PWD={%s};' \
    "$driver" "$port" "$1" "$password"
}
export VELMORA_TEST_PG_MES="$(odbc mes)"
export VELMORA_TEST_PG_INSPECTION="$(odbc inspection)"
export VELMORA_TEST_PG_DRIVER="$driver"
export VELMORA_TEST_PG_PORT="$port"
export VELMORA_TEST_PG_LOG="$folder/server.log"
export VELMORA_TEST_PG_ODD_USER=velmora_odd
export VELMORA_TEST_PG_ODD_PASSWORD="$odd_password"
echo "pg-test-server: PostgreSQL on 127.0.0.1:$port (databases mes, inspection)" >&2

set +e
"$@"
status=$?
set -e
exit "$status"
