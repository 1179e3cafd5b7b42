#pragma once
// Building ".zun" pictures and reading files for the controller tests.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/surface.h"

namespace ctl {
inline void put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v));
  s.push_back(static_cast<char>(v >> 8));
}
inline void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}
inline void putf(std::string& s, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  put32(s, u);
}
inline int sink(void* context, const void* data, std::size_t size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
  return 1;
}
// A surface record as the document format writes it.
inline bool put_surface(std::string& s, const paint_surface* p) {
  put16(s, p->kind);
  put32(s, static_cast<uint32_t>(p->width));
  put32(s, static_cast<uint32_t>(p->height));
  if (!dib_write_stream(p->colour, sink, &s)) return false;
  if (p->kind == 1) {
    if (!dib_write_stream(p->coverage, sink, &s)) return false;
    put32(s, p->changed.left), put32(s, p->changed.top);
    put32(s, p->changed.right), put32(s, p->changed.bottom);
  }
  put16(s, 0xFFFF);
  return true;
}

struct zun_layer {
  const paint_surface* surface;
  int visible;
  float opacity;
};
// tag 1062 ignores the size and the opacities; 1048 adds a name.
inline std::string zun_bytes(uint16_t tag, int32_t w, int32_t h, const zun_layer* layers, int n,
                             int32_t current = 0) {
  std::string s;
  put16(s, tag);
  if (tag != 1062) put32(s, w), put32(s, h);
  put32(s, current);
  put32(s, n);
  for (int i = 0; i < n; ++i) {
    put32(s, layers[i].visible);
    if (tag != 1062) putf(s, layers[i].opacity);
    if (tag == 1048) s.append(std::string("layer name").append(55, '\0'));
    put_surface(s, layers[i].surface);
  }
  return s;
}

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}
}  // namespace ctl
