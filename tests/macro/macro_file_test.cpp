// The ".zwm" file: exact size and bytes, what loads and what is refused, and
// saves that never destroy the previous file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "macro/macro_data.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
void put_i32(std::string& s, std::size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = char(uint32_t(v) >> (8 * i));
}
int32_t get_i32(const std::string& s, std::size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(s[at + i])) << (8 * i);
  return int32_t(v);
}

class MacroFile : public RecordingMacro {
 protected:
  // n records: strokes of a down, moves and an up, plus a text record and a
  // record of an unknown kind placed by hand.
  void fill(int n) {
    const int32_t start = macro->count();
    for (int i = 0; i < n; ++i) {
      macro_event e;
      e.phase = i % 5 == 0 ? kMacroDown : i % 5 == 4 ? kMacroUp : kMacroMove;
      e.x = i, e.y = 2 * i;
      e.pressure = 0.01f * float(i % 100);
      e.pen_id = i % 58;
      e.colour = 0x00010203u * uint32_t(i);
      ASSERT_TRUE(i % 7 == 3 ? macro->record_rub_event(e) : macro->record_pen_event(e));
    }
    ASSERT_EQ(macro->count(), start + n);
  }
  void put_text_record(int32_t at) {
    macro_record& r = macro->records->items[at];
    std::memset(&r, 0, sizeof r);
    r.record_kind = kMacroKindText;
    std::strcpy(r.text.text, "text");
    std::strcpy(r.text.face_name, "Face");
    r.text.bold = 1;
    macro->records->items[at + 1].record_kind = 77;
    macro->records->items[at + 1].reserved0 = 0xBEEF;
  }
  // A file that passes every check, for the bad-file cases to spoil.
  std::string good_file(int n) {
    TempDir d;
    fill(n);
    EXPECT_TRUE(macro->save_macro(d.file("g.zwm").c_str()));
    return slurp(d.file("g.zwm"));
  }
  void expect_empty_unnamed() {
    EXPECT_EQ(macro->count(), 0);
    EXPECT_EQ(macro->position, 0);
    EXPECT_STREQ(macro->path, "");
  }
};
}  // namespace

TEST_F(MacroFile, SavedMacroHasExactSizeAndReloadsIdentical) {
  TempDir dir;
  fill(40);
  put_text_record(10);
  macro->seek(3);
  const std::string path = dir.file("m.zwm");
  ASSERT_TRUE(macro->save_macro(path.c_str()));
  EXPECT_STREQ(macro->path, path.c_str());
  const std::string bytes = slurp(path);
  ASSERT_EQ(bytes.size(), 16u + 168u * 40);
  EXPECT_EQ(bytes.substr(0, 4), ".zwm");
  EXPECT_EQ(get_i32(bytes, 4), 1);
  EXPECT_EQ(get_i32(bytes, 8), 3);
  EXPECT_EQ(get_i32(bytes, 12), 40);
  EXPECT_EQ(uint8_t(bytes[16 + 168 * 10]), kMacroKindText);

  std::string before(reinterpret_cast<const char*>(macro->records->items), 168 * 40);
  zun_macro_data other;
  ASSERT_TRUE(other.init());
  ASSERT_TRUE(other.load_macro(path.c_str()));
  EXPECT_EQ(other.count(), 40);
  EXPECT_EQ(other.position, 0);  // whatever the file stored
  EXPECT_STREQ(other.path, path.c_str());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(other.records->items), 168 * 40), before);
  // Saved again from position 0: the same file but for the stored position.
  const std::string again = dir.file("again.zwm");
  ASSERT_TRUE(other.save_macro(again.c_str()));
  std::string expected = bytes;
  put_i32(expected, 8, 0);
  EXPECT_EQ(slurp(again), expected);
}

TEST_F(MacroFile, SaveRefusesOtherEndings) {
  TempDir dir;
  fill(3);
  EXPECT_FALSE(macro->save_macro(dir.file("m.txt").c_str()));
  EXPECT_FALSE(macro->save_macro(nullptr));
  EXPECT_FALSE(fs::exists(dir.file("m.txt")));
  EXPECT_EQ(macro->count(), 3);
  EXPECT_STREQ(macro->path, "");
  // A name in capitals is fine.
  EXPECT_TRUE(macro->save_macro(dir.file("M.ZWM").c_str()));
}

