#include "app/copybook_win.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_win.h"
#include "app/commands_win.h"
#include "app/plain_dialog_win.h"
#include "base/dib.h"
#include "base/dib_self.h"
#include "base/os.h"
#include "content/dict_picture.h"
#include "content/tie.h"
#include "content/tie_filter.h"
#include "image/image.h"

namespace {

enum : int { kSearch = 101, kList, kText, kTrace, kCopy, kCancel, kDynasty, kAuthor, kStyle };
constexpr int kThumb = 133;  // the thumbnails' size
const RECT kPreview = {340, 16, 340 + kThumb, 16 + 200};

zun_tie g_tie;

struct chooser : plain_dialog {
  HWND search = nullptr, list = nullptr, text = nullptr;
  HWND fields[3] = {};  // dynasty, author, style: the advanced search
  zun_tie_class files;
  int filling = 0;  // set while the controls are changed from here
  dib_block* thumb = nullptr;
  int mode = -1;
  std::string picture;

  void command(int id, int code) override;
  void key(WPARAM key) override;
  void paint(HDC dc) override { plain_draw_fitted(dc, kPreview, thumb); }
};

std::string ansi(const char* utf8) { return os_utf8_to_ansi(utf8); }

// The first line of a copybook's description, its title; else its file name.
std::string title_of(const zun_tie_entry& e) {
  std::string path, line;
  if (g_tie.description_path(e.name, &path)) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char buf[128] = {};
      if (std::fgets(buf, sizeof buf, f)) line = buf;
      std::fclose(f);
    }
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line.empty() ? std::string(e.name) : line;
}

void set_thumbnail(chooser& c, const char* name) {
  dib_free(c.thumb);
  c.thumb = nullptr;
  std::string path;
  char icon[96];
  std::snprintf(icon, sizeof icon, "Gtie\\icon\\%s.jpg", name);
  if (config_resolve(icon, &path) && os_file_exists(path.c_str()))
    if (dib_block* b = image_load(path.c_str())) c.thumb = image_to_24(b);
  if (!c.thumb && g_tie.picture_path(name, &path)) {
    app_self_dib picture;
    if (load_picture_file(picture, path.c_str()) && picture.image())
      c.thumb =
          dib_bits(picture.image()) == 24 ? dib_clone(picture.image()) : dib_to_24(picture.image());
  }
  InvalidateRect(c.window, &kPreview, TRUE);
}

void show_selection(chooser& c) {
  const LRESULT at = SendMessageA(c.list, LB_GETCURSEL, 0, 0);
  if (at == LB_ERR || at >= c.files.count) {
    SetWindowTextA(c.text, "");
    return;
  }
  const zun_tie_entry& e = c.files.items[at];
  zun_tie_entry d{};
  std::string text;
  if (g_tie.detail(e.id, &d)) {
    char head[256];
    std::snprintf(head, sizeof head, "%s%s  %s%s  %s%s\r\n\r\n", ansi("朝代：").c_str(), d.dynasty,
                  ansi("作者：").c_str(), d.author, ansi("书体：").c_str(), d.style);
    text = head;
    std::string path;
    if (g_tie.description_path(e.name, &path))
      if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 65536)
          text.append(buf, n);
        std::fclose(f);
      }
  }
  SetWindowTextA(c.text, text.c_str());
  set_thumbnail(c, e.name);
}

