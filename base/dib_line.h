#pragma once
// Anti-aliased lines and rectangle outlines on 24-bit (or 8-bit) blocks.
#include <cstdint>

#include "base/dib.h"

struct dib_trace_point {
  int32_t x, y;
  float weight;  // 0..1
};

// A growable array of trace points (counted, grown 4096 points at a time).
class dib_smart_trace {
 public:
  dib_smart_trace() = default;
  virtual ~dib_smart_trace();
  dib_smart_trace(const dib_smart_trace&) = delete;
  dib_smart_trace& operator=(const dib_smart_trace&) = delete;

  int push(int32_t x, int32_t y, float weight);  // weight limited to 0..1; 0 on allocation failure
  void clear() { count_ = 0; }
  int count() const { return count_; }
  const dib_trace_point& operator[](int i) const { return points_[i]; }

  // Horizontal and vertical lines: every pixel from the first end to the last
  // at weight 1. Others: an anti-aliased Bresenham walk pushing the pixel on
  // the line and its two neighbours across it.
  int trace_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

 private:
  dib_trace_point* points_ = nullptr;
  int count_ = 0, capacity_ = 0;
};

// Paints the line with the colour at opacity weight * opacity, each trace point
// as a dot (dot 1: one pixel; n: an n x n square centred on it).
int dib_line(dib_block* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
             float opacity, int dot);
// The four edges, the right and bottom ones one pixel inside the rectangle.
int dib_rect_outline(dib_block* target, const dib_rect& r, uint32_t colour, float opacity, int dot);
