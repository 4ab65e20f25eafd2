#!/usr/bin/env bash
# Builds Verdanta and starts it. The program's root folder is its current
# directory; this script uses the data folder below (created when missing), so
# the database "data.mdb" and the patient folders live there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" release
data="${VERDANTA_DATA:-${XDG_DATA_HOME:-$HOME/.local/share}/Verdanta}"
mkdir -p "$data"
echo "Verdanta data folder: $data"
cd "$data"
exec "$root/build/release/bin/verdanta" "$@"
