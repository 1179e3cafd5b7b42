#include "app/desktop_win.h"

#include <cstdio>

#include "app/app_win.h"
#include "app/macro_input_win.h"
#include "app/pen_input_win.h"
#include "base/dib_gdi.h"
#include "base/os.h"
#include "doc/zun_file.h"
#include "image/image.h"

namespace {
constexpr uint32_t kNoBackground = 0x808080;
constexpr WPARAM kKeyF13 = 0x7C, kKeyF14 = 0x7D;
}  // namespace

zun_desktop::~zun_desktop() { stop(); }

int zun_desktop::start(HWND window, zun_file* document) {
  window_ = window;
  document_ = document;
  layout();
  macro_input_start(window, document);
  pen_input_start(window, document);
  return 1;
}

void zun_desktop::stop() {
  pen_input_stop();
  macro_input_stop();
  dib_free(bits_);
  dib_free(background_);
  bits_ = background_ = nullptr;
  window_ = nullptr;
}

void zun_desktop::layout() {
  if (!window_) return;
  RECT r;
  GetClientRect(window_, &r);
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  canvas_x = canvas_y = 0;
  canvas_w = width_;
  canvas_h = height_;
  dib_free(bits_);
  bits_ = width_ > 0 && height_ > 0 ? dib_create(height_, 1, width_, kNoBackground) : nullptr;
  if (document_ && document_->canvas) {
    document_->canvas->view_setup(canvas_x, canvas_y, canvas_w, canvas_h);
    document_->canvas->view_fit();
  }
  set_background(index_);
}

int zun_desktop::set_background(int index) {
  if (index < 0) index = 0;
  if (index > 10) index = 10;
  char path[kPathSize] = {};
  if (index == 10) {
    config_build_path("HTcust\\{background}.jpg", nullptr, path);
  } else {
    char name[64];
    std::snprintf(name, sizeof name, "Rdesktop\\back%d.jpg", index);
    config_resource_path(name, nullptr, path);
  }
  if (index != 0 && (!path[0] || !os_file_exists(path))) {
    // A missing picture falls back to the first built-in one.
    index = 0;
    config_resource_path("Rdesktop\\back0.jpg", nullptr, path);
  }
  index_ = index;
  dib_free(background_);
  background_ = nullptr;
  if (width_ > 0 && height_ > 0 && os_file_exists(path)) {
    background_ = image_load(path);
    if (background_) background_ = dib_resize(background_, width_, height_);
    if (background_ && (dib_width(background_) != width_ || dib_height(background_) != height_)) {
      dib_free(background_);  // the resize failed: grey is better than a wrong size
      background_ = nullptr;
    }
  }
  compose();
  return index_;
}

void zun_desktop::compose() {
  if (!bits_) return;
  if (background_) dib_copy_same(background_, bits_);
  else dib_fill(bits_, kNoBackground, nullptr);
  if (document_ && document_->canvas && document_->canvas->ready() && document_->data) {
    // Whatever is pending is rendered first, then the whole document presented.
    document_->canvas->view_redraw(*document_->data, bits_);
    dib_rect all = {0, 0, document_->width(), document_->height()};
    document_->canvas->view_present(all, bits_);
  }
}

void zun_desktop::view_changed() {
  compose();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void zun_desktop::paint(HDC dc, const RECT& update) {
  if (!bits_) {
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &update, grey);
    DeleteObject(grey);
    return;
  }
  if (document_ && document_->canvas && document_->canvas->ready() && document_->data) {
    dib_rect changed = {};
    if (document_->canvas->view_redraw(*document_->data, bits_, &changed) &&
        !dib_rect_empty(changed)) {
      // Painted parts outside this update reach the screen at once too.
      RECT r = {changed.left, changed.top, changed.right, changed.bottom};
      InvalidateRect(window_, &r, FALSE);
    }
  }
  dib_rect area = {update.left, update.top, update.right, update.bottom};
  // The lasso outline and the floating selection float over the desktop
  // bitmap: drawn on a copy, so moving them leaves nothing behind.
  if (dib_block* over = pen_input_lasso() ? dib_clone(bits_) : nullptr) {
    pen_input_overlay(over);
    dib_draw(dc, area, over, area);
    dib_free(over);
    return;
  }
  dib_draw(dc, area, bits_, area);
}

