// Run-length sprites: building from a sheet, the ".qa" form, drawing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/run_sprite.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
class Sprite : public LeakCheck {};

using bytes = std::vector<unsigned char>;

void put(bytes& v, std::size_t at, const void* p, std::size_t n) {
  if (v.size() < at + n) v.resize(at + n);
  std::memcpy(&v[at], p, n);
}
// The ".qa" layout of a sprite, written field by field.
bytes to_qa(const run_sprite* s) {
  bytes v(kRunSpriteHeaderSize, 0);
  put(v, 0, &s->magic, 2);
  const int32_t head[] = {s->offset_x, s->offset_y, s->frame_width, s->frame_height, s->left,
                          s->top,      s->right,    s->bottom,      s->frames,       s->pixels};
  put(v, 4, head, sizeof head);
  for (int f = 0; f < kRunSpriteMaxFrames; ++f) put(v, 44 + f * 8, &s->frame[f].run_count, 4);
  for (int f = 0; f < s->frames; ++f)
    for (int k = 0; k < s->frame[f].run_count; ++k) {
      const sprite_run& r = s->frame[f].runs[k];
      const uint16_t w[] = {r.x, r.y, r.length};
      std::size_t at = v.size();
      put(v, at, w, 6);
      v.push_back(r.alpha);
      v.push_back(0);
    }
  return v;
}

// A stand-in picture decoder: the file holds a packed block as it is.
dib_block* raw_block(const void* data, std::size_t size) { return dib_from_bytes(data, size); }

// Two 4 x 2 frames: frame 0 has a run of 3 x 200 and a transparent 20; frame 1 is empty.
dib_block* sheet() {
  dib_block* s = dib_create(2, 0, 8, 0);
  for (int x = 1; x < 4; ++x) dib_pixel(s, x, 1)[0] = 200;
  dib_pixel(s, 0, 0)[0] = 20;
  dib_pixel(s, 2, 0)[0] = 255;
  return s;
}

TEST_F(Sprite, BuildFromSheet) {
  dib_block* s = sheet();
  run_sprite* sp = run_sprite_build(s, 2);
  ASSERT_NE(sp, nullptr);
  EXPECT_EQ(sp->frame_width, 4);
  EXPECT_EQ(sp->frame_height, 2);
  ASSERT_EQ(sp->frame[0].run_count, 2);
  EXPECT_EQ(sp->frame[1].run_count, 0);
  const sprite_run& a = sp->frame[0].runs[0];
  EXPECT_EQ(a.x, 2);
  EXPECT_EQ(a.y, 0);
  EXPECT_EQ(a.length, 1);
  EXPECT_EQ(a.alpha, 255);
  const sprite_run& b = sp->frame[0].runs[1];
  EXPECT_EQ(b.x, 1);
  EXPECT_EQ(b.y, 1);
  EXPECT_EQ(b.length, 3);
  EXPECT_EQ(sp->pixels, 4);
  EXPECT_EQ(sp->left, 1);
  EXPECT_EQ(sp->top, 0);
  EXPECT_EQ(sp->right, 3);
  EXPECT_EQ(sp->bottom, 1);
  run_sprite_free(sp);

  EXPECT_EQ(run_sprite_build(s, 31), nullptr);
  EXPECT_EQ(run_sprite_build(s, 0), nullptr);
  dib_block* colour = dib_create(2, 1, 8, 0);
  EXPECT_EQ(run_sprite_build(colour, 2), nullptr);
  dib_free(colour);
  dib_block* clear = dib_create(2, 0, 8, 20);
  sp = run_sprite_build(clear, 1);
  ASSERT_NE(sp, nullptr);
  EXPECT_EQ(sp->right, 0);
  EXPECT_EQ(sp->frame[0].run_count, 0);
  run_sprite_free(sp);
  dib_free(clear);
  dib_free(s);
}

TEST_F(Sprite, QaFormRoundTripAndDamage) {
  dib_block* s = sheet();
  run_sprite* sp = run_sprite_build(s, 2);
  sp->offset_x = -3;
  bytes qa = to_qa(sp);
  ASSERT_EQ(qa.size(), kRunSpriteHeaderSize + 2 * 8);
  run_sprite* back = run_sprite_parse(qa.data(), qa.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->offset_x, -3);
  ASSERT_EQ(back->frame[0].run_count, 2);
  EXPECT_EQ(back->frame[0].runs[1].length, 3);
  EXPECT_EQ(back->frame[0].runs[1].alpha, 200);
  run_sprite_free(back);

  EXPECT_EQ(run_sprite_parse(qa.data(), qa.size() - 1), nullptr) << "short run table";
  bytes bad = qa;
  bad[0] = 0x27;
  EXPECT_EQ(run_sprite_parse(bad.data(), bad.size()), nullptr) << "magic";
  bad = qa;
  bad[36] = 31;
  EXPECT_EQ(run_sprite_parse(bad.data(), bad.size()), nullptr) << "frames";
  bad = qa;
  bad[44 + 3] = 0x80;  // negative run count
  EXPECT_EQ(run_sprite_parse(bad.data(), bad.size()), nullptr);
  bad = qa;
  bad[44] = 0xFF, bad[45] = 0xFF, bad[46] = 0xFF, bad[47] = 0x0F;  // far more runs than bytes
  EXPECT_EQ(run_sprite_parse(bad.data(), bad.size()), nullptr);
  bad = qa;
  bad[kRunSpriteHeaderSize + 8 + 4] = 4;  // length 4 from x 1: past the frame
  EXPECT_EQ(run_sprite_parse(bad.data(), bad.size()), nullptr);
  run_sprite_free(sp);
  dib_free(s);
}

