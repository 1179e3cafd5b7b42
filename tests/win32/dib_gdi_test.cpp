// The bitmap record against real GDI: the portable 24-bit conversion equals
// the CreateDIBitmap + GetDIBits round trip, and drawing, grabbing and text.
#include "base/dib_gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class DibGdi : public LeakCheck {};

// An indexed block with random table and pixels, so that indices past the
// table occur; colours used may be 0, small, exact or larger than 2^bits.
dib_block* random_indexed(std::mt19937& rng, int bits, uint32_t used, int32_t w, int32_t h) {
  const uint32_t entries = used ? used : bits <= 8 ? (1u << bits) : 0;
  const uint32_t stride = dib_stride_for(w, bits);
  std::vector<unsigned char> v(40 + entries * 4 + std::size_t(stride) * h);
  const uint32_t size = 40;
  const uint16_t planes = 1, b = static_cast<uint16_t>(bits);
  std::memcpy(&v[0], &size, 4);
  std::memcpy(&v[4], &w, 4);
  std::memcpy(&v[8], &h, 4);
  std::memcpy(&v[12], &planes, 2);
  std::memcpy(&v[14], &b, 2);
  std::memcpy(&v[32], &used, 4);
  for (std::size_t i = 40; i < v.size(); ++i) v[i] = static_cast<unsigned char>(rng());
  return dib_from_bytes(v.data(), v.size());
}

TEST_F(DibGdi, PortableConversionEqualsTheGdiRoundTrip) {
  std::mt19937 rng(1234);
  int compared = 0;
  for (int bits : {1, 4, 8}) {
    const uint32_t full = 1u << bits;
    for (uint32_t used : {0u, 1u, 2u, full / 2, full - 1, full, full + 3}) {
      for (int round = 0; round < 3; ++round) {
        const int32_t w = 1 + static_cast<int32_t>(rng() % 37),
                      h = 1 + static_cast<int32_t>(rng() % 5);
        dib_block* b = random_indexed(rng, bits, used, w, h);
        ASSERT_NE(b, nullptr);
        dib_block* mine = dib_to_24(b);
        HBITMAP bm = dib_to_hbitmap(b);
        ASSERT_NE(bm, nullptr);
        dib_block* gdi = dib_from_hbitmap(bm);
        DeleteObject(bm);
        ASSERT_NE(mine, nullptr);
        ASSERT_NE(gdi, nullptr);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            ASSERT_EQ(px(mine, x, y), px(gdi, x, y))
                << "bits " << bits << " used " << used << " at " << x << "," << y;
        ++compared;
        dib_free(gdi);
        dib_free(mine);
        dib_free(b);
      }
    }
  }
  // The program's own grey planes too.
  dib_block* grey = dib_create(3, 0, 7, 0);
  for (int x = 0; x < 7; ++x) dib_pixel(grey, x, 1)[0] = static_cast<unsigned char>(x * 40);
  dib_block* mine = dib_to_24(grey);
  HBITMAP bm = dib_to_hbitmap(grey);
  dib_block* gdi = dib_from_hbitmap(bm);
  DeleteObject(bm);
  EXPECT_TRUE(same_pixels(mine, gdi));
  EXPECT_EQ(px(mine, 6, 1), 0xF0F0F0u);
  dib_free(gdi);
  dib_free(mine);
  dib_free(grey);
  EXPECT_EQ(compared, 63);
}

TEST_F(DibGdi, ThirtyTwoBitsDropTheFourthByte) {
  std::mt19937 rng(9);
  dib_block* b = random_indexed(rng, 32, 0, 5, 3);
  ASSERT_NE(b, nullptr);
  dib_block* mine = dib_to_24(b);
  HBITMAP bm = dib_to_hbitmap(b);
  dib_block* gdi = dib_from_hbitmap(bm);
  DeleteObject(bm);
  ASSERT_NE(gdi, nullptr);
  EXPECT_TRUE(same_pixels(mine, gdi));
  dib_free(gdi);
  dib_free(mine);
  dib_free(b);
}

