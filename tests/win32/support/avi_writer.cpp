#include "tests/win32/support/avi_writer.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Little-endian byte buffer, field by field.
class Bytes {
 public:
  void u8(uint8_t v) { b_.push_back(v); }
  void u16(uint16_t v) { u8(v & 0xFF); u8(v >> 8); }
  void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
  void fourcc(const char* c) { for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(c[i])); }
  size_t size() const { return b_.size(); }
  void patch32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  // Opens a chunk (or LIST/RIFF with a form type); returns where its size lives.
  size_t open(const char* id, const char* form = nullptr) {
    fourcc(id);
    size_t at = size();
    u32(0);
    if (form) fourcc(form);
    return at;
  }
  void close(size_t at) {
    patch32(at, static_cast<uint32_t>(size() - at - 4));
    if (size() & 1) u8(0);  // chunks are word aligned
  }
  const std::vector<uint8_t>& data() const { return b_; }

 private:
  std::vector<uint8_t> b_;
};

}  // namespace

bool write_test_avi(const std::string& path, const AviClipSpec& s) {
  // 32-bit pixels: rows need no padding, and Wine's RLE codec claims 24-bit RGB
  // clips for itself and garbles them, while 32-bit ones reach the screen as they are.
  const uint32_t stride = static_cast<uint32_t>(s.width) * 4;
  const uint32_t frame_bytes = stride * static_cast<uint32_t>(s.height);
  const uint32_t usec = 1000000u / static_cast<uint32_t>(s.fps);

  Bytes b;
  size_t riff = b.open("RIFF", "AVI ");
  size_t hdrl = b.open("LIST", "hdrl");
  size_t avih = b.open("avih");
  b.u32(usec);                     // microseconds per frame
  b.u32(frame_bytes * s.fps);      // max bytes per second
  b.u32(0);                        // padding granularity
  b.u32(0x10);                     // AVIF_HASINDEX
  b.u32(s.frames);
  b.u32(0);                        // initial frames
  b.u32(1);                        // streams
  b.u32(frame_bytes);              // suggested buffer size
  b.u32(s.width);
  b.u32(s.height);
  for (int i = 0; i < 4; ++i) b.u32(0);
  b.close(avih);

  size_t strl = b.open("LIST", "strl");
  size_t strh = b.open("strh");
  b.fourcc("vids");
  b.fourcc("DIB ");
  b.u32(0);                        // flags
  b.u16(0);                        // priority
  b.u16(0);                        // language
  b.u32(0);                        // initial frames
  b.u32(1);                        // scale
  b.u32(s.fps);                    // rate: rate / scale = frames per second
  b.u32(0);                        // start
  b.u32(s.frames);                 // length
  b.u32(frame_bytes);              // suggested buffer size
  b.u32(0xFFFFFFFFu);              // quality: default
  b.u32(0);                        // sample size: varies per frame
  b.u16(0); b.u16(0); b.u16(s.width); b.u16(s.height);
  b.close(strh);
  size_t strf = b.open("strf");    // BITMAPINFOHEADER
  b.u32(40);
  b.u32(s.width);
  b.u32(s.height);
  b.u16(1);
  b.u16(32);
  b.u32(0);                        // BI_RGB
  b.u32(frame_bytes);
  b.u32(0); b.u32(0); b.u32(0); b.u32(0);
  b.close(strf);
  b.close(strl);
  b.close(hdrl);

  size_t movi = b.open("LIST", "movi");
  const size_t movi_type = movi + 4;  // index offsets count from the "movi" type
  std::vector<uint32_t> offsets;
  for (int f = 0; f < s.frames; ++f) {
    offsets.push_back(static_cast<uint32_t>(b.size() - movi_type));
    size_t chunk = b.open("00db");
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        b.u8(static_cast<uint8_t>(f * 25));       // blue (wraps past frame 10)
        b.u8(static_cast<uint8_t>(x * 8));        // green
        b.u8(static_cast<uint8_t>(255 - f * 25)); // red
        b.u8(0);
      }
    }
    b.close(chunk);
  }
  b.close(movi);

  size_t idx1 = b.open("idx1");
  for (uint32_t off : offsets) {
    b.fourcc("00db");
    b.u32(0x10);                   // AVIIF_KEYFRAME
    b.u32(off);
    b.u32(frame_bytes);
  }
  b.close(idx1);
  b.close(riff);

  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data().data(), 1, b.size(), f) == b.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}