// The copybooks of a filter into the list, the first one selected.
void show_files(chooser& c, const char* filter) {
  g_tie.files(filter, c.files);
  SendMessageA(c.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(c.list, LB_RESETCONTENT, 0, 0);
  for (int32_t i = 0; i < c.files.count; ++i)
    SendMessageA(c.list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(title_of(c.files.items[i]).c_str()));
  SendMessageA(c.list, WM_SETREDRAW, TRUE, 0);
  SendMessageA(c.list, LB_SETCURSEL, 0, 0);
  show_selection(c);
}

// The quick search: the fields of the advanced search are cleared.
void quick_search(chooser& c) {
  char text[64] = {}, filter[1024] = {};
  GetWindowTextA(c.search, text, sizeof text);
  if (!tie_quick_filter(text, filter, sizeof filter)) filter[0] = 0;
  c.filling = 1;
  for (HWND f : c.fields) SendMessageA(f, CB_SETCURSEL, 0, 0);
  c.filling = 0;
  show_files(c, filter);
}

// A name picked in the advanced search: the search box is emptied and the
// three fields together make the filter (the first entry of each, the whole
// collection, counts as empty).
void advanced_search(chooser& c) {
  char values[3][64] = {};
  for (int i = 0; i < 3; ++i)
    if (SendMessageA(c.fields[i], CB_GETCURSEL, 0, 0) > 0)
      GetWindowTextA(c.fields[i], values[i], sizeof values[i]);
  c.filling = 1;
  SetWindowTextA(c.search, "");
  c.filling = 0;
  char filter[1024] = {};
  if (!tie_advanced_filter(values[0], values[1], values[2], filter, sizeof filter)) filter[0] = 0;
  show_files(c, filter);
}

void fill_field(HWND box, tie_name_kind kind) {
  zun_tie_class names;
  g_tie.name_list(kind, ansi("全部").c_str(), names);
  for (int32_t i = 0; i < names.count; ++i)
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names.items[i].name));
  SendMessageA(box, CB_SETCURSEL, 0, 0);
}

void choose(chooser& c, int mode) {
  const LRESULT at = SendMessageA(c.list, LB_GETCURSEL, 0, 0);
  if (at != LB_ERR && at < c.files.count && g_tie.picture_path(c.files.items[at].name, &c.picture))
    c.mode = mode;
  c.done = 1;
}

void chooser::command(int id, int code) {
  switch (id) {
    case kSearch:
      if (code == EN_CHANGE && !filling) quick_search(*this);
      break;
    case kDynasty:
    case kAuthor:
    case kStyle:
      if (code == CBN_SELCHANGE && !filling) advanced_search(*this);
      break;
    case kList:
      if (code == LBN_SELCHANGE) show_selection(*this);
      if (code == LBN_DBLCLK) choose(*this, 1);
      break;
    case kTrace:
      choose(*this, 1);
      break;
    case kCopy:
      choose(*this, 0);
      break;
    case kCancel:
      key(VK_ESCAPE);
      break;
  }
}

// Enter chooses for tracing, from any control.
void chooser::key(WPARAM k) {
  if (k == VK_RETURN) choose(*this, 1);
  done = 1;
}

}  // namespace

int cmd_copybook(HWND owner) {
  if (!g_tie.initialised() && !g_tie.init(config_resolve)) return 0;
  chooser c;
  if (!plain_dialog_create(owner, "QmCopybookChooser", ansi("字帖").c_str(), 640, 470, c)) return 0;
  c.search = plain_control(c.window, "EDIT", "", ES_AUTOHSCROLL, 16, 16, 308, 24, kSearch);
  SendMessageA(c.search, EM_LIMITTEXT, 63, 0);
  const int kinds[3] = {tie_dynasty, tie_author, tie_style};
  for (int i = 0; i < 3; ++i) {
    c.fields[i] = plain_control(c.window, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL,
                                16 + i * 105, 48, 98, 240, kDynasty + i);
    fill_field(c.fields[i], static_cast<tie_name_kind>(kinds[i]));
  }
  c.list = plain_control(c.window, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                         16, 80, 308, 328, kList);
  c.text = plain_control(c.window, "EDIT", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 340, 224,
                         284, 184, kText);
  plain_control(c.window, "BUTTON", ansi("描红").c_str(), BS_DEFPUSHBUTTON, 340, 424, 88, 30,
                kTrace);
  plain_control(c.window, "BUTTON", ansi("临写").c_str(), BS_PUSHBUTTON, 438, 424, 88, 30, kCopy);
  plain_control(c.window, "BUTTON", ansi("取消").c_str(), BS_PUSHBUTTON, 536, 424, 88, 30, kCancel);
  quick_search(c);

  plain_dialog_run(c, owner, c.search);
  dib_free(c.thumb);
  if (c.mode < 0) return 0;
  std::snprintf(g_tie.saved.picture, sizeof g_tie.saved.picture, "%s", c.picture.c_str());
  g_tie.saved.mode = c.mode;
  const int opened = cmd_open_model(owner, c.picture.c_str(), c.mode);
  return opened;
}