struct memory_dc {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm;
  HGDIOBJ old;
  memory_dc(int w, int h) : bm(CreateCompatibleBitmap(screen, w, h)), old(SelectObject(dc, bm)) {}
  ~memory_dc() {
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
};

TEST_F(DibGdi, DrawAndGrab) {
  memory_dc m(20, 10);
  dib_block* b = numbered(7, 5);
  ASSERT_EQ(dib_draw(m.dc, 3, 2, b), 1);
  dib_block* got = dib_grab(m.dc, 3, 2, 7, 5);
  ASSERT_NE(got, nullptr);
  EXPECT_TRUE(same_pixels(got, b));
  dib_free(got);
  // A source rectangle given from the top, drawn 1:1 elsewhere.
  ASSERT_EQ(dib_draw(m.dc, dib_rect{12, 0, 14, 3}, b, dib_rect{4, 1, 6, 4}), 1);
  got = dib_grab(m.dc, 12, 0, 2, 3);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(px(got, 0, 0), px(b, 4, 1));
  EXPECT_EQ(px(got, 1, 2), px(b, 5, 3));
  dib_free(got);
  dib_free(b);
  EXPECT_EQ(dib_grab(m.dc, 0, 0, 0, 5), nullptr);
}

TEST_F(DibGdi, TextCoversGlyphsAndHonoursTheClip) {
  HFONT font = CreateFontA(24, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                           NONANTIALIASED_QUALITY, 0, "Arial");
  ASSERT_NE(font, nullptr);
  int w = 0, h = 0;
  ASSERT_EQ(dib_text_size("HH", font, &w, &h), 1);
  EXPECT_GT(w, 8);
  dib_block* t = dib_create(40, 1, 80, 0xFFFFFF);
  dib_text_style style;
  style.font = font;
  style.colour = 0;
  ASSERT_EQ(dib_text(t, 10, 5, "HH", style), 1);
  int dark = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool in_box = x >= 10 && x < 10 + w && y >= 5 && y < 5 + h;
      if (px(t, x, y) == 0) (in_box ? dark : outside)++;
    }
  EXPECT_GT(dark, 20);
  EXPECT_EQ(outside, 0);

  // A clip region away from the text: nothing drawn.
  dib_fill(t, 0xFFFFFF, nullptr);
  style.clip = CreateRectRgn(60, 30, 80, 40);
  ASSERT_EQ(dib_text(t, 10, 5, "HH", style), 1);
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) changed += px(t, x, y) != 0xFFFFFFu;
  EXPECT_EQ(changed, 0);
  DeleteObject(style.clip);
  style.clip = nullptr;

  // Half opacity and a shadow; partly outside the target is fine.
  dib_fill(t, 0xFFFFFF, nullptr);
  style.opacity = 0.5f;
  style.shadow_offset = 2;
  style.shadow_colour = 0;
  ASSERT_EQ(dib_text(t, 70, 30, "HH", style), 1);
  int half = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) half += px(t, x, y) == 0x7F7F7Fu;
  EXPECT_GT(half, 0);

  // Centred in a box: the glyphs' ink sits around the box's centre.
  dib_fill(t, 0xFFFFFF, nullptr);
  style.opacity = 1.0f;
  style.shadow_offset = 0;
  ASSERT_EQ(dib_text_in(t, dib_rect{0, 0, 80, 40}, "HH", style), 1);
  int64_t sum_x = 0, sum_y = 0, n = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x)
      if (px(t, x, y) == 0) sum_x += x, sum_y += y, ++n;
  ASSERT_GT(n, 0);
  EXPECT_NEAR(double(sum_x) / n, 40.0, 3.0);
  EXPECT_NEAR(double(sum_y) / n, 20.0, 4.0);
  dib_free(t);
  DeleteObject(font);
}
}  // namespace
