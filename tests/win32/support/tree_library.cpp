#include "tests/win32/support/tree_library.h"

#include <cstdlib>

std::string tree_path(const char* name) {
  const char* tree = std::getenv("QM_TREE");
  if (!tree || !*tree) return std::string();
  std::string path = tree;
  if (path.back() != '\\') path += '\\';
  return path + name;
}

HMODULE load_from_tree(const char* name) {
  std::string path = tree_path(name);
  return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}
