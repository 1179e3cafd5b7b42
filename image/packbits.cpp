#include "image/packbits.h"

#include <algorithm>
#include <cstring>

int packbits_decode(const unsigned char* in, std::size_t in_size, unsigned char* out,
                    std::size_t out_size, std::size_t* used) {
  std::size_t i = 0, o = 0;
  while (o < out_size) {
    if (i >= in_size) return 0;
    const unsigned c = in[i++];
    if (c < 128) {
      const std::size_t n = c + 1;
      if (n > in_size - i) return 0;
      std::memcpy(out + o, in + i, std::min(n, out_size - o));
      i += n;
      o += std::min(n, out_size - o);
    } else if (c > 128) {
      if (i >= in_size) return 0;
      const std::size_t n = std::min<std::size_t>(257 - c, out_size - o);
      std::memset(out + o, in[i++], n);
      o += n;
    }
  }
  if (used) *used = i;
  return 1;
}
