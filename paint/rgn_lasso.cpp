// The lasso panel: outline drawing and the selection it starts.
#include "paint/rgn_lasso.h"

#include <algorithm>
#include <new>

#include "base/alloc.h"
#include "base/dib_line.h"
#include "base/state_queue.h"
#include "doc/zun_file.h"

rgn_point_list::~rgn_point_list() { mem_free(points_); }

int rgn_point_list::push(int32_t x, int32_t y) {
  if (count_ == capacity_) {
    const int64_t grown = int64_t{capacity_} + kGrowStep;
    if (grown > kRgnMaxPoints) return 0;
    void* p = mem_realloc(points_, std::size_t(grown) * sizeof(rgn_point));
    if (!p) return 0;
    points_ = static_cast<rgn_point*>(p);
    capacity_ = static_cast<int32_t>(grown);
  }
  points_[count_++] = rgn_point{x, y};
  return 1;
}

dib_rect rgn_point_list::bounds() const {
  if (count_ == 0) return dib_rect{0, 0, 0, 0};
  dib_rect b{points_[0].x, points_[0].y, points_[0].x + 1, points_[0].y + 1};
  for (int32_t k = 1; k < count_; ++k) {
    b.left = std::min(b.left, points_[k].x), b.right = std::max(b.right, points_[k].x + 1);
    b.top = std::min(b.top, points_[k].y), b.bottom = std::max(b.bottom, points_[k].y + 1);
  }
  return b;
}

zun_enum_rgn_polygon::~zun_enum_rgn_polygon() { reset(); }

int zun_enum_rgn_polygon::open() {
  open_flag = 1;
  if (window_) window_->tag_canvas(kLassoCanvasTag);
  return 1;
}

void zun_enum_rgn_polygon::close() {
  reset();
  open_flag = 0;
}

void zun_enum_rgn_polygon::drop_selection() {
  delete selection;  // commits one that has not ended
  selection = nullptr;
}

void zun_enum_rgn_polygon::reset() {
  drop_selection();
  state = 0;
  points.clear();
}

void zun_enum_rgn_polygon::invalidate_outline() const {
  if (!window_ || points.count() == 0 || !doc_ || !doc_->canvas) return;
  const dib_rect b = points.bounds();
  const int32_t ax = doc_->canvas->area_x, ay = doc_->canvas->area_y;
  window_->invalidate(dib_rect{b.left + ax - 2, b.top + ay - 2, b.right + ax + 2, b.bottom + ay + 2});
}

int zun_enum_rgn_polygon::pen_down(int32_t x, int32_t y) {
  if (selecting()) return selection->pen_down(x, y);
  if (selection) {  // ended, its notification not yet delivered
    drop_selection();
    state = 0;
  }
  if (!doc_ || !doc_->active || !doc_->canvas || !doc_->canvas->hit_test(x, y)) return 0;
  if (window_ && window_->covered(x, y)) return 0;
  state = 1;
  points.clear();
  points.push(x - doc_->canvas->area_x, y - doc_->canvas->area_y);
  return 1;
}

int zun_enum_rgn_polygon::pen_move(int32_t x, int32_t y) {
  if (selecting()) return selection->pen_move(x, y);
  if (state != 1) return 0;
  invalidate_outline();
  points.push(x - doc_->canvas->area_x, y - doc_->canvas->area_y);
  invalidate_outline();
  return 1;
}

int zun_enum_rgn_polygon::pen_up(int32_t x, int32_t y) {
  if (selecting()) return selection->pen_up(x, y);
  if (state != 1) return 0;
  state = 0;
  invalidate_outline();
  rgn_record* r = rgn_make_polygon(points.data(), points.count());
  if (r && r->width > kLassoMinSide && r->height > kLassoMinSide) {
    selection = new (std::nothrow) zun_rgn_op(doc_, window_);
    if (selection) {
      selection->pictures = pictures;
      if (selection->start(r)) {
        state = 2;
      } else {
        drop_selection();
      }
    }
  }
  rgn_free(r);
  points.clear();
  if (window_ && doc_->canvas) {
    const zun_file_canvas& v = *doc_->canvas;
    window_->invalidate(dib_rect{v.area_x, v.area_y, v.area_x + v.area_width, v.area_y + v.area_height});
  }
  return 1;
}

int zun_enum_rgn_polygon::key_down(int code) { return selecting() ? selection->key_down(code) : 0; }

int zun_enum_rgn_polygon::key_up(int code) { return selection ? selection->key_up(code) : 0; }

void zun_enum_rgn_polygon::notify(uint32_t code) {
  if (code != kStateRegionEnded) return;
  const dib_rect e = selection ? selection->extent() : dib_rect{0, 0, 0, 0};
  drop_selection();
  state = 0;
  if (window_ && !dib_rect_empty(e)) window_->invalidate(e);
}

int zun_enum_rgn_polygon::draw(dib_block* desktop) const {
  if (selecting()) return selection->draw(desktop);
  if (state != 1 || points.count() == 0 || !doc_ || !doc_->canvas) return 0;
  const int32_t ax = doc_->canvas->area_x, ay = doc_->canvas->area_y;
  const rgn_point* p = points.data();
  if (points.count() == 1) return dib_line(desktop, p[0].x + ax, p[0].y + ay, p[0].x + ax, p[0].y + ay, 0, 1.0f, 1);
  for (int32_t k = 1; k < points.count(); ++k)
    dib_line(desktop, p[k - 1].x + ax, p[k - 1].y + ay, p[k].x + ax, p[k].y + ay, 0, 1.0f, 1);
  return 1;
}
