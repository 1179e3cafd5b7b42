// Dictionary picture files: the header, both record forms, the companion
// flag, and the refusals, which must leave the holder empty and leak nothing.
#include "content/asd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/dib_self.h"
#include "base/dib_stream.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/asd/asd_writer.h"
#include "tools/lzari/lzari_record.h"

namespace {

using bytes = std::vector<unsigned char>;

void put32(bytes& out, uint32_t v) {
  for (int k = 0; k < 4; k++) out.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

void put_record(bytes& out, const dib_block* b, bool lzari = false) {
  if (lzari) {
    ASSERT_EQ(lzari_write_record(b, out), 1);
    return;
  }
  ASSERT_EQ(dib_write_stream(
                b,
                [](void* ctx, const void* data, std::size_t size) {
                  auto* v = static_cast<bytes*>(ctx);
                  const auto* p = static_cast<const unsigned char*>(data);
                  v->insert(v->end(), p, p + size);
                  return 1;
                },
                &out),
            1);
}

bytes header(const char* magic, uint32_t version, int32_t w, int32_t h) {
  bytes out(magic, magic + 4);
  put32(out, version);
  put32(out, uint32_t(w));
  put32(out, uint32_t(h));
  return out;
}

void save(const std::string& path, const bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  if (!b.empty()) {
    ASSERT_EQ(std::fwrite(b.data(), 1, b.size(), f), b.size());
  }
  std::fclose(f);
}

bool same_block(const dib_block* a, const dib_block* b) {
  return a && b && dib_total_size(a) == dib_total_size(b) &&
         std::memcmp(dib_bytes(a), dib_bytes(b), size_t(dib_total_size(a))) == 0;
}

bool empty(const app_self_dib& d) {
  return !d.loaded() && !d.image() && !d.mask() && d.width() == 0 && d.height() == 0;
}

class Asd : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    picture = numbered(14, 9);
    mask = dib_create(9, 0, 14, 0);
    ASSERT_TRUE(picture && mask);
    for (int x = 0; x < 14; x++) set_px(mask, x, x % 9, 200);
  }
  void TearDown() override {
    dib_free(picture);
    dib_free(mask);
    LeakCheck::TearDown();
  }
  // A holder already filled, so that a failed load must empty it.
  void fill(app_self_dib& d) { ASSERT_EQ(d.adopt(dib_clone(picture), dib_clone(mask)), 1); }

  TempDir dir;
  dib_block* picture = nullptr;
  dib_block* mask = nullptr;
};

TEST_F(Asd, WriterFilesLoadWithAndWithoutCompanionInBothRecordForms) {
  for (asd_records form : {asd_records::zlib, asd_records::lzari}) {
    for (bool with : {true, false}) {
      const std::string path = dir.file(with ? "with.asd" : "without.asd");
      std::string error;
      ASSERT_EQ(asd_write(path.c_str(), picture, with ? mask : nullptr, form, &error), 1) << error;
      app_self_dib d;
      ASSERT_EQ(load_asd(d, path.c_str()), 1);
      EXPECT_EQ(d.loaded(), 1);
      EXPECT_EQ(d.width(), 14);
      EXPECT_EQ(d.height(), 9);
      EXPECT_TRUE(same_block(d.image(), picture));
      if (with)
        EXPECT_TRUE(same_block(d.mask(), mask));
      else
        EXPECT_EQ(d.mask(), nullptr);
    }
  }
}

TEST_F(Asd, LzariRecordsAreDecoded) {
  // Records of both forms in one file, the picture in LZARI.
  bytes b = header(".asd", 1, 14, 9);
  put_record(b, picture, true);
  ASSERT_EQ(int16_t(b[16] | b[17] << 8), kDibStreamLzari);
  put32(b, 1);
  put_record(b, mask, true);
  dict_blocks out;
  ASSERT_EQ(asd_decode(b.data(), b.size(), &out), 1);
  EXPECT_TRUE(same_block(out.picture, picture));
  EXPECT_TRUE(same_block(out.companion, mask));
  dict_blocks_free(&out);
  EXPECT_EQ(out.picture, nullptr);
}

TEST_F(Asd, SizeComesFromTheHeaderAndThePictureBecomes24Bit) {
  // The header's size stands even where it differs from the picture's.
  bytes b = header(".asd", 1, 20, 30);
  put_record(b, mask);  // an 8-bit picture
  const std::string path = dir.file("grey.asd");
  save(path, b);
  app_self_dib d;
  ASSERT_EQ(load_asd(d, path.c_str()), 1);
  EXPECT_EQ(d.width(), 20);
  EXPECT_EQ(d.height(), 30);
  ASSERT_EQ(dib_bits(d.image()), 24);
  EXPECT_EQ(dib_width(d.image()), 14);
  EXPECT_EQ(px(d.image(), 3, 3), 0xC8C8C8u);  // grey 200 of the table
  EXPECT_EQ(px(d.image(), 3, 4), 0u);
  EXPECT_EQ(d.mask(), nullptr);
}

