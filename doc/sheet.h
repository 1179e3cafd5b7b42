#pragma once
// The parts of a document sheet: from bottom to top a background (paper image
// or a transparency checkerboard), placed pictures and the paint surface the
// pens draw into. Every record is one counted heap block.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"

struct sheet_background {
  int32_t width, height;                  // the document size
  int32_t reduced_width, reduced_height;  // 0 for documents
  dib_block* image;                       // 24-bit, white when made
  dib_block* reduced;                     // only with both reduced sizes non-zero
  dib_block* checkerboard;                // drawn while the image is hidden
  int32_t shown;
};

struct placed_picture {
  int32_t kind;  // always 1
  int32_t x, y, width, height;
  float opacity;
  dib_block* image;  // 24-bit
  dib_block* mask;   // 8-bit coverage
  placed_picture* next;
};

struct doc_sheet {
  paint_surface* surface;
  sheet_background* background;
  placed_picture* pictures;
  doc_sheet* next;
};

// Side of a checkerboard square for a document size.
int32_t checkerboard_side(int32_t width, int32_t height);
dib_block* checkerboard_make(int32_t width, int32_t height);

// A white background of the document size; reduced sizes from the surface.
sheet_background* background_new(int32_t width, int32_t height, int32_t reduced_width,
                                 int32_t reduced_height);
// A background around an image already read (taken); shown, no reduced copy.
sheet_background* background_adopt(int32_t width, int32_t height, dib_block* image);
sheet_background* background_clone(const sheet_background* b);
void background_free(sheet_background* b);

placed_picture* picture_clone(const placed_picture* p);
void picture_free(placed_picture* p);
void pictures_free(placed_picture* list);
int32_t pictures_count(const placed_picture* list);

// A sheet with a white surface and background of the size; null on failure.
doc_sheet* sheet_new(int32_t width, int32_t height);
// Deep copy (surface, background, pictures); null when any part failed.
doc_sheet* sheet_clone(const doc_sheet* s);
void sheet_free(doc_sheet* s);
void sheets_free(doc_sheet* list);
doc_sheet* sheet_at(doc_sheet* list, int32_t index);
const doc_sheet* sheet_at(const doc_sheet* list, int32_t index);

// Copies src's pixels and state into dst when both have the same size and
// blocks: a refill of a kept surface without allocating. 0 when they differ.
int surface_copy_into(paint_surface* dst, const paint_surface* src);

// Draws one sheet into a 24-bit target within clip (null: whole): background,
// pictures at opacity pictures_opacity, surface at surface_opacity.
void sheet_draw(const doc_sheet* s, dib_block* target, const dib_rect* clip, float pictures_opacity,
                float surface_opacity);
