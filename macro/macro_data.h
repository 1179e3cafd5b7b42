#pragma once
// The one macro of a program run: the record list, the current position, the
// file path and the current player. Recording is gated by the owner panel's
// state; the pen and eraser tools hand each event over as plain values.
#include <cstdint>
#include <string>

#include "macro/player.h"
#include "macro/record_list.h"

class zun_file;

enum : int32_t { kMacroIdle = 0, kMacroPlaying = 1, kMacroRecording = 2 };

// What the macro reads of its panel.
struct macro_owner {
  int32_t initialised = 0;
  int32_t state = kMacroIdle;
};

// One pen or eraser event as the tool delivers it. Down events carry the
// stroke's first point; for up events the point and pressure are ignored.
struct macro_event {
  uint8_t phase = kMacroMove;  // 1 down, 2 move, 3 up
  int32_t x = 0, y = 0;        // document pixels
  float pressure = 1.0f;
  int32_t has_pressure = 0;
  int32_t point_index = 0, point_count = 0;  // within one move's batch of tablet points
  int32_t pen_id = -1;                        // -1: no pen selected
  int32_t erase = 0;                          // the engine's rubber value (pen tool)
  float pen_size = 0;                         // the engine's absolute size
  uint32_t colour = 0;                        // current paint colour, 0x00BBGGRR
  float opacity = 1.0f;                       // current paint opacity
};

// The header every new or refreshed record takes from the current state.
struct macro_header {
  int16_t canvas_width = 0, canvas_height = 0;
  uint32_t colour = 0;
  uint32_t back_colour = 0x00FFFFFF;
  float opacity = 1.0f;
};

inline constexpr std::size_t kMacroPathMax = 512;
inline constexpr uint32_t kMacroEraserColour = 0x00FFFFFF;

class zun_macro_data {
 public:
  zun_macro_data() = default;
  virtual ~zun_macro_data();
  zun_macro_data(const zun_macro_data&) = delete;
  zun_macro_data& operator=(const zun_macro_data&) = delete;

  int init();
  void clear();
  void seek(int32_t index);
  void home() { seek(0); }
  void end() { seek(count() - 1); }
  void truncate_at_position();
  void drop_player();

  int record_pen_event(const macro_event& e);
  int record_rub_event(const macro_event& e);
  macro_record* find_mergeable(uint8_t kind, uint8_t phase, int32_t x, int32_t y,
                               const macro_header& h);
  macro_record* append_record(uint8_t kind, uint8_t phase, const macro_header& h);
  // The header for an event of this colour and opacity: the canvas size of
  // the open document (0 x 0 without one) and the background colour.
  macro_header current_header(uint32_t colour, float opacity) const;

  // untitled: the language's name for an unnamed file ("untitled" when null or empty).
  std::string default_path(const char* untitled = nullptr) const;
  int set_path(const char* p);
  int load_macro(const char* p);
  int save_macro(const char* p);
  // The same save, failing as if the disk were full after byte_limit bytes.
  int save_macro_limited(const char* p, uint64_t byte_limit);
  // Plays the record at position through the player of its kind; 1 when it painted.
  int play_current(macro_stage& stage);

  int32_t count() const { return records ? records->count : 0; }
  const macro_record* record_at(int32_t i) const {
    return records && i >= 0 && i < records->count ? &records->items[i] : nullptr;
  }
  int recording() const {
    return initialised && owner && owner->initialised && owner->state == kMacroRecording;
  }

  int32_t initialised = 0;
  const macro_owner* owner = nullptr;
  const zun_file* document = nullptr;  // the open document, for the canvas size
  uint32_t back_colour = 0x00FFFFFF;   // stored in records, never played
  char path[kMacroPathMax] = {};
  int32_t position = 0;
  zun_macro_rec* records = nullptr;
  uint8_t player_kind = 0;
  zun_macro_one* player = nullptr;
  macro_player_factory* players = nullptr;  // the painting layer's; null: nothing paints

 private:
  int record_event(uint8_t kind, const macro_event& e);
};

// 1 when p ends in ".zwm", in any case.
int macro_path_ok(const char* p);
