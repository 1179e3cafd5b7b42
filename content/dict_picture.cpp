#include "content/dict_picture.h"

#include <cstring>

#include "base/dib.h"
#include "base/dib_self.h"
#include "base/os.h"
#include "content/asd.h"
#include "image/image.h"

namespace {

int is_file(const char* path) {
  return path && *path && os_file_exists(path) && !os_is_folder(path);
}

int adopt(app_self_dib& dib, dict_blocks& blocks) {
  if (dib.adopt(blocks.picture, blocks.companion, blocks.width, blocks.height)) return 1;
  dict_blocks_free(&blocks);
  return 0;
}

}  // namespace

std::string asd_path_for(const char* path) {
  std::string s = path ? path : "";
  const std::size_t name = s.find_last_of("\\/:");
  const std::size_t dot = s.rfind('.');
  // A dot in a folder name is not the start of an extension.
  if (dot != std::string::npos && (name == std::string::npos || dot > name)) s.resize(dot);
  return s + ".asd";
}

int picture_exists(const char* path) {
  if (!path || !*path) return 0;
  return is_file(path) || is_file(asd_path_for(path).c_str());
}

int read_image_blocks(const char* path, dict_blocks* out) {
  if (!out) return 0;
  *out = dict_blocks{};
  if (!is_file(path)) return 0;
  dib_block* alpha = nullptr;
  dib_block* picture = image_load_alpha(path, &alpha);
  if (!picture) return 0;  // the dispatcher frees any alpha plane itself
  out->picture = picture;
  out->companion = alpha;
  out->width = dib_width(picture);
  out->height = dib_height(picture);
  return 1;
}

int read_picture_blocks(const char* path, dict_blocks* out) {
  if (!out) return 0;
  *out = dict_blocks{};
  if (!path || !*path) return 0;
  const std::string asd = asd_path_for(path);
  if (is_file(asd.c_str())) return asd_read_file(asd.c_str(), out);
  return read_image_blocks(path, out);
}

int load_image(app_self_dib& dib, const char* path) {
  dib.reset();
  dict_blocks blocks;
  return read_image_blocks(path, &blocks) && adopt(dib, blocks);
}

int load_picture_file(app_self_dib& dib, const char* path) {
  dib.reset();
  dict_blocks blocks;
  return read_picture_blocks(path, &blocks) && adopt(dib, blocks);
}
