#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, build-sanitize/ or $BRAXO_SANITIZE_BUILD_DIR) and runs them: any
# memory error, leak or undefined behaviour fails, in a test program or in a
# program it starts (the club server). Quiet when all is well.
#
#   scripts/sanitize-tests.sh build   configure and build the test programs
#   scripts/sanitize-tests.sh run     run them (the PostgreSQL cases too when
#                                     PGHOST names a server, as under pg_virtualenv)
#   scripts/sanitize-tests.sh         both
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BRAXO_SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=$(nproc)

# The test programs, by their path in the build directory; the file name is
# the target. The plain C++ libraries and the sound, the club client and the
# club server (whose end-to-end tests start the instrumented braxo-club), and
# the windows, whose ownership of widgets and of the game's objects is where
# a dangling pointer would hide.
programs=(
  tests/game/game_tests
  tests/storage/storage_tests
  tests/i18n/braxo_i18n_tests
  tests/audio/braxo_audio_tests
  tests/club/club_tests
  tests/club/club_server_tests
  server/tests/server_tests
  server/tests/club_server_e2e_tests
  tests/ui/ui_tests
  tests/dialogs/dialogs_tests
  tests/app/app_tests
)

build() {
  local log=$build_dir/sanitize-build.log
  mkdir -p "$build_dir"
  local targets=()
  for p in "${programs[@]}"; do targets+=("$(basename "$p")"); done
  # Debug: no optimisation to hide a fault behind, and the quickest build.
  if ! {
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Debug -DBRAXO_SANITIZE=ON -DBRAXO_BUILD_TESTS=ON \
      -DBRAXO_BUILD_BENCH=OFF -DBRAXO_BUILD_FUZZ=OFF &&
      cmake --build "$build_dir" --parallel "$jobs" --target "${targets[@]}"
  } >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "sanitize-tests: the sanitizer build failed (whole log: $log)" >&2
    exit 1
  fi
  echo "sanitize-tests: built ${#programs[@]} test programs in $build_dir"
}

# One shard of one program; its output goes to a log file of its own.
run_shard() {
  local program=$1 shard=$2 shards=$3 logs=$4
  local name
  name=$(basename "$program")
  local args=()
  # Without a PostgreSQL server the PostgreSQL cases are left out, as the
  # test suite's "postgresql" label does.
  if [ "$name" = server_tests ] && [ -z "${PGHOST:-}" ]; then
    args+=("--gtest_filter=-*/Postgres:PostgresRepository.*:CopyCommand.*")
  fi
  (cd "$build_dir/$(dirname "$program")" &&
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$shard \
      timeout 600 "./$name" "${args[@]}" >"$logs/$name.$shard.log" 2>&1) || {
    echo "$name.$shard"
  }
}

run() {
  local logs=$build_dir/sanitize-logs
  rm -rf "$logs"
  mkdir -p "$logs/reports"
  for p in "${programs[@]}"; do
    if [ ! -x "$build_dir/$p" ]; then
      echo "sanitize-tests: $build_dir/$p is missing; run '$0 build' first" >&2
      exit 2
    fi
  done

  # The same options for every run, whatever the caller's environment says.
  # Reports go to files, one per process, so that those of the club server
  # the tests start are seen too.
  export ASAN_OPTIONS="log_path=$logs/reports/sanitizer:detect_leaks=1:check_initialization_order=1"
  export UBSAN_OPTIONS="log_path=$logs/reports/sanitizer:print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS=""
  unset GTEST_FILTER GTEST_REPEAT GTEST_SHUFFLE GTEST_RANDOM_SEED GTEST_ALSO_RUN_DISABLED_TESTS
  export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
  export GTEST_BRIEF=1

  # Every program in as many shards as there are processors, the shards of
  # all programs in one queue.
  local failed
  failed=$(
    export -f run_shard
    export build_dir
    for p in "${programs[@]}"; do
      for ((s = 0; s < jobs; s++)); do printf '%s %s\n' "$p" "$s"; done
    done | xargs -P "$jobs" -L 1 bash -c 'run_shard "$0" "$1" '"$jobs $logs"
  )

  local reports
  reports=$(find "$logs/reports" -type f | sort)
  if [ -n "$failed" ] || [ -n "$reports" ]; then
    for f in $failed; do
      echo "=== $f failed; the end of its output ($logs/$f.log):" >&2
      tail -n 80 "$logs/$f.log" >&2
    done
    local shown=0
    for r in $reports; do
      if [ "$shown" -eq 5 ]; then
        echo "=== and $(($(wc -l <<<"$reports") - shown)) more reports in $logs/reports" >&2
        break
      fi
      echo "=== sanitizer report $r:" >&2
      head -n 80 "$r" >&2
      shown=$((shown + 1))
    done
    echo "sanitize-tests: FAILED (logs in $logs)" >&2
    exit 1
  fi
  echo "sanitize-tests: ${#programs[@]} test programs passed, no sanitizer report"
}

case "${1:-all}" in
  build) build ;;
  run) run ;;
  all) build && run ;;
  *)
    echo "usage: $0 [build|run]" >&2
    exit 2
    ;;
esac
