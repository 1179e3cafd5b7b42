#pragma once
#include <cstddef>

#include "image/image_bytes.h"

// Expands RLE8 (or, with four, RLE4) codes into stride x height bytes of
// bottom-up rows, one byte per pixel; runs and deltas that leave the picture
// are clipped to it. 0 when a code is cut off by the end of the data.
int bmp_rle_decode(image_cursor& in, unsigned char* out, std::size_t stride, std::size_t height,
                   bool four);
