// The ".zws" file: round trips across row padding, the reader's rules on odd
// and hostile files, and saves that never destroy the previous file.
#include "doc/zws.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/alloc.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
class Zws : public LeakCheck {};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void put_i32(std::string& s, std::size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
}
int sink_to_string(void* context, const void* data, std::size_t size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
  return 1;
}
std::string bytes_of(const zun_file& f) {
  std::string s;
  EXPECT_TRUE(write_document_to(*f.data, sink_to_string, &s));
  return s;
}
int read_bytes(zun_file& f, const std::string& s) {
  return read_document_bytes(*f.data, reinterpret_cast<const unsigned char*>(s.data()), s.size());
}
bool same_block(const dib_block* a, const dib_block* b) {
  return a && b && dib_total_size(a) == dib_total_size(b) &&
         std::memcmp(dib_bytes(a), dib_bytes(b), dib_total_size(a)) == 0;
}
std::unique_ptr<zun_file> empty_controller() {
  auto f = std::make_unique<zun_file>();
  EXPECT_TRUE(f->zun_file_init(4));
  f->canvas->view_setup(0, 0, 800, 600);
  return f;
}

// A document whose every part carries distinct pixels.
std::unique_ptr<zun_file> painted(int32_t w, int32_t h) {
  auto f = make_document(w, h);
  paint_surface* s = f->surface();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((x + y) % 3) surface_paint_pixel(s, x, y, tag_of(x, y), ((x + y) % 5) / 4.0f);
  fill_tagged(f->data->current_background()->image);
  auto* p = static_cast<placed_picture*>(mem_calloc(sizeof(placed_picture)));
  p->kind = 1, p->x = -1, p->y = 2, p->width = 3, p->height = 2, p->opacity = 0.75f;
  p->image = dib_create(2, 1, 3, 0x334455);
  p->mask = dib_create(2, 0, 3, 200);
  f->data->current_sheet()->pictures = p;
  return f;
}
}  // namespace

TEST_F(Zws, RoundTripAcrossRowPadding) {
  TempDir dir;
  for (int32_t w : {1, 10, 513, 1016}) {
    auto f = painted(w, 7);
    const std::string path = dir.file("a.zws");
    ASSERT_TRUE(write_document(*f->data, path.c_str())) << w;
    auto g = empty_controller();
    ASSERT_TRUE(read_document(*g->data, path.c_str())) << w;
    const zun_file_data& a = *f->data;
    const zun_file_data& b = *g->data;
    EXPECT_EQ(b.width, w);
    EXPECT_EQ(b.height, 7);
    EXPECT_EQ(b.sheet_count, 1);
    EXPECT_EQ(b.current_index, 0);
    EXPECT_EQ(g->canvas->width, w);  // the view was told the size
    const paint_surface* sa = a.sheets->surface;
    const paint_surface* sb = b.sheets->surface;
    EXPECT_EQ(sb->kind, 1);
    EXPECT_TRUE(same_block(sa->colour, sb->colour)) << w;
    EXPECT_TRUE(same_block(sa->coverage, sb->coverage)) << w;
    EXPECT_EQ(std::memcmp(&sa->changed, &sb->changed, sizeof(dib_rect)), 0);
    // The surface's caches point into its own blocks.
    EXPECT_EQ(sb->colour_bits, dib_pixels(sb->colour));
    EXPECT_EQ(sb->coverage_stride, dib_stride(sb->coverage));
    EXPECT_TRUE(same_block(a.sheets->background->image, b.sheets->background->image));
    EXPECT_TRUE(same_block(a.sheets->background->checkerboard, b.sheets->background->checkerboard));
    const placed_picture* pa = a.sheets->pictures;
    const placed_picture* pb = b.sheets->pictures;
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pb->next, nullptr);
    EXPECT_EQ(pb->kind, 1);
    EXPECT_EQ(pb->x, -1);
    EXPECT_EQ(pb->y, 2);
    EXPECT_EQ(pb->opacity, 0.75f);
    EXPECT_TRUE(same_block(pa->image, pb->image));
    EXPECT_TRUE(same_block(pa->mask, pb->mask));
    // Writing what was read gives the same file.
    EXPECT_EQ(bytes_of(*f), bytes_of(*g)) << w;
  }
}

