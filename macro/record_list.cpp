#include "macro/record_list.h"

#include <cstring>

#include "base/alloc.h"

zun_macro_rec::~zun_macro_rec() { release(); }

void zun_macro_rec::release() {
  mem_free(items);
  items = nullptr;
  count = capacity = 0;
}

// A failed reserve leaves the list as it was.
int zun_macro_rec::reserve(int32_t extra) {
  if (extra < 0 || extra > kMacroMaxRecords - count) return 0;
  if (!items) {
    if (extra == 0) return 1;
    auto* block = static_cast<macro_record*>(mem_calloc(std::size_t(extra) * sizeof(macro_record)));
    if (!block) return 0;
    items = block;
    count = 0;
    capacity = extra;
    return 1;
  }
  const int64_t needed = int64_t(count) + extra;
  if (capacity >= needed) return 1;
  int64_t grown = (needed + grow_step - 1) / grow_step * grow_step;
  if (grown > kMacroMaxRecords) grown = needed;
  // Growing in place where the allocator can spares the copy of every record
  // at each step; the new tail is zero-filled as a fresh block would be.
  auto* block = static_cast<macro_record*>(mem_realloc(items, std::size_t(grown) * sizeof(macro_record)));
  if (!block) return 0;  // the old block stays, unchanged
  std::memset(block + capacity, 0, std::size_t(grown - capacity) * sizeof(macro_record));
  items = block;
  capacity = int32_t(grown);
  return 1;
}

int zun_macro_rec::reset() {
  release();
  return reserve(kMacroGrowStep);
}
