// gif_decode on any input, with and without the alpha plane: no read or
// write outside a buffer, no leak.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const long before = alloc_count();
  dib_block* alpha = nullptr;
  dib_block* b = gif_decode(data, size, &alpha);
  image_fuzz_check(b, alpha, before);
  image_fuzz_check(gif_decode(data, size, nullptr), nullptr, before);
  return 0;
}
