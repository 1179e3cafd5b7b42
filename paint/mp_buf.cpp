#include "paint/mp_buf.h"

#include <cstring>
#include <string>

#include "base/alloc.h"
#include "base/os.h"
#include "content/package.h"

mp_buf::~mp_buf() { clear(); }

void mp_buf::clear() {
  mem_free(data_);
  data_ = nullptr;
  size_ = 0;
}

int mp_buf::assign(const char* text, std::size_t length) {
  clear();
  if (length > kMpMaxBrushText || (!text && length)) return 0;
  data_ = static_cast<char*>(mem_alloc(length + 1));
  if (!data_) return 0;
  if (length) std::memcpy(data_, text, length);
  data_[length] = 0;
  size_ = length;
  return 1;
}

int mp_buf::load(const char* brush_name, const char* folder) {
  clear();
  if (!brush_name || !*brush_name || !folder) return 0;
  uint32_t length = 0;
  if (unsigned char* bytes = find_brush(folder, brush_name, &length)) {
    if (length > kMpMaxBrushText) {
      mem_free(bytes);
      return 0;
    }
    data_ = reinterpret_cast<char*>(bytes);  // already zero-terminated
    size_ = length;
    return 1;
  }
  std::string path = std::string(folder) + "\\" + brush_name + ".myb";
  std::string text;
  if (!os_read_file(path.c_str(), text, kMpMaxBrushText + 1) || text.size() > kMpMaxBrushText)
    return 0;
  return assign(text.data(), text.size());
}
