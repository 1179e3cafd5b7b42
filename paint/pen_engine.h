#pragma once
// The pen object: selects and sizes one catalogue pen and forwards stroke
// events to the engine of its kind (pattern, stamp or brush engine).
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/pattern_engine.h"
#include "paint/pen_catalogue.h"
#include "paint/stamp_engine.h"

class mp_engine;

// What the pressure and tablet layer asks of a pen.
class zun_pen_engine {
 public:
  virtual int simulate_flag() const = 0;
  virtual float size_fraction() const = 0;
  virtual ~zun_pen_engine() = default;
};

// The resource names the pens read.
inline constexpr const char* kPatternFolder = "Gpenpat";
inline constexpr const char* kBrushFolder = "Gpenpat\\mp";
inline constexpr int kMaxStampFiles = 100;
// "Gtex\file\tex%d.bmp" of a paper number; "Gtex\cust\%03d-%02d.bmp" of a stamp.
void paper_name(int32_t paper, char* out, int size);
void stamp_name(int32_t set, int32_t step, char* out, int size);
// Stamp files of a set, counted up to the first missing one (at most 100).
int count_stamp_files(int32_t set);

// Large (the pattern state is a fixed block of about 400 KB): make it with new.
class zun_pen_single_engine : public zun_pen_engine {
 public:
  zun_pen_single_engine() = default;
  ~zun_pen_single_engine() override;
  zun_pen_single_engine(const zun_pen_single_engine&) = delete;
  zun_pen_single_engine& operator=(const zun_pen_single_engine&) = delete;

  int simulate_flag() const override;
  float size_fraction() const override;

  int select_pen(int32_t id, int eraser);
  int set_size(float fraction);
  int set_size_pixels(float pixels);
  int begin_stroke(int has_pressure, paint_surface* layer, int32_t x, int32_t y, float pressure);
  int stroke_segment(paint_surface* layer, int32_t x, int32_t y, uint32_t colour, float opacity,
                     float pressure, int has_pressure, int packet_index, int packet_count,
                     const surface_rgn* mask, dib_rect* dirty_rect);
  void end_stroke();
  void cancel_stroke();
  // Releases the pen and everything it holds.
  void release();

  int index = -1;
  const pen_desc* desc = nullptr;  // points at desc_copy while a pen is selected
  pen_desc desc_copy{};            // texture pens: size_max from the stamp files
  dib_block* paper = nullptr;
  stamp_engine stamp;
  mp_engine* brush = nullptr;
  // Brush stroke times in clock milliseconds: seconds in a float lose the
  // milliseconds once a machine has been up for a few hours.
  uint32_t stroke_start_time = 0;
  uint32_t batch_time = 0;
  int stroke_has_pressure = 0;
  int eraser = 0;
  float size = -1;
  // Tests and tools: a nonzero seed replaces the clock for random tips.
  uint32_t fixed_seed = 0;
  // Milliseconds since system start (tests replace it).
  uint32_t (*clock)() = nullptr;
  pattern_engine pattern;

 private:
  uint32_t now_ms() const;
  int load_paper();
};
