#include <unistd.h>

#include "doc/history.h"

uint64_t physical_memory_mib() {
  const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page <= 0) return 0;
  return static_cast<uint64_t>(static_cast<double>(pages) * page / 1048576.0 + 0.2);
}
