// Reference strokes: a straight line, a curve and a pressure ramp painted by
// every pattern and texture pen at its smallest, middle and largest size,
// compared with the pictures in reference/ (QM_UPDATE_REFERENCES=1 writes
// them anew). Tolerance: no channel more than 24 away, and at most 0.5% of
// the pixels more than 2 away, which absorbs the last-bit differences of
// the two builds' maths libraries in the generated tip profiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/dib.h"
#include "image/image.h"
#include "paint/pen_engine.h"
#include "tests/paint/pen_test_util.h"

namespace {

using surface_ptr = std::unique_ptr<paint_surface, surface_deleter>;

constexpr uint32_t kInk = 0x6a3a1c;  // a dark blue ink (0x00BBGGRR)

struct point {
  int32_t x, y;
  float pressure;
};

// Paints one stroke through the pen as the panels do: begin, then a segment per point.
void stroke(zun_pen_single_engine& pen, paint_surface* s, const point* pts, int n, int has_pressure) {
  ASSERT_EQ(pen.begin_stroke(has_pressure, s, pts[0].x, pts[0].y, pts[0].pressure), 1);
  for (int i = 1; i < n; ++i) {
    dib_rect r;
    pen.stroke_segment(s, pts[i].x, pts[i].y, kInk, 1.0f, pts[i].pressure, has_pressure, 0, 0,
                       nullptr, &r);
  }
  pen.end_stroke();
}

int32_t tip_extent(const zun_pen_single_engine& pen) {
  return pen.desc->kind == kPenTexture ? pen.stamp.size : pen.pattern.params.size;
}

// Three bands: the line, the curve and the ramp; returns the picture over white.
dib_block* paint_sheet(zun_pen_single_engine& pen) {
  const int32_t d = tip_extent(pen);
  const int32_t w = 240 + d, band = d + 36, m = d / 2 + 4;
  surface_ptr s{surface_new(band * 3, w)};
  if (!s) return nullptr;
  point pts[64];
  const int n = 48;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / (n - 1);
    pts[i] = {int32_t(m + t * (w - 2 * m)), band / 2, 1.0f};
  }
  stroke(pen, s.get(), pts, n, 0);
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / (n - 1);
    pts[i] = {int32_t(std::lround(m + t * (w - 2 * m))),
              int32_t(std::lround(band + band / 2 + 14 * std::sin(t * 2 * 3.14159265358979))), 1.0f};
  }
  stroke(pen, s.get(), pts, n, 0);
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / (n - 1);
    pts[i] = {int32_t(m + t * (w - 2 * m)), 2 * band + band / 2, float(0.05 + 0.95 * t)};
  }
  stroke(pen, s.get(), pts, n, 1);
  dib_block* out = dib_create(band * 3, 1, w, 0xffffff);
  if (out) surface_draw_to(s.get(), out, nullptr, 1.0f);
  return out;
}

std::string reference_path(const std::string& name) {
  return std::string(QM_PEN_REFERENCES) + "/" + name;
}

// 1 when the pictures agree within the tolerance; why says otherwise.
int close_enough(const dib_block* a, const dib_block* b, std::string* why) {
  if (dib_width(a) != dib_width(b) || dib_height(a) != dib_height(b)) {
    *why = "size differs";
    return 0;
  }
  long beyond = 0;
  int worst = 0;
  for (int32_t y = 0; y < dib_height(a); ++y) {
    const unsigned char* p = dib_row(a, y);
    const unsigned char* q = dib_row(b, y);
    for (int32_t x = 0; x < dib_width(a); ++x) {
      int diff = 0;
      for (int c = 0; c < 3; ++c) diff = std::max(diff, std::abs(p[x * 3 + c] - q[x * 3 + c]));
      worst = std::max(worst, diff);
      beyond += diff > 2;
    }
  }
  const long limit = long(dib_width(a)) * dib_height(a) / 200;
  char text[128];
  std::snprintf(text, sizeof text, "worst channel difference %d, %ld pixels beyond 2 (limit %ld)",
                worst, beyond, limit);
  *why = text;
  return worst <= 24 && beyond <= limit;
}

class Reference : public ::testing::TestWithParam<int> {};

TEST_P(Reference, StrokesMatchTheirPictures) {
  pen_picture_tree();
  const int id = GetParam();
  const bool update = std::getenv("QM_UPDATE_REFERENCES") &&
                      std::string(std::getenv("QM_UPDATE_REFERENCES")) == "1";
  for (float fraction : {0.0f, 0.5f, 1.0f}) {
    std::unique_ptr<zun_pen_single_engine> pen{new zun_pen_single_engine};
    pen->fixed_seed = 20261208;
    ASSERT_EQ(pen->select_pen(id, 0), 1) << id;
    ASSERT_EQ(pen->set_size(fraction), 1) << id;
    char name[64];
    std::snprintf(name, sizeof name, "pen%02d_s%02d.png", id, int(pen->size));
    SCOPED_TRACE(name);
    dib_block* actual = paint_sheet(*pen);
    ASSERT_NE(actual, nullptr);
    if (update) {
      EXPECT_EQ(png_write(reference_path(name).c_str(), actual, nullptr), 1);
    } else {
      dib_block* expected = png_read(reference_path(name).c_str(), nullptr);
      std::string why = "reference missing";
      const int ok = expected && close_enough(actual, expected, &why);
      if (!ok) {
        const std::string out = std::string(name) + ".actual.png";
        png_write(out.c_str(), actual, nullptr);
        ADD_FAILURE() << name << ": " << why << "; actual picture written to " << out;
      }
      dib_free(expected);
    }
    dib_free(actual);
  }
}

INSTANTIATE_TEST_SUITE_P(PatternPens, Reference, ::testing::Range(0, 13));
INSTANTIATE_TEST_SUITE_P(TexturePens, Reference, ::testing::Range(20, 33));

}  // namespace
