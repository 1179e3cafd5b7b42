// The dictionary picture writer of the build tools, read back field by field.
#include "tools/asd/asd_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {

uint32_t get32(const std::string& s, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

bool same_block(const dib_block* a, const dib_block* b) {
  return dib_total_size(a) == dib_total_size(b) &&
         std::memcmp(dib_bytes(a), dib_bytes(b), size_t(dib_total_size(a))) == 0;
}

class AsdWriter : public LeakCheck {
 protected:
  TempDir dir;
};

TEST_F(AsdWriter, WritesHeaderAndRecordsInBothForms) {
  dib_block* picture = dib_create(9, 1, 14, 0x204060);
  dib_block* mask = dib_create(9, 0, 14, 0);
  ASSERT_TRUE(picture && mask);
  for (int x = 0; x < 14; x++) dib_pixel(mask, x, x % 9)[0] = 255;
  for (asd_records form : {asd_records::zlib, asd_records::lzari}) {
    std::string path = dir.file("glyph.ASD"), error;
    ASSERT_EQ(asd_write(path.c_str(), picture, mask, form, &error), 1) << error;
    std::string s;
    ASSERT_EQ(os_read_file(path.c_str(), s), 1);
    ASSERT_GT(s.size(), 20u);
    EXPECT_EQ(s.substr(0, 4), ".asd");
    EXPECT_EQ(get32(s, 4), 1u);
    EXPECT_EQ(get32(s, 8), 14u);
    EXPECT_EQ(get32(s, 12), 9u);
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    int16_t tag = int16_t(p[16] | p[17] << 8);
    EXPECT_EQ(tag, form == asd_records::lzari ? kDibStreamLzari : kDibStreamZlib);
    std::size_t used = 0;
    dib_block* back = dib_read_stream(p + 16, s.size() - 16, &used);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(same_block(back, picture));
    dib_free(back);
    std::size_t at = 16 + used;
    ASSERT_LE(at + 4, s.size());
    EXPECT_EQ(get32(s, at), 1u);
    back = dib_read_stream(p + at + 4, s.size() - at - 4, &used);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(same_block(back, mask));
    EXPECT_EQ(at + 4 + used, s.size());
    dib_free(back);
  }
  dib_free(picture);
  dib_free(mask);
}

TEST_F(AsdWriter, NoCompanionAndRefusals) {
  dib_block* picture = dib_create(2, 1, 3, 0xFFFFFF);
  std::string path = dir.file("a.asd"), error;
  ASSERT_EQ(asd_write(path.c_str(), picture, nullptr, asd_records::zlib, &error), 1) << error;
  std::string s;
  ASSERT_EQ(os_read_file(path.c_str(), s), 1);
  std::size_t used = 0;
  dib_block* back = dib_read_stream(reinterpret_cast<const unsigned char*>(s.data()) + 16,
                                    s.size() - 16, &used);
  ASSERT_NE(back, nullptr);
  dib_free(back);
  ASSERT_EQ(s.size(), 16 + used + 4);
  EXPECT_EQ(get32(s, 16 + used), 0u);

  EXPECT_EQ(asd_write(dir.file("a.bmp").c_str(), picture, nullptr, asd_records::zlib, &error), 0);
  EXPECT_EQ(asd_write(path.c_str(), nullptr, nullptr, asd_records::zlib, &error), 0);
  std::string again;
  ASSERT_EQ(os_read_file(path.c_str(), again), 1);
  EXPECT_EQ(again, s);  // a refused write leaves the file as it was
  dib_free(picture);
}

}  // namespace
