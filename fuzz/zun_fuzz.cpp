// The ".zun" picture reader on any bytes: a picture it returns is 24 bits of
// a size a document may have, and every block is freed.
#include <cstddef>
#include <cstdint>

#include "base/alloc.h"
#include "base/dib.h"
#include "doc/file_data.h"
#include "doc/zun_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const long blocks = alloc_count();
  dib_block* b = zun_picture_decode(data, size);
  if (b) {
    if (dib_bits(b) != 24 || !doc_size_allowed(dib_width(b), dib_height(b))) __builtin_trap();
    unsigned sum = 0;
    for (int32_t y = 0; y < dib_height(b); ++y) sum += dib_row(b, y)[0];
    volatile unsigned sink = sum;
    (void)sink;
    dib_free(b);
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
