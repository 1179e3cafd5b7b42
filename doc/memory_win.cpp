#include <windows.h>

#include "doc/history.h"

uint64_t physical_memory_mib() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return static_cast<uint64_t>(static_cast<double>(status.ullTotalPhys) / 1048576.0 + 0.2);
}
