// PCX, TGA, TIF and PSD: the variants refused, and malformed files.
#include <gtest/gtest.h>

#include <cstring>

#include "base/dib.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"

namespace {
class Formats : public LeakCheck {};

TEST_F(Formats, RefusedVariants) {
  for (const char* name : {"pcx8_bad_marker.pcx", "tif_fax4.tif", "tif_lzw.tif", "psd_cmyk.psd",
                           "psd_16.psd"})
    EXPECT_EQ(image_load(fixture(name).c_str()), nullptr) << name;
}

// Each decoder against the same damage: cut anywhere, or a header byte changed.
TEST_F(Formats, DamagedFilesFailCleanlyOrDecode) {
  struct entry {
    const char* file;
    dib_block* (*decode)(const void*, std::size_t);
  };
  const entry kFiles[] = {
      {"pcx4.pcx", pcx_decode},  {"pcx8.pcx", pcx_decode},  {"pcx24.pcx", pcx_decode},
      {"tga9.tga", tga_decode},  {"tga10.tga", tga_decode}, {"tif24_packbits_mm.tif", tif_decode},
      {"tif4_palette.tif", tif_decode}, {"psd_packbits.psd", psd_decode}, {"psd_raw.psd", psd_decode},
      {"bmp4_rle.bmp", bmp_decode},
  };
  for (const entry& e : kFiles) {
    SCOPED_TRACE(e.file);
    const auto good = file_bytes(fixture(e.file));
    ASSERT_GT(good.size(), 64u);
    dib_block* whole = e.decode(good.data(), good.size());
    ASSERT_NE(whole, nullptr);
    dib_free(whole);
    // Cut short: the pixel data are incomplete, so every reader refuses.
    EXPECT_EQ(e.decode(good.data(), good.size() * 2 / 3), nullptr);
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{17}, std::size_t{40}})
      EXPECT_EQ(e.decode(good.data(), cut), nullptr) << "cut at " << cut;
    // Every header byte set to 0xFF in turn: any result is fine but a crash or a leak.
    for (std::size_t i = 0; i < 64; ++i) {
      auto bad = good;
      bad[i] = 0xFF;
      dib_free(e.decode(bad.data(), bad.size()));
    }
  }
}

// Size fields at their largest: refused by the size cap before any block is
// allocated for them (a decoder that allocated first would need gigabytes).
TEST_F(Formats, HugeDimensionsAreRefused) {
  auto set = [](std::vector<unsigned char> v, std::size_t at, std::initializer_list<unsigned char> b) {
    for (unsigned char x : b) v[at++] = x;
    return v;
  };
  auto gif = set(file_bytes(fixture("gif.gif")), 6, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(gif_decode(gif.data(), gif.size(), nullptr), nullptr) << "screen 65535 x 65535";
  auto pcx = set(file_bytes(fixture("pcx24.pcx")), 8, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(pcx_decode(pcx.data(), pcx.size()), nullptr);
  auto tga = set(file_bytes(fixture("tga10.tga")), 12, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(tga_decode(tga.data(), tga.size()), nullptr);
  auto psd = set(file_bytes(fixture("psd_packbits.psd")), 14, {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30});
  EXPECT_EQ(psd_decode(psd.data(), psd.size()), nullptr) << "30000 x 30000";
  auto jpg = set(file_bytes(fixture("jpeg.jpg")), 0, {});
  for (std::size_t i = 2; i + 9 < jpg.size(); ++i)
    if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {  // baseline frame header: height, width
      jpg = set(jpg, i + 5, {0xFF, 0xF0, 0xFF, 0xF0});
      break;
    }
  EXPECT_EQ(jpeg_decode(jpg.data(), jpg.size()), nullptr);
}

TEST_F(Formats, RightToLeftTgaIsMirroredAndTopDownTgaIsNotFlipped) {
  dib_block* rtl = image_load(fixture("tga2_rtl.tga").c_str());
  dib_block* plain = image_load(fixture("tga2.tga").c_str());
  dib_block* top = image_load(fixture("tga2_top.tga").c_str());
  ASSERT_NE(rtl, nullptr);
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_pixels(rtl), dib_pixels(plain), dib_stride(plain) * 23));
  // Same bytes in the file, opposite row order: the two blocks are each other's flip.
  EXPECT_EQ(0, std::memcmp(dib_row(top, 0), dib_row(plain, 22), 37 * 3));
  dib_free(rtl);
  dib_free(plain);
  dib_free(top);
}
}  // namespace
