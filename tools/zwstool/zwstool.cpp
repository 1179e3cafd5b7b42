// The commands of zwstool over a document controller of its own.
#include "tools/zwstool/zwstool.h"

#include <cstring>
#include <string>

#include "base/os.h"
#include "doc/zun_file.h"
#include "doc/zun_picture.h"
#include "doc/zws.h"
#include "paint/pen_resources.h"
#include "tools/zwstool/replay.h"

namespace {
constexpr const char* kUsage =
    "usage: zwstool [--root DIR] convert IN OUT | info FILE |"
    " replay MACRO.zwm OUT [--canvas WxH] [--onto DOC]";

// Picture kinds the program opens besides documents and ".zun" pictures.
constexpr const char* kPictureKinds[] = {"BMP", "RLE", "PCX", "JPG", "JPEG",
                                         "TIF", "TGA", "GIF", "PSD", "PNG"};

std::string extension_of(const char* path) {
  const char* dot = std::strrchr(path, '.');
  const char* sep = std::strpbrk(dot ? dot : path, "/\\");
  if (!dot || sep) return std::string();
  std::string e(dot + 1);
  for (char& c : e)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return e;
}

const char* kind_of(const char* path) {
  if (zws_path(path)) return "document";
  if (zun_path(path)) return "layered picture";
  const std::string e = extension_of(path);
  for (const char* k : kPictureKinds)
    if (e == k) return "picture";
  return nullptr;
}

int fail(std::FILE* err, const std::string& why) {
  std::fprintf(err, "zwstool: %s\n", why.c_str());
  return 1;
}

// Opens path as the program does, or says why it cannot.
int open_into(zun_file& f, const char* path, std::FILE* err) {
  if (!os_file_exists(path)) return fail(err, std::string(path) + ": no such file");
  if (os_is_folder(path)) return fail(err, std::string(path) + ": is a folder");
  if (!kind_of(path))
    return fail(err, std::string(path) + ": not a document or a picture kind that can be opened");
  if (!f.zun_file_init(2)) return fail(err, "out of memory");
  if (!f.doc_open(path))
    return fail(err, std::string(path) + ": cannot be read (damaged, truncated or unsupported)");
  return 0;
}

void print_area(std::FILE* out, const char* what, const dib_rect& r) {
  if (dib_rect_empty(r))
    std::fprintf(out, " %s none", what);
  else
    std::fprintf(out, " %s %d,%d-%d,%d", what, r.left, r.top, r.right, r.bottom);
}

int info(const char* path, std::FILE* out, std::FILE* err) {
  zun_file f;
  if (open_into(f, path, err)) return 1;
  const zun_file_data& d = *f.data;
  const std::string e = extension_of(path);
  std::fprintf(out, "file: %s\nkind: %s%s%s%s\n", path, kind_of(path), e.empty() ? "" : " (",
               e.c_str(), e.empty() ? "" : ")");
  std::fprintf(out, "size: %d x %d\nsheets: %d (current %d)\n", d.width, d.height, d.sheet_count,
               d.current_index + 1);
  int32_t index = 0, total = 0;
  for (const doc_sheet* s = d.sheets; s; s = s->next) {
    const int32_t pictures = pictures_count(s->pictures);
    total += pictures;
    std::fprintf(out, "sheet %d: background %s, pictures %d,", ++index,
                 !s->background         ? "none"
                 : s->background->shown ? "shown"
                                        : "hidden",
                 pictures);
    const paint_surface* p = s->surface;
    if (p && p->kind == 0)
      std::fprintf(out, " plain surface (whole sheet)");
    else if (p)
      print_area(out, "changed", surface_changed_area(p, 0));
    std::fprintf(out, "\n");
    for (const placed_picture* q = s->pictures; q; q = q->next)
      std::fprintf(out, "  picture %d x %d at %d,%d opacity %.2f\n", q->width, q->height, q->x,
                   q->y, q->opacity);
  }
  std::fprintf(out, "pictures: %d\n", total);
  return 0;
}

int convert(const char* in, const char* target, std::FILE* out, std::FILE* err) {
  zun_file f;
  if (open_into(f, in, err)) return 1;
  if (!f.doc_save_copy(target)) return fail(err, std::string(target) + ": cannot be written");
  const bool document = zws_path(target);
  const std::string e = extension_of(target);
  const bool renamed = !document && e != "BMP" && e != "JPG" && e != "PNG";
  std::fprintf(out, "wrote %s%s\n", target, renamed ? ".BMP" : "");
  return 0;
}
}  // namespace

int zwstool_run(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  std::string root;
  replay_options replay;
  const char* words[3] = {};
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--root") == 0) {
      if (i + 1 >= argc) return fail(err, "--root needs a folder");
      root = argv[++i];
    } else if (std::strcmp(argv[i], "--canvas") == 0) {
      if (i + 1 >= argc || !replay_parse_canvas(argv[i + 1], &replay.width, &replay.height))
        return fail(err, "--canvas needs WxH (sides 1 to 16384)");
      ++i;
    } else if (std::strcmp(argv[i], "--onto") == 0) {
      if (i + 1 >= argc) return fail(err, "--onto needs a document");
      replay.onto = argv[++i];
    } else if (count < 3) {
      words[count++] = argv[i];
    } else {
      return fail(err, kUsage);
    }
  }
  if (!root.empty()) {
    if (!os_is_folder(root.c_str())) return fail(err, root + ": no such folder");
  } else if (argc > 0 && argv[0]) {
    // The tree is the tool's own folder unless told otherwise; nothing of it
    // is read yet (documents and pictures need no content of the tree).
    root = argv[0];
    const std::size_t cut = root.find_last_of("/\\");
    root = cut == std::string::npos ? "." : root.substr(0, cut);
  }
  if (count == 3 && std::strcmp(words[0], "convert") == 0)
    return convert(words[1], words[2], out, err);
  if (count == 2 && std::strcmp(words[0], "info") == 0) return info(words[1], out, err);
  if (count == 3 && std::strcmp(words[0], "replay") == 0) {
    if (replay.onto && replay.width) return fail(err, "--canvas and --onto exclude each other");
    // Pens read their pictures and brushes from the tree.
    pen_set_resolver(nullptr);
    pen_set_root(root.c_str());
    replay.macro = words[1];
    replay.out = words[2];
    return zwstool_replay(replay, out, err);
  }
  if (replay.onto || replay.width) return fail(err, kUsage);
  return fail(err, kUsage);
}
