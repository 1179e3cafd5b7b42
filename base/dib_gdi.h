#pragma once
// The bitmap record meeting GDI: device bitmaps, screen grabs, drawing and text.
#include <windows.h>

#include "base/dib.h"

// A device bitmap of the screen's format initialised from the block's pixels.
HBITMAP dib_to_hbitmap(const dib_block* block);
// A 24-bit block of the bitmap's size from GetDIBits on the screen; null on failure.
dib_block* dib_from_hbitmap(HBITMAP bitmap);
// w x h pixels of the context at (x, y) as a 24-bit block.
dib_block* dib_grab(HDC dc, int x, int y, int w, int h);
// The whole block at its own size at (x, y).
int dib_draw(HDC dc, int x, int y, const dib_block* block);
// The source rectangle (from the top) stretched into the destination.
int dib_draw(HDC dc, const dib_rect& dst, const dib_block* block, const dib_rect& src);

struct dib_text_style {
  HFONT font = nullptr;
  uint32_t colour = 0;
  float opacity = 1.0f;
  int outline = 0;        // pen width: glyph outlines instead of filled glyphs
  int shadow_offset = 0;  // a shadow at (x + offset, y + offset), at a quarter of the opacity
  uint32_t shadow_colour = 0;
  HRGN clip = nullptr;  // target pixels outside are left alone
};
// Draws text with its top left at (x, y) into a 24-bit block.
int dib_text(dib_block* target, int x, int y, const char* text, const dib_text_style& style);
// Centred in the rectangle (at its left or top when the text is larger).
int dib_text_in(dib_block* target, const dib_rect& box, const char* text,
                const dib_text_style& style);
// The size dib_text covers (with the italic allowance).
int dib_text_size(const char* text, HFONT font, int* width, int* height);
