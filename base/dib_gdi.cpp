// GDI side of the bitmap record.
#include "base/dib_gdi.h"

#include <cstring>

#include "base/dib_pixel.h"
#include "base/dib_sample.h"

namespace {
const BITMAPINFO* info_of(const dib_block* b) { return reinterpret_cast<const BITMAPINFO*>(b); }

struct screen_dc {
  HDC dc = GetDC(nullptr);
  ~screen_dc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};

struct text_layout {
  SIZE extent{};
  int start = 0, width = 0, height = 0;
};

int measure(HDC dc, const char* text, HFONT font, text_layout& out) {
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm{};
  const int len = static_cast<int>(std::strlen(text));
  int ok = GetTextExtentPoint32A(dc, text, len, &out.extent) && GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  if (!ok) return 0;
  // Italic glyphs lean past their advance on both sides.
  out.start = tm.tmItalic ? tm.tmMaxCharWidth / 6 : 0;
  out.width = out.extent.cx + out.start + (tm.tmItalic ? tm.tmMaxCharWidth / 5 : 0);
  out.height = out.extent.cy;
  return out.width > 0 && out.height > 0;
}

// White on black text as a 24-bit block whose first byte per pixel is the coverage.
dib_block* render_coverage(const char* text, const dib_text_style& style, text_layout& layout) {
  screen_dc screen;
  if (!screen.dc) return nullptr;
  HDC dc = CreateCompatibleDC(screen.dc);
  if (!dc) return nullptr;
  dib_block* out = nullptr;
  if (measure(dc, text, style.font, layout)) {
    HBITMAP bm = CreateCompatibleBitmap(screen.dc, layout.width, layout.height);
    if (bm) {
      HGDIOBJ old_bm = SelectObject(dc, bm);
      HGDIOBJ old_font =
          SelectObject(dc, style.font ? style.font : GetStockObject(DEFAULT_GUI_FONT));
      PatBlt(dc, 0, 0, layout.width, layout.height, BLACKNESS);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      const int len = static_cast<int>(std::strlen(text));
      if (style.outline > 0) {
        HPEN pen = CreatePen(PS_SOLID, style.outline, RGB(255, 255, 255));
        HGDIOBJ old_pen = SelectObject(dc, pen);
        BeginPath(dc);
        TextOutA(dc, layout.start, 0, text, len);
        EndPath(dc);
        StrokePath(dc);
        SelectObject(dc, old_pen);
        DeleteObject(pen);
      } else {
        TextOutA(dc, layout.start, 0, text, len);
      }
      GdiFlush();
      SelectObject(dc, old_font);
      SelectObject(dc, old_bm);
      out = dib_from_hbitmap(bm);
      DeleteObject(bm);
    }
  }
  DeleteDC(dc);
  return out;
}

void blend_text(dib_block* target, int x, int y, const dib_block* cover, uint32_t colour,
                float opacity, HRGN clip) {
  dib_view t = dib_view_of(target), c = dib_view_of(const_cast<dib_block*>(cover));
  const bool inside = x >= 0 && y >= 0 && x + c.width <= t.width && y + c.height <= t.height;
  const bool single = clip || !inside;  // each pixel tested on its own
  const float g = dib_opacity(opacity);
  for (int32_t j = 0; j < c.height; ++j) {
    const unsigned char* row = c.row(j);
    for (int32_t i = 0; i < c.width; ++i) {
      const unsigned char a = row[i * 3];
      if (!a) continue;
      const int tx = x + i, ty = y + j;
      if (single && (!t.inside(tx, ty) || (clip && !PtInRegion(clip, tx, ty)))) continue;
      dib_px_set(t.at(tx, ty), colour, a == 255 && g == 1.0f ? 1.0f : alpha_table[a] * g);
    }
  }
}
}  // namespace

