#!/usr/bin/env bash
# Installs everything Braxo needs to build, run and test on Debian 12.
# Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev libxcb1-dev
  libsdl2-mixer-dev libcurl4-openssl-dev libgif-dev
  libsqlite3-dev
  libboost1.81-dev libsodium-dev wrk curl
  libpq-dev postgresql postgresql-common haproxy pure-ftpd openssl libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format-14 clang-tidy-14
  fonts-liberation2 fonts-comic-neue fonts-wqy-zenhei
  python3 python3-pyftpdlib
  dpkg-dev file lintian desktop-file-utils appstream systemd
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The flag artwork comes from the npm registry (package.json, package-lock.json);
# the art generator reads it from node_modules at build time.
if ! command -v npm >/dev/null 2>&1; then
  echo "Installing: nodejs npm"
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends nodejs npm
fi
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$root/node_modules/.package-lock.json" ] ||
   [ "$root/package-lock.json" -nt "$root/node_modules/.package-lock.json" ]; then
  (cd "$root" && npm ci --no-audit --no-fund)
fi
