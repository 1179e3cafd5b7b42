#pragma once
// LZARI compression for the build tools: the published algorithm (LZSS over a
// 4096-byte window, binary-tree match finder, arithmetic-coded symbols), so
// that the program's decoder reads what these tools write.
#include <cstdint>
#include <vector>

// What the encoder did, so tests can prove which paths a stream exercises.
struct lzari_stats {
  uint32_t literals = 0;
  uint32_t matches = 0;
  uint32_t halvings = 0;       // times the character frequencies were halved
  int first_is_match = 0;      // the first symbol copied from the initial spaces
};

// Appends the stream for text (4-byte little-endian size, then the code) to
// out. 0 on allocation failure.
int lzari_encode(const unsigned char* text, uint32_t length, std::vector<unsigned char>& out,
                 lzari_stats* stats = nullptr);

// The same stream format with every byte coded as a literal: for a run of one
// byte the densest text per input bit the format allows (tests use it to
// probe the decoder's limit on text sizes).
int lzari_encode_literals(const unsigned char* text, uint32_t length,
                          std::vector<unsigned char>& out, lzari_stats* stats = nullptr);
