// Package lookups on any index and data file. The input is split in two at a
// point chosen by its first two bytes: the index file, then the data file.
// Both layouts are tried, with names taken from the index itself so that
// lookups reach the data file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/alloc.h"
#include "base/dib.h"
#include "content/package.h"
#include "content/package_index.h"

namespace {

std::string scratch() {
  static std::string dir;
  if (dir.empty()) {
    char name[] = "/tmp/qm_package_fuzz_XXXXXX";
    if (!mkdtemp(name)) __builtin_trap();
    dir = name;
  }
  return dir;
}

void save(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) __builtin_trap();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t split = 2 + (data[0] | data[1] << 8) * 8u;
  if (split > size) split = size;
  const std::string dir = scratch(), base = dir + "/mp";
  save(base + ".zzi", data + 2, split - 2);
  save(base + ".zzd", data + split, size - split);
  long blocks = alloc_count();

  package_index index;
  for (int layout = 0; layout < 2; ++layout) {
    const package_layout& l = layout ? kPatternPackage : kBrushPackage;
    if (!package_parse_index(data + 2, split - 2, l, &index)) continue;
    if (index.count < 0 || index.count > l.max_entries) __builtin_trap();
    for (int i = 0; i < index.count && i < 4; ++i) {
      std::string name = index.entries[i].name;
      if (name.size() >= kPackageNameSize) __builtin_trap();
      if (layout == 0) {
        if (name.size() < 4) continue;
        name.resize(name.size() - 4);  // find_brush adds ".myb"
        uint32_t length = 0;
        unsigned char* bytes = find_brush((dir + "/x").c_str(), name.c_str(), &length);
        if (bytes && bytes[length] != 0) __builtin_trap();
        mem_free(bytes);
      } else {
        package_item item;
        if (find_pattern(name.c_str(), base.c_str(), &item)) {
          if (!item.dib == !item.bytes) __builtin_trap();
          if (item.bytes && item.bytes[item.length] != 0) __builtin_trap();
          if (item.dib && dib_width(item.dib) <= 0) __builtin_trap();
        }
        package_item_free(&item);
      }
    }
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
