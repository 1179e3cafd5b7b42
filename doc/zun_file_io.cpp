// The controller's files: the path rules, opening documents, pictures,
// templates and copybook models, and saving.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "base/dib_self.h"
#include "base/os.h"
#include "base/state_queue.h"
#include "content/dict_picture.h"
#include "doc/zun_file.h"
#include "doc/zun_picture.h"
#include "doc/zws.h"
#include "image/image.h"

namespace {
std::size_t path_length(const char* p) { return p ? std::strlen(p) : 0; }

// Where the file name's extension starts (its last dot), or the end.
std::size_t extension_at(const char* p, std::size_t n) {
  for (std::size_t i = n; i > 0; --i) {
    const char c = p[i - 1];
    if (c == '/' || c == '\\' || c == ':') break;
    if (c == '.') return i - 1;
  }
  return n;
}

// Copies the rows of a 24-bit picture centred into a 24-bit target (of the
// document size), clipped to it.
void draw_centred(dib_block* target, const dib_block* picture) {
  const int32_t tw = dib_width(target), th = dib_height(target);
  const int32_t pw = dib_width(picture), ph = dib_height(picture);
  if (dib_bits(target) != 24 || dib_bits(picture) != 24) return;
  const int32_t x0 = (tw - pw) / 2, y0 = (th - ph) / 2;
  const dib_rect r = dib_rect_intersect(dib_rect{x0, y0, x0 + pw, y0 + ph}, dib_rect{0, 0, tw, th});
  if (dib_rect_empty(r)) return;
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::memcpy(dib_pixel(target, r.left, y), dib_pixel(picture, r.left - x0, y - y0),
                std::size_t(r.right - r.left) * 3);
}

// A model image toned towards mid grey at 70 %: v + (128 - v) * 0.7, rounded.
void tone_model(dib_block* b) {
  uint8_t map[256];
  for (int v = 0; v < 256; ++v) map[v] = static_cast<uint8_t>(std::lround(v + (128 - v) * 0.7));
  const std::size_t n = std::size_t(dib_width(b)) * 3;
  for (int32_t y = 0; y < dib_height(b); ++y) {
    unsigned char* row = dib_row(b, y);
    for (std::size_t i = 0; i < n; ++i) row[i] = map[row[i]];
  }
}
}  // namespace

void zun_file::set_path(const char* p) {
  const std::size_t n = path_length(p);
  if (n == 0 || n > kDocPathMax) {
    path[0] = 0;
    path_is_document = 1;
  } else if (zws_path(p)) {
    std::memcpy(path, p, n + 1);
    path_is_document = 1;
  } else {
    // A picture's name only suggests where its document would go.
    std::size_t base = extension_at(p, n);
    if (base + 4 > kDocPathMax) base = kDocPathMax - 4;
    std::memcpy(path, p, base);
    std::memcpy(path + base, ".zws", 5);
    path_is_document = 0;
    if (app_initialised()) modified = 1;
  }
  if (app_initialised()) post_change(kStateView4096);
}

// Reads the file into the document: a document, or a picture made into a new
// one of its size. The caller recreated the history.
int zun_file::load(const char* p) {
  if (zws_path(p)) return read_document(*data, p);
  dib_block* alpha = nullptr;
  dib_block* picture = zun_path(p) ? zun_picture_read(p) : image_load_alpha(p, &alpha);
  int ok = picture && data->doc_data_new(dib_width(picture), dib_height(picture));
  if (ok) {
    const int32_t x = (data->width - dib_width(picture)) / 2;
    const int32_t y = (data->height - dib_height(picture)) / 2;
    if (alpha) {
      // A picture with transparency stays a painting over the paper.
      surface_paste(data->current_surface(), x, y, picture, 0, 0, alpha, 1.0f);
    } else {
      sheet_background* b = data->current_background();
      ok = b && b->image;
      if (ok) draw_centred(b->image, picture);
    }
  }
  dib_free(picture);
  dib_free(alpha);
  return ok;
}

int zun_file::open_common(const char* p) {
  if (!active || path_length(p) == 0 || path_length(p) > kDocPathMax || !os_file_exists(p) ||
      os_is_folder(p))
    return 0;
  int ok = recreate_history() && load(p);
  if (!ok) {
    // Never the old document half replaced: a fresh untitled one.
    doc_new(0, 0);
  }
  data->doc_mark_dirty(nullptr, 0);
  if (app_initialised()) {
    modified = 0;
    for (uint32_t key : {kStateView4096, kStateView, kStateHistory, kStateDocument256,
                         kStateDocument512, kStateModified})
      post_change(key);
  }
  return ok;
}

int zun_file::doc_open(const char* p) {
  if (!open_common(p)) return 0;
  set_path(p);
  return 1;
}

int zun_file::doc_open_template(const char* p) {
  if (!open_common(p)) return 0;
  set_path(nullptr);
  if (app_initialised()) modified = 1;
  return 1;
}

int zun_file::doc_open_model(const char* p, int mode) {
  if (!active || path_length(p) == 0) return 0;
  app_self_dib model;
  if (!load_picture_file(model, p) || !model.image()) return 0;
  dib_block* image =
      dib_bits(model.image()) == 24 ? dib_clone(model.image()) : dib_to_24(model.image());
  if (!image) return 0;
  if (mode == 1) tone_model(image);
  int ok = doc_new(dib_width(image), dib_height(image));
  sheet_background* b = ok ? data->current_background() : nullptr;
  if (b && b->image) draw_centred(b->image, image);
  dib_free(image);
  if (!b || !b->image) return 0;
  set_path(nullptr);
  data->doc_mark_dirty(nullptr, 0);
  if (app_initialised()) {
    modified = 1;
    post_change(kStateDocument512);
    post_change(kStateModified);
  }
  return 1;
}

int zun_file::doc_save(const char* p) {
  if (!active || path_length(p) > kDocPathMax || !write_document(*data, p)) return 0;
  set_path(p);
  modified = 0;
  if (app_initialised()) post_change(kStateModified);
  return 1;
}

int zun_file::doc_save_copy(const char* p) {
  if (!active || path_length(p) == 0) return 0;
  if (zws_path(p)) return path_length(p) <= kDocPathMax && write_document(*data, p);
  return doc_export(p);
}

int zun_file::doc_erase_region(const surface_rgn* region) {
  paint_surface* s = surface();
  if (!s) return 0;
  history_push(1);
  const int ok = surface_fill_region(s, region, 255, 255, 255);
  data->doc_mark_dirty(nullptr, 1);
  return ok;
}
