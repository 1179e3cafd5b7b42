#pragma once
// dib_stream: how files embed a bitmap. A record starts with a signed 16-bit tag:
//   -4  u32 uncompressed size, u32 stored size, stored bytes (a zlib stream of
//       the block when stored < uncompressed, else the block itself); written.
//   -3  u32 length, the block compressed with LZARI; read only.
//   -2  u32 length, the raw block; read only.
//   -1  u32 kind (0 = 8-bit), i32 width, i32 height, runs, u16 0xFFFF, u32 run
//       count; runs are u16 row (from the top), u16 column, u16 length and one
//       value byte (8-bit) or blue, green, red (24-bit); read only.
#include <cstddef>
#include <cstdint>

#include "base/dib.h"

class os_safe_file;

inline constexpr int16_t kDibStreamZlib = -4;
inline constexpr int16_t kDibStreamLzari = -3;
inline constexpr int16_t kDibStreamRaw = -2;
inline constexpr int16_t kDibStreamRuns = -1;

// Reads one record from data[0, length); *used (optional) receives the bytes
// it took. Null on a short record, an unknown tag, a bad size, run or run
// count, or a decoded block that dib_from_bytes would reject.
dib_block* dib_read_stream(const unsigned char* data, std::size_t length, std::size_t* used);
// The same for a record that must hold a block of exactly width x height at
// bits (24 or 8): the size the record claims is checked before anything is
// decoded, so a hostile header cannot make the reader allocate more.
dib_block* dib_read_stream_exact(const unsigned char* data, std::size_t length, int32_t width,
                                 int32_t height, int bits, std::size_t* used);

// A sink for writing: returns 1 when all size bytes were taken.
using dib_write_fn = int (*)(void* context, const void* data, std::size_t size);

// Writes the block as a tag -4 record (zlib's default level; stored raw when
// the stream would not be smaller). 0 on a bad block, allocation or write failure.
int dib_write_stream(const dib_block* block, dib_write_fn write, void* context);
int dib_write_stream(const dib_block* block, os_safe_file& file);