TEST_F(Sprite, LoadReadsTheQaBesideThePicture) {
  TempDir dir;
  dib_block* s = sheet();
  run_sprite* sp = run_sprite_build(s, 2);
  bytes qa = to_qa(sp);
  run_sprite_free(sp);
  dib_free(s);
  FILE* f = std::fopen(dir.file("button.qa").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(qa.data(), 1, qa.size(), f), qa.size());
  std::fclose(f);
  run_sprite* got = run_sprite_load(dir.file("button.bmp").c_str(), 2);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->frame[0].run_count, 2);
  run_sprite_free(got);
  // The cache wins over the picture; a damaged cache fails the load.
  EXPECT_EQ(run_sprite_load(dir.file("other.bmp").c_str(), 2), nullptr) << "neither file";
  f = std::fopen(dir.file("broken.qa").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(qa.data(), 1, 100, f), 100u);
  std::fclose(f);
  EXPECT_EQ(run_sprite_load(dir.file("broken.bmp").c_str(), 2, raw_block), nullptr);
}

TEST_F(Sprite, LoadWithoutACacheDecodesThePicture) {
  TempDir dir;
  dib_block* s = sheet();
  FILE* f = std::fopen(dir.file("sheet.bmp").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(dib_bytes(s), 1, dib_total_size(s), f), dib_total_size(s));
  std::fclose(f);
  dib_free(s);
  EXPECT_EQ(run_sprite_load(dir.file("sheet.bmp").c_str(), 2), nullptr) << "no decoder";
  run_sprite* got = run_sprite_load(dir.file("sheet.bmp").c_str(), 2, raw_block);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->frame_width, 4);
  EXPECT_EQ(got->frame[0].run_count, 2);
  run_sprite_free(got);
  EXPECT_EQ(run_sprite_load(dir.file("sheet.bmp").c_str(), 31, raw_block), nullptr);
  EXPECT_EQ(run_sprite_load(dir.file("none.bmp").c_str(), 2, raw_block), nullptr);
}

TEST_F(Sprite, DrawCopiesBlendsAndClips) {
  dib_block* s = sheet();
  run_sprite* sp = run_sprite_build(s, 2);
  dib_block* colours = dib_create(2, 1, 8, 0);  // black everywhere
  dib_block* t = dib_create(4, 1, 6, 0xFFFFFF);
  ASSERT_EQ(run_sprite_draw(t, 1, 1, sp, 0, colours), 1);
  EXPECT_EQ(px(t, 3, 1), 0u);         // alpha 255 copies
  EXPECT_EQ(px(t, 2, 2), 0x383838u);  // 255 + (-255 * 200 / 256 = -199.2 -> -199) = 56
  EXPECT_EQ(px(t, 1, 2), 0xFFFFFFu);
  EXPECT_EQ(px(t, 1, 1), 0xFFFFFFu);  // the transparent 20

  dib_fill(t, 0xFFFFFF, nullptr);
  ASSERT_EQ(run_sprite_draw(t, -2, 2, sp, 0, colours), 1);  // half off the left
  EXPECT_EQ(px(t, 0, 2), 0u);
  EXPECT_EQ(px(t, 0, 3), 0x383838u);
  EXPECT_EQ(px(t, 1, 3), 0x383838u);
  EXPECT_EQ(px(t, 2, 3), 0xFFFFFFu);
  ASSERT_EQ(run_sprite_draw(t, 100, -100, sp, 0, colours), 1);  // wholly outside
  // Offsets at the ends of the 32-bit range put the sprite far outside, never
  // wrap it back in (a stored ".qa" header carries any offset).
  const bytes before(dib_pixels(t), dib_pixels(t) + dib_stride(t) * 4);
  for (int32_t off : {INT32_MIN, INT32_MIN + 5, INT32_MAX - 3, INT32_MAX}) {
    sp->offset_x = off;
    EXPECT_EQ(run_sprite_draw(t, -7, 0, sp, 0, colours), 1);
    EXPECT_EQ(run_sprite_draw(t, 7, 0, sp, 0, colours), 1);
    sp->offset_x = 0, sp->offset_y = off;
    EXPECT_EQ(run_sprite_draw(t, 0, -7, sp, 0, colours), 1);
    EXPECT_EQ(run_sprite_draw(t, 0, 7, sp, 0, colours), 1);
    sp->offset_y = 0;
  }
  EXPECT_EQ(bytes(dib_pixels(t), dib_pixels(t) + dib_stride(t) * 4), before);

  dib_fill(t, 0xFFFFFF, nullptr);
  ASSERT_EQ(run_sprite_draw_part(t, 0, 0, sp, 0, colours, dib_rect{2, 1, 3, 2}), 1);
  EXPECT_EQ(px(t, 2, 1), 0x383838u);
  EXPECT_EQ(px(t, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(px(t, 2, 0), 0xFFFFFFu);

  EXPECT_EQ(run_sprite_draw(t, 0, 0, sp, 1, colours), 0) << "frame without runs";
  EXPECT_EQ(run_sprite_draw(t, 0, 0, sp, 2, colours), 0) << "frame out of range";
  dib_block* narrow = dib_create(2, 1, 4, 0);
  EXPECT_EQ(run_sprite_draw(t, 0, 0, sp, 0, narrow), 0) << "colour sheet too small";
  dib_free(narrow);
  dib_free(t);
  dib_free(colours);
  run_sprite_free(sp);
  dib_free(s);
}
}  // namespace
