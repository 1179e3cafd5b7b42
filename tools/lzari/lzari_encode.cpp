#include "tools/lzari/lzari_encode.h"

#include <cstring>
#include <new>

namespace {

constexpr int N = 4096;
constexpr int F = 60;
constexpr int THRESHOLD = 2;
constexpr int NIL = N;  // the root of every tree
constexpr int N_CHAR = 256 - THRESHOLD + F;
constexpr uint32_t M = 15;
constexpr uint32_t Q1 = 1u << M, Q2 = 2 * Q1, Q3 = 3 * Q1, Q4 = 4 * Q1;
constexpr uint32_t MAX_CUM = Q1 - 1;

class encoder {
 public:
  encoder(std::vector<unsigned char>& out, lzari_stats& stats) : out_(out), stats_(stats) {
    std::memset(text_buf_, 0, sizeof text_buf_);
    std::memset(lson_, 0, sizeof lson_);
    std::memset(rson_, 0, sizeof rson_);
    std::memset(dad_, 0, sizeof dad_);
  }
  void run(const unsigned char* text, uint32_t length);
  void run_literals(const unsigned char* text, uint32_t length);

 private:
  // Match finder: one binary search tree per first byte over the window.
  void init_tree();
  void insert_node(int r);
  void delete_node(int p);

  void put_bit(int bit);
  void output(int bit);
  void flush_bits();
  void start_model();
  void update_model(int sym);
  void shift_out();
  void encode_char(int ch);
  void encode_position(int position);
  void encode_end();

  std::vector<unsigned char>& out_;
  lzari_stats& stats_;
  unsigned char text_buf_[N + F - 1];
  int match_position_ = 0, match_length_ = 0;
  int lson_[N + 1], rson_[N + 257], dad_[N + 1];

