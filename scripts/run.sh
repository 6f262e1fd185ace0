#!/usr/bin/env bash
# Installs what Braxo needs, builds it and starts the game. When nothing
# answers on the club's default address, the local club server is started for
# the game's run and stopped when the game ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build_dir=${BRAXO_BUILD_DIR:-$root/build}

club_answers() { (exec 3<>/dev/tcp/127.0.0.1/8676) 2>/dev/null; }

club_pid=""
game_pid=""
stop_all() {
  for pid in $game_pid $club_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap stop_all EXIT
# A signal to this script ends the game and the club with it.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if ! club_answers; then
  "$build_dir/server/braxo-club" --listen 127.0.0.1:8676 >/dev/null 2>>"$build_dir/braxo-club.log" &
  club_pid=$!
  for _ in $(seq 50); do
    club_answers && break
    if ! kill -0 "$club_pid" 2>/dev/null; then
      echo "The club did not start; see $build_dir/braxo-club.log" >&2
      club_pid=""
      break
    fi
    sleep 0.1
  done
fi

"$build_dir/src/app/braxo" "$@" &
game_pid=$!
status=0
wait "$game_pid" || status=$?
game_pid=""
exit "$status"
