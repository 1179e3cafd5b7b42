// The 168-byte record: its file form places every field at its offset, in
// little-endian order, and keeps every byte of any record kind.
#include "macro/record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
int32_t at_i32(const uint8_t* b, int off) {
  return int32_t(b[off] | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 |
                 uint32_t(b[off + 3]) << 24);
}
float at_f32(const uint8_t* b, int off) {
  const uint32_t bits = uint32_t(at_i32(b, off));
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
}  // namespace

TEST(MacroRecord, PenFieldsLandAtTheirOffsets) {
  macro_record r{};
  r.record_kind = kMacroKindPen;
  r.phase = kMacroMove;
  r.canvas_width = 800;
  r.canvas_height = -2;
  r.colour = 0x00123456;
  r.back_colour = 0x00FFFFFF;
  r.opacity = 0.25f;
  r.x = -7;
  r.y = 70000;
  r.pen.pressure = 0.5f;
  r.pen.has_pressure = 1;
  r.pen.point_index = 3;
  r.pen.point_count = 9;
  r.pen.pen_id = -1;
  r.pen.erase = 1;
  r.pen.pen_size = 12.5f;
  uint8_t b[kMacroRecordSize];
  std::memset(b, 0xCC, sizeof b);
  macro_record_encode(r, b);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 2);
  EXPECT_EQ(b[2] | b[3] << 8, 800);
  EXPECT_EQ(b[4], 0xFE);
  EXPECT_EQ(b[5], 0xFF);
  EXPECT_EQ(at_i32(b, 8), 0x00123456);
  EXPECT_EQ(b[8], 0x56);  // little-endian
  EXPECT_EQ(uint32_t(at_i32(b, 12)), 0x00FFFFFFu);
  EXPECT_EQ(at_f32(b, 16), 0.25f);
  EXPECT_EQ(at_i32(b, 20), -7);
  EXPECT_EQ(at_i32(b, 24), 70000);
  EXPECT_EQ(at_f32(b, 36), 0.5f);
  EXPECT_EQ(at_i32(b, 40), 1);
  EXPECT_EQ(at_i32(b, 44), 3);
  EXPECT_EQ(at_i32(b, 48), 9);
  EXPECT_EQ(at_i32(b, 52), -1);
  EXPECT_EQ(at_i32(b, 56), 1);
  EXPECT_EQ(at_f32(b, 60), 12.5f);
  for (int i : {6, 7, 28, 35, 64, 100, 167}) EXPECT_EQ(b[i], 0) << i;
  // The memory layout is the file layout on a little-endian machine.
  EXPECT_EQ(std::memcmp(&r, b, sizeof b), 0);
}

TEST(MacroRecord, TextFieldsLandAtTheirOffsets) {
  macro_record r{};
  r.record_kind = kMacroKindText;
  std::strcpy(r.text.text, "abc");
  std::strcpy(r.text.face_name, "Face");
  r.text.font_height = -24;
  r.text.bold = 1;
  r.text.text_size = 30;
  uint8_t b[kMacroRecordSize];
  macro_record_encode(r, b);
  EXPECT_EQ(std::memcmp(b + 28, "abc", 4), 0);
  EXPECT_EQ(std::memcmp(b + 92, "Face", 5), 0);
  EXPECT_EQ(at_i32(b, 156), -24);
  EXPECT_EQ(at_i32(b, 160), 1);
  EXPECT_EQ(at_i32(b, 164), 30);
  macro_record back{};
  macro_record_decode(b, &back);
  EXPECT_STREQ(back.text.text, "abc");
  EXPECT_STREQ(back.text.face_name, "Face");
  EXPECT_EQ(back.text.font_height, -24);
}

// Bytes that should be zero, unknown kinds and odd float bits all survive.
TEST(MacroRecord, AnyBytesRoundTripUnchanged) {
  for (uint8_t kind : {0, 1, 2, 3, 9, 255}) {
    uint8_t in[kMacroRecordSize];
    for (std::size_t i = 0; i < sizeof in; ++i) in[i] = uint8_t(i * 37 + kind);
    in[0] = kind;
    // A signalling NaN as opacity and pressure.
    const uint8_t snan[4] = {0x01, 0x00, 0xA0, 0x7F};
    std::memcpy(in + 16, snan, 4);
    std::memcpy(in + 36, snan, 4);
    macro_record r;
    macro_record_decode(in, &r);
    EXPECT_EQ(r.record_kind, kind);
    uint8_t out[kMacroRecordSize];
    macro_record_encode(r, out);
    EXPECT_EQ(std::memcmp(in, out, sizeof in), 0) << int(kind);
  }
}
