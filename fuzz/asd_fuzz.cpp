// The ".asd" reader on any bytes, and what a reader's result goes on to:
// the display-sized copy and drawing it centred. Nothing may leak.
#include <cstddef>
#include <cstdint>

#include "base/alloc.h"
#include "base/dib.h"
#include "content/asd.h"
#include "content/dict_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  long blocks = alloc_count();
  {
    dict_blocks out;
    if (asd_decode(data, size, &out)) {
      if (dib_bits(out.picture) != 24 || out.width <= 0 || out.height <= 0) __builtin_trap();
      // Keep the scaling to pictures the fuzzer can afford per input.
      auto area = [](const dib_block* b) {
        return uint64_t(dib_width(b)) * uint64_t(dib_height(b));
      };
      if (area(out.picture) <= (1u << 20) && area(out.companion) <= (1u << 20)) {
        zun_dict_bitmap b;
        if (b.from_pair(out.picture, out.companion, 70)) {
          if (dib_width(b.picture()) > 70 || dib_height(b.picture()) > 70) __builtin_trap();
          if (b.companion() && dib_bits(b.companion()) != 8) __builtin_trap();
          dib_block* target = dib_create(40, 1, 40, 0xFFFFFF);
          if (target &&
              !draw_centred(b, target, data[size / 2] % 60 - 10, data[size / 3] % 60 - 10))
            __builtin_trap();
          dib_free(target);
        }
      }
    } else if (out.picture || out.companion) {
      __builtin_trap();
    }
    dict_blocks_free(&out);
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
