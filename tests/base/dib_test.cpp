// The record: strides, tables, addressing, creation, copies and fills.
#include "base/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class Dib : public LeakCheck {};

// A header in a plain byte vector, for blocks the program would not make.
std::vector<unsigned char> header(int32_t w, int32_t h, uint16_t bits, uint32_t used) {
  std::vector<unsigned char> v(40, 0);
  uint32_t size = 40;
  uint16_t planes = 1;
  std::memcpy(&v[0], &size, 4);
  std::memcpy(&v[4], &w, 4);
  std::memcpy(&v[8], &h, 4);
  std::memcpy(&v[12], &planes, 2);
  std::memcpy(&v[14], &bits, 2);
  std::memcpy(&v[32], &used, 4);
  return v;
}

TEST_F(Dib, StridesAndTables) {
  EXPECT_EQ(dib_stride_for(1, 24), 4u);
  EXPECT_EQ(dib_stride_for(5, 24), 16u);
  EXPECT_EQ(dib_stride_for(4, 24), 12u);
  EXPECT_EQ(dib_stride_for(5, 8), 8u);
  EXPECT_EQ(dib_stride_for(33, 1), 8u);
  EXPECT_EQ(dib_stride_for(9, 4), 8u);

  dib_block* grey = dib_create(3, 0, 5, 0);
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(dib_stride(grey), 8u);
  EXPECT_EQ(dib_table_size(grey), 1024u);
  EXPECT_EQ(dib_total_size(grey), 40u + 1024u + 8u * 3);
  dib_free(grey);

  dib_block* colour = dib_create(2, 1, 5, 0);
  EXPECT_EQ(dib_table_size(colour), 0u);
  EXPECT_EQ(dib_total_size(colour), 40u + 16u * 2);
  dib_free(colour);

  // Colours used sets the table; 0 gives the full table for 1, 4 and 8 bits.
  auto h1 = header(8, 1, 1, 0), h4 = header(8, 1, 4, 0), h4u = header(8, 1, 4, 3);
  EXPECT_EQ(dib_table_size(reinterpret_cast<dib_block*>(h1.data())), 8u);
  EXPECT_EQ(dib_table_size(reinterpret_cast<dib_block*>(h4.data())), 64u);
  EXPECT_EQ(dib_table_size(reinterpret_cast<dib_block*>(h4u.data())), 12u);
}

TEST_F(Dib, HeaderOtherThan40ReadsAsEmpty) {
  dib_block* b = dib_create(4, 1, 4, 0xFFFFFF);
  dib_bytes(b)[0] = 41;
  EXPECT_EQ(dib_width(b), 0);
  EXPECT_EQ(dib_height(b), 0);
  EXPECT_EQ(dib_bits(b), 0);
  EXPECT_EQ(dib_pixels(b), nullptr);
  EXPECT_EQ(dib_pixel(b, 0, 0), nullptr);
  EXPECT_EQ(dib_clone(b), nullptr);
  EXPECT_EQ(dib_fill(b, 0, nullptr), 0);
  dib_free(b);
  EXPECT_EQ(dib_width(nullptr), 0);
}

TEST_F(Dib, RowsAreAddressedFromTheTop) {
  dib_block* b = dib_create(3, 1, 5, 0);
  const std::size_t stride = dib_stride(b);
  // Row 0 is the last row in memory; the bottom row is the first.
  EXPECT_EQ(dib_pixel(b, 0, 0), dib_pixels(b) + stride * 2);
  EXPECT_EQ(dib_pixel(b, 2, 0), dib_pixels(b) + stride * 2 + 6);
  EXPECT_EQ(dib_row(b, 2), dib_pixels(b));
  EXPECT_EQ(dib_pixel(b, -1, 0), nullptr);
  EXPECT_EQ(dib_pixel(b, 5, 0), nullptr);
  EXPECT_EQ(dib_pixel(b, 0, 3), nullptr);
  EXPECT_EQ(dib_pixel(b, 0, -1), nullptr);
  dib_free(b);
}