TEST_F(Zws, HeaderRules) {
  auto f = painted(12, 9);
  const std::string good = bytes_of(*f);
  auto g = empty_controller();
  ASSERT_TRUE(read_bytes(*g, good));

  std::string capitals = good;
  capitals.replace(0, 4, ".ZWS");
  EXPECT_TRUE(read_bytes(*g, capitals));
  std::string wrong = good;
  wrong.replace(0, 4, ".zwm");
  EXPECT_FALSE(read_bytes(*g, wrong));
  EXPECT_EQ(g->data->sheet_count, 0);

  std::string version2 = good;
  put_i32(version2, 4, 2);
  EXPECT_FALSE(read_bytes(*g, version2));

  std::string no_sheets = good;
  put_i32(no_sheets, 20, 0);
  EXPECT_FALSE(read_bytes(*g, no_sheets));
  EXPECT_EQ(g->data->sheet_count, 0);
  EXPECT_EQ(g->surface(), nullptr);

  for (int32_t stored : {7, -2}) {
    std::string index = good;
    put_i32(index, 16, stored);
    ASSERT_TRUE(read_bytes(*g, index));
    EXPECT_EQ(g->data->current_index, 0) << stored;
  }
}

TEST_F(Zws, HiddenBackgroundOpensShown) {
  auto f = painted(12, 9);
  ASSERT_TRUE(f->data->doc_toggle_background());
  auto g = empty_controller();
  ASSERT_TRUE(read_bytes(*g, bytes_of(*f)));
  EXPECT_EQ(g->data->current_background()->shown, 1);
  EXPECT_EQ(g->data->current_background()->reduced, nullptr);
}

TEST_F(Zws, IncompressibleBlockIsStoredRaw) {
  auto f = make_document(64, 16);
  dib_block* c = f->surface()->colour;
  uint32_t seed = 12345;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) {
      seed = seed * 1103515245u + 12345u;
      set_px(c, x, y, seed >> 8);
    }
  const std::string s = bytes_of(*f);
  // Header 24 bytes, surface kind and size 10, then the colour record.
  auto u32_at = [&s](std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
  };
  EXPECT_EQ(static_cast<unsigned char>(s[34]), 0xFC);  // tag -4
  EXPECT_EQ(u32_at(36), dib_total_size(c));
  EXPECT_EQ(u32_at(40), dib_total_size(c));  // stored size = size: not compressed
  auto g = empty_controller();
  ASSERT_TRUE(read_bytes(*g, s));
  EXPECT_TRUE(same_block(c, g->surface()->colour));
}

TEST_F(Zws, BitmapsThatDisagreeWithTheDocumentAreRefused) {
  auto g = empty_controller();
  {
    // A surface colour block of another size than the document.
    auto f = make_document(20, 10);
    paint_surface* s = f->surface();
    dib_block* right = s->colour;
    s->colour = dib_create(10, 1, 19, 0);
    const std::string bytes = bytes_of(*f);
    dib_free(s->colour);
    s->colour = right;
    EXPECT_FALSE(read_bytes(*g, bytes));
  }
  {
    // A background image of another depth.
    auto f = make_document(20, 10);
    sheet_background* b = f->data->current_background();
    dib_block* right = b->image;
    b->image = dib_create(10, 0, 20, 0);
    const std::string bytes = bytes_of(*f);
    dib_free(b->image);
    b->image = right;
    EXPECT_FALSE(read_bytes(*g, bytes));
  }
  {
    // A picture whose mask is smaller than the picture: the sheet opens
    // without pictures.
    auto f = painted(20, 10);
    placed_picture* p = f->data->current_pictures();
    dib_free(p->mask);
    p->mask = dib_create(1, 0, 3, 255);
    ASSERT_TRUE(read_bytes(*g, bytes_of(*f)));
    EXPECT_EQ(g->data->picture_count(), 0);
  }
  {
    // The header's size differs from the records'.
    auto f = make_document(20, 10);
    std::string bytes = bytes_of(*f);
    put_i32(bytes, 8, 21);
    EXPECT_FALSE(read_bytes(*g, bytes));
    // Beyond any document size.
    put_i32(bytes, 8, 1 << 20);
    EXPECT_FALSE(read_bytes(*g, bytes));
    put_i32(bytes, 8, -20);
    EXPECT_FALSE(read_bytes(*g, bytes));
  }
}

