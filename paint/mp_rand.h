#pragma once
// The surface's own random numbers (the oil colour of transparent pixels).
// Seeded with a constant so that repeated strokes paint identical pixels.
#include <cstdint>

class mp_rand {
 public:
  explicit mp_rand(uint32_t seed = 0x2545F491u) : state_(seed ? seed : 1u) {}
  void seed(uint32_t s) { state_ = s ? s : 1u; }
  uint32_t next();
  // 0 .. 0.9999 in steps of 0.0001.
  float unit() { return float(next() % 10000u) * 0.0001f; }

 private:
  uint32_t state_;
};
