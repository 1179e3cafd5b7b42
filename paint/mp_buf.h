#pragma once
// The bytes of one brush text, found in the brush package or read from its
// loose file. A counted block with a zero byte after the text.
#include <cstddef>

class mp_buf {
 public:
  mp_buf() = default;
  ~mp_buf();
  mp_buf(const mp_buf&) = delete;
  mp_buf& operator=(const mp_buf&) = delete;

  // Package entry "<name>.myb" (lower case) of the package beside folder,
  // else the file folder\name.myb. 0 when neither exists or is too large.
  int load(const char* brush_name, const char* folder);
  int assign(const char* text, std::size_t length);
  void clear();

  const char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

// Brush texts are a few kilobytes; anything far larger is not one.
inline constexpr std::size_t kMpMaxBrushText = 1u << 20;