TEST_F(Dib, CreateFillsBothKinds) {
  dib_block* c = dib_create(2, 1, 5, dib_colour(10, 20, 30));
  ASSERT_NE(c, nullptr);
  const unsigned char* row = dib_row(c, 1);
  EXPECT_EQ(row[0], 30);  // blue first
  EXPECT_EQ(row[1], 20);
  EXPECT_EQ(row[2], 10);
  EXPECT_EQ(px(c, 4, 0), dib_colour(10, 20, 30));
  EXPECT_EQ(row[15], 0) << "padding stays zero";
  dib_free(c);

  dib_block* grey = dib_create(2, 1, 3, 0xC0C0C0);
  EXPECT_EQ(px(grey, 2, 1), 0xC0C0C0u);
  dib_free(grey);

  dib_block* mask = dib_create(2, 0, 3, 0x1234AB);
  EXPECT_EQ(dib_bits(mask), 8);
  EXPECT_EQ(dib_colours_used(mask), 256u);
  EXPECT_EQ(px(mask, 1, 1), 0xABu);
  const unsigned char* t = dib_table(mask);
  EXPECT_EQ(t[200 * 4], 200);
  EXPECT_EQ(t[200 * 4 + 2], 200);
  EXPECT_EQ(t[200 * 4 + 3], 0);
  dib_free(mask);

  EXPECT_EQ(dib_create(0, 1, 5, 0), nullptr);
  EXPECT_EQ(dib_create(5, 1, -1, 0), nullptr);
  EXPECT_EQ(dib_create(100000, 1, 100000, 0), nullptr) << "beyond the size cap";
}

TEST_F(Dib, IndexedTableIsClampedAndReordered) {
  std::vector<unsigned char> rgb(300 * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(i);
  dib_block* b = dib_create_indexed(300, 3, 2, rgb.data());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dib_colours_used(b), 256u);
  const unsigned char* t = dib_table(b);
  EXPECT_EQ(t[4 * 1 + 0], rgb[3 * 1 + 2]);
  EXPECT_EQ(t[4 * 1 + 2], rgb[3 * 1 + 0]);
  EXPECT_EQ(px(b, 2, 1), 0u);
  dib_free(b);

  dib_block* few = dib_create_indexed(2, 3, 2, rgb.data());
  EXPECT_EQ(dib_table_size(few), 8u);
  EXPECT_EQ(dib_total_size(few), 40u + 8u + 4u * 2);
  dib_free(few);
}

TEST_F(Dib, FromBytesAcceptsOnlyAWholeBlock) {
  dib_block* b = numbered(3, 2);
  const std::size_t n = dib_total_size(b);
  std::vector<unsigned char> bytes(dib_bytes(b), dib_bytes(b) + n);
  dib_block* copy = dib_from_bytes(bytes.data(), n);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(same_pixels(b, copy));
  dib_free(copy);
  EXPECT_EQ(dib_from_bytes(bytes.data(), n - 1), nullptr);
  bytes.push_back(0);
  EXPECT_EQ(dib_from_bytes(bytes.data(), n + 1), nullptr);
  bytes.pop_back();
  bytes[14] = 7;  // bits per pixel
  EXPECT_EQ(dib_from_bytes(bytes.data(), n), nullptr);
  bytes[14] = 24;
  bytes[0] = 12;
  EXPECT_EQ(dib_from_bytes(bytes.data(), n), nullptr);
  // A colour count that would wrap a 32-bit size must not pass.
  auto huge = header(1, 1, 8, 0x40000001u);
  EXPECT_EQ(dib_from_bytes(huge.data(), huge.size()), nullptr);
  dib_free(b);
}

