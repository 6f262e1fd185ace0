#!/usr/bin/env bash
# Configures and builds Braxo into build/ (or $BRAXO_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BRAXO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
