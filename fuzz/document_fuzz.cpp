// The document reader on any bytes. What it accepts must draw, write and read
// back to the very same bytes, and every block must be freed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/alloc.h"
#include "doc/zun_file.h"
#include "doc/zws.h"

namespace {
int append(void* context, const void* data, size_t size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
  return 1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const long blocks = alloc_count();
  {
    zun_file file;
    if (!file.zun_file_init(4)) return 0;
    file.canvas->view_setup(0, 0, 640, 480);
    if (read_document_bytes(*file.data, data, size)) {
      zun_file_data& d = *file.data;
      if (d.sheet_count <= 0 || d.current_index < 0 || d.current_index >= d.sheet_count)
        __builtin_trap();
      // Drawing touches every block of every sheet, pictures included.
      dib_block* all = d.doc_render_all();
      dib_free(all);
      d.doc_mark_dirty(nullptr, 0);
      file.canvas->view_set_angle(33);
      dib_block* desktop = dib_create(480, 1, 640, 0);
      file.canvas->view_redraw(d, desktop);
      dib_free(desktop);
      // History copies and swaps of what was read.
      file.history_push(0);
      file.history_undo();
      std::string once, twice;
      if (!write_document_to(d, append, &once)) __builtin_trap();
      zun_file again;
      if (!again.zun_file_init(4)) return 0;
      if (!read_document_bytes(*again.data, reinterpret_cast<const unsigned char*>(once.data()),
                               once.size()))
        __builtin_trap();
      if (!write_document_to(*again.data, append, &twice) || once != twice) __builtin_trap();
    }
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
