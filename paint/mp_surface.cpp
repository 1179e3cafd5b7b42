// Dabs and colour queries over a paint_surface.
#include "paint/mp_surface.h"

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/dib_pixel.h"
#include "base/surface.h"
#include "paint/mp_mathf.h"

namespace {
inline mp_surface* self_of(MyPaintSurface* iface) { return reinterpret_cast<mp_surface*>(iface); }

int draw_dab_cb(MyPaintSurface* iface, float x, float y, float radius, float r, float g, float b,
                float opaque, float hardness, float alpha_eraser, float aspect_ratio, float angle,
                float /*lock_alpha*/, float /*colorize*/) {
  return mp_surface_draw_dab(self_of(iface), x, y, radius, r, g, b, opaque, hardness, alpha_eraser,
                             aspect_ratio, angle);
}

void get_color_cb(MyPaintSurface* iface, float x, float y, float radius, float* r, float* g,
                  float* b, float* a) {
  float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  // Outside the layer there is nothing to pick up: transparent black.
  mp_surface_get_color(self_of(iface), x, y, radius, rgba);
  *r = rgba[0], *g = rgba[1], *b = rgba[2], *a = rgba[3];
}

void begin_atomic_cb(MyPaintSurface*) {}
void end_atomic_cb(MyPaintSurface* iface, MyPaintRectangle* roi) {
  if (!roi) return;
  const dib_rect& c = self_of(iface)->changed;
  roi->x = c.left, roi->y = c.top;
  roi->width = c.right - c.left, roi->height = c.bottom - c.top;
}
void destroy_cb(MyPaintSurface*) {}  // owned by its engine
void save_png_cb(MyPaintSurface*, const char*, int, int, int, int) {}

inline float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline int to_byte(float v) { return int(clamp01(v) * 255.0f + 0.5f); }

inline unsigned char* colour_at(const paint_surface* s, int32_t x, int32_t y) {
  return s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - y) + std::size_t(x) * 3;
}
inline unsigned char* coverage_at(const paint_surface* s, int32_t x, int32_t y) {
  if (!s->coverage_bits) return nullptr;
  return s->coverage_bits + std::size_t(s->coverage_stride) * (s->height - 1 - y) + x;
}
}  // namespace

void mp_blend_run(unsigned char* px, unsigned char* cov, const float* g, int n, uint32_t colour) {
  int k = 0;
  if (cov) {
#if defined(__SSE2__)
    // Four pixels at a time with the very operations of dib_px_over, in its
    // order: each lane rounds as the scalar code does.
    const __m128 one = _mm_set1_ps(1.0f), slack = _mm_set1_ps(kDibTruncSlack);
    const __m128 f255 = _mm_set1_ps(255.0f), zero = _mm_setzero_ps();
    const __m128 cb = _mm_set1_ps(float(dib_blue(colour))), cg = _mm_set1_ps(float(dib_green(colour))),
                 cr = _mm_set1_ps(float(dib_red(colour)));
    for (; k + 4 <= n; k += 4) {
      __m128 gv = _mm_loadu_ps(g + k);
      const __m128 full = _mm_cmpge_ps(gv, _mm_set1_ps(0.99f));  // dib_opacity
      gv = _mm_or_ps(_mm_and_ps(full, one), _mm_andnot_ps(full, gv));
      const int live = _mm_movemask_ps(_mm_cmpgt_ps(gv, zero));
      if (!live) continue;
      unsigned char* p = px + 3 * k;
      const __m128 a = _mm_setr_ps(alpha_table[cov[k]], alpha_table[cov[k + 1]],
                                   alpha_table[cov[k + 2]], alpha_table[cov[k + 3]]);
      const __m128 p0 = _mm_setr_ps(p[0], p[3], p[6], p[9]);
      const __m128 p1 = _mm_setr_ps(p[1], p[4], p[7], p[10]);
      const __m128 p2 = _mm_setr_ps(p[2], p[5], p[8], p[11]);
      const __m128 t = _mm_sub_ps(_mm_add_ps(gv, a), _mm_mul_ps(gv, a));
      // Lanes with g = 0 may divide by zero; they are not written back.
      const __m128 keep = _mm_mul_ps(_mm_sub_ps(one, gv), _mm_div_ps(a, t));
      const __m128 add = _mm_div_ps(gv, t);
      alignas(16) int32_t b0[4], b1[4], b2[4], ba[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(b0),
                      _mm_cvttps_epi32(_mm_add_ps(_mm_add_ps(_mm_mul_ps(keep, p0), _mm_mul_ps(add, cb)), slack)));
      _mm_store_si128(reinterpret_cast<__m128i*>(b1),
                      _mm_cvttps_epi32(_mm_add_ps(_mm_add_ps(_mm_mul_ps(keep, p1), _mm_mul_ps(add, cg)), slack)));
      _mm_store_si128(reinterpret_cast<__m128i*>(b2),
                      _mm_cvttps_epi32(_mm_add_ps(_mm_add_ps(_mm_mul_ps(keep, p2), _mm_mul_ps(add, cr)), slack)));
      _mm_store_si128(reinterpret_cast<__m128i*>(ba),
                      _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(t, f255), slack)));
      for (int l = 0; l < 4; ++l) {
        if (!(live & (1 << l))) continue;
        p[3 * l] = uint8_t(b0[l]), p[3 * l + 1] = uint8_t(b1[l]), p[3 * l + 2] = uint8_t(b2[l]);
        cov[k + l] = uint8_t(ba[l]);
      }
    }
