// BMP and RLE: edge cases of the reader, malformed files, the writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "base/dib.h"
#include "image/image.h"
#include "tests/image/image_oracle.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
class Bmp : public LeakCheck {};

std::vector<unsigned char> rle_file(int bits, int width, int height,
                                    const std::vector<unsigned char>& codes) {
  const int entries = 1 << bits;
  std::vector<unsigned char> f(54 + entries * 4, 0);
  f[0] = 'B';
  f[1] = 'M';
  f[10] = static_cast<unsigned char>(54 + entries * 4);
  f[11] = static_cast<unsigned char>((54 + entries * 4) >> 8);
  f[14] = 40;
  f[18] = static_cast<unsigned char>(width);
  f[22] = static_cast<unsigned char>(height);
  f[26] = 1;
  f[28] = static_cast<unsigned char>(bits);
  f[30] = bits == 8 ? 1 : 2;
  for (int i = 0; i < entries; ++i) f[54 + i * 4] = f[54 + i * 4 + 1] = f[54 + i * 4 + 2] = static_cast<unsigned char>(i * 16);
  for (unsigned char c : codes) f.push_back(c);
  return f;
}

TEST_F(Bmp, Rle4OfWidth5LoadsAs24BitOfWidth5) {
  dib_block* b = image_load(fixture("bmp4_rle_w5.bmp").c_str());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dib_width(b), 5);
  EXPECT_EQ(dib_height(b), 7);
  EXPECT_EQ(dib_bits(b), 24);
  dib_free(b);
  // bmp_read itself expands RLE4 to 8 bits with the 16 entries first in a full table.
  std::FILE* f = std::fopen(fixture("bmp4_rle_w5.bmp").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  b = bmp_read(f);
  std::fclose(f);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dib_bits(b), 8);
  EXPECT_EQ(dib_table_size(b), 1024u);
  EXPECT_EQ(dib_colours_used(b), 0u);
  EXPECT_EQ(dib_table(b)[16 * 4], 0) << "entries past the file's 16 are zero";
  const unsigned char* h = dib_bytes(b);
  EXPECT_EQ(h[16], 0) << "compression cleared";
  EXPECT_EQ(h[20] | h[21] << 8, 8 * 7) << "image size = stride x height";
  dib_free(b);
}

TEST_F(Bmp, EndOfLineAfterAnExactlyFilledRowDoesNotSkipARow) {
  // Width 4: a run of 4 fills row 0 exactly; the end of line must not skip row 1.
  auto file = rle_file(8, 4, 2, {4, 1, 0, 0, 4, 2, 0, 0, 0, 1});
  dib_block* b = bmp_decode(file.data(), file.size());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(*dib_pixel(b, 0, 1), 1) << "bottom row";
  EXPECT_EQ(*dib_pixel(b, 3, 0), 2) << "top row";
  dib_free(b);
  // Width 3 (stride 4): the column is 3 after the run, so end of line moves on.
  file = rle_file(8, 3, 2, {3, 1, 0, 0, 3, 2, 0, 1});
  b = bmp_decode(file.data(), file.size());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(*dib_pixel(b, 2, 1), 1);
  EXPECT_EQ(*dib_pixel(b, 0, 0), 2);
  dib_free(b);
}

TEST_F(Bmp, RleDeltaLiteralAndNibbleRuns) {
  // RLE8: a literal of 3 (padded to 4 bytes), a delta 0 right 1 up, a run of 1.
  auto file = rle_file(8, 4, 2, {0, 3, 7, 8, 9, 0, 0, 2, 0, 1, 1, 5, 0, 1});
  dib_block* b = bmp_decode(file.data(), file.size());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_row(b, 1), "\x07\x08\x09\x00", 4)) << "bottom row";
  EXPECT_EQ(0, std::memcmp(dib_row(b, 0), "\x00\x00\x00\x05", 4)) << "top row";
  dib_free(b);
  // RLE4: a run of 3 alternates the nibbles, a literal of 3 nibbles reads 2 bytes.
  file = rle_file(4, 6, 1, {3, 0x12, 0, 3, 0x34, 0x50, 0, 1});
  b = bmp_decode(file.data(), file.size());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_row(b, 0), "\x01\x02\x01\x03\x04\x05", 6));
  dib_free(b);
}

