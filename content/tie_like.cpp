#include "content/tie_like.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// One code point; a byte that does not start a valid sequence counts alone,
// so stray bytes still match themselves.
uint32_t next_code(const unsigned char*& p) {
  const unsigned char c = *p;
  int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (c >= 0xF8 || (c >= 0x80 && c < 0xC0)) extra = 0;
  uint32_t code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
  for (int i = 1; i <= extra; ++i)
    if ((p[i] & 0xC0) != 0x80) {
      ++p;
      return c;
    }
  for (int i = 1; i <= extra; ++i) code = code << 6 | (p[i] & 0x3F);
  p += 1 + extra;
  return code;
}

uint32_t lower(uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
uint32_t upper(uint32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

enum token_kind { any_run, any_one, literal, char_class };

struct token {
  token_kind kind;
  uint32_t code = 0;               // literal
  bool negated = false;            // class
  std::size_t first = 0, end = 0;  // class: its ranges in the range list
};

struct range {
  uint32_t low, high;
};

bool in_class(const token& t, const std::vector<range>& ranges, uint32_t c) {
  bool hit = false;
  for (std::size_t i = t.first; i < t.end && !hit; ++i) {
    const range& r = ranges[i];
    for (uint32_t v : {c, lower(c), upper(c)})
      if (v >= r.low && v <= r.high) hit = true;
  }
  return hit != t.negated;
}

bool parse(const unsigned char* p, std::vector<token>& tokens, std::vector<range>& ranges) {
  while (*p) {
    if (*p == '%') {
      ++p;
      // Consecutive runs are one run: keeps the matcher's backtracking single.
      if (tokens.empty() || tokens.back().kind != any_run) tokens.push_back({any_run});
    } else if (*p == '_') {
      ++p;
      tokens.push_back({any_one});
    } else if (*p == '[') {
      ++p;
      token t{char_class};
      if (*p == '!') {
        t.negated = true;
        ++p;
      }
      t.first = ranges.size();
      // A ']' right after the opening is a member, so "[]]" finds a bracket.
      bool first = true;
      while (*p && (*p != ']' || first)) {
        first = false;
        uint32_t low = next_code(p);
        uint32_t high = low;
        if (*p == '-' && p[1] && p[1] != ']') {
          ++p;
          high = next_code(p);
          if (high < low) return false;
        }
        ranges.push_back({low, high});
      }
      if (*p != ']') return false;
      ++p;
      t.end = ranges.size();
      tokens.push_back(t);
    } else {
      token t{literal};
      t.code = next_code(p);
      tokens.push_back(t);
    }
  }
  return true;
}

bool one(const token& t, const std::vector<range>& ranges, uint32_t c) {
  switch (t.kind) {
    case any_one:
      return true;
    case literal:
      return lower(t.code) == lower(c);
    case char_class:
      return in_class(t, ranges, c);
    default:
      return false;
  }
}

}  // namespace

int tie_like_match(const char* pattern, const char* text) {
  if (!pattern || !text) return 0;
  std::vector<token> tokens;
  std::vector<range> ranges;
  if (!parse(reinterpret_cast<const unsigned char*>(pattern), tokens, ranges)) return -1;
  std::vector<uint32_t> codes;
  for (auto* p = reinterpret_cast<const unsigned char*>(text); *p;) codes.push_back(next_code(p));

  // Every token but a run takes exactly one character, so remembering only the
  // last run and retrying it one character further is complete (and linear
  // per run, not exponential).
  std::size_t ti = 0, ci = 0;
  std::size_t run_token = SIZE_MAX, run_code = 0;
  while (ci < codes.size()) {
    if (ti < tokens.size() && tokens[ti].kind == any_run) {
      run_token = ti++;
      run_code = ci;
    } else if (ti < tokens.size() && one(tokens[ti], ranges, codes[ci])) {
      ++ti;
      ++ci;
    } else if (run_token != SIZE_MAX) {
      ti = run_token + 1;
      ci = ++run_code;
    } else {
      return 0;
    }
  }
  while (ti < tokens.size() && tokens[ti].kind == any_run) ++ti;
  return ti == tokens.size();
}
