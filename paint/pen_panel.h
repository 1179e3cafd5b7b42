#pragma once
// The stroke pipeline of the pen panels: a pen-down, a run of moves and a
// pen-up on window coordinates become painted pixels in the current layer,
// one history step, a dirty area for the view, invalidated window
// rectangles and macro records. The window layer owns the windows and the
// tablet; it reaches this logic through the small interfaces below.
#include <cstdint>

#include "base/dib.h"
#include "paint/pen_engine.h"

class zun_file;

// What the panel needs of its tablet layer (the panel's zun_pen_wacom):
// positions are window positions, pressures 0..1.
class pen_tablet {
 public:
  virtual ~pen_tablet() = default;
  virtual void press(int32_t x, int32_t y) = 0;
  // After the pen is selected: starts simulated pressure when the pen asks
  // for it and the tablet gave none.
  virtual void press_simulated(zun_pen_engine& pen) = 0;
  virtual void move(int32_t x, int32_t y) = 0;
  virtual void release(int32_t x, int32_t y) = 0;
  virtual int has_pressure() const = 0;
  virtual float pressure() const = 0;
  virtual int eraser_end() const = 0;
  virtual int packets() const = 0;  // of the last move, 0..32
  virtual int32_t packet_x(int i) const = 0;
  virtual int32_t packet_y(int i) const = 0;
  virtual float packet_pressure(int i) const = 0;
};

// One pen event as the macro recorder stores it.
struct pen_macro_event {
  int32_t kind;  // 1 down, 2 move, 3 up
  int32_t x, y;  // document pixels (0 for up)
  float pressure;
  int32_t has_pressure;
  int32_t packet_index, packet_count;
  int32_t pen_id;  // -1 when none
  int32_t eraser;
  float size;
  uint32_t colour;  // eraser records: 0xffffff
  float opacity;    // the current opacity
  int32_t eraser_record;  // 1: from the eraser slot
};

// The macro panel's recorder while it records.
class pen_macro_recorder {
 public:
  virtual ~pen_macro_recorder() = default;
  virtual void record(const pen_macro_event& event) = 0;
};

// The window layer's side: covered points and repainting.
class pen_window {
 public:
  virtual ~pen_window() = default;
  virtual int covered(int32_t x, int32_t y) { return 0; }  // a floating panel there
  virtual void invalidate(const dib_rect& window_rect) = 0;
};

// Layers-replaced notification, posted by undo and redo.
inline constexpr uint32_t kNotifyLayersReplaced = 0x200;

// Painting slots (0-3) and the eraser slot share the pipeline; the eraser
// differs in the pen it selects and in what it records.
class zun_enum_pen_base {
 public:
  zun_enum_pen_base(int slot, zun_file* doc, pen_tablet* tablet, pen_window* window);
  virtual ~zun_enum_pen_base();
  zun_enum_pen_base(const zun_enum_pen_base&) = delete;
  zun_enum_pen_base& operator=(const zun_enum_pen_base&) = delete;

  // Opening: the slot's first opening initialises it; the slider takes its size.
  int open();
  // Closing writes the slider back into the slot and drops the pen.
  void close();
  void reset();
  int pen_down(int32_t x, int32_t y);
  int pen_move(int32_t x, int32_t y);
  int pen_up(int32_t x, int32_t y);
  // '[' and ']' (91/219, 93/221) move the size slider one step; ignored with Alt.
  int key_press(int code, int alt);
  void notify(uint32_t code);

  int is_open() const { return open_; }
  int in_stroke() const { return in_stroke_; }
  int stroke_changed() const { return changed_; }
  // The size slider's position as a fraction (0..1 in steps of 0.01).
  float size_value() const { return slider_ / 100.0f; }
  void set_slider(int position);

  pen_macro_recorder* recorder = nullptr;
  zun_pen_single_engine* pen = nullptr;  // owned while open

 protected:
  virtual int select(int eraser_end) = 0;
  virtual int eraser_record() const = 0;

  int slot_;
  int eraser_mode_ = 0;  // the eraser slot's radio buttons

 private:
  int inside(int32_t x, int32_t y) const;
  void record(int kind, int32_t x, int32_t y, float pressure, int has_pressure, int index, int count);
  void repaint(const dib_rect& doc_rect);

  zun_file* doc_;
  pen_tablet* tablet_;
  pen_window* window_;
  int open_ = 0;
  int in_stroke_ = 0;
  int changed_ = 0;
  int slider_ = 50;
};

class zun_enum_pen_engine : public zun_enum_pen_base {
 public:
  using zun_enum_pen_base::zun_enum_pen_base;

 protected:
  int select(int eraser_end) override;
  int eraser_record() const override { return 0; }
};

class zun_enum_pen_rub : public zun_enum_pen_base {
 public:
  zun_enum_pen_rub(zun_file* doc, pen_tablet* tablet, pen_window* window)
      : zun_enum_pen_base(kEraserSlot, doc, tablet, window) {}
  // The radio buttons: eraser mode 0 (pen 2) or 1 (pen 11).
  void set_mode(int mode) { eraser_mode_ = mode ? 1 : 0; }
  int mode() const { return eraser_mode_; }

 protected:
  int select(int eraser_end) override;
  int eraser_record() const override { return 1; }
};
