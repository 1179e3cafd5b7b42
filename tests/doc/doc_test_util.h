#pragma once
// A document controller for tests, and pixels by value.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/dib.h"
#include "base/state_queue.h"
#include "doc/zun_file.h"

inline uint32_t pixel(const dib_block* b, int x, int y) {
  const unsigned char* p = dib_pixel(b, x, y);
  if (!p) return 0xFFFFFFFFu;
  if (dib_bits(b) == 8) return p[0];
  return dib_colour(p[2], p[1], p[0]);
}
inline void set_pixel(dib_block* b, int x, int y, uint32_t c) {
  unsigned char* p = dib_pixel(b, x, y);
  if (!p) return;
  if (dib_bits(b) == 8) {
    p[0] = static_cast<unsigned char>(c);
  } else {
    p[0] = dib_blue(c), p[1] = dib_green(c), p[2] = dib_red(c);
  }
}
// A colour unique to (x, y) for documents below 256 x 256.
inline uint32_t tag_of(int x, int y) {
  return dib_colour(x & 255, y & 255, (x * 7 + y * 13) & 255);
}
inline void fill_tagged(dib_block* b) {
  for (int y = 0; y < dib_height(b); ++y)
    for (int x = 0; x < dib_width(b); ++x) set_pixel(b, x, y, tag_of(x, y));
}

// A controller with a document of the size, its view set up on an area.
inline std::unique_ptr<zun_file> make_document(int32_t w, int32_t h, int capacity = 8,
                                               int32_t area_w = 1000, int32_t area_h = 800) {
  auto f = std::make_unique<zun_file>();
  EXPECT_TRUE(f->zun_file_init(capacity));
  f->canvas->view_setup(0, 0, area_w, area_h);
  EXPECT_TRUE(f->doc_new(w, h));
  return f;
}

// Sets the application-initialised flag for a test and restores it after.
class Initialised {
 public:
  Initialised() : was_(app_initialised()) {
    set_app_initialised(1);
    state_clear(app_changes());
  }
  ~Initialised() {
    set_app_initialised(was_);
    state_clear(app_changes());
  }
  static bool pending(uint32_t key) { return state_pending(app_changes(), key, nullptr); }

 private:
  int was_;
};
