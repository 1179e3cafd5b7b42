// Border list and cell classification.
#include "paint/rgn_border.h"

#include <cstring>

#include "base/alloc.h"

rgn_border_cal::~rgn_border_cal() { mem_free(cells_); }

void rgn_border_cal::bind(const rgn_record* region) {
  region_ = region;
  count_ = 0;
}

int rgn_border_cal::add(int32_t x, int32_t y, int32_t code) {
  if (!region_ || x < region_->x || y < region_->y || x - int64_t{region_->x} >= region_->width ||
      y - int64_t{region_->y} >= region_->height)
    return 1;
  if (count_ > 0) {
    const rgn_cell& last = cells_[count_ - 1];
    if (last.x == x && last.y == y && last.code == code) return 1;
  }
  if (count_ == capacity_) {
    const int64_t grown = int64_t{capacity_} + kGrowStep;
    if (grown > kRgnMaxCells) return 0;
    void* p = mem_realloc(cells_, std::size_t(grown) * sizeof(rgn_cell));
    if (!p) return 0;
    cells_ = static_cast<rgn_cell*>(p);
    capacity_ = static_cast<int32_t>(grown);
  }
  cells_[count_++] = rgn_cell{x, y, code};
  return 1;
}

int rgn_border_cal::store(rgn_record* region) {
  if (!region) return 0;
  rgn_cell* list = nullptr;
  if (count_ > 0) {
    list = static_cast<rgn_cell*>(mem_alloc(std::size_t(count_) * sizeof(rgn_cell)));
    if (!list) return 0;
    std::memcpy(list, cells_, std::size_t(count_) * sizeof(rgn_cell));
  }
  mem_free(region->border);
  region->border = list;
  region->border_count = count_;
  count_ = 0;
  return 1;
}

int rgn_dealwith_cal::classify() {
  rgn_record* r = region_;
  if (!r) return 0;
  const int32_t w = r->width, h = r->height;
  rgn_border_cal list(r);
  if (!r->cells || w <= 0 || h <= 0) return list.store(r);
  // Decide every cell from the grid as it was: marking in place would read
  // the codes just written, which are nonzero too, so only inside/outside
  // matters and the order is safe; keep it that way.
  auto in = [&](int32_t i, int32_t j) {
    return i >= 0 && j >= 0 && i < w && j < h && r->cells[int64_t{j} * w + i] != 0;
  };
  for (int32_t j = 0; j < h; ++j) {
    for (int32_t i = 0; i < w; ++i) {
      int32_t& c = r->cells[int64_t{j} * w + i];
      if (!c) continue;
      bool interior = true;
      for (int dj = -1; dj <= 1 && interior; ++dj)
        for (int di = -1; di <= 1 && interior; ++di)
          if ((di || dj) && !in(i + di, j + dj)) interior = false;
      c = interior ? kCellInterior : kCellBorder;
      if (!interior && !list.add(r->x + i, r->y + j, c)) return 0;
    }
  }
  return list.store(r);
}

int rgn_classify(rgn_record* r) { return rgn_dealwith_cal(r).classify(); }
