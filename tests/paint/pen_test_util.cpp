#include "tests/paint/pen_test_util.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "image/image.h"
#include "paint/pen_resources.h"
#include "tests/support/temp_dir.h"
#include "tools/penpics/penpics.h"

int coverage_at(const paint_surface* s, int32_t x, int32_t y) {
  unsigned char p[4];
  return surface_read_pixel(s, x, y, p) ? p[3] : 0;
}

int painted_count(const paint_surface* s, const dib_rect* r) {
  const dib_rect area = r ? *r : dib_rect{0, 0, s->width, s->height};
  int n = 0;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x) n += coverage_at(s, x, y) > 0;
  return n;
}

void colour_at(const paint_surface* s, int32_t x, int32_t y, unsigned char bgr[3]) {
  unsigned char p[4] = {0, 0, 0, 0};
  surface_read_pixel(s, x, y, p);
  bgr[0] = p[0], bgr[1] = p[1], bgr[2] = p[2];
}

dib_block* grey_picture(int32_t w, int32_t h, int (*value)(int32_t, int32_t, void*), void* ctx) {
  dib_block* b = dib_create(h, 0, w, 0);
  if (!b) return nullptr;
  for (int32_t y = 0; y < h; ++y) {
    unsigned char* row = dib_row(b, y);
    for (int32_t x = 0; x < w; ++x) row[x] = static_cast<unsigned char>(value(x, y, ctx));
  }
  return b;
}

dib_block* grey_fill(int32_t w, int32_t h, int value) { return dib_create(h, 0, w, uint32_t(value)); }

int write_picture(const std::string& path, const dib_block* b) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return b && bmp_write(path.c_str(), b);
}

const std::string& pen_picture_tree() {
  static std::unique_ptr<TempDir> dir;
  if (!dir) {
    dir = std::make_unique<TempDir>();
    std::string error;
    EXPECT_TRUE(penpics_write(dir->path(), 0, &error)) << error;
  }
  use_tree(dir->path());
  return dir->path();
}

void use_tree(const std::string& root) {
  pen_set_resolver(nullptr);
  pen_set_root(root.c_str());
}
