#pragma once
// Where the program's files are: the installation and content-medium roots and
// the resource names ("Rdesktop\back0.jpg") that are resolved under them.
#include <cstddef>

constexpr std::size_t kPathSize = 512;

struct app_paths {
  char install_dir[kPathSize] = {};  // ends in a backslash
  char content_dir[kPathSize] = {};  // ends in a backslash
  char language[4] = "chs";
};

// Composes a code (root letter H/C, folder letter, rest) into out (kPathSize bytes).
// language may be null. Returns 1 when out is non-empty.
int build_path(const app_paths& paths, const char* code, const char* language, char* out);
// Resolves a resource name, installation root first, content medium second
// (returned whether or not it exists). A name whose last part has no '.' is a folder.
int resource_path(const app_paths& paths, const char* name, const char* language, char* out);

// "%d.%d" below 100, "%d.%d.%d" below 1000, empty otherwise (out: at least 64 bytes).
void version_text(int version, char* out, std::size_t size);

// Appends a backslash unless the text already ends in one (size: the buffer's).
void ensure_backslash(char* path, std::size_t size);
