#include "base/alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "base/os.h"

namespace {
// Only the UI thread allocates, but tests and tools may not: atomics cost nothing here.
std::atomic<long> g_count{0};
std::atomic<long long> g_bytes{0};

void count_in(void* p) {
  if (!p) return;
  g_count.fetch_add(1, std::memory_order_relaxed);
  g_bytes.fetch_add(static_cast<long long>(os_usable_size(p)), std::memory_order_relaxed);
}
void count_out(void* p) {
  g_count.fetch_sub(1, std::memory_order_relaxed);
  g_bytes.fetch_sub(static_cast<long long>(os_usable_size(p)), std::memory_order_relaxed);
}
}  // namespace

void* mem_alloc(std::size_t size) {
  if (size == 0) return nullptr;
  void* p = std::malloc(size);
  count_in(p);
  return p;
}

void* mem_calloc(std::size_t size) {
  if (size == 0) return nullptr;
  void* p = std::calloc(1, size);
  count_in(p);
  return p;
}

void* mem_realloc(void* block, std::size_t size) {
  if (!block) return mem_alloc(size);
  if (size == 0) {
    mem_free(block);
    return nullptr;
  }
  long long before = static_cast<long long>(os_usable_size(block));
  void* p = std::realloc(block, size);
  if (!p) return nullptr;  // the old block stays valid and counted
  g_bytes.fetch_add(static_cast<long long>(os_usable_size(p)) - before, std::memory_order_relaxed);
  return p;
}

void mem_free(void* block) {
  if (!block) return;
  count_out(block);
  std::free(block);
}

long alloc_count() { return g_count.load(std::memory_order_relaxed); }
long long alloc_bytes() { return g_bytes.load(std::memory_order_relaxed); }
