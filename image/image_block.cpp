#include "image/image_block.h"

#include <cstring>

#include "base/dib.h"

dib_block* image_indexed_block(int bits, int entries, const unsigned char* rgb, int32_t width,
                               int32_t height) {
  if (bits != 1 && bits != 4 && bits != 8) return nullptr;
  if (entries < 1 || entries > (1 << bits)) entries = 1 << bits;
  unsigned char tmpl[kDibHeaderSize + 1024 + 4] = {};
  tmpl[0] = kDibHeaderSize;
  tmpl[4] = 1;   // width 1
  tmpl[8] = 1;   // height 1
  tmpl[12] = 1;  // planes
  tmpl[14] = static_cast<unsigned char>(bits);
  tmpl[32] = static_cast<unsigned char>(entries);
  tmpl[33] = static_cast<unsigned char>(entries >> 8);
  for (int i = 0; rgb && i < entries; ++i) {
    tmpl[kDibHeaderSize + i * 4] = rgb[i * 3 + 2];
    tmpl[kDibHeaderSize + i * 4 + 1] = rgb[i * 3 + 1];
    tmpl[kDibHeaderSize + i * 4 + 2] = rgb[i * 3];
  }
  dib_block* one = dib_from_bytes(tmpl, kDibHeaderSize + std::size_t(entries) * 4 + 4);
  dib_block* b = one ? dib_create_like(one, width, height) : nullptr;
  dib_free(one);
  return b;
}
