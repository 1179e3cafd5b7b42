#pragma once
// Whole files in counted buffers and a bounds-checked cursor over them: every
// decoder reads its input through these, so a size field can never make it
// read past the data.
#include <cstddef>
#include <cstdint>
#include <cstdio>

// The largest file a reader loads (a PSD carries layers besides its composite).
inline constexpr std::size_t kImageMaxFile = std::size_t{512} << 20;

struct image_file_bytes {
  unsigned char* data = nullptr;
  std::size_t size = 0;
  image_file_bytes() = default;
  ~image_file_bytes();
  image_file_bytes(const image_file_bytes&) = delete;
  image_file_bytes& operator=(const image_file_bytes&) = delete;
};

// The rest of an open file from its current position; 0 when unreadable or
// larger than kImageMaxFile.
int image_read_stream(std::FILE* f, image_file_bytes& out);
int image_read_path(const char* path, image_file_bytes& out);

// Reads fail softly: past the end a read gives 0 and sets failed.
class image_cursor {
 public:
  image_cursor(const void* data, std::size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(data ? size : 0) {}

  bool failed() const { return failed_; }
  std::size_t pos() const { return pos_; }
  std::size_t size() const { return size_; }
  std::size_t left() const { return size_ - pos_; }
  const unsigned char* base() const { return data_; }

  bool seek(std::size_t p) {
    if (p > size_) return fail();
    pos_ = p;
    return true;
  }
  bool skip(uint64_t n) {
    if (n > left()) return fail();
    pos_ += static_cast<std::size_t>(n);
    return true;
  }
  // n bytes in place, or null (and failed) when fewer are left.
  const unsigned char* take(std::size_t n) {
    if (n > left()) {
      fail();
      return nullptr;
    }
    const unsigned char* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  uint8_t u8() {
    const unsigned char* p = take(1);
    return p ? p[0] : 0;
  }
  uint16_t u16le() {
    const unsigned char* p = take(2);
    return p ? static_cast<uint16_t>(p[0] | p[1] << 8) : 0;
  }
  uint16_t u16be() {
    const unsigned char* p = take(2);
    return p ? static_cast<uint16_t>(p[0] << 8 | p[1]) : 0;
  }
  uint32_t u32le() {
    const unsigned char* p = take(4);
    return p ? (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24)
             : 0;
  }
  uint32_t u32be() {
    const unsigned char* p = take(4);
    return p ? (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]})
             : 0;
  }

 private:
  bool fail() {
    failed_ = true;
    pos_ = size_;
    return false;
  }
  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// 1 when a block of width x height at bits per pixel (plus a table) stays
// within kDibMaxBytes: checked before anything is allocated for it.
int image_size_ok(uint64_t width, uint64_t height, int bits);
