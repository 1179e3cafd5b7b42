# Whole-program sessions: the Windows program under Wine on the build's virtual
# display, driven with xdotool, looked at with ImageMagick.
# Sourced by the e2e scripts; they get BUILD (build/win32) and NATIVE (build/native).
set -euo pipefail
: "${BUILD:?}"
export QM_FORCE_XVFB=1
RUN=$BUILD/wine-run.sh
EXE=$BUILD/tree/zwsmain.exe
"$RUN" --boot
export DISPLAY=:97
# A blank in the folder's name: Wine then quotes a path to it on the command
# line, which is how the program expects a document argument.
WORK=$(mktemp -d "/tmp/qm e2e.XXXXXX")
trap 'qm_stop; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*" >&2; [ -f "$WORK/shot.png" ] && cp "$WORK/shot.png" "$BUILD/e2e-failure.png"; exit 1; }

qm_running() { "$RUN" "$EXE" -check >/dev/null 2>&1 && return 1; [ $? -eq 1 ]; }
qm_check() { local rc=0; "$RUN" "$EXE" -check >/dev/null 2>&1 || rc=$?; [ $rc -eq 1 ]; }

# qm_start [ARGS...]: starts the program and waits for its window.
qm_start() {
  "$RUN" "$EXE" "$@" >/dev/null 2>&1 &
  QM_PID=$!
  for _ in $(seq 120); do qm_check && break; sleep 0.25; done
  qm_check || fail "the main window never appeared"
  sleep 1.5  # the splash and the first paint
}

qm_stop() {
  if [ -n "${QM_PID:-}" ]; then
    # Bounded: a program stuck in a modal box may never answer the request.
    timeout 20 "$RUN" "$EXE" -close >/dev/null 2>&1 || true
    for _ in $(seq 40); do kill -0 "$QM_PID" 2>/dev/null || break; sleep 0.25; done
    kill "$QM_PID" 2>/dev/null || true
    QM_PID=
  fi
}

shot() { import -window root "$WORK/shot.png"; }

# wait_window TITLE: waits up to ten seconds for a window of that title.
wait_window() {
  for _ in $(seq 40); do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.25
  done
  fail "no window \"$1\" appeared"
}

# drag X0 Y0 X1 Y1 STEPS: a pressed pointer moving in small steps (Wine merges
# moves that arrive together, so each step waits a little).
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 n=$5 i
  xdotool mousemove "$x0" "$y0"
  sleep 0.2
  xdotool mousedown 1
  for i in $(seq 0 "$n"); do
    xdotool mousemove $((x0 + (x1 - x0) * i / n)) $((y0 + (y1 - y0) * i / n))
    sleep 0.03
  done
  xdotool mouseup 1
  sleep 1
}

# mean IMAGE X Y W H: the mean grey (0..255) of a region.
mean() {
  /usr/bin/convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -format '%[fx:int(255*mean)]' info:
}

# darkest IMAGE X Y W H: the darkest grey (0..255) of a region.
darkest() {
  /usr/bin/convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -format '%[fx:int(255*minima)]' info:
}

# reddish IMAGE X Y W H: how many pixels of a region are clearly red (red at
# least 60 above both green and blue), as the practice grids are drawn.
reddish() {
  /usr/bin/convert "$1" -crop "$4x$5+$2+$3" +repage \
    -fx 'r - max(g, b) > 60/255 ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:
}
