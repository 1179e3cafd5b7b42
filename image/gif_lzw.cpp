#include "image/gif_lzw.h"

namespace {
constexpr int kMaxCodes = 4096;

// Codes come least significant bit first from a chain of sub-blocks (a length
// byte, then that many bytes); a zero length ends the data.
class sub_block_bits {
 public:
  explicit sub_block_bits(image_cursor& in) : in_(in) {}
  int read(int width) {
    while (bits_ < width) {
      int b = next_byte();
      if (b < 0) return -1;
      acc_ |= static_cast<uint32_t>(b) << bits_;
      bits_ += 8;
    }
    int code = static_cast<int>(acc_ & ((1u << width) - 1));
    acc_ >>= width;
    bits_ -= width;
    return code;
  }
  // Skips whatever is left of the data, up to its terminating zero length.
  void finish() {
    while (next_byte() >= 0) {
    }
  }

 private:
  int next_byte() {
    if (ended_) return -1;
    if (block_left_ == 0) {
      unsigned n = in_.u8();
      if (in_.failed() || n == 0) {
        ended_ = true;
        return -1;
      }
      block_left_ = n;
    }
    if (in_.left() == 0) {
      ended_ = true;
      return -1;
    }
    --block_left_;
    return in_.u8();
  }
  image_cursor& in_;
  unsigned block_left_ = 0;
  bool ended_ = false;
  uint32_t acc_ = 0;
  int bits_ = 0;
};

// Places pixels in row order, or in the four interlace passes.
class row_writer {
 public:
  row_writer(unsigned char* out, uint32_t w, uint32_t h, bool interlaced)
      : out_(out), w_(w), h_(h), interlaced_(interlaced) {}
  bool done() const { return row_ >= h_; }
  void put(unsigned char v) {
    if (done()) return;
    out_[std::size_t{row_} * w_ + x_] = v;
    if (++x_ < w_) return;
    x_ = 0;
    if (!interlaced_) {
      ++row_;
      return;
    }
    static const uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    row_ += step[pass_];
    while (row_ >= h_ && ++pass_ < 4) row_ = start[pass_];
    if (pass_ >= 4) row_ = h_;
  }

 private:
  unsigned char* out_;
  uint32_t w_, h_, x_ = 0, row_ = 0;
  bool interlaced_;
  int pass_ = 0;
};
}  // namespace

void gif_lzw_decode(image_cursor& in, unsigned char* out, uint32_t width, uint32_t height,
                    bool interlaced) {
  const int min_size = in.u8();
  sub_block_bits bits(in);
  if (in.failed()) return;
  if (min_size < 2 || min_size > 9) {
    bits.finish();
    return;
  }
  uint16_t prefix[kMaxCodes];
  unsigned char suffix[kMaxCodes], stack[kMaxCodes + 1];
  const int clear = 1 << min_size, end = clear + 1;
  for (int i = 0; i < clear; ++i) {
    prefix[i] = 0;
    suffix[i] = static_cast<unsigned char>(i);
  }
  int width_bits = min_size + 1, next = clear + 2, prev = -1;
  unsigned char first = 0;
  row_writer rows(out, width, height, interlaced);
  while (!rows.done()) {
    int code = bits.read(width_bits);
    if (code < 0 || code == end) break;
    if (code == clear) {
      width_bits = min_size + 1;
      next = clear + 2;
      prev = -1;
      continue;
    }
    if (prev < 0) {
      // The first code after a clear is a plain index; one outside the table counts as 0.
      if (code >= clear) code = 0;
      first = static_cast<unsigned char>(code);
      rows.put(first);
      prev = code;
      continue;
    }
    int sp = 0, cur = code;
    if (code >= next) {
      if (code > next) break;  // not yet defined: the data are broken
      stack[sp++] = first;     // the string of prev followed by its own first byte
      cur = prev;
    }
    while (cur >= clear) {
      stack[sp++] = suffix[cur];
      cur = prefix[cur];
    }
    stack[sp++] = suffix[cur];
    first = suffix[cur];
    while (sp > 0) rows.put(stack[--sp]);
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(prev);
      suffix[next] = first;
      if (++next == (1 << width_bits) && width_bits < 12) ++width_bits;
    }
    prev = code;
  }
  bits.finish();
}
