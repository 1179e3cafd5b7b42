#pragma once
// The fixed index blocks of the two package layouts, shared by the lookups
// and the package writer of the build tools. All integers little-endian.
#include <cstddef>
#include <cstdint>

struct package_layout {
  uint16_t magic;
  uint32_t block_size;   // the index block; a shorter file reads as zero-padded
  uint32_t entry_size;
  int max_entries;
  int has_kind;          // pattern entries carry a kind before the length
  int scrambled;         // brush names and data are xor-ed with kPackageKey
};

inline constexpr std::size_t kPackageNameSize = 64;
inline constexpr unsigned char kPackageKey = 0xC6;
// Entry: name[64], length i32 at 64, offset u32 at 68.
inline constexpr package_layout kBrushPackage = {9985, 14408, 72, 200, 0, 1};
// Entry: name[64], kind i32 at 64, length i32 at 68, offset u32 at 72.
inline constexpr package_layout kPatternPackage = {9733, 7608, 76, 100, 1, 0};
static_assert(8 + 72 * 200 == 14408 && 8 + 76 * 100 == 7608);

struct package_entry {
  char name[kPackageNameSize + 1];  // plain text, zero-terminated
  int32_t kind;
  int32_t length;
  uint32_t offset;
};

struct package_index {
  int count;  // usable entries, 0 .. max_entries
  package_entry entries[200];
};

// Parses an index block (size may be short: the rest reads as zeros). 0 when
// the magic is wrong. Counts beyond the layout's limit use the limit; an entry
// whose name has no terminator within 64 bytes gets an empty name.
int package_parse_index(const unsigned char* data, std::size_t size, const package_layout& layout,
                        package_index* out);
// Reads the index block from a file and parses it.
int package_read_index(const char* path, const package_layout& layout, package_index* out);
// The first entry named exactly name, or null.
const package_entry* package_find(const package_index& index, const char* name);
// ASCII lower case, as the lookups compare names.
void package_lower(char* text);
