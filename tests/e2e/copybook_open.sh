#!/usr/bin/env bash
# Ctrl+T, a search and a double click on the copybook found open it faded for
# tracing: the canvas becomes the model's grey paper with its darker characters.
. "$(dirname "$0")/lib.sh"
qm_start
shot
before=$(mean "$WORK/shot.png" 600 380 80 40)
xdotool key ctrl+t
wait_window "字帖"
sleep 1
xdotool type --delay 80 "lan"
sleep 1.5
# The chooser sits in the middle of the 1280 x 800 screen; its list starts at
# (16, 80) of its 640 x 470 client area.
xdotool mousemove 420 263 click --repeat 2 --delay 120 1
# A busy machine may take a while to load and fade the picture.
for _ in $(seq 10); do
  sleep 1
  shot
  after=$(mean "$WORK/shot.png" 600 380 80 40)
  [ "$after" -lt 200 ] && break
done
ink=$(darkest "$WORK/shot.png" 600 380 80 40)
echo "middle of the canvas: mean grey before $before, after $after; darkest after $ink"
[ "$before" -gt 245 ] || fail "the new document is not white"
# The faded paper is about 166 grey and the faded ink about 90.
[ "$after" -lt 200 ] && [ "$after" -gt 100 ] || fail "the copybook did not open"
[ "$ink" -lt 130 ] || fail "the copybook shows no characters"
cp "$WORK/shot.png" "$BUILD/e2e-copybook.png"
echo "copybook_open: ok"
