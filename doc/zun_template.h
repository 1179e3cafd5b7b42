#pragma once
// New documents from the template lists of the content folder: sizes, papers,
// colours, textures and ready-made documents, each an XML list file. The lists
// are read once; paper and texture pictures are cached on first use.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/dib.h"
#include "content/dict_bitmap.h"

class zun_file;

inline constexpr int kTemplateTextSize = 64;          // 63 characters and the terminator
inline constexpr int32_t kTemplateMaxEntries = 4096;  // bounds a list's "num"
inline constexpr int32_t kPaperThumbSide = 70;
inline constexpr int32_t kTemplateThumbSide = 100;

// A resource name ("Gtemplate\size\name.xml") to a path; 0 when it has none.
using template_resolver = int (*)(const char* name, std::string* out);

struct dib_deleter {
  void operator()(dib_block* b) const { dib_free(b); }
};
using dib_owner = std::unique_ptr<dib_block, dib_deleter>;

struct template_size {
  int32_t width = 0, height = 0;
  char desc[kTemplateTextSize] = {};
};
struct template_paper {
  char file[kTemplateTextSize] = {};
  char desc[kTemplateTextSize] = {};
  dib_owner picture;  // cached by paper_picture
  bool tried = false;
};
struct template_colour {
  uint32_t colour = 0;
  char desc[kTemplateTextSize] = {};
};
struct template_texture {
  char file[kTemplateTextSize] = {};
  char desc[kTemplateTextSize] = {};
  int32_t mode = 0;  // nonzero: partial tiles cover the edges
  bool has_edge = false;
  uint32_t edge = 0;  // margin colour of mode 0
  std::unique_ptr<zun_dict_bitmap> picture;
  bool tried = false;
};
struct template_file {
  char file[kTemplateTextSize] = {};
  char icon[kTemplateTextSize] = {};
  char desc[kTemplateTextSize] = {};
};

// The new-document dialog's state, kept between uses.
struct new_doc_choice {
  int32_t width = 0, height = 0;  // both 0 when unset
  int32_t paper = 0;
  int32_t texture = -1;  // none
  uint32_t colour = 0;
  int32_t template_index = -1;
};

// "255,0,0" -> 0x0000FF (red | green << 8 | blue << 16); without two commas 0.
uint32_t template_colour_of(const char* text);

class zun_template {
 public:
  zun_template() = default;
  virtual ~zun_template() = default;
  zun_template(const zun_template&) = delete;
  zun_template& operator=(const zun_template&) = delete;

  // Reads the lists in the order size, paper, colour, texture, file; a list
  // that cannot be read fails the load and leaves it and the later ones empty.
  int load(template_resolver resolver);
  int initialised() const { return initialised_; }

  // Null when the index is out of range or the picture does not load.
  const dib_block* paper_picture(int32_t index);
  const zun_dict_bitmap* texture_picture(int32_t index);
  // New blocks the caller frees: the picture scaled to fit the square.
  dib_block* paper_thumbnail(int32_t index);
  dib_block* template_thumbnail(int32_t index);
  int template_path(int32_t index, std::string* out) const;

  // Paper (tinted by the chosen colour) and texture over a dark ground, into a
  // 24-bit target of the document's size.
  int paint_background(const new_doc_choice& choice, dib_block* target);
  // A new document of the choice's size with its background painted; the
  // choice is remembered.
  int new_document(zun_file& doc, const new_doc_choice& choice);
  // The document replaced by template index (a document, or a picture made
  // into one) as a new untitled one.
  int open_template(zun_file& doc, int32_t index);

  std::vector<template_size> sizes;
  std::vector<template_paper> papers;
  std::vector<template_colour> colours;
  std::vector<template_texture> textures;
  std::vector<template_file> files;
  new_doc_choice remembered;
  uint32_t default_colour = 0;

 private:
  int resolve(const char* folder, const char* file, std::string* out) const;

  int initialised_ = 0;
  template_resolver resolver_ = nullptr;
};
