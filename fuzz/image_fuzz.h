#pragma once
// Shared body of the picture fuzz targets: decode, convert to 24 bits, read
// every pixel, free; any counted block left behind is a leak and aborts.
#include <cstdlib>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/image.h"

inline void image_fuzz_check(dib_block* b, dib_block* alpha, long before) {
  if (alpha) {
    if (dib_bits(alpha) != 8 || dib_width(alpha) != dib_width(b) || dib_height(alpha) != dib_height(b))
      std::abort();
    dib_free(alpha);
  }
  if (b) {
    if (dib_total_size(b) == 0) std::abort();
    b = image_to_24(b);
    unsigned sum = 0;
    for (int32_t y = 0; b && y < dib_height(b); ++y) {
      const unsigned char* row = dib_row(b, y);
      for (int32_t i = 0; i < dib_width(b) * 3; ++i) sum += row[i];
    }
    volatile unsigned sink = sum;
    (void)sink;
    dib_free(b);
  }
  if (alloc_count() != before) std::abort();
}
