#include "tests/win32/support/stub_install.h"

#include <windows.h>

namespace {

const char kOverrideKey[] = "Software\\Wine\\DllOverrides";

}  // namespace

std::string system_folder_file(const char* name) {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir, n) + "\\" + name;
}

std::string windows_folder_file(const char* name) {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
  return std::string(dir, n) + "\\" + name;
}

std::string beside_exe(const char* name) {
  char exe[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path(exe, n);
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}

stub_install::stub_install(const std::string& target, const char* source, const char* override_name,
                           const char* override_value)
    : target_(target), saved_(target + ".qm-saved"), override_(override_name ? override_name : "") {
  // A run that died before cleaning up left the original aside: put it back first.
  if (GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES)
    MoveFileExA(saved_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(target_.c_str(), &found);
  had_original_ = find != INVALID_HANDLE_VALUE;
  if (had_original_) {
    FindClose(find);
    original_ = target_.substr(0, target_.find_last_of('\\') + 1) + found.cFileName;
    if (!MoveFileExA(target_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      had_original_ = false;
      return;
    }
  }
  if (source && *source) {
    if (!CopyFileA(beside_exe(source).c_str(), target_.c_str(), FALSE)) return;
    copied_ = true;
  }
  if (!override_.empty()) {
    const DWORD size = static_cast<DWORD>(strlen(override_value) + 1);
    if (RegSetKeyValueA(HKEY_CURRENT_USER, kOverrideKey, override_.c_str(), REG_SZ, override_value,
                        size) != ERROR_SUCCESS)
      return;
    overridden_ = true;
  }
  ok_ = true;
}

stub_install::~stub_install() {
  if (copied_) DeleteFileA(target_.c_str());
  if (overridden_) RegDeleteKeyValueA(HKEY_CURRENT_USER, kOverrideKey, override_.c_str());
  if (had_original_) MoveFileExA(saved_.c_str(), original_.c_str(), MOVEFILE_REPLACE_EXISTING);
}
