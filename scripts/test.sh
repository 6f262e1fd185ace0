#!/usr/bin/env bash
# Installs what Braxo needs, builds everything and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" -DBRAXO_BUILD_TESTS=ON -DBRAXO_BUILD_BENCH=ON
build_dir=${BRAXO_BUILD_DIR:-$root/build}
# Tests draw into real widgets on Qt's offscreen platform and play sound on
# SDL's dummy driver, so no display or sound card is needed.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300
