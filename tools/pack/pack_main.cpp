// pack brush|pattern BASE FILE...: gathers files into the package BASE.zzi /
// BASE.zzd. Each entry is named by its file's name in lower case and stored
// as raw bytes (kind 0). Pattern entries may instead be bitmap records (kind
// 1): "record:FILE" already holds one; "bitmap:FILE" and "lzari:FILE" are
// pictures of any readable format, stored as a deflated or an LZARI record.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "image/image.h"
#include "content/package_index.h"
#include "tools/lzari/lzari_record.h"
#include "tools/pack/pack_writer.h"

namespace {

int append(void* ctx, const void* data, std::size_t size) {
  auto* v = static_cast<std::vector<unsigned char>*>(ctx);
  const auto* p = static_cast<const unsigned char*>(data);
  v->insert(v->end(), p, p + size);
  return 1;
}

// A picture file as one bitmap record.
int picture_record(const std::string& path, bool lzari, std::vector<unsigned char>& out) {
  dib_block* b = image_load(path.c_str());
  if (!b) return 0;
  int ok = lzari ? lzari_write_record(b, out) : dib_write_stream(b, append, &out);
  dib_free(b);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "brush") && std::strcmp(argv[1], "pattern"))) {
    std::fprintf(stderr, "usage: pack brush|pattern BASE [record:|bitmap:|lzari:]FILE...\n");
    return 2;
  }
  const bool brush = std::strcmp(argv[1], "brush") == 0;
  std::vector<pack_entry> entries;
  for (int i = 3; i < argc; ++i) {
    std::string path = argv[i];
    pack_entry e;
    std::string form;
    if (!brush) {
      for (const char* prefix : {"record:", "bitmap:", "lzari:"})
        if (path.rfind(prefix, 0) == 0) form = prefix;
      path.erase(0, form.size());
      if (!form.empty()) e.kind = 1;
    }
    int ok;
    if (form == "bitmap:" || form == "lzari:") {
      ok = picture_record(path, form == "lzari:", e.data);
    } else {
      std::string text;
      ok = os_read_file(path.c_str(), text);
      e.data.assign(text.begin(), text.end());
    }
    if (!ok) {
      std::fprintf(stderr, "pack: cannot read %s\n", path.c_str());
      return 1;
    }
    std::size_t cut = path.find_last_of("\\/");
    e.name = path.substr(cut == std::string::npos ? 0 : cut + 1);
    package_lower(e.name.data());
    entries.push_back(std::move(e));
  }
  std::string error;
  int ok = brush ? pack_write_brush(argv[2], entries, &error)
                 : pack_write_pattern(argv[2], entries, &error);
  if (!ok) {
    std::fprintf(stderr, "pack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
