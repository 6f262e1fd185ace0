# Sourced by the club benchmarks: a scratch folder that goes away with the
# script, the servers it started stopped with it, and `start`, which runs a
# server that prints "listening on URL" and echoes that URL.
# A script that needs more at exit defines bench_cleanup_extra before sourcing.
work=$(mktemp -d)
# The servers' process ids, in a file: start runs in a command substitution,
# whose variables do not reach the caller.
bench_cleanup() {
  if [ -f "$work/pids" ]; then
    while read -r p; do kill "$p" 2>/dev/null || true; done <"$work/pids"
    sleep 0.2
  fi
  if declare -F bench_cleanup_extra >/dev/null; then bench_cleanup_extra; fi
  rm -rf "$work"
}
trap bench_cleanup EXIT

# start COMMAND [ARGS...]: runs the server in the background, echoes its URL
# once it listens (at most ten seconds), and fails the script if it never does.
start() {
  local out
  out=$(mktemp "$work/out.XXXXXX")
  "$@" >"$out" 2>/dev/null &
  echo $! >>"$work/pids"
  for _ in $(seq 200); do
    if grep -q '^listening on ' "$out"; then
      sed -n 's/^listening on //p' "$out"
      return
    fi
    sleep 0.05
  done
  echo "server did not start: $*" >&2
  exit 1
}
