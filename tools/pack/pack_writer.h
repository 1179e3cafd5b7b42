#pragma once
// Writes resource packages (".zzi" index and ".zzd" data) for the build.
// The program only reads them; see content/package_index.h for the layouts.
#include <cstdint>
#include <string>
#include <vector>

struct pack_entry {
  std::string name;                 // as the lookups compare it: lower case
  int32_t kind = 0;                 // pattern packages: nonzero for a bitmap record
  std::vector<unsigned char> data;  // plain bytes; brush packages scramble them
};

// Both write base + ".zzi" and base + ".zzd" and return 1, or return 0 with a
// reason and leave any previous files in place. Refused: more entries than
// the layout holds, an empty or duplicate name, a name of 64 bytes or more,
// one with upper-case letters (never found by a lower-cased query), a brush
// name holding the key byte (it would scramble to the terminating zero), an
// entry without data, a data file beyond 2 GiB.
int pack_write_brush(const std::string& base, const std::vector<pack_entry>& entries,
                     std::string* error);
int pack_write_pattern(const std::string& base, const std::vector<pack_entry>& entries,
                       std::string* error);