#endif
    for (; k < n; ++k)
      if (g[k] > 0.0f) dib_px_over(px + 3 * k, cov + k, colour, g[k]);
  } else {
    for (; k < n; ++k)
      if (g[k] > 0.0f) dib_px_over(px + 3 * k, nullptr, colour, g[k]);
  }
}

mp_surface::mp_surface() {
  iface.draw_dab = draw_dab_cb;
  iface.get_color = get_color_cb;
  iface.begin_atomic = begin_atomic_cb;
  iface.end_atomic = end_atomic_cb;
  iface.destroy = destroy_cb;
  iface.save_png = save_png_cb;
  iface.refcount = 1;
}

int mp_surface_draw_dab(mp_surface* s, float x, float y, float radius, float r, float g, float b,
                        float opaque, float hardness, float alpha_eraser, float aspect_ratio,
                        float angle) {
  paint_surface* layer = s ? s->layer : nullptr;
  if (!layer) return 0;
  ++s->dabs;
  opaque = clamp01(opaque);
  hardness = clamp01(hardness);
  // NaN fails every comparison: such a dab draws nothing either.
  if (!(opaque > 0.0f) || !(radius >= 0.1f) || !(hardness > 0.0f)) return 0;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return 0;
  if (s->oil) {
    // Oil paint never thins below a quarter of the loaded colour.
    r = std::fmax(r, s->pen_r * 0.25f);
    g = std::fmax(g, s->pen_g * 0.25f);
    b = std::fmax(b, s->pen_b * 0.25f);
  }
  alpha_eraser = clamp01(alpha_eraser);
  if (!(aspect_ratio >= 1.0f)) aspect_ratio = 1.0f;
  const int red = to_byte(r), green = to_byte(g), blue = to_byte(b);
  const uint32_t colour = dib_colour(red, green, blue);

  const float fringe = radius + 1.0f;
  // Dabs far outside the layer touch nothing; this also keeps the integer
  // bounds below in range.
  if (x + fringe < 0.0f || y + fringe < 0.0f || x - fringe > float(layer->width) ||
      y - fringe > float(layer->height))
    return 0;
  // Bounds in double, limited to the layer before they become integers (a
  // radius far beyond the layer must not overflow them).
  const auto limit = [](double v, double hi) { return int32_t(v < 0.0 ? 0.0 : (v > hi ? hi : v)); };
  const double left = std::floor(double(x) - fringe), top = std::floor(double(y) - fringe);
  const double span = std::ceil(2.0 * double(fringe));
  int32_t row0 = limit(top, layer->height), row1 = limit(std::ceil(double(y) + fringe), layer->height - 1);
  int32_t col0 = limit(left, layer->width), col1 = limit(std::ceil(double(x) + fringe), layer->width - 1);
  const dib_rect clipped{limit(left, layer->width), limit(top, layer->height),
                         limit(left + span, layer->width), limit(top + span, layer->height)};

  const float a = angle / 360.0f * 2.0f * 3.14159265358979f;
  float cs, sn;
  mp_sincosf(a, &sn, &cs);  // inline: the Windows runtime's sincosf is x87 code
  const float inv_r2 = 1.0f / (radius * radius);
  const bool hard = hardness >= 1.0f;
  const float outer = hard ? 0.0f : hardness / (1.0f - hardness);
  const float inv_h = 1.0f / hardness;
  const float base = opaque * alpha_eraser;

  const dib_block* paper = s->paper;
  const int32_t pw = paper ? dib_width(paper) : 0, ph = paper ? dib_height(paper) : 0;
  if (paper && (pw <= 0 || ph <= 0 || dib_bits(paper) != 8)) paper = nullptr;

  const surface_rgn* mask = s->mask;
  // Without a reduced copy a row is blended in runs straight in the blocks;
  // otherwise pixel by pixel through the surface operations.
  const bool fast = layer->reduced_bits == nullptr;
  int32_t min_x = INT32_MAX, min_y = INT32_MAX, max_x = -1, max_y = -1;
  float run[kMpRun];
  // Each row meets the ellipse in one interval of columns: found from the
  // quadratic in xx (in double, widened by a column each side), so that only
  // pixels near it are tested; the per-pixel test below still decides, so
  // the interval changes nothing but the work.
  const double qa = double(sn) * sn * aspect_ratio * aspect_ratio + double(cs) * cs;
  for (int32_t i = row0; i <= row1; ++i) {
    const float yy = float(i) + 0.5f - y;
    int32_t lo = col0, hi = col1;
    if (col1 - col0 >= 16) {  // narrow boxes: testing every pixel is cheaper
      const double qb = 2.0 * yy * sn * cs * (1.0 - double(aspect_ratio) * aspect_ratio);
      const double qc = double(yy) * yy * (double(cs) * cs * aspect_ratio * aspect_ratio + double(sn) * sn) -
                        double(radius) * radius;
      const double disc = qb * qb - 4.0 * qa * qc;
      if (disc < -1e-5 * (qb * qb + 4.0 * std::fabs(qa * qc))) continue;
      const double root = std::sqrt(disc > 0.0 ? disc : 0.0);
      const double xa = (-qb - root) / (2.0 * qa), xb = (-qb + root) / (2.0 * qa);
      const double ja = std::floor(xa + x - 0.5) - 1.0, jb = std::ceil(xb + x - 0.5) + 1.0;
      if (ja > double(lo)) lo = int32_t(ja);
      if (jb < double(hi)) hi = int32_t(jb);
      if (lo > hi) continue;
    }
    const unsigned char* paper_row = paper ? dib_row(paper, (i < 0 ? -i : i) % ph) : nullptr;
    const float yycs = yy * cs, yysn = yy * sn;
    for (int32_t c0 = lo; c0 <= hi; c0 += kMpRun) {
      const int32_t n = hi - c0 + 1 < kMpRun ? hi - c0 + 1 : kMpRun;
      int32_t first = -1, last = -1;
      int32_t k = 0;
#if defined(__SSE2__)
      if (!mask && !paper_row) {
        // Four columns at a time, with the scalar loop's operations in its order.
        const __m128 vx = _mm_set1_ps(x), half = _mm_set1_ps(0.5f), one = _mm_set1_ps(1.0f);
        const __m128 vcs = _mm_set1_ps(cs), vsn = _mm_set1_ps(sn), vasp = _mm_set1_ps(aspect_ratio);
        const __m128 vyycs = _mm_set1_ps(yycs), vyysn = _mm_set1_ps(yysn), vir2 = _mm_set1_ps(inv_r2);
        const __m128 vbase = _mm_set1_ps(base), vh = _mm_set1_ps(hardness), vinvh = _mm_set1_ps(inv_h);
        const __m128 vbo = _mm_set1_ps(base * outer), zero = _mm_setzero_ps();
        const __m128 full = _mm_set1_ps(0.99f);
        for (; k + 4 <= n; k += 4) {
          const float j0 = float(c0 + k);
          const __m128 jf = _mm_setr_ps(j0, j0 + 1.0f, j0 + 2.0f, j0 + 3.0f);
          const __m128 xx = _mm_sub_ps(_mm_add_ps(jf, half), vx);
          const __m128 yyr = _mm_mul_ps(_mm_sub_ps(vyycs, _mm_mul_ps(xx, vsn)), vasp);
          const __m128 xxr = _mm_add_ps(vyysn, _mm_mul_ps(xx, vcs));
          const __m128 rr = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(yyr, yyr), _mm_mul_ps(xxr, xxr)), vir2);
          __m128 op;
          if (hard) {
            op = vbase;
          } else {
            const __m128 in = _mm_mul_ps(vbase, _mm_sub_ps(_mm_add_ps(rr, one), _mm_mul_ps(rr, vinvh)));
            const __m128 out = _mm_mul_ps(vbo, _mm_sub_ps(one, rr));
            const __m128 sel = _mm_cmplt_ps(rr, vh);
            op = _mm_or_ps(_mm_and_ps(sel, in), _mm_andnot_ps(sel, out));
          }
          op = _mm_and_ps(_mm_cmple_ps(rr, one), op);
          op = _mm_and_ps(_mm_cmpgt_ps(op, zero), op);  // also NaN
          const __m128 top = _mm_cmpge_ps(op, full);
          op = _mm_or_ps(_mm_and_ps(top, one), _mm_andnot_ps(top, op));
          _mm_storeu_ps(run + k, op);
          const int live = _mm_movemask_ps(_mm_cmpgt_ps(op, zero));
          if (live) {
            if (first < 0) first = k + __builtin_ctz(unsigned(live));
            last = k + 31 - __builtin_clz(unsigned(live));
          }
        }
      }
#endif
      for (; k < n; ++k) {
        const int32_t j = c0 + k;
        const float xx = float(j) + 0.5f - x;
        const float yyr = (yycs - xx * sn) * aspect_ratio;
        const float xxr = yysn + xx * cs;
        const float rr = (yyr * yyr + xxr * xxr) * inv_r2;
        float opacity = 0.0f;
        if (rr <= 1.0f && (!mask || surface_rgn_inside(mask, j, i))) {
          if (hard)
            opacity = base;
          else if (rr < hardness)
            opacity = base * (rr + 1.0f - rr * inv_h);
          else
            opacity = base * outer * (1.0f - rr);
          if (paper_row) opacity *= alpha_table[paper_row[(j < 0 ? -j : j) % pw]];
          opacity = dib_opacity(opacity);
        }
        run[k] = opacity;
        if (opacity > 0.0f) {
          if (first < 0) first = k;
          last = k;
        }
      }
      if (first < 0) continue;
      if (fast) {
        unsigned char* px = colour_at(layer, c0 + first, i);
        unsigned char* cov = coverage_at(layer, c0 + first, i);
        if (s->eraser) {
          for (int32_t k = first; k <= last; ++k, px += 3)
            if (run[k] > 0.0f) dib_px_fade(px, cov ? cov + (k - first) : nullptr, run[k]);
        } else {
          mp_blend_run(px, cov, run + first, last - first + 1, colour);
        }
        if (c0 + first < min_x) min_x = c0 + first;
        if (c0 + last > max_x) max_x = c0 + last;
        if (i < min_y) min_y = i;
        max_y = i;
      } else {
        for (int32_t k = first; k <= last; ++k) {
          if (!(run[k] > 0.0f)) continue;
          if (s->eraser)
            surface_fade_pixel(layer, c0 + k, i, run[k]);
          else
            surface_blend_pixel(layer, c0 + k, i, red, green, blue, run[k]);
        }
      }
    }
  }
  if (fast && max_x >= 0) surface_note_rect(layer, dib_rect{min_x, min_y, max_x + 1, max_y + 1});

  if (dib_rect_empty(clipped)) return 0;
  s->changed = dib_rect_empty(s->changed) ? clipped : dib_rect_union(s->changed, clipped);
  return 1;
}

