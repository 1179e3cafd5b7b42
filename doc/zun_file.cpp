// The controller's part that pens and tools use: new documents, history
// steps and their installation, the modified flag.
#include "doc/zun_file.h"

#include <new>

#include "base/state_queue.h"

zun_file::~zun_file() { release(); }

void zun_file::release() {
  delete data;
  data = nullptr;
  delete canvas;
  canvas = nullptr;
  history_ring_free(history);
  history = nullptr;
  active = 0;
}

int zun_file::recreate_history() {
  history_ring_free(history);
  int capacity = history_capacity_;
  if (capacity <= 0) capacity = history_capacity_for_mib(physical_memory_mib());
  history = history_ring_new(capacity);
  return history != nullptr;
}

int zun_file::zun_file_init(int history_capacity) {
  release();
  history_capacity_ = history_capacity;
  canvas = new (std::nothrow) zun_file_canvas;
  data = new (std::nothrow) zun_file_data(this);
  if (!canvas || !data || !recreate_history()) {
    release();
    return 0;
  }
  active = 1;
  path[0] = 0;
  path_is_document = 1;
  data->doc_data_new(0, 0);
  return 1;
}

int zun_file::doc_new(int32_t w, int32_t h) {
  if (!active || !recreate_history()) return 0;
  set_path(nullptr);
  return data->doc_data_new(w, h);
}

int zun_file::history_push(int kind) {
  if (!active || !::history_push(history, *data, kind)) return 0;
  if (app_initialised()) post_change(kStateHistory);
  return 1;
}

// After a swap the document may hold another sheet list: redraw it all.
int zun_file::install_swap() {
  data->doc_mark_dirty(nullptr, 0);
  if (app_initialised()) {
    modified = 1;
    post_change(kStateDocument512);
    post_change(kStateModified);
    post_change(kStateHistory);
  }
  return 1;
}

int zun_file::history_undo() {
  if (!active || !::history_undo(history, *data)) return 0;
  return install_swap();
}

int zun_file::history_redo() {
  if (!active || !::history_redo(history, *data)) return 0;
  return install_swap();
}

int zun_file::can_undo() const { return active && history_can_undo(history); }
int zun_file::can_redo() const { return active && history_can_redo(history); }

int zun_file::doc_clear() {
  if (!active || !data->current_surface()) return 0;
  history_push(1);
  return data->doc_clear_surface();
}

int zun_file::doc_toggle_background() {
  if (!active || !data->current_background()) return 0;
  history_push(0);
  return data->doc_toggle_background();
}

int zun_file::doc_remove_pictures() {
  // No step is recorded for a sheet without pictures.
  if (!active || data->picture_count() < 1) return 0;
  history_push(0);
  return data->doc_remove_pictures();
}

void zun_file::mark_dirty(int set_modified) {
  if (active) data->doc_mark_dirty(nullptr, set_modified);
}

paint_surface* zun_file::surface() { return active ? data->current_surface() : nullptr; }
int32_t zun_file::width() const { return active && data->sheet_count > 0 ? data->width : 0; }
int32_t zun_file::height() const { return active && data->sheet_count > 0 ? data->height : 0; }

canvas_point zun_file::screen_to_document(int32_t wx, int32_t wy) const {
  if (!active || !canvas) return canvas_point{0, 0};
  return canvas->window_to_doc(wx, wy);
}
