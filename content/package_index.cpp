#include "content/package_index.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/os.h"

namespace {

uint32_t get32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void package_lower(char* text) {
  // ASCII only: bytes above 127 belong to the code page's double-byte characters.
  for (; text && *text; ++text)
    if (*text >= 'A' && *text <= 'Z') *text = char(*text - 'A' + 'a');
}

int package_parse_index(const unsigned char* data, std::size_t size, const package_layout& layout,
                        package_index* out) {
  if (!out) return 0;
  out->count = 0;
  if (!data) size = 0;
  // The block as the file holds it, padded with zeros.
  static_assert(kBrushPackage.block_size >= kPatternPackage.block_size);
  unsigned char block[kBrushPackage.block_size] = {};
  if (size > layout.block_size) size = layout.block_size;
  if (size) std::memcpy(block, data, size);
  if ((block[0] | block[1] << 8) != layout.magic) return 0;
  int32_t count = int32_t(get32(block + 4));
  if (count < 0) count = 0;
  if (count > layout.max_entries) count = layout.max_entries;
  for (int i = 0; i < count; ++i) {
    const unsigned char* e = block + 8 + std::size_t(i) * layout.entry_size;
    package_entry& entry = out->entries[i];
    std::size_t n = 0;
    while (n < kPackageNameSize && e[n]) ++n;
    if (n == kPackageNameSize) n = 0;  // no terminator: matches nothing
    for (std::size_t k = 0; k < n; ++k)
      entry.name[k] = char(layout.scrambled ? e[k] ^ kPackageKey : e[k]);
    entry.name[n] = 0;
    const unsigned char* f = e + kPackageNameSize;
    entry.kind = layout.has_kind ? int32_t(get32(f)) : 0;
    if (layout.has_kind) f += 4;
    entry.length = int32_t(get32(f));
    entry.offset = get32(f + 4);
  }
  out->count = count;
  return 1;
}

int package_read_index(const char* path, const package_layout& layout, package_index* out) {
  if (out) out->count = 0;
  if (!path || !out) return 0;
  FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return 0;
  unsigned char block[kBrushPackage.block_size];
  std::size_t n = std::fread(block, 1, layout.block_size, f);
  int ok = !std::ferror(f);
  std::fclose(f);
  return ok && package_parse_index(block, n, layout, out);
}

const package_entry* package_find(const package_index& index, const char* name) {
  if (!name || !*name) return nullptr;
  for (int i = 0; i < index.count; ++i)
    if (std::strcmp(index.entries[i].name, name) == 0) return &index.entries[i];
  return nullptr;
}
