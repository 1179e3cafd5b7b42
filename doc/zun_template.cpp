#include "doc/zun_template.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/dib_pixel.h"
#include "base/os.h"
#include "base/xml.h"
#include "content/tie_text.h"
#include "doc/zun_file.h"
#include "doc/zws.h"
#include "image/image.h"

namespace {
constexpr uint32_t kGround = 0x404040;  // shows wherever neither paper nor texture lies

// Integer conversion as the lists mean it: leading digits, 0 without any, and
// values beyond 32 bits held at the ends instead of wrapping.
int32_t to_int(const char* text) {
  errno = 0;
  const long long v = std::strtoll(text, nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

// One list file: calls entry(xml, section) for "i0" .. "i<num-1>".
template <class F>
int read_list(template_resolver resolve, const char* name, F&& entry) {
  std::string path;
  app_xmlobj xml;
  if (!resolve || !resolve(name, &path) || !xml.load(path.c_str(), 1)) return 0;
  char text[32];
  xml.get_text("info", "num", text, sizeof text);
  const int32_t count = std::clamp<int32_t>(to_int(text), 0, kTemplateMaxEntries);
  for (int32_t i = 0; i < count; ++i) {
    char section[16];
    std::snprintf(section, sizeof section, "i%d", i);
    entry(xml, section);
  }
  return 1;
}

void copy_key(const app_xmlobj& xml, const char* section, const char* key, char* out) {
  char value[xml_value_max + 1];
  xml.get_text(section, key, value, sizeof value);
  tie_text_copy(out, kTemplateTextSize, value);  // never cut inside a double-byte character
}

int32_t int_key(const app_xmlobj& xml, const char* section, const char* key) {
  char value[32];
  xml.get_text(section, key, value, sizeof value);
  return to_int(value);
}

dib_block* fit_copy(const dib_block* picture, int32_t side) {
  if (!picture) return nullptr;
  int32_t w = 0, h = 0;
  dict_display_size(dib_width(picture), dib_height(picture), side, &w, &h);
  dib_block* copy = dib_bits(picture) == 24 ? dib_clone(picture) : dib_to_24(picture);
  return copy ? dib_resize(copy, w, h) : nullptr;
}

// Lays picture at (x, y) into the 24-bit target, clipped: tinted (each
// channel times the tint's / 255) or, with an alpha plane of its size,
// blended through it.
void lay_tile(dib_block* target, int64_t x, int64_t y, const dib_block* picture,
              const dib_block* alpha, const uint32_t* tint) {
  const int32_t w = dib_width(picture), h = dib_height(picture);
  const int64_t x0 = std::max<int64_t>(0, -x), y0 = std::max<int64_t>(0, -y);
  const int64_t x1 = std::min<int64_t>(w, dib_width(target) - x);
  const int64_t y1 = std::min<int64_t>(h, dib_height(target) - y);
  const int tr = tint ? dib_red(*tint) : 255, tg = tint ? dib_green(*tint) : 255,
            tb = tint ? dib_blue(*tint) : 255;
  for (int64_t row = y0; row < y1; ++row) {
    const unsigned char* s = dib_row(picture, int32_t(row));
    const unsigned char* a = alpha ? dib_row(alpha, int32_t(row)) : nullptr;
    unsigned char* d = dib_row(target, int32_t(y + row));
    for (int64_t col = x0; col < x1; ++col) {
      const unsigned char* p = s + col * 3;
      unsigned char* q = d + (x + col) * 3;
      if (a) {
        if (a[col]) dib_px_set(q, dib_colour(p[2], p[1], p[0]), alpha_table[a[col]]);
        continue;
      }
      q[0] = static_cast<unsigned char>(p[0] * tb / 255);
      q[1] = static_cast<unsigned char>(p[1] * tg / 255);
      q[2] = static_cast<unsigned char>(p[2] * tr / 255);
    }
  }
}

void fill(dib_block* target, int64_t left, int64_t top, int64_t right, int64_t bottom,
          uint32_t colour) {
  left = std::max<int64_t>(left, 0), top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, dib_width(target));
  bottom = std::min<int64_t>(bottom, dib_height(target));
  if (left >= right || top >= bottom) return;
  const dib_rect r{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
  dib_fill(target, colour, &r);
}
}  // namespace

uint32_t template_colour_of(const char* text) {
  if (!text) return 0;
  const char* first = std::strchr(text, ',');
  const char* second = first ? std::strchr(first + 1, ',') : nullptr;
  if (!second) return 0;
  const uint32_t red = static_cast<uint32_t>(to_int(text)) & 0xFF;
  const uint32_t green = static_cast<uint32_t>(to_int(first + 1)) & 0xFF;
  const uint32_t blue = static_cast<uint32_t>(to_int(second + 1)) & 0xFF;
  return red | green << 8 | blue << 16;
}

int zun_template::load(template_resolver resolver) {
  sizes.clear(), papers.clear(), colours.clear(), textures.clear(), files.clear();
  initialised_ = 0;
  resolver_ = resolver;
  const bool ok =
      read_list(resolver, "Gtemplate\\size\\name.xml",
                [&](const app_xmlobj& x, const char* s) {
                  template_size e;
                  e.width = int_key(x, s, "width"), e.height = int_key(x, s, "height");
                  copy_key(x, s, "desc", e.desc);
                  sizes.push_back(e);
                }) &&
      read_list(resolver, "Gtemplate\\paper\\name.xml",
                [&](const app_xmlobj& x, const char* s) {
                  template_paper& e = papers.emplace_back();
                  copy_key(x, s, "file", e.file);
                  copy_key(x, s, "desc", e.desc);
                }) &&
      read_list(resolver, "Gtemplate\\color\\name.xml",
                [&](const app_xmlobj& x, const char* s) {
                  template_colour e;
                  char value[64];
                  x.get_text(s, "clr", value, sizeof value);
                  e.colour = template_colour_of(value);
                  copy_key(x, s, "desc", e.desc);
                  colours.push_back(e);
                }) &&
      read_list(resolver, "Gtemplate\\texture\\name.xml",
                [&](const app_xmlobj& x, const char* s) {
                  template_texture& e = textures.emplace_back();
                  copy_key(x, s, "file", e.file);
                  copy_key(x, s, "desc", e.desc);
                  e.mode = int_key(x, s, "mode");
                  char value[64];
                  if (x.get_text(s, "color", value, sizeof value) && value[0]) {
                    e.has_edge = true;
                    e.edge = template_colour_of(value);
                  }
                }) &&
      read_list(resolver, "Gtemplate\\file\\name.xml", [&](const app_xmlobj& x, const char* s) {
        template_file e;
        copy_key(x, s, "file", e.file);
        copy_key(x, s, "icon", e.icon);
        copy_key(x, s, "desc", e.desc);
        files.push_back(e);
      });
  if (!ok) return 0;
  remembered = new_doc_choice{};
  default_colour = colours.empty() ? 0 : colours[0].colour;
  remembered.colour = default_colour;
  initialised_ = 1;
  return 1;
}

int zun_template::resolve(const char* folder, const char* file, std::string* out) const {
  if (!resolver_ || !file || !file[0]) return 0;
  char name[kTemplateTextSize + 32];
  std::snprintf(name, sizeof name, "Gtemplate\\%s\\%s", folder, file);
  return resolver_(name, out);
}

const dib_block* zun_template::paper_picture(int32_t index) {
  if (index < 0 || index >= int32_t(papers.size())) return nullptr;
  template_paper& e = papers[std::size_t(index)];
  if (!e.tried) {
    e.tried = true;  // a paper that fails to load is not read again on every paint
    std::string path, bytes;
    if (resolve("paper", e.file, &path) && os_read_file(path.c_str(), bytes, kDibMaxBytes)) {
      dib_block* b = bmp_decode(bytes.data(), bytes.size());
      if (b && dib_bits(b) != 24) b = image_to_24(b);
      e.picture.reset(b);
    }
  }
  return e.picture.get();
}

const zun_dict_bitmap* zun_template::texture_picture(int32_t index) {
  if (index < 0 || index >= int32_t(textures.size())) return nullptr;
  template_texture& e = textures[std::size_t(index)];
  if (!e.tried) {
    e.tried = true;
    std::string path;
    auto picture = std::make_unique<zun_dict_bitmap>();
    if (resolve("texture", e.file, &path) && picture->from_file(path.c_str()))
      e.picture = std::move(picture);
  }
  return e.picture.get();
}

dib_block* zun_template::paper_thumbnail(int32_t index) {
  return fit_copy(paper_picture(index), kPaperThumbSide);
}

int zun_template::template_path(int32_t index, std::string* out) const {
  if (index < 0 || index >= int32_t(files.size())) return 0;
  return resolve("file", files[std::size_t(index)].file, out);
}

dib_block* zun_template::template_thumbnail(int32_t index) {
  if (index < 0 || index >= int32_t(files.size())) return nullptr;
  const template_file& e = files[std::size_t(index)];
  std::string path;
  if (e.icon[0]) {
    zun_dict_bitmap icon;
    if (!resolve("file", e.icon, &path) || !icon.from_file(path.c_str(), kTemplateThumbSide))
      return nullptr;
    return fit_copy(icon.picture(), kTemplateThumbSide);
  }
  // No icon: the file itself, a document drawn whole or a picture.
  if (!template_path(index, &path)) return nullptr;
  if (!zws_path(path.c_str())) {
    zun_dict_bitmap picture;
    if (!picture.from_file(path.c_str(), kTemplateThumbSide)) return nullptr;
    return fit_copy(picture.picture(), kTemplateThumbSide);
  }
  zun_file scratch;
  zun_file_data data(&scratch);
  if (!read_document(data, path.c_str())) return nullptr;
  dib_owner drawn(data.doc_render_all());
  return fit_copy(drawn.get(), kTemplateThumbSide);
}

int zun_template::paint_background(const new_doc_choice& choice, dib_block* target) {
  if (!dib_valid(target) || dib_bits(target) != 24) return 0;
  const int64_t W = dib_width(target), H = dib_height(target);
  dib_fill(target, kGround, nullptr);
  if (const dib_block* paper = paper_picture(choice.paper)) {
    const int32_t w = dib_width(paper), h = dib_height(paper);
    for (int64_t y = 0; y < H; y += h)
      for (int64_t x = 0; x < W; x += w) lay_tile(target, x, y, paper, nullptr, &choice.colour);
  }
  const zun_dict_bitmap* texture = texture_picture(choice.texture);
  if (texture && texture->picture()) {
    const template_texture& e = textures[std::size_t(choice.texture)];
    const dib_block* picture = texture->picture();
    const int64_t w = dib_width(picture), h = dib_height(picture);
    const dib_block* alpha = texture->companion();
    if (alpha && (dib_width(alpha) != w || dib_height(alpha) != h)) alpha = nullptr;
    int64_t columns, rows, x0, y0;
    if (e.mode) {  // partial tiles on every edge
      columns = W / w + 2, rows = H / h + 2;
      x0 = (W % w) / 2 - w, y0 = (H % h) / 2 - h;
    } else {  // whole tiles, centred
      columns = W / w, rows = H / h;
      x0 = (W % w) / 2, y0 = (H % h) / 2;
    }
    for (int64_t r = 0; r < rows; ++r)
      for (int64_t c = 0; c < columns; ++c)
        lay_tile(target, x0 + c * w, y0 + r * h, picture, alpha, nullptr);
    if (!e.mode && e.has_edge) {
      const int64_t right = x0 + columns * w, bottom = y0 + rows * h;
      fill(target, 0, 0, x0, H, e.edge);
      fill(target, right, 0, W, H, e.edge);
      fill(target, 0, 0, W, y0, e.edge);
      fill(target, 0, bottom, W, H, e.edge);
    }
  }
  return 1;
}

int zun_template::new_document(zun_file& doc, const new_doc_choice& choice) {
  new_doc_choice c = choice;
  if (c.width <= 0 || c.height <= 0) c.width = c.height = 0;  // the document's own default
  remembered = c;
  if (!doc.doc_new(c.width, c.height)) return 0;
  sheet_background* b = doc.data ? doc.data->current_background() : nullptr;
  if (!b || !b->image || !paint_background(c, b->image)) return 0;
  doc.data->doc_mark_dirty(nullptr, 0);
  return 1;
}

int zun_template::open_template(zun_file& doc, int32_t index) {
  std::string path;
  if (!template_path(index, &path) || !os_file_exists(path.c_str()) || os_is_folder(path.c_str()))
    return 0;
  remembered.template_index = index;
  return doc.doc_open_template(path.c_str());
}
