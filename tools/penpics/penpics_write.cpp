#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/dib_stream.h"
#include "image/image.h"
#include "tools/pack/pack_writer.h"
#include "tools/penpics/penpics.h"

namespace {

const char* const kTipCodes[] = {"wa", "br", "ca"};

int append(void* ctx, const void* data, std::size_t size) {
  auto* v = static_cast<std::vector<unsigned char>*>(ctx);
  const auto* p = static_cast<const unsigned char*>(data);
  v->insert(v->end(), p, p + size);
  return 1;
}

int fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return 0;
}

int make_folder(const std::string& path, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path), ec);
  return ec ? fail(error, "cannot create " + path) : 1;
}

int write_bmp(const std::string& path, dib_block* b, std::string* error) {
  if (!b) return fail(error, "no picture for " + path);
  const int ok = bmp_write(path.c_str(), b);
  dib_free(b);
  return ok ? 1 : fail(error, "cannot write " + path);
}

}  // namespace

int penpics_write(const std::string& root, int loose_tips, std::string* error) {
  const std::string glib = root + "/GLIB";
  const std::string pat = glib + "/penpat", paper = glib + "/tex/file", cust = glib + "/tex/cust";
  if (!make_folder(loose_tips ? pat + "/bmp" : pat, error) || !make_folder(paper, error) ||
      !make_folder(cust, error))
    return 0;
  for (const char* code : kTipCodes) {
    std::vector<pack_entry> entries;
    for (int32_t e = 2; e <= penpic_tip_largest(code); e += 2) {
      char name[32];
      std::snprintf(name, sizeof name, "%s%d.bmp", code, e);
      dib_block* b = penpic_tip(code, e);
      if (loose_tips) {
        if (!write_bmp(pat + "/bmp/" + name, b, error)) return 0;
        continue;
      }
      pack_entry entry;
      entry.name = name;
      entry.kind = 1;
      const int ok = b && dib_write_stream(b, append, &entry.data);
      dib_free(b);
      if (!ok) return fail(error, std::string("cannot encode ") + name);
      entries.push_back(std::move(entry));
    }
    if (!loose_tips && !pack_write_pattern(pat + "/" + code, entries, error)) return 0;
  }
  for (int i = 1; i <= kPaperCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "tex%d.bmp", i);
    if (!write_bmp(paper + "/" + name, penpic_paper(i), error)) return 0;
  }
  for (int set = 0; set < kStampSets; ++set)
    for (int step = 0; step < kStampSteps; ++step) {
      char name[32];
      std::snprintf(name, sizeof name, "%03d-%02d.bmp", set, step);
      if (!write_bmp(cust + "/" + name, penpic_stamp(set, step), error)) return 0;
    }
  return 1;
}
