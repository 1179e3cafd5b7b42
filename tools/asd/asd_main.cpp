// asd [--lzari] OUTPUT.asd PICTURE [COMPANION]: makes a dictionary picture
// from picture files of any readable format (24-bit picture; the companion,
// usually a mask, keeps its own depth when it is a BMP).
#include <cstdio>
#include <cstring>
#include <string>

#include "base/dib.h"
#include "image/image.h"
#include "tools/asd/asd_writer.h"

int main(int argc, char** argv) {
  int a = 1;
  asd_records form = asd_records::zlib;
  if (a < argc && std::strcmp(argv[a], "--lzari") == 0) {
    form = asd_records::lzari;
    a++;
  }
  if (argc - a < 2 || argc - a > 3) {
    std::fprintf(stderr, "usage: asd [--lzari] OUTPUT.asd PICTURE [COMPANION]\n");
    return 2;
  }
  dib_block* picture = image_load(argv[a + 1]);
  dib_block* companion = nullptr;
  if (argc - a == 3) {
    std::FILE* f = std::fopen(argv[a + 2], "rb");
    companion = f ? bmp_read(f) : nullptr;
    if (f) std::fclose(f);
    if (!companion) companion = image_load(argv[a + 2]);
  }
  std::string error;
  int ok = 0;
  if (!picture)
    error = std::string("cannot read ") + argv[a + 1];
  else if (argc - a == 3 && !companion)
    error = std::string("cannot read ") + argv[a + 2];
  else
    ok = asd_write(argv[a], picture, companion, form, &error);
  dib_free(picture);
  dib_free(companion);
  if (!ok) std::fprintf(stderr, "asd: %s\n", error.c_str());
  return ok ? 0 : 1;
}
