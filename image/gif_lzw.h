#pragma once
#include <cstddef>
#include <cstdint>

#include "image/image_bytes.h"

// Decodes the LZW data of one GIF frame (the minimum code size byte, then the
// data sub-blocks) into width x height indexes, rows in picture order; an
// interlaced frame's rows arrive in four passes. A minimum code size outside
// 2..9 decodes nothing; data that end early leave the rest of out as it was.
// The cursor is left after the frame's data when they end properly.
void gif_lzw_decode(image_cursor& in, unsigned char* out, uint32_t width, uint32_t height,
                    bool interlaced);
