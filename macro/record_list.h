#pragma once
// The growable list of macro records: contiguous, zero-filled, counted by the
// program's allocator, grown in whole multiples of its step so that recording
// copies once per step rather than once per event.
#include <cstdint>

#include "macro/record.h"

inline constexpr int32_t kMacroGrowStep = 10240;
// Beyond this a list (and a file's count) is refused: 704 MB of records,
// well inside what a 32-bit process can still allocate in one block.
inline constexpr int32_t kMacroMaxRecords = 1 << 22;

class zun_macro_rec {
 public:
  explicit zun_macro_rec(int32_t step = kMacroGrowStep) : grow_step(step > 0 ? step : 1) {}
  virtual ~zun_macro_rec();
  zun_macro_rec(const zun_macro_rec&) = delete;
  zun_macro_rec& operator=(const zun_macro_rec&) = delete;

  int reserve(int32_t extra);
  int reset();
  void release();

  macro_record* items = nullptr;
  int32_t grow_step;
  int32_t count = 0;
  int32_t capacity = 0;
};
