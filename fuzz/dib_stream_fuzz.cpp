// dib_stream records from outside data: any input is refused or read safely,
// and whatever is read survives a write and a second read unchanged.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/dib_stream.h"

namespace {
int to_vector(void* context, const void* data, std::size_t size) {
  auto* v = static_cast<std::vector<unsigned char>*>(context);
  const auto* p = static_cast<const unsigned char*>(data);
  v->insert(v->end(), p, p + size);
  return 1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const long blocks = alloc_count();
  std::size_t used = 0;
  dib_block* b = dib_read_stream(data, size, &used);
  if (!b) {
    if (alloc_count() != blocks) std::abort();  // a refused record leaves nothing behind
    return 0;
  }
  const uint64_t total = dib_total_size(b);
  if (used > size || total == 0 || total > kDibMaxBytes) std::abort();
  // Deflate at its best is about 1032:1; the runs form is bounded by the cap alone.
  const int16_t tag = static_cast<int16_t>(data[0] | data[1] << 8);
  if (tag == kDibStreamZlib && total > uint64_t{size} * 1032 + 64) std::abort();
  if (total <= (64u << 10)) {  // small blocks: a deflate per run stays cheap
    std::vector<unsigned char> out;
    if (!dib_write_stream(b, to_vector, &out)) std::abort();
    std::size_t used2 = 0;
    dib_block* again = dib_read_stream(out.data(), out.size(), &used2);
    if (!again || used2 != out.size() || std::memcmp(again, b, total) != 0) std::abort();
    dib_free(again);
    dib_block* wide = dib_to_24(b);
    dib_free(wide);
  }
  dib_free(b);
  if (alloc_count() != blocks) std::abort();
  return 0;
}
