#pragma once
// Resource packages: an index file ending in ".zzi" that names the entries of
// a data file ending in ".zzd" with the same base. Two layouts exist, one per
// kind of content; each lookup reads the index again (nothing is cached), and
// on failure the callers read their loose files instead.
#include <cstdint>
#include <string>

struct dib_block;

// The brush package of a brush folder: the folder cut after its last
// backslash, slash or colon, followed by "mp".
std::string brush_package_base(const char* brush_folder);

// Brush files of the brush engine. The entry "<brush name>.myb", lower case,
// in the package "<brush folder cut after its last separator>mp". Returns the
// bytes (a counted block with a zero byte after them, for mem_free) and their
// length, or null.
unsigned char* find_brush(const char* brush_folder, const char* brush_name, uint32_t* length);

// One entry of a pattern package: a bitmap record when its kind is nonzero,
// raw bytes otherwise. The caller owns whichever is set.
struct package_item {
  dib_block* dib = nullptr;        // free with dib_free
  unsigned char* bytes = nullptr;  // counted block, a zero byte after the data
  uint32_t length = 0;             // the entry's length in the data file
};
void package_item_free(package_item* item);

// Pen pattern pictures: the entry named by the lower-cased entry name in the
// package at base (".zzi" and ".zzd" appended). 1 and the item, or 0.
int find_pattern(const char* entry_name, const char* base, package_item* out);
