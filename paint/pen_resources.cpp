#include "paint/pen_resources.h"

#include <cstring>

#include "base/dib.h"
#include "base/os.h"
#include "content/package.h"
#include "image/image.h"

namespace {
pen_resolver g_resolver = nullptr;
std::string g_root;
}  // namespace

void pen_set_resolver(pen_resolver resolver) { g_resolver = resolver; }

void pen_set_root(const char* install_dir) {
  g_root = install_dir ? install_dir : "";
  if (!g_root.empty() && g_root.back() != '\\' && g_root.back() != '/') g_root += '\\';
}

int pen_resolve(const char* name, std::string* out) {
  if (!name || !out || !*name) return 0;
  if (g_resolver) return g_resolver(name, out);
  if ((name[0] | 0x20) != 'g' || g_root.empty()) return 0;
  *out = g_root + "GLIB\\" + (name + 1);
  return 1;
}

dib_block* pen_to_grey(dib_block* src) {
  if (!src) return nullptr;
  if (dib_bits(src) == 8 && dib_colours_used(src) == 256) {
    // Only a grey table keeps the bytes as coverage values.
    const unsigned char* t = dib_table(src);
    bool grey = true;
    for (int i = 0; i < 256 && grey; ++i)
      grey = t[i * 4] == i && t[i * 4 + 1] == i && t[i * 4 + 2] == i;
    if (grey) return src;
  }
  dib_block* c = dib_to_24(src);
  dib_free(src);
  if (!c) return nullptr;
  const int32_t w = dib_width(c), h = dib_height(c);
  dib_block* g = dib_create(h, 0, w, 0);
  if (g) {
    for (int32_t y = 0; y < h; ++y) {
      const unsigned char* s = dib_row(c, y);
      unsigned char* d = dib_row(g, y);
      for (int32_t x = 0; x < w; ++x) d[x] = s[x * 3 + 1];
    }
  }
  dib_free(c);
  return g;
}

dib_block* pen_read_grey_file(const char* path) {
  std::string bytes;
  if (!path || !os_read_file(path, bytes, kDibMaxBytes)) return nullptr;
  return pen_to_grey(bmp_decode(bytes.data(), bytes.size()));
}

dib_block* pen_read_grey(const char* name) {
  std::string path;
  if (!pen_resolve(name, &path)) return nullptr;
  return pen_read_grey_file(path.c_str());
}

dib_block* pen_read_pattern(const char* base, const char* entry, const char* file) {
  package_item item;
  if (base && entry && find_pattern(entry, base, &item)) {
    dib_block* b = item.dib;
    item.dib = nullptr;
    if (!b && item.bytes) b = bmp_decode(item.bytes, item.length);
    package_item_free(&item);
    if (b) return pen_to_grey(b);
  }
  return pen_read_grey_file(file);
}
