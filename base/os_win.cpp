#include <windows.h>
#include <io.h>
#include <malloc.h>

#include <cstdio>
#include <vector>

#include "base/os.h"

std::size_t os_usable_size(void* block) { return block ? _msize(block) : 0; }

uint32_t os_milliseconds() { return GetTickCount(); }

std::string os_native_path(const char* path) { return path ? path : ""; }

int os_file_exists(const char* path) { return path && *path && _access(path, 0) == 0; }

int os_is_folder(const char* path) {
  DWORD a = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int os_clear_attributes(const char* path) {
  return path && SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

int os_remove_file(const char* path) {
  if (!path) return 0;
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path) != 0;
}

int os_replace_file(const char* source, const char* target) {
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

int os_safe_file::commit() {
  if (!handle_) return 0;
  FILE* f = static_cast<FILE*>(handle_);
  handle_ = nullptr;
  bool ok = !failed_ && std::fflush(f) == 0;
  if (ok) {
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    ok = h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
  }
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = os_replace_file(temp_.c_str(), target_.c_str());
  if (ok) temp_.clear();
  return ok;
}

namespace {
// Text from one code page to another through UTF-16; unchanged when it does
// not convert.
std::string recode(const std::string& text, UINT from, UINT to) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return text;
  std::vector<wchar_t> wide(n);
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  int m = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  if (m <= 0) return text;
  std::string out(m, '\0');
  WideCharToMultiByte(to, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}
}  // namespace

std::string os_utf8_to_ansi(const std::string& utf8) { return recode(utf8, CP_UTF8, CP_ACP); }

std::string os_ansi_to_utf8(const std::string& ansi) { return recode(ansi, CP_ACP, CP_UTF8); }

int os_is_lead_byte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }
