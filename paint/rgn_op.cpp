// The floating selection: lifting, the handle actions, commit, cancel, discard.
#include "paint/rgn_op.h"

#include <algorithm>
#include <cmath>

#include "base/state_queue.h"
#include "doc/zun_file.h"
#include "paint/rgn_layer.h"
#include "paint/rgn_ops.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kWhite = 0xffffff;

bool dragged(int handle) {
  return handle == kHandleScale || handle == kHandleMove || handle == kHandleRotate;
}
// The handles that change the lifted pixels. Commit, cancel and discard do
// not: pressing commit after plain moves must still put the pixels back
// exactly, without a round trip through view-scale bitmaps.
bool transforms(int handle) { return handle >= kHandleScale && handle <= kHandleRotate && handle != kHandleMove; }

int32_t width_of(const dib_rect& r) { return r.right - r.left; }
int32_t height_of(const dib_rect& r) { return r.bottom - r.top; }

// Runs a bitmap conversion that takes ownership on a copy; null when it did
// not produce a new block of the expected size.
template <class F>
dib_block* converted(const dib_block* src, int32_t w, int32_t h, F op) {
  dib_block* copy = dib_clone(src);
  if (!copy) return nullptr;
  dib_block* out = op(copy);
  if (out == copy || dib_width(out) != w || dib_height(out) != h) {
    dib_free(out);
    return nullptr;
  }
  return out;
}

bool quarter_turns(double degrees, int* turns) {
  const double t = degrees / 90.0;
  if (std::fabs(t - std::round(t)) >= 1e-9) return false;
  *turns = static_cast<int>(((std::llround(t) % 4) + 4) % 4);
  return true;
}
}  // namespace

zun_rgn_op::~zun_rgn_op() {
  if (active && !finished) commit();
  release_all();
}

void zun_rgn_op::release_all() {
  surface_free(layer_copy);
  rgn_free(document_region);
  rgn_free(drawn_region);
  rgn_free(working_region);
  dib_free(lifted_colour);
  dib_free(lifted_coverage);
  layer_copy = nullptr;
  document_region = drawn_region = working_region = nullptr;
  lifted_colour = lifted_coverage = nullptr;
}

int32_t zun_rgn_op::area_x() const { return doc_ && doc_->canvas ? doc_->canvas->area_x : 0; }
int32_t zun_rgn_op::area_y() const { return doc_ && doc_->canvas ? doc_->canvas->area_y : 0; }

int zun_rgn_op::start(const rgn_record* r) {
  if (active || finished || !doc_ || !doc_->active || !doc_->canvas || !doc_->canvas->ready() || !r ||
      !r->cells)
    return 0;
  paint_surface* layer = doc_->surface();
  if (!layer) return 0;
  const zun_file_canvas& view = *doc_->canvas;
  const dib_rect b = rgn_box(r);
  const int32_t w = width_of(b), h = height_of(b);
  const int32_t wx = b.left + view.area_x, wy = b.top + view.area_y;
  drawn_region = rgn_copy(r);
  working_region = rgn_copy(r);
  layer_copy = surface_clone(layer);
  document_region = rgn_to_document(r, view);
  lifted_colour = view.doc_block_to_window(layer->colour, canvas_point{0, 0}, w, h, wx, wy);
  lifted_coverage = layer->coverage
                        ? view.doc_block_to_window(layer->coverage, canvas_point{0, 0}, w, h, wx, wy)
                        : dib_create(h, 0, w, 255);
  if (!drawn_region || !working_region || !layer_copy || !document_region || !lifted_colour ||
      !lifted_coverage || !doc_->history_push(1)) {
    release_all();
    return 0;
  }
  // The cut: the history step above holds the layer as it was.
  layer = doc_->surface();
  rgn_fill(layer, document_region, kWhite);
  surface_note_rect(layer, dib_rect{0, 0, layer->width, layer->height});
  doc_->mark_dirty(1);
  box = b;
  active = 1, finished = 0, move_only = 1;
  offset_x = offset_y = 0;
  pressed_handle = -1;
  drag_start = drag_current = canvas_point{-1, -1};
  if (window_) window_->selection_mode(1);
  invalidate_all();
  return 1;
}

dib_rect zun_rgn_op::handle_rect(int handle) const {
  if (handle < 0 || handle >= kHandleCount) return dib_rect{0, 0, 0, 0};
  const int32_t l = box.left + area_x(), t = box.top + area_y();
  const int32_t r = box.right - 1 + area_x(), b = box.bottom - 1 + area_y();
  const int32_t cx = l + (r - l) / 2, cy = t + (b - t) / 2;
  static const int kAt[kHandleCount][2] = {{2, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 0},
                                           {2, 1}, {2, 2}, {1, 2}, {0, 2}};
  const int32_t xs[3] = {l, cx, r}, ys[3] = {t, cy, b};
  const dib_block* pic = pictures ? pictures->picture[handle] : nullptr;
  const int32_t w = pic ? dib_width(pic) : kHandleSize, h = pic ? dib_height(pic) : kHandleSize;
  const int32_t x = xs[kAt[handle][0]] - w / 2, y = ys[kAt[handle][1]] - h / 2;
  return dib_rect{x, y, x + w, y + h};
}

int zun_rgn_op::handle_at(int32_t x, int32_t y) const {
  if (!active) return -1;
  // The corner and side handles before the centre: on a small box they overlap it.
  static const int kOrder[kHandleCount] = {0, 2, 3, 4, 5, 6, 7, 8, 1};
  for (int k : kOrder) {
    const dib_rect r = handle_rect(k);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return k;
  }
  return -1;
}

dib_rect zun_rgn_op::extent() const {
  dib_rect e{box.left + area_x(), box.top + area_y(), box.right + area_x(), box.bottom + area_y()};
  for (int k = 0; k < kHandleCount; ++k) e = dib_rect_union(e, handle_rect(k));
  if (pressed_handle == kHandleMove && drag_start.x >= 0) {
    dib_rect m = e;
    const int32_t dx = drag_current.x - drag_start.x, dy = drag_current.y - drag_start.y;
    m.left += dx, m.right += dx, m.top += dy, m.bottom += dy;
    e = dib_rect_union(e, m);
  } else if (dragged(pressed_handle) && drag_start.x >= 0) {
    // The scale preview's box and the rotation's arm reach the pointer.
    const int32_t cx = (e.left + e.right) / 2, cy = (e.top + e.bottom) / 2;
    const int32_t rx = std::abs(drag_current.x - cx) + 2, ry = std::abs(drag_current.y - cy) + 2;
    e = dib_rect_union(e, dib_rect{cx - rx, cy - ry, cx + rx + 1, cy + ry + 1});
    const int32_t sw = 2 * std::abs(drag_current.x - drag_start.x), sh = 2 * std::abs(drag_current.y - drag_start.y);
    e = dib_rect_union(e, dib_rect{e.left - sw, e.top - sh, e.right + sw, e.bottom + sh});
  }
  return dib_rect{e.left - 1, e.top - 1, e.right + 1, e.bottom + 1};
}

void zun_rgn_op::invalidate_all() const {
  if (window_) window_->invalidate(extent());
}

int zun_rgn_op::pen_down(int32_t x, int32_t y) {
  if (!active || finished) return 0;
  pressed_handle = handle_at(x, y);
  if (pressed_handle < 0) return 1;
  if (dragged(pressed_handle)) drag_start = drag_current = canvas_point{x, y};
  if (transforms(pressed_handle)) move_only = 0;
  return 1;
}

int zun_rgn_op::pen_move(int32_t x, int32_t y) {
  if (!active || finished) return 0;
  if (dragged(pressed_handle)) {
    invalidate_all();
    drag_current = canvas_point{x, y};
    invalidate_all();
  }
  return 1;
}

int zun_rgn_op::pen_up(int32_t x, int32_t y) {
  if (!active || finished) return 0;
  const int h = pressed_handle;
  if (h < 0) return 1;
  if (dragged(h)) {
    drag_current = canvas_point{x, y};
    act(h);
  } else if (handle_at(x, y) == h) {
    act(h);  // a button acts when released where it was pressed
  }
  if (!finished) invalidate_all();
  pressed_handle = -1;
  drag_start = drag_current = canvas_point{-1, -1};
  return 1;
}

int zun_rgn_op::key_down(int code) {
  if (!active || finished) return 0;
  switch (code) {
    case kKeyEnter:
      return commit();
    case kKeyEscape:
      return cancel();
    case kKeyDelete:
      return discard();
    case kKeyControl:
      keep_ratio = 1;
      return 1;
    default:
      return 0;
  }
}

int zun_rgn_op::key_up(int code) {
  if (code != kKeyControl) return 0;
  keep_ratio = 0;
  return 1;
}

int zun_rgn_op::act(int handle) {
  invalidate_all();
  int done = 0;
  switch (handle) {
    case kHandleScale:
      done = scale_to_drag();
      break;
    case kHandleMove:
      done = move_by_drag();
      break;
    case kHandleFlip:
      done = transform(rgn_flip, dib_flip);
      break;
    case kHandleMirror:
      done = transform(rgn_mirror, dib_mirror);
      break;
    case kHandleTurn:
      done = transform(rgn_quarter_turn, dib_rotate90);
      break;
    case kHandleRotate:
      done = rotate_by_drag();
      break;
    case kHandleCommit:
      return commit();
    case kHandleCancel:
      return cancel();
    case kHandleDiscard:
      return discard();
    default:
      return 0;
  }
  box = rgn_box(working_region);
  invalidate_all();
  return done;
}

int zun_rgn_op::replace_lifted(dib_block* colour, dib_block* coverage) {
  if (!colour || !coverage) {
    dib_free(colour);
    dib_free(coverage);
    return 0;
  }
  dib_free(lifted_colour);
  dib_free(lifted_coverage);
  lifted_colour = colour, lifted_coverage = coverage;
  return 1;
}

int zun_rgn_op::transform(int (*region_op)(rgn_record*), dib_block* (*bitmap_op)(dib_block*)) {
  rgn_record* r = rgn_copy(working_region);
  if (!r || !region_op(r)) {
    rgn_free(r);
    return 0;
  }
  if (!replace_lifted(converted(lifted_colour, r->width, r->height, bitmap_op),
                      converted(lifted_coverage, r->width, r->height, bitmap_op))) {
    rgn_free(r);
    return 0;
  }
  rgn_free(working_region);
  working_region = r;
  return 1;
}

int zun_rgn_op::move_by_drag() {
  const int32_t dx = drag_current.x - drag_start.x, dy = drag_current.y - drag_start.y;
  if (!rgn_translate(working_region, dx, dy)) return 0;
  if (move_only) offset_x += dx, offset_y += dy;
  return 1;
}

int zun_rgn_op::scale_to_drag() {
  const int64_t w = width_of(box), h = height_of(box);
  int64_t nw = w + 2 * int64_t{drag_current.x - drag_start.x};
  int64_t nh = h + 2 * int64_t{drag_start.y - drag_current.y};
  if (nw <= 0 || nh <= 0 || w <= 0 || h <= 0) return 0;
  if (keep_ratio) {
    if (nw * h > w * nh)
      nw = nh * w / h;
    else
      nh = nw * h / w;
    if (nw <= 0 || nh <= 0) return 0;
  }
  if (nw > kRgnMaxSide || nh > kRgnMaxSide) return 0;
  if (nw == w && nh == h) return 1;
  const int32_t tw = int32_t(nw), th = int32_t(nh);
  rgn_record* r = rgn_copy(working_region);
  if (!r || !rgn_scale(r, tw, th)) {
    rgn_free(r);
    return 0;
  }
  auto resize = [&](dib_block* b) { return dib_resize(b, tw, th); };
  if (!replace_lifted(converted(lifted_colour, tw, th, resize),
                      converted(lifted_coverage, tw, th, resize))) {
    rgn_free(r);
    return 0;
  }
  rgn_free(working_region);
  working_region = r;
  return 1;
}

int zun_rgn_op::rotate_by_drag() {
  const double cx = area_x() + (box.left + box.right) / 2.0, cy = area_y() + (box.top + box.bottom) / 2.0;
  const double sx = drag_start.x - cx, sy = drag_start.y - cy;
  const double ex = drag_current.x - cx, ey = drag_current.y - cy;
  if ((sx == 0 && sy == 0) || (ex == 0 && ey == 0)) return 0;
  // Anticlockwise on screen is positive, as the bitmap rotation takes it.
  const double degrees = (std::atan2(-ey, ex) - std::atan2(-sy, sx)) * 180.0 / kPi;
  if (std::fabs(degrees) < 1e-6) return 1;
  rgn_record* r = rgn_copy(working_region);
  if (!r || !rgn_rotate(r, degrees)) {
    rgn_free(r);
    return 0;
  }
  const int32_t w = r->width, h = r->height;
  int turns = 0;
  dib_block *colour, *coverage;
  if (quarter_turns(degrees, &turns)) {
    auto turn = [&](dib_block* b) {
      for (int k = 0; k < turns; ++k) b = dib_rotate90(b);
      return b;
    };
    colour = turns ? converted(lifted_colour, w, h, turn) : dib_clone(lifted_colour);
    coverage = turns ? converted(lifted_coverage, w, h, turn) : dib_clone(lifted_coverage);
  } else {
    const uint32_t ground = background;
    colour = converted(lifted_colour, w, h, [&](dib_block* b) {
      return dib_crop_center(dib_rotate(b, float(degrees), ground), w, h);
    });
    coverage = converted(lifted_coverage, w, h, [&](dib_block* b) {
      return dib_crop_center(dib_rotate(b, float(degrees), 0), w, h);
    });
  }
  if (!replace_lifted(colour, coverage)) {
    rgn_free(r);
    return 0;
  }
  rgn_free(working_region);
  working_region = r;
  return 1;
}

int zun_rgn_op::commit() {
  if (!active || finished || !doc_ || !doc_->active || !doc_->canvas) return 0;
  paint_surface* layer = doc_->surface();
  if (!layer) return 0;
  const zun_file_canvas& view = *doc_->canvas;
  int ok = 0;
  if (move_only) {
    // Plain moves: the very pixels of the layer copy, no resampling.
    const canvas_point o = view.screen_to_doc(offset_x, offset_y), z = view.screen_to_doc(0, 0);
    ok = rgn_copy_pixels(layer_copy, document_region, layer, o.x - z.x, o.y - z.y);
  } else {
    rgn_record* d = rgn_to_document(working_region, view);
    const int32_t wx = box.left + view.area_x, wy = box.top + view.area_y;
    canvas_point at{0, 0}, at2{0, 0};
    dib_block* c = view.window_block_to_doc(lifted_colour, wx, wy, &at);
    dib_block* a = view.window_block_to_doc(lifted_coverage, wx, wy, &at2);
    ok = d && c && a && at.x == at2.x && at.y == at2.y &&
         rgn_paste(layer, d, c, layer->coverage ? a : nullptr, at.x, at.y);
    dib_free(c);
    dib_free(a);
    rgn_free(d);
  }
  if (!ok) return 0;  // still active: the user may try again or cancel
  surface_note_rect(layer, dib_rect{0, 0, layer->width, layer->height});
  doc_->mark_dirty(1);
  end_selection();
  return 1;
}

int zun_rgn_op::cancel() {
  if (!active || finished || !doc_) return 0;
  doc_->history_undo();  // the layer as it was before the cut
  end_selection();
  return 1;
}

int zun_rgn_op::discard() {
  if (!active || finished || !doc_) return 0;
  doc_->mark_dirty(1);
  end_selection();
  return 1;
}

void zun_rgn_op::end_selection() {
  invalidate_all();
  finished = 1;
  active = 0;
  pressed_handle = -1;
  if (app_initialised()) post_change(kStateRegionEnded);
  if (window_) window_->selection_mode(0);
}
