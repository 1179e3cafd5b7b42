#pragma once
// Border bookkeeping of a region: the growable list of border cells, and the
// classifier that marks interior and border cells and rebuilds the list.
#include <cstdint>

#include "paint/rgn_record.h"

// A list of (x, y, code) cells bound to one region's grid. Cells outside the
// grid, and a cell equal to the last one added, are ignored.
class rgn_border_cal {
 public:
  static constexpr int32_t kGrowStep = 4096;

  explicit rgn_border_cal(const rgn_record* region = nullptr) : region_(region) {}
  ~rgn_border_cal();
  rgn_border_cal(const rgn_border_cal&) = delete;
  rgn_border_cal& operator=(const rgn_border_cal&) = delete;

  void bind(const rgn_record* region);
  // 1 when added or ignored by the rules; 0 only without memory.
  int add(int32_t x, int32_t y, int32_t code);
  void clear() { count_ = 0; }
  // Hands the list to the region as its border (the list is emptied).
  int store(rgn_record* region);

  int32_t count() const { return count_; }
  const rgn_cell* cells() const { return cells_; }

 private:
  const rgn_record* region_;
  rgn_cell* cells_ = nullptr;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
};

// Holds a region while its cells are classified: an inside cell whose eight
// neighbours are all inside becomes kCellInterior, any other inside cell the
// plain border code; the border list is rebuilt in row order.
class rgn_dealwith_cal {
 public:
  explicit rgn_dealwith_cal(rgn_record* region) : region_(region) {}
  int classify();

 private:
  rgn_record* region_;
};

// Shorthand for rgn_dealwith_cal(r).classify().
int rgn_classify(rgn_record* r);
