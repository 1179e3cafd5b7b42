#!/usr/bin/env bash
# Ctrl+N, a practice grid picked from the textures and Enter: the new document
# is the chosen size on paper with the vermilion grid over it.
. "$(dirname "$0")/lib.sh"
qm_start
xdotool key ctrl+n
wait_window "新建"
sleep 1
shot
cp "$WORK/shot.png" "$BUILD/e2e-new-document-chooser.png"
# The chooser sits in the middle of the 1280 x 800 screen; its texture list
# starts at (376, 40) of its 560 x 470 client area, "none" first, then the grids.
xdotool mousemove 780 255 click 1
sleep 1
xdotool key Return
for _ in $(seq 10); do
  sleep 1
  shot
  red=$(reddish "$WORK/shot.png" 200 120 880 560)
  [ "$red" -gt 200 ] && break
done
paper=$(mean "$WORK/shot.png" 200 120 880 560)
echo "canvas: $red vermilion pixels, mean grey $paper"
[ "$red" -gt 200 ] || fail "no practice grid on the new document"
[ "$paper" -gt 200 ] || fail "the new document is not on light paper"
cp "$WORK/shot.png" "$BUILD/e2e-new-document.png"
echo "new_document: ok"
