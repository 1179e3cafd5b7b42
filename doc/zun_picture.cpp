// Reading ".zun" pictures. Layers are read and blended one at a time, so a
// file costs at most the picture and one layer; every bitmap must have the
// size its record claims before it is decoded.
#include "doc/zun_picture.h"

#include <cstdint>
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/surface.h"
#include "doc/file_data.h"
#include "image/image_bytes.h"

namespace {
constexpr uint16_t kTag600 = 1062, kTagOpacity = 1063, kTagNamed = 1048;
constexpr int32_t kFixedWidth = 600, kFixedHeight = 450;
constexpr std::size_t kNameBytes = 65;
constexpr std::size_t kMinStream = 6;
// Visible flag, then the smallest surface record (kind 0: header, one stream, end).
constexpr std::size_t kMinLayer = 4 + 10 + kMinStream + 2;

uint32_t peek_u32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}

// One dib_stream record that must decode to exactly width x height at bits;
// the size it claims is checked first, so it cannot ask for more.
dib_block* read_block(image_cursor& in, int32_t width, int32_t height, int bits) {
  const uint64_t expected_max =
      kDibHeaderSize + (bits == 8 ? 1024u : 0u) + uint64_t{dib_stride_for(width, bits)} * height;
  const unsigned char* p = in.base() + in.pos();
  const std::size_t left = in.left();
  if (left < kMinStream) return nullptr;
  const int16_t tag = static_cast<int16_t>(p[0] | p[1] << 8);
  uint64_t claimed = 0;
  if (tag == kDibStreamZlib || tag == kDibStreamRaw) {
    claimed = peek_u32(p + 2);
  } else if (tag == kDibStreamLzari) {
    if (left < 10) return nullptr;
    claimed = peek_u32(p + 6);
  } else if (tag == kDibStreamRuns) {
    if (left < 14) return nullptr;
    if ((peek_u32(p + 2) != 0) != (bits == 24) || peek_u32(p + 6) != uint32_t(width) ||
        peek_u32(p + 10) != uint32_t(height))
      return nullptr;
  } else {
    return nullptr;
  }
  if (claimed > expected_max) return nullptr;
  std::size_t used = 0;
  dib_block* b = dib_read_stream(p, left, &used);
  if (!b) return nullptr;
  if (dib_width(b) != width || dib_height(b) != height || dib_bits(b) != bits) {
    dib_free(b);
    return nullptr;
  }
  in.skip(used);
  return b;
}

// The surface record of the document format, of any size a document may have.
paint_surface* read_surface(image_cursor& in) {
  const uint16_t kind = in.u16le();
  const auto w = static_cast<int32_t>(in.u32le());
  const auto h = static_cast<int32_t>(in.u32le());
  if (in.failed() || kind > 1 || !doc_size_allowed(w, h)) return nullptr;
  auto* s = static_cast<paint_surface*>(mem_calloc(sizeof(paint_surface)));
  if (!s) return nullptr;
  s->kind = kind;
  s->width = w;
  s->height = h;
  s->step_x = s->step_y = 1.0f;
  s->changed = dib_rect{0, 0, w, h};
  bool ok = (s->colour = read_block(in, w, h, 24)) != nullptr;
  if (ok && kind == 1) {
    ok = (s->coverage = read_block(in, w, h, 8)) != nullptr;
    dib_rect c;
    c.left = static_cast<int32_t>(in.u32le());
    c.top = static_cast<int32_t>(in.u32le());
    c.right = static_cast<int32_t>(in.u32le());
    c.bottom = static_cast<int32_t>(in.u32le());
    if (ok) s->changed = dib_rect_intersect(c, dib_rect{0, 0, w, h});
  }
  ok = ok && in.u16le() == 0xFFFF && !in.failed();
  ok = ok && surface_set_colour(s, s->colour);  // refreshes the pixel caches
  if (!ok) {
    surface_free(s);
    return nullptr;
  }
  return s;
}
}  // namespace

int zun_path(const char* path) {
  const std::size_t n = path ? std::strlen(path) : 0;
  if (n < 4) return 0;
  const char* e = path + n - 4;
  return e[0] == '.' && (e[1] | 0x20) == 'z' && (e[2] | 0x20) == 'u' && (e[3] | 0x20) == 'n';
}

dib_block* zun_picture_decode(const void* data, std::size_t size) {
  image_cursor in(data, size);
  const uint16_t tag = in.u16le();
  if (tag != kTag600 && tag != kTagOpacity && tag != kTagNamed) return nullptr;
  int32_t width = kFixedWidth, height = kFixedHeight;
  if (tag != kTag600) {
    width = static_cast<int32_t>(in.u32le());
    height = static_cast<int32_t>(in.u32le());
  }
  in.u32le();  // the current layer: only the editor of these files needs it
  const auto count = static_cast<int32_t>(in.u32le());
  if (in.failed() || !doc_size_allowed(width, height) || count <= 0 || count > kZunMaxLayers ||
      uint64_t(count) * kMinLayer > in.left())
    return nullptr;

  dib_block* picture = nullptr;  // made once the first layer has been read
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t visible = in.u32le();
    float opacity = 1.0f;
    if (tag != kTag600) {
      const uint32_t bits = in.u32le();
      std::memcpy(&opacity, &bits, 4);
    }
    if (tag == kTagNamed) in.skip(kNameBytes);
    paint_surface* layer = in.failed() ? nullptr : read_surface(in);
    if (layer && !picture) picture = dib_create(height, 1, width, 0xFFFFFF);
    if (!layer || !picture) {
      surface_free(layer);
      dib_free(picture);
      return nullptr;
    }
    // The opacity is clamped by the drawing (NaN draws nothing).
    if (visible) surface_draw_to(layer, picture, nullptr, opacity);
    surface_free(layer);
  }
  return picture;
}

dib_block* zun_picture_read(const char* path) {
  image_file_bytes bytes;
  if (!image_read_path(path, bytes)) return nullptr;
  return zun_picture_decode(bytes.data, bytes.size);
}
