#include <cstring>

#include "DataFixture.h"
#include "tools/bar/BarWriter.h"

namespace {

using Entries = std::vector<bar::Entry>;

bar::Entry bytes(const std::string& s) { return bar::Entry(s.begin(), s.end()); }

class Archive : public DataTest {
 protected:
  void put(const std::string& name, const Entries& entries) { writeBytes(name, bar::writeArchive(entries)); }
  // An archive around hand-made unpacked bytes.
  void putUnpacked(const std::string& name, const std::vector<uint8_t>& unpacked) {
    writeBytes(name, bar::writeArchiveBytes(unpacked));
  }
  void expectClosed() {
    EXPECT_EQ(game->files.bar.data, nullptr);
    EXPECT_EQ(game->files.bar.offsets, nullptr);
    for (int i = -1; i < 3; ++i) {
      EXPECT_EQ(getBarEntrySize(*game, i), -1);
      EXPECT_EQ(getBarEntryOffset(*game, i), -1);
      EXPECT_EQ(getBarEntryCopy(*game, i), nullptr);
    }
  }
};

TEST_F(Archive, RoundTripThroughTheWriter) {
  std::vector<uint8_t> big(70000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>((i * 31) ^ (i >> 7));
  const Entries entries = {bytes("first"), {}, big, bytes("x")};
  put("a.bar", entries);
  ASSERT_EQ(loadBar(*game, "a.bar"), 1);
  EXPECT_EQ(game->files.bar.count, 5);
  int32_t expectOffset = 2 + 4 * 5;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(getBarEntryOffset(*game, i), expectOffset);
    EXPECT_EQ(getBarEntrySize(*game, i), static_cast<int32_t>(entries[i].size()));
    uint8_t* copy = getBarEntryCopy(*game, i);
    if (entries[i].empty()) {
      EXPECT_EQ(copy, nullptr);  // a size-0 entry has no copy
    } else {
      ASSERT_NE(copy, nullptr);
      EXPECT_EQ(0, std::memcmp(copy, entries[i].data(), entries[i].size()));
      EXPECT_EQ(0,
                std::memcmp(game->files.bar.data + getBarEntryOffset(*game, i), entries[i].data(), entries[i].size()));
    }
    delete[] copy;
    expectOffset += static_cast<int32_t>(entries[i].size());
  }
  EXPECT_EQ(getBarEntrySize(*game, 4), -1);
  EXPECT_EQ(getBarEntryCopy(*game, -1), nullptr);
  unloadBar(*game);
  expectClosed();
  EXPECT_EQ(game->files.bar.name, nullptr);
}

TEST_F(Archive, OneOffsetHasNoEntries) {
  put("one.bar", {});
  ASSERT_EQ(loadBar(*game, "one.bar"), 1);
  EXPECT_EQ(game->files.bar.count, 1);
  EXPECT_EQ(getBarEntrySize(*game, 0), -1);
  EXPECT_EQ(getBarEntryOffset(*game, 0), -1);
  EXPECT_EQ(getBarEntryCopy(*game, 0), nullptr);
}

TEST_F(Archive, MissingFileLeavesNothingOpen) {
  put("a.bar", {bytes("abc")});
  ASSERT_EQ(loadBar(*game, "a.bar"), 1);
  EXPECT_EQ(loadBar(*game, "missing.bar"), 0);
  EXPECT_STREQ(game->files.bar.name, "missing.bar");
  expectClosed();
  EXPECT_EQ(loadBar(*game, nullptr), 0);
  expectClosed();
}

TEST_F(Archive, SecondOpenReplacesTheFirst) {
  put("a.bar", {bytes("aaaa"), bytes("bb")});
  put("b.bar", {bytes("c")});
  ASSERT_EQ(loadBar(*game, "a.bar"), 1);
  EXPECT_EQ(getBarEntrySize(*game, 1), 2);
  ASSERT_EQ(loadBar(*game, "b.bar"), 1);
  EXPECT_STREQ(game->files.bar.name, "b.bar");
  EXPECT_EQ(getBarEntrySize(*game, 0), 1);
  EXPECT_EQ(getBarEntrySize(*game, 1), -1);
  EXPECT_EQ(game->files.bar.size, 2 + 8 + 1);
}

// Damaged archives fail the load and leave it closed.
TEST_F(Archive, DamagedArchivesFail) {
  std::vector<uint8_t> good = bar::writeArchive({bytes("hello"), bytes("world")});
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  };
  std::vector<Case> cases;
  {
    auto f = good;
    f.resize(f.size() - 3);
    cases.push_back({"packed size past the file", f});
  }
  {
    auto f = good;
    f[4 + 5] ^= 0x40;  // unpacked size in the LZMA header
    cases.push_back({"wrong unpacked size", f});
  }
  {
    auto f = good;
    f[4] = 4 * 9 + 1;  // lc 1 lp 4
    cases.push_back({"lc + lp above 3", f});
  }
  cases.push_back({"short file", {3, 0}});
  cases.push_back({"tiny packed size", {2, 0, 0, 0, 1, 2}});
  // Offset tables that run past the data or go backwards.
  cases.push_back({"table past the data", bar::writeArchiveBytes({9, 0, 0, 0, 0, 0})});
  cases.push_back({"offset past the data", bar::writeArchiveBytes({2, 0, 0, 0, 0, 0, 9, 0, 0, 0, 'a'})});
  cases.push_back({"decreasing offsets",
                   bar::writeArchiveBytes({3, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 'a', 'b'})});
  cases.push_back({"one byte unpacked", bar::writeArchiveBytes({1})});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes("bad.bar", c.file);
    EXPECT_EQ(loadBar(*game, "bad.bar"), 0);
    expectClosed();
  }
  // The first one still loads.
  writeBytes("good.bar", good);
  EXPECT_EQ(loadBar(*game, "good.bar"), 1);
}

