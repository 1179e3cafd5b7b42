#pragma once
// A document controller for tests, and tagged pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/dib.h"
#include "base/state_queue.h"
#include "doc/zun_file.h"
#include "tests/base/dib_test_util.h"

// A colour unique to (x, y) for documents below 256 x 256.
inline uint32_t tag_of(int x, int y) {
  return dib_colour(x & 255, y & 255, (x * 7 + y * 13) & 255);
}
inline void fill_tagged(dib_block* b) {
  for (int y = 0; y < dib_height(b); ++y)
    for (int x = 0; x < dib_width(b); ++x) set_px(b, x, y, tag_of(x, y));
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