int zun_desktop::on_key(UINT message, WPARAM key) {
  if (!document_ || !document_->canvas) return 0;
  if (message == WM_KEYDOWN) {
    macro_input_stop_on_input(0);  // any key stops playback and is still handled
    if (macro_input_key(window_, key)) return 1;
  }
  if ((message == WM_KEYDOWN || message == WM_KEYUP) && pen_input_key(message, key)) return 1;
  if (message != WM_KEYDOWN) return 0;
  zun_file_canvas* view = document_->canvas;
  if (g_app.interaction_mode != 0 || g_app.tool_operation) return 0;
  int changed = 0;
  if (GetKeyState(VK_CONTROL) < 0 && (key == 'Z' || key == 'Y') && !pen_input_busy()) {
    if (key == 'Z' ? document_->history_undo() : document_->history_redo()) {
      pen_input_layers_replaced();
      view_changed();
      return 1;
    }
    return 0;
  }
  if (GetKeyState(VK_MENU) < 0 && (key == kKeyF13 || key == kKeyF14)) {
    changed = view->view_rotate_by(key == kKeyF14 ? 15 : -15);
  } else if (GetKeyState(VK_SPACE) < 0) {
    switch (key) {
      case VK_LEFT: changed = view->view_key_pan(canvas_key::left); break;
      case VK_RIGHT: changed = view->view_key_pan(canvas_key::right); break;
      case VK_UP: changed = view->view_key_pan(canvas_key::up); break;
      case VK_DOWN: changed = view->view_key_pan(canvas_key::down); break;
      default: break;
    }
  }
  if (changed) view_changed();
  return changed;
}

int zun_desktop::on_wheel(int delta) {
  if (!document_ || !document_->canvas || !delta) return 0;
  if (g_app.interaction_mode != 0 || g_app.tool_operation) return 0;
  zun_file_canvas* view = document_->canvas;
  // About the point where the document's centre is shown.
  canvas_point c = view->doc_to_screen(document_->width() / 2.0, document_->height() / 2.0);
  int changed = view->view_zoom_step(c.x + canvas_x, c.y + canvas_y, delta > 0);
  if (changed) view_changed();
  return changed;
}

int zun_desktop::on_mouse(UINT message, int x, int y, WPARAM buttons) {
  if (!document_ || !document_->canvas) return 0;
  zun_file_canvas* view = document_->canvas;
  switch (message) {
    case WM_LBUTTONDOWN:
      if (macro_input_stop_on_input(1)) return 1;  // a click stops playback
      // Space + drag pans the view; otherwise the pen paints.
      if (GetKeyState(VK_SPACE) < 0 && g_app.interaction_mode == 0) {
        panning_ = 1;
        pan_x_ = x;
        pan_y_ = y;
        SetCapture(window_);
        return 0;
      }
      return pen_input_mouse(message, x, y);
    case WM_MOUSEMOVE: {
      if (!panning_) return pen_input_mouse(message, x, y);
      if (!(buttons & MK_LBUTTON)) return 0;
      int32_t dx = x - pan_x_, dy = y - pan_y_;
      if (!dx && !dy) return 0;
      // Movements too small for a document pixel accumulate until they count.
      int changed = view->view_pan(&dx, &dy);
      if (changed) {
        pan_x_ = x;
        pan_y_ = y;
        view_changed();
      }
      return changed;
    }
    case WM_LBUTTONUP:
      if (panning_) {
        panning_ = 0;
        ReleaseCapture();
        return 0;
      }
      return pen_input_mouse(message, x, y);
    default:
      return 0;
  }
}
