// GIF: the first frame on its logical screen, against ImageMagick's coalesced
// first frame; the alpha plane rules of transparency and disposal.
#include <gtest/gtest.h>

#include <cstring>

#include "base/dib.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"

namespace {
class Gif : public LeakCheck {};

uint32_t rgb_at(const dib_block* b, int x, int y) {
  const unsigned char* p = dib_pixel(b, x, y);
  return dib_colour(p[2], p[1], p[0]);
}

TEST_F(Gif, PlainInterlacedAnimatedAnd87aMatchImageMagick) {
  for (const char* name : {"gif", "gif_interlaced", "gif87_local", "gif_animated"}) {
    SCOPED_TRACE(name);
    netpbm want;
    ASSERT_TRUE(read_netpbm(fixture(std::string(name) + ".ppm"), want));
    dib_block* alpha = reinterpret_cast<dib_block*>(1);
    dib_block* b = image_load_alpha(fixture(std::string(name) + ".gif").c_str(), &alpha);
    EXPECT_TRUE(same_pixels(b, want));
    EXPECT_EQ(alpha, nullptr) << "no transparency, no alpha plane";
    dib_free(b);
  }
}

TEST_F(Gif, TransparentIndexGivesAlphaZeroExactlyWhereUsed) {
  for (const char* name : {"gif_transparent", "gif_dispose2"}) {
    SCOPED_TRACE(name);
    netpbm want;
    ASSERT_TRUE(read_netpbm(fixture(std::string(name) + ".pam"), want));
    dib_block* alpha = nullptr;
    dib_block* b = image_load_alpha(fixture(std::string(name) + ".gif").c_str(), &alpha);
    EXPECT_TRUE(same_pixels(b, want, 0, true));
    EXPECT_TRUE(same_alpha(alpha, want));
    // Transparent pixels show the white screen beneath, not the background colour.
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(rgb_at(b, 10, 8), 0xFFFFFFu);
    dib_free(b);
    dib_free(alpha);
  }
}

TEST_F(Gif, Disposal1HasNoAlphaAndShowsTheBackgroundColour) {
  netpbm want;
  ASSERT_TRUE(read_netpbm(fixture("gif_dispose1.pam"), want));
  dib_block* alpha = reinterpret_cast<dib_block*>(1);
  dib_block* b = image_load_alpha(fixture("gif_dispose1.gif").c_str(), &alpha);
  EXPECT_EQ(alpha, nullptr);
  EXPECT_TRUE(same_pixels(b, want, 0, true));
  // Beneath the transparent pixels: the global table's background entry.
  std::vector<unsigned char> file = file_bytes(fixture("gif_dispose1.gif"));
  ASSERT_GT(file.size(), 13u + 3 * 64);
  ASSERT_TRUE(file[10] & 0x80);
  const unsigned char* entry = &file[13 + 3 * file[11]];
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(rgb_at(b, 10, 8), dib_colour(entry[0], entry[1], entry[2]));
  dib_free(b);
}

TEST_F(Gif, FrameAtAnOffsetIsPlacedOnItsScreen) {
  netpbm want;
  ASSERT_TRUE(read_netpbm(fixture("gif_offset_transparent.pam"), want));
  dib_block* alpha = nullptr;
  dib_block* b = image_load_alpha(fixture("gif_offset_transparent.gif").c_str(), &alpha);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dib_width(b), 50);
  EXPECT_EQ(dib_height(b), 40);
  EXPECT_TRUE(same_pixels(b, want, 0, true));
  EXPECT_TRUE(same_alpha(alpha, want));  // 0 outside the frame too
  EXPECT_EQ(rgb_at(b, 0, 0), 0xFFFFFFu);
  dib_free(b);
  dib_free(alpha);

  // Opaque frame with disposal 0: the screen around it has the background colour.
  ASSERT_TRUE(read_netpbm(fixture("gif_offset.pam"), want));
  b = image_load(fixture("gif_offset.gif").c_str());
  EXPECT_TRUE(same_pixels(b, want, 0, true));
  std::vector<unsigned char> file = file_bytes(fixture("gif_offset.gif"));
  const unsigned char* entry = &file[13 + 3 * file[11]];
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(rgb_at(b, 49, 39), dib_colour(entry[0], entry[1], entry[2]));
  dib_free(b);
}

TEST_F(Gif, WithoutAlphaRequestTheSameBlock) {
  dib_block* alpha = nullptr;
  dib_block* a = image_load_alpha(fixture("gif_transparent.gif").c_str(), &alpha);
  dib_block* b = image_load(fixture("gif_transparent.gif").c_str());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_bytes(a), dib_bytes(b), dib_total_size(a)));
  dib_free(a);
  dib_free(b);
  dib_free(alpha);
}

TEST_F(Gif, BrokenFilesAreRefusedOrKeepWhatDecoded) {
  const std::vector<unsigned char> good = file_bytes(fixture("gif87_local.gif"));
  ASSERT_GT(good.size(), 100u);
  std::vector<unsigned char> bad = good;
  bad[4] = '8';  // "GIF88a"
  EXPECT_EQ(gif_decode(bad.data(), bad.size(), nullptr), nullptr);
  // Cut inside the local colour table: no frame.
  EXPECT_EQ(gif_decode(good.data(), 13 + 10 + 20, nullptr), nullptr);
  // Cut inside the pixel data: the frame keeps the pixels decoded so far.
  dib_block* b = gif_decode(good.data(), good.size() - 40, nullptr);
  ASSERT_NE(b, nullptr);
  dib_block* whole = gif_decode(good.data(), good.size(), nullptr);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_row(b, 0), dib_row(whole, 0), 37 * 3)) << "first row intact";
  dib_free(b);
  dib_free(whole);
  // A minimum code size of 12 decodes nothing: every pixel is index 0.
  bad = good;
  bad[13 + 10 + 3 * (2 << (good[13 + 9] & 7))] = 12;
  b = gif_decode(bad.data(), bad.size(), nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(rgb_at(b, 36, 22), dib_colour(good[23], good[24], good[25]));
  dib_free(b);
}
}  // namespace
