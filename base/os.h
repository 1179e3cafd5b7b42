#pragma once
// The little the portable core needs from the operating system. Paths keep the
// backslashes of the resource names; the POSIX side maps them to '/'.
#include <cstddef>
#include <cstdint>
#include <string>

std::size_t os_usable_size(void* block);   // the allocator's usable size of a malloc block
uint32_t os_milliseconds();                // since an arbitrary start, wrapping

int os_file_exists(const char* path);      // 1 for a file or a folder
int os_is_folder(const char* path);
int os_clear_attributes(const char* path); // make a read-only file writable
int os_remove_file(const char* path);
// Replaces target by source in one step (source is in the same folder); 1 on success.
int os_replace_file(const char* source, const char* target);
// Reads a whole file into a string; 0 when it cannot be opened or read.
int os_read_file(const char* path, std::string& out, std::size_t limit = 1u << 30);

// A file written beside its target and put in its place only when every byte
// reached the disk: a failed save never destroys the previous file.
class os_safe_file {
 public:
  explicit os_safe_file(const char* target);
  ~os_safe_file();  // discards the temporary file unless commit succeeded
  os_safe_file(const os_safe_file&) = delete;
  os_safe_file& operator=(const os_safe_file&) = delete;

  int ok() const { return handle_ != nullptr && !failed_; }
  int write(const void* data, std::size_t size);  // 0 once any write failed
  int commit();                                   // flush, sync, replace; 1 on success

 private:
  std::string target_, temp_;
  void* handle_ = nullptr;  // FILE*
  bool failed_ = false;
};

// The system code page text of a UTF-8 text (identity where the system is UTF-8).
std::string os_utf8_to_ansi(const std::string& utf8);
// The UTF-8 text of a system code page text (identity where the system is UTF-8).
std::string os_ansi_to_utf8(const std::string& ansi);
// 1 when c starts a double-byte character of the system code page (never in UTF-8,
// whose trail bytes are never ASCII).
int os_is_lead_byte(unsigned char c);
// A path in the host's own form (backslashes become slashes on POSIX).
std::string os_native_path(const char* path);
