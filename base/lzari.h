#pragma once
// LZARI decompression: LZSS over a 4096-byte window with arithmetic-coded
// literals, lengths and positions. The program only decodes.
#include <cstddef>
#include <cstdint>

class LZARI_BUF {
 public:
  LZARI_BUF();
  virtual ~LZARI_BUF();
  LZARI_BUF(const LZARI_BUF&) = delete;
  LZARI_BUF& operator=(const LZARI_BUF&) = delete;

  int reserve(uint32_t extra);  // 0 on allocation failure, buffer unchanged
  int put(unsigned char c);
  const unsigned char* data() const { return data_; }
  uint32_t length() const { return length_; }
  uint32_t capacity() const { return capacity_; }
  void set_grow_step(uint32_t step) { grow_ = step ? step : 1; }
  void clear();  // releases the data; the grow step stays

 private:
  unsigned char* data_ = nullptr;  // capacity + 1 bytes, zero-filled, counted
  uint32_t grow_ = 4194304;
  uint32_t capacity_ = 0;
  uint32_t length_ = 0;
};

class LZARI {
 public:
  LZARI();
  virtual ~LZARI();
  LZARI(const LZARI&) = delete;
  LZARI& operator=(const LZARI&) = delete;

  // Decodes a whole stream (4-byte little-endian text size, then the code).
  // On success *out points at the decoded bytes, owned by this object until it
  // is destroyed or decodes again; *out is null when the length is 0.
  int decode(const unsigned char* input, uint32_t input_length, const unsigned char** out,
             uint32_t* out_length);
  const LZARI_BUF& output() const { return out_; }

  static constexpr int N = 4096;
  static constexpr int F = 60;
  static constexpr int THRESHOLD = 2;
  static constexpr int N_CHAR = 256 - THRESHOLD + F;
  static constexpr uint32_t M = 15;
  static constexpr uint32_t Q1 = 1u << M, Q2 = 2 * Q1, Q3 = 3 * Q1, Q4 = 4 * Q1;
  static constexpr uint32_t MAX_CUM = Q1 - 1;
  // The most text a stream may claim: see text_limit in lzari.cpp.
  static constexpr uint32_t MAX_TEXT = 64u << 20;
  static uint32_t text_limit(uint32_t input_length);

 private:
  int get_bit();
  void renormalise();
  int decode_char();
  int decode_position();
  void start_model();
  void update_model(int sym);

  uint32_t textsize_ = 0;
  unsigned char ring_[N];
  uint32_t low_ = 0, high_ = Q4, value_ = 0;
  const unsigned char* in_ = nullptr;
  uint32_t in_length_ = 0, in_pos_ = 0, byte_ = 0, mask_ = 0;
  uint32_t char_to_sym_[N_CHAR];  // indexed by every symbol's character, lengths too
  uint32_t sym_to_char_[N_CHAR + 1];
  uint32_t sym_freq_[N_CHAR + 1];
  uint32_t sym_cum_[N_CHAR + 1];
  uint32_t position_cum_[N + 1];
  LZARI_BUF out_;
};
