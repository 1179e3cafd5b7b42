// The dispatcher: extensions, alpha hand-back, conversion to 24 bits.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/dib.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
class Dispatch : public LeakCheck {
 protected:
  // The fixture copied under another name into a scratch folder.
  std::string copy_as(const std::string& from, const std::string& name) {
    std::string to = tmp_.file(name);
    std::filesystem::copy_file(fixture(from), to);
    return to;
  }
  TempDir tmp_;
};

TEST_F(Dispatch, ExtensionsChooseTheDecoderInAnyCase) {
  netpbm want;
  ASSERT_TRUE(read_netpbm(fixture("jpeg.ppm"), want));
  for (const char* name : {"a.jpeg", "b.JPG", "c.Jpeg", "d.jpg"}) {
    dib_block* b = image_load(copy_as("jpeg.jpg", name).c_str());
    EXPECT_TRUE(same_pixels(b, want)) << name;
    dib_free(b);
  }
  // A BMP under ".rle" is read as BMP; under an unknown name it is not read at all.
  dib_block* b = image_load(copy_as("bmp24.bmp", "e.RLE").c_str());
  EXPECT_NE(b, nullptr);
  dib_free(b);
  for (const char* name : {"f.tiff", "g", "h.bmp.txt", "i.", "j.jp"}) {
    EXPECT_EQ(image_load(copy_as("bmp24.bmp", name).c_str()), nullptr) << name;
  }
  EXPECT_EQ(image_load(copy_as("tif24_ii.tif", "k.tiff").c_str()), nullptr);
  // The content, not only the name, must fit: a PNG named .bmp fails.
  EXPECT_EQ(image_load(copy_as("png24.png", "l.bmp").c_str()), nullptr);
  EXPECT_EQ(image_load(tmp_.file("missing.png").c_str()), nullptr);
  EXPECT_EQ(image_load(nullptr), nullptr);
}

TEST_F(Dispatch, Png32GivesAlphaOnlyWhenAskedFor) {
  netpbm want;
  ASSERT_TRUE(read_netpbm(fixture("png32.pam"), want));
  dib_block* alpha = nullptr;
  dib_block* b = image_load_alpha(fixture("png32.png").c_str(), &alpha);
  EXPECT_TRUE(same_pixels(b, want));
  EXPECT_TRUE(same_alpha(alpha, want));
  dib_free(b);
  dib_free(alpha);
  b = image_load(fixture("png32.png").c_str());
  EXPECT_TRUE(same_pixels(b, want));
  dib_free(b);
}

TEST_F(Dispatch, OtherFormatsSetAlphaToNone) {
  dib_block* alpha = reinterpret_cast<dib_block*>(1);
  dib_block* b = image_load_alpha(fixture("bmp8.bmp").c_str(), &alpha);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(alpha, nullptr);
  EXPECT_EQ(dib_bits(b), 24);
  dib_free(b);
  alpha = reinterpret_cast<dib_block*>(1);
  b = image_load_alpha(fixture("png24.png").c_str(), &alpha);
  EXPECT_EQ(alpha, nullptr);
  dib_free(b);
}

TEST_F(Dispatch, IndexedAndDirectBlocksBecome24Bit) {
  // 32-bit blue-green-red-x and 16-bit 5-5-5 pixels, as a true-colour screen shows them.
  unsigned char bytes[40 + 2 * 4] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32};
  const unsigned char px32[8] = {10, 20, 30, 99, 1, 2, 3, 4};
  std::memcpy(bytes + 40, px32, 8);
  dib_block* b = image_to_24(dib_from_bytes(bytes, sizeof bytes));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_row(b, 0), "\x0a\x14\x1e\x01\x02\x03", 6));
  dib_free(b);
  unsigned char b16[40 + 4] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 16};
  b16[40] = 0x1F;  // blue 31
  b16[42] = 0x20;  // red 31, green 1
  b16[43] = 0x7C;
  b = image_to_24(dib_from_bytes(b16, sizeof b16));
  ASSERT_NE(b, nullptr);
  const unsigned char* p = dib_row(b, 0);
  EXPECT_EQ(p[0], 255);  // 31 -> 255
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[2], 0);
  EXPECT_EQ(p[3], 0);
  EXPECT_EQ(p[4], 8);    // green 1 -> 8
  EXPECT_EQ(p[5], 255);  // red 31
  dib_free(b);
  EXPECT_EQ(image_to_24(nullptr), nullptr);
}
}  // namespace