// An archive set aside comes back whole on the next open of the same name,
// without being unpacked again, only while its file holds the same bytes.
TEST_F(Archive, SetAsideArchiveComesBackOnlyForTheSameFile) {
  const Entries first = {bytes("menu"), bytes("banks")};
  const Entries changed = {bytes("menu"), bytes("other")};
  struct Case {
    const char* what;
    bool openOther;        // another archive opened in between
    const Entries* now;    // the file at the second open; null: removed
    bool sameBuffer;       // the kept bytes are taken back
  };
  const Case cases[] = {
      {"unchanged", false, &first, true},
      {"another archive in between", true, &first, true},
      {"file changed", false, &changed, false},
      {"file removed", false, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    put("m.bar", first);
    ASSERT_EQ(loadBar(*game, "m.bar"), 1);
    const uint8_t* kept = game->files.bar.data;
    game->files.archives.setBarAside();
    expectClosed();
    if (c.openOther) {
      put("o.bar", {bytes("x")});
      ASSERT_EQ(loadBar(*game, "o.bar"), 1);
      EXPECT_EQ(getBarEntrySize(*game, 0), 1);
    }
    if (c.now)
      put("m.bar", *c.now);
    else
      std::filesystem::remove(path("m.bar"));
    ASSERT_EQ(loadBar(*game, "m.bar"), c.now ? 1 : 0);
    if (!c.now) {
      expectClosed();
      continue;
    }
    // (A fresh unpack may land at the freed address, so only the taking back is checked.)
    if (c.sameBuffer) {
      EXPECT_EQ(game->files.bar.data, kept);
    }
    EXPECT_STREQ(game->files.bar.name, "m.bar");
    ASSERT_EQ(game->files.bar.count, 3);
    for (int i = 0; i < 2; ++i) {
      const bar::Entry& e = (*c.now)[static_cast<size_t>(i)];
      ASSERT_EQ(getBarEntrySize(*game, i), static_cast<int32_t>(e.size()));
      EXPECT_EQ(0, std::memcmp(game->files.bar.data + getBarEntryOffset(*game, i), e.data(), e.size()));
    }
    // Taken back once: a later open unpacks again.
    unloadBar(*game);
    ASSERT_EQ(loadBar(*game, "m.bar"), 1);
    EXPECT_EQ(getBarEntrySize(*game, 1), static_cast<int32_t>((*c.now)[1].size()));
  }
  // Nothing open: nothing is set aside, and a failed open keeps nothing.
  unloadBar(*game);
  game->files.archives.setBarAside();
  EXPECT_EQ(loadBar(*game, "missing.bar"), 0);
  game->files.archives.setBarAside();
  expectClosed();
}

TEST_F(Archive, FieldReaderIsLittleEndianAndBounded) {
  uint8_t* b = new uint8_t[11]{0x81, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00};
  setReadBuffer(*game, b, 11);
  EXPECT_EQ(readByte(*game), 0x81u);
  EXPECT_EQ(readShort(*game), 0x1234u);
  EXPECT_EQ(readInt(*game), 0xFFFFFFFEu);
  EXPECT_FLOAT_EQ(readFloat(*game), 2.0f);
  EXPECT_EQ(readByte(*game), 0u);  // past the end
  setReadBuffer(*game, new uint8_t[4]{0, 0, 0x80, 0xBF}, 4);
  skipBytes(*game, 2);
  EXPECT_EQ(readShort(*game), 0xBF80u);
  setReadBuffer(*game, new uint8_t[4]{0xFF, 0xFF, 0xFF, 0xFF}, 4);
  EXPECT_FLOAT_EQ(readFloat(*game), -1.0f);  // a numeric conversion
  freeReadBuffer(*game);
  EXPECT_EQ(game->files.reader.buffer, nullptr);
  EXPECT_EQ(readInt(*game), 0u);
}

TEST_F(Archive, RawFileReplacesTheBufferAndClearsTheTable) {
  put("a.bar", {bytes("abc")});
  ASSERT_EQ(loadBar(*game, "a.bar"), 1);
  writeBytes("raw.bin", {5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'});
  loadRawFile(*game, "raw.bin");
  ASSERT_NE(game->files.bar.data, nullptr);
  EXPECT_EQ(game->files.bar.size, 5);
  EXPECT_EQ(0, std::memcmp(game->files.bar.data, "hello", 5));
  EXPECT_EQ(getBarEntrySize(*game, 0), -1);
  writeBytes("short.bin", {9, 0, 0, 0, 'x'});
  loadRawFile(*game, "short.bin");
  EXPECT_EQ(game->files.bar.data, nullptr);
}

TEST_F(Archive, WorkBufferOnDemand) {
  allocWorkBuffer(*game);
  uint8_t* b = game->files.workBuffer;
  ASSERT_NE(b, nullptr);
  b[32767] = 1;
  allocWorkBuffer(*game);
  EXPECT_EQ(game->files.workBuffer, b);
  freeWorkBuffer(*game);
  EXPECT_EQ(game->files.workBuffer, nullptr);
  freeWorkBuffer(*game);
}

}  // namespace
