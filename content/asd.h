#pragma once
// Dictionary picture files (".asd"): a copybook picture with an optional
// companion bitmap (its alpha plane), stored beside or instead of a picture file.
//   0  magic ".asd" (any case)     4  i32 version = 1
//   8  i32 width                   12 i32 height
//   16 the picture as one bitmap record (base/dib_stream.h; any tag, LZARI too)
//   then i32 companion flag (1: a companion follows) and the companion record.
// A file that ends right after the picture has no companion.
#include <cstddef>
#include <cstdint>

class app_self_dib;
struct dib_block;

// A picture and its optional companion as read from a file; the caller owns both.
struct dict_blocks {
  dib_block* picture = nullptr;
  dib_block* companion = nullptr;
  int32_t width = 0, height = 0;  // from the ".asd" header, else the picture's
};
void dict_blocks_free(dict_blocks* blocks);  // frees both, leaves it empty

// The largest ".asd" file read: two records of the largest block and the header.
inline constexpr std::size_t kAsdMaxFile = std::size_t{512} << 20 | 64;

// Parses a whole file in memory. The picture comes back as 24 bits, the
// companion as stored. 1 and the blocks, or 0 with nothing held: bad magic or
// version, a header size no picture can have, a missing or bad picture, a
// companion flag of 1 without a good companion record.
int asd_decode(const unsigned char* data, std::size_t size, dict_blocks* out);
// The file at path, which must end in ".asd" (any case).
int asd_read_file(const char* path, dict_blocks* out);

// Empties the holder, then fills it from the ".asd" file; 0 leaves it empty.
int load_asd(app_self_dib& dib, const char* path);
