// The brush text parser and the library brush it feeds, on any bytes: the
// parsed settings go into libmypaint (whose mappings assert on bad points)
// and a short stroke is painted onto a small layer.
#include <cstddef>
#include <cstdint>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  long blocks = alloc_count();
  {
    mp_engine engine;
    if (!engine.create()) __builtin_trap();
    if (engine.load_brush_text(reinterpret_cast<const char*>(data), size)) {
      paint_surface* layer = surface_new(48, 64);
      if (!layer) __builtin_trap();
      engine.set_paint(dib_colour(200, 30, 30), 1.0f, 6.0f, nullptr, size & 1);
      engine.begin(10, 10, 0.5f);
      const float path[4][2] = {{30, 20}, {50, 40}, {20, 45}, {-5, 10}};
      for (const auto& p : path) {
        dib_rect r;
        engine.step(layer, p[0], p[1], 0.8f, 0.02, nullptr, &r);
        if (!dib_rect_empty(r) && (r.left < 0 || r.top < 0 || r.right > 64 || r.bottom > 48))
          __builtin_trap();
      }
      engine.end();
      surface_free(layer);
    }
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