TEST_F(Dib, CopySameNeedsEqualSizeAndBits) {
  dib_block* a = numbered(4, 3);
  dib_block* b = dib_create(3, 1, 4, 0);
  EXPECT_EQ(dib_copy_same(a, b), 1);
  EXPECT_TRUE(same_pixels(a, b));
  dib_block* wide = dib_create(3, 1, 5, 0);
  EXPECT_EQ(dib_copy_same(a, wide), 0);
  dib_block* grey = dib_create(3, 0, 4, 0);
  EXPECT_EQ(dib_copy_same(a, grey), 0);
  // Two non-24-bit kinds of different strides: copying would overrun.
  auto h4 = header(4, 3, 4, 0);
  h4.resize(dib_total_size(reinterpret_cast<dib_block*>(h4.data())));
  dib_block* four = dib_from_bytes(h4.data(), h4.size());
  ASSERT_NE(four, nullptr);
  EXPECT_EQ(dib_copy_same(grey, four), 0);
  dib_free(four);
  dib_free(grey);
  dib_free(wide);
  dib_free(b);
  dib_free(a);
}

TEST_F(Dib, FillClipsToTheBlock) {
  dib_block* b = dib_create(4, 1, 4, 0xFFFFFF);
  dib_rect r{2, -3, 9, 2};
  EXPECT_EQ(dib_fill(b, dib_colour(1, 2, 3), &r), 1);
  EXPECT_EQ(px(b, 2, 0), dib_colour(1, 2, 3));
  EXPECT_EQ(px(b, 3, 1), dib_colour(1, 2, 3));
  EXPECT_EQ(px(b, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(px(b, 2, 2), 0xFFFFFFu);
  dib_rect outside{4, 0, 8, 4};
  EXPECT_EQ(dib_fill(b, 0, &outside), 0);
  EXPECT_EQ(px(b, 3, 3), 0xFFFFFFu);
  dib_free(b);

  dib_block* m = dib_create(2, 0, 2, 0);
  EXPECT_EQ(dib_fill(m, 0x00FF80, nullptr), 1);
  EXPECT_EQ(px(m, 1, 1), 0x80u);
  dib_free(m);
}

TEST_F(Dib, RectUnionAndIntersection) {
  dib_rect e{0, 0, 0, 0}, a{1, 1, 3, 3}, b{2, 0, 5, 2};
  dib_rect u = dib_rect_union(e, a);
  EXPECT_EQ(u.left, 1);
  EXPECT_EQ(u.right, 3);
  u = dib_rect_union(a, b);
  EXPECT_EQ(u.top, 0);
  EXPECT_EQ(u.right, 5);
  dib_rect i = dib_rect_intersect(a, b);
  EXPECT_EQ(i.left, 2);
  EXPECT_EQ(i.bottom, 2);
  EXPECT_TRUE(dib_rect_empty(dib_rect_intersect(a, dib_rect{3, 3, 4, 4})));
}
}  // namespace

#include "base/dib_self.h"

namespace {
TEST_F(Dib, SelfDibOwnsAndReleasesBothBlocks) {
  app_self_dib holder;
  EXPECT_EQ(holder.loaded(), 0);
  EXPECT_STREQ(holder.tag(), ".asd");
  EXPECT_EQ(holder.adopt(nullptr, nullptr), 0);
  dib_block* image = dib_create(4, 1, 6, 0);
  dib_block* mask = dib_create(4, 0, 6, 255);
  ASSERT_EQ(holder.adopt(image, mask), 1);
  EXPECT_EQ(holder.loaded(), 1);
  EXPECT_EQ(holder.width(), 6);
  EXPECT_EQ(holder.height(), 4);
  // Adopting what it holds frees nothing; a new image frees the old one.
  ASSERT_EQ(holder.adopt(image, mask, 3, 2), 1);
  EXPECT_EQ(holder.width(), 3);
  ASSERT_EQ(holder.adopt(dib_create(1, 1, 1, 0), mask), 1);
  EXPECT_EQ(holder.mask(), mask);
  holder.reset();
  EXPECT_EQ(holder.loaded(), 0);
  EXPECT_EQ(holder.image(), nullptr);
  ASSERT_EQ(holder.adopt(dib_create(2, 1, 2, 0), dib_create(2, 0, 2, 0)), 1);
  // The destructor frees the last pair (LeakCheck sees it after the test body).
}
}  // namespace
