#pragma once
// Building pattern tips and transfer tables: the generated forms used when
// the pattern folder has no picture for them.
#include <cstdint>

#include "paint/pattern_types.h"

// The C library's classic generator (15-bit results), so a seed gives the
// same tips in every build.
struct pattern_rng {
  uint32_t state = 1;
  int next() {
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7fff);
  }
};

inline constexpr int kTransferSide = 512;

// Fills the 512 x 512 table for the type's variant (left zero for types
// without one). Row r: first map at 0..255, second at 256..511.
void transfer_generate(const pattern_params& p, unsigned char* table, pattern_rng& rng);
// The 100 phase tips of a mode-0 type (d x d each, tip = row * 10 + column);
// 0 without memory.
int tips_profile(const pattern_params& p, unsigned char* tips, pattern_rng& rng);
void tip_round(const pattern_params& p, unsigned char* tip);
void tip_soft(int32_t d, unsigned char* tip);
