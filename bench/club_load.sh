#!/usr/bin/env bash
# The club load benchmark: the mixed club workload (bench/club_mixed.lua) at 64
# connections against braxo-club on a fresh SQLite database, on a fresh
# PostgreSQL database with one process, and with two processes on one
# PostgreSQL database behind haproxy (deploy/haproxy/braxo-club.cfg, TLS),
# then the same HTTP stack answering a constant reply, side by side. Loopback
# only; each run is bounded in time. Usage: bench/club_load.sh [BUILD_DIR] [SECONDS]
# PostgreSQL comes from the environment (PGHOST…); without one the script runs
# itself inside pg_virtualenv, a throw-away PostgreSQL 15 cluster.
# BRAXO_LOGIN_PERMILLE (default 2) sets the share of logins per 1000 requests
# (the member "Bench" again and again: after the first, its password is known
# without a new hash; BRAXO_CLUB_BENCH_SETTINGS="verified_password_minutes = 0"
# makes every login a full Argon2id hash);
# BRAXO_CLUB_BENCH_SETTINGS adds lines to the club's settings file;
# BRAXO_CLUB_DB_OPTIONS=?synchronous=normal measures the faster, less safe sync.
set -euo pipefail
if [ -z "${PGHOST:-}" ]; then exec pg_virtualenv -t -v 15 bash "$0" "$@"; fi
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
seconds=${2:-10}
bench_cleanup_extra() {
  for db in one two; do dropdb --if-exists "braxo_bench_$db" 2>/dev/null || true; done
}
# shellcheck source=bench/club_bench_lib.sh
source "$root/bench/club_bench_lib.sh"

cat >"$work/club.conf" <<CONF
log_requests = yes
limit.tournament_writes = 1000000000/1
limit.statistics_writes = 1000000000/1
limit.failed_logins = 1000000000/1
# wrk's 64 connections all come from one address.
max_connections_per_address = 4096
${BRAXO_CLUB_BENCH_SETTINGS:-}
CONF
# The member "Bench" on a club, and the session cookie of its login.
member() {
  curl -sk -o /dev/null --data 'nick=Bench&pw=bench123&city=Moscow&country1=Russia&country2=1-001&sex=M&email=b@x.ru&dater=10.12.2026&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0' "${1}account"
  local cookie
  cookie=$(curl -sk -D - -o /dev/null --data 'nick=Bench&pw=bench123&label0=0' "${1}account" | sed -n 's/^[Ss]et-[Cc]ookie: \([^;]*\).*/\1/p')
  [ -n "$cookie" ] || { echo "no session cookie from $1" >&2; exit 1; }
  echo "$cookie"
}
pgdb() { dropdb --if-exists "braxo_bench_$1" 2>/dev/null; createdb "braxo_bench_$1"; echo "postgresql:///braxo_bench_$1"; }

club=$(start "$build_dir/server/braxo-club" --listen 127.0.0.1:0 --database "sqlite:$work/club.db${BRAXO_CLUB_DB_OPTIONS:-}" --config "$work/club.conf")
cookie=$(member "$club")

cp "$work/club.conf" "$work/pg.conf"
printf 'photo_dir = %s\ntrusted_proxies = 127.0.0.1\n' "$work/photos" >>"$work/pg.conf"
pg_one=$(start "$build_dir/server/braxo-club" --listen 127.0.0.1:0 --database "$(pgdb one)" --config "$work/pg.conf")
cookie_one=$(member "$pg_one")
db_two=$(pgdb two)
pg_a=$(start "$build_dir/server/braxo-club" --listen 127.0.0.1:0 --database "$db_two" --config "$work/pg.conf")
pg_b=$(start "$build_dir/server/braxo-club" --listen 127.0.0.1:0 --database "$db_two" --config "$work/pg.conf")
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
  -keyout "$work/tls.key" -out "$work/tls.crt" 2>/dev/null
cat "$work/tls.crt" "$work/tls.key" >"$work/tls.pem"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
hostport() { echo "$1" | sed -E 's|^http://([^/]*)/$|\1|'; }
BRAXO_CLUB_BIND="127.0.0.1:$port" BRAXO_CLUB_CERT="$work/tls.pem" BRAXO_CLUB_1=$(hostport "$pg_a") \
  BRAXO_CLUB_2=$(hostport "$pg_b") haproxy -db -f "$root/deploy/haproxy/braxo-club.cfg" >"$work/haproxy.log" 2>&1 &
echo $! >>"$work/pids"
balanced="https://127.0.0.1:$port/"
for _ in $(seq 100); do curl -sk -o /dev/null "${balanced}config" && break; sleep 0.05; done
cookie_two=$(member "$balanced")

bare=$(start "$build_dir/bench/club_bare_server")

run() { BRAXO_COOKIE="$2" BRAXO_LOGIN_PERMILLE="${BRAXO_LOGIN_PERMILLE:-2}" timeout $((seconds + 30)) wrk -t2 -c64 -d"${seconds}s" --latency -s "$root/bench/club_mixed.lua" "$1"; }
echo "== braxo-club, mixed workload, SQLite =="
run "$club" "$cookie" | tee "$work/club.txt"
echo "== braxo-club, mixed workload, PostgreSQL, one process =="
run "$pg_one" "$cookie_one" | tee "$work/pg_one.txt"
echo "== braxo-club, mixed workload, PostgreSQL, two processes behind haproxy (TLS) =="
run "$balanced" "$cookie_two" | tee "$work/pg_two.txt"
echo "== the same HTTP stack, constant reply =="
run "$bare" "" | tee "$work/bare.txt"

rps() { sed -n 's/^Requests\/sec: *//p' "$1"; }
pct() { awk -v p="$2" '$1 == p {print $2}' "$1"; }
echo
row() { printf '%-34s %12s %10s %10s %8s\n' "$1" "$(rps "$2")" "$(pct "$2" 50%)" "$(pct "$2" 99%)" "$(errors "$2")"; }
errors() { sed -n 's/^  Non-2xx or 3xx responses: *//p' "$1" | grep . || echo 0; }
printf '%-34s %12s %10s %10s %8s\n' "" "requests/s" "p50" "p99" "non-2xx"
row "club, SQLite" "$work/club.txt"
row "club, PostgreSQL, 1 process" "$work/pg_one.txt"
row "club, PostgreSQL, 2 + haproxy TLS" "$work/pg_two.txt"
row "bare stack" "$work/bare.txt"
awk -v a="$(rps "$work/club.txt")" -v b="$(rps "$work/bare.txt")" 'BEGIN { printf "club / bare throughput: %.1f %%\n", 100 * a / b }'
