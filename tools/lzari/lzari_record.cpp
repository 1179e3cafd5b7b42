#include "tools/lzari/lzari_record.h"

#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/lzari.h"
#include "tools/lzari/lzari_encode.h"

int lzari_write_record(const dib_block* block, std::vector<unsigned char>& out) {
  if (!dib_valid(block)) return 0;
  uint64_t size = dib_total_size(block);
  if (size == 0 || size > LZARI::MAX_TEXT) return 0;
  std::vector<unsigned char> stream;
  if (!lzari_encode(dib_bytes(block), uint32_t(size), stream)) return 0;
  if (size > LZARI::text_limit(uint32_t(stream.size()))) return 0;  // cannot happen for real text
  uint16_t tag = static_cast<uint16_t>(kDibStreamLzari);
  out.push_back(static_cast<unsigned char>(tag));
  out.push_back(static_cast<unsigned char>(tag >> 8));
  uint32_t length = uint32_t(stream.size());
  for (int k = 0; k < 4; k++) out.push_back(static_cast<unsigned char>(length >> (8 * k)));
  out.insert(out.end(), stream.begin(), stream.end());
  return 1;
}
