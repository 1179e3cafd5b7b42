#pragma once
// The pictures the pens read, drawn from fixed seeds: the strength tips of
// the watercolour, bristle brush and calligraphy patterns ("wa", "br", "ca"),
// the paper textures and the thirteen stamp sets. Every call gives the same
// picture in every build.
#include <cstdint>
#include <string>

struct dib_block;

inline constexpr int kPaperCount = 7;   // "tex1" .. "tex7": every paper of the catalogue
inline constexpr int kStampSets = 13;   // "000" .. "012"
inline constexpr int kStampSteps = 16;  // "-00" .. "-15"

// Edge of the stamp of a size step.
int32_t penpic_stamp_edge(int step);
// The largest even tip size of a strength-tip code ("wa" 36, "br" 48, "ca" 64).
int32_t penpic_tip_largest(const char* code);
// 8-bit grey blocks (free with dib_free); null for an unknown argument.
dib_block* penpic_tip(const char* code, int32_t size);
dib_block* penpic_paper(int number);
dib_block* penpic_stamp(int set, int step);
const char* penpic_stamp_title(int set);

// Writes them all under the installation root: GLIB\penpat\<code>.zzi/.zzd
// packages of tips (loose_tips: GLIB\penpat\bmp\ files instead), and
// GLIB\tex\file\tex%d.bmp, GLIB\tex\cust\%03d-%02d.bmp. 1, or 0 with a reason.
int penpics_write(const std::string& root, int loose_tips, std::string* error);
