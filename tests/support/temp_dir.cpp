#include "tests/support/temp_dir.h"

#include <atomic>
#include <random>

namespace fs = std::filesystem;

const char* TempDir::sep() {
#ifdef _WIN32
  return "\\";
#else
  return "/";
#endif
}

TempDir::TempDir() {
  static std::atomic<int> serial{0};
  std::random_device rd;
  fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path p = base / ("qm-test-" + std::to_string(rd() % 1000000) + "-" + std::to_string(serial++));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto& e : fs::recursive_directory_iterator(path_, ec))
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}
