// The canvas view: mappings, the visibility rule, fit, pan, zoom and angle.
#include "doc/canvas.h"

#include <algorithm>
#include <cmath>

#include "base/state_queue.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

// Exact values at right angles, so 90-degree views map pixels exactly.
void trig(int32_t degrees, double* c, double* s) {
  switch (degrees) {
    case 0:
      *c = 1, *s = 0;
      return;
    case 90:
      *c = 0, *s = 1;
      return;
    case 180:
      *c = -1, *s = 0;
      return;
    case 270:
      *c = 0, *s = -1;
      return;
    default:
      *c = std::cos(degrees * kPi / 180.0);
      *s = std::sin(degrees * kPi / 180.0);
  }
}

int32_t round_away(double v) {
  v = std::round(v);  // half away from zero
  if (!(v > -2147483648.0)) return INT32_MIN;
  if (v > 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(v);
}

dib_rect bbox(const canvas_point* p, int n) {
  dib_rect r{p[0].x, p[0].y, p[0].x, p[0].y};
  for (int i = 1; i < n; ++i) {
    r.left = std::min(r.left, p[i].x), r.right = std::max(r.right, p[i].x);
    r.top = std::min(r.top, p[i].y), r.bottom = std::max(r.bottom, p[i].y);
  }
  return r;
}
}  // namespace

int32_t scale_step_once(int32_t s, int in) {
  if (in)
    s = s == -2 ? 1 : s + 1;
  else
    s = s == 1 ? -2 : s - 1;
  return std::clamp(s, kScaleMin, kScaleMax);
}

zun_file_canvas::~zun_file_canvas() { dib_free(back_buffer); }

void zun_file_canvas::view_setup(int32_t ax, int32_t ay, int32_t aw, int32_t ah) {
  area_x = ax, area_y = ay, area_width = aw, area_height = ah;
  set_up = 1;
  view_fit();
}

int zun_file_canvas::set_document_size(int32_t w, int32_t h) {
  dib_free(back_buffer);
  back_buffer = nullptr;
  offset_x = offset_y = 0;
  scale_step = 1;
  angle = 0;
  active = 0;
  width = w;
  height = h;
  if (w > 0 && h > 0) back_buffer = dib_create(h, 1, w, 0);
  if (!back_buffer) return 0;
  active = 1;
  view_fit();
  return 1;
}

void zun_file_canvas::forward(double x, double y, double* sx, double* sy) const {
  double c, s;
  trig(angle, &c, &s);
  const double cx = width / 2.0, cy = height / 2.0, dx = x - cx, dy = y - cy;
  double rx = cx + dx * c + dy * s + offset_x, ry = cy - dx * s + dy * c + offset_y;
  if (scale_step >= 1) {
    rx *= scale_step, ry *= scale_step;
  } else {
    rx /= -scale_step, ry /= -scale_step;
  }
  *sx = rx, *sy = ry;
}

// The inverse mapping is affine: x = (x0 + Y * xy) + X * xx and the same for
// y. The redraw evaluates it in this very form, so that it takes exactly the
// pixel screen_to_doc names, ties included.
canvas_affine zun_file_canvas::inverse_affine() const {
  double c, s;
  trig(angle, &c, &s);
  const double k = scale_step >= 1 ? 1.0 / scale_step : double(-scale_step);
  const double cx = width / 2.0, cy = height / 2.0, ox = offset_x + cx, oy = offset_y + cy;
  canvas_affine a;
  a.x0 = cx - ox * c + oy * s;
  a.xx = k * c;
  a.xy = -k * s;
  a.y0 = cy - ox * s - oy * c;
  a.yx = k * s;
  a.yy = k * c;
  return a;
}

void zun_file_canvas::inverse(double sx, double sy, double* x, double* y) const {
  const canvas_affine a = inverse_affine();
  *x = (a.x0 + sy * a.xy) + sx * a.xx;
  *y = (a.y0 + sy * a.yy) + sx * a.yx;
}

canvas_point zun_file_canvas::doc_to_screen(double x, double y) const {
  double sx, sy;
  forward(x, y, &sx, &sy);
  return canvas_point{round_away(sx), round_away(sy)};
}

canvas_point zun_file_canvas::screen_to_doc(double x, double y) const {
  double dx, dy;
  inverse(x, y, &dx, &dy);
  return canvas_point{round_away(dx), round_away(dy)};
}

canvas_point zun_file_canvas::window_to_doc(int32_t x, int32_t y) const {
  return screen_to_doc(double(x) - area_x, double(y) - area_y);
}

dib_rect zun_file_canvas::doc_rect_to_screen(const dib_rect& r) const {
  const canvas_point p[4] = {doc_to_screen(r.left, r.top), doc_to_screen(r.right, r.top),
                             doc_to_screen(r.left, r.bottom), doc_to_screen(r.right, r.bottom)};
  return bbox(p, 4);
}

dib_rect zun_file_canvas::screen_rect_to_doc(const dib_rect& r) const {
  const canvas_point p[4] = {screen_to_doc(r.left, r.top), screen_to_doc(r.right, r.top),
                             screen_to_doc(r.left, r.bottom), screen_to_doc(r.right, r.bottom)};
  return bbox(p, 4);
}

int zun_file_canvas::hit_test(int32_t wx, int32_t wy) const {
  if (!ready()) return 0;
  if (wx < area_x || wy < area_y || wx >= int64_t{area_x} + area_width ||
      wy >= int64_t{area_y} + area_height)
    return 0;
  const canvas_point d = window_to_doc(wx, wy);
  return d.x >= 0 && d.y >= 0 && d.x < width && d.y < height;
}

