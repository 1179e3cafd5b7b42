#include "app/newdoc_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_win.h"
#include "app/plain_dialog_win.h"
#include "base/os.h"

namespace {

enum : int { kPreset = 201, kWidth, kHeight, kPapers, kTextures, kColours, kList, kOk, kCancel };
const RECT kPreview = {16, 330, 16 + 528, 330 + 90};  // the background at full scale
const RECT kTemplatePreview = {296, 16, 296 + 200, 16 + 200};

std::string ansi(const char* utf8) { return os_utf8_to_ansi(utf8); }

int32_t selection(HWND list) {
  const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int32_t>(at);
}

void add_item(HWND list, const char* text, int index) {
  char fallback[32];
  if (!text || !text[0]) std::snprintf(fallback, sizeof fallback, "%d", index + 1), text = fallback;
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

int32_t read_number(HWND box) {
  char text[16] = {};
  GetWindowTextA(box, text, sizeof text);
  return static_cast<int32_t>(std::atol(text));
}

void set_number(HWND box, int32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", v);
  SetWindowTextA(box, text);
}

struct new_chooser : plain_dialog {
  zun_template* t = nullptr;
  HWND preset = nullptr, width = nullptr, height = nullptr;
  HWND papers = nullptr, textures = nullptr, colours = nullptr;
  dib_block* preview = nullptr;
  int chosen = 0;
  new_doc_choice choice;

  void command(int id, int code) override;
  void key(WPARAM key) override;
  void paint(HDC dc) override { plain_draw_fitted(dc, kPreview, preview); }
};

// The choice as the controls show it; a width or height of 0 or less makes both 0.
new_doc_choice current(const new_chooser& c) {
  new_doc_choice ch = c.t->remembered;
  ch.width = read_number(c.width), ch.height = read_number(c.height);
  if (ch.width <= 0 || ch.height <= 0) ch.width = ch.height = 0;
  ch.paper = selection(c.papers);
  ch.texture = selection(c.textures) - 1;  // the first line is "none"
  const int32_t colour = selection(c.colours);
  ch.colour = colour >= 0 && colour < int32_t(c.t->colours.size())
                  ? c.t->colours[std::size_t(colour)].colour
                  : c.t->default_colour;
  return ch;
}

void refresh_preview(new_chooser& c) {
  if (!c.preview)
    c.preview = dib_create(kPreview.bottom - kPreview.top, 1, kPreview.right - kPreview.left, 0);
  if (c.preview) c.t->paint_background(current(c), c.preview);
  InvalidateRect(c.window, &kPreview, FALSE);
}

void new_chooser::key(WPARAM k) {
  if (k == VK_RETURN) choice = current(*this), chosen = 1;
  done = 1;
}

void new_chooser::command(int id, int code) {
  switch (id) {
    case kPreset:
      if (code == LBN_SELCHANGE) {
        const int32_t at = selection(preset);
        if (at >= 0 && at < int32_t(t->sizes.size())) {
          set_number(width, t->sizes[std::size_t(at)].width);
          set_number(height, t->sizes[std::size_t(at)].height);
        }
      }
      break;
    case kPapers:
    case kTextures:
    case kColours:
      if (code == LBN_SELCHANGE) refresh_preview(*this);
      if (code == LBN_DBLCLK) key(VK_RETURN);
      break;
    case kOk:
      key(VK_RETURN);
      break;
    case kCancel:
      key(VK_ESCAPE);
      break;
  }
}

struct template_chooser : plain_dialog {
  zun_template* t = nullptr;
  HWND list = nullptr;
  dib_block* thumb = nullptr;
  int chosen = 0;
  int32_t index = -1;

  void command(int id, int code) override;
  void key(WPARAM key) override;
  void paint(HDC dc) override { plain_draw_fitted(dc, kTemplatePreview, thumb); }
};

void template_chooser::key(WPARAM k) {
  index = selection(list);
  if (k == VK_RETURN && index >= 0) chosen = 1;
  done = 1;
}

void template_chooser::command(int id, int code) {
  switch (id) {
    case kList:
      if (code == LBN_SELCHANGE) {
        dib_free(thumb);
        thumb = t->template_thumbnail(selection(list));
        InvalidateRect(window, &kTemplatePreview, TRUE);
      }
      if (code == LBN_DBLCLK) key(VK_RETURN);
      break;
    case kOk:
      key(VK_RETURN);
      break;
    case kCancel:
      key(VK_ESCAPE);
      break;
  }
}

}  // namespace

zun_template& app_templates() {
  static zun_template templates;
  static bool read = false;
  if (!read) {
    read = true;  // what could not be read stays empty: the lists show what there is
    templates.load(config_resolve);
  }
  return templates;
}

int choose_new_document(HWND owner, zun_template& t, new_doc_choice* out) {
  new_chooser c;
  c.t = &t;
  if (!plain_dialog_create(owner, "QmNewDocument", ansi("新建").c_str(), 560, 470, c)) return 0;
  plain_control(c.window, "STATIC", ansi("尺寸").c_str(), 0, 16, 16, 160, 20, 0);
  plain_control(c.window, "STATIC", ansi("纸张").c_str(), 0, 196, 16, 160, 20, 0);
  plain_control(c.window, "STATIC", ansi("格子").c_str(), 0, 376, 16, 80, 20, 0);
  const DWORD lists = LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  c.preset = plain_control(c.window, "LISTBOX", "", lists, 16, 40, 168, 200, kPreset);
  c.width = plain_control(c.window, "EDIT", "", ES_NUMBER, 16, 250, 70, 24, kWidth);
  plain_control(c.window, "STATIC", "x", SS_CENTER, 88, 254, 24, 20, 0);
  c.height = plain_control(c.window, "EDIT", "", ES_NUMBER, 114, 250, 70, 24, kHeight);
  c.papers = plain_control(c.window, "LISTBOX", "", lists, 196, 40, 168, 138, kPapers);
  plain_control(c.window, "STATIC", ansi("颜色").c_str(), 0, 196, 184, 160, 20, 0);
  c.colours = plain_control(c.window, "LISTBOX", "", lists, 196, 206, 168, 110, kColours);
  c.textures = plain_control(c.window, "LISTBOX", "", lists, 376, 40, 168, 276, kTextures);
  plain_control(c.window, "BUTTON", ansi("确定").c_str(), BS_DEFPUSHBUTTON, 360, 430, 88, 30, kOk);
  plain_control(c.window, "BUTTON", ansi("取消").c_str(), BS_PUSHBUTTON, 456, 430, 88, 30, kCancel);
  for (HWND box : {c.width, c.height}) SendMessageA(box, EM_LIMITTEXT, 6, 0);
  for (std::size_t i = 0; i < t.sizes.size(); ++i) add_item(c.preset, t.sizes[i].desc, int(i));
  for (std::size_t i = 0; i < t.papers.size(); ++i) add_item(c.papers, t.papers[i].desc, int(i));
  for (std::size_t i = 0; i < t.colours.size(); ++i) add_item(c.colours, t.colours[i].desc, int(i));
  add_item(c.textures, ansi("无").c_str(), 0);
  for (std::size_t i = 0; i < t.textures.size(); ++i)
    add_item(c.textures, t.textures[i].desc, int(i));

  // The last choice again, or the first preset.
  const new_doc_choice& r = t.remembered;
  const bool sized = r.width > 0 && r.height > 0;
  set_number(c.width, sized ? r.width : t.sizes.empty() ? 0 : t.sizes[0].width);
  set_number(c.height, sized ? r.height : t.sizes.empty() ? 0 : t.sizes[0].height);
  if (!sized) SendMessageA(c.preset, LB_SETCURSEL, 0, 0);
  SendMessageA(c.papers, LB_SETCURSEL, r.paper, 0);
  SendMessageA(c.textures, LB_SETCURSEL, r.texture + 1, 0);
  int32_t colour = 0;
  for (std::size_t i = 0; i < t.colours.size(); ++i)
    if (t.colours[i].colour == r.colour) colour = int32_t(i);
  SendMessageA(c.colours, LB_SETCURSEL, colour, 0);
  refresh_preview(c);

  plain_dialog_run(c, owner, c.papers);
  dib_free(c.preview);
  if (!c.chosen) return 0;
  *out = c.choice;
  return 1;
}

int choose_template(HWND owner, zun_template& t, int32_t* index) {
  template_chooser c;
  c.t = &t;
  if (!plain_dialog_create(owner, "QmTemplateChooser", ansi("模板").c_str(), 512, 280, c)) return 0;
  c.list = plain_control(c.window, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                         16, 16, 264, 200, kList);
  plain_control(c.window, "BUTTON", ansi("确定").c_str(), BS_DEFPUSHBUTTON, 312, 236, 88, 30, kOk);
  plain_control(c.window, "BUTTON", ansi("取消").c_str(), BS_PUSHBUTTON, 408, 236, 88, 30, kCancel);
  for (std::size_t i = 0; i < t.files.size(); ++i) add_item(c.list, t.files[i].desc, int(i));
  const int32_t start = t.remembered.template_index >= 0 ? t.remembered.template_index : 0;
  SendMessageA(c.list, LB_SETCURSEL, start, 0);
  c.thumb = t.template_thumbnail(selection(c.list));

  plain_dialog_run(c, owner, c.list);
  dib_free(c.thumb);
  if (!c.chosen) return 0;
  *index = c.index;
  return 1;
}
