#!/usr/bin/env bash
# The club load benchmark: the mixed club workload (bench/club_mixed.lua) at 64
# connections against braxo-club on a fresh SQLite database, then the same
# HTTP stack answering a constant reply, side by side. Loopback only; each run
# is bounded in time. Usage: bench/club_load.sh [BUILD_DIR] [SECONDS]
# BRAXO_LOGIN_PERMILLE (default 2) sets the share of logins per 1000 requests;
# BRAXO_CLUB_BENCH_SETTINGS adds lines to the club's settings file;
# BRAXO_CLUB_DB_OPTIONS=?synchronous=normal measures the faster, less safe sync.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
seconds=${2:-10}
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a server printing "listening on URL" and echoes the URL.
start() {
  "$@" >"$work/out.$#" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do
    if grep -q '^listening on ' "$work/out.$#"; then sed -n 's/^listening on //p' "$work/out.$#"; return; fi
    sleep 0.05
  done
  echo "server did not start: $*" >&2
  exit 1
}

cat >"$work/club.conf" <<CONF
log_requests = yes
limit.tournament_writes = 1000000000/1
limit.statistics_writes = 1000000000/1
limit.failed_logins = 1000000000/1
${BRAXO_CLUB_BENCH_SETTINGS:-}
CONF
club=$(start "$build_dir/server/braxo-club" --listen 127.0.0.1:0 --database "sqlite:$work/club.db${BRAXO_CLUB_DB_OPTIONS:-}" --config "$work/club.conf")
curl -s -o /dev/null --data 'nick=Bench&pw=bench123&city=Moscow&country1=Russia&country2=1-001&sex=M&email=b@x.ru&dater=10.12.2026&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0' "${club}account"
cookie=$(curl -s -D - -o /dev/null --data 'nick=Bench&pw=bench123&label0=0' "${club}account" | sed -n 's/^Set-Cookie: \([^;]*\).*/\1/p')
[ -n "$cookie" ] || { echo "no session cookie" >&2; exit 1; }

bare=$(start "$build_dir/bench/club_bare_server")

run() { BRAXO_COOKIE="$cookie" BRAXO_LOGIN_PERMILLE="${BRAXO_LOGIN_PERMILLE:-2}" timeout $((seconds + 30)) wrk -t2 -c64 -d"${seconds}s" --latency -s "$root/bench/club_mixed.lua" "$1"; }
echo "== braxo-club, mixed workload, SQLite =="
run "$club" | tee "$work/club.txt"
echo "== the same HTTP stack, constant reply =="
run "$bare" | tee "$work/bare.txt"

rps() { sed -n 's/^Requests\/sec: *//p' "$1"; }
pct() { awk -v p="$2" '$1 == p {print $2}' "$1"; }
echo
printf '%-12s %12s %10s %10s\n' "" "requests/s" "p50" "p99"
printf '%-12s %12s %10s %10s\n' "club" "$(rps "$work/club.txt")" "$(pct "$work/club.txt" 50%)" "$(pct "$work/club.txt" 99%)"
printf '%-12s %12s %10s %10s\n' "bare stack" "$(rps "$work/bare.txt")" "$(pct "$work/bare.txt" 50%)" "$(pct "$work/bare.txt" 99%)"
awk -v a="$(rps "$work/club.txt")" -v b="$(rps "$work/bare.txt")" 'BEGIN { printf "club / bare throughput: %.1f %%\n", 100 * a / b }'
