#pragma once
#include <cstddef>

// PackBits (TIFF, PSD): a control byte below 128 copies that value + 1
// literal bytes, one above 128 repeats the next byte 257 - value times, 128
// does nothing. Fills exactly out_size bytes (a run that would pass the end is
// cut); 0 when the data end first.
int packbits_decode(const unsigned char* in, std::size_t in_size, unsigned char* out,
                    std::size_t out_size, std::size_t* used = nullptr);