int mp_surface_get_color(mp_surface* s, float x, float y, float radius, float rgba[4]) {
  const paint_surface* layer = s ? s->layer : nullptr;
  if (!layer || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return 0;
  if (radius < 1.0f) radius = 1.0f;
  const bool has_alpha = layer->coverage_bits != nullptr;
  const float box = radius + 1.0f;
  if (x + box < 0.0f || y + box < 0.0f || x - box > float(layer->width) ||
      y - box > float(layer->height))
    return 0;
  const auto limit = [](double v, double hi) { return int32_t(v < 0.0 ? 0.0 : (v > hi ? hi : v)); };
  const int32_t row0 = limit(std::floor(double(y) - box), layer->height);
  const int32_t row1 = limit(std::ceil(double(y) + box), layer->height - 1);
  const int32_t col0 = limit(std::floor(double(x) - box), layer->width);
  const int32_t col1 = limit(std::ceil(double(x) + box), layer->width - 1);
  const float inv_r2 = 1.0f / (radius * radius);
  float sum_r = 0, sum_g = 0, sum_b = 0, sum_a = 0, sum_w = 0;
  float last_r = 1.0f, last_g = 1.0f, last_b = 1.0f;  // white before any pixel
  int count = 0;
  for (int32_t i = row0; i <= row1; ++i) {
    const float dy = float(i) + 0.5f - y;
    for (int32_t j = col0; j <= col1; ++j) {
      const float dx = float(j) + 0.5f - x;
      const float d = (dx * dx + dy * dy) * inv_r2;
      if (d > 1.0f) continue;
      const float w = 1.0f - d;
      const unsigned char* p = colour_at(layer, j, i);
      const unsigned char* c = coverage_at(layer, j, i);
      const unsigned char alpha = c ? *c : 255;
      if (alpha) {
        last_r = alpha_table[p[2]], last_g = alpha_table[p[1]], last_b = alpha_table[p[0]];
      } else if (s->oil) {
        // Oil over bare paper picks up a streaky mix of the loaded colour.
        last_r = (s->rand.unit() + s->pen_r) * 0.5f;
        last_g = (s->rand.unit() + s->pen_g) * 0.5f;
        last_b = (s->rand.unit() + s->pen_b) * 0.5f;
      }
      sum_r += w * last_r, sum_g += w * last_g, sum_b += w * last_b;
      sum_a += w * alpha_table[alpha];
      sum_w += w;
      ++count;
    }
  }
  if (!count) return 0;
  float r = 0, g = 0, b = 0, a = 1.0f;
  if (sum_w > 0.0f) r = sum_r / sum_w, g = sum_g / sum_w, b = sum_b / sum_w;
  if (has_alpha) {
    a = sum_w > 0.0f ? sum_a / sum_w : 0.0f;
    if (a <= 0.01f) r = g = b = a = 0.0f;
  }
  rgba[0] = clamp01(r), rgba[1] = clamp01(g), rgba[2] = clamp01(b), rgba[3] = clamp01(a);
  return 1;
}
