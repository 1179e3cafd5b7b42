#pragma once
// Counted heap blocks. Every block the program takes for bitmaps, lists and
// buffers goes through here, so tests can prove that nothing leaks.
#include <cstddef>

void* mem_alloc(std::size_t size);         // uninitialised; null on failure or size 0
void* mem_calloc(std::size_t size);        // zero-filled
void* mem_realloc(void* block, std::size_t size);
void mem_free(void* block);                // null allowed

long alloc_count();                        // blocks currently taken
long long alloc_bytes();                   // their usable sizes, summed
