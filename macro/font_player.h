#pragma once
// The text player: draws a text record's text into the current layer. The
// text is rasterised by the system's text renderer into an alpha mask (GDI+
// in the Windows build); the mask is blended into the layer here.
#include <cstdint>

#include "macro/player.h"

// An 8-bit alpha mask, rows top to bottom, from the counted allocator.
struct macro_text_mask {
  int32_t width = 0, height = 0;
  uint8_t* alpha = nullptr;
};
void macro_text_mask_free(macro_text_mask& m);

// Rasterises r's text (face_name, font_height, bold, text_size). 0 when
// there is no text renderer (builds other than Windows), nothing to draw, or
// the renderer failed; mask is then empty.
int macro_text_render(const macro_record& r, macro_text_mask* mask);
// 1 when this build can render text.
int macro_text_available();
// The face used when a record's face is not installed (the program's
// default face; the shell sets it at start-up). Null or "" keeps the current.
void macro_set_default_face(const char* face);
const char* macro_default_face();

// Blends mask into layer with its top left at (x, y), in colour (0x00BBGGRR)
// and opacity; changed gets the painted rectangle clipped to the layer.
// 1 when any pixel was painted.
struct paint_surface;
int macro_text_blend(paint_surface* layer, const macro_text_mask& mask, int32_t x, int32_t y,
                     uint32_t colour, float opacity, dib_rect* changed);

class zun_macro_font : public zun_macro_one {
 public:
  using zun_macro_one::zun_macro_one;
  const char* name() const override { return "font"; }
  int play_record(macro_stage& stage, const macro_record& r) override;
};
