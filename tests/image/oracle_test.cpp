// Every readable fixture, decoded through the dispatcher, against ImageMagick's
// decoding of the same file.
#include <gtest/gtest.h>

#include "base/dib.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"

namespace {
struct oracle_case {
  const char* file;
  const char* expected;
  int tolerance = 0;
};

void PrintTo(const oracle_case& c, std::ostream* os) { *os << c.file; }

class ImageOracle : public LeakCheck, public ::testing::WithParamInterface<oracle_case> {};

TEST_P(ImageOracle, MatchesImageMagickPixelForPixel) {
  netpbm want;
  ASSERT_TRUE(read_netpbm(fixture(GetParam().expected), want)) << GetParam().expected;
  dib_block* b = image_load(fixture(GetParam().file).c_str());
  EXPECT_TRUE(same_pixels(b, want, GetParam().tolerance));
  dib_free(b);
}

const oracle_case kCases[] = {
    {"bmp1.bmp", "bmp1.ppm"},
    {"bmp4.bmp", "bmp4.ppm"},
    {"bmp8.bmp", "bmp8.ppm"},
    {"bmp24.bmp", "bmp24.ppm"},
    {"bmp24_topdown.bmp", "bmp24_topdown.ppm"},
    {"bmp8_rle.rle", "bmp8_rle.ppm"},
    {"bmp8_rle_eol.bmp", "bmp8_rle_eol.ppm"},
    {"bmp4_rle.bmp", "bmp4_rle.ppm"},
    {"bmp4_rle_w5.bmp", "bmp4_rle_w5.ppm"},
    {"jpeg.jpg", "jpeg.ppm"},
    {"jpeg_progressive.jpg", "jpeg_progressive.ppm"},
    {"png8.png", "png8.ppm"},
    {"png_grey.png", "png_grey.ppm"},
    {"png24.png", "png24.ppm"},
    {"png24_interlaced.png", "png24_interlaced.ppm"},
    {"gif.gif", "gif.ppm"},
    {"pcx1.pcx", "pcx1.ppm"},
    {"pcx4.pcx", "pcx4.ppm"},
    {"pcx8.pcx", "pcx8.ppm"},
    {"pcx24.pcx", "pcx24.ppm"},
    {"tga1.tga", "tga1.ppm"},
    {"tga2.tga", "tga2.ppm"},
    {"tga2_top.tga", "tga2_top.ppm"},
    {"tga2_rtl.tga", "tga2.ppm"},  // ImageMagick ignores right-to-left: the unmirrored twin
    {"tga3.tga", "tga3.ppm"},
    {"tga9.tga", "tga9.ppm"},
    {"tga10.tga", "tga10.ppm"},
    {"tga10_top.tga", "tga10_top.ppm"},
    {"tga11.tga", "tga11.ppm"},
    {"tga1_top.tga", "tga1_top.ppm"},
    {"tga11_top.tga", "tga11_top.ppm"},
    {"tif24_ii.tif", "tif24_ii.ppm"},
    {"tif24_mm.tif", "tif24_ii.ppm"},  // the MM twin loads like the II file
    {"tif24_packbits.tif", "tif24_packbits.ppm"},
    {"tif24_packbits_mm.tif", "tif24_packbits.ppm"},
    {"tif24_strips.tif", "tif24_strips.ppm"},
    // 16-bit colour map entries: we take the high byte, ImageMagick rounds.
    {"tif4_palette.tif", "tif4_palette.ppm", 1},
    {"tif8_palette.tif", "tif8_palette.ppm", 1},
    {"tif8_grey.tif", "tif8_grey.ppm"},
    {"tif1.tif", "tif1.ppm"},
    {"psd_raw.psd", "psd_raw.ppm"},
    {"psd_packbits.psd", "psd_packbits.ppm"},
};
INSTANTIATE_TEST_SUITE_P(Fixtures, ImageOracle, ::testing::ValuesIn(kCases));
}  // namespace
