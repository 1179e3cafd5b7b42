// Text records drawn with GDI+ (its flat interface, loaded from the system
// folder): the text in white on a transparent 32-bit bitmap, whose alpha
// becomes the mask the player blends in the record's colour.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/alloc.h"
#include "macro/font_player.h"

namespace {
// The few GDI+ types the flat interface needs, as opaque handles.
struct gp_object;
using gp_ptr = gp_object*;
struct gp_rectf {
  float x, y, width, height;
};
struct gp_startup_input {
  UINT32 version = 1;
  void* debug_callback = nullptr;
  BOOL suppress_thread = FALSE;
  BOOL suppress_codecs = FALSE;
};
constexpr int kFormat32bppArgb = 0x26200A;
constexpr int kTextAntiAlias = 4;
constexpr int kUnitPixel = 2;
constexpr int kStyleBold = 1;
constexpr int32_t kMaskSide = 4096;

using startup_fn = int(WINAPI*)(ULONG_PTR*, const gp_startup_input*, void*);
using shutdown_fn = void(WINAPI*)(ULONG_PTR);
using bitmap_fn = int(WINAPI*)(INT, INT, INT, INT, BYTE*, gp_ptr*);
using context_fn = int(WINAPI*)(gp_ptr, gp_ptr*);
using hint_fn = int(WINAPI*)(gp_ptr, int);
using logfont_fn = int(WINAPI*)(HDC, const LOGFONTA*, gp_ptr*);
using family_fn = int(WINAPI*)(gp_ptr, gp_ptr*);
using font_fn = int(WINAPI*)(gp_ptr, float, int, int, gp_ptr*);
using fill_fn = int(WINAPI*)(DWORD, gp_ptr*);
using measure_fn = int(WINAPI*)(gp_ptr, const WCHAR*, INT, gp_ptr, const gp_rectf*, gp_ptr,
                                gp_rectf*, INT*, INT*);
using draw_fn = int(WINAPI*)(gp_ptr, const WCHAR*, INT, gp_ptr, const gp_rectf*, gp_ptr, gp_ptr);
using delete_fn = int(WINAPI*)(gp_ptr);

struct gdiplus {
  HMODULE module = nullptr;
  ULONG_PTR token = 0;
  startup_fn startup = nullptr;
  shutdown_fn shutdown = nullptr;
  bitmap_fn create_bitmap = nullptr;
  context_fn image_context = nullptr;
  hint_fn text_hint = nullptr;
  logfont_fn font_from_logfont = nullptr;
  family_fn font_family = nullptr;
  font_fn create_font = nullptr;
  fill_fn solid_fill = nullptr;
  measure_fn measure = nullptr;
  draw_fn draw = nullptr;
  delete_fn delete_graphics = nullptr, dispose_image = nullptr, delete_font = nullptr,
            delete_family = nullptr, delete_brush = nullptr;

  template <typename F>
  bool get(F& f, const char* name) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return f != nullptr;
  }
  // Loaded by full path and started for one rendering.
  bool open() {
    char path[MAX_PATH + 16];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::strcat(path, "\\gdiplus.dll");
    module = LoadLibraryA(path);
    if (!module) return false;
    if (!get(startup, "GdiplusStartup") || !get(shutdown, "GdiplusShutdown") ||
        !get(create_bitmap, "GdipCreateBitmapFromScan0") ||
        !get(image_context, "GdipGetImageGraphicsContext") ||
        !get(text_hint, "GdipSetTextRenderingHint") ||
        !get(font_from_logfont, "GdipCreateFontFromLogfontA") ||
        !get(font_family, "GdipGetFamily") || !get(create_font, "GdipCreateFont") ||
        !get(solid_fill, "GdipCreateSolidFill") || !get(measure, "GdipMeasureString") ||
        !get(draw, "GdipDrawString") || !get(delete_graphics, "GdipDeleteGraphics") ||
        !get(dispose_image, "GdipDisposeImage") || !get(delete_font, "GdipDeleteFont") ||
        !get(delete_family, "GdipDeleteFontFamily") || !get(delete_brush, "GdipDeleteBrush"))
      return false;
    gp_startup_input in;
    return startup(&token, &in, nullptr) == 0;
  }
  ~gdiplus() {
    if (token && shutdown) shutdown(token);
    if (module) FreeLibrary(module);
  }
};

struct face_search {
  const char* name;
  LOGFONTA found;
  int hit;
};

int CALLBACK on_family(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
  face_search& s = *reinterpret_cast<face_search*>(data);
  if (lstrcmpiA(lf->lfFaceName, s.name) != 0) return 1;
  s.found = *lf;
  s.hit = 1;
  return 0;
}

