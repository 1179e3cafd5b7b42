// The LZARI decoder on any bytes: it must stay inside its buffers, respect the
// text-size bounds and release everything it took.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/alloc.h"
#include "base/lzari.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  long blocks = alloc_count();
  {
    static LZARI coder;  // reused, as a caller decoding several records would
    const unsigned char* out = nullptr;
    uint32_t length = 0;
    int ok = coder.decode(data, uint32_t(size), &out, &length);
    if ((out == nullptr) != (length == 0)) __builtin_trap();
    if (ok && size >= 4) {
      uint32_t textsize = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
      if (length < textsize || length >= uint64_t(textsize) + LZARI::F) __builtin_trap();
      if (textsize > LZARI::text_limit(uint32_t(size))) __builtin_trap();
      if (out && out[length] != 0) __builtin_trap();
    } else if (length != 0) {
      __builtin_trap();
    }
    coder.decode(nullptr, 0, &out, &length);  // releases the output
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
