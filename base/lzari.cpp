#include "base/lzari.h"

#include <cstring>

#include "base/alloc.h"

LZARI_BUF::LZARI_BUF() = default;

LZARI_BUF::~LZARI_BUF() { clear(); }

void LZARI_BUF::clear() {
  mem_free(data_);
  data_ = nullptr;
  capacity_ = 0;
  length_ = 0;
}

int LZARI_BUF::reserve(uint32_t extra) {
  // One byte beyond the capacity stays zero, so the content is always terminated.
  const uint64_t limit = UINT32_MAX - 1;
  if (!data_) {
    if (extra > limit) return 0;
    unsigned char* block = static_cast<unsigned char*>(mem_calloc(size_t(extra) + 1));
    if (!block) return 0;
    data_ = block;
    capacity_ = extra;
    length_ = 0;
    return 1;
  }
  uint64_t need = uint64_t(length_) + extra;
  if (need <= capacity_) return 1;
  uint64_t rounded = (need + grow_ - 1) / grow_ * grow_;
  if (rounded > limit) rounded = need;
  if (rounded > limit || rounded + 1 > SIZE_MAX) return 0;
  unsigned char* block = static_cast<unsigned char*>(mem_calloc(size_t(rounded) + 1));
  if (!block) return 0;
  std::memcpy(block, data_, length_);
  mem_free(data_);
  data_ = block;
  capacity_ = uint32_t(rounded);
  return 1;
}

int LZARI_BUF::put(unsigned char c) {
  if (!reserve(1)) return 0;
  data_[length_++] = c;
  return 1;
}

LZARI::LZARI() = default;
LZARI::~LZARI() = default;

// The longest text a stream of this length can code. After renormalising,
// high - low > Q1; decoding a symbol of frequency f out of T leaves less than
// range * f / T + 1, and every doubling of the range takes one input bit. A
// literal has f <= T - 313 with T <= MAX_CUM, so it keeps at most 0.9905 of
// the range (0.0138 bits): at most 73 literals per bit. A match gives 60
// bytes at most for a position of frequency <= 49 in 28568 (over 9 bits).
// The range starts at Q4 and ends above Q1, and the decoder reads some 15
// bits beyond the encoder's last one, so a genuine stream never codes more
// than about 580 * (length - 4) + 150 bytes: a header claiming more than the
// limit below is corrupt. The fixed cap bounds what a large hostile input
// can make us take.
uint32_t LZARI::text_limit(uint32_t input_length) {
  if (input_length < 4) return 0;
  uint64_t limit = uint64_t(input_length - 4) * 600 + 4096;
  return limit < MAX_TEXT ? uint32_t(limit) : MAX_TEXT;
}

int LZARI::get_bit() {
  mask_ >>= 1;
  if (mask_ == 0) {
    byte_ = in_pos_ < in_length_ ? in_[in_pos_++] : 0;  // zeros past the end
    mask_ = 128;
  }
  return (byte_ & mask_) != 0;
}

void LZARI::renormalise() {
  for (;;) {
    if (low_ >= Q2) {
      value_ -= Q2;
      low_ -= Q2;
      high_ -= Q2;
    } else if (low_ >= Q1 && high_ <= Q3) {
      value_ -= Q1;
      low_ -= Q1;
      high_ -= Q1;
    } else if (high_ > Q2) {
      break;
    }
    low_ += low_;
    high_ += high_;
    value_ = 2 * value_ + get_bit();
  }
}

void LZARI::start_model() {
  sym_cum_[N_CHAR] = 0;
  for (int sym = N_CHAR; sym >= 1; sym--) {
    int ch = sym - 1;
    char_to_sym_[ch] = sym;
    sym_to_char_[sym] = ch;
    sym_freq_[sym] = 1;
    sym_cum_[sym - 1] = sym_cum_[sym] + 1;
  }
  sym_freq_[0] = 0;  // stops the search for equal frequencies in update_model
  sym_to_char_[0] = 0;
  position_cum_[N] = 0;
  for (int i = N; i >= 1; i--) position_cum_[i - 1] = position_cum_[i] + 10000 / (i + 200);
}

