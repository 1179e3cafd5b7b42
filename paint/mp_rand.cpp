#include "paint/mp_rand.h"

// xorshift32: small, fast, the same sequence on every platform.
uint32_t mp_rand::next() {
  uint32_t x = state_;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  state_ = x;
  return x;
}
