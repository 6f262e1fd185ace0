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

if ! club_answers; then
  "$build_dir/server/braxo-club" --listen 127.0.0.1:8676 >/dev/null 2>>"$build_dir/braxo-club.log" &
  club_pid=$!
  trap 'kill "$club_pid" 2>/dev/null || true; wait "$club_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do
    club_answers && break
    kill -0 "$club_pid" 2>/dev/null || { echo "The club did not start; see $build_dir/braxo-club.log" >&2; break; }
    sleep 0.1
  done
fi

"$build_dir/src/app/braxo" "$@"
