// Export as BMP, JPEG or PNG. Every writer saves through os_safe_file, so a
// failed export leaves the previous file as it was.
#include <cstring>

#include "base/alloc.h"
#include "base/surface.h"
#include "doc/zun_file.h"
#include "image/image.h"

namespace {
enum class export_kind { bmp, jpeg, png };

export_kind kind_of(const char* p, std::size_t n) {
  auto ends = [&](const char* ext) {
    if (n < 4) return false;
    for (int i = 0; i < 4; ++i) {
      char c = p[n - 4 + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != ext[i]) return false;
    }
    return true;
  };
  if (ends(".JPG")) return export_kind::jpeg;
  if (ends(".PNG")) return export_kind::png;
  return export_kind::bmp;
}

int ends_bmp(const char* p, std::size_t n) {
  return n >= 4 && p[n - 4] == '.' && (p[n - 3] | 0x20) == 'b' && (p[n - 2] | 0x20) == 'm' &&
         (p[n - 1] | 0x20) == 'p';
}

// The current sheet as it would show over nothing: its placed pictures, then
// its paint over them (the order of the screen), with coverage.
paint_surface* transparent_sheet(const doc_sheet* s, int32_t width, int32_t height) {
  paint_surface* out = surface_new(height, width);
  if (!out) return nullptr;
  for (const placed_picture* p = s->pictures; p; p = p->next)
    surface_paste(out, p->x, p->y, p->image, p->width, p->height, p->mask, p->opacity);
  const paint_surface* paint = s->surface;
  if (paint) {
    const dib_rect r =
        paint->kind ? surface_changed_area(paint, 0) : dib_rect{0, 0, paint->width, paint->height};
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) surface_copy_pixel(paint, out, x, y);
  }
  return out;
}

// Every sheet over white. A hidden background shows nothing (its
// checkerboard only marks transparency on screen).
dib_block* render_for_export(const zun_file_data& d) {
  dib_block* b = dib_create(d.height, 1, d.width, 0xFFFFFF);
  if (!b) return nullptr;
  for (const doc_sheet* s = d.sheets; s; s = s->next) {
    doc_sheet one = *s;
    one.next = nullptr;
    if (one.background && !one.background->shown) one.background = nullptr;
    sheet_draw(&one, b, nullptr, 1.0f, 1.0f);
  }
  return b;
}
}  // namespace

int zun_file::doc_export(const char* p) {
  if (!active || !p || data->sheet_count <= 0 || !data->current_sheet()) return 0;
  char out[kDocPathMax + 1];
  std::size_t n = std::strlen(p);
  if (n == 0 || n > kDocPathMax) return 0;
  std::memcpy(out, p, n + 1);
  const export_kind kind = kind_of(out, n);
  if (kind == export_kind::bmp && !ends_bmp(out, n)) {
    // Unknown extensions still export: as a BMP under the name plus ".BMP".
    if (n + 4 > kDocPathMax) return 0;
    std::memcpy(out + n, ".BMP", 5);
  }
  const sheet_background* bg = data->current_background();
  if (kind == export_kind::png && (!bg || !bg->shown)) {
    paint_surface* s = transparent_sheet(data->current_sheet(), data->width, data->height);
    const int ok = s && png_write(out, s->colour, s->coverage);
    surface_free(s);
    return ok;
  }
  dib_block* all = render_for_export(*data);
  if (!all) return 0;
  int ok = 0;
  switch (kind) {
    case export_kind::bmp:
      ok = bmp_write(out, all);
      break;
    case export_kind::jpeg:
      ok = jpeg_write(out, all);
      break;
    case export_kind::png:
      ok = png_write(out, all, nullptr);
      break;
  }
  dib_free(all);
  return ok;
}
