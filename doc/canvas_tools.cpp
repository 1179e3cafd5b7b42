#include "doc/canvas_tools.h"

int zun_tool_canvas_translate::pointer_down(zun_file_canvas& view, int32_t wx, int32_t wy, int) {
  if (!view.hit_test(wx, wy)) return 0;
  grabbed = view.window_to_doc(wx, wy);
  last = canvas_point{wx, wy};
  dragging = 1;
  return 1;
}

int zun_tool_canvas_translate::pointer_move(zun_file_canvas& view, int32_t wx, int32_t wy) {
  if (!dragging) return 0;
  int32_t dx = wx - last.x, dy = wy - last.y;
  view.view_pan(&dx, &dy);
  // A refused axis keeps its start, so the document catches up with the
  // pointer once that axis may move again.
  last.x += dx;
  last.y += dy;
  return 1;
}

int zun_tool_canvas_translate::pointer_up(zun_file_canvas& view, int32_t wx, int32_t wy) {
  const int was = dragging;
  if (was) pointer_move(view, wx, wy);
  dragging = 0;
  return was;
}

int32_t zun_tool_canvas_rotate::dial_position(int32_t angle) {
  int32_t a = (angle + 180) % 360;
  if (a < 0) a += 360;
  return a / kStep;
}

int32_t zun_tool_canvas_rotate::dial_label(int32_t position) { return position * kStep - 180; }

int zun_tool_canvas_rotate::run(zun_file_canvas& view, command c) {
  switch (c) {
    case reset_angle:
      return view.view_set_angle(0);
    case turn_back:
      return view.view_rotate_by(-kStep);
    case turn_on:
      return view.view_rotate_by(kStep);
    case set_345:
      return view.view_set_angle(345);
  }
  return 0;
}

int zun_tool_canvas_scale::pointer_down(zun_file_canvas& view, int32_t wx, int32_t wy, int ctrl) {
  if (!view.hit_test(wx, wy)) return 0;
  view.view_zoom_step(wx, wy, !ctrl);
  return 1;
}

int canvas_tool_reset(zun_file_canvas& view) { return view.view_fit(); }
