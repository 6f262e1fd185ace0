#!/usr/bin/env bash
# PostgreSQL write throughput, before and after, side by side in one run: the
# write-heavy mix (bench/club_writes.lua: tournament entries under many nicks,
# statistics writes) at 32 connections against one braxo-club process and
# against two processes on one database (two wrk runs at once, 16 connections
# each, summed), for each of two builds. Loopback only, each run bounded.
# Usage: bench/club_writes.sh BEFORE_BINARY AFTER_BINARY [SECONDS]
# PostgreSQL comes from the environment, else a throw-away pg_virtualenv.
set -euo pipefail
if [ -z "${PGHOST:-}" ]; then exec pg_virtualenv -t -v 15 bash "$0" "$@"; fi
root=$(cd "$(dirname "$0")/.." && pwd)
before=$1
after=$2
seconds=${3:-8}
# shellcheck source=bench/club_bench_lib.sh
source "$root/bench/club_bench_lib.sh"
cat >"$work/club.conf" <<CONF
log_requests = no
limit.tournament_writes = 1000000000/1
limit.statistics_writes = 1000000000/1
photo_dir = $work
CONF
rps() { sed -n 's/^Requests\/sec: *//p' "$1"; }
# Answers other than 2xx go to stderr: a figure counts only real writes.
refused() { sed -n 's/^  Non-2xx or 3xx responses: *//p' "$1" | grep . >&2 || true; }
run() { timeout $((seconds + 30)) wrk -t"$2" -c"$3" -d"${seconds}s" -s "$root/bench/club_writes.lua" "$1" >"$4"; }
db=0
measure() {  # binary processes -> requests/s
  db=$((db + 1))
  dropdb --if-exists "braxo_writes_$db" 2>/dev/null || true
  createdb "braxo_writes_$db"
  local url="postgresql:///braxo_writes_$db"
  if [ "$2" = 1 ]; then
    local a
    a=$(start "$1" --listen 127.0.0.1:0 --database "$url" --config "$work/club.conf")
    run "$a" 2 32 "$work/r1.txt"
    refused "$work/r1.txt"
    rps "$work/r1.txt"
  else
    local a b
    a=$(start "$1" --listen 127.0.0.1:0 --database "$url" --config "$work/club.conf")
    b=$(start "$1" --listen 127.0.0.1:0 --database "$url" --config "$work/club.conf")
    run "$a" 1 16 "$work/r1.txt" &
    run "$b" 1 16 "$work/r2.txt"
    wait
    refused "$work/r1.txt"
    refused "$work/r2.txt"
    awk -v x="$(rps "$work/r1.txt")" -v y="$(rps "$work/r2.txt")" 'BEGIN { printf "%.2f\n", x + y }'
  fi
  while read -r p; do kill "$p" 2>/dev/null || true; done <"$work/pids"
  : >"$work/pids"
  sleep 0.3
}
b1=$(measure "$before" 1); a1=$(measure "$after" 1)
b2=$(measure "$before" 2); a2=$(measure "$after" 2)
printf '%-22s %14s %14s %8s\n' "write-heavy mix" "before req/s" "after req/s" "ratio"
awk -v b="$b1" -v a="$a1" 'BEGIN { printf "%-22s %14.0f %14.0f %7.2fx\n", "1 process", b, a, a / b }'
awk -v b="$b2" -v a="$a2" 'BEGIN { printf "%-22s %14.0f %14.0f %7.2fx\n", "2 processes", b, a, a / b }'
