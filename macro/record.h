#pragma once
// One recorded pen event, 168 bytes, laid out in memory as in the ".zwm" file.
// The file is still read and written field by field (little-endian); the
// layout is fixed so that a record's bytes survive a load and save unchanged.
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kMacroRecordSize = 168;

enum : uint8_t { kMacroKindPen = 1, kMacroKindRub = 2, kMacroKindText = 3 };
enum : uint8_t { kMacroDown = 1, kMacroMove = 2, kMacroUp = 3 };

// Bytes 28 to 167 of pen and eraser records.
struct macro_pen_fields {
  uint8_t reserved1[8];
  float pressure;
  int32_t has_pressure;
  int32_t point_index;
  int32_t point_count;
  int32_t pen_id;  // -1: no pen selected
  int32_t erase;
  float pen_size;
  uint8_t reserved2[104];
};

// Bytes 28 to 167 of text records (never recorded, only read and played).
struct macro_text_fields {
  char text[64];
  char face_name[64];
  int32_t font_height;
  int32_t bold;
  int32_t text_size;
};

struct macro_record {
  uint8_t record_kind;
  uint8_t phase;
  int16_t canvas_width;
  int16_t canvas_height;
  uint16_t reserved0;
  uint32_t colour;       // 0x00BBGGRR
  uint32_t back_colour;
  float opacity;
  int32_t x, y;          // document pixels
  union {
    macro_pen_fields pen;
    macro_text_fields text;
  };
};

static_assert(sizeof(macro_pen_fields) == 140 && sizeof(macro_text_fields) == 140);
static_assert(sizeof(macro_record) == kMacroRecordSize);
static_assert(offsetof(macro_record, canvas_width) == 2 && offsetof(macro_record, canvas_height) == 4);
static_assert(offsetof(macro_record, colour) == 8 && offsetof(macro_record, back_colour) == 12);
static_assert(offsetof(macro_record, opacity) == 16 && offsetof(macro_record, x) == 20 &&
              offsetof(macro_record, y) == 24 && offsetof(macro_record, pen) == 28);
static_assert(28 + offsetof(macro_pen_fields, pressure) == 36 &&
              28 + offsetof(macro_pen_fields, has_pressure) == 40 &&
              28 + offsetof(macro_pen_fields, point_index) == 44 &&
              28 + offsetof(macro_pen_fields, point_count) == 48 &&
              28 + offsetof(macro_pen_fields, pen_id) == 52 &&
              28 + offsetof(macro_pen_fields, erase) == 56 &&
              28 + offsetof(macro_pen_fields, pen_size) == 60 &&
              28 + offsetof(macro_pen_fields, reserved2) == 64);
static_assert(28 + offsetof(macro_text_fields, face_name) == 92 &&
              28 + offsetof(macro_text_fields, font_height) == 156 &&
              28 + offsetof(macro_text_fields, bold) == 160 &&
              28 + offsetof(macro_text_fields, text_size) == 164);

// The file form. Text records use the text fields; every other kind the pen
// fields with their reserved bytes, so no byte of any record is lost.
void macro_record_encode(const macro_record& r, uint8_t out[kMacroRecordSize]);
void macro_record_decode(const uint8_t in[kMacroRecordSize], macro_record* r);
