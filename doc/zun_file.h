#pragma once
// The document controller: owns the document data, its canvas view and the
// undo history, and carries the path and the modified flag. zun_file.cpp is
// the part every pen and tool goes through; opening and saving are in
// zun_file_io.cpp, export in zun_file_export.cpp.
#include <cstdint>

#include "doc/canvas.h"
#include "doc/file_data.h"
#include "doc/history.h"

struct surface_rgn;

// Longest document path kept (the path field holds 512 bytes).
inline constexpr int kDocPathMax = 511;

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

  // Opening, saving and export (zun_file_io.cpp, zun_file_export.cpp).
  int doc_open(const char* path);
  int doc_open_template(const char* path);
  // mode 1 tones the model towards mid grey first.
  int doc_open_model(const char* path, int mode);
  int doc_save(const char* path);
  int doc_save_copy(const char* path);
  int doc_export(const char* path);
  // Fills the region (null: the whole surface) of the current surface with white.
  int doc_erase_region(const surface_rgn* region);
  // The path rules: ".zws" kept, any other name becomes its ".zws" twin.
  void set_path(const char* path);

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
  char path[kDocPathMax + 1] = {};
  int path_is_document = 1;
  // Supplied by the shell: the selected template's size (0 when none is
  // loaded) and the maximum document size settings (0: no limit).
  int32_t template_width = 0, template_height = 0;
  int32_t max_width = 0, max_height = 0;

 private:
  int recreate_history();
  int install_swap();
  int load(const char* path);
  int open_common(const char* path);
  int history_capacity_ = 0;
};
