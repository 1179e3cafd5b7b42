#pragma once
// Little-endian fields read one at a time from a byte range: every read checks
// what is left, so a size field can never make a reader run past its data.
#include <cstddef>
#include <cstdint>
#include <cstring>

struct byte_reader {
  const unsigned char* p;
  std::size_t left;

  bool take(void* out, std::size_t n) {
    if (left < n) return false;
    std::memcpy(out, p, n);
    p += n;
    left -= n;
    return true;
  }
  bool u16(uint16_t& v) {
    unsigned char b[2];
    if (!take(b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
  }
  bool u32(uint32_t& v) {
    unsigned char b[4];
    if (!take(b, 4)) return false;
    v = b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool f32(float& v) {
    uint32_t u;
    if (!u32(u)) return false;
    std::memcpy(&v, &u, 4);
    return true;
  }
  // n bytes in place, or null when fewer are left.
  const unsigned char* bytes(std::size_t n) {
    if (left < n) return nullptr;
    const unsigned char* at = p;
    p += n;
    left -= n;
    return at;
  }
};
