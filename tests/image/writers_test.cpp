// JPEG and PNG: refusals, malformed input, writers read back by us and by
// ImageMagick (natively, when /usr/bin/convert is there).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
class Writers : public LeakCheck {
 protected:
  TempDir tmp_;
};

// A picture with detail in every channel and a width that needs row padding.
dib_block* test_picture(int w, int h) {
  dib_block* b = dib_create(h, 1, w, 0);
  for (int y = 0; b && y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = dib_pixel(b, x, y);
      p[0] = static_cast<unsigned char>(x * 7);        // blue
      p[1] = static_cast<unsigned char>(y * 11);       // green
      p[2] = static_cast<unsigned char>(255 - x * 5);  // red
    }
  return b;
}

// ImageMagick's decoding of a file we wrote; skipped where it cannot run.
bool peer_decode(const std::string& file, const std::string& out, const char* format) {
  std::string cmd = "/usr/bin/convert '" + file + "' -depth 8 " + format + ":'" + out + "'";
  return std::system(cmd.c_str()) == 0;
}
#ifdef _WIN32
#define REQUIRE_PEER() GTEST_SKIP() << "ImageMagick cannot be run from the Windows build"
#else
#define REQUIRE_PEER() \
  if (!os_file_exists("/usr/bin/convert")) GTEST_SKIP() << "/usr/bin/convert is not installed"
#endif

TEST_F(Writers, JpegRefusesGreyCmykAndBrokenFiles) {
  EXPECT_EQ(image_load(fixture("jpeg_grey.jpg").c_str()), nullptr);
  EXPECT_EQ(image_load(fixture("jpeg_cmyk.jpg").c_str()), nullptr);
  auto good = file_bytes(fixture("jpeg.jpg"));
  EXPECT_EQ(jpeg_decode(good.data(), 100), nullptr) << "cut in the headers";
  auto bad = good;
  for (std::size_t i = 300; i < bad.size(); i += 7) bad[i] ^= 0x5A;  // damaged entropy data
  dib_block* b = jpeg_decode(bad.data(), bad.size());  // the library may still give pixels
  dib_free(b);
  EXPECT_EQ(jpeg_decode(nullptr, 10), nullptr);
  EXPECT_EQ(jpeg_read(tmp_.file("missing.jpg").c_str()), nullptr);
}

TEST_F(Writers, JpegQuality100RoundTripsClosely) {
  dib_block* b = test_picture(37, 23);
  const std::string path = tmp_.file("out.jpg");
  ASSERT_EQ(jpeg_write(path.c_str(), b), 1);
  dib_block* back = jpeg_read(path.c_str());
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(dib_width(back), 37);
  int worst = 0;
  for (int y = 0; y < 23; ++y)
    for (int i = 0; i < 37 * 3; ++i) worst = std::max(worst, std::abs(dib_row(b, y)[i] - dib_row(back, y)[i]));
  EXPECT_LE(worst, 12) << "quality 100 with chroma subsampling; red and blue not swapped";
  dib_free(back);
  dib_free(b);
  EXPECT_EQ(jpeg_write(path.c_str(), nullptr), 0);
  dib_block* grey = dib_create(4, 0, 4, 0);
  EXPECT_EQ(jpeg_write(path.c_str(), grey), 0) << "24-bit blocks only";
  dib_free(grey);
}

TEST_F(Writers, PngRefusesSixteenBitAndGreyAlpha) {
  EXPECT_EQ(image_load(fixture("png48.png").c_str()), nullptr);
  EXPECT_EQ(image_load(fixture("png_grey_alpha.png").c_str()), nullptr);
  const auto four = file_bytes(fixture("png_palette4.png"));
  ASSERT_GT(four.size(), 26u);
  EXPECT_EQ(four[24], 4) << "the fixture is a 4-bit palette file";
  EXPECT_EQ(png_decode(four.data(), four.size(), nullptr), nullptr) << "depths below 8 bits";
  auto good = file_bytes(fixture("png24.png"));
  EXPECT_EQ(png_decode(good.data(), good.size() / 2, nullptr), nullptr) << "cut short";
  auto bad = good;
  bad[40] ^= 0xFF;  // CRC mismatch in the first chunks
  EXPECT_EQ(png_decode(bad.data(), bad.size(), nullptr), nullptr);
  bad = good;
  bad[16] = 0x7F;  // width 2^30: refused before allocating
  dib_block* alpha = nullptr;
  EXPECT_EQ(png_decode(bad.data(), bad.size(), &alpha), nullptr);
  EXPECT_EQ(alpha, nullptr);
}

