#include "tests/win32/support/heap_watch.h"

#include <cstdlib>

#include "tests/win32/support/iat_hook.h"

namespace {

using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using FreeFn = void(__cdecl*)(void*);

MallocFn real_malloc;
CallocFn real_calloc;
ReallocFn real_realloc;
FreeFn real_free;
volatile LONG g_outstanding;
volatile LONG g_taken;

void* __cdecl counted_malloc(size_t n) {
  void* p = real_malloc(n);
  if (p) { InterlockedIncrement(&g_outstanding); InterlockedIncrement(&g_taken); }
  return p;
}
void* __cdecl counted_calloc(size_t n, size_t size) {
  void* p = real_calloc(n, size);
  if (p) { InterlockedIncrement(&g_outstanding); InterlockedIncrement(&g_taken); }
  return p;
}
void* __cdecl counted_realloc(void* block, size_t n) {
  void* p = real_realloc(block, n);
  if (!block && p) { InterlockedIncrement(&g_outstanding); InterlockedIncrement(&g_taken); }
  if (block && n == 0) InterlockedDecrement(&g_outstanding);
  return p;
}
void __cdecl counted_free(void* p) {
  if (p) InterlockedDecrement(&g_outstanding);
  real_free(p);
}

}  // namespace

bool heap_watch_install(HMODULE module) {
  static HMODULE installed;
  if (module == installed) return true;  // a second hook would count through itself
  void* m = iat_hook(module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&counted_malloc));
  if (!m) return false;
  real_malloc = reinterpret_cast<MallocFn>(m);
  // Imports the module lacks fall back to the CRT's own, which are the same functions.
  void* c = iat_hook(module, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&counted_calloc));
  real_calloc = c ? reinterpret_cast<CallocFn>(c) : &std::calloc;
  void* r = iat_hook(module, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&counted_realloc));
  real_realloc = r ? reinterpret_cast<ReallocFn>(r) : &std::realloc;
  void* f = iat_hook(module, "msvcrt.dll", "free", reinterpret_cast<void*>(&counted_free));
  real_free = f ? reinterpret_cast<FreeFn>(f) : &std::free;
  g_outstanding = 0;
  g_taken = 0;
  if (f) installed = module;
  return f != nullptr;
}

long heap_watch_outstanding() { return g_outstanding; }
long heap_watch_taken() { return g_taken; }
