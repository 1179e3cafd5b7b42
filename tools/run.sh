#!/usr/bin/env bash
# Starts the Windows program under Wine. On a real display it runs until closed;
# without one it runs on a virtual display, saves a screenshot of the running
# program to build/win32/screenshot.png, and closes it again.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
b=$here/build/win32
run=$b/wine-run.sh
exe=$b/tree/zwsmain.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$run" "$exe" "$@"
fi
unset DISPLAY
"$run" --boot
export DISPLAY=:97
"$run" "$exe" "$@" &
pid=$!
for _ in $(seq 60); do
  [ "$("$run" "$exe" -check; echo $?)" = 1 ] && break
  sleep 0.5
done
sleep "${QM_SHOT_DELAY:-3}"
import -window root "$b/screenshot.png"
echo "run: screenshot saved to $b/screenshot.png"
"$run" "$exe" -close || true
wait $pid || true
