#!/usr/bin/env bash
# Installs what the club server needs, builds it and runs it in the
# foreground; arguments go to braxo-club (see --help). Stop it with Ctrl+C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build_dir=${BRAXO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -G Ninja
cmake --build "$build_dir" --parallel "$(nproc)" --target braxo-club
exec "$build_dir/server/braxo-club" "$@"
