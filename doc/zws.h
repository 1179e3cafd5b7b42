#pragma once
// The ".zws" document file: magic, version 1, size, current sheet and every
// sheet (paint surface, background, placed pictures), little-endian, bitmaps
// as dib_stream records. The history is not saved.
#include <cstddef>
#include <cstdint>

struct paint_surface;
#include <cstdint>

#include "base/dib_stream.h"

class zun_file_data;

// What a file may ask the reader to build.
inline constexpr int32_t kZwsMaxSheets = 16;
inline constexpr int32_t kZwsMaxPictures = 256;  // per file
inline constexpr std::size_t kZwsMaxFileBytes = 1u << 30;

int zws_path(const char* path);  // 1 when the path ends in ".zws" (any case)

int write_document(const zun_file_data& data, const char* path);
// The bytes of the file to any sink; 0 on a write failure or a sheet that
// could not be read back (no surface colour, no background image).
int write_document_to(const zun_file_data& data, dib_write_fn write, void* context);
// write_document with a disk that takes only byte_limit bytes (a full disk).
int write_document_limited(const zun_file_data& data, const char* path, uint64_t byte_limit);

int read_document(zun_file_data& data, const char* path);
int read_document_bytes(zun_file_data& data, const unsigned char* bytes, std::size_t length);

// One surface record of the format from data[0, length): of exactly width x
// height, or of any size a document may have when width is 0. *used receives
// the bytes it took. Shared with the .zun reader, whose layers are such records.
paint_surface* zws_read_surface(const unsigned char* data, std::size_t length, int32_t width,
                                int32_t height, std::size_t* used);
