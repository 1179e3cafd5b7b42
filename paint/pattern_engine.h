#pragma once
// The pattern engine: pattern pens (types 1-13) as precomputed tips laid
// along each segment, most of them passed through a per-strength transfer
// table, some with their own blend (type 5 wash, type 7 multiply, type 10
// lit sphere). The state is one fixed block held inside the pen object.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/dab_walk.h"
#include "paint/pattern_tips.h"
#include "paint/pattern_types.h"

inline constexpr int kColourCacheSize = 81920;

struct pattern_engine {
  pattern_params params;
  int32_t tip_count = 0;
  unsigned char* tips = nullptr;      // tip_count tips of d x d
  unsigned char* work = nullptr;      // one tip
  unsigned char* transfer = nullptr;  // 512 x 512
  int loaded = 0;
  pattern_rng rng;

  // Stroke state.
  dab_walk walk;
  paint_surface* layer = nullptr;
  const surface_rgn* mask = nullptr;
  const dib_block* paper = nullptr;
  unsigned char colour[3] = {0, 0, 0};  // red, green, blue
  float opacity = 1.0f;
  int first_dab = 0;
  paint_surface* begin_copy = nullptr;  // type 5: the layer as the stroke began
  unsigned char* plane = nullptr;       // type 5: what each pixel received
  int32_t dabs = 0;                     // of the last segment
  uint32_t colour_cache[kColourCacheSize];  // type 10: 0x00BBGGRR per tip pixel
};

// Builds the tip set for (type, eraser, size) from the pattern folder (a
// resolved path; null or missing: everything generated). seed feeds the
// random generator. Releases what the engine held first. 0 only without memory.
int pattern_load(pattern_engine& e, int32_t type, int32_t eraser, int32_t size,
                 const char* folder, uint32_t seed);
void pattern_release(pattern_engine& e);

int pattern_begin(pattern_engine& e, paint_surface* layer, int32_t x, int32_t y, float pressure);
// One segment to (x, y); colour 0x00BBGGRR. Nonzero when pixels changed;
// changed receives the dab rectangles, clipped to the layer.
int pattern_segment(pattern_engine& e, paint_surface* layer, int32_t x, int32_t y,
                    uint32_t colour, float opacity, float pressure, const dib_block* paper,
                    const surface_rgn* mask, dib_rect* changed);
void pattern_end(pattern_engine& e);
void pattern_cancel(pattern_engine& e);

// The tip a dab at strength q uses before compositing (mode 0: mapped
// through the table for phase (fx, fy)). Into e.work; exposed for tests.
const unsigned char* pattern_dab_tip(pattern_engine& e, double fx, double fy, double q);
// Spacing of the dab walk in pixels.
double pattern_spacing(const pattern_engine& e);
