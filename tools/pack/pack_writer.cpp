#include "tools/pack/pack_writer.h"

#include <cstring>

#include "base/os.h"
#include "content/package_index.h"

namespace {

void put32(unsigned char* p, uint32_t v) {
  for (int k = 0; k < 4; k++) p[k] = static_cast<unsigned char>(v >> (8 * k));
}

int fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return 0;
}

int check(const package_layout& layout, const std::vector<pack_entry>& entries,
          std::string* error) {
  if (entries.size() > std::size_t(layout.max_entries))
    return fail(error, "too many entries: " + std::to_string(entries.size()) + " (at most " +
                           std::to_string(layout.max_entries) + ")");
  uint64_t total = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const pack_entry& e = entries[i];
    if (e.name.empty()) return fail(error, "an entry without a name");
    if (e.name.size() >= kPackageNameSize) return fail(error, "name too long: " + e.name);
    for (unsigned char c : e.name) {
      if (c == 0) return fail(error, "name with a zero byte: " + e.name);
      if (c >= 'A' && c <= 'Z') return fail(error, "name not in lower case: " + e.name);
      if (layout.scrambled && (c ^ kPackageKey) == 0)
        return fail(error, "name cannot be scrambled: " + e.name);
    }
    for (std::size_t j = 0; j < i; ++j)
      if (entries[j].name == e.name) return fail(error, "duplicate name: " + e.name);
    if (e.data.empty()) return fail(error, "entry without data: " + e.name);
    total += e.data.size();
  }
  if (total > 0x7FFFFFFFu) return fail(error, "data file too large");
  return 1;
}

int write(const package_layout& layout, const std::string& base,
          const std::vector<pack_entry>& entries, std::string* error) {
  if (!check(layout, entries, error)) return 0;
  std::vector<unsigned char> index(layout.block_size, 0);
  index[0] = static_cast<unsigned char>(layout.magic);
  index[1] = static_cast<unsigned char>(layout.magic >> 8);
  put32(&index[4], uint32_t(entries.size()));
  std::string data_path = base + ".zzd", index_path = base + ".zzi";
  os_safe_file data(data_path.c_str());
  if (!data.ok()) return fail(error, "cannot create " + data_path);
  uint32_t offset = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const pack_entry& e = entries[i];
    unsigned char* p = &index[8 + i * layout.entry_size];
    for (std::size_t k = 0; k < e.name.size(); ++k)
      p[k] = static_cast<unsigned char>(layout.scrambled ? e.name[k] ^ kPackageKey : e.name[k]);
    unsigned char* f = p + kPackageNameSize;
    if (layout.has_kind) {
      put32(f, uint32_t(e.kind));
      f += 4;
    }
    put32(f, uint32_t(e.data.size()));
    put32(f + 4, offset);
    std::vector<unsigned char> bytes = e.data;
    if (layout.scrambled)
      for (unsigned char& b : bytes) b ^= kPackageKey;
    if (!data.write(bytes.data(), bytes.size())) return fail(error, "cannot write " + data_path);
    offset += uint32_t(bytes.size());
  }
  os_safe_file idx(index_path.c_str());
  if (!idx.ok() || !idx.write(index.data(), index.size()))
    return fail(error, "cannot write " + index_path);
  // Data first: an index never names bytes that are not there yet.
  if (!data.commit()) return fail(error, "cannot write " + data_path);
  if (!idx.commit()) return fail(error, "cannot write " + index_path);
  return 1;
}

}  // namespace

int pack_write_brush(const std::string& base, const std::vector<pack_entry>& entries,
                     std::string* error) {
  for (const pack_entry& e : entries)
    if (e.kind != 0) return fail(error, "brush entries have no kind: " + e.name);
  return write(kBrushPackage, base, entries, error);
}

int pack_write_pattern(const std::string& base, const std::vector<pack_entry>& entries,
                       std::string* error) {
  return write(kPatternPackage, base, entries, error);
}
