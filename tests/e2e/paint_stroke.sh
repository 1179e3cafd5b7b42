#!/usr/bin/env bash
# A drag across the canvas paints along its path and nowhere else.
. "$(dirname "$0")/lib.sh"
qm_start
shot
cp "$WORK/shot.png" "$WORK/before.png"
drag 400 420 880 420 80
shot
on=$(darkest "$WORK/shot.png" 400 405 140 30)
before=$(darkest "$WORK/before.png" 400 405 140 30)
echo "darkest grey near the start of the path: before $before, after $on"
[ "$on" -lt 235 ] && [ "$before" -gt 240 ] || fail "the stroke did not darken the path"
# Far from the path the canvas is unchanged.
away_before=$(mean "$WORK/before.png" 450 200 380 100)
away_after=$(mean "$WORK/shot.png" 450 200 380 100)
[ "$away_before" = "$away_after" ] || fail "pixels away from the path changed ($away_before -> $away_after)"
cp "$WORK/shot.png" "$BUILD/e2e-paint.png"
echo "paint_stroke: ok"
