#!/usr/bin/env bash
# Paint, save through the real save dialog with a typed name, quit, start with
# that file on the command line: the painting is back.
. "$(dirname "$0")/lib.sh"
: "${NATIVE:?}"
doc_unix=$WORK/painting.zws
doc_win="Z:${doc_unix//\//\\}"
qm_start
drag 420 300 860 520 40
xdotool key ctrl+s
sleep 2.5
xdotool type --delay 20 "$doc_win"
sleep 0.3
xdotool key Return
for _ in $(seq 40); do [ -s "$doc_unix" ] && break; sleep 0.25; done
[ -s "$doc_unix" ] || fail "the save dialog wrote no file"
qm_stop
# The native reader sees the stroke in the saved file.
"$NATIVE/tools/zwstool/zwstool" convert "$doc_unix" "$WORK/saved.png" || fail "zwstool cannot read the saved document"
w=$(/usr/bin/convert "$WORK/saved.png" -format '%w' info:)
[ "$w" -gt 0 ] || fail "empty picture"
dark=$(/usr/bin/convert "$WORK/saved.png" -colorspace Gray -format '%[fx:int(255*minima)]' info:)
[ "$dark" -lt 128 ] || fail "the saved document holds no paint (darkest $dark)"
# Started with the file, the program shows the painting again.
qm_start "$doc_win"
shot
on=$(darkest "$WORK/shot.png" 560 370 160 80)
[ "$on" -lt 128 ] || fail "the reopened document shows no paint along the stroke (darkest $on)"
off=$(darkest "$WORK/shot.png" 300 550 200 100)
[ "$off" -gt 240 ] || fail "the reopened document has paint where none was ($off)"
cp "$WORK/shot.png" "$BUILD/e2e-reopen.png"
echo "save_reopen: ok"
