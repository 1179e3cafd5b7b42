// Drawing a surface over a target bitmap.
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "base/dib_pixel.h"
#include "base/dib_sample.h"
#include "base/surface.h"

namespace {
// Per pixel of a kind-1 surface: a = trunc(g * c) for coverage c, then
// t += (colour - t) * a / 256 truncated toward zero. A full a of 255 is taken
// as 256, so that it copies: by 255 / 256 an opaque pixel would stay one step
// short of its colour (white painted over black would show 254). Any other a
// keeps the truncating blend exactly.
struct draw_weights {
  uint16_t a[256];
  float g;
  uint32_t multiplier;  // (c * multiplier) >> 16 == trunc(g * c) for every c; 0: none found
};

draw_weights weights_for(float g) {
  draw_weights w;
  w.g = g;
  for (int c = 0; c < 256; ++c) {
    const int a = static_cast<int>(g * c);
    w.a[c] = static_cast<uint16_t>(a == 255 ? 256 : a);
  }
  w.multiplier = 0;
  const double exact = double(g) * 65536.0;
  for (uint32_t m : {uint32_t(exact), uint32_t(exact) + 1}) {
    if (m > 0xFFFF) continue;
    bool all = true;
    for (int c = 0; c < 256 && all; ++c)
      all = ((c * m) >> 16) == static_cast<uint32_t>(static_cast<int>(g * c));
    if (all) {
      w.multiplier = m;
      break;
    }
  }
  return w;
}

inline void blend_pixel(unsigned char* q, const unsigned char* p, int a) {
  q[0] = dib_blend256(q[0], p[0], a);
  q[1] = dib_blend256(q[1], p[1], a);
  q[2] = dib_blend256(q[2], p[2], a);
}

#if defined(__SSE2__)
// Sixteen channels of t + (s - t) * a / 256 truncated toward zero, on bytes:
// q = (|s - t| * a) >> 8 never exceeds |s - t|, so t + q (s above t) and t - q
// (s below t) stay within 0..255. scaled(u_lo, u_hi) gives q for the channels.
template <class Scale>
inline __m128i blend16(__m128i t, __m128i s, Scale scaled) {
  const __m128i z = _mm_setzero_si128();
  const __m128i up = _mm_subs_epu8(s, t), down = _mm_subs_epu8(t, s);
  const __m128i u = _mm_or_si128(up, down);
  const __m128i q = scaled(_mm_unpacklo_epi8(u, z), _mm_unpackhi_epi8(u, z));
  return _mm_sub_epi8(_mm_add_epi8(t, _mm_min_epu8(q, up)), _mm_min_epu8(q, down));
}

// a for eight pixels (16-bit lanes) to the a of their 24 channels.
inline void spread3(__m128i a, __m128i out[3]) {
  const __m128i lo = _mm_unpacklo_epi64(a, a), hi = _mm_unpackhi_epi64(a, a);
  out[0] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lo, _MM_SHUFFLE(1, 0, 0, 0)),
                               _MM_SHUFFLE(2, 2, 1, 1));
  out[1] =
      _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, _MM_SHUFFLE(3, 3, 3, 2)), _MM_SHUFFLE(1, 0, 0, 0));
  out[2] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(hi, _MM_SHUFFLE(2, 2, 1, 1)),
                               _MM_SHUFFLE(3, 3, 3, 2));
}

// a = trunc(g * c) for sixteen coverage bytes (255 taken as 256): by a
// multiplier that was checked against the float product for every c, else
// through the float product itself.
inline void weights16(__m128i cov, const draw_weights& w, __m128i& a_lo, __m128i& a_hi) {
  const __m128i z = _mm_setzero_si128();
  const __m128i c_lo = _mm_unpacklo_epi8(cov, z), c_hi = _mm_unpackhi_epi8(cov, z);
  if (w.g == 1.0f) {
    a_lo = c_lo, a_hi = c_hi;
  } else if (w.multiplier) {
    const __m128i m = _mm_set1_epi16(static_cast<short>(w.multiplier));
    a_lo = _mm_mulhi_epu16(c_lo, m), a_hi = _mm_mulhi_epu16(c_hi, m);
  } else {
    const __m128 gv = _mm_set1_ps(w.g);
    auto scale = [&](__m128i c16) {
      const __m128i i0 =
          _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(c16, z)), gv));
      const __m128i i1 =
          _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(c16, z)), gv));
      return _mm_packs_epi32(i0, i1);
    };
    a_lo = scale(c_lo), a_hi = scale(c_hi);
  }
  const __m128i full = _mm_set1_epi16(255);
  a_lo = _mm_sub_epi16(a_lo, _mm_cmpeq_epi16(a_lo, full));
  a_hi = _mm_sub_epi16(a_hi, _mm_cmpeq_epi16(a_hi, full));
}

