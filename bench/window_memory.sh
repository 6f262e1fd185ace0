#!/usr/bin/env bash
# The game's resident memory with the title screen showing, at 100 % and at
# 200 % (QT_SCREEN_SCALE_FACTORS), side by side in one run with another build
# (optionally): each cell is the median of ROUNDS runs of measure-window.sh,
# the programs taking turns within each round, against a club that refuses.
#
#   bench/window_memory.sh BUILD_DIR [OTHER_BUILD_DIR] [ROUNDS]
#
# Needs an X display large enough for the window at 200 % (for example
# `Xvfb :95 -screen 0 3840x2160x24 -nolisten tcp &` and DISPLAY=:95) and what
# measure-window.sh needs. MEASURE_WINDOW names the script (default:
# ../shared/tools/measure-window.sh beside the project). Run by hand.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
other=${2:+$(cd "$2" && pwd)}
rounds=${3:-3}
measure=${MEASURE_WINDOW:-$root/../shared/tools/measure-window.sh}
[[ -n ${DISPLAY:-} ]] || { echo "window_memory: DISPLAY not set" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
refused_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

run_game() {  # build_dir scale_factor
  local home=$work/home-$RANDOM
  mkdir -p "$home"
  HOME=$home XDG_DATA_HOME=$home/.local/share SDL_AUDIODRIVER=dummy \
    BRAXO_CONFIG_URL="http://127.0.0.1:$refused_port/config" QT_SCREEN_SCALE_FACTORS=$2 \
    bash "$measure" -t 2 "$1/src/app/braxo" Braxo 2>/dev/null
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

programs=("$build")
[[ -n $other ]] && programs+=("$other")
printf '%-6s %-40s %10s %12s\n' scale build rss_mb startup_ms
for scale in 1 2; do
  declare -A rss=() start=()
  for ((round = 0; round < rounds; ++round)); do
    for program in "${programs[@]}"; do
      read -r startup_ms rss_kb _ _ < <(run_game "$program" "$scale")
      rss[$program]+="$rss_kb "
      start[$program]+="$startup_ms "
    done
  done
  for program in "${programs[@]}"; do
    printf '%-6s %-40s %10.1f %12s\n' "$((scale * 100)) %" "$program" \
      "$(tr ' ' '\n' <<<"${rss[$program]}" | grep . | median | awk '{print $1 / 1024}')" \
      "$(tr ' ' '\n' <<<"${start[$program]}" | grep . | median)"
  done
  unset rss start
done
