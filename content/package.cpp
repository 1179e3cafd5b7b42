#include "content/package.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "content/package_index.h"

namespace {

// Reads an entry's bytes from the data file into a counted block with a zero
// byte after them. The entry must lie wholly inside the file, so a length
// field never allocates more than the file holds.
unsigned char* read_entry(const std::string& data_path, const package_entry& entry) {
  if (entry.length <= 0) return nullptr;
  FILE* f = std::fopen(os_native_path(data_path.c_str()).c_str(), "rb");
  if (!f) return nullptr;
  unsigned char* bytes = nullptr;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  uint64_t end = uint64_t(entry.offset) + uint32_t(entry.length);
  // end <= size also keeps the offset within what fseek takes.
  if (size >= 0 && end <= uint64_t(size) && std::fseek(f, long(entry.offset), SEEK_SET) == 0) {
    bytes = static_cast<unsigned char*>(mem_calloc(std::size_t(entry.length) + 1));
    if (bytes && std::fread(bytes, 1, std::size_t(entry.length), f) != std::size_t(entry.length)) {
      mem_free(bytes);
      bytes = nullptr;
    }
  }
  std::fclose(f);
  return bytes;
}

}  // namespace

std::string brush_package_base(const char* brush_folder) {
  std::string base = brush_folder ? brush_folder : "";
  std::size_t cut = base.find_last_of("\\/:");
  base.resize(cut == std::string::npos ? 0 : cut + 1);
  return base + "mp";
}

unsigned char* find_brush(const char* brush_folder, const char* brush_name, uint32_t* length) {
  if (length) *length = 0;
  if (!brush_folder || !brush_name || !*brush_name) return nullptr;
  std::string base = brush_package_base(brush_folder);
  package_index index;
  if (!package_read_index((base + ".zzi").c_str(), kBrushPackage, &index)) return nullptr;
  std::string name = std::string(brush_name) + ".myb";
  package_lower(name.data());
  const package_entry* entry = package_find(index, name.c_str());
  if (!entry) return nullptr;
  unsigned char* bytes = read_entry(base + ".zzd", *entry);
  if (!bytes) return nullptr;
  for (int32_t i = 0; i < entry->length; ++i) bytes[i] ^= kPackageKey;
  if (length) *length = uint32_t(entry->length);
  return bytes;
}

void package_item_free(package_item* item) {
  if (!item) return;
  dib_free(item->dib);
  mem_free(item->bytes);
  *item = package_item{};
}

int find_pattern(const char* entry_name, const char* base, package_item* out) {
  if (!out) return 0;
  *out = package_item{};
  if (!entry_name || !base) return 0;
  std::string root = base;
  package_index index;
  if (!package_read_index((root + ".zzi").c_str(), kPatternPackage, &index)) return 0;
  std::string name = entry_name;
  package_lower(name.data());
  const package_entry* entry = package_find(index, name.c_str());
  if (!entry) return 0;
  unsigned char* bytes = read_entry(root + ".zzd", *entry);
  if (!bytes) return 0;
  out->length = uint32_t(entry->length);
  if (entry->kind == 0) {
    out->bytes = bytes;
    return 1;
  }
  // One bitmap record, which must lie within the entry.
  out->dib = dib_read_stream(bytes, std::size_t(entry->length), nullptr);
  mem_free(bytes);
  if (!out->dib) out->length = 0;
  return out->dib != nullptr;
}
