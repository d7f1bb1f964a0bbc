// The layout group reader against the writer: round trips, entries cut
// short at every length, and the readable source.
#include <gtest/gtest.h>

#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "tools/table/TableWriter.h"

namespace {

using tablelayout::Group;

const Group kSample = {
    {0, 14, 17, {0, 0, 0, 0, 0, 3, -3}},
    {1, -5, 300, {}},  // n = 0: 8 bytes, still id, x and y
    {200, 32767, -32768, {2}},
    {3, 0, 0, {-1, 7}},
};

TEST(TableLayoutReader, WriterRoundTrip) {
  const std::vector<uint8_t> bytes = tablelayout::writeGroup(kSample);
  ASSERT_EQ(bytes.size(), 8u + 14 + 8 + 10 + 12);
  EXPECT_EQ(bytes[8 + 14 + 7], 0);  // n of the second record
  TableLayoutGroup g;
  g.parse(bytes.data(), static_cast<int32_t>(bytes.size()));
  ASSERT_EQ(g.count(), 4);
  for (int r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(g.id(r), kSample[r].id);
    EXPECT_EQ(g.x(r), kSample[r].x);
    EXPECT_EQ(g.y(r), kSample[r].y);
    ASSERT_EQ(g.valueCount(r), static_cast<int32_t>(kSample[r].values.size()));
    for (size_t k = 0; k < kSample[r].values.size(); ++k)
      EXPECT_EQ(g.value(r, static_cast<int32_t>(k)), kSample[r].values[k]);
  }
  // Values that are not there read as 0.
  EXPECT_EQ(g.value(1, 4), 0);
  EXPECT_EQ(g.value(9, 0), 0);
  EXPECT_EQ(g.value(0, -1), 0);
  // A second read replaces the first.
  g.parse(bytes.data(), 8);
  EXPECT_EQ(g.count(), 0);
}

TEST(TableLayoutReader, EntriesCutShortReadOnlyWholeRecords) {
  const std::vector<uint8_t> bytes = tablelayout::writeGroup(kSample);
  const size_t ends[] = {22, 30, 40, 52};  // where each record ends
  for (size_t len = 0; len <= bytes.size() + 1; ++len) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(len, bytes.size())));
    if (len > bytes.size()) cut.push_back(9);  // a stray last byte is below the size - 1 rule
    TableLayoutGroup g;
    g.parse(cut.data(), static_cast<int32_t>(cut.size()));
    int whole = 0;
    for (size_t e : ends) whole += len >= e;
    EXPECT_EQ(g.count(), whole) << len;
  }
  TableLayoutGroup g;
  g.parse(nullptr, 40);
  EXPECT_EQ(g.count(), 0);
  g.parse(bytes.data(), -3);
  EXPECT_EQ(g.count(), 0);
}

TEST(TableLayoutReader, CompleteTablesAndMissingParts) {
  TableLayout t;
  EXPECT_FALSE(t.isComplete());
  for (int i = 0; i < 6; ++i) t.groups[0].records.push_back({0, 1, 2, 0, 0, 0, 0, 0, 5, 6});
  for (int i = 0; i < 25; ++i) t.groups[1].records.push_back({0, 1, 2, 0, 0, 0, 0, 2});
  for (int i = 0; i < 16; ++i) t.groups[4].records.push_back({0, 1, 2});
  EXPECT_TRUE(t.isComplete());
  t.groups[1].records[24].pop_back();
  EXPECT_FALSE(t.isComplete());
  t.groups[1].records[24].push_back(2);
  t.groups[0].records[5].pop_back();
  EXPECT_FALSE(t.isComplete());
  t.clear();
  EXPECT_EQ(t.groups[4].count(), 0);
}

TEST(TableLayoutSource, ParsesGroupsAndRejectsBadLines) {
  std::vector<Group> groups;
  std::string error;
  ASSERT_TRUE(tablelayout::parseSource("# table\ngroup 0\n 14 17  0 0 0 0 0 3 -3 # pocket\n\ngroup 1\ngroup 2\n5 6\n",
                                       groups, &error))
      << error;
  ASSERT_EQ(groups.size(), 3u);
  ASSERT_EQ(groups[0].size(), 1u);
  EXPECT_EQ(groups[0][0].values, (std::vector<int16_t>{0, 0, 0, 0, 0, 3, -3}));
  EXPECT_TRUE(groups[1].empty());
  EXPECT_EQ(groups[2][0].x, 5);
  EXPECT_EQ(groups[2][0].id, 0);
  const char* bad[] = {"5 6\n", "group 1\n", "group 0\ngroup 0\n", "group 0\n5\n", "group 0\n5 x\n",
                       "group 0\n5 6 40000\n", "group\n", "group 0\n1.5 2\n"};
  for (const char* s : bad) {
    error.clear();
    EXPECT_FALSE(tablelayout::parseSource(s, groups, &error)) << s;
    EXPECT_FALSE(error.empty());
  }
  Group tooMany = {{0, 0, 0, std::vector<int16_t>(256)}};
  bool ok = true;
  EXPECT_TRUE(tablelayout::writeGroup(tooMany, &ok).empty());
  EXPECT_FALSE(ok);
}

}  // namespace
