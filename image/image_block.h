#pragma once
#include <cstdint>

struct dib_block;

// A block of 1, 4 or 8 bits, pixels 0, whose table holds `entries` colours
// given as red-green-blue triples (clamped to 2^bits). Made from a one-pixel
// template, so that only base/dib.h creates blocks.
dib_block* image_indexed_block(int bits, int entries, const unsigned char* rgb, int32_t width,
                               int32_t height);