// Sixteen pixels: 48 target bytes, 48 colour bytes, the a of their 48
// channels in 16-bit lanes. Shifted: the lanes hold a << 8 (a below 256) and
// one high multiply scales; else a may be 256 and a low multiply and a shift do.
template <bool shifted>
inline void blend48(unsigned char* t, const unsigned char* col, const __m128i a[6]) {
  for (int k = 0; k < 3; ++k) {
    const __m128i a0 = a[2 * k], a1 = a[2 * k + 1];
    auto scaled = [&](__m128i u0, __m128i u1) {
      if (shifted) return _mm_packus_epi16(_mm_mulhi_epu16(u0, a0), _mm_mulhi_epu16(u1, a1));
      return _mm_packus_epi16(_mm_srli_epi16(_mm_mullo_epi16(u0, a0), 8),
                              _mm_srli_epi16(_mm_mullo_epi16(u1, a1), 8));
    };
    __m128i* q = reinterpret_cast<__m128i*>(t + 16 * k);
    const __m128i tv = _mm_loadu_si128(q);
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + 16 * k));
    _mm_storeu_si128(q, blend16(tv, sv, scaled));
  }
}

// The same with one a (below 256) for all: (u * a) >> 8 as one high multiply.
inline void blend48_uniform(unsigned char* t, const unsigned char* col, int a) {
  const __m128i m = _mm_set1_epi16(static_cast<short>(a << 8));
  auto scaled = [&](__m128i u0, __m128i u1) {
    return _mm_packus_epi16(_mm_mulhi_epu16(u0, m), _mm_mulhi_epu16(u1, m));
  };
  for (int k = 0; k < 3; ++k) {
    __m128i* q = reinterpret_cast<__m128i*>(t + 16 * k);
    const __m128i tv = _mm_loadu_si128(q);
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + 16 * k));
    _mm_storeu_si128(q, blend16(tv, sv, scaled));
  }
}

inline void draw16(unsigned char* t, const unsigned char* col, __m128i cov, const draw_weights& w) {
  __m128i a_lo, a_hi, a[6];
  weights16(cov, w, a_lo, a_hi);
  if (w.g == 1.0f) {  // coverage 255 gives a = 256
    spread3(a_lo, a);
    spread3(a_hi, a + 3);
    blend48<false>(t, col, a);
  } else {  // a stays below 255
    spread3(_mm_slli_epi16(a_lo, 8), a);
    spread3(_mm_slli_epi16(a_hi, 8), a + 3);
    blend48<true>(t, col, a);
  }
}
#endif

#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QM_SURFACE_DRAW_AVX2 1
// Thirty-two pixels at a time where the processor has AVX2 (checked at run
// time: the program itself targets SSE2). Same arithmetic as blend16.
__attribute__((target("avx2"))) inline __m256i blend32(__m256i t, __m256i s, __m256i a_lo,
                                                       __m256i a_hi, bool shifted) {
  const __m256i z = _mm256_setzero_si256();
  const __m256i up = _mm256_subs_epu8(s, t), down = _mm256_subs_epu8(t, s);
  const __m256i u = _mm256_or_si256(up, down);
  const __m256i u0 = _mm256_unpacklo_epi8(u, z), u1 = _mm256_unpackhi_epi8(u, z);
  const __m256i q =
      shifted ? _mm256_packus_epi16(_mm256_mulhi_epu16(u0, a_lo), _mm256_mulhi_epu16(u1, a_hi))
              : _mm256_packus_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(u0, a_lo), 8),
                                    _mm256_srli_epi16(_mm256_mullo_epi16(u1, a_hi), 8));
  return _mm256_sub_epi8(_mm256_add_epi8(t, _mm256_min_epu8(q, up)), _mm256_min_epu8(q, down));
}

// a of eight-channel groups g (12 for 32 pixels) into the lane order of the
// 256-bit unpacks: vector k takes groups 4k and 4k + 2 (low) and 4k + 1 and 4k + 3 (high).
__attribute__((target("avx2"))) inline void blend96(unsigned char* t, const unsigned char* col,
                                                    const __m128i g[12], bool shifted) {
  for (int k = 0; k < 3; ++k) {
    const __m256i a_lo = _mm256_set_m128i(g[4 * k + 2], g[4 * k]);
    const __m256i a_hi = _mm256_set_m128i(g[4 * k + 3], g[4 * k + 1]);
    __m256i* q = reinterpret_cast<__m256i*>(t + 32 * k);
    const __m256i tv = _mm256_loadu_si256(q);
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(col + 32 * k));
    _mm256_storeu_si256(q, blend32(tv, sv, a_lo, a_hi, shifted));
  }
}

