#include "app/desktop_win.h"

#include <cstdio>

#include "app/app_win.h"
#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"

namespace {
constexpr COLORREF kNoBackground = RGB(128, 128, 128);

// A packed DIB handed unchanged to GDI.
HBITMAP bitmap_from_dib(HDC dc, const dib_block* b) {
  if (!b) return nullptr;
  auto* info = reinterpret_cast<const BITMAPINFO*>(b);
  return CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, dib_pixels(b), info, DIB_RGB_COLORS);
}
}  // namespace

zun_desktop::~zun_desktop() { stop(); }

int zun_desktop::start(HWND window) {
  window_ = window;
  layout();
  return 1;
}

void zun_desktop::stop() {
  if (offscreen_) DeleteObject(offscreen_);
  if (background_) DeleteObject(background_);
  offscreen_ = background_ = nullptr;
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
  if (offscreen_) DeleteObject(offscreen_);
  HDC screen = GetDC(window_);
  offscreen_ = width_ > 0 && height_ > 0 ? CreateCompatibleBitmap(screen, width_, height_) : nullptr;
  ReleaseDC(window_, screen);
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
  if (background_) DeleteObject(background_);
  background_ = nullptr;
  if (window_ && width_ > 0 && height_ > 0 && os_file_exists(path)) {
    dib_block* pic = image_load(path);
    if (pic) pic = dib_resize(pic, width_, height_);
    HDC screen = GetDC(window_);
    background_ = bitmap_from_dib(screen, pic);
    ReleaseDC(window_, screen);
    dib_free(pic);
  }
  compose();
  return index_;
}

void zun_desktop::compose() {
  if (!offscreen_ || !window_) return;
  HDC screen = GetDC(window_);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, offscreen_);
  if (background_) {
    HDC src = CreateCompatibleDC(screen);
    HGDIOBJ old_src = SelectObject(src, background_);
    BitBlt(mem, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    SelectObject(src, old_src);
    DeleteDC(src);
  } else {
    RECT r = {0, 0, width_, height_};
    HBRUSH grey = CreateSolidBrush(kNoBackground);
    FillRect(mem, &r, grey);
    DeleteObject(grey);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(window_, screen);
}

void zun_desktop::paint(HDC dc, const RECT& update) {
  if (!offscreen_) {
    HBRUSH grey = CreateSolidBrush(kNoBackground);
    FillRect(dc, &update, grey);
    DeleteObject(grey);
    return;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, offscreen_);
  BitBlt(dc, update.left, update.top, update.right - update.left, update.bottom - update.top, mem,
         update.left, update.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}
