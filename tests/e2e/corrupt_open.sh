#!/usr/bin/env bash
# A damaged document: the "noopen" message appears and the program carries on.
. "$(dirname "$0")/lib.sh"
bad_unix=$WORK/broken.zws
printf '.zws\001\000\000\000garbage that is not a document' > "$bad_unix"
qm_start "Z:${bad_unix//\//\\}"
sleep 1
# The message box is a window of its own with the text of "noopen".
# Its title is the application name alone; the main window's names the document.
found=0
for _ in $(seq 20); do
  if xdotool search --name '^习墨 Quillmere$' >/dev/null 2>&1; then found=1; break; fi
  sleep 0.25
done
shot
cp "$WORK/shot.png" "$BUILD/e2e-noopen.png"
[ $found = 1 ] || fail "no message window appeared"
xdotool key Return
sleep 1
qm_check || fail "the program did not carry on after the message"
echo "corrupt_open: ok"
