#!/usr/bin/env bash
# Installs what Braxo needs, builds it and starts the game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build_dir=${BRAXO_BUILD_DIR:-$root/build}
exec "$build_dir/src/app/braxo" "$@"
