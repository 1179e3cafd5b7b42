#pragma once
// Loads a product library from the installation tree (env QM_TREE) the way a
// real caller does: LoadLibraryA on its full path, then GetProcAddress.
#include <windows.h>

#include <string>

std::string tree_path(const char* name);  // empty when QM_TREE is not set
HMODULE load_from_tree(const char* name);

template <typename Fn>
Fn export_of(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