// An installed family of that name (compared without case), into lf.
bool find_face(HDC dc, const char* name, LOGFONTA* lf) {
  if (!name || !*name) return false;
  face_search s{name, {}, 0};
  LOGFONTA want{};
  want.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &want, on_family, reinterpret_cast<LPARAM>(&s), 0);
  if (s.hit) *lf = s.found;
  return s.hit != 0;
}

// The record's face when installed, else the program's default face (else
// the system's interface font); height font_height, width 0, bold as recorded.
LOGFONTA record_font(HDC dc, const macro_text_fields& t) {
  char face[LF_FACESIZE] = {};
  std::memcpy(face, t.face_name, std::min<std::size_t>(sizeof t.face_name, LF_FACESIZE - 1));
  LOGFONTA lf{};
  if (!find_face(dc, face, &lf) && !find_face(dc, macro_default_face(), &lf))
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfHeight = t.font_height;
  lf.lfWidth = 0;
  lf.lfWeight = t.bold ? FW_BOLD : FW_NORMAL;
  return lf;
}
}  // namespace

int macro_text_available() { return 1; }

int macro_text_render(const macro_record& r, macro_text_mask* mask) {
  if (!mask) return 0;
  *mask = macro_text_mask{};
  // The text ends at its field's end when the file gave no terminator.
  char text[sizeof r.text.text + 1] = {};
  std::memcpy(text, r.text.text, sizeof r.text.text);
  WCHAR wide[sizeof text];
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, int(sizeof text)) - 1;
  if (length <= 0) return 0;
  const float size = float(std::clamp<int32_t>(r.text.text_size, 1, 1024));

  gdiplus g;
  if (!g.open()) return 0;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return 0;
  const LOGFONTA lf = record_font(dc, r.text);
  gp_ptr logfont = nullptr, family = nullptr, font = nullptr, brush = nullptr;
  gp_ptr bitmap = nullptr, graphics = nullptr;
  uint8_t* argb = nullptr;
  int ok = 0;
  do {
    // GDI+ takes TrueType families only: a bitmap face falls back to Arial.
    if (g.font_from_logfont(dc, &lf, &logfont) != 0) {
      LOGFONTA arial = lf;
      std::strcpy(arial.lfFaceName, "Arial");
      if (g.font_from_logfont(dc, &arial, &logfont) != 0) break;
    }
    if (g.font_family(logfont, &family) != 0) break;
    // At the record's text size, in the face and weight of the description.
    if (g.create_font(family, size, r.text.bold ? kStyleBold : 0, kUnitPixel, &font) != 0) break;
    if (g.solid_fill(0xFFFFFFFF, &brush) != 0) break;
    // Measured on a one-pixel bitmap, drawn on one of the text's size.
    uint32_t one = 0;
    if (g.create_bitmap(1, 1, 4, kFormat32bppArgb, reinterpret_cast<BYTE*>(&one), &bitmap) != 0 ||
        g.image_context(bitmap, &graphics) != 0)
      break;
    const gp_rectf open_box{0, 0, 0, 0};
    gp_rectf box{};
    if (g.measure(graphics, wide, length, font, &open_box, nullptr, &box, nullptr, nullptr) != 0)
      break;
    g.delete_graphics(graphics), graphics = nullptr;
    g.dispose_image(bitmap), bitmap = nullptr;
    const int32_t w = int32_t(std::ceil(std::min(box.width, float(kMaskSide)))) + 2;
    const int32_t h = int32_t(std::ceil(std::min(box.height, float(kMaskSide)))) + 2;
    if (w <= 2 || h <= 2 || w > kMaskSide || h > kMaskSide) break;
    argb = static_cast<uint8_t*>(mem_calloc(std::size_t(w) * std::size_t(h) * 4));
    if (!argb) break;
    if (g.create_bitmap(w, h, w * 4, kFormat32bppArgb, argb, &bitmap) != 0 ||
        g.image_context(bitmap, &graphics) != 0)
      break;
    g.text_hint(graphics, kTextAntiAlias);
    const gp_rectf at{0, 0, float(w), float(h)};
    if (g.draw(graphics, wide, length, font, &at, nullptr, brush) != 0) break;
    g.delete_graphics(graphics), graphics = nullptr;  // flushes into argb
    mask->alpha = static_cast<uint8_t*>(mem_alloc(std::size_t(w) * std::size_t(h)));
    if (!mask->alpha) break;
    mask->width = w, mask->height = h;
    for (std::size_t i = 0, n = std::size_t(w) * std::size_t(h); i < n; ++i)
      mask->alpha[i] = argb[i * 4 + 3];
    ok = 1;
  } while (false);
  if (graphics) g.delete_graphics(graphics);
  if (bitmap) g.dispose_image(bitmap);
  if (brush) g.delete_brush(brush);
  if (font) g.delete_font(font);
  if (family) g.delete_family(family);
  if (logfont) g.delete_font(logfont);
  mem_free(argb);
  DeleteDC(dc);
  if (!ok) macro_text_mask_free(*mask);
  return ok;
}
