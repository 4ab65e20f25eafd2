#!/usr/bin/env bash
# Configures and builds Verdanta into build/<kind> (kind: debug, release or asan).
# Usage: scripts/build.sh [debug|release|asan] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-debug}
shift || true

"$root/scripts/install-deps.sh"

case "$kind" in
  debug)   args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  release) args=(-DCMAKE_BUILD_TYPE=Release -DVERDANTA_BUILD_TESTS=OFF) ;;
  asan)    args=(-DCMAKE_BUILD_TYPE=Debug -DVERDANTA_SANITIZE=ON -DVERDANTA_BUILD_BENCH=OFF) ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac

build="$root/build/$kind"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja "${args[@]}" "$@"
fi
cmake --build "$build" -j "$(nproc)"
