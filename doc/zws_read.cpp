// Reading a document. Every size, count and embedded bitmap is checked
// against the document before it is used: a bitmap of another size than its
// record says is refused, so no later drawing can step outside a block.
#include <cstdio>
#include <cstring>

#include "base/alloc.h"
#include "base/os.h"
#include "doc/file_data.h"
#include "doc/zws.h"

#include "base/byte_reader.h"

namespace {
// Smallest possible records, to bound counts by the bytes that remain.
constexpr std::size_t kMinStream = 6;  // tag and one u32
constexpr std::size_t kMinSheet = (2 + 8 + kMinStream + 2) + (8 + kMinStream) + 4;
constexpr std::size_t kMinPicture = 20 + 2 * kMinStream;

struct reader : byte_reader {
  // One bitmap record that must decode to a block of exactly this size and depth.
  dib_block* block(int32_t width, int32_t height, int bits) {
    std::size_t used = 0;
    dib_block* b = dib_read_stream_exact(p, left, width, height, bits, &used);
    if (!b) return nullptr;
    p += used;
    left -= used;
    return b;
  }
};

// width 0: a surface of any size a document may have.
paint_surface* read_surface(reader& in, int32_t width, int32_t height) {
  uint16_t kind = 0, end = 0;
  int32_t w = 0, h = 0;
  if (!in.u16(kind) || !in.i32(w) || !in.i32(h)) return nullptr;
  if (kind > 1) return nullptr;
  if (width ? (w != width || h != height) : !doc_size_allowed(w, h)) return nullptr;
  auto* s = static_cast<paint_surface*>(mem_calloc(sizeof(paint_surface)));
  if (!s) return nullptr;
  s->kind = kind;
  s->width = w;
  s->height = h;
  s->step_x = s->step_y = 1.0f;
  s->changed = dib_rect{0, 0, w, h};
  bool ok = (s->colour = in.block(w, h, 24)) != nullptr;
  if (ok && kind == 1) {
    dib_rect c;
    ok = (s->coverage = in.block(w, h, 8)) != nullptr && in.i32(c.left) && in.i32(c.top) &&
         in.i32(c.right) && in.i32(c.bottom);
    if (ok) s->changed = dib_rect_intersect(c, dib_rect{0, 0, w, h});
  }
  ok = ok && in.u16(end) && end == 0xFFFF;
  // Caches of the pixel areas (the colour block replacing itself refreshes them).
  ok = ok && surface_set_colour(s, s->colour);
  if (!ok) {
    surface_free(s);
    return nullptr;
  }
  return s;
}

sheet_background* read_background(reader& in, int32_t width, int32_t height) {
  int32_t w = 0, h = 0;
  if (!in.i32(w) || !in.i32(h) || w != width || h != height) return nullptr;
  dib_block* image = in.block(w, h, 24);
  if (!image) return nullptr;
  sheet_background* b = background_adopt(w, h, image);
  if (b && !b->checkerboard) {
    background_free(b);
    return nullptr;
  }
  return b;
}

// A picture list that cannot be read completely gives no pictures; *budget
// counts the pictures the whole file may still hold.
placed_picture* read_pictures(reader& in, int32_t* budget) {
  int32_t count = 0;
  if (!in.i32(count) || count <= 0) return nullptr;
  if (count > *budget || uint64_t(count) * kMinPicture > in.left) return nullptr;
  placed_picture* list = nullptr;
  placed_picture** tail = &list;
  for (int32_t i = 0; i < count; ++i) {
    placed_picture q{};
    q.kind = 1;
    if (!in.i32(q.x) || !in.i32(q.y) || !in.i32(q.width) || !in.i32(q.height) ||
        !in.f32(q.opacity) || !doc_size_allowed(q.width, q.height)) {
      pictures_free(list);
      return nullptr;
    }
    q.image = in.block(q.width, q.height, 24);
    q.mask = q.image ? in.block(q.width, q.height, 8) : nullptr;
    auto* p = q.mask ? static_cast<placed_picture*>(mem_alloc(sizeof(placed_picture))) : nullptr;
    if (!p) {
      dib_free(q.image);
      dib_free(q.mask);
      pictures_free(list);
      return nullptr;
    }
    *p = q;
    *tail = p;
    tail = &p->next;
  }
  *budget -= count;
  return list;
}

doc_sheet* read_sheets(reader& in, int32_t width, int32_t height) {
  int32_t count = 0;
  if (!in.i32(count) || count <= 0 || count > kZwsMaxSheets ||
      uint64_t(count) * kMinSheet > in.left)
    return nullptr;
  int32_t picture_budget = kZwsMaxPictures;
  doc_sheet* list = nullptr;
  doc_sheet** tail = &list;
  for (int32_t i = 0; i < count; ++i) {
    auto* s = static_cast<doc_sheet*>(mem_calloc(sizeof(doc_sheet)));
    if (!s || !(s->surface = read_surface(in, width, height)) ||
        !(s->background = read_background(in, width, height))) {
      sheet_free(s);
      sheets_free(list);
      return nullptr;
    }
    s->pictures = read_pictures(in, &picture_budget);
    *tail = s;
    tail = &s->next;
  }
  return list;
}

// The whole file in one counted block (records are parsed in place).
unsigned char* load(const char* path, std::size_t* length) {
  *length = 0;
  FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return nullptr;
  std::size_t capacity = 1 << 20, used = 0;
  auto* buf = static_cast<unsigned char*>(mem_alloc(capacity));
  while (buf) {
    if (used == capacity) {
      if (capacity >= kZwsMaxFileBytes) {
        mem_free(buf);
        buf = nullptr;
        break;
      }
      auto* bigger = static_cast<unsigned char*>(mem_realloc(buf, capacity * 2));
      if (!bigger) {
        mem_free(buf);
        buf = nullptr;
        break;
      }
      buf = bigger;
      capacity *= 2;
    }
    const std::size_t n = std::fread(buf + used, 1, capacity - used, f);
    used += n;
    if (n == 0) {
      if (std::ferror(f)) {
        mem_free(buf);
        buf = nullptr;
      }
      break;
    }
  }
  std::fclose(f);
  *length = used;
  return buf;
}
}  // namespace

