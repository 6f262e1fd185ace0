#!/usr/bin/env bash
# Installs what Braxo needs, builds everything and runs every test: the format
# check, clang-tidy over the production code, a short run of each fuzz target
# (built with clang and the sanitizers in a build directory of its own), the
# test suite, the unit tests again built with AddressSanitizer and
# UndefinedBehaviorSanitizer (another build directory of their own), and last
# the two Debian packages, built, checked and run from a scratch root
# (scripts/test-packages.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh" -DBRAXO_BUILD_TESTS=ON -DBRAXO_BUILD_BENCH=ON
build_dir=${BRAXO_BUILD_DIR:-$root/build}
fuzz_dir=${BRAXO_FUZZ_BUILD_DIR:-$root/build-fuzz}
bash "$root/scripts/tidy.sh" "$build_dir"

CXX=clang++ cmake -S "$root" -B "$fuzz_dir" -G Ninja -DBRAXO_BUILD_FUZZ=ON \
  -DBRAXO_BUILD_TESTS=OFF -DBRAXO_BUILD_BENCH=OFF
cmake --build "$fuzz_dir" --target braxo_fuzzers --parallel "$(nproc)"
ctest --test-dir "$fuzz_dir/fuzz" --output-on-failure --timeout 300

# Tests draw into real widgets on Qt's offscreen platform and play sound on
# SDL's dummy driver, so no display or sound card is needed.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# The club's tests on PostgreSQL (label "postgresql") need a server:
# pg_virtualenv starts a throw-away PostgreSQL 15 cluster for the run and
# names it in PGHOST, PGPORT, PGUSER and PGPASSWORD. -t keeps the cluster in a
# temporary directory even as root: without it root gets the system-wide
# cluster "15/regress", and one left by an interrupted run fails the next.
run_ctest() {
  pg_virtualenv -t -v 15 ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" \
    --timeout 300
}
if [[ -t 1 ]]; then
  # On a terminal the tests that start and pass share one line, cut to the
  # terminal's width and written over; failures, their output and the
  # summary are printed whole. In a log (CI) every line stays.
  columns=$(tput cols 2>/dev/null || echo 100)
  run_ctest | awk -v columns="$columns" '
    /^ *Start +[0-9]+: / || / Test +#[0-9]+: .* Passed / {
      printf "\r\033[K%s", substr($0, 1, columns - 1); fflush(); next
    }
    { printf "\r\033[K"; print; fflush() }'
else
  run_ctest
fi

bash "$root/scripts/sanitize-tests.sh" build
pg_virtualenv -t -v 15 bash "$root/scripts/sanitize-tests.sh" run

# At most twenty minutes: cpack, lintian and a run of both installed programs.
timeout 1200 bash "$root/scripts/test-packages.sh" "$build_dir"
