#include "content/package.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "content/package_index.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/pack_writer.h"

namespace {

using bytes = std::vector<unsigned char>;

bytes of(const std::string& s) { return bytes(s.begin(), s.end()); }

pack_entry entry(const std::string& name, const std::string& data, int32_t kind = 0) {
  pack_entry e;
  e.name = name;
  e.kind = kind;
  e.data = of(data);
  return e;
}

void save(const std::string& path, const bytes& data) {
  FILE* f = std::fopen(os_native_path(path.c_str()).c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
  std::fclose(f);
}

bytes load(const std::string& path) {
  std::string s;
  EXPECT_EQ(os_read_file(path.c_str(), s), 1) << path;
  return bytes(s.begin(), s.end());
}

void put32(bytes& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; k++) b[at + k] = static_cast<unsigned char>(v >> (8 * k));
}

class Package : public LeakCheck {
 protected:
  TempDir dir;
  std::string brush_folder() const { return dir.file("brushes"); }  // package: <dir>/mp
  std::string brush_base() const { return dir.file("mp"); }

  std::string brush(const char* name) {
    uint32_t length = 0;
    unsigned char* data = find_brush(brush_folder().c_str(), name, &length);
    if (!data) {
      EXPECT_EQ(length, 0u);
      return "<none>";
    }
    EXPECT_EQ(data[length], 0);  // terminated, ready for the brush text parser
    std::string s(reinterpret_cast<char*>(data), length);
    mem_free(data);
    return s;
  }
};

TEST_F(Package, BrushLookupLowerCasesTheQuery) {
  std::string error;
  ASSERT_EQ(pack_write_brush(brush_base(),
                             {entry("pencil.myb", "version 2\nradius 1.5\n"),
                              entry("ink_wash.myb", "version 2\nopaque 0.4\n")},
                             &error),
            1)
      << error;
  // Names and data are stored scrambled.
  bytes idx = load(brush_base() + ".zzi");
  ASSERT_EQ(idx.size(), 14408u);
  EXPECT_EQ(idx[8], 'p' ^ kPackageKey);
  EXPECT_EQ(load(brush_base() + ".zzd")[0], 'v' ^ kPackageKey);

  EXPECT_EQ(brush("Pencil"), "version 2\nradius 1.5\n");
  EXPECT_EQ(brush("INK_WASH"), "version 2\nopaque 0.4\n");
  EXPECT_EQ(brush("pencil.myb"), "<none>");
  EXPECT_EQ(brush("pen"), "<none>");
  EXPECT_EQ(brush(""), "<none>");
  // The package sits beside the brush folder, whatever the separator.
  std::string slashed = dir.path() + "/brushes";
  uint32_t length = 0;
  unsigned char* data = find_brush(slashed.c_str(), "pencil", &length);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(length, 21u);
  mem_free(data);
  EXPECT_EQ(brush_package_base("Gpen\\brush\\soft"), "Gpen\\brush\\mp");
  EXPECT_EQ(brush_package_base("Gpen/brush/"), "Gpen/brush/mp");
  EXPECT_EQ(brush_package_base("C:soft"), "C:mp");
  EXPECT_EQ(brush_package_base("soft"), "mp");
}

TEST_F(Package, BrushIndexEdgeCases) {
  std::string error;
  ASSERT_EQ(pack_write_brush(brush_base(), {entry("a.myb", "AAA"), entry("b.myb", "BBB")}, &error),
            1);
  bytes idx = load(brush_base() + ".zzi");

  // An entry stored in upper case is never found: queries are lower-cased.
  bytes upper = idx;
  upper[8] = 'A' ^ kPackageKey;
  save(brush_base() + ".zzi", upper);
  EXPECT_EQ(brush("a"), "<none>");
  EXPECT_EQ(brush("A"), "<none>");
  EXPECT_EQ(brush("b"), "BBB");

  // Count 0 finds nothing (the caller then reads its loose file).
  bytes empty = idx;
  put32(empty, 4, 0);
  save(brush_base() + ".zzi", empty);
  EXPECT_EQ(brush("a"), "<none>");

  // A negative count counts as none; one beyond 200 is held to 200.
  put32(empty, 4, 0xFFFFFFFFu);
  save(brush_base() + ".zzi", empty);
  EXPECT_EQ(brush("a"), "<none>");
  bytes many = idx;
  put32(many, 4, 100000);
  save(brush_base() + ".zzi", many);
  EXPECT_EQ(brush("b"), "BBB");

  // A short index reads as padded with zeros.
  save(brush_base() + ".zzi", bytes(idx.begin(), idx.begin() + 8 + 72 + 40));
  EXPECT_EQ(brush("a"), "AAA");
  EXPECT_EQ(brush("b"), "<none>");

  // Wrong magic, or the pattern layout's magic, is not a brush package.
  bytes wrong = idx;
  wrong[0] = 0x05;
  wrong[1] = 0x26;
  save(brush_base() + ".zzi", wrong);
  EXPECT_EQ(brush("a"), "<none>");

  // Lengths and offsets must stay inside the data file: no allocation from them.
  bytes bad = idx;
  put32(bad, 8 + 64, 0x7FFFFFFF);        // a's length
  put32(bad, 8 + 72 + 68, 0xFFFFFFF0u);  // b's offset
  save(brush_base() + ".zzi", bad);
  long blocks = alloc_count();
  EXPECT_EQ(brush("a"), "<none>");
  EXPECT_EQ(brush("b"), "<none>");
  EXPECT_EQ(alloc_count(), blocks);
  put32(bad, 8 + 64, 0);  // zero length
  put32(bad, 8 + 72 + 64, 0xFFFFFFFFu);  // negative length
  save(brush_base() + ".zzi", bad);
  EXPECT_EQ(brush("a"), "<none>");
  EXPECT_EQ(brush("b"), "<none>");

  // A name without a terminator within its 64 bytes matches nothing.
  bytes unterminated = idx;
  std::memset(&unterminated[8], 'q' ^ kPackageKey, 64);
  save(brush_base() + ".zzi", unterminated);
  EXPECT_EQ(brush(std::string(60, 'q').c_str()), "<none>");
  EXPECT_EQ(brush("b"), "BBB");

  // No data file.
  save(brush_base() + ".zzi", idx);
  os_remove_file((brush_base() + ".zzd").c_str());
  EXPECT_EQ(brush("a"), "<none>");
}

TEST_F(Package, PatternEntriesRawAndBitmap) {
  dib_block* tip = dib_create(3, 0, 5, 0x80);
  ASSERT_NE(tip, nullptr);
  dib_pixel(tip, 4, 2)[0] = 7;
  bytes record;
  ASSERT_EQ(dib_write_stream(
                tip,
                [](void* ctx, const void* data, std::size_t size) {
                  auto* out = static_cast<bytes*>(ctx);
                  const auto* p = static_cast<const unsigned char*>(data);
                  out->insert(out->end(), p, p + size);
                  return 1;
                },
                &record),
            1);
  pack_entry bitmap;
  bitmap.name = "brush$12.bmp";
  bitmap.kind = 1;
  bitmap.data = record;
  std::string base = dir.file("pat");
  std::string error;
  ASSERT_EQ(pack_write_pattern(base,
                               {entry("tip$pre.bmp", "0123456789AB"), bitmap,
                                entry("junk.bmp", "not a record", 5),
                                entry("\xc6key.bmp", "key byte is fine here")},
                               &error),
            1)
      << error;

  package_item item;
  ASSERT_EQ(find_pattern("TIP$Pre.BMP", base.c_str(), &item), 1);
  ASSERT_NE(item.bytes, nullptr);
  EXPECT_EQ(item.dib, nullptr);
  ASSERT_EQ(item.length, 12u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(item.bytes), 12), "0123456789AB");
  EXPECT_EQ(item.bytes[12], 0);
  package_item_free(&item);
  EXPECT_EQ(item.bytes, nullptr);

