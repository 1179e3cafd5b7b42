#pragma once
// A scratch folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // ends without a separator
  std::string file(const std::string& name) const { return path_ + sep() + name; }
  static const char* sep();

 private:
  std::string path_;
};
