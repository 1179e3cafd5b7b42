#pragma once
// The macro panel without its window: the idle / playing / recording state,
// the seven commands, the playback timer step and what the panel shows
// (button frames, slider, name and info lines). The window layer draws it,
// hit-tests its buttons, runs the dialogs and hands the chosen paths in.
#include <cstdint>
#include <string>

#include "macro/macro_data.h"

class zun_file;

enum : int {
  kMacroButtonLoad = 0,
  kMacroButtonSave,
  kMacroButtonHome,
  kMacroButtonEnd,
  kMacroButtonPlay,
  kMacroButtonRecord,
  kMacroButtonStop,
  kMacroButtons
};
// The three frames of every button image.
enum : int { kFrameNormal = 0, kFramePressed = 1, kFrameDisabled = 2 };
inline constexpr uint32_t kMacroTimer = 4;
inline constexpr int kMacroTextMax = 128;

// What the panel needs of the program around it.
class macro_shell {
 public:
  virtual ~macro_shell() = default;
  // The interaction mode: 3 while a macro plays, 0 otherwise.
  virtual void set_interaction_mode(int mode) = 0;
  // The info area (122, 16) to (225, 57) of the panel changed.
  virtual void info_changed() {}
};

// Language texts: the status of each state ("macro_status0..2"), the info
// format ("macro_info": a text with %s for the status, then %d for the
// record number) and the name of an unnamed file.
struct macro_texts {
  std::string status[3];
  std::string info_format;
  std::string untitled;
};

class zun_macro_control : public macro_owner {
 public:
  zun_macro_control() = default;
  virtual ~zun_macro_control() = default;
  zun_macro_control(const zun_macro_control&) = delete;
  zun_macro_control& operator=(const zun_macro_control&) = delete;

  int create(const macro_texts& texts, macro_shell* shell);
  // The open document (null: none) and the window playback invalidates.
  void set_stage(zun_file* document, macro_view* view);

  // A button's command, run only while the button shows its normal frame.
  // Load and save take the path the dialog gave (the shell asked first).
  int command(int button, const char* path = nullptr);
  int load(const char* path);
  int save(const char* path);
  int home();
  int end();
  int play();
  int record();
  int stop();
  // The slider, while idle.
  int slider_seek(int32_t value);
  // A left-button press (left = 1) or a key press while the panel is active:
  // stops playback. 1 when a left-button press was consumed by that.
  int stop_on_input(int left);
  // Every timer tick of the main window; acts on timer 4 while playing.
  int timer_step(uint32_t timer_id);

  // Button frames, slider and lines, recomputed by every command.
  void refresh();
  int frame(int button) const { return button >= 0 && button < kMacroButtons ? frames_[button] : kFrameDisabled; }
  int32_t slider_range() const { return slider_range_; }
  int32_t slider_value() const { return slider_value_; }
  int slider_visible() const { return state == kMacroIdle && slider_range_ > 1; }
  const std::string& name_line() const { return name_line_; }
  const std::string& info_line() const { return info_line_; }
  // The 1-based number of the current record, 0 when empty.
  int32_t record_number() const;

  zun_macro_data macro;
  macro_stage stage;

 private:
  void end_playback();

  macro_texts texts_;
  macro_shell* shell_ = nullptr;
  int frames_[kMacroButtons] = {};
  int32_t slider_range_ = 0, slider_value_ = 0;
  std::string name_line_, info_line_;
};

// The info format filled in: only "%s" then "%d" (and "%%") are taken from a
// language text; any other conversion, or a result of 128 characters or
// more, yields an empty line.
std::string macro_format_info(const std::string& format, const std::string& status, int32_t number);
// The file name of a path without folder and extension.
std::string macro_display_name(const std::string& path);