  ASSERT_EQ(find_pattern("brush$12.bmp", base.c_str(), &item), 1);
  ASSERT_NE(item.dib, nullptr);
  EXPECT_EQ(item.bytes, nullptr);
  EXPECT_EQ(item.length, record.size());
  EXPECT_EQ(dib_width(item.dib), 5);
  EXPECT_EQ(dib_height(item.dib), 3);
  EXPECT_EQ(dib_pixel(item.dib, 4, 2)[0], 7);
  EXPECT_EQ(dib_pixel(item.dib, 0, 0)[0], 0x80);
  package_item_free(&item);

  EXPECT_EQ(find_pattern("\xc6KEY.bmp", base.c_str(), &item), 1);
  package_item_free(&item);
  EXPECT_EQ(find_pattern("junk.bmp", base.c_str(), &item), 0);  // unreadable record
  EXPECT_EQ(find_pattern("none.bmp", base.c_str(), &item), 0);
  EXPECT_EQ(find_pattern("tip$pre.bmp", dir.file("other").c_str(), &item), 0);
  EXPECT_EQ(item.dib, nullptr);
  EXPECT_EQ(item.bytes, nullptr);

  // A record cut short by its entry's length is refused.
  bytes idx = load(base + ".zzi");
  put32(idx, 8 + 76 + 68, uint32_t(record.size() - 1));
  save(base + ".zzi", idx);
  EXPECT_EQ(find_pattern("brush$12.bmp", base.c_str(), &item), 0);
  // The brush layout's magic is not a pattern package.
  idx[0] = 0x01;
  idx[1] = 0x27;
  save(base + ".zzi", idx);
  EXPECT_EQ(find_pattern("tip$pre.bmp", base.c_str(), &item), 0);
  dib_free(tip);
}

