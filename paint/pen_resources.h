#pragma once
// How pens find their pictures. Resource names ("Gtex\file\tex1.bmp",
// "Gpenpat") are resolved by the program's resource locator, which start-up
// installs here; until then (and in tools and tests) they resolve under one
// installation root: the letter G is its "GLIB" folder.
#include <string>

struct dib_block;
struct package_item;

using pen_resolver = int (*)(const char* name, std::string* out);
void pen_set_resolver(pen_resolver resolver);  // null: back to the root
void pen_set_root(const char* install_dir);    // with or without a trailing separator
int pen_resolve(const char* name, std::string* out);

// An 8-bit picture read from a resolved resource name (24-bit files are
// reduced to their green channel); null when missing or unreadable.
dib_block* pen_read_grey(const char* name);
// The same from a file path.
dib_block* pen_read_grey_file(const char* path);
// A pattern picture: the entry of the package at base when it is there (a
// bitmap record, or the bytes of a BMP file), else the loose file.
dib_block* pen_read_pattern(const char* base, const char* entry, const char* file);
// An 8-bit copy of any picture (green channel of colour pictures); takes src.
dib_block* pen_to_grey(dib_block* src);
