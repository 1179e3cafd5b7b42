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
#include "doc/zws.h"
#include "image/image_bytes.h"

namespace {
constexpr uint16_t kTag600 = 1062, kTagOpacity = 1063, kTagNamed = 1048;
constexpr int32_t kFixedWidth = 600, kFixedHeight = 450;
constexpr std::size_t kNameBytes = 65;
constexpr std::size_t kMinStream = 6;
// Visible flag, then the smallest surface record (kind 0: header, one stream, end).
constexpr std::size_t kMinLayer = 4 + 10 + kMinStream + 2;

// A layer is a surface record of the document format, of any size.
paint_surface* read_surface(image_cursor& in) {
  std::size_t used = 0;
  paint_surface* s = zws_read_surface(in.base() + in.pos(), in.left(), 0, 0, &used);
  if (s) in.skip(used);
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