TEST_F(Asd, CompanionFlag) {
  bytes base = header(".asd", 1, 14, 9);
  put_record(base, picture);
  // Ending after the picture, or inside the flag, means no companion.
  for (std::size_t extra = 0; extra < 4; ++extra) {
    bytes b = base;
    b.insert(b.end(), extra, 1);
    dict_blocks out;
    ASSERT_EQ(asd_decode(b.data(), b.size(), &out), 1) << extra;
    EXPECT_EQ(out.companion, nullptr);
    dict_blocks_free(&out);
  }
  // Only the value 1 announces a companion; anything after another value is ignored.
  for (uint32_t flag : {0u, 2u, 0xFFFFFFFFu, 0x100u}) {
    bytes b = base;
    put32(b, flag);
    put_record(b, mask);
    dict_blocks out;
    ASSERT_EQ(asd_decode(b.data(), b.size(), &out), 1) << flag;
    EXPECT_EQ(out.companion, nullptr);
    dict_blocks_free(&out);
  }
  // Flag 1 and nothing, or a truncated companion, is a bad file.
  bytes with = base;
  put32(with, 1);
  const std::size_t record_at = with.size();
  put_record(with, mask);
  for (std::size_t cut = record_at; cut < with.size(); ++cut) {
    dict_blocks out;
    EXPECT_EQ(asd_decode(with.data(), cut, &out), 0) << cut;
    EXPECT_EQ(out.picture, nullptr);
  }
}

TEST_F(Asd, MagicIsComparedWithoutCase) {
  for (const char* magic : {".asd", ".ASD", ".aSd", ".AsD"}) {
    bytes b = header(magic, 1, 14, 9);
    put_record(b, picture);
    dict_blocks out;
    EXPECT_EQ(asd_decode(b.data(), b.size(), &out), 1) << magic;
    dict_blocks_free(&out);
  }
  for (const char* magic : {"xasd", ".asf", "_asd",
                            ".a\x13"
                            "d",
                            "\0asd", ".zws"}) {
    bytes b = header(magic, 1, 14, 9);
    put_record(b, picture);
    dict_blocks out;
    EXPECT_EQ(asd_decode(b.data(), b.size(), &out), 0) << magic;
  }
}

TEST_F(Asd, BadFilesAreRefusedAndLeaveTheHolderEmpty) {
  bytes good = header(".asd", 1, 14, 9);
  put_record(good, picture);
  put32(good, 1);
  put_record(good, mask);

  std::vector<std::pair<std::string, bytes>> bad;
  for (uint32_t version : {0u, 2u, 0x100u, 0xFFFFFFFFu}) {
    bytes b = good;
    b[4] = uint8_t(version), b[5] = uint8_t(version >> 8), b[6] = uint8_t(version >> 16),
    b[7] = uint8_t(version >> 24);
    bad.push_back({"version " + std::to_string(version), b});
  }
  for (auto size :
       {std::pair{0, 9}, {14, 0}, {-14, 9}, {14, -1}, {0x7FFFFFFF, 9}, {70000, 70000}}) {
    bytes b = good;
    bytes h = header(".asd", 1, size.first, size.second);
    std::copy(h.begin(), h.end(), b.begin());
    bad.push_back({"size " + std::to_string(size.first) + "x" + std::to_string(size.second), b});
  }
  {
    bytes b = good;
    b[16] = 0xFB;  // tag -5
    bad.push_back({"unknown picture tag", b});
    b = good;
    b[20] ^= 0x40;  // the uncompressed size no longer matches the stream
    bad.push_back({"bad picture record", b});
    b = header(".asd", 1, 14, 9);
    put_record(b, picture);
    put32(b, 1);
    b.push_back(0xFE), b.push_back(0xFF), put32(b, 60);  // a raw record of a bad block
    b.insert(b.end(), 60, 7);
    bad.push_back({"bad companion record", b});
  }
  // Every cut inside the header or the picture record.
  const std::size_t picture_end = header(".asd", 1, 14, 9).size() + [&] {
    bytes r;
    put_record(r, picture);
    return r.size();
  }();
  for (std::size_t cut = 0; cut < picture_end; ++cut)
    bad.push_back({"cut at " + std::to_string(cut), bytes(good.begin(), good.begin() + cut)});

  for (const auto& [what, b] : bad) {
    dict_blocks out;
    EXPECT_EQ(asd_decode(b.data(), b.size(), &out), 0) << what;
    EXPECT_TRUE(!out.picture && !out.companion) << what;
  }
  // Through a file too, into a holder that had a picture.
  for (std::size_t i = 0; i < bad.size(); i += 7) {
    const std::string path = dir.file("bad.asd");
    save(path, bad[i].second);
    app_self_dib d;
    fill(d);
    EXPECT_EQ(load_asd(d, path.c_str()), 0) << bad[i].first;
    EXPECT_TRUE(empty(d)) << bad[i].first;
  }
  // The whole good file still loads.
  dict_blocks out;
  ASSERT_EQ(asd_decode(good.data(), good.size(), &out), 1);
  dict_blocks_free(&out);
}

TEST_F(Asd, PathMustEndInAsdAndOpen) {
  bytes good = header(".asd", 1, 14, 9);
  put_record(good, picture);
  for (const char* name : {"a.asd", "b.ASD", "c.AsD"}) {
    save(dir.file(name), good);
    app_self_dib d;
    EXPECT_EQ(load_asd(d, dir.file(name).c_str()), 1) << name;
  }
  for (const char* name : {"a.bmp", "a.asdx", "asd", "a.as"}) {
    save(dir.file(name), good);
    app_self_dib d;
    fill(d);
    EXPECT_EQ(load_asd(d, dir.file(name).c_str()), 0) << name;
    EXPECT_TRUE(empty(d));
  }
  app_self_dib d;
  fill(d);
  EXPECT_EQ(load_asd(d, dir.file("missing.asd").c_str()), 0);
  EXPECT_TRUE(empty(d));
  fill(d);
  EXPECT_EQ(load_asd(d, dir.path().c_str()), 0);  // a folder
  EXPECT_EQ(load_asd(d, nullptr), 0);
  save(dir.file("empty.asd"), {});
  EXPECT_EQ(load_asd(d, dir.file("empty.asd").c_str()), 0);
  EXPECT_TRUE(empty(d));
}

}  // namespace
