#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <climits>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "wince/crt.h"
#include "wince/layer.h"
#include "windows_brew/ShellHost.h"

namespace fs = std::filesystem;

namespace {

class ShellFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kv_host_files_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "w");
    fs::create_directories(dir_ / "d");
    wince::reset();
    wince::setWriteDir((dir_ / "w").string());
    wince::setDataDir((dir_ / "d").string());
  }
  void TearDown() override {
    wince::reset();
    fs::remove_all(dir_);
  }

  // Where a file of the install folder is written.
  std::string path(const char* name) const { return (dir_ / "w" / name).string(); }
  void writeData(const char* name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out((dir_ / "d" / name).string(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void writeBytes(const char* name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> readBytes(const char* name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  std::string folder_ = KV_CE_INSTALL_DIR;
  uint8_t flag_ = 1;
  ShellHost shell_{&flag_};
};

std::vector<uint8_t> pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
  return v;
}

TEST_F(ShellFileTest, PatchInPlaceKeepsTheRest) {
  auto old = pattern(300);
  writeBytes("a.bin", old);
  ShellFile* f = shell_.openFile(folder_.c_str(), "a.bin", 2);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size(), 300);
  EXPECT_EQ(f->seek(0, 10), 0);
  const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  EXPECT_EQ(f->write(patch, 4), 4);
  EXPECT_EQ(shell_.releaseFile(f), 0);
  auto now = readBytes("a.bin");
  auto want = old;
  std::memcpy(want.data() + 10, patch, 4);
  EXPECT_EQ(now, want);
  EXPECT_FALSE(fs::exists(path("a.bin.tmp")));
}

// A file opened for writing starts from what the writable folder holds,
// never from a copy of the same name in the data folder, which stays as it
// is.
TEST_F(ShellFileTest, WritesNeverStartFromTheDataFoldersCopy) {
  writeData("save.sav", pattern(16));
  ShellFile* f = shell_.openFile(folder_.c_str(), "save.sav", 2);
  EXPECT_EQ(f->size(), 0);
  f->seek(0, 15);
  f->write("\x01\x02", 2);
  shell_.releaseFile(f);
  std::vector<uint8_t> want(15, 0);
  want.push_back(1);
  want.push_back(2);
  EXPECT_EQ(readBytes("save.sav"), want);
  std::ifstream data((dir_ / "d" / "save.sav").string(), std::ios::binary);
  EXPECT_EQ(std::vector<uint8_t>((std::istreambuf_iterator<char>(data)), std::istreambuf_iterator<char>()), pattern(16));
  // Reads now find the rewritten file first.
  ShellFile* r = shell_.openFile(folder_.c_str(), "save.sav", 1);
  EXPECT_EQ(r->size(), 17);
  shell_.releaseFile(r);
}

TEST_F(ShellFileTest, MissingFileSeekAndWriteLeavesZeroGap) {
  ShellFile* f = shell_.openFile(folder_.c_str(), "new.bin", 4);
  EXPECT_EQ(f->size(), 0);
  f->seek(0, 8);
  const uint8_t two[2] = {1, 2};
  EXPECT_EQ(f->write(two, 2), 2);
  shell_.releaseFile(f);
  EXPECT_EQ(readBytes("new.bin"), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
}

TEST_F(ShellFileTest, AppendModeWritesTheOldContentOnce) {
  writeBytes("log.txt", {'a', 'b', 'c'});
  ShellFile* f = shell_.openFile(folder_.c_str(), "log.txt", 8);
  f->seek(2, 0);
  f->write("de", 2);
  shell_.releaseFile(f);
  EXPECT_EQ(readBytes("log.txt"), (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e'}));
}

TEST_F(ShellFileTest, SeekFromEndAndTellPerMode) {
  writeBytes("s.bin", pattern(20));
  // Memory mode: origin 2 counts back from the end.
  ShellFile* m = shell_.openFile(folder_.c_str(), "s.bin", 2);
  EXPECT_EQ(m->seek(2, 4), 0);
  EXPECT_EQ(m->seek(1, 0), 16);
  EXPECT_EQ(m->seek(1, -6), 0);
  EXPECT_EQ(m->seek(1, 0), 10);
  // Negative positions are refused and leave the position.
  EXPECT_EQ(m->seek(0, -1), -1);
  EXPECT_EQ(m->seek(2, 21), -1);
  EXPECT_EQ(m->seek(1, 0), 10);
  shell_.releaseFile(m);
  // Read mode: the C runtime adds the offset.
  ShellFile* r = shell_.openFile(folder_.c_str(), "s.bin", 1);
  EXPECT_EQ(r->size(), 20);
  EXPECT_EQ(r->seek(2, 4), 0);
  EXPECT_EQ(r->seek(1, 0), 24);
  r->seek(0, 3);
  EXPECT_EQ(r->seek(1, 0), 3);
  shell_.releaseFile(r);
}

TEST_F(ShellFileTest, ReadsStopAtTheEndOfTheImage) {
  writeBytes("r.bin", pattern(10));
  ShellFile* m = shell_.openFile(folder_.c_str(), "r.bin", 2);
  uint8_t buf[16] = {};
  m->seek(0, 6);
  EXPECT_EQ(m->read(buf, 16), 4);
  EXPECT_EQ(std::memcmp(buf, pattern(10).data() + 6, 4), 0);
  EXPECT_EQ(m->read(buf, 16), 0);
  m->seek(0, 50);
  EXPECT_EQ(m->read(buf, 1), 0);
  shell_.releaseFile(m);
  ShellFile* r = shell_.openFile(folder_.c_str(), "r.bin", 1);
  EXPECT_EQ(r->read(buf, 16), 10);
  EXPECT_EQ(r->write(buf, 4), 0);  // read mode writes nothing
  shell_.releaseFile(r);
  EXPECT_EQ(readBytes("r.bin"), pattern(10));
}

TEST_F(ShellFileTest, MissingAndUnfitPathsShowAsSizeZero) {
  ShellFile* f = shell_.openFile(folder_.c_str(), "absent.bin", 1);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size(), 0);
  EXPECT_FALSE(f->isOpen());
  ShellFileInfo info = {7, 8, 9};
  f->getInfo(&info);
  EXPECT_EQ(info.reserved0, 7u);
  EXPECT_EQ(info.size, 0u);
  shell_.releaseFile(f);
  EXPECT_EQ(shell_.releaseFile(nullptr), 0);

  std::string longName(300, 'x');
  ShellFile* g = shell_.openFile(folder_.c_str(), longName.c_str(), 2);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->size(), 0);
  EXPECT_FALSE(g->isOpen());
  g->write("abc", 3);
  shell_.releaseFile(g);
  EXPECT_EQ(shell_.testFile(folder_.c_str(), longName.c_str()), 1);
  EXPECT_TRUE(fs::is_empty(dir_ / "w"));
}

TEST_F(ShellFileTest, FailedWriteBackKeepsTheOldFile) {
  writeBytes("keep.bin", pattern(12));
  ShellFile* f = shell_.openFile(folder_.c_str(), "keep.bin", 2);
  f->write("zz", 2);
  // The write-back cannot replace the file: its staging file is gone, a
  // folder in its place.
  for (const auto& e : fs::directory_iterator(dir_ / "w")) {
    const std::string name = e.path().filename().string();
    if (name.rfind("keep.bin.", 0) != 0 || name.size() < 13 || name.substr(name.size() - 4) != ".tmp") continue;
    fs::remove(e.path());
    fs::create_directory(e.path());
  }
  EXPECT_NE(f->close(), 0);
  delete f;
  EXPECT_EQ(readBytes("keep.bin"), pattern(12));
}

TEST_F(ShellFileTest, TestFileAndFileSize) {
  writeBytes("t.bin", pattern(33));
  EXPECT_EQ(shell_.testFile(folder_.c_str(), "t.bin"), 0);
  EXPECT_EQ(shell_.testFile(folder_.c_str(), "u.bin"), 1);
  FILE* c = std::fopen(path("t.bin").c_str(), "rb");
  std::fseek(c, 5, SEEK_SET);
  ShellFileInfo info = {1, 2, 0};
  EXPECT_EQ(shell_.getFileSize(c, &info), 0);
  EXPECT_EQ(info.size, 33u);
  EXPECT_EQ(info.reserved0, 1u);
  EXPECT_EQ(std::ftell(c), 5);
  std::fclose(c);
}

TEST_F(ShellFileTest, DebugLogGrowsByEachText) {
  appendDebugLog(folder_.c_str(), "one ");
  appendDebugLog(folder_.c_str(), "two");
  auto b = readBytes("debugFile.txt");
  EXPECT_EQ(std::string(b.begin(), b.end()), "one two");
}

TEST(ShellStrings, WideAndNarrowConversions) {
  char16_t w[8];
  EXPECT_EQ(ShellHost::toWide("\xE9" "a", w, 8), w);
  EXPECT_EQ(w[0], 0xFFE9);
  EXPECT_EQ(w[1], u'a');
  EXPECT_EQ(w[2], 0);
  // The terminator does not fit: null, nothing terminated.
  char16_t v[3] = {9, 9, 9};
  EXPECT_EQ(ShellHost::toWide("abc", v, 3), nullptr);
  EXPECT_EQ(v[2], u'c');
  char n[4];
  const char16_t src[] = {0x1241, 0x42, 0};
  EXPECT_EQ(ShellHost::toNarrow(src, n, 4), n);
  EXPECT_STREQ(n, "AB");
  EXPECT_EQ(ShellHost::toNarrow(src, n, 2), nullptr);
  EXPECT_EQ(ShellHost::wideLength(src), 2);
  char up[] = "ab-Z{z}\xE9";
  EXPECT_STREQ(ShellHost::toUpper(up), "AB-Z{Z}\xE9");
  char* d = ShellHost::duplicateString("copy");
  EXPECT_STREQ(d, "copy");
  delete[] d;
}

// The free bytes of the file system the save goes to, capped to 31 bits.
TEST(ShellStrings, FreeSpaceIsTheFileSystems) {
  wince::reset();
  uint8_t flag = 1;
  ShellHost shell(&flag);
  ASSERT_TRUE(shell.setRootPath("\\Program Files\\Pelloran\\Korvane\\"));
  const struct {
    int64_t forced;
    int32_t reported;
  } cases[] = {{0, 0}, {3699, 3699}, {1 << 20, 1 << 20}, {int64_t{5} << 30, INT32_MAX}};
  for (const auto& c : cases) {
    wince::setDiskFreeSpace(c.forced);
    EXPECT_EQ(shell.getFreeSpace(), c.reported) << c.forced;
  }
  wince::setDiskFreeSpace(-1);
  struct statvfs v{};
  ASSERT_EQ(::statvfs(wince::writeDir().c_str(), &v), 0);
  const uint64_t real = static_cast<uint64_t>(v.f_bavail) * v.f_frsize;
  EXPECT_EQ(shell.getFreeSpace(), real > INT32_MAX ? INT32_MAX : static_cast<int32_t>(real));
}

TEST(ShellStrings, RootPath) {
  uint8_t flag = 1;
  ShellHost shell(&flag);
  EXPECT_TRUE(shell.setRootPath("\\Program Files\\x\\"));
  char narrow[256];
  EXPECT_STREQ(shell.getRootPath(narrow), "\\Program Files\\x\\");
  char16_t wide[256];
  shell.getRootPathWide(wide);
  EXPECT_EQ(ShellHost::wideLength(wide), 17);
  EXPECT_EQ(wide[0], u'\\');
  EXPECT_FALSE(shell.setRootPath(std::string(256, 'r').c_str()));
  EXPECT_STREQ(shell.rootPath(), "\\Program Files\\x\\");
}

// ---- resource index

class ResourceIndexTest : public ShellFileTest {
 protected:
  struct Rec {
    uint32_t id;
    std::string data;
  };
  // Writes records and data; `count` overrides the stored count.
  void writeIndex(const std::vector<Rec>& recs, int64_t count = -1, uint32_t badOffsetFor = 0) {
    std::vector<uint8_t> out;
    auto u32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    u32(count < 0 ? static_cast<uint32_t>(recs.size()) : static_cast<uint32_t>(count));
    uint32_t offset = 4 + 20 * static_cast<uint32_t>(recs.size());
    std::vector<uint32_t> offsets;
    for (auto& r : recs) {
      offsets.push_back(offset);
      offset += static_cast<uint32_t>(r.data.size());
    }
    for (size_t k = 0; k < recs.size(); ++k) {
      u32(recs[k].id);
      u32(static_cast<uint32_t>(recs[k].data.size()));
      u32(0);
      u32(recs[k].id == badOffsetFor ? 0xFFFFFF00u : offsets[k]);
      u32(0);
    }
    for (auto& r : recs) out.insert(out.end(), r.data.begin(), r.data.end());
    writeBytes("res.bin", out);
  }
};

TEST_F(ResourceIndexTest, LookupsAndCache) {
  writeIndex({{7, std::string("seven", 6)}, {3, std::string("three", 6)}, {7, std::string("dup", 4)}});
  shell_.openResourceFile(folder_.c_str(), "res.bin");
  ResourceIndexFile& r = shell_.resourceFile();
  EXPECT_TRUE(r.isOpen());
  EXPECT_EQ(r.find(7), 0);
  EXPECT_EQ(r.find(3), 1);
  EXPECT_EQ(r.find(9), -1);
  EXPECT_EQ(r.getLength(3), 6);
  EXPECT_EQ(r.getLength(9), -1);
  const uint8_t* a = r.getData(7);
  ASSERT_NE(a, nullptr);
  // Served from the cache: the file is not read again.
  writeBytes("res.bin", {});
  EXPECT_EQ(r.getData(7), a);
  EXPECT_STREQ(r.getString(7), "seven");
  char buf[6];
  EXPECT_EQ(shell_.loadResourceString(7, buf, 6), 5);
  EXPECT_STREQ(buf, "seven");
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(shell_.loadResourceString(7, small, 5), 0);
  EXPECT_EQ(small[0], 'x');
  EXPECT_EQ(shell_.loadResourceString(42, buf, 6), 0);
}

TEST_F(ResourceIndexTest, BadIndexesFailEveryLookup) {
  writeIndex({});
  ResourceIndexFile r;
  r.open((folder_ + "res.bin").c_str());
  EXPECT_TRUE(r.isOpen());
  EXPECT_EQ(r.count(), 0);
  EXPECT_EQ(r.getData(0), nullptr);

  // A count larger than the file holds reads no entries.
  writeIndex({{1, "x"}}, 1000000);
  r.open((folder_ + "res.bin").c_str());
  EXPECT_EQ(r.count(), 0);
  EXPECT_EQ(r.getLength(1), -1);

  // Data outside the file is not read.
  writeIndex({{1, "abc"}, {2, "def"}}, -1, 2);
  r.open((folder_ + "res.bin").c_str());
  EXPECT_EQ(r.count(), 2);
  EXPECT_NE(r.getData(1), nullptr);
  EXPECT_EQ(r.getData(2), nullptr);

  ResourceIndexFile missing;
  missing.open((folder_ + "none.bin").c_str());
  EXPECT_FALSE(missing.isOpen());
  EXPECT_EQ(missing.getLength(1), -1);
  EXPECT_EQ(missing.getData(1), nullptr);
}

}  // namespace