  uint32_t low_ = 0, high_ = Q4;
  int shifts_ = 0;  // pending bits, opposite to the next one put out
  unsigned bit_buffer_ = 0, bit_mask_ = 128;
  int char_to_sym_[N_CHAR], sym_to_char_[N_CHAR + 1];
  uint32_t sym_freq_[N_CHAR + 1], sym_cum_[N_CHAR + 1], position_cum_[N + 1];
};

void encoder::init_tree() {
  for (int i = N + 1; i <= N + 256; i++) rson_[i] = NIL;
  for (int i = 0; i < N; i++) dad_[i] = NIL;
}

// Inserts the string at r and leaves the longest earlier match of it (the
// nearest among equals) in match_position_ / match_length_.
void encoder::insert_node(int r) {
  int cmp = 1;
  const unsigned char* key = &text_buf_[r];
  int p = N + 1 + key[0];
  rson_[r] = lson_[r] = NIL;
  match_length_ = 0;
  for (;;) {
    if (cmp >= 0) {
      if (rson_[p] != NIL) {
        p = rson_[p];
      } else {
        rson_[p] = r;
        dad_[r] = p;
        return;
      }
    } else {
      if (lson_[p] != NIL) {
        p = lson_[p];
      } else {
        lson_[p] = r;
        dad_[r] = p;
        return;
      }
    }
    int i;
    for (i = 1; i < F; i++)
      if ((cmp = key[i] - text_buf_[p + i]) != 0) break;
    if (i > THRESHOLD) {
      if (i > match_length_) {
        match_position_ = (r - p) & (N - 1);
        if ((match_length_ = i) >= F) break;
      } else if (i == match_length_) {
        int temp = (r - p) & (N - 1);
        if (temp < match_position_) match_position_ = temp;
      }
    }
  }
  // A full-length match: r replaces p in the tree.
  dad_[r] = dad_[p];
  lson_[r] = lson_[p];
  rson_[r] = rson_[p];
  dad_[lson_[p]] = r;
  dad_[rson_[p]] = r;
  if (rson_[dad_[p]] == p)
    rson_[dad_[p]] = r;
  else
    lson_[dad_[p]] = r;
  dad_[p] = NIL;
}

void encoder::delete_node(int p) {
  if (dad_[p] == NIL) return;
  int q;
  if (rson_[p] == NIL) {
    q = lson_[p];
  } else if (lson_[p] == NIL) {
    q = rson_[p];
  } else {
    q = lson_[p];
    if (rson_[q] != NIL) {
      do q = rson_[q];
      while (rson_[q] != NIL);
      rson_[dad_[q]] = lson_[q];
      dad_[lson_[q]] = dad_[q];
      lson_[q] = lson_[p];
      dad_[lson_[p]] = q;
    }
    rson_[q] = rson_[p];
    dad_[rson_[p]] = q;
  }
  dad_[q] = dad_[p];
  if (rson_[dad_[p]] == p)
    rson_[dad_[p]] = q;
  else
    lson_[dad_[p]] = q;
  dad_[p] = NIL;
}

void encoder::put_bit(int bit) {
  if (bit) bit_buffer_ |= bit_mask_;
  if ((bit_mask_ >>= 1) == 0) {
    out_.push_back(static_cast<unsigned char>(bit_buffer_));
    bit_buffer_ = 0;
    bit_mask_ = 128;
  }
}

void encoder::output(int bit) {
  put_bit(bit);
  for (; shifts_ > 0; shifts_--) put_bit(!bit);
}

void encoder::flush_bits() {
  for (int i = 0; i < 7; i++) put_bit(0);
}

void encoder::start_model() {
  sym_cum_[N_CHAR] = 0;
  for (int sym = N_CHAR; sym >= 1; sym--) {
    int ch = sym - 1;
    char_to_sym_[ch] = sym;
    sym_to_char_[sym] = ch;
    sym_freq_[sym] = 1;
    sym_cum_[sym - 1] = sym_cum_[sym] + 1;
  }
  sym_freq_[0] = 0;
  sym_to_char_[0] = 0;
  position_cum_[N] = 0;
  for (int i = N; i >= 1; i--) position_cum_[i - 1] = position_cum_[i] + 10000 / (i + 200);
}

void encoder::update_model(int sym) {
  if (sym_cum_[0] >= MAX_CUM) {
    uint32_t c = 0;
    for (int i = N_CHAR; i > 0; i--) {
      sym_cum_[i] = c;
      c += (sym_freq_[i] = (sym_freq_[i] + 1) >> 1);
    }
    sym_cum_[0] = c;
    stats_.halvings++;
  }
  int i = sym;
  while (sym_freq_[i] == sym_freq_[i - 1]) i--;
  if (i < sym) {
    int ch_i = sym_to_char_[i], ch_sym = sym_to_char_[sym];
    sym_to_char_[i] = ch_sym;
    sym_to_char_[sym] = ch_i;
    char_to_sym_[ch_i] = sym;
    char_to_sym_[ch_sym] = i;
  }
  sym_freq_[i]++;
  while (--i >= 0) sym_cum_[i]++;
}

void encoder::shift_out() {
  for (;;) {
    if (high_ <= Q2) {
      output(0);
    } else if (low_ >= Q2) {
      output(1);
      low_ -= Q2;
      high_ -= Q2;
    } else if (low_ >= Q1 && high_ <= Q3) {
      shifts_++;
      low_ -= Q1;
      high_ -= Q1;
    } else {
      break;
    }
    low_ += low_;
    high_ += high_;
  }
}

void encoder::encode_char(int ch) {
  int sym = char_to_sym_[ch];
  uint32_t range = high_ - low_;
  high_ = low_ + range * sym_cum_[sym - 1] / sym_cum_[0];
  low_ += range * sym_cum_[sym] / sym_cum_[0];
  shift_out();
  update_model(sym);
}

void encoder::encode_position(int position) {
  uint32_t range = high_ - low_;
  high_ = low_ + range * position_cum_[position] / position_cum_[0];
  low_ += range * position_cum_[position + 1] / position_cum_[0];
  shift_out();
}

// Two more bits pin the value inside the final interval whatever follows.
void encoder::encode_end() {
  shifts_++;
  output(low_ < Q1 ? 0 : 1);
  flush_bits();
}

void encoder::run(const unsigned char* text, uint32_t length) {
  for (int k = 0; k < 4; k++) out_.push_back(static_cast<unsigned char>(length >> (8 * k)));
  if (length == 0) return;
  uint32_t next = 0;  // next input byte
  start_model();
  init_tree();
  int s = 0, r = N - F;
  std::memset(text_buf_, ' ', N - F);
  int len = 0;
  while (len < F && next < length) text_buf_[r + len++] = text[next++];
  for (int i = 1; i <= F; i++) insert_node(r - i);
  insert_node(r);
  int first = 1;
  do {
    if (match_length_ > len) match_length_ = len;
    if (match_length_ <= THRESHOLD) {
      match_length_ = 1;
      encode_char(text_buf_[r]);
      stats_.literals++;
    } else {
      encode_char(255 - THRESHOLD + match_length_);
      encode_position(match_position_ - 1);
      stats_.matches++;
      if (first) stats_.first_is_match = 1;
    }
    first = 0;
    int last_match_length = match_length_;
    int i = 0;
    for (; i < last_match_length && next < length; i++) {
      unsigned char c = text[next++];
      delete_node(s);
      text_buf_[s] = c;
      if (s < F - 1) text_buf_[s + N] = c;  // mirror, so matches can run past the end
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      insert_node(r);
    }
    while (i++ < last_match_length) {
      delete_node(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) insert_node(r);
    }
  } while (len > 0);
  encode_end();
}

// No matches at all: a long run of one byte then codes denser than any stream
// the match finder makes, the densest text per bit the format allows.
void encoder::run_literals(const unsigned char* text, uint32_t length) {
  for (int k = 0; k < 4; k++) out_.push_back(static_cast<unsigned char>(length >> (8 * k)));
  if (length == 0) return;
  start_model();
  for (uint32_t i = 0; i < length; i++) {
    encode_char(text[i]);
    stats_.literals++;
  }
  encode_end();
}

}  // namespace

int lzari_encode_literals(const unsigned char* text, uint32_t length,
                          std::vector<unsigned char>& out, lzari_stats* stats) {
  if (!text && length) return 0;
  lzari_stats local;
  lzari_stats& st = stats ? *stats : local;
  st = lzari_stats{};
  encoder* e = new (std::nothrow) encoder(out, st);
  if (!e) return 0;
  e->run_literals(text, length);
  delete e;
  return 1;
}

int lzari_encode(const unsigned char* text, uint32_t length, std::vector<unsigned char>& out,
                 lzari_stats* stats) {
  if (!text && length) return 0;
  lzari_stats local;
  lzari_stats& st = stats ? *stats : local;
  st = lzari_stats{};
  encoder* e = new (std::nothrow) encoder(out, st);
  if (!e) return 0;
  e->run(text, length);
  delete e;
  return 1;
}
