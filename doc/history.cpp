// The undo ring: push records the state before a change; undo and redo swap
// the document with a slot, so neither copies a pixel.
#include "doc/history.h"

#include <utility>

#include "base/alloc.h"
#include "doc/file_data.h"

int history_capacity_for_mib(uint64_t mib) {
  if (mib <= 512) return 8;
  const uint64_t slots = (mib - 512) / 128 + 3;
  return slots < 8 ? 8 : slots > 32 ? 32 : static_cast<int>(slots);
}

history_ring* history_ring_new(int capacity) {
  auto* r = static_cast<history_ring*>(mem_calloc(sizeof(history_ring)));
  if (!r) return nullptr;
  r->capacity = static_cast<uint16_t>(capacity > 99 ? 99 : capacity < 2 ? 2 : capacity);
  r->oldest = -1;
  r->newest = 0;
  r->redo_limit = -1;
  return r;
}

void history_ring_free(history_ring* ring) {
  if (!ring) return;
  for (history_slot& s : ring->slots) sheets_free(s.sheets);
  mem_free(ring);
}

int history_can_undo(const history_ring* ring) { return ring && ring->oldest >= 0; }

int history_can_redo(const history_ring* ring) {
  return ring && ring->redo_limit != -1 && (ring->oldest == -1 || ring->redo_limit != ring->newest);
}

namespace {
void empty_slot(history_slot& slot) {
  sheets_free(slot.sheets);
  slot.sheets = nullptr;
}

// A copy of the current surface, into the slot's own blocks when they fit:
// a fresh document-size allocation costs several times the copy itself.
int fill_surface(history_slot& slot, const paint_surface* current) {
  doc_sheet* node = slot.sheets;
  if (node && !node->next && !node->background && !node->pictures &&
      surface_copy_into(node->surface, current))
    return 1;
  empty_slot(slot);
  node = static_cast<doc_sheet*>(mem_calloc(sizeof(doc_sheet)));
  if (!node) return 0;
  node->surface = surface_clone(current);
  if (!node->surface) {
    mem_free(node);
    return 0;
  }
  slot.sheets = node;
  return 1;
}

int fill_document(history_slot& slot, const zun_file_data& data) {
  empty_slot(slot);
  doc_sheet** tail = &slot.sheets;
  for (const doc_sheet* s = data.sheets; s; s = s->next) {
    *tail = sheet_clone(s);
    if (!*tail) {
      empty_slot(slot);
      return 0;
    }
    tail = &(*tail)->next;
  }
  return slot.sheets != nullptr;
}

// Whether slot i can be swapped with the document as it is now.
bool swappable(const history_slot& slot, zun_file_data& data) {
  if (!slot.sheets) return false;
  if (slot.kind == 0) return true;
  doc_sheet* target = sheet_at(data.sheets, slot.current_index);
  const paint_surface* kept = slot.sheets->surface;
  return target && target->surface && kept && kept->width == target->surface->width &&
         kept->height == target->surface->height;
}

void swap_with(history_slot& slot, zun_file_data& data) {
  if (slot.kind == 0) {
    std::swap(data.sheets, slot.sheets);
    std::swap(data.sheet_count, slot.sheet_count);
    std::swap(data.current_index, slot.current_index);
  } else {
    std::swap(sheet_at(data.sheets, slot.current_index)->surface, slot.sheets->surface);
  }
}
}  // namespace

int history_push(history_ring* ring, zun_file_data& data, int kind) {
  if (!ring || (kind != 0 && kind != 1) || data.sheet_count <= 0) return 0;
  const paint_surface* current = kind == 1 ? data.current_surface() : nullptr;
  if (kind == 1 && !current) return 0;
  const int32_t was_oldest = ring->oldest, was_newest = ring->newest;
  if (ring->oldest < 0) {
    ring->oldest = ring->newest;
  } else {
    ring->newest = (ring->newest + 1) % ring->capacity;
    if (ring->newest == ring->oldest) ring->oldest = (ring->oldest + 1) % ring->capacity;
  }
  ring->redo_limit = -1;
  history_slot& slot = ring->slots[ring->newest];
  slot.kind = static_cast<uint16_t>(kind);
  slot.sheet_count = data.sheet_count;
  slot.current_index = data.current_index;
  const int ok = kind == 1 ? fill_surface(slot, current) : fill_document(slot, data);
  if (!ok) {
    // The step is not recorded; a dropped oldest step stays dropped (its slot
    // was the one being refilled).
    empty_slot(slot);
    ring->newest = was_newest;
    if (was_oldest < 0) ring->oldest = -1;
    return 0;
  }
  return 1;
}

int history_undo(history_ring* ring, zun_file_data& data) {
  if (!ring || ring->oldest < 0) return 0;
  history_slot& slot = ring->slots[ring->newest];
  if (!swappable(slot, data)) return 0;
  if (ring->redo_limit == -1) ring->redo_limit = ring->newest;
  swap_with(slot, data);
  if (ring->newest == ring->oldest) {
    ring->oldest = -1;
  } else {
    ring->newest = ring->newest == 0 ? ring->capacity - 1 : ring->newest - 1;
  }
  return 1;
}

int history_redo(history_ring* ring, zun_file_data& data) {
  if (!history_can_redo(ring)) return 0;
  const int32_t next = ring->oldest == -1 ? ring->newest : (ring->newest + 1) % ring->capacity;
  history_slot& slot = ring->slots[next];
  if (!swappable(slot, data)) return 0;
  if (ring->oldest == -1) ring->oldest = ring->newest;
  ring->newest = next;
  swap_with(slot, data);
  return 1;
}
