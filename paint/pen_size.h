#pragma once
// The pen size slider's logic: 101 positions, value = position / 100, and
// the bracket keys that step it.
class zun_pen_size {
 public:
  // The slider is made with the slot's stored size.
  void create(float stored_size);
  void destroy() { exists_ = 0; }
  void set_hidden(int hidden) { hidden_ = hidden ? 1 : 0; }
  // 1.0 without a slider, 0 while it is hidden.
  float value() const;
  int position() const { return position_; }
  void set_position(int position);
  // '[' (91, 219) one step down, ']' (93, 221) one up; 1 when the key moved
  // the slider. Ignored with Alt held or the pointer confined to the window.
  int key_press(int code, int alt, int pointer_confined);

 private:
  int exists_ = 0;
  int hidden_ = 0;
  int position_ = 0;
};
