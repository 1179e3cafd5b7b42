#include "image/image_bytes.h"

#include "base/alloc.h"
#include "base/dib.h"
#include "base/os.h"

image_file_bytes::~image_file_bytes() { mem_free(data); }

int image_read_stream(std::FILE* f, image_file_bytes& out) {
  mem_free(out.data);
  out.data = nullptr;
  out.size = 0;
  if (!f) return 0;
  long start = std::ftell(f);
  if (start < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(f);
  if (end < start || std::fseek(f, start, SEEK_SET) != 0) return 0;
  std::size_t n = static_cast<std::size_t>(end - start);
  if (n > kImageMaxFile) return 0;
  // One spare byte so an empty file still gets a (non-null) buffer.
  unsigned char* p = static_cast<unsigned char*>(mem_alloc(n + 1));
  if (!p) return 0;
  if (std::fread(p, 1, n, f) != n) {
    mem_free(p);
    return 0;
  }
  out.data = p;
  out.size = n;
  return 1;
}

int image_read_path(const char* path, image_file_bytes& out) {
  if (!path || !*path) return 0;
  std::FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return 0;
  int ok = image_read_stream(f, out);
  std::fclose(f);
  return ok;
}

int image_size_ok(uint64_t width, uint64_t height, int bits) {
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return 0;
  uint64_t stride = ((width * static_cast<uint64_t>(bits) + 31) / 32) * 4;
  return stride * height + kDibHeaderSize + 1024 <= kDibMaxBytes;
}
