#pragma once
// The document controller: owns the document data, its canvas view and the
// undo history, and carries the modified flag. Opening, saving and export
// live elsewhere; this is the part every pen and tool goes through.
#include <cstdint>

#include "doc/canvas.h"
#include "doc/file_data.h"
#include "doc/history.h"

class zun_file {
 public:
  zun_file() = default;
  virtual ~zun_file();
  zun_file(const zun_file&) = delete;
  zun_file& operator=(const zun_file&) = delete;

  // capacity 0: the history capacity from the machine's physical memory.
  int zun_file_init(int history_capacity = 0);
  void release();

  int doc_new(int32_t width, int32_t height);
  int history_push(int kind);
  int history_undo();
  int history_redo();
  int can_undo() const;
  int can_redo() const;

  // Steps that record their own history first.
  int doc_clear();
  int doc_toggle_background();
  int doc_remove_pictures();

  void mark_dirty(int set_modified);
  paint_surface* surface();
  int32_t width() const;
  int32_t height() const;
  canvas_point screen_to_document(int32_t window_x, int32_t window_y) const;

  int active = 0;
  int modified = 0;
  zun_file_canvas* canvas = nullptr;
  zun_file_data* data = nullptr;
  history_ring* history = nullptr;
  // Supplied by the shell: the selected template's size (0 when none is
  // loaded) and the maximum document size settings (0: no limit).
  int32_t template_width = 0, template_height = 0;
  int32_t max_width = 0, max_height = 0;

 private:
  int recreate_history();
  int install_swap();
  int history_capacity_ = 0;
};
