#pragma once
// Content pictures on disk: a picture file of any readable format, or in its
// place a dictionary picture (".asd") of the same folder and name.
#include <string>

class app_self_dib;
struct dict_blocks;

// The ".asd" name that takes the place of path: its folder and file name
// without the extension (the part after the name's last dot), then ".asd".
std::string asd_path_for(const char* path);

// 1 when path is an existing file, or its ".asd" replacement is.
int picture_exists(const char* path);

// A picture file through the format dispatcher: a 24-bit picture and, where
// the format has one, its alpha plane as the companion; the size is the
// picture's. 0 when path is not an existing file or cannot be read.
int read_image_blocks(const char* path, dict_blocks* out);
// The ".asd" replacement of path when it exists (and then only it), else path itself.
int read_picture_blocks(const char* path, dict_blocks* out);

// The same into a holder, which each empties first and leaves empty on failure.
int load_image(app_self_dib& dib, const char* path);
int load_picture_file(app_self_dib& dib, const char* path);
