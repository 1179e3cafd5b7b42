#include "tests/paint/mp_test_support.h"

#include <cmath>
#include <cstdlib>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"

std::string mp_tree_brush_folder() {
  const char* tree = std::getenv("QM_TREE");
  if (!tree || !*tree) return std::string();
  return std::string(tree) + "\\GLIB\\penpat\\mp";
}

std::vector<mp_event> mp_test_stroke(int width, int height) {
  std::vector<mp_event> events;
  const int n = 100;
  for (int i = 0; i <= n; ++i) {
    const float t = float(i) / n;
    const float x = width * (0.1f + 0.8f * t);
    const float y = height * (0.5f + 0.3f * std::sin(t * 6.2831853f));
    const float p = t < 0.6f ? 0.2f + t / 0.6f * 0.8f : 1.0f - (t - 0.6f) / 0.4f * 0.6f;
    events.push_back(mp_event{x, y, p, 0.01});
  }
  return events;
}

paint_surface* mp_banded_layer(int width, int height) {
  paint_surface* s = surface_new(height, width);
  if (!s) return nullptr;
  const uint32_t bands[3] = {dib_colour(200, 40, 40), dib_colour(40, 160, 60), dib_colour(40, 60, 200)};
  const int x0 = width / 3, x1 = 2 * width / 3;
  for (int x = x0; x < x1; ++x) {
    const uint32_t c = bands[(x - x0) * 3 / (x1 - x0)];
    for (int y = 0; y < height; ++y) surface_paint_pixel(s, x, y, c, 1.0f);
  }
  return s;
}

int mp_play(mp_engine& engine, paint_surface* layer, const std::vector<mp_event>& stroke,
            uint32_t colour, float opacity, float size, int oil, dib_rect* dirty) {
  if (dirty) *dirty = dib_rect{0, 0, 0, 0};
  if (stroke.empty()) return 0;
  engine.begin(stroke[0].x, stroke[0].y, stroke[0].pressure);
  int drew = 0;
  for (std::size_t i = 1; i < stroke.size(); ++i) {
    engine.set_paint(colour, opacity, size, nullptr, oil);
    engine.set_eraser(0);
    dib_rect r;
    if (engine.step(layer, stroke[i].x, stroke[i].y, stroke[i].pressure, stroke[i].dtime, nullptr,
                    &r)) {
      ++drew;
      if (dirty) *dirty = dib_rect_empty(*dirty) ? r : dib_rect_union(*dirty, r);
    }
  }
  engine.end();
  return drew;
}

long mp_count_changed(const paint_surface* a, const paint_surface* b) {
  long n = 0;
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x) {
      unsigned char p[4], q[4];
      surface_read_pixel(a, x, y, p);
      surface_read_pixel(b, x, y, q);
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2] || p[3] != q[3]) ++n;
    }
  return n;
}