void LZARI::update_model(int sym) {
  if (sym_cum_[0] >= MAX_CUM) {
    uint32_t c = 0;
    for (int i = N_CHAR; i > 0; i--) {
      sym_cum_[i] = c;
      c += (sym_freq_[i] = (sym_freq_[i] + 1) >> 1);
    }
    sym_cum_[0] = c;
  }
  int i = sym;
  while (sym_freq_[i] == sym_freq_[i - 1]) i--;
  if (i < sym) {
    uint32_t ch_i = sym_to_char_[i], ch_sym = sym_to_char_[sym];
    sym_to_char_[i] = ch_sym;
    sym_to_char_[sym] = ch_i;
    char_to_sym_[ch_i] = sym;
    char_to_sym_[ch_sym] = i;
  }
  sym_freq_[i]++;
  while (--i >= 0) sym_cum_[i]++;
}

// low <= value < high holds for any bits (the search interval always contains
// value), so x < sym_cum[0] and the search stays inside the table.
int LZARI::decode_char() {
  uint32_t range = high_ - low_;
  uint32_t x = ((value_ - low_ + 1) * sym_cum_[0] - 1) / range;
  int i = 1, j = N_CHAR;
  while (i < j) {
    int k = (i + j) / 2;
    if (sym_cum_[k] > x)
      i = k + 1;
    else
      j = k;
  }
  int sym = i;
  high_ = low_ + range * sym_cum_[sym - 1] / sym_cum_[0];
  low_ += range * sym_cum_[sym] / sym_cum_[0];
  renormalise();
  int ch = int(sym_to_char_[sym]);
  update_model(sym);
  return ch;
}

int LZARI::decode_position() {
  uint32_t range = high_ - low_;
  uint32_t x = ((value_ - low_ + 1) * position_cum_[0] - 1) / range;
  int i = 1, j = N;
  while (i < j) {
    int k = (i + j) / 2;
    if (position_cum_[k] > x)
      i = k + 1;
    else
      j = k;
  }
  int position = i - 1;
  high_ = low_ + range * position_cum_[position] / position_cum_[0];
  low_ += range * position_cum_[position + 1] / position_cum_[0];
  renormalise();
  return position;
}

int LZARI::decode(const unsigned char* input, uint32_t input_length, const unsigned char** out,
                  uint32_t* out_length) {
  if (out) *out = nullptr;
  if (out_length) *out_length = 0;
  out_.clear();
  low_ = 0;
  high_ = Q4;
  value_ = 0;
  mask_ = 0;
  byte_ = 0;
  textsize_ = 0;
  in_ = input;
  in_length_ = input ? input_length : 0;
  in_pos_ = 0;

  // Room for typical bitmaps up front, so they decode without reallocation.
  uint64_t c = uint64_t(in_length_) * 30 + 1;
  uint32_t capacity = (c > 16777215 || in_length_ > 16777215) ? 16777216u : uint32_t(c);
  out_.set_grow_step(capacity);
  if (!out_.reserve(capacity)) return 0;

  if (in_length_ < 4) {
    out_.clear();
    return 0;
  }
  textsize_ = uint32_t(input[0]) | uint32_t(input[1]) << 8 | uint32_t(input[2]) << 16 |
              uint32_t(input[3]) << 24;
  in_pos_ = 4;
  if (textsize_ == 0) {
    out_.clear();
    return 1;
  }
  if (textsize_ > text_limit(in_length_)) {
    out_.clear();
    return 0;
  }

  for (uint32_t i = 0; i < M + 2; i++) value_ = 2 * value_ + get_bit();
  start_model();
  std::memset(ring_, ' ', N - F);
  std::memset(ring_ + (N - F), 0, F);
  int r = N - F;
  uint32_t count = 0;
  // A byte that cannot be stored fails the whole decode: a stream with a hole
  // in it is no use to anyone, and going on would only waste time.
  while (count < textsize_) {
    int ch = decode_char();
    if (ch < 256) {
      if (!out_.put(static_cast<unsigned char>(ch))) break;
      ring_[r] = static_cast<unsigned char>(ch);
      r = (r + 1) & (N - 1);
      count++;
    } else {
      int i = (r - decode_position() - 1) & (N - 1);
      int j = ch - 255 + THRESHOLD;
      if (!out_.reserve(uint32_t(j))) break;
      for (int k = 0; k < j; k++) {
        unsigned char b = ring_[(i + k) & (N - 1)];
        out_.put(b);
        ring_[r] = b;
        r = (r + 1) & (N - 1);
      }
      count += uint32_t(j);  // a match running over textsize is kept whole
    }
  }
  if (count < textsize_) {
    out_.clear();
    return 0;
  }
  if (out) *out = out_.length() ? out_.data() : nullptr;
  if (out_length) *out_length = out_.length();
  return 1;
}
