#!/usr/bin/env bash
# Paint a cross, switch to the lasso (key L), draw a lasso around the cross,
# drag the selection away, commit with Enter: the cross is at its new place only.
. "$(dirname "$0")/lib.sh"
qm_start
drag 400 300 600 300 20
drag 500 250 500 350 20
xdotool key l
sleep 0.5
xdotool mousemove 380 230
sleep 0.2
xdotool mousedown 1
for p in "620 230" "620 370" "380 370" "380 232"; do
  # shellcheck disable=SC2086
  xdotool mousemove $p
  sleep 0.1
done
xdotool mouseup 1
sleep 1
drag 500 300 700 500 20
xdotool key Return
sleep 1
shot
cp "$WORK/shot.png" "$BUILD/e2e-lasso.png"
old=$(darkest "$WORK/shot.png" 400 260 200 80)
new=$(darkest "$WORK/shot.png" 610 460 180 80)
echo "darkest at the old place $old, at the new place $new"
[ "$old" -gt 240 ] || fail "the cross is still at its old place ($old)"
[ "$new" -lt 128 ] || fail "the cross did not arrive at its new place ($new)"
echo "lasso_move: ok"
