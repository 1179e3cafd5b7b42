// The tagged file form: all four read forms, the written form, and bad records.
#include "base/dib_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/os.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/lzari/lzari_encode.h"

namespace {
class DibStream : public LeakCheck {};

using bytes = std::vector<unsigned char>;

int to_vector(void* context, const void* data, std::size_t size) {
  auto* v = static_cast<bytes*>(context);
  const auto* p = static_cast<const unsigned char*>(data);
  v->insert(v->end(), p, p + size);
  return 1;
}

void put16(bytes& v, uint16_t x) {
  v.push_back(static_cast<unsigned char>(x));
  v.push_back(static_cast<unsigned char>(x >> 8));
}
void put32(bytes& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}
uint32_t get32(const bytes& v, std::size_t at) {
  uint32_t x;
  std::memcpy(&x, &v[at], 4);
  return x;
}
bytes block_bytes(const dib_block* b) {
  return bytes(dib_bytes(b), dib_bytes(b) + dib_total_size(b));
}

TEST_F(DibStream, WritesCompressedTagMinus4AndReadsItBack) {
  dib_block* b = dib_create(300, 1, 200, dib_colour(1, 2, 3));
  bytes out;
  ASSERT_EQ(dib_write_stream(b, to_vector, &out), 1);
  ASSERT_GE(out.size(), 10u);
  EXPECT_EQ(out[0], 0xFC);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(get32(out, 2), dib_total_size(b));
  EXPECT_LT(get32(out, 6), dib_total_size(b));
  EXPECT_EQ(out.size(), 10u + get32(out, 6));
  std::size_t used = 0;
  dib_block* r = dib_read_stream(out.data(), out.size(), &used);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(used, out.size());
  EXPECT_EQ(block_bytes(r), block_bytes(b));
  dib_free(r);
  dib_free(b);
}

TEST_F(DibStream, ARecordThatDoesNotShrinkIsStoredRaw) {
  dib_block* b = dib_create(64, 1, 64, 0);
  std::mt19937 rng(7);
  unsigned char* p = dib_pixels(b);
  for (uint32_t i = 0; i < dib_stride(b) * 64; ++i) p[i] = static_cast<unsigned char>(rng());
  bytes out;
  ASSERT_EQ(dib_write_stream(b, to_vector, &out), 1);
  EXPECT_EQ(get32(out, 6), get32(out, 2)) << "stored = uncompressed";
  EXPECT_EQ(std::memcmp(out.data() + 10, dib_bytes(b), dib_total_size(b)), 0);
  dib_block* r = dib_read_stream(out.data(), out.size(), nullptr);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(block_bytes(r), block_bytes(b));
  dib_free(r);
  dib_free(b);
}

TEST_F(DibStream, TagMinus4InflatingToAnotherSizeFails) {
  dib_block* b = numbered(16, 16);
  bytes raw = block_bytes(b);
  uLongf n = compressBound(raw.size());
  bytes z(n);
  ASSERT_EQ(compress(z.data(), &n, raw.data(), raw.size()), Z_OK);
  z.resize(n);
  for (int64_t delta : {-1, 1}) {
    bytes rec;
    put16(rec, 0xFFFC);
    put32(rec, static_cast<uint32_t>(raw.size() + delta));
    put32(rec, static_cast<uint32_t>(z.size()));
    rec.insert(rec.end(), z.begin(), z.end());
    EXPECT_EQ(dib_read_stream(rec.data(), rec.size(), nullptr), nullptr) << delta;
  }
  // A size no zlib stream of the stored size can reach is refused outright.
  bytes rec;
  put16(rec, 0xFFFC);
  put32(rec, 200u << 20);
  put32(rec, 16);
  rec.resize(rec.size() + 16, 0);
  EXPECT_EQ(dib_read_stream(rec.data(), rec.size(), nullptr), nullptr);
  dib_free(b);
}

TEST_F(DibStream, RawAndLzariForms) {
  dib_block* b = numbered(7, 5);
  bytes raw = block_bytes(b);
  bytes rec;
  put16(rec, 0xFFFE);
  put32(rec, static_cast<uint32_t>(raw.size()));
  rec.insert(rec.end(), raw.begin(), raw.end());
  rec.push_back(0xAA);  // the next record's first byte
  std::size_t used = 0;
  dib_block* r = dib_read_stream(rec.data(), rec.size(), &used);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(used, rec.size() - 1);
  EXPECT_EQ(block_bytes(r), raw);
  dib_free(r);

  bytes packed;
  ASSERT_EQ(lzari_encode(raw.data(), static_cast<uint32_t>(raw.size()), packed), 1);
  rec.clear();
  put16(rec, 0xFFFD);
  put32(rec, static_cast<uint32_t>(packed.size()));
  rec.insert(rec.end(), packed.begin(), packed.end());
  r = dib_read_stream(rec.data(), rec.size(), &used);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(used, rec.size());
  EXPECT_EQ(block_bytes(r), raw);
  dib_free(r);
  // LZARI text that is not a whole block.
  packed.clear();
  ASSERT_EQ(lzari_encode(raw.data(), static_cast<uint32_t>(raw.size() - 3), packed), 1);
  rec.resize(2);
  put32(rec, static_cast<uint32_t>(packed.size()));
  rec.insert(rec.end(), packed.begin(), packed.end());
  EXPECT_EQ(dib_read_stream(rec.data(), rec.size(), nullptr), nullptr);
  dib_free(b);
}

bytes runs_record(uint32_t kind, int32_t w, int32_t h) {
  bytes rec;
  put16(rec, 0xFFFF);
  put32(rec, kind);
  put32(rec, static_cast<uint32_t>(w));
  put32(rec, static_cast<uint32_t>(h));
  return rec;
}

TEST_F(DibStream, RunsForm) {
  bytes rec = runs_record(0, 6, 3);
  put16(rec, 0), put16(rec, 1), put16(rec, 4), rec.push_back(200);  // top row, x 1..4
  put16(rec, 2), put16(rec, 5), put16(rec, 1), rec.push_back(9);
  put16(rec, 0xFFFF), put32(rec, 2);
  dib_block* r = dib_read_stream(rec.data(), rec.size(), nullptr);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(dib_bits(r), 8);
  EXPECT_EQ(px(r, 0, 0), 0u);
  EXPECT_EQ(px(r, 1, 0), 200u);
  EXPECT_EQ(px(r, 4, 0), 200u);
  EXPECT_EQ(px(r, 5, 0), 0u);
  EXPECT_EQ(px(r, 5, 2), 9u);
  dib_free(r);

  rec = runs_record(1, 2, 2);
  put16(rec, 1), put16(rec, 0), put16(rec, 2), rec.push_back(3), rec.push_back(2), rec.push_back(1);
  put16(rec, 0xFFFF), put32(rec, 1);
  r = dib_read_stream(rec.data(), rec.size(), nullptr);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(dib_bits(r), 24);
  EXPECT_EQ(px(r, 1, 1), dib_colour(1, 2, 3));
  EXPECT_EQ(px(r, 0, 0), 0u);
  dib_free(r);
}

TEST_F(DibStream, BadRunsFail) {
  auto with_run = [](int32_t w, int32_t h, uint16_t row, uint16_t col, uint16_t len,
                     uint32_t count) {
    bytes rec = runs_record(0, w, h);
    put16(rec, row), put16(rec, col), put16(rec, len), rec.push_back(1);
    put16(rec, 0xFFFF), put32(rec, count);
    return rec;
  };
  const bytes bad[] = {
      with_run(4, 4, 0, 0, 4, 2),                                         // count differs
      with_run(4, 4, 0, 1, 4, 1),                                         // past the right edge
      with_run(4, 4, 4, 0, 1, 1),                                         // below the last row
      with_run(0, 4, 0, 0, 0, 1),                                         // zero width
      with_run(4, -2, 0, 0, 0, 1), with_run(100000, 100000, 0, 0, 1, 1),  // beyond the size cap
  };
  for (const bytes& rec : bad) EXPECT_EQ(dib_read_stream(rec.data(), rec.size(), nullptr), nullptr);
  bytes no_marker = runs_record(0, 4, 4);
  put16(no_marker, 0), put16(no_marker, 0), put16(no_marker, 1), no_marker.push_back(1);
  EXPECT_EQ(dib_read_stream(no_marker.data(), no_marker.size(), nullptr), nullptr);
}

TEST_F(DibStream, EveryTruncationAndUnknownTagsFail) {
  dib_block* b = numbered(9, 4);
  bytes out;
  ASSERT_EQ(dib_write_stream(b, to_vector, &out), 1);
  for (std::size_t n = 0; n < out.size(); ++n)
    ASSERT_EQ(dib_read_stream(out.data(), n, nullptr), nullptr) << n;
  for (uint16_t tag : {0x0000, 0xFFFB, 0x0001, 0x8000}) {
    bytes copy = out;
    copy[0] = static_cast<unsigned char>(tag), copy[1] = static_cast<unsigned char>(tag >> 8);
    EXPECT_EQ(dib_read_stream(copy.data(), copy.size(), nullptr), nullptr);
  }
  // A stored block whose own header disagrees with its length.
  bytes raw = block_bytes(b);
  raw[4] = 10;  // width 10: a larger total size
  bytes rec;
  put16(rec, 0xFFFE);
  put32(rec, static_cast<uint32_t>(raw.size()));
  rec.insert(rec.end(), raw.begin(), raw.end());
  EXPECT_EQ(dib_read_stream(rec.data(), rec.size(), nullptr), nullptr);
  dib_free(b);
}

TEST_F(DibStream, WritesThroughASafeFile) {
  TempDir dir;
  const std::string path = dir.file("layer.bin");
  dib_block* b = dib_create(10, 0, 10, 77);
  {
    os_safe_file f(path.c_str());
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(dib_write_stream(b, f), 1);
    ASSERT_EQ(dib_write_stream(b, f), 1);
    ASSERT_EQ(f.commit(), 1);
  }
  std::string text;
  ASSERT_EQ(os_read_file(path.c_str(), text), 1);
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t used = 0;
  dib_block* first = dib_read_stream(data, text.size(), &used);
  ASSERT_NE(first, nullptr);
  dib_block* second = dib_read_stream(data + used, text.size() - used, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(same_pixels(first, b));
  EXPECT_TRUE(same_pixels(second, b));
  dib_free(second);
  dib_free(first);
  dib_free(b);
}
}  // namespace
