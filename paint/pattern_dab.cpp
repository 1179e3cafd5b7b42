#include "paint/pattern_dab.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/dib_pixel.h"
#include "paint/pattern_engine.h"
#include "paint/pen_pixels.h"

namespace {

double clampd(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

// Hue-saturation-lightness, all 0..1.
void rgb_to_hsl(double r, double g, double b, double* h, double* s, double* l) {
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  *l = (mx + mn) / 2;
  if (mx == mn) {
    *h = *s = 0;
    return;
  }
  const double d = mx - mn;
  *s = *l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
  double hh;
  if (mx == r) hh = (g - b) / d + (g < b ? 6 : 0);
  else if (mx == g) hh = (b - r) / d + 2;
  else hh = (r - g) / d + 4;
  *h = hh / 6;
}

double hue_channel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

uint32_t hsl_to_colour(double h, double s, double l) {
  double r = l, g = l, b = l;
  if (s > 0) {
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    r = hue_channel(p, q, h + 1.0 / 3);
    g = hue_channel(p, q, h);
    b = hue_channel(p, q, h - 1.0 / 3);
  }
  auto byte = [](double v) { return int(clampd(v, 0, 1) * 255 + 0.5); };
  return dib_colour(byte(r), byte(g), byte(b));
}

// Multiply: each channel keeps existing * (1 - a) + a * existing * pen.
void multiply_pixel(paint_surface* s, int32_t x, int32_t y, const unsigned char rgb[3], float a) {
  unsigned char* p = pen_colour_at(s, x, y);
  const unsigned char pen[3] = {rgb[2], rgb[1], rgb[0]};  // blue, green, red
  for (int i = 0; i < 3; ++i) {
    const double e = p[i] / 255.0;
    p[i] = static_cast<unsigned char>(std::lround((e * (1 - a) + a * e * (pen[i] / 255.0)) * 255));
  }
  if (unsigned char* c = pen_coverage_at(s, x, y)) {
    const float A = alpha_table[*c];
    *c = static_cast<unsigned char>((A + a - A * a) * 255.0f + kDibTruncSlack);
  }
  pen_touched(s, x, y);
}

void restore_pixel(paint_surface* s, const paint_surface* from, int32_t x, int32_t y) {
  std::memcpy(pen_colour_at(s, x, y), pen_colour_at(from, x, y), 3);
  unsigned char* c = pen_coverage_at(s, x, y);
  const unsigned char* o = pen_coverage_at(from, x, y);
  if (c && o) *c = *o;
}

void fill_sphere_cache(pattern_engine& e, int32_t left, int32_t top, double x, double y) {
  const int32_t d = e.params.size;
  uint32_t pen = dib_colour(e.colour[0] < 10 ? 0 : e.colour[0], e.colour[1] < 10 ? 0 : e.colour[1],
                            e.colour[2] < 10 ? 0 : e.colour[2]);
  for (int32_t ty = 0; ty < d; ++ty)
    for (int32_t tx = 0; tx < d; ++tx) {
      const int idx = std::min(ty * d + tx, kColourCacheSize - 1);
      e.colour_cache[idx] = sphere_colour(pen, left + tx - x, top + ty - y, e.params.sphere_radius);
    }
}

}  // namespace

uint32_t sphere_colour(uint32_t colour, double ox, double oy, double R) {
  double h, s, lp;
  rgb_to_hsl(dib_red(colour) / 255.0, dib_green(colour) / 255.0, dib_blue(colour) / 255.0, &h, &s,
             &lp);
  const double t = std::hypot(ox, oy);
  double nx, ny, nz;
  if (t < R) {
    nx = ox / R, ny = oy / R;
    nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
  } else {
    nx = t > 0 ? ox / t : 0, ny = t > 0 ? oy / t : 0, nz = 0;
  }
  const double light = nz / std::sqrt(3.0) - nx / 2 - ny / 2;
  double l = clampd((1 - lp) * light + lp, 0, 1);
  if (l < 0.2 * lp) l = 0.2 * lp;
  return hsl_to_colour(h, s, l);
}

const unsigned char* pattern_dab_tip(pattern_engine& e, double x, double y, double q) {
  const pattern_params& p = e.params;
  const int32_t d = p.size;
  const std::size_t area = std::size_t(d) * d;
  unsigned char* w = e.work;
  if (p.mode == 0) {
    const int col = std::clamp(int((x - std::floor(x)) / 0.1), 0, 9);
    const int row = std::clamp(int((y - std::floor(y)) / 0.1), 0, 9);
    const unsigned char* tip = e.tips + std::size_t(row * 10 + col) * area;
    const int r = std::clamp(int(q * 511), 0, 511);
    const unsigned char* first = e.transfer + r * kTransferSide;
    const unsigned char* second = first + 256;
    switch (p.transfer_use) {
      case kTransferFirst:
        for (std::size_t i = 0; i < area; ++i) w[i] = first[tip[i]];
        break;
      case kTransferBoth:
        for (std::size_t i = 0; i < area; ++i) w[i] = second[first[tip[i]]];
        break;
      case kTransferDrop11:
      case kTransferDrop13: {
        const int m = p.transfer_use == kTransferDrop11 ? 11 : 13;
        for (std::size_t i = 0; i < area; ++i) {
          const unsigned char v = first[tip[i]];
          w[i] = v && e.rng.next() % m < 2 ? 0 : second[v];
        }
        break;
      }
      default:
        std::memcpy(w, tip, area);
    }
    return w;
  }
  const unsigned char* tip = e.tips;
  bool scale = true;
  if (p.mode == 2) {
    const int32_t n = e.tip_count;
    const int32_t i = std::clamp(int32_t(std::floor((1 - q) * n)), 0, n - 1);
    tip = e.tips + std::size_t(i) * area;
    scale = p.type == 5 || p.type == 11;
  }
  if (!scale || std::fabs(q - 1) <= 0.01) {
    std::memcpy(w, tip, area);
  } else {
    const int k = int(q * 256);
    for (std::size_t i = 0; i < area; ++i) w[i] = static_cast<unsigned char>(tip[i] * k >> 8);
  }
  return w;
}

dib_rect pattern_draw_dab(void* context, double x, double y, double strength) {
  pattern_engine& e = *static_cast<pattern_engine*>(context);
  const pattern_params& p = e.params;
  paint_surface* s = e.layer;
  const int32_t d = p.size;
  if (!(std::fabs(x) < 1e9 && std::fabs(y) < 1e9)) return dib_rect{0, 0, 0, 0};  // no int overflow
  const double q = clampd(p.gain * strength, p.min_strength, 1);
  const double half = (d - 1) / 2.0, fx = std::floor(x), fy = std::floor(y);
  const double extra = p.mode == 0 ? 0.9 : 0.0;
  dib_rect r{int32_t(std::floor(fx - half)), int32_t(std::floor(fy - half)),
             int32_t(std::ceil(half + fx + extra)), int32_t(std::ceil(half + fy + extra))};
  const int32_t left = r.left, top = r.top;
  r = dib_rect_intersect(r, dib_rect{-d, -d, s->width + d, s->height + d});
  if (dib_rect_empty(r)) return dib_rect{0, 0, 0, 0};
  const unsigned char* tip = pattern_dab_tip(e, x, y, q);
  if (p.type == 10 && e.first_dab && !p.eraser) fill_sphere_cache(e, left, top, x, y);
  e.first_dab = 0;

  // Only the part of the tip inside the layer is visited.
  const dib_rect in = dib_rect_intersect(
      dib_rect_intersect(r, dib_rect{left, top, left + d, top + d}), dib_rect{0, 0, s->width, s->height});
  if (dib_rect_empty(in)) return dib_rect{0, 0, 0, 0};
  const int32_t pw = e.paper ? dib_width(e.paper) : 0, ph = e.paper ? dib_height(e.paper) : 0;
  const int pbytes = e.paper ? dib_bytes_per_pixel(e.paper) : 0;
  const bool use_mask = e.mask && p.type != 10;
  int32_t x0 = in.right, x1 = in.left, y0 = in.bottom, y1 = in.top;
  for (int32_t py = in.top; py < in.bottom; ++py) {
    const unsigned char* trow = tip + std::size_t(py - top) * d;
    const unsigned char* prow = pw > 0 ? dib_row(e.paper, py % ph) : nullptr;
    for (int32_t px = in.left; px < in.right; ++px) {
      int c = trow[px - left];
      if (c == 0) continue;
      if (use_mask && surface_rgn_cell(e.mask, px, py) == 0) continue;
      const float paper = prow ? alpha_table[prow[(px % pw) * pbytes]] : 1.0f;
      if (p.eraser) {
        surface_fade_pixel(s, px, py, alpha_table[c] * e.opacity * paper);
      } else if (p.type == 5) {
        if (c < p.threshold) c = p.threshold;
        unsigned char& mark = e.plane[std::size_t(py) * s->width + px];
        if (mark == 0) {
          surface_blend_pixel(s, px, py, e.colour[0], e.colour[1], e.colour[2],
                              alpha_table[c] * e.opacity * paper);
          mark = static_cast<unsigned char>(std::max(c, 1));
        } else if (mark > p.threshold && c == p.threshold) {
          restore_pixel(s, e.begin_copy, px, py);
          surface_blend_pixel(s, px, py, e.colour[0], e.colour[1], e.colour[2],
                              alpha_table[p.threshold] * e.opacity * paper);
          mark = static_cast<unsigned char>(p.threshold);
        } else {
          continue;
        }
      } else if (p.type == 7) {
        multiply_pixel(s, px, py, e.colour, alpha_table[c] * e.opacity * paper);
      } else if (p.type == 10) {
        const int idx = std::min((py - top) * d + (px - left), kColourCacheSize - 1);
        const uint32_t k = e.colour_cache[idx];
        surface_blend_pixel(s, px, py, dib_red(k), dib_green(k), dib_blue(k),
                            alpha_table[c] * e.opacity * paper);
      } else {
        surface_blend_pixel(s, px, py, e.colour[0], e.colour[1], e.colour[2],
                            alpha_table[c] * e.opacity * paper);
      }
      x0 = std::min(x0, px), x1 = std::max(x1, px + 1);
      y0 = std::min(y0, py), y1 = std::max(y1, py + 1);
    }
  }
  if (x0 >= x1) return dib_rect{0, 0, 0, 0};
  return dib_rect{x0, y0, x1, y1};
}
