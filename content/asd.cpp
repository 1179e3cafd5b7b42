#include "content/asd.h"

#include <cstdio>
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/dib_self.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "image/image.h"

namespace {

constexpr std::size_t kAsdHeader = 16;

int32_t get_i32(const unsigned char* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                              uint32_t{p[3]} << 24);
}

int is_magic(const unsigned char* p) {
  return p[0] == '.' && (p[1] | 0x20) == 'a' && (p[2] | 0x20) == 's' && (p[3] | 0x20) == 'd';
}

// The header's size is handed on to callers that make canvases of it, so it
// must be one a 24-bit block could have.
int size_ok(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  const uint64_t total = kDibHeaderSize + uint64_t{dib_stride_for(width, 24)} * uint64_t(height);
  return total <= kDibMaxBytes;
}

int ends_in_asd(const char* path) {
  const std::size_t n = path ? std::strlen(path) : 0;
  return n >= 4 && is_magic(reinterpret_cast<const unsigned char*>(path + n - 4));
}

// The whole file in one counted block; null when it cannot be read or is
// larger than any ".asd" file can be.
unsigned char* read_whole(const char* path, std::size_t* size) {
  *size = 0;
  std::FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return nullptr;
  unsigned char* data = nullptr;
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length > 0 && std::size_t(length) <= kAsdMaxFile && std::fseek(f, 0, SEEK_SET) == 0) {
    data = static_cast<unsigned char*>(mem_alloc(std::size_t(length)));
    if (data && std::fread(data, 1, std::size_t(length), f) != std::size_t(length)) {
      mem_free(data);
      data = nullptr;
    }
  }
  std::fclose(f);
  if (data) *size = std::size_t(length);
  return data;
}

}  // namespace

void dict_blocks_free(dict_blocks* blocks) {
  if (!blocks) return;
  dib_free(blocks->picture);
  dib_free(blocks->companion);
  *blocks = dict_blocks{};
}

int asd_decode(const unsigned char* data, std::size_t size, dict_blocks* out) {
  if (!out) return 0;
  *out = dict_blocks{};
  if (!data || size < kAsdHeader || !is_magic(data) || get_i32(data + 4) != 1) return 0;
  const int32_t width = get_i32(data + 8), height = get_i32(data + 12);
  if (!size_ok(width, height)) return 0;

  std::size_t at = kAsdHeader, used = 0;
  dib_block* picture = dib_read_stream(data + at, size - at, &used);
  if (!picture) return 0;
  at += used;
  // Every holder's picture is 24-bit, however the file stored it.
  picture = image_to_24(picture);
  if (!picture) return 0;

  dib_block* companion = nullptr;
  if (size - at >= 4 && get_i32(data + at) == 1) {
    at += 4;
    companion = dib_read_stream(data + at, size - at, &used);
    if (!companion) {
      dib_free(picture);
      return 0;
    }
  }
  out->picture = picture;
  out->companion = companion;
  out->width = width;
  out->height = height;
  return 1;
}

int asd_read_file(const char* path, dict_blocks* out) {
  if (!out) return 0;
  *out = dict_blocks{};
  if (!ends_in_asd(path)) return 0;
  std::size_t size = 0;
  unsigned char* data = read_whole(path, &size);
  if (!data) return 0;
  const int ok = asd_decode(data, size, out);
  mem_free(data);
  return ok;
}

int load_asd(app_self_dib& dib, const char* path) {
  dib.reset();
  dict_blocks blocks;
  if (!asd_read_file(path, &blocks)) return 0;
  if (dib.adopt(blocks.picture, blocks.companion, blocks.width, blocks.height)) return 1;
  dict_blocks_free(&blocks);
  return 0;
}
