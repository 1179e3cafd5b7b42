#include "paint/pattern_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/alloc.h"
#include "paint/pattern_dab.h"
#include "paint/pen_resources.h"

namespace {

std::string fmt(const char* format, const char* a, const char* b) {
  char text[600];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// A pattern picture by entry name (looked for in the type's package first)
// and file name (in the folder's "bmp" subfolder).
dib_block* read_picture(const char* folder, const char* code, const char* name) {
  if (!folder) return nullptr;
  const std::string base = fmt("%s\\%s", folder, code);
  const std::string file = fmt("%s\\bmp\\%s", folder, name);
  return pen_read_pattern(base.c_str(), name, file.c_str());
}

int load_transfer(pattern_engine& e, const char* folder) {
  char name[64];
  std::snprintf(name, sizeof name, "%s$pre.bmp", e.params.code);
  dib_block* b = read_picture(folder, e.params.code, name);
  const bool ok = b && dib_width(b) == kTransferSide && dib_height(b) == kTransferSide;
  if (ok)
    for (int r = 0; r < kTransferSide; ++r)
      std::memcpy(e.transfer + r * kTransferSide, dib_row(b, r), kTransferSide);
  dib_free(b);
  return ok;
}

// Mode 0: a sheet of 10 x 10 tiles of d x d.
int load_sheet(pattern_engine& e, const char* folder) {
  const int32_t d = e.params.size;
  char name[64];
  std::snprintf(name, sizeof name, "%s$%d.bmp", e.params.code, d);
  dib_block* b = read_picture(folder, e.params.code, name);
  const bool ok = b && dib_width(b) >= 10 * d && dib_height(b) >= 10 * d;
  if (ok) {
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 10; ++c) {
        unsigned char* tip = e.tips + std::size_t(r * 10 + c) * d * d;
        for (int32_t y = 0; y < d; ++y) std::memcpy(tip + y * d, dib_row(b, r * d + y) + c * d, d);
      }
  }
  dib_free(b);
  return ok;
}

// Mode 2: tip (d - n) from the file of size n rounded down to even, centred.
void load_strength_tips(pattern_engine& e, const char* folder) {
  const int32_t d = e.params.size, count = e.tip_count;
  for (int32_t n = d; n > d - count; --n) {
    const int32_t size = std::max(2, n / 2 * 2);
    char name[64];
    std::snprintf(name, sizeof name, "%s%d.bmp", e.params.code, size);
    dib_block* b = read_picture(folder, e.params.code, name);
    if (!b) continue;
    unsigned char* tip = e.tips + std::size_t(d - n) * d * d;
    const int32_t w = std::min(dib_width(b), d), h = std::min(dib_height(b), d);
    const int32_t ox = (d - w) / 2, oy = (d - h) / 2;
    for (int32_t y = 0; y < h; ++y) std::memcpy(tip + (oy + y) * d + ox, dib_row(b, y), w);
    dib_free(b);
  }
}

}  // namespace

void pattern_release(pattern_engine& e) {
  pattern_cancel(e);
  mem_free(e.tips);
  mem_free(e.work);
  mem_free(e.transfer);
  e.tips = e.work = e.transfer = nullptr;
  e.tip_count = 0;
  e.loaded = 0;
}

int pattern_load(pattern_engine& e, int32_t type, int32_t eraser, int32_t size,
                 const char* folder, uint32_t seed) {
  pattern_release(e);
  if (!pattern_params_for(type, size, eraser, &e.params)) return 0;
  const pattern_params& p = e.params;
  const std::size_t area = std::size_t(p.size) * p.size;
  e.tip_count = pattern_tip_count(p.mode, p.size);
  e.tips = static_cast<unsigned char*>(mem_calloc(area * e.tip_count));
  e.work = static_cast<unsigned char*>(mem_calloc(area));
  e.transfer = static_cast<unsigned char*>(mem_calloc(kTransferSide * kTransferSide));
  if (!e.tips || !e.work || !e.transfer) {
    pattern_release(e);
    return 0;
  }
  e.rng.state = seed;
  if (p.transfer_use != kTransferNone && !load_transfer(e, folder))
    transfer_generate(p, e.transfer, e.rng);
  e.loaded = 1;
  if (p.mode == 0 && (type == 13 || p.size >= 12) && load_sheet(e, folder)) return 1;
  if (p.mode == 1) {
    if (type == 3) tip_round(p, e.tips);
    else if (type == 10) tip_soft(p.size, e.tips);
    else std::memset(e.tips, 255, area);
  } else if (p.mode == 2) {
    load_strength_tips(e, folder);
  } else if (!tips_profile(p, e.tips, e.rng)) {
    pattern_release(e);
    return 0;
  }
  return 1;
}

double pattern_spacing(const pattern_engine& e) { return (e.params.size - 1) * e.params.spacing; }

int pattern_begin(pattern_engine& e, paint_surface* layer, int32_t x, int32_t y, float pressure) {
  pattern_cancel(e);
  if (!e.loaded || !layer) return 0;
  if (e.params.type == 5 && !e.params.eraser) {
    // The wash never darkens a pixel twice within a stroke: it needs the
    // layer as it was and a record of what each pixel received.
    e.begin_copy = surface_clone(layer);
    e.plane = static_cast<unsigned char*>(mem_calloc(std::size_t(layer->width) * layer->height));
    if (!e.begin_copy || !e.plane) {
      pattern_cancel(e);
      return 0;
    }
  }
  e.layer = layer;
  walk_begin(e.walk, x, y, pressure);
  e.first_dab = 1;
  return 1;
}

int pattern_segment(pattern_engine& e, paint_surface* layer, int32_t x, int32_t y,
                    uint32_t colour, float opacity, float pressure, const dib_block* paper,
                    const surface_rgn* mask, dib_rect* changed) {
  dib_rect none{0, 0, 0, 0};
  if (!changed) changed = &none;
  *changed = none;
  if (!e.loaded || !layer || e.walk.state == 0 || layer != e.layer) return 0;
  // A one-pixel tip has no spacing; such a walk could not advance.
  const double spacing = pattern_spacing(e);
  if (!(spacing > 0)) return 0;
  e.colour[0] = dib_red(colour), e.colour[1] = dib_green(colour), e.colour[2] = dib_blue(colour);
  e.opacity = std::clamp(opacity, 0.0f, 1.0f);
  e.paper = e.params.uses_paper ? paper : nullptr;
  e.mask = mask;
  e.dabs = walk_segment(e.walk, x, y, pressure, spacing, pattern_draw_dab, &e, changed);
  return !dib_rect_empty(*changed);
}

void pattern_end(pattern_engine& e) { pattern_cancel(e); }

void pattern_cancel(pattern_engine& e) {
  walk_end(e.walk);
  surface_free(e.begin_copy);
  mem_free(e.plane);
  e.begin_copy = nullptr;
  e.plane = nullptr;
  e.layer = nullptr;
  e.mask = nullptr;
  e.paper = nullptr;
  e.first_dab = 0;
}
