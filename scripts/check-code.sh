#!/usr/bin/env bash
# Checks the sources the way reviewers would: every tracked C++ file is
# formatted as .clang-format says, and the program's logic library passes
# clang-tidy with the checks of .clang-tidy (findings are errors here).
# Usage: scripts/check-code.sh <build folder with compile_commands.json>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/debug}
cd "$root"

echo "Checking the format of the sources..."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "Checking the program's layering..."
layering_ok=1
# The contracts include no subsystem; the logic of a subsystem includes no
# window and never the hub (the hub includes the subsystems' installers).
if grep -rnE '#include "(shell|patients|finance|notes|rubrics|therapy|appointments)/' application/Lyren/core; then
  echo "core/ must not include a subsystem folder" >&2; layering_ok=0
fi
while IFS= read -r file; do
  if grep -nE '#include "[a-z]+/(.*/)?ui/|#include <QtWidgets/' "$file"; then
    echo "$file: logic must not include windows" >&2; layering_ok=0
  fi
  case "$file" in
    application/Lyren/shell/*) ;;
    *) if grep -n '#include "shell/' "$file"; then
         echo "$file: a subsystem's logic must not include the hub or the shell" >&2; layering_ok=0
       fi ;;
  esac
done < <(git ls-files 'application/Lyren/*.h' 'application/Lyren/*.cpp' | grep -v '/ui/' | grep -v '^application/Lyren/main.cpp$')
[ "$layering_ok" = 1 ] || exit 1

echo "Running clang-tidy on the program's logic library..."
# The logic library's own sources: the program's folders without the windows.
# clang reads gcc's compile commands without gcc's precompiled headers and
# gcc-only options.
tidy_db=$(mktemp -d)
trap 'rm -rf "$tidy_db"' EXIT
mapfile -t sources < <(python3 - "$build/compile_commands.json" "$tidy_db/compile_commands.json" <<'PY'
import json, re, sys
entries = json.load(open(sys.argv[1]))
kept = []
for e in entries:
    f = e['file']
    if ('/application/Lyren/' in f and '/ui/' not in f and '/tests/' not in f and '_autogen' not in f
            and f.endswith('.cpp') and not f.endswith('/main.cpp')):
        command = e['command']
        command = re.sub(r'-include \S*cmake_pch\.hxx', '', command)
        command = command.replace('-Winvalid-pch', '').replace('-Wshadow=local', '')
        kept.append(dict(e, command=command))
json.dump(kept, open(sys.argv[2], 'w'))
print('\n'.join(sorted({e['file'] for e in kept})))
PY
)
printf '%s\0' "${sources[@]}" \
  | xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$tidy_db" --quiet --warnings-as-errors='*' 2>/dev/null
echo "The sources are formatted and the logic library is clean."
