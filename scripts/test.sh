#!/usr/bin/env bash
# Builds Verdanta and runs the whole test suite.
# Usage: scripts/test.sh [debug|asan]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-debug}
"$root/scripts/build.sh" "$kind"
if [ "$kind" = debug ]; then
  "$root/scripts/check-code.sh" "$root/build/$kind"
fi
cd "$root/build/$kind"
# The tests that touch SQL run on both engines: PostgreSQL in a throw-away cluster.
"$root/scripts/with-postgres.sh" ctest --output-on-failure -j "$(nproc)" --timeout 600