TEST_F(MacroFile, CapitalMagicLoads) {
  TempDir dir;
  std::string bytes = good_file(6);
  std::memcpy(&bytes[0], ".ZwM", 4);
  spit(dir.file("c.zwm"), bytes);
  ASSERT_TRUE(macro->load_macro(dir.file("c.zwm").c_str()));
  EXPECT_EQ(macro->count(), 6);
  // Bytes after the records are not part of the macro.
  spit(dir.file("t.zwm"), bytes + "tail");
  EXPECT_TRUE(macro->load_macro(dir.file("t.zwm").c_str()));
  EXPECT_EQ(macro->count(), 6);
}

// Every refusal leaves the macro empty and unnamed, whatever it held.
TEST_F(MacroFile, BadFilesAreRefusedAndLeaveTheMacroEmpty) {
  TempDir dir;
  const std::string good = good_file(5);
  struct bad {
    const char* why;
    std::string bytes;
  };
  std::string v2 = good, zero = good, negative = good, huge = good, magic = good;
  put_i32(v2, 4, 2);
  put_i32(zero, 12, 0);
  put_i32(negative, 12, -5);
  put_i32(huge, 12, 0x7FFFFFFF);
  magic[2] = '\0';
  const bad cases[] = {
      {"version 2", v2},
      {"count 0", zero},
      {"negative count", negative},
      {"count beyond the file", huge},
      {"wrong magic", magic},
      {"record area one byte short", good.substr(0, good.size() - 1)},
      {"one record short", good.substr(0, good.size() - 168)},
      {"header only", good.substr(0, 16)},
      {"short header", good.substr(0, 14)},
      {"magic only", good.substr(0, 4)},
      {"empty", ""},
  };
  for (const bad& b : cases) {
    fill(2);
    macro->set_path("old.zwm");
    spit(dir.file("bad.zwm"), b.bytes);
    EXPECT_FALSE(macro->load_macro(dir.file("bad.zwm").c_str())) << b.why;
    expect_empty_unnamed();
  }
  // An empty macro saves (count 0) but such a file does not load.
  ASSERT_TRUE(macro->save_macro(dir.file("empty.zwm").c_str()));
  EXPECT_EQ(slurp(dir.file("empty.zwm")).size(), 16u);
  EXPECT_FALSE(macro->load_macro(dir.file("empty.zwm").c_str()));
  expect_empty_unnamed();

  spit(dir.file("good.txt"), good);
  for (const std::string& p : {dir.file("good.txt"), dir.file("missing.zwm"), std::string()}) {
    fill(1);
    EXPECT_FALSE(macro->load_macro(p.c_str())) << p;
    expect_empty_unnamed();
  }
  fs::create_directory(dir.file("folder.zwm"));
  EXPECT_FALSE(macro->load_macro(dir.file("folder.zwm").c_str()));
  EXPECT_FALSE(macro->load_macro(nullptr));
  expect_empty_unnamed();
  // The macro still works after all of that.
  spit(dir.file("ok.zwm"), good);
  EXPECT_TRUE(macro->load_macro(dir.file("ok.zwm").c_str()));
  EXPECT_EQ(macro->count(), 5);
}

TEST_F(MacroFile, FailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = dir.file("keep.zwm");
  fill(4);
  ASSERT_TRUE(macro->save_macro(path.c_str()));
  const std::string before = slurp(path);
  macro->set_path("");

  fill(30);
  const uint64_t total = 16 + 168 * 34;
  for (uint64_t limit : {uint64_t{0}, uint64_t{3}, uint64_t{16}, uint64_t{16 + 168},
                         uint64_t{total / 2}, total - 1}) {
    EXPECT_FALSE(macro->save_macro_limited(path.c_str(), limit)) << limit;
    EXPECT_EQ(slurp(path), before) << limit;
    int files = 0;
    for (auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1) << "no temporary file is left, limit " << limit;
    EXPECT_STREQ(macro->path, "") << "a failed save does not name the macro";
  }
  EXPECT_EQ(macro->count(), 34);
  EXPECT_FALSE(macro->save_macro(dir.file("none/x.zwm").c_str()));
  fs::create_directory(dir.file("folder.zwm"));
  EXPECT_FALSE(macro->save_macro(dir.file("folder.zwm").c_str()));
  EXPECT_TRUE(fs::is_directory(dir.file("folder.zwm")));
  EXPECT_EQ(slurp(path), before);

  // A read-only macro is saved over, as asked; the full limit succeeds.
  fs::permissions(path, fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_TRUE(macro->save_macro_limited(path.c_str(), total));
  EXPECT_EQ(slurp(path).size(), total);
}
