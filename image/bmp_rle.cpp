#include "image/bmp_rle.h"

#include <cstdint>

namespace {
class rle_output {
 public:
  rle_output(unsigned char* out, std::size_t stride, std::size_t total)
      : out_(out), stride_(stride), total_(total) {}
  bool full() const { return pos_ >= total_; }
  void put(unsigned char v) {
    if (pos_ < total_) out_[pos_] = v;
    ++pos_;
  }
  // The position is row * stride + column, rows counted from the bottom; a row
  // filled exactly already stands at the next row's start.
  void end_of_line() {
    std::size_t column = pos_ % stride_;
    if (column) pos_ += stride_ - column;
  }
  // A delta past the picture ends it; 64-bit so a wide picture cannot wrap.
  void move(std::size_t right, std::size_t up) {
    const uint64_t to = uint64_t{pos_} + right + uint64_t{up} * stride_;
    pos_ = to > total_ ? total_ : static_cast<std::size_t>(to);
  }

 private:
  unsigned char* out_;
  std::size_t stride_, total_, pos_ = 0;
};

inline unsigned char nibble(unsigned char byte, std::size_t i) {
  return (i & 1) ? (byte & 15) : (byte >> 4);
}
}  // namespace

int bmp_rle_decode(image_cursor& in, unsigned char* out, std::size_t stride, std::size_t height,
                   bool four) {
  rle_output o(out, stride, stride * height);
  while (!o.full()) {
    if (in.left() == 0) return 1;  // data ends where a code would start
    if (in.left() < 2) return 0;
    const unsigned n = in.u8(), v = in.u8();
    if (n) {
      for (unsigned i = 0; i < n; ++i) o.put(four ? nibble(static_cast<unsigned char>(v), i)
                                                  : static_cast<unsigned char>(v));
      continue;
    }
    switch (v) {
      case 0: o.end_of_line(); break;
      case 1: return 1;
      case 2: {
        if (in.left() < 2) return 0;
        const unsigned right = in.u8(), up = in.u8();
        o.move(right, up);
        break;
      }
      default: {
        std::size_t bytes = four ? (v + 1) / 2 : v;
        bytes += bytes & 1;  // literals end on a 16-bit boundary
        const unsigned char* p = in.take(bytes);
        if (!p) return 0;
        for (unsigned i = 0; i < v; ++i) o.put(four ? nibble(p[i / 2], i) : p[i]);
      }
    }
  }
  return 1;
}
