#!/usr/bin/env bash
# Runs clang-tidy 14 with the checks in .clang-tidy over the production code
# (the game, the club server, the art generator and the build tools), using
# the compile commands of a configured and built build directory (the
# generated sources must exist). Any finding fails the run.
#   scripts/tidy.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-${BRAXO_BUILD_DIR:-$root/build}}
if [[ ! -f $build_dir/compile_commands.json ]]; then
  echo "tidy: no $build_dir/compile_commands.json; configure and build first" >&2
  exit 2
fi
# The build may be gcc's, whose own warning flags clang does not know.
run-clang-tidy-14 -p "$build_dir" -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option \
  "^$root/(src|server/src|art/src|tools)/"
