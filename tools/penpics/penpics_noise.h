#pragma once
// Seeded randomness and tileable value noise for the pen pictures.
#include <cstdint>

struct pic_rng {
  uint64_t s;
  explicit pic_rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t next() {  // xorshift64*
    s ^= s >> 12, s ^= s << 25, s ^= s >> 27;
    return uint32_t((s * 0x2545F4914F6CDD1Dull) >> 32);
  }
  double unit() { return next() / 4294967296.0; }           // 0..1
  double range(double a, double b) { return a + (b - a) * unit(); }
};

// Value noise over a lattice of cells x cells that wraps (period = image side).
double tile_noise(uint32_t seed, int cells, double u, double v);  // u, v in 0..1: 0..1
// Sum of octaves from cells, doubling, each half as strong (normalised 0..1).
double tile_fbm(uint32_t seed, int cells, int octaves, double u, double v);