TEST_F(Package, WriterRefusesWhatCannotBeRead) {
  std::string base = brush_base(), error;
  ASSERT_EQ(pack_write_brush(base, {entry("keep.myb", "old")}, &error), 1);
  struct refusal {
    std::vector<pack_entry> entries;
    const char* why;
  };
  std::vector<pack_entry> too_many;
  for (int i = 0; i < 201; i++) too_many.push_back(entry("b" + std::to_string(i), "x"));
  const refusal cases[] = {
      {{entry("a\xc6.myb", "x")}, "cannot be scrambled"},
      {{entry("Pencil.myb", "x")}, "lower case"},
      {{entry(std::string(64, 'n'), "x")}, "too long"},
      {{entry("a.myb", "x"), entry("a.myb", "y")}, "duplicate"},
      {{entry("a.myb", "")}, "without data"},
      {{entry("", "x")}, "without a name"},
      {{entry("a.myb", "x", 1)}, "no kind"},
      {too_many, "too many"},
  };
  for (const refusal& c : cases) {
    error.clear();
    EXPECT_EQ(pack_write_brush(base, c.entries, &error), 0) << c.why;
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
  }
  // Nothing refused touched the package already there.
  EXPECT_EQ(brush("keep"), "old");
  // The limits themselves are accepted.
  too_many.pop_back();
  too_many.back().name = std::string(59, 'n') + ".myb";
  ASSERT_EQ(pack_write_brush(base, too_many, &error), 1) << error;
  EXPECT_EQ(brush(std::string(59, 'n').c_str()), "x");  // 59 + ".myb" = 63

  std::vector<pack_entry> patterns;
  for (int i = 0; i < 101; i++) patterns.push_back(entry("p" + std::to_string(i), "x"));
  EXPECT_EQ(pack_write_pattern(dir.file("pat"), patterns, &error), 0);
  patterns.pop_back();
  EXPECT_EQ(pack_write_pattern(dir.file("pat"), patterns, &error), 1) << error;
  EXPECT_EQ(load(dir.file("pat.zzi")).size(), 7608u);
}

TEST(PackageIndex, ParsesFieldsOfBothLayouts) {
  bytes block(7608, 0);
  block[0] = 0x05;
  block[1] = 0x26;
  put32(block, 4, 2);
  std::memcpy(&block[8], "one", 3);
  put32(block, 8 + 64, 3);
  put32(block, 8 + 68, 12);
  put32(block, 8 + 72, 1000);
  std::memcpy(&block[8 + 76], "two", 3);
  package_index index;
  ASSERT_EQ(package_parse_index(block.data(), block.size(), kPatternPackage, &index), 1);
  ASSERT_EQ(index.count, 2);
  EXPECT_STREQ(index.entries[0].name, "one");
  EXPECT_EQ(index.entries[0].kind, 3);
  EXPECT_EQ(index.entries[0].length, 12);
  EXPECT_EQ(index.entries[0].offset, 1000u);
  EXPECT_EQ(package_find(index, "two"), &index.entries[1]);
  EXPECT_EQ(package_find(index, "tw"), nullptr);
  EXPECT_EQ(package_parse_index(block.data(), block.size(), kBrushPackage, &index), 0);
  EXPECT_EQ(index.count, 0);
  EXPECT_EQ(package_parse_index(block.data(), 1, kPatternPackage, &index), 0);
  EXPECT_EQ(package_parse_index(nullptr, 0, kPatternPackage, &index), 0);
}

}  // namespace