__attribute__((target("avx2"))) int32_t draw_row_avx2(unsigned char* t, const unsigned char* col,
                                                      const unsigned char* cov, int32_t n,
                                                      const draw_weights& w) {
  const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi8(-1);
  int32_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cov + i));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(c, zero)) == -1) continue;
    if (w.g == 1.0f && _mm256_movemask_epi8(_mm256_cmpeq_epi8(c, ones)) == -1) {
      std::memcpy(t + i * 3, col + i * 3, 96);
      continue;
    }
    __m128i g[12];
    const bool uniform = _mm256_movemask_epi8(_mm256_cmpeq_epi8(
                             c, _mm256_set1_epi8(static_cast<char>(cov[i])))) == -1 &&
                         w.a[cov[i]] < 256;
    const bool shifted = uniform || w.g != 1.0f;
    if (uniform) {
      const __m128i m = _mm_set1_epi16(static_cast<short>(w.a[cov[i]] << 8));
      for (__m128i& x : g) x = m;
    } else {
      for (int h = 0; h < 2; ++h) {
        __m128i a_lo, a_hi;
        weights16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + i + 16 * h)), w, a_lo,
                  a_hi);
        if (shifted) a_lo = _mm_slli_epi16(a_lo, 8), a_hi = _mm_slli_epi16(a_hi, 8);
        spread3(a_lo, g + 6 * h);
        spread3(a_hi, g + 6 * h + 3);
      }
    }
    blend96(t + i * 3, col + i * 3, g, shifted);
  }
  return i;
}
#endif

void draw_row(unsigned char* t, const unsigned char* col, const unsigned char* cov, int32_t n,
              const draw_weights& w) {
  int32_t i = 0;
#if defined(QM_SURFACE_DRAW_AVX2)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) i = draw_row_avx2(t, col, cov, n, w);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi8(-1);
  for (; i + 16 <= n; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, zero)) == 0xFFFF) continue;  // nothing painted
    if (w.g == 1.0f && _mm_movemask_epi8(_mm_cmpeq_epi8(c, ones)) == 0xFFFF) {
      std::memcpy(t + i * 3, col + i * 3, 48);  // fully covered
      continue;
    }
    // One coverage across the sixteen (the inside of a stroke): one weight.
    const __m128i first = _mm_set1_epi8(static_cast<char>(cov[i]));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, first)) == 0xFFFF && w.a[cov[i]] < 256) {
      blend48_uniform(t + i * 3, col + i * 3, w.a[cov[i]]);
      continue;
    }
    draw16(t + i * 3, col + i * 3, c, w);
  }
#endif
  for (; i < n; ++i) {
    const int a = w.a[cov[i]];
    if (a) blend_pixel(t + i * 3, col + i * 3, a);
  }
}
}  // namespace

int surface_draw_to(const paint_surface* s, dib_block* target, const dib_rect* clip,
                    float opacity) {
  if (!s) return 0;
  dib_view t = dib_view_of(target);
  if (!t.pixels || t.bpp != 3) return 0;
  const bool tracked = s->kind && s->coverage_bits;
  dib_rect r = tracked ? surface_changed_area(s, 0) : dib_rect{0, 0, s->width, s->height};
  if (clip) r = dib_rect_intersect(r, *clip);
  r = dib_rect_intersect(r, dib_rect{0, 0, t.width, t.height});
  const float g = dib_opacity(opacity);
  if (dib_rect_empty(r) || g == 0.0f) return 1;
  const int32_t n = r.right - r.left;

  if (!tracked && g == 1.0f) {
    for (int32_t y = r.top; y < r.bottom; ++y)
      std::memcpy(t.at(r.left, y),
                  s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - y) + r.left * 3,
                  std::size_t(n) * 3);
    return 1;
  }
  const draw_weights w = weights_for(g);
  if (!tracked) {  // colour only: every pixel at the opacity
    const int a = w.a[255];
    for (int32_t y = r.top; y < r.bottom; ++y) {
      unsigned char* q = t.at(r.left, y);
      const unsigned char* p =
          s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - y) + r.left * 3;
      for (int32_t i = 0; i < n; ++i) blend_pixel(q + i * 3, p + i * 3, a);
    }
    return 1;
  }
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const std::size_t up = std::size_t(s->height - 1 - y);
    draw_row(t.at(r.left, y), s->colour_bits + s->colour_stride * up + std::size_t(r.left) * 3,
             s->coverage_bits + s->coverage_stride * up + r.left, n, w);
  }
  return 1;
}
