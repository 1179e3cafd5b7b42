#!/usr/bin/env bash
# Ctrl+Shift+N and Enter: the first practice sheet opens as a new untitled
# document, its vermilion columns on the canvas where there was white.
. "$(dirname "$0")/lib.sh"
qm_start
shot
before=$(reddish "$WORK/shot.png" 200 120 880 560)
xdotool key ctrl+shift+n
wait_window "模板"
sleep 1
xdotool key Return
for _ in $(seq 10); do
  sleep 1
  shot
  red=$(reddish "$WORK/shot.png" 200 120 880 560)
  [ "$red" -gt 200 ] && break
done
echo "canvas: $before vermilion pixels before, $red after"
[ "$before" -lt 50 ] || fail "the first document is not blank"
[ "$red" -gt 200 ] || fail "the practice sheet did not open"
echo "new_from_template: ok"
