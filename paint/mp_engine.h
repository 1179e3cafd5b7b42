#pragma once
// The brush engine of the brush pens (catalogue kind 2): one per selected
// brush pen. The brush dynamics are libmypaint's; this side loads the brush
// text, turns the pen's colour, opacity and size into brush settings, and
// paints the library's dabs into a paint_surface through mp_surface.
//
// Use:  auto* e = new (std::nothrow) mp_engine;
//       e && e->create() && e->load_brush("classic$kabura", folder)
//       stroke: begin(x, y, p); per segment set_paint(...), set_eraser(...),
//       step(layer, x, y, p, dtime, mask, &rect); end().
#include <cstddef>
#include <cstdint>

#include "paint/mp_brush.h"
#include "paint/mp_surface.h"

struct dib_block;
struct dib_rect;
struct paint_surface;
struct surface_rgn;

class mp_engine {
 public:
  mp_engine() = default;
  ~mp_engine();
  mp_engine(const mp_engine&) = delete;
  mp_engine& operator=(const mp_engine&) = delete;

  // Builds the library brush (39 settings at base 0, no mappings) and the
  // surface. 1 on success; ready() then holds.
  int create();
  int ready() const { return ready_; }

  // Finds the brush text of brush_name ("classic$kabura") in the brush
  // package beside folder (the resolved "Gpenpat\mp"), else in the loose file
  // folder\name.myb, and parses it. 0 when not found or no setting named.
  int load_brush(const char* brush_name, const char* folder);
  // The same from text already in memory (need not be zero-terminated).
  int load_brush_text(const char* text, std::size_t length);

  // Before every segment: colour 0x00BBGGRR, opacity 0..1, size in pixels
  // (the brush radius), paper (8-bit block, optional, not owned; must outlive
  // the segment), oil = the pen's brush_flag.
  void set_paint(uint32_t colour, float opacity, float size, const dib_block* paper, int oil);
  // Before every segment too: 1 makes dabs erase.
  void set_eraser(int eraser);

  int begin(float x, float y, float pressure);
  // One library stroke step to (x, y). 1 when pixels were drawn; changed
  // (optional) gets the union of the dab rectangles clipped to the layer.
  // mask (optional, not owned) limits painting to its nonzero cells.
  int step(paint_surface* layer, float x, float y, float pressure, double dtime,
           const surface_rgn* mask, dib_rect* changed);
  void end();

  int stroke_open() const { return stroke_open_; }
  mp_brush& brush() { return brush_; }
  mp_surface& surface() { return surface_; }

 private:
  int ready_ = 0;
  int stroke_open_ = 0;
  mp_brush brush_;
  mp_surface surface_;
};
