#include "game/Korvane/PhysicalObject/TableLayout.h"

#include "zul/memory/Debug.h"

int32_t TableLayoutGroup::word(int32_t record, int32_t h) const {
  if (!has(record) || h < 0) return 0;
  const std::vector<int16_t>& r = records[record];
  return h < static_cast<int32_t>(r.size()) ? r[h] : 0;
}

void TableLayoutGroup::parse(const uint8_t* bytes, int32_t size) {
  records.clear();
  if (!bytes || size <= 0) return;
  auto i16 = [bytes](int32_t at) { return static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8); };
  int32_t pos = 0;
  while (pos < size - 1) {
    if (size - pos < 8) break;
    const int32_t n = bytes[pos + 7];
    if (size - pos - 8 < 2 * n) break;
    std::vector<int16_t> r(3 + n);
    r[0] = bytes[pos];
    r[1] = i16(pos + 3);
    r[2] = i16(pos + 5);
    for (int32_t k = 0; k < n; ++k) r[3 + k] = i16(pos + 8 + 2 * k);
    records.push_back(std::move(r));
    pos += 8 + 2 * n;
  }
}

void TableLayout::clear() {
  for (TableLayoutGroup& g : groups) g.records.clear();
}

int32_t TableLayout::firstIncompleteGroup() const {
  struct Need {
    int32_t group, records, values;
  };
  static constexpr Need kNeeds[] = {
      {kPockets, kPocketCount, kPocketValues},
      {kCushions, kCushionPoints, kCushionValues},
      {kEightBallRack, kBallCount, 0},
  };
  for (const Need& need : kNeeds) {
    const TableLayoutGroup& g = groups[need.group];
    if (g.count() < need.records) {
      debugTrace("table: group %d has %d records, %d needed\n", need.group, g.count(), need.records);
      return need.group;
    }
    for (int32_t r = 0; r < need.records; ++r) {
      if (g.valueCount(r) < need.values) {
        debugTrace("table: group %d record %d has %d values, %d needed\n", need.group, r, g.valueCount(r),
                   need.values);
        return need.group;
      }
    }
  }
  return -1;
}
