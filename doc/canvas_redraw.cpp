// Presenting the back buffer in the desktop bitmap at any scale and angle.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/alloc.h"
#include "doc/canvas.h"
#include "doc/file_data.h"

namespace {
int32_t floor_div(int32_t a, int32_t b) {
  const int32_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
}  // namespace

int zun_file_canvas::view_redraw(zun_file_data& data, dib_block* desktop, dib_rect* screen) {
  if (screen) *screen = dib_rect{0, 0, 0, 0};
  if (!ready()) return 0;
  dib_rect drawn;
  if (!data.doc_render_dirty(back_buffer, &drawn) || dib_rect_empty(drawn)) return 0;
  return view_present(drawn, desktop, screen);
}

int zun_file_canvas::view_present(const dib_rect& doc_rect, dib_block* desktop, dib_rect* screen) {
  if (screen) *screen = dib_rect{0, 0, 0, 0};
  if (!ready() || dib_bits(desktop) != 24) return 0;
  const dib_rect whole{0, 0, width, height};
  const dib_rect r = dib_rect_intersect(doc_rect, whole);
  if (dib_rect_empty(r)) return 0;
  // Rounded corners may miss edge pixels (a rotated pixel reaches half a
  // document pixel past its centre); the per-pixel bounds below keep every
  // read inside the document.
  const int32_t pad = angle != 0 ? std::max(scale_step, 1) + 1 : scale_step != 1 ? 1 : 0;
  auto grown = [pad](const dib_rect& a) {
    return dib_rect{a.left - pad, a.top - pad, a.right + pad, a.bottom + pad};
  };
  dib_rect sr = dib_rect_intersect(grown(doc_rect_to_screen(r)), grown(doc_rect_to_screen(whole)));
  sr = dib_rect_intersect(sr, dib_rect{0, 0, area_width, area_height});
  sr = dib_rect_intersect(
      sr, dib_rect{-area_x, -area_y, dib_width(desktop) - area_x, dib_height(desktop) - area_y});
  if (dib_rect_empty(sr)) return 0;
  if (angle == 0)
    present_straight(sr, desktop);
  else
    present_rotated(sr, desktop);
  if (screen)
    *screen = dib_rect{sr.left + area_x, sr.top + area_y, sr.right + area_x, sr.bottom + area_y};
  return 1;
}

// Angle 0: screen X takes document x = X - offset (1:1), X / s - offset
// (s >= 2: every document pixel an s x s square) or X * |s| - offset
// (s <= -2: point sampling). Rows with the same document row are copied.
void zun_file_canvas::present_straight(const dib_rect& sr, dib_block* desktop) const {
  const int32_t s = scale_step;
  auto doc_of = [s](int32_t v, int32_t offset) {
    return s >= 1 ? floor_div(v, s) - offset : v * -s - offset;
  };
  // The screen columns whose document column exists (the mapping is monotonic).
  int32_t x0 = sr.left, x1 = sr.right;
  while (x0 < x1 && doc_of(x0, offset_x) < 0) ++x0;
  while (x1 > x0 && doc_of(x1 - 1, offset_x) >= width) --x1;
  if (x0 >= x1) return;
  const int32_t n = x1 - x0;
  uint32_t* columns = nullptr;
  if (s != 1) {
    columns = static_cast<uint32_t*>(mem_alloc(sizeof(uint32_t) * n));
    if (!columns) return;
    for (int32_t i = 0; i < n; ++i) columns[i] = uint32_t(doc_of(x0 + i, offset_x)) * 3;
  }
  const unsigned char* previous = nullptr;
  int32_t previous_y = -1;
  for (int32_t Y = sr.top; Y < sr.bottom; ++Y) {
    const int32_t y = doc_of(Y, offset_y);
    if (y < 0 || y >= height) continue;
    unsigned char* out = dib_pixel(desktop, area_x + x0, area_y + Y);
    const unsigned char* src = dib_row(back_buffer, y);
    if (s == 1) {
      std::memcpy(out, src + std::size_t(doc_of(x0, offset_x)) * 3, std::size_t(n) * 3);
    } else if (y == previous_y && previous) {
      std::memcpy(out, previous, std::size_t(n) * 3);
    } else {
      for (int32_t i = 0; i < n; ++i) std::memcpy(out + std::size_t(i) * 3, src + columns[i], 3);
    }
    previous = out;
    previous_y = y;
  }
  mem_free(columns);
}

// Any angle: each screen pixel takes the back-buffer pixel nearest to its
// inverse mapping, evaluated along the row from the row's own start (one
// multiply-add per coordinate, no trigonometry per pixel). The pixels of a row
// that land on the document form one run (the mapping is affine), found
// exactly at its two ends, so the inner loop tests nothing.
void zun_file_canvas::present_rotated(const dib_rect& sr, dib_block* desktop) const {
  const canvas_affine a = inverse_affine();
  const double hi_x = width - 0.5, hi_y = height - 0.5;
  const unsigned char* pixels = dib_pixels(back_buffer);
  const std::size_t stride = dib_stride(back_buffer);
  const int32_t last_row = height - 1;
  for (int32_t Y = sr.top; Y < sr.bottom; ++Y) {
    const double row_x = a.x0 + Y * a.xy, row_y = a.y0 + Y * a.yy;
    // Half away from zero: -0.5 rounds to -1 and width - 0.5 to width, both outside.
    auto on = [&](int32_t X) {
      const double x = row_x + X * a.xx, y = row_y + X * a.yx;
      return x > -0.5 && x < hi_x && y > -0.5 && y < hi_y;
    };
    // The run's real bounds, then each end settled by the exact test.
    double lo = sr.left, hi = sr.right;
    auto clip = [&lo, &hi](double start, double step, double limit) {
      if (step == 0) {
        if (!(start > -0.5 && start < limit)) hi = lo - 3;
        return;
      }
      double t0 = (-0.5 - start) / step, t1 = (limit - start) / step;
      if (t0 > t1) std::swap(t0, t1);
      lo = std::max(lo, t0), hi = std::min(hi, t1);
    };
    clip(row_x, a.xx, hi_x);
    clip(row_y, a.yx, hi_y);
    if (!(hi >= lo - 2)) continue;
    const double left = sr.left, right = sr.right;
    int32_t x0 = static_cast<int32_t>(std::clamp(std::floor(lo), left, right));
    int32_t x1 = static_cast<int32_t>(std::clamp(std::ceil(hi), left, right));
    while (x0 > sr.left && on(x0 - 1)) --x0;
    while (x0 < sr.right && !on(x0)) ++x0;
    if (x1 < x0) x1 = x0;
    while (x1 < sr.right && on(x1)) ++x1;
    while (x1 > x0 && !on(x1 - 1)) --x1;
    unsigned char* out = dib_pixel(desktop, area_x + x0, area_y + Y);
    for (int32_t X = x0; X < x1; ++X, out += 3) {
      const double x = row_x + X * a.xx, y = row_y + X * a.yx;
      const int32_t ix = static_cast<int32_t>(x + 0.5), iy = static_cast<int32_t>(y + 0.5);
      const unsigned char* p = pixels + stride * std::size_t(last_row - iy) + std::size_t(ix) * 3;
      out[0] = p[0], out[1] = p[1], out[2] = p[2];
    }
  }
}
