#pragma once
// The canvas tools as logic: what a pointer or a dial command does to the
// view. The panel, its buttons and drawing belong to the shell.
#include <cstdint>

#include "doc/canvas.h"

class zun_tool_canvas_op {
 public:
  virtual ~zun_tool_canvas_op() = default;
  virtual const char* name() const = 0;
  // 1 when the tool took the event.
  virtual int pointer_down(zun_file_canvas& view, int32_t wx, int32_t wy, int ctrl) { return 0; }
  virtual int pointer_move(zun_file_canvas& view, int32_t wx, int32_t wy) { return 0; }
  virtual int pointer_up(zun_file_canvas& view, int32_t wx, int32_t wy) { return 0; }
};

class zun_tool_canvas_translate : public zun_tool_canvas_op {
 public:
  const char* name() const override { return "canvas_translate"; }
  int pointer_down(zun_file_canvas& view, int32_t wx, int32_t wy, int ctrl) override;
  int pointer_move(zun_file_canvas& view, int32_t wx, int32_t wy) override;
  int pointer_up(zun_file_canvas& view, int32_t wx, int32_t wy) override;

  int dragging = 0;
  canvas_point grabbed{0, 0};  // the document point taken
  canvas_point last{0, 0};     // window point of the last accepted move
};

class zun_tool_canvas_rotate : public zun_tool_canvas_op {
 public:
  static constexpr int32_t kStep = 15;
  static constexpr int32_t kPositions = 360 / kStep + 1;  // 25
  enum command { reset_angle, turn_back, turn_on, set_345 };

  const char* name() const override { return "canvas_rotate"; }
  int run(zun_file_canvas& view, command c);
  static int32_t dial_position(int32_t angle);  // 0 .. 24
  static int32_t dial_label(int32_t position);  // degrees shown, -180 .. 180
};

class zun_tool_canvas_scale : public zun_tool_canvas_op {
 public:
  const char* name() const override { return "canvas_scale"; }
  int pointer_down(zun_file_canvas& view, int32_t wx, int32_t wy, int ctrl) override;
};

// The reset button.
int canvas_tool_reset(zun_file_canvas& view);
