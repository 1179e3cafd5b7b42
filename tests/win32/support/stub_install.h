#pragma once
// Puts a stand-in driver where a product library loads it from (the system or
// Windows folder of the test's own Wine prefix), with a DLL override so that
// Wine takes the file rather than its built-in one, and puts everything back.
#include <string>

class stub_install {
 public:
  // source: a file beside the test program, or empty to only take the
  // original away. override_value: "native", or "" to disable Wine's own.
  stub_install(const std::string& target, const char* source, const char* override_name,
               const char* override_value);
  ~stub_install();
  stub_install(const stub_install&) = delete;
  stub_install& operator=(const stub_install&) = delete;

  bool ok() const { return ok_; }
  const std::string& target() const { return target_; }

 private:
  std::string target_, saved_, original_, override_;
  bool had_original_ = false, copied_ = false, overridden_ = false, ok_ = false;
};

std::string system_folder_file(const char* name);
std::string windows_folder_file(const char* name);
std::string beside_exe(const char* name);