paint_surface* zws_read_surface(const unsigned char* data, std::size_t length, int32_t width,
                                int32_t height, std::size_t* used) {
  reader in{data, data ? length : 0};
  paint_surface* s = read_surface(in, width, height);
  if (s && used) *used = length - in.left;
  return s;
}

int read_document_bytes(zun_file_data& data, const unsigned char* bytes, std::size_t length) {
  if (!data.owner) return 0;
  reader in{bytes, bytes ? length : 0};
  char magic[4];
  uint32_t version = 0;
  int32_t width = 0, height = 0, current = 0;
  doc_sheet* list = nullptr;
  if (in.take(magic, 4) && magic[0] == '.' && (magic[1] | 0x20) == 'z' &&
      (magic[2] | 0x20) == 'w' && (magic[3] | 0x20) == 's' && in.u32(version) && version == 1 &&
      in.i32(width) && in.i32(height) && doc_size_allowed(width, height) && in.i32(current))
    list = read_sheets(in, width, height);
  // The view learns the size (and makes its back buffer) only for a file
  // that was read whole: a bad header costs no document-size allocation.
  if (!list) {
    data.doc_reset(0, 0);
    return 0;
  }
  data.doc_reset(width, height);
  data.install_sheets(list, current);
  return 1;
}

int read_document(zun_file_data& data, const char* path) {
  if (!data.owner || !zws_path(path)) return 0;
  std::size_t length = 0;
  unsigned char* bytes = load(path, &length);
  if (!bytes) {
    data.doc_reset(0, 0);
    return 0;
  }
  const int ok = read_document_bytes(data, bytes, length);
  mem_free(bytes);
  return ok;
}
