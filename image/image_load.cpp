#include <cstring>

#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"

namespace {
enum class image_kind { none, bmp, pcx, jpeg, tif, tga, gif, psd, png };

// The spellings accepted, compared in upper case; anything else (TIFF too) is
// not a picture the program reads.
struct extension_entry {
  const char* name;
  image_kind kind;
};
constexpr extension_entry kExtensions[] = {
    {"BMP", image_kind::bmp}, {"RLE", image_kind::bmp},  {"PCX", image_kind::pcx},
    {"JPG", image_kind::jpeg}, {"JPEG", image_kind::jpeg}, {"TIF", image_kind::tif},
    {"TGA", image_kind::tga}, {"GIF", image_kind::gif},  {"PSD", image_kind::psd},
    {"PNG", image_kind::png},
};

image_kind kind_of(const char* path) {
  const char* dot = path ? std::strrchr(path, '.') : nullptr;
  if (!dot) return image_kind::none;
  char ext[8];
  std::size_t n = std::strlen(dot + 1);
  if (n == 0 || n >= sizeof ext) return image_kind::none;
  for (std::size_t i = 0; i <= n; ++i) {
    char c = dot[1 + i];
    ext[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  for (const extension_entry& e : kExtensions)
    if (std::strcmp(ext, e.name) == 0) return e.kind;
  return image_kind::none;
}

dib_block* load_bmp(const char* path) {
  std::FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return nullptr;
  dib_block* b = bmp_read(f);
  std::fclose(f);
  return b;
}

dib_block* load(const char* path, dib_block** alpha) {
  switch (kind_of(path)) {
    case image_kind::bmp: return load_bmp(path);
    case image_kind::pcx: return pcx_read(path);
    case image_kind::jpeg: return jpeg_read(path);  // already a plain 24-bit header
    case image_kind::tif: return tif_read(path);
    case image_kind::tga: return tga_read(path);
    case image_kind::gif: return gif_read(path, alpha);
    case image_kind::psd: return psd_read(path);
    case image_kind::png: return png_read(path, alpha);
    case image_kind::none: break;
  }
  return nullptr;
}

// 16-bit pixels (5-5-5), as a true-colour screen shows them; dib_to_24 does
// the other depths.
dib_block* rgb555_to_24(const dib_block* src) {
  const int32_t w = dib_width(src), h = dib_height(src);
  dib_block* out = dib_create(h, 1, w, 0);
  if (!out) return nullptr;
  for (int32_t y = 0; y < h; ++y) {
    const unsigned char* s = dib_row(src, y);
    unsigned char* d = dib_row(out, y);
    for (int32_t x = 0; x < w; ++x, d += 3) {
      const unsigned v = s[x * 2] | s[x * 2 + 1] << 8;
      const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      d[0] = static_cast<unsigned char>(b << 3 | b >> 2);
      d[1] = static_cast<unsigned char>(g << 3 | g >> 2);
      d[2] = static_cast<unsigned char>(r << 3 | r >> 2);
    }
  }
  return out;
}
}  // namespace

dib_block* image_to_24(dib_block* src) {
  if (!src) return nullptr;
  const int bits = dib_bits(src);
  if (bits == 24) return src;
  dib_block* out = bits == 16 ? rgb555_to_24(src) : dib_to_24(src);
  dib_free(src);
  return out;
}

dib_block* image_load(const char* path) { return image_to_24(load(path, nullptr)); }

dib_block* image_load_alpha(const char* path, dib_block** alpha) {
  if (!alpha) return image_load(path);
  *alpha = nullptr;
  // GIF and PNG pictures with alpha come back 24-bit already: no conversion.
  dib_block* b = image_to_24(load(path, alpha));
  if (!b && *alpha) {
    dib_free(*alpha);
    *alpha = nullptr;
  }
  return b;
}
