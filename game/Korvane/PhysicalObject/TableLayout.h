// The table layout groups of "table.bar": per group a list of records, each
// an id, a position in file units (y down the table) and its values.
#pragma once

#include <cstdint>
#include <vector>

struct TableLayoutGroup {
  // id, x, y, then the values (value k at halfword 3 + k).
  std::vector<std::vector<int16_t>> records;

  int32_t count() const { return static_cast<int32_t>(records.size()); }
  bool has(int32_t record) const { return record >= 0 && record < count(); }
  int32_t valueCount(int32_t record) const {
    return has(record) ? static_cast<int32_t>(records[record].size()) - 3 : 0;
  }
  // Halfword h of a record; 0 for a record or halfword that is not there.
  int32_t word(int32_t record, int32_t h) const;
  int32_t id(int32_t record) const { return word(record, 0); }
  int32_t x(int32_t record) const { return word(record, 1); }
  int32_t y(int32_t record) const { return word(record, 2); }
  int32_t value(int32_t record, int32_t k) const { return k < 0 ? 0 : word(record, 3 + k); }

  // Reads an entry: records of 8 + 2n bytes (u8 id, 2 unused, i16 x, i16 y,
  // u8 n, n i16 values) while the position is below size - 1. A record that
  // does not fit in the entry ends the group. Replaces earlier records.
  void parse(const uint8_t* bytes, int32_t size);
};

struct TableLayout {
  static constexpr int32_t kGroups = 42;
  static constexpr int32_t kPockets = 0;
  static constexpr int32_t kCushions = 1;
  static constexpr int32_t kLag = 2;
  static constexpr int32_t kNineBallRack = 3;
  static constexpr int32_t kEightBallRack = 4;
  static constexpr int32_t kFirstLesson = 5;
  static constexpr int32_t kFirstChallenge = 10;
  static constexpr int32_t kPocketCount = 6;
  static constexpr int32_t kCushionPoints = 25;
  static constexpr int32_t kBallCount = 16;
  static constexpr int32_t kPocketValues = 7;   // values 5 and 6 are read
  static constexpr int32_t kCushionValues = 5;  // value 4 is read

  TableLayoutGroup groups[kGroups];

  void clear();
  // Whether the groups the table is built from hold what is read of them;
  // a report names the first that does not.
  bool isComplete() const { return firstIncompleteGroup() < 0; }
  // The first of those groups that does not; -1 when all do.
  int32_t firstIncompleteGroup() const;
};
