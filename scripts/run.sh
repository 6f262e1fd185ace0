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
ftp_pids=""
stop_all() {
  for pid in $game_pid $ftp_pids $club_pid; do
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

# The photo upload's FTP side for the local club, on 127.0.0.1:2121: pure-ftpd
# with braxo-club as its login check and upload hook (deploy/ftp). The hook's
# runner, pure-uploadscript, works only as root; without root the club runs
# without photo uploads.
if [ -n "$club_pid" ] && command -v pure-ftpd >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Photo uploads are off: the FTP side (pure-uploadscript) runs only as root." >&2
  elif ! (exec 3<>/dev/tcp/127.0.0.1/2121) 2>/dev/null; then
    data=${XDG_DATA_HOME:-$HOME/.local/share}/braxo-club
    mkdir -p "$data/photos" "$data/ftp" "$build_dir/ftp"
    chown nobody:nogroup "$data/ftp"
    printf 'photo_dir = %s\nftp_spool_dir = %s\n' "$data/photos" "$data/ftp" >"$build_dir/ftp/club.conf"
    export BRAXO_CLUB_BIN="$build_dir/server/braxo-club" BRAXO_CLUB_DATABASE="sqlite:$data/club.db" \
      BRAXO_CLUB_CONFIG="$build_dir/ftp/club.conf"
    log="$build_dir/braxo-club-ftp.log"
    pure-authd -s "$build_dir/ftp/auth.sock" -r "$root/deploy/ftp/braxo-ftp-auth" >>"$log" 2>&1 &
    ftp_pids="$!"
    pure-uploadscript -r "$root/deploy/ftp/braxo-ftp-upload" >>"$log" 2>&1 &
    ftp_pids="$ftp_pids $!"
    sleep 0.2
    pure-ftpd -S 127.0.0.1,2121 -l "extauth:$build_dir/ftp/auth.sock" -o -E -A -H \
      -p 30000:30099 -g "$build_dir/ftp/pure-ftpd.pid" >>"$log" 2>&1 &
    ftp_pids="$ftp_pids $!"
  fi
fi

"$build_dir/src/app/braxo" "$@" &
game_pid=$!
status=0
wait "$game_pid" || status=$?
game_pid=""
exit "$status"
