// Writer of the table layout archive "table.bar": one entry per group, each
// a run of records (u8 id, 2 unused bytes, i16 x, i16 y, u8 n, n i16 values).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/bar/BarWriter.h"

namespace tablelayout {

constexpr int kGroupCount = 42;

struct Record {
  uint8_t id = 0;
  int16_t x = 0, y = 0;
  std::vector<int16_t> values;  // at most 255
};
using Group = std::vector<Record>;

// The entry bytes of one group; empty with *ok = false when a record has
// more than 255 values.
std::vector<uint8_t> writeGroup(const Group& group, bool* ok = nullptr);
// The archive of all groups; empty on an error.
std::vector<uint8_t> writeTable(const std::vector<Group>& groups);

// Parses the readable source: "group N" opens group N (0, 1, 2, ... in
// order), then one record per line: "x y [values...]" (whole numbers, file
// units, y down the table); the id is the record's place in its group.
// '#' starts a comment. False with a message in *error.
bool parseSource(const std::string& source, std::vector<Group>& groups, std::string* error);

}  // namespace tablelayout
