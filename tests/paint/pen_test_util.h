#pragma once
// Helpers of the pen tests: small layers, coverage counts, picture files and
// a pen-picture tree laid out once for the whole test program.
#include <cstdint>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"

struct surface_deleter {
  void operator()(paint_surface* s) const { surface_free(s); }
};

// Coverage byte of a layer pixel (0 outside).
int coverage_at(const paint_surface* s, int32_t x, int32_t y);
// Pixels with nonzero coverage inside r (whole layer when r is null).
int painted_count(const paint_surface* s, const dib_rect* r = nullptr);
// Blue, green, red of a layer pixel.
void colour_at(const paint_surface* s, int32_t x, int32_t y, unsigned char bgr[3]);
// An 8-bit grey picture of w x h filled by value(x, y) (y from the top).
dib_block* grey_picture(int32_t w, int32_t h, int (*value)(int32_t x, int32_t y, void*), void* ctx);
dib_block* grey_fill(int32_t w, int32_t h, int value);
// Writes a block as a BMP file (creating the folders); 1 on success.
int write_picture(const std::string& path, const dib_block* b);

// The generated pen pictures in a scratch tree (made on first use, removed at
// exit); pen_set_root points at it after this call.
const std::string& pen_picture_tree();
// Points the pens at the given installation root.
void use_tree(const std::string& root);