TEST_F(Bmp, MalformedFilesNeverWriteOutsideTheirBlock) {
  // Runs and deltas that leave the picture are clipped (ASan would see an overrun).
  auto file = rle_file(8, 4, 2, {255, 1, 0, 2, 255, 255, 200, 3, 0, 1});
  dib_block* b = bmp_decode(file.data(), file.size());
  ASSERT_NE(b, nullptr);
  dib_free(b);
  file = rle_file(4, 5, 2, {0, 254});  // a literal longer than the file
  EXPECT_EQ(bmp_decode(file.data(), file.size()), nullptr);
  file = rle_file(8, 4, 2, {0});  // a code cut in half
  EXPECT_EQ(bmp_decode(file.data(), file.size()), nullptr);

  auto good = file_bytes(fixture("bmp8.bmp"));
  auto bad = good;
  bad[46] = 0xFF;  // colours used: a table larger than the file
  bad[47] = 0xFF;
  EXPECT_EQ(bmp_decode(bad.data(), bad.size()), nullptr);
  bad = good;
  bad[22] = 0x00;  // height 2^24 rows: refused before anything is allocated
  bad[23] = 0x00;
  bad[24] = 0x00;
  bad[25] = 0x01;
  EXPECT_EQ(bmp_decode(bad.data(), bad.size()), nullptr);
  EXPECT_EQ(bmp_decode(good.data(), good.size() - 1), nullptr) << "short pixel data";
  bad = good;
  bad[0] = 'M';
  EXPECT_EQ(bmp_decode(bad.data(), bad.size()), nullptr);
  bad = good;
  bad[30] = 3;  // bit-field masks are not read
  EXPECT_EQ(bmp_decode(bad.data(), bad.size()), nullptr);
  EXPECT_EQ(image_load(fixture("bmp_v5.bmp").c_str()), nullptr) << "124-byte info header";
  EXPECT_EQ(bmp_read(nullptr), nullptr);
}

TEST_F(Bmp, WriterRoundTripsBlocksByteForByte) {
  TempDir tmp;
  dib_block* coverage = dib_create(13, 0, 7, 0);
  ASSERT_NE(coverage, nullptr);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 7; ++x) *dib_pixel(coverage, x, y) = static_cast<unsigned char>(x * 30 + y);
  const std::string path = tmp.file("cov.bmp");
  ASSERT_EQ(bmp_write(path.c_str(), coverage), 1);
  auto bytes = file_bytes(path);
  ASSERT_EQ(bytes.size(), 14 + dib_total_size(coverage));
  EXPECT_EQ(bytes[10] | bytes[11] << 8, 54 + 1024) << "pixel offset";
  EXPECT_EQ(bytes[28], 8) << "an 8-bit BMP";
  EXPECT_EQ(bytes[54 + 200 * 4], 200) << "grey table";
  dib_block* back = bmp_decode(bytes.data(), bytes.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_pixels(back), dib_pixels(coverage), dib_stride(coverage) * 13));
  dib_free(back);
  dib_free(coverage);

  dib_block* b = image_load(fixture("bmp24.bmp").c_str());
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(bmp_write(path.c_str(), b), 1);  // over the earlier file
  dib_block* again = image_load(path.c_str());
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(0, std::memcmp(dib_pixels(again), dib_pixels(b), dib_stride(b) * dib_height(b)));
  dib_free(again);
  dib_free(b);
}

TEST_F(Bmp, FailedWriteKeepsTheFileThatWasThere) {
  TempDir tmp;
  const std::string path = tmp.file("keep.bmp");
  ASSERT_TRUE(write_bytes(path, {'o', 'l', 'd'}));
  EXPECT_EQ(bmp_write(path.c_str(), nullptr), 0);
  EXPECT_EQ(file_bytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
  EXPECT_EQ(bmp_write(tmp.file("no-such-folder/x.bmp").c_str(), nullptr), 0);
  dib_block* b = dib_create(2, 1, 2, 0);
  EXPECT_EQ(bmp_write(tmp.file("no-such-folder/x.bmp").c_str(), b), 0);
  dib_free(b);
}
}  // namespace