HBITMAP dib_to_hbitmap(const dib_block* block) {
  if (!dib_valid(block) || dib_width(block) <= 0 || dib_height(block) <= 0) return nullptr;
  screen_dc screen;
  if (!screen.dc) return nullptr;
  return CreateDIBitmap(screen.dc, &info_of(block)->bmiHeader, CBM_INIT, dib_pixels(block),
                        info_of(block), DIB_RGB_COLORS);
}

dib_block* dib_from_hbitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
    return nullptr;
  dib_block* b = dib_create(bm.bmHeight, 1, bm.bmWidth, 0);
  if (!b) return nullptr;
  screen_dc screen;
  BITMAPINFO info{};
  std::memcpy(&info.bmiHeader, b, sizeof info.bmiHeader);
  if (!screen.dc || GetDIBits(screen.dc, bitmap, 0, bm.bmHeight, dib_pixels(b), &info,
                              DIB_RGB_COLORS) != bm.bmHeight) {
    dib_free(b);
    return nullptr;
  }
  return b;
}

dib_block* dib_grab(HDC dc, int x, int y, int w, int h) {
  if (!dc || w <= 0 || h <= 0) return nullptr;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bm = CreateCompatibleBitmap(dc, w, h);
  dib_block* out = nullptr;
  if (mem && bm) {
    HGDIOBJ old = SelectObject(mem, bm);
    const BOOL copied = BitBlt(mem, 0, 0, w, h, dc, x, y, SRCCOPY);
    SelectObject(mem, old);
    if (copied) out = dib_from_hbitmap(bm);
  }
  if (bm) DeleteObject(bm);
  if (mem) DeleteDC(mem);
  return out;
}

int dib_draw(HDC dc, int x, int y, const dib_block* block) {
  const int w = dib_width(block), h = dib_height(block);
  if (!dc || w <= 0 || h <= 0) return 0;
  return StretchDIBits(dc, x, y, w, h, 0, 0, w, h, dib_pixels(block), info_of(block),
                       DIB_RGB_COLORS, SRCCOPY) != 0;
}

int dib_draw(HDC dc, const dib_rect& dst, const dib_block* block, const dib_rect& src) {
  const int h = dib_height(block);
  if (!dc || h <= 0 || dib_rect_empty(dst) || dib_rect_empty(src)) return 0;
  const int sh = src.bottom - src.top;
  // Windows counts the source y of a bottom-up DIB from the bottom.
  return StretchDIBits(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left,
                       h - src.top - sh, src.right - src.left, sh, dib_pixels(block),
                       info_of(block), DIB_RGB_COLORS, SRCCOPY) != 0;
}

int dib_text_size(const char* text, HFONT font, int* width, int* height) {
  if (!text || !*text) return 0;
  screen_dc screen;
  if (!screen.dc) return 0;
  text_layout layout;
  if (!measure(screen.dc, text, font, layout)) return 0;
  if (width) *width = layout.width;
  if (height) *height = layout.height;
  return 1;
}

int dib_text(dib_block* target, int x, int y, const char* text, const dib_text_style& style) {
  if (dib_bits(target) != 24 || !text || !*text) return 0;
  text_layout layout;
  dib_block* cover = render_coverage(text, style, layout);
  if (!cover) return 0;
  if (style.shadow_offset)
    blend_text(target, x + style.shadow_offset, y + style.shadow_offset, cover, style.shadow_colour,
               style.opacity * 0.25f, style.clip);
  blend_text(target, x, y, cover, style.colour, style.opacity, style.clip);
  dib_free(cover);
  return 1;
}

int dib_text_in(dib_block* target, const dib_rect& box, const char* text,
                const dib_text_style& style) {
  int w = 0, h = 0;
  if (!dib_text_size(text, style.font, &w, &h)) return 0;
  const int bw = box.right - box.left, bh = box.bottom - box.top;
  const int ox = w < bw ? (bw - w) / 2 : 0, oy = h < bh ? (bh - h) / 2 : 0;
  return dib_text(target, box.left + ox, box.top + oy, text, style);
}