TEST_F(Zws, CountsAreBoundByTheFile) {
  auto f = painted(20, 10);
  std::string bytes = bytes_of(*f);
  auto g = empty_controller();
  put_i32(bytes, 20, 0x7FFFFFFF);
  EXPECT_FALSE(read_bytes(*g, bytes));
  const long blocks = alloc_count();  // the view's back buffer now exists
  EXPECT_FALSE(read_bytes(*g, bytes));
  put_i32(bytes, 20, 2);  // a second sheet that is not there
  EXPECT_FALSE(read_bytes(*g, bytes));
  EXPECT_EQ(alloc_count(), blocks);
  // A picture count far beyond the bytes: the sheet opens without pictures.
  const std::string good = bytes_of(*f);
  std::size_t at = std::string::npos;
  for (std::size_t i = 24; i + 8 <= good.size(); ++i) {
    // The picture record: count 1, x -1, y 2.
    if (good.compare(i, 12, std::string("\x01\0\0\0\xff\xff\xff\xff\x02\0\0\0", 12)) == 0) at = i;
  }
  ASSERT_NE(at, std::string::npos);
  std::string many = good;
  put_i32(many, at, 1000000);
  ASSERT_TRUE(read_bytes(*g, many));
  EXPECT_EQ(g->data->picture_count(), 0);
}

TEST_F(Zws, TruncatedFilesFailCleanly) {
  auto f = painted(10, 6);
  const std::string good = bytes_of(*f);
  auto g = empty_controller();
  for (std::size_t n = 0; n < good.size(); n += (n < 64 ? 1 : 7)) {
    const int ok = read_bytes(*g, good.substr(0, n));
    // Only a cut inside the last picture list still opens (without pictures).
    if (ok) {
      EXPECT_EQ(g->data->picture_count(), 0) << n;
    } else {
      EXPECT_EQ(g->data->sheet_count, 0) << n;
    }
  }
  EXPECT_TRUE(read_bytes(*g, good));
  EXPECT_EQ(g->data->picture_count(), 1);
}

TEST_F(Zws, PathsMustNameDocuments) {
  TempDir dir;
  auto f = painted(10, 6);
  EXPECT_FALSE(write_document(*f->data, dir.file("a.png").c_str()));
  EXPECT_FALSE(fs::exists(dir.file("a.png")));
  EXPECT_TRUE(write_document(*f->data, dir.file("b.ZWS").c_str()));
  EXPECT_FALSE(read_document(*f->data, dir.file("b.png").c_str()));
  EXPECT_FALSE(read_document(*f->data, dir.file("missing.zws").c_str()));
  // Nothing to save without sheets.
  auto g = empty_controller();
  EXPECT_FALSE(write_document(*g->data, dir.file("c.zws").c_str()));
  EXPECT_FALSE(fs::exists(dir.file("c.zws")));
}

TEST_F(Zws, FailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = dir.file("keep.zws");
  auto old_doc = painted(40, 30);
  ASSERT_TRUE(write_document(*old_doc->data, path.c_str()));
  const std::string before = slurp(path);

  auto f = painted(300, 200);
  const std::size_t total = bytes_of(*f).size();
  for (uint64_t limit : {uint64_t{0}, uint64_t{3}, uint64_t{24}, uint64_t{100}, uint64_t{total / 2},
                         uint64_t{total - 1}}) {
    EXPECT_FALSE(write_document_limited(*f->data, path.c_str(), limit)) << limit;
    EXPECT_EQ(slurp(path), before) << limit;
    // No temporary file is left beside it.
    int files = 0;
    for (auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1) << limit;
  }
  // Into a folder that does not exist, or onto a folder: refused, nothing made.
  EXPECT_FALSE(write_document(*f->data, dir.file("none/x.zws").c_str()));
  fs::create_directory(dir.file("folder.zws"));
  EXPECT_FALSE(write_document(*f->data, dir.file("folder.zws").c_str()));
  EXPECT_TRUE(fs::is_directory(dir.file("folder.zws")));
  EXPECT_EQ(slurp(path), before);

  // A read-only document is saved over, as asked.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
  ASSERT_TRUE(write_document(*f->data, path.c_str()));
  EXPECT_EQ(slurp(path).size(), total);
  auto g = empty_controller();
  ASSERT_TRUE(read_document(*g->data, path.c_str()));
  EXPECT_EQ(g->data->width, 300);
}
