#!/usr/bin/env bash
# Starts Verdanta as a new user would, with the README's run command on an
# empty data folder, under a virtual X server; takes a screenshot of the
# screen; then ends the program the way a session end does (SIGTERM, which
# closes the main window normally) and checks that it created its database
# and wrote its first backup.
# Usage: scripts/screenshot.sh [output.png]   (default: build/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/screenshot.png}
mkdir -p "$(dirname "$out")"

# Build first, so that waiting for the window does not include the build.
"$root/scripts/build.sh" release >/dev/null

work=$(mktemp -d /tmp/verdanta-screenshot-XXXXXX)
data="$work/data"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
display=""
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

# The user's own settings and shared files stay untouched.
export DISPLAY="$display" VERDANTA_DATA="$data" XDG_CONFIG_HOME="$work/config" \
       VERDANTA_WINDOWS_DIR="$work/windows" QT_QPA_PLATFORM=xcb
"$root/scripts/run.sh" >"$work/run.log" 2>&1 &
app_pid=$!

for _ in $(seq 150); do
  xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Verdanta"' && break
  kill -0 "$app_pid" 2>/dev/null || { cat "$work/run.log" >&2; echo "Verdanta ended early" >&2; exit 1; }
  sleep 0.2
done
sleep 2 # let it paint
import -display "$display" -window root "$out"
echo "screenshot: $out"

kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
app_pid=""
echo "exit status: $status"
for f in data.mdb Backup/ThisWeek/data.mdb; do
  if [ -f "$data/$f" ]; then echo "written: $f"; else echo "missing: $f" >&2; status=1; fi
done
exit "$status"
