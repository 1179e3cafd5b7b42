#include "macro/control.h"

#include <algorithm>

#include "doc/zun_file.h"

int zun_macro_control::create(const macro_texts& texts, macro_shell* shell) {
  texts_ = texts;
  // The panel keeps its texts in 128-character lines.
  for (std::string& t : texts_.status) t.resize(std::min(t.size(), std::size_t(kMacroTextMax - 1)));
  texts_.info_format.resize(std::min(texts_.info_format.size(), std::size_t(kMacroTextMax - 1)));
  shell_ = shell;
  if (!macro.init()) return 0;
  macro.owner = this;
  state = kMacroIdle;
  initialised = 1;
  refresh();
  return 1;
}

void zun_macro_control::set_stage(zun_file* document, macro_view* view) {
  stage.document = document;
  stage.view = view;
  macro.document = document;
}

int zun_macro_control::command(int button, const char* path) {
  if (!initialised || frame(button) != kFrameNormal) return 0;
  switch (button) {
    case kMacroButtonLoad: return load(path);
    case kMacroButtonSave: return save(path);
    case kMacroButtonHome: return home();
    case kMacroButtonEnd: return end();
    case kMacroButtonPlay: return play();
    case kMacroButtonRecord: return record();
    case kMacroButtonStop: return stop();
  }
  return 0;
}

// A failed load leaves the macro empty, and the panel shows it so.
int zun_macro_control::load(const char* path) {
  if (!initialised || state != kMacroIdle) return 0;
  const int ok = macro.load_macro(path);
  refresh();
  return ok;
}

int zun_macro_control::save(const char* path) {
  if (!initialised || state != kMacroIdle || macro.count() == 0) return 0;
  const int ok = macro.save_macro(path);
  refresh();
  return ok;
}

int zun_macro_control::home() {
  if (!initialised || state != kMacroIdle) return 0;
  macro.home();
  refresh();
  return 1;
}

int zun_macro_control::end() {
  if (!initialised || state != kMacroIdle) return 0;
  macro.end();
  refresh();
  return 1;
}

// One undo checkpoint before the first record: the whole playback undoes at once.
int zun_macro_control::play() {
  if (!initialised || state != kMacroIdle || macro.count() == 0) return 0;
  if (stage.document) stage.document->history_push(1);
  macro.drop_player();
  state = kMacroPlaying;
  if (shell_) shell_->set_interaction_mode(3);
  refresh();
  return 1;
}

int zun_macro_control::record() {
  if (!initialised || state != kMacroIdle) return 0;
  macro.truncate_at_position();
  state = kMacroRecording;
  refresh();
  return 1;
}

void zun_macro_control::end_playback() {
  state = kMacroIdle;
  if (shell_) shell_->set_interaction_mode(0);
  if (stage.document) stage.document->mark_dirty(1);
}

int zun_macro_control::stop() {
  if (!initialised || state == kMacroIdle) return 0;
  if (state == kMacroPlaying) end_playback();
  else state = kMacroIdle;
  refresh();
  return 1;
}

int zun_macro_control::slider_seek(int32_t value) {
  if (!initialised || state != kMacroIdle) return 0;
  macro.seek(value);
  refresh();
  return 1;
}

int zun_macro_control::stop_on_input(int left) {
  if (!initialised || state != kMacroPlaying) return 0;
  stop();
  return left ? 1 : 0;
}

// One record per tick, no catch-up. position passes the last record only
// here, and is put back on it at once.
int zun_macro_control::timer_step(uint32_t timer_id) {
  if (timer_id != kMacroTimer || !initialised || state != kMacroPlaying) return 0;
  int painted = 0;
  if (macro.position < macro.count()) {
    painted = macro.play_current(stage);
    ++macro.position;
    refresh();
    if (shell_) shell_->info_changed();
  }
  if (macro.count() == 0 || macro.position >= macro.count()) {
    macro.seek(macro.count() - 1);
    end_playback();
    refresh();
  }
  return painted;
}

int32_t zun_macro_control::record_number() const {
  const int32_t n = macro.count();
  if (n == 0) return 0;
  return std::min(std::min(macro.position, n - 1) + 1, n);
}

void zun_macro_control::refresh() {
  const int32_t n = macro.count();
  const int32_t at = std::min(macro.position, n - 1);
  auto on = [](bool normal) { return normal ? kFrameNormal : kFrameDisabled; };
  int* f = frames_;
  switch (state) {
    case kMacroIdle:
      f[kMacroButtonLoad] = kFrameNormal;
      f[kMacroButtonSave] = on(n > 0);
      f[kMacroButtonHome] = on(n > 0 && at > 0);
      f[kMacroButtonEnd] = on(n > 0 && at < n - 1);
      f[kMacroButtonPlay] = on(n > 0);
      f[kMacroButtonRecord] = kFrameNormal;
      f[kMacroButtonStop] = kFrameDisabled;
      break;
    case kMacroPlaying:
    case kMacroRecording:
      for (int i = 0; i < kMacroButtons; ++i) f[i] = kFrameDisabled;
      f[state == kMacroPlaying ? kMacroButtonPlay : kMacroButtonRecord] = kFramePressed;
      f[kMacroButtonStop] = kFrameNormal;
      break;
  }
  slider_range_ = n;
  slider_value_ = n > 0 ? at : 0;
  name_line_ = macro_display_name(macro.default_path(texts_.untitled.c_str()));
  if (state == kMacroRecording)
    info_line_ = texts_.status[2];
  else
    info_line_ = macro_format_info(texts_.info_format, texts_.status[state], record_number());
}

std::string macro_format_info(const std::string& format, const std::string& status, int32_t number) {
  std::string out;
  int next = 0;  // 0: the status is next, 1: the number, 2: nothing more
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    const char k = i + 1 < format.size() ? format[i + 1] : '\0';
    ++i;
    if (k == '%') out += '%';
    else if (k == 's' && next == 0) out += status, next = 1;
    else if (k == 'd' && next == 1) out += std::to_string(number), next = 2;
    else return std::string();
  }
  return out.size() < std::size_t(kMacroTextMax) ? out : std::string();
}

std::string macro_display_name(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}
