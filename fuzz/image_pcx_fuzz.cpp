// pcx_decode on any input: no read or write outside a buffer, no leak.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const long before = alloc_count();
  image_fuzz_check(pcx_decode(data, size), nullptr, before);
  return 0;
}
