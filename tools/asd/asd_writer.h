#pragma once
// Writes dictionary picture files (".asd"): the magic ".asd", version 1, the
// picture's width and height, the picture as one bitmap record, a companion
// flag and, when it is 1, the companion as a second record. All integers are
// little-endian. The program only reads these files.
#include <string>

struct dib_block;

enum class asd_records { zlib, lzari };  // tag -4 or tag -3 records

// Writes path (which must end in ".asd", as the loader requires) through a
// temporary file; 0 with a reason, leaving any previous file in place.
int asd_write(const char* path, const dib_block* picture, const dib_block* companion,
              asd_records form, std::string* error);
