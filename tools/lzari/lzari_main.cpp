// lzari encode|decode INPUT OUTPUT: compresses a file into an LZARI stream,
// or expands one (with the program's own decoder, to check a stream).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/lzari.h"
#include "base/os.h"
#include "tools/lzari/lzari_encode.h"

namespace {

int save(const char* path, const unsigned char* data, std::size_t size) {
  os_safe_file out(path);
  return out.ok() && out.write(data, size) && out.commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "encode") && std::strcmp(argv[1], "decode"))) {
    std::fprintf(stderr, "usage: lzari encode|decode INPUT OUTPUT\n");
    return 2;
  }
  std::string in;
  if (!os_read_file(argv[2], in) || in.size() > 0xFFFFFFFEu) {
    std::fprintf(stderr, "lzari: cannot read %s\n", argv[2]);
    return 1;
  }
  const unsigned char* text = reinterpret_cast<const unsigned char*>(in.data());
  if (argv[1][0] == 'e') {
    std::vector<unsigned char> out;
    if (!lzari_encode(text, uint32_t(in.size()), out) || !save(argv[3], out.data(), out.size())) {
      std::fprintf(stderr, "lzari: cannot write %s\n", argv[3]);
      return 1;
    }
    return 0;
  }
  LZARI* coder = new LZARI;
  const unsigned char* out = nullptr;
  uint32_t length = 0;
  int ok = coder->decode(text, uint32_t(in.size()), &out, &length);
  if (!ok) std::fprintf(stderr, "lzari: %s is not a stream this decoder accepts\n", argv[2]);
  if (ok && !save(argv[3], out, length)) {
    std::fprintf(stderr, "lzari: cannot write %s\n", argv[3]);
    ok = 0;
  }
  delete coder;
  return ok ? 0 : 1;
}
