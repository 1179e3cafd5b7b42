#pragma once
// ".zun" pictures: the layered picture files of the product family, imported
// as one flattened 24-bit picture. Read only.
//
// u16 tag 1062 (600 x 450), 1063 or 1048 (i32 width and height follow); i32
// current layer, i32 layer count; then per layer an i32 visible flag, for 1063
// and 1048 an f32 opacity, for 1048 a 65-byte name, and a surface record as in
// the ".zws" document.
#include <cstddef>

struct dib_block;

inline constexpr int kZunMaxLayers = 256;

// The visible layers flattened over white, in file order; null on a missing,
// short, unknown or damaged file.
dib_block* zun_picture_read(const char* path);
dib_block* zun_picture_decode(const void* data, std::size_t size);
int zun_path(const char* path);  // 1 when the path ends in ".zun" (any case)
