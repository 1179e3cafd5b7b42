#pragma once
// Picture files. Every reader hands back a `dib_block` (base/dib.h) or null;
// the dispatcher turns whatever a reader gives into a 24-bit block. Pictures
// are written as BMP, JPEG and PNG only, always through os_safe_file, so a
// failed write never destroys the file that was there.
//
// Each reader also has a *_decode form over bytes in memory: the file forms
// read the file into a counted buffer and call it (fuzz targets call it too).
#include <cstddef>
#include <cstdio>

struct dib_block;

// By extension (BMP RLE PCX JPG JPEG TIF TGA GIF PSD PNG, any case): a 24-bit
// block or null.
dib_block* image_load(const char* path);
// As image_load; for GIF and PNG files *alpha receives the 8-bit alpha plane,
// or null when the picture has none. For other formats *alpha is null.
dib_block* image_load_alpha(const char* path, dib_block** alpha);
// Any block to 24 bits (1, 4, 8, 16, 24 and 32 bits); takes ownership of src
// and frees it; null on failure.
dib_block* image_to_24(dib_block* src);

// BMP and RLE: a block of the file's own bit depth (RLE4 becomes 8 bits).
dib_block* bmp_read(std::FILE* file);  // from the current position
dib_block* bmp_decode(const void* data, std::size_t size);
int bmp_write(const char* path, const dib_block* block);

// JPEG: 24-bit blocks only (greyscale and CMYK files are refused).
dib_block* jpeg_read(const char* path);
dib_block* jpeg_decode(const void* data, std::size_t size);
int jpeg_write(const char* path, const dib_block* block);

// PNG: 8-bit palette or grey, 24-bit, or 32-bit (24-bit block plus an 8-bit
// alpha plane through alpha, freed when alpha is null).
dib_block* png_read(const char* path, dib_block** alpha);
dib_block* png_decode(const void* data, std::size_t size, dib_block** alpha);
// A 24-bit block; coverage (8-bit, same size) or null. Colour type 6 with a
// coverage plane, 2 without.
int png_write(const char* path, const dib_block* block, const dib_block* coverage);

// GIF: the first frame composed on the logical screen, 24 bits; with alpha,
// an alpha plane from its transparency (null when the rules give none).
dib_block* gif_read(const char* path, dib_block** alpha);
dib_block* gif_decode(const void* data, std::size_t size, dib_block** alpha);

// Read-only formats.
dib_block* pcx_read(const char* path);
dib_block* pcx_decode(const void* data, std::size_t size);
dib_block* tga_read(const char* path);
dib_block* tga_decode(const void* data, std::size_t size);
dib_block* tif_read(const char* path);
dib_block* tif_decode(const void* data, std::size_t size);
dib_block* psd_read(const char* path);
dib_block* psd_decode(const void* data, std::size_t size);
