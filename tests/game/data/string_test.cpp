#include <cstdlib>
#include <cstring>

#include "DataFixture.h"
#include "tools/text/TextTableWriter.h"

namespace {

class Strings : public DataTest {
 protected:
  void putTable(const std::vector<std::string>& strings) {
    writeBytes("text.bar", bar::writeArchive(texttable::buildEntries(strings)));
  }
};

TEST_F(Strings, EndOffsetsGiveOffsetsAndLengths) {
  // End offsets [6, 10] and 13 bytes of data.
  putTable({"hello", "abc", "xy"});
  EXPECT_EQ(game->text.strings.language, -1);
  loadStrings(*game, 0);
  EXPECT_EQ(game->text.strings.language, 0);
  ASSERT_EQ(game->text.strings.count, 3);
  EXPECT_EQ(game->text.strings.stringsSize, 13);
  const int32_t offsets[3] = {0, 6, 10}, lengths[3] = {5, 3, 2};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(getStringOffset(*game, i), offsets[i]);
    EXPECT_EQ(getStringLength(*game, i), lengths[i]);
  }
  EXPECT_STREQ(getStringCopy(*game, 0), "hello");
  EXPECT_STREQ(getStringCopy(*game, 2), "xy");
  EXPECT_STREQ(getStringCopy(*game, 3), "");  // unknown id
  EXPECT_STREQ(getStringCopy(*game, -1), "");
  EXPECT_NE(game->files.bar.data, nullptr);  // the archive stays open
  EXPECT_STREQ(getLanguageCode(), "EN");
}

TEST_F(Strings, DamagedTablesLoadNothing) {
  const std::vector<std::vector<bar::Entry>> bad = {
      {},                                           // no entries
      {{'a', 0}},                                   // no table
      {{'a', 0, 'b', 0}, {3, 0, 2, 0}},             // count too large for the table
      {{'a', 0, 'b', 0}, {2, 0, 9, 0}},             // end past the data
      {{'a', 0, 'b', 0}, {3, 0, 2, 0, 1, 0}},       // decreasing ends
      {{'a', 'b', 'c', 0}, {2, 0, 2, 0}},           // string without a terminator
      {{'a', 0, 'b'}, {2, 0, 2, 0}},                // last string without a terminator
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    writeBytes("text.bar", bar::writeArchive(bad[i]));
    loadStrings(*game, 0);
    EXPECT_EQ(game->text.strings.count, 0);
    EXPECT_EQ(getStringLength(*game, 0), 0);
    EXPECT_STREQ(getStringCopy(*game, 0), "");
  }
}

TEST_F(Strings, CopiesAreCutTo499Bytes) {
  putTable({std::string(700, 'q')});
  loadStrings(*game, 0);
  char* copy = getStringCopy(*game, 0);
  EXPECT_EQ(std::strlen(copy), 499u);
  textBufferSetString(*game, 0);
  EXPECT_EQ(game->text.strings.workLength, 700);
  EXPECT_EQ(std::strlen(textBufferCopy(*game)), 499u);
}

TEST_F(Strings, WorkStringAppendsWholeOrNothing) {
  std::string big(1999, 'z');
  textBufferSet(*game, big.c_str());
  EXPECT_EQ(game->text.strings.workLength, 1999);
  textBufferAppend(*game, "a");
  EXPECT_EQ(game->text.strings.workLength, 1999);
  EXPECT_EQ(game->text.strings.work[1999], 0);
  textBufferSet(*game, "ab");
  textBufferAppendChars(*game, "xyz", 1, 2);
  textBufferAppendChars(*game, "xyz", 0, 0);
  textBufferAppendChars(*game, "xyz", 0, -1);
  EXPECT_STREQ(game->text.strings.work, "abyz");
  EXPECT_EQ(game->text.strings.workLength, 4);
  textBufferAppend(*game, std::string(1995, 'k').c_str());  // 4 + 1995 = 1999 fits
  EXPECT_EQ(game->text.strings.workLength, 1999);
  textBufferSet(*game, "");
  EXPECT_EQ(game->text.strings.workLength, 0);
  EXPECT_EQ(game->text.strings.work[5], 0);
}

TEST_F(Strings, RingsComeRound) {
  struct Ring {
    const char* name;
    char* (*take)(cGame&);
    int size;
  };
  const Ring rings[] = {{"temp", &getTempBuffer, 100}, {"message", &getMessageBuffer, 20}};
  for (const Ring& r : rings) {
    SCOPED_TRACE(r.name);
    char* first = r.take(*game);
    std::strcpy(first, "kept");
    for (int i = 1; i < r.size; ++i) EXPECT_NE(r.take(*game), first);
    EXPECT_STREQ(first, "kept");
    char* again = r.take(*game);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again[0], 0);  // zeroed when taken
  }
  int32_t* slot = getTempVectorSlot(*game);
  slot[3] = 9;
  for (int i = 1; i < 100; ++i) getTempVectorSlot(*game);
  int32_t* back = getTempVectorSlot(*game);
  EXPECT_EQ(back, slot);
  EXPECT_EQ(back[3], 0);
}

TEST(TextSource, ParsesIdsAndRejectsRepeats) {
  std::vector<std::string> s;
  std::string error;
  ASSERT_TRUE(texttable::parseSource("# c\n2 two words\n\n0 zero\\nline\n", s, &error));
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0], "zero\\nline");
  EXPECT_EQ(s[1], "");
  EXPECT_EQ(s[2], "two words");
  EXPECT_FALSE(texttable::parseSource("1 a\n1 b\n", s, &error));
  EXPECT_FALSE(texttable::parseSource("x a\n", s, &error));
  // The character after a page break is skipped by the game: it must be a space.
  for (const char* ok : {"1 a%j b\n", "1 100%% jam\n", "1 a%%jb\n", "1 no break\n"})
    EXPECT_TRUE(texttable::parseSource(ok, s, &error)) << ok;
  for (const char* bad : {"1 a%jb\n", "1 a%2jb\n", "1 a%j\n"})
    EXPECT_FALSE(texttable::parseSource(bad, s, &error)) << bad;
}

}  // namespace

namespace {
// The data set's own text table loads and holds the texts the screens use.
TEST_F(Strings, DataSetTextTable) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/text.bar")) GTEST_SKIP() << "no data set";
  std::filesystem::copy_file(std::string(data) + "/text.bar", path("text.bar"));
  loadStrings(*game, 0);
  ASSERT_GT(game->text.strings.count, 720);
  EXPECT_STREQ(getStringCopy(*game, 46), "Loading...");
  EXPECT_STREQ(getStringCopy(*game, 105), "Money: %t");
}
}  // namespace
