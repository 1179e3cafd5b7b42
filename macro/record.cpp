#include "macro/record.h"

#include <cstring>

namespace {
struct writer {
  uint8_t* p;
  void u8(uint8_t v) { *p++ = v; }
  void u16(uint16_t v) {
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(uint8_t(v >> (8 * i)));
  }
  void i32(int32_t v) { u32(uint32_t(v)); }
  // Floats move as bits: a 32-bit build may return floats through the x87
  // stack, which would quiet a signalling NaN and change the record's bytes.
  void f32(const float* v) {
    uint32_t bits;
    std::memcpy(&bits, v, 4);
    u32(bits);
  }
  void bytes(const void* b, std::size_t n) {
    std::memcpy(p, b, n);
    p += n;
  }
};

struct reader {
  const uint8_t* p;
  uint8_t u8() { return *p++; }
  uint16_t u16() {
    uint16_t v = p[0] | uint16_t(p[1] << 8);
    p += 2;
    return v;
  }
  uint32_t u32() {
    uint32_t v = p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    p += 4;
    return v;
  }
  int32_t i32() { return int32_t(u32()); }
  void f32(float* v) {
    const uint32_t bits = u32();
    std::memcpy(v, &bits, 4);
  }
  void bytes(void* b, std::size_t n) {
    std::memcpy(b, p, n);
    p += n;
  }
};
}  // namespace

void macro_record_encode(const macro_record& r, uint8_t out[kMacroRecordSize]) {
  writer w{out};
  w.u8(r.record_kind);
  w.u8(r.phase);
  w.u16(uint16_t(r.canvas_width));
  w.u16(uint16_t(r.canvas_height));
  w.u16(r.reserved0);
  w.u32(r.colour);
  w.u32(r.back_colour);
  w.f32(&r.opacity);
  w.i32(r.x);
  w.i32(r.y);
  if (r.record_kind == kMacroKindText) {
    w.bytes(r.text.text, sizeof r.text.text);
    w.bytes(r.text.face_name, sizeof r.text.face_name);
    w.i32(r.text.font_height);
    w.i32(r.text.bold);
    w.i32(r.text.text_size);
  } else {
    w.bytes(r.pen.reserved1, sizeof r.pen.reserved1);
    w.f32(&r.pen.pressure);
    w.i32(r.pen.has_pressure);
    w.i32(r.pen.point_index);
    w.i32(r.pen.point_count);
    w.i32(r.pen.pen_id);
    w.i32(r.pen.erase);
    w.f32(&r.pen.pen_size);
    w.bytes(r.pen.reserved2, sizeof r.pen.reserved2);
  }
}

void macro_record_decode(const uint8_t in[kMacroRecordSize], macro_record* r) {
  reader s{in};
  r->record_kind = s.u8();
  r->phase = s.u8();
  r->canvas_width = int16_t(s.u16());
  r->canvas_height = int16_t(s.u16());
  r->reserved0 = s.u16();
  r->colour = s.u32();
  r->back_colour = s.u32();
  s.f32(&r->opacity);
  r->x = s.i32();
  r->y = s.i32();
  if (r->record_kind == kMacroKindText) {
    s.bytes(r->text.text, sizeof r->text.text);
    s.bytes(r->text.face_name, sizeof r->text.face_name);
    r->text.font_height = s.i32();
    r->text.bold = s.i32();
    r->text.text_size = s.i32();
  } else {
    s.bytes(r->pen.reserved1, sizeof r->pen.reserved1);
    s.f32(&r->pen.pressure);
    r->pen.has_pressure = s.i32();
    r->pen.point_index = s.i32();
    r->pen.point_count = s.i32();
    r->pen.pen_id = s.i32();
    r->pen.erase = s.i32();
    s.f32(&r->pen.pen_size);
    s.bytes(r->pen.reserved2, sizeof r->pen.reserved2);
  }
}
