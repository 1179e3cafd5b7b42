// Writing a document, field by field, through a file that replaces the old
// one only once every byte has reached the disk.
#include <cstring>

#include "base/os.h"
#include "doc/file_data.h"
#include "doc/zws.h"

namespace {
struct writer {
  dib_write_fn fn;
  void* context;
  bool ok = true;

  void bytes(const void* p, std::size_t n) {
    if (ok && !fn(context, p, n)) ok = false;
  }
  void u16(uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    bytes(b, 2);
  }
  void u32(uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    bytes(b, 4);
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    u32(u);
  }
  void block(const dib_block* b) {
    if (ok && !dib_write_stream(b, fn, context)) ok = false;
  }
};

bool complete(const placed_picture* p) { return p->image && p->mask; }

void write_sheet(writer& w, const doc_sheet* s) {
  const paint_surface* surface = s->surface;
  if (!surface || !surface->colour || !s->background || !s->background->image) {
    w.ok = false;  // the reader requires these: never write a file it refuses
    return;
  }
  // A surface without a coverage plane is written as colour only, as read.
  const bool covered = surface->coverage != nullptr;
  w.u16(covered ? 1 : 0);
  w.i32(surface->width);
  w.i32(surface->height);
  w.block(surface->colour);
  if (covered) {
    w.block(surface->coverage);
    w.i32(surface->changed.left);
    w.i32(surface->changed.top);
    w.i32(surface->changed.right);
    w.i32(surface->changed.bottom);
  }
  w.u16(0xFFFF);

  w.i32(s->background->width);
  w.i32(s->background->height);
  w.block(s->background->image);

  int32_t count = 0;
  for (const placed_picture* p = s->pictures; p; p = p->next) count += complete(p);
  w.i32(count);
  for (const placed_picture* p = s->pictures; p; p = p->next) {
    if (!complete(p)) continue;
    w.i32(p->x);
    w.i32(p->y);
    w.i32(p->width);
    w.i32(p->height);
    w.f32(p->opacity);
    w.block(p->image);
    w.block(p->mask);
  }
}

struct limited {
  os_safe_file* file;
  uint64_t left;
};

int write_limited(void* context, const void* data, std::size_t size) {
  auto* l = static_cast<limited*>(context);
  if (size > l->left) {
    // The disk fills up part-way: what fits is written, then the write fails.
    l->file->write(data, static_cast<std::size_t>(l->left));
    l->left = 0;
    return 0;
  }
  l->left -= size;
  return l->file->write(data, size);
}
}  // namespace

int zws_path(const char* path) {
  if (!path) return 0;
  const std::size_t n = std::strlen(path);
  if (n < 4) return 0;
  const char* e = path + n - 4;
  return e[0] == '.' && (e[1] | 0x20) == 'z' && (e[2] | 0x20) == 'w' && (e[3] | 0x20) == 's';
}

int write_document_to(const zun_file_data& data, dib_write_fn fn, void* context) {
  if (!data.owner || data.sheet_count <= 0 || !data.sheets || !fn) return 0;
  writer w{fn, context};
  w.bytes(".zws", 4);
  w.u32(1);
  w.i32(data.width);
  w.i32(data.height);
  w.i32(data.current_index);
  int32_t count = 0;
  for (const doc_sheet* s = data.sheets; s; s = s->next) ++count;
  w.i32(count);
  for (const doc_sheet* s = data.sheets; s && w.ok; s = s->next) write_sheet(w, s);
  return w.ok;
}

int write_document_limited(const zun_file_data& data, const char* path, uint64_t byte_limit) {
  if (!data.owner || data.sheet_count <= 0 || !zws_path(path)) return 0;
  // A read-only document is overwritten, as the user asked to save it.
  if (os_file_exists(path)) os_clear_attributes(path);
  os_safe_file file(path);
  if (!file.ok()) return 0;
  limited l{&file, byte_limit};
  if (!write_document_to(data, write_limited, &l)) return 0;  // the temporary file goes
  return file.commit();
}

int write_document(const zun_file_data& data, const char* path) {
  return write_document_limited(data, path, UINT64_MAX);
}
