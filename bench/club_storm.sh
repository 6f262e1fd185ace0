#!/usr/bin/env bash
# The club at its limits, before and after side by side in one run: two
# braxo-club builds, each on a fresh SQLite database with the same settings,
# each driven by bench/club_storm_driver (see its top for the modes):
#   1. table reads alone, then during a storm of 256 concurrent logins that
#      each need a full Argon2id hash (p99 of each, and their ratio);
#   2. the mixed club workload on 64 connections without logins, then with
#      5 % logins that each need a full hash (p99 of the requests that are
#      not logins);
#   3. 512 connections from one address (idle, slow headers, kept alive) and
#      a player on another address: the share of the player's table reads
#      answered within 6 s.
# Loopback only; every run is bounded (SECONDS each, about 8 x SECONDS in all).
# Usage: bench/club_storm.sh [BUILD_DIR] [BEFORE_BUILD_DIR] [SECONDS]
#   BUILD_DIR         the build measured as "after" (default: build)
#   BEFORE_BUILD_DIR  the build measured as "before" (its server/braxo-club)
#   SECONDS           the length of each run (default 10)
# The driver comes from BUILD_DIR/bench/club_storm_driver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
after_dir=${1:-$root/build}
before_dir=${2:-}
seconds=${3:-10}
driver="$after_dir/bench/club_storm_driver"
# shellcheck source=bench/club_bench_lib.sh
source "$root/bench/club_bench_lib.sh"

# Every login a full hash, no limit in the way of the load.
cat >"$work/club.conf" <<CONF
log_requests = no
verified_password_minutes = 0
limit.tournament_writes = 1000000000/1
limit.statistics_writes = 1000000000/1
limit.failed_logins = 1000000000/1
limit.logins = 1000000000/1
CONF

# Starts a club of build $1 on a fresh database as $2; echoes its port.
club_port() {
  mkdir -p "$work/$2"
  start "$1/server/braxo-club" --listen 127.0.0.1:0 --database "sqlite:$work/$2/club.db" \
    --config "$work/club.conf" | sed -n 's|^http://127.0.0.1:\([0-9]*\)/$|\1|p'
}
# The member "Bench" on the club at port $1; echoes its session cookie.
member() {
  curl -s -o /dev/null --data 'nick=Bench&pw=bench123&city=Moscow&country1=Russia&country2=1-001&sex=M&email=b@x.ru&dater=10.12.2026&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0' "http://127.0.0.1:$1/account"
  curl -s -D - -o /dev/null --data 'nick=Bench&pw=bench123&label0=0' "http://127.0.0.1:$1/account" |
    sed -n 's/^[Ss]et-[Cc]ookie: \([^;]*\).*/\1/p'
}

names=(after)
dirs=("$after_dir")
if [ -n "$before_dir" ]; then
  names=(before after)
  dirs=("$before_dir" "$after_dir")
fi
bounded() { timeout $((4 * seconds + 60)) "$@"; }
# Each run on fresh clubs, one club at a time: a club still working off an
# earlier storm would take the processors from the next run.
for mode in storm mixed0 mixed50 attack; do
  for i in "${!names[@]}"; do
    name=${names[$i]}
    port=$(club_port "${dirs[$i]}" "$mode-$name")
    [ -n "$port" ] || exit 1
    pid=$(tail -n 1 "$work/pids")
    cookie=$(member "$port")
    case $mode in
      storm) line=$(bounded "$driver" storm "$port" "$seconds") ;;
      mixed0) line=$(bounded "$driver" mixed "$port" "$seconds" 0 "$cookie") ;;
      mixed50) line=$(bounded "$driver" mixed "$port" "$seconds" 50 "$cookie") ;;
      attack) line=$(bounded "$driver" attack "$port" "$seconds") ;;
    esac
    # At once: a club stopped gently would finish its queued hashes first.
    kill -KILL "$pid" 2>/dev/null || true
    sleep 0.5
    printf '%-8s %-7s %s\n' "$mode" "$name" "$line"
  done
done
