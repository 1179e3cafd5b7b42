#include "paint/pen_panel.h"

#include <algorithm>
#include <new>

#include "base/state_queue.h"
#include "doc/zun_file.h"
#include "paint/paint_state.h"

zun_enum_pen_base::zun_enum_pen_base(int slot, zun_file* doc, pen_tablet* tablet,
                                     pen_window* window)
    : slot_(slot), doc_(doc), tablet_(tablet), window_(window) {}

zun_enum_pen_base::~zun_enum_pen_base() { close(); }

int zun_enum_pen_base::open() {
  if (open_) return 1;
  if (slot_ < 0 || slot_ >= kPenSlots) return 0;
  pen = new (std::nothrow) zun_pen_single_engine;
  if (!pen) return 0;
  pen_slot& s = pen_slots()[slot_];
  if (!s.initialised) pen_slot_open(slot_);
  set_slider(int(s.size * 100 + 0.5f));
  eraser_mode_ = slot_ == kEraserSlot && s.eraser_mode ? 1 : 0;
  open_ = 1;
  return 1;
}

void zun_enum_pen_base::close() {
  if (!open_) return;
  pen_slot& s = pen_slots()[slot_];
  s.size = size_value();
  if (slot_ == kEraserSlot) s.eraser_mode = eraser_mode_;
  delete pen;
  pen = nullptr;
  open_ = in_stroke_ = changed_ = 0;
}

void zun_enum_pen_base::reset() {
  pen_slot_reset(slot_);
  set_slider(50);
  eraser_mode_ = 0;
}

void zun_enum_pen_base::set_slider(int position) { slider_ = std::clamp(position, 0, 100); }

int zun_enum_pen_base::key_press(int code, int alt) {
  if (alt) return 0;
  if (code == 91 || code == 219) set_slider(slider_ - 1);
  else if (code == 93 || code == 221) set_slider(slider_ + 1);
  else return 0;
  return 1;
}

int zun_enum_pen_base::inside(int32_t x, int32_t y) const {
  return doc_ && doc_->active && doc_->canvas && doc_->canvas->hit_test(x, y);
}

void zun_enum_pen_base::record(int kind, int32_t x, int32_t y, float pressure, int has_pressure,
                               int index, int count) {
  if (!recorder) return;
  pen_macro_event e{};
  e.kind = kind;
  e.x = x, e.y = y;
  e.pressure = pressure;
  e.has_pressure = has_pressure;
  e.packet_index = index, e.packet_count = count;
  e.pen_id = pen && pen->desc ? pen->desc->id : -1;
  e.eraser = eraser_record() ? 1 : pen ? pen->eraser : 0;
  e.size = pen && pen->desc ? pen->size : 0;
  e.colour = eraser_record() ? 0xffffff : paint_colour();
  e.opacity = paint_opacity();
  e.eraser_record = eraser_record();
  recorder->record(e);
}

// Maps the painted document rectangle to the window and asks for a repaint;
// a scaled or turned view rounds, so the rectangle grows a little first.
void zun_enum_pen_base::repaint(const dib_rect& r) {
  const zun_file_canvas& c = *doc_->canvas;
  dib_rect w = c.doc_rect_to_screen(r);
  if (c.scale_step != 1 || c.angle != 0) {
    const int32_t grow = c.scale_step > 1 ? c.scale_step : 1;
    w = dib_rect{w.left - grow, w.top - grow, w.right + grow, w.bottom + grow};
  }
  w = dib_rect{w.left + c.area_x, w.top + c.area_y, w.right + c.area_x, w.bottom + c.area_y};
  if (window_) window_->invalidate(w);
}

int zun_enum_pen_base::pen_down(int32_t x, int32_t y) {
  if (!app_initialised() || !open_ || !pen || !tablet_ || !doc_ || !doc_->surface() ||
      !inside(x, y) || (window_ && window_->covered(x, y)))
    return 0;
  if (in_stroke_ && changed_) {
    // The last stroke never saw its pen-up (capture lost): it still changed
    // the document.
    doc_->modified = 1;
    post_change(kStateModified);
  }
  const int eraser_panel = eraser_record();
  if (eraser_panel) select(0);
  tablet_->press(x, y);
  if (!eraser_panel) select(tablet_->eraser_end());
  pen->set_size(size_value());
  tablet_->press_simulated(*pen);
  const canvas_point d = doc_->screen_to_document(x, y);
  pen->begin_stroke(tablet_->has_pressure(), doc_->surface(), d.x, d.y, tablet_->pressure());
  doc_->history_push(1);
  in_stroke_ = 1;
  changed_ = 0;
  record(1, d.x, d.y, tablet_->pressure(), tablet_->has_pressure(), 0, 0);
  return 1;
}

int zun_enum_pen_base::pen_move(int32_t x, int32_t y) {
  if (!in_stroke_ || !pen || !inside(x, y)) return 0;
  paint_surface* layer = doc_->surface();
  tablet_->move(x, y);
  const int n = tablet_->packets();
  const int has = tablet_->has_pressure();
  dib_rect dirty{0, 0, 0, 0};
  int painted = 0;
  for (int i = 0; i < std::max(n, 1); ++i) {
    const canvas_point d = n ? doc_->screen_to_document(tablet_->packet_x(i), tablet_->packet_y(i))
                             : doc_->screen_to_document(x, y);
    const float p = n ? tablet_->packet_pressure(i) : tablet_->pressure();
    dib_rect r;
    if (pen->stroke_segment(layer, d.x, d.y, paint_colour(), paint_opacity(), p, has, n ? i : 0, n,
                            nullptr, &r)) {
      painted = 1;
      dirty = dib_rect_union(dirty, r);
    }
    record(2, d.x, d.y, p, has, n ? i : 0, n);
  }
  if (!painted) return 1;
  doc_->data->doc_mark_dirty(&dirty, 0);
  repaint(dirty);
  changed_ = 1;
  return 1;
}

int zun_enum_pen_base::pen_up(int32_t x, int32_t y) {
  if (!in_stroke_) return 0;
  if (changed_ && doc_->active) {
    doc_->modified = 1;
    post_change(kStateModified);
  }
  tablet_->release(x, y);
  if (pen) pen->end_stroke();
  record(3, 0, 0, 1.0f, 0, 0, 0);
  in_stroke_ = changed_ = 0;
  return 1;
}

void zun_enum_pen_base::notify(uint32_t code) {
  if (code != kNotifyLayersReplaced) return;
  // The stroke's layer is gone: nothing more may be painted into it.
  in_stroke_ = changed_ = 0;
  if (pen) pen->cancel_stroke();
}

int zun_enum_pen_engine::select(int eraser_end) {
  return pen->select_pen(pen_slots()[slot_].pen_id, eraser_end);
}

int zun_enum_pen_rub::select(int) { return pen->select_pen(eraser_mode_ ? 11 : 2, 1); }
