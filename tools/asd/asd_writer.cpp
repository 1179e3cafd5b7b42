#include "tools/asd/asd_writer.h"

#include <cstring>
#include <vector>

#include "base/dib.h"
#include "base/dib_stream.h"
#include "base/os.h"
#include "tools/lzari/lzari_record.h"

namespace {

void put32(std::vector<unsigned char>& out, uint32_t v) {
  for (int k = 0; k < 4; k++) out.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

int fail(std::string* error, const char* why) {
  if (error) *error = why;
  return 0;
}

int append_record(const dib_block* b, asd_records form, std::vector<unsigned char>& out) {
  if (form == asd_records::lzari) return lzari_write_record(b, out);
  return dib_write_stream(
      b,
      [](void* ctx, const void* data, std::size_t size) {
        auto* v = static_cast<std::vector<unsigned char>*>(ctx);
        const auto* p = static_cast<const unsigned char*>(data);
        v->insert(v->end(), p, p + size);
        return 1;
      },
      &out);
}

}  // namespace

int asd_write(const char* path, const dib_block* picture, const dib_block* companion,
              asd_records form, std::string* error) {
  std::size_t n = path ? std::strlen(path) : 0;
  if (n < 4 || (path[n - 4] != '.') || (path[n - 3] | 32) != 'a' || (path[n - 2] | 32) != 's' ||
      (path[n - 1] | 32) != 'd')
    return fail(error, "the file name must end in .asd");
  if (!dib_valid(picture)) return fail(error, "no picture");
  if (companion && !dib_valid(companion)) return fail(error, "bad companion bitmap");
  std::vector<unsigned char> out = {'.', 'a', 's', 'd'};
  put32(out, 1);
  put32(out, uint32_t(dib_width(picture)));
  put32(out, uint32_t(dib_height(picture)));
  if (!append_record(picture, form, out)) return fail(error, "cannot encode the picture");
  put32(out, companion ? 1 : 0);
  if (companion && !append_record(companion, form, out))
    return fail(error, "cannot encode the companion");
  os_safe_file file(path);
  if (!file.ok() || !file.write(out.data(), out.size()) || !file.commit())
    return fail(error, "cannot write the file");
  return 1;
}
