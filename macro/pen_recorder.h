#pragma once
// The pen tools' recorder: hands each stroke event of the pen and eraser
// panels to the macro, which keeps it only while its panel records.
#include "macro/macro_data.h"
#include "paint/pen_panel.h"

// The event as the macro stores it.
macro_event macro_event_from_pen(const pen_macro_event& e);

class macro_pen_recorder : public pen_macro_recorder {
 public:
  explicit macro_pen_recorder(zun_macro_data* macro) : macro(macro) {}
  void record(const pen_macro_event& e) override;

  zun_macro_data* macro;
  // Events the macro kept (tests and tools count them).
  int64_t kept = 0;
};
