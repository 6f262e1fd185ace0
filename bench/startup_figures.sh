#!/usr/bin/env bash
# The game's start-up, memory and idle title screen, side by side in one run
# with a bare Qt window and (optionally) another build of the game, against a
# club that refuses, one that never answers and one that answers garbage.
# Figures come from measure-window.sh (launch -> window mapped, resident
# memory, idle CPU with the title screen showing); each cell is the median of
# ROUNDS runs, the programs taking turns within each round.
#
#   bench/startup_figures.sh BUILD_DIR [OTHER_BUILD_DIR] [ROUNDS]
#
# Needs an X display (for example `Xvfb :97 -screen 0 1280x800x24 &` and
# DISPLAY=:97), python3, and what measure-window.sh needs (libx11-dev,
# libxdamage-dev, libxtst-dev). MEASURE_WINDOW names the script (default:
# ../shared/tools/measure-window.sh beside the project). Run by hand; not
# part of the test command.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
other=${2:+$(cd "$2" && pwd)}
rounds=${3:-5}
measure=${MEASURE_WINDOW:-$root/../shared/tools/measure-window.sh}
[[ -n ${DISPLAY:-} ]] || { echo "startup_figures: DISPLAY not set" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
# A club that accepts and never says a word, and one that answers garbage.
silent_port=$(free_port)
python3 -c '
import socket, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(64); held = []
while True: held.append(s.accept()[0])
' "$silent_port" &
pids+=($!)
garbage_port=$(free_port)
python3 -c '
import socket, sys
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(64)
while True:
    c = s.accept()[0]
    try: c.recv(65536); c.sendall(b"\x00\xff garbage \x1b[2J" * 100)
    except OSError: pass
    c.close()
' "$garbage_port" &
pids+=($!)
refused_port=$(free_port)
sleep 0.5

declare -A clubs=(
  [refused]="http://127.0.0.1:$refused_port/config"
  [silent]="http://127.0.0.1:$silent_port/config"
  [garbage]="http://127.0.0.1:$garbage_port/config"
)

# One run: prints "startup_ms rss_kb hwm_kb idle_cpu_pct".
run_game() {  # build_dir club_url
  local home=$work/home-$(basename "$(dirname "$1")")-$RANDOM
  mkdir -p "$home"
  HOME=$home XDG_DATA_HOME=$home/.local/share BRAXO_CONFIG_URL=$2 SDL_AUDIODRIVER=dummy \
    bash "$measure" -t 5 "$1/src/app/braxo" Braxo 2>/dev/null
}
run_bare() { bash "$measure" -t 5 "$build/bench/bare_window" "Bare Qt window" 2>/dev/null; }

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

printf '%-8s %-10s %12s %10s %12s\n' club program startup_ms rss_mb idle_cpu_%
for club in refused silent garbage; do
  declare -A results=()
  for ((round = 0; round < rounds; ++round)); do
    results[bare]+="$(run_bare)"$'\n'
    results[game]+="$(run_game "$build" "${clubs[$club]}")"$'\n'
    [[ -n $other ]] && results[other]+="$(run_game "$other" "${clubs[$club]}")"$'\n'
  done
  for program in bare game other; do
    [[ -n ${results[$program]:-} ]] || continue
    lines=$(printf '%s' "${results[$program]}" | grep -E '^[0-9]')
    start=$(awk '{print $1}' <<<"$lines" | median)
    rss=$(awk '{print $2 / 1024}' <<<"$lines" | median)
    cpu=$(awk '{print $4}' <<<"$lines" | median)
    printf '%-8s %-10s %12s %10.1f %12s\n' "$club" "$program" "$start" "$rss" "$cpu"
  done
  unset results
done