TEST_F(Writers, PngRoundTripsExactlyWithAndWithoutCoverage) {
  dib_block* b = test_picture(37, 23);
  dib_block* cov = dib_create(23, 0, 37, 0);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) *dib_pixel(cov, x, y) = static_cast<unsigned char>(x * 6 + y);
  const std::string rgb = tmp_.file("rgb.png"), rgba = tmp_.file("rgba.png");
  ASSERT_EQ(png_write(rgb.c_str(), b, nullptr), 1);
  ASSERT_EQ(png_write(rgba.c_str(), b, cov), 1);
  auto bytes = file_bytes(rgb);
  EXPECT_EQ(bytes[25], 2) << "colour type 2";
  bytes = file_bytes(rgba);
  EXPECT_EQ(bytes[25], 6) << "colour type 6";
  dib_block* alpha = nullptr;
  dib_block* back = png_read(rgba.c_str(), &alpha);
  ASSERT_NE(back, nullptr);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_pixels(back), dib_pixels(b), dib_stride(b) * 23));
  EXPECT_EQ(0, std::memcmp(dib_pixels(alpha), dib_pixels(cov), dib_stride(cov) * 23));
  dib_free(back);
  dib_free(alpha);
  back = png_read(rgb.c_str(), &alpha);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(alpha, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_pixels(back), dib_pixels(b), dib_stride(b) * 23));
  dib_free(back);
  // A 24-bit or wrongly sized coverage plane is refused, and the file stays as it was.
  const auto before = file_bytes(rgb);
  EXPECT_EQ(png_write(rgb.c_str(), b, b), 0);
  dib_block* small = dib_create(2, 0, 2, 0);
  EXPECT_EQ(png_write(rgb.c_str(), b, small), 0);
  EXPECT_EQ(file_bytes(rgb), before);
  dib_free(small);
  dib_free(cov);
  dib_free(b);
}

TEST_F(Writers, ImageMagickReadsWhatWeWrite) {
  REQUIRE_PEER();
  dib_block* b = test_picture(37, 23);
  dib_block* cov = dib_create(23, 0, 37, 128);
  const std::string bmp = tmp_.file("p.bmp"), png = tmp_.file("p.png"), jpg = tmp_.file("p.jpg");
  ASSERT_EQ(bmp_write(bmp.c_str(), b), 1);
  ASSERT_EQ(png_write(png.c_str(), b, cov), 1);
  ASSERT_EQ(jpeg_write(jpg.c_str(), b), 1);
  netpbm seen;
  ASSERT_TRUE(peer_decode(bmp, tmp_.file("bmp.ppm"), "ppm"));
  ASSERT_TRUE(read_netpbm(tmp_.file("bmp.ppm"), seen));
  EXPECT_TRUE(same_pixels(b, seen));
  ASSERT_TRUE(peer_decode(png, tmp_.file("png.pam"), "pam"));
  ASSERT_TRUE(read_netpbm(tmp_.file("png.pam"), seen));
  EXPECT_TRUE(same_pixels(b, seen));
  EXPECT_TRUE(same_alpha(cov, seen));
  ASSERT_TRUE(peer_decode(jpg, tmp_.file("jpg.ppm"), "ppm"));
  ASSERT_TRUE(read_netpbm(tmp_.file("jpg.ppm"), seen));
  EXPECT_TRUE(same_pixels(b, seen, 12));
  dib_free(cov);
  dib_free(b);
}
}  // namespace