// Whether a proposed offset on one axis keeps the document in sight: it must
// still cover the band 160 pixels inside the area; documents not wider than
// the band are centred instead, never panned.
int zun_file_canvas::axis_visible(int horizontal, int32_t offset) const {
  zun_file_canvas probe_view;  // only the mapping fields matter
  probe_view.width = width, probe_view.height = height;
  probe_view.scale_step = scale_step, probe_view.angle = angle;
  probe_view.offset_x = horizontal ? offset : offset_x;
  probe_view.offset_y = horizontal ? offset_y : offset;
  const dib_rect m = probe_view.doc_rect_to_screen(dib_rect{0, 0, width, height});
  const int32_t lo = horizontal ? m.left : m.top, hi = horizontal ? m.right : m.bottom;
  const int32_t extent = horizontal ? area_width : area_height;
  const int32_t band_lo = kVisibilityMargin, band_hi = extent - kVisibilityMargin;
  if (hi <= band_lo || lo >= band_hi) return 0;
  if (hi - lo <= band_hi - band_lo) return 0;
  return lo <= band_lo && hi >= band_hi;
}

void zun_file_canvas::recentre() {
  if (!axis_visible(1, offset_x)) offset_x = 0;
  if (!axis_visible(0, offset_y)) offset_y = 0;
  const dib_rect m = doc_rect_to_screen(dib_rect{0, 0, width, height});
  auto to_doc = [this](double v) { return scale_step >= 1 ? v / scale_step : v * -scale_step; };
  if (m.right - m.left <= area_width) offset_x = round_away(to_doc(area_width / 2.0) - width / 2.0);
  if (m.bottom - m.top <= area_height)
    offset_y = round_away(to_doc(area_height / 2.0) - height / 2.0);
}

int zun_file_canvas::view_fit() {
  if (!ready()) return 0;
  offset_x = offset_y = 0;
  scale_step = 1;
  angle = 0;
  if (area_width > 0 && area_height > 0) {
    double r = double(width) / area_width;
    const double rh = double(height) / area_height;
    if (rh >= r) r = rh;
    if (r > 1) scale_step = std::max<int32_t>(kScaleMin, -static_cast<int32_t>(std::ceil(r)));
  }
  recentre();
  post_change(kStateView4096);
  post_change(kStateView);
  return 1;
}

int zun_file_canvas::view_pan(int32_t* dx, int32_t* dy) {
  if (!ready() || !dx || !dy) return 0;
  auto to_doc = [this](int32_t v) {
    return scale_step >= 1 ? round_away(double(v) / scale_step)
                           : round_away(double(v) * -scale_step);
  };
  const int32_t ddx = to_doc(*dx), ddy = to_doc(*dy);
  int changed = 0;
  if (ddx && axis_visible(1, offset_x + ddx)) {
    offset_x += ddx;
    changed = 1;
  } else {
    *dx = 0;
  }
  if (ddy && axis_visible(0, offset_y + ddy)) {
    offset_y += ddy;
    changed = 1;
  } else {
    *dy = 0;
  }
  if (changed) post_change(kStateView);
  return changed;
}

int zun_file_canvas::view_key_pan(canvas_key key, int need_space, int space_held) {
  if (!ready() || (need_space && !space_held)) return 0;
  const int horizontal = key == canvas_key::left || key == canvas_key::right;
  const int32_t sign = key == canvas_key::left || key == canvas_key::up ? 1 : -1;
  int32_t& offset = horizontal ? offset_x : offset_y;
  for (int32_t step = 10; step >= 1; --step) {
    if (axis_visible(horizontal, offset + sign * step)) {
      offset += sign * step;
      post_change(kStateView);
      return 1;
    }
  }
  return 0;
}

int zun_file_canvas::view_set_angle(int32_t degrees) {
  if (!ready()) return 0;
  degrees %= 360;
  if (degrees < 0) degrees += 360;
  if (degrees == angle) return 0;
  angle = degrees;
  recentre();
  post_change(kStateView);
  return 1;
}

// Keeps the document point under the window point where it is.
void zun_file_canvas::zoom_about(int32_t wx, int32_t wy, int32_t new_scale) {
  auto to_doc = [](double v, int32_t s) { return s >= 1 ? v / s : v * -s; };
  const double x = double(wx) - area_x, y = double(wy) - area_y;
  const double ox = to_doc(x, new_scale) - to_doc(x, scale_step) + offset_x;
  const double oy = to_doc(y, new_scale) - to_doc(y, scale_step) + offset_y;
  scale_step = new_scale;
  offset_x = round_away(ox);
  offset_y = round_away(oy);
  recentre();
  post_change(kStateView4096);
  post_change(kStateView);
}

int zun_file_canvas::view_zoom_step(int32_t wx, int32_t wy, int in) {
  if (!ready()) return 0;
  const int32_t s = scale_step_once(scale_step, in);
  if (s == scale_step) return 0;
  zoom_about(wx, wy, s);
  return 1;
}

int zun_file_canvas::view_zoom_to(int32_t wx, int32_t wy, int32_t s0, double factor) {
  if (!ready() || !(factor > 0)) return 0;
  int32_t s = std::clamp(s0, kScaleMin, kScaleMax);
  if (s == 0 || s == -1) s = 1;
  if (std::fabs(factor - 1) > 0.01) {
    const int in = factor > 1;
    const double n = std::min(256.0, std::round(in ? factor : 1 / factor));
    for (int i = 0; i < n; ++i) s = scale_step_once(s, in);
  }
  zoom_about(wx, wy, s);
  return 1;
}
