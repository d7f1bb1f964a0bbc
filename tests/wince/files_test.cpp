// CE paths on the data and writable folders.
#include <sys/stat.h>

#include <fstream>

#include "test_util.h"
#include "wince/crt.h"

using namespace wince_test;

namespace {

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), {});
}

class Files : public LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    wince::setDataDir(data.path());
    wince::setWriteDir(write.path());
    std::filesystem::create_directories(data.path() + "/sub");
    std::ofstream(data.path() + "/text.bar") << "data";
    std::ofstream(data.path() + "/sub/Model.bin") << "model";
    std::ofstream(data.path() + "/save.sav") << "shipped";
  }
  TempDir data, write;
};

TEST_F(Files, MappingTable) {
  const std::string d = data.path(), w = write.path();
  struct Case {
    const char* ce;
    bool forWrite;
    std::string want;
  } cases[] = {
      {"\\Program Files\\Pelloran\\Korvane\\text.bar", false, d + "/text.bar"},
      {"\\program files\\PELLORAN\\korvane\\TEXT.BAR", false, d + "/text.bar"},
      {"\\Program Files\\Pelloran\\Korvane\\sub\\model.bin", false, d + "/sub/Model.bin"},
      {"text.bar", false, d + "/text.bar"},
      {"\\Program Files\\Pelloran\\Korvane\\missing.bin", false, d + "/missing.bin"},
      {"\\Program Files\\Pelloran\\Korvane\\save.sav", true, w + "/save.sav"},
      {"debugFile.txt", true, w + "/debugFile.txt"},
      {"c:\\AnimatedObjectDebug.txt", true, w + "/AnimatedObjectDebug.txt"},
      {"d:\\stackMax.txt", false, w + "/stackMax.txt"},
      {"\\My Documents\\notes.txt", false, w + "/notes.txt"},
      {"\\Program Files\\Pelloran\\Korvane\\..\\..\\..\\etc\\passwd", false, d + "/etc/passwd"},
  };
  for (const Case& c : cases) EXPECT_EQ(ceMapPath(c.ce, c.forWrite), c.want) << c.ce;
}

TEST_F(Files, WrittenFilesGoToTheWritableFolderAndAreReadBackFromIt) {
  const char* save = "\\Program Files\\Pelloran\\Korvane\\save.sav";
  FILE* f = ceFopen(save, "rb");
  ASSERT_NE(f, nullptr);
  char buf[16] = {};
  EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 7u);
  std::fclose(f);
  EXPECT_STREQ(buf, "shipped");

  f = ceFopen(save, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("mine", f);
  std::fclose(f);
  EXPECT_EQ(slurp(write.path() + "/save.sav"), "mine");
  EXPECT_EQ(slurp(data.path() + "/save.sav"), "shipped");
  f = ceFopen(save, "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 4u);
  std::fclose(f);

  EXPECT_EQ(ceFopen("\\Program Files\\Pelloran\\Korvane\\none.bin", "rb"), nullptr);
  f = ceFopen("\\Program Files\\Pelloran\\Korvane\\logs\\a.txt", "a");
  ASSERT_NE(f, nullptr);  // missing folders are made
  std::fclose(f);
  EXPECT_TRUE(std::filesystem::exists(write.path() + "/logs/a.txt"));
}

TEST_F(Files, RemoveRenameAndDeleteActInTheWritableFolder) {
  std::ofstream(write.path() + "/a.sav") << "a";
  EXPECT_EQ(ceRename("\\Program Files\\Pelloran\\Korvane\\a.sav", "\\Program Files\\Pelloran\\Korvane\\b.sav"), 0);
  EXPECT_TRUE(std::filesystem::exists(write.path() + "/b.sav"));
  EXPECT_EQ(ceRemove("\\Program Files\\Pelloran\\Korvane\\b.sav"), 0);
  EXPECT_FALSE(std::filesystem::exists(write.path() + "/b.sav"));
  EXPECT_FALSE(DeleteFileW(u"\\Program Files\\Pelloran\\Korvane\\text.bar"));  // the data folder stays
  EXPECT_TRUE(std::filesystem::exists(data.path() + "/text.bar"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, FindListsBothFoldersOnceAndDeleteRemovesSaves) {
  std::ofstream(write.path() + "/save.sav") << "x";
  std::ofstream(write.path() + "/other.SAV") << "y";
  std::ofstream(write.path() + "/rms_game") << "z";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(u"\\Program Files\\Pelloran\\Korvane\\*.sav", &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::vector<std::string> names{ceToUtf8(fd.cFileName)};
  while (FindNextFileW(h, &fd)) names.push_back(ceToUtf8(fd.cFileName));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(h));
  EXPECT_EQ(names, (std::vector<std::string>{"other.SAV", "save.sav"}));

  for (const char16_t* name : {u"save.sav", u"other.SAV", u"rms_game"}) {
    std::u16string path = std::u16string(u"\\Program Files\\Pelloran\\Korvane\\") + name;
    EXPECT_TRUE(DeleteFileW(path.c_str())) << ceToUtf8(name);
  }
  h = FindFirstFileW(u"\\Program Files\\Pelloran\\Korvane\\*.sav", &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);  // the shipped one in the data folder
  EXPECT_EQ(ceToUtf8(fd.cFileName), "save.sav");
  EXPECT_EQ(fd.nFileSizeLow, 7u);
  FindClose(h);
  EXPECT_EQ(FindFirstFileW(u"\\Program Files\\Pelloran\\Korvane\\*.none", &fd), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(FindClose(reinterpret_cast<HANDLE>(&fd)));
}

TEST_F(Files, FreeSpaceIsReported) {
  ULARGE_INTEGER free{}, total{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &free, &total, nullptr));
  EXPECT_GT(total.QuadPart, 0u);
  EXPECT_LE(free.QuadPart, total.QuadPart);
  // Of the folder a path writes to, found while it does not exist yet.
  ULARGE_INTEGER deeper{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\Program Files\\Pelloran\\Korvane\\new\\folder\\", &deeper, nullptr, nullptr));
  EXPECT_GT(deeper.QuadPart, 0u);
  wince::setDiskFreeSpace(3000);
  ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &free, nullptr, nullptr));
  EXPECT_EQ(free.QuadPart, 3000u);
}

// Only regular files open: a folder or a pipe of the name fails at once, for
// reading and writing, and is left as it was.
TEST_F(Files, OnlyRegularFilesOpen) {
  const std::string w = write.path();
  std::filesystem::create_directory(w + "/folder.sav");
  ASSERT_EQ(::mkfifo((w + "/pipe.sav").c_str(), 0644), 0);
  for (const char* name : {"folder.sav", "pipe.sav"}) {
    const std::string ce = std::string("\\Program Files\\Pelloran\\Korvane\\") + name;
    for (const char* mode : {"rb", "wb", "ab", "r+b"}) {
      EXPECT_EQ(ceFopen(ce.c_str(), mode), nullptr) << name << " " << mode;
      EXPECT_EQ(ceFopenNative((w + "/" + name).c_str(), mode), nullptr) << name << " " << mode;
    }
    EXPECT_EQ(ceFileKind(ce.c_str()), kCeFileOther);
  }
  EXPECT_TRUE(std::filesystem::is_directory(w + "/folder.sav"));
  EXPECT_TRUE(std::filesystem::is_fifo(w + "/pipe.sav"));
  EXPECT_EQ(ceFileKind("\\Program Files\\Pelloran\\Korvane\\none.sav"), kCeFileNone);
  EXPECT_EQ(ceFileKind("\\Program Files\\Pelloran\\Korvane\\text.bar"), kCeFileRegular);

  // A regular file: written, committed, renamed into place.
  FILE* f = ceFopen("\\Program Files\\Pelloran\\Korvane\\a.tmp", "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fwrite("whole", 1, 5, f), 5u);
  EXPECT_EQ(ceCommit(f), 0);
  EXPECT_EQ(std::fclose(f), 0);
  EXPECT_EQ(ceRename("\\Program Files\\Pelloran\\Korvane\\a.tmp", "\\Program Files\\Pelloran\\Korvane\\a.sav"), 0);
  EXPECT_EQ(slurp(w + "/a.sav"), "whole");
  EXPECT_NE(ceRename("\\Program Files\\Pelloran\\Korvane\\b.tmp", "\\Program Files\\Pelloran\\Korvane\\folder.sav"), 0);
}

TEST(ModulePath, CeStyleAndTruncated) {
  WCHAR buf[260];
  DWORD n = GetModuleFileNameW(nullptr, buf, 260);
  EXPECT_EQ(ceToUtf8(buf), "\\Program Files\\Pelloran\\Korvane\\Korvane.exe");
  EXPECT_EQ(n, ceWcslen(buf));
  WCHAR small[8];
  EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
  EXPECT_EQ(ceToUtf8(small), "\\Progra");
}

TEST(Strings, Conversions) {
  EXPECT_EQ(ceWcslen(u"Korvane"), 7u);
  WCHAR buf[32];
  ceWcscpy(buf, u"\\Program Files\\");
  ceWcscat(buf, u"x.exe");
  EXPECT_EQ(ceWcscmp(buf, u"\\Program Files\\x.exe"), 0);
  EXPECT_EQ(ceWcsicmp(u"SmartPhone", u"smartphone"), 0);
  EXPECT_LT(ceWcscmp(u"a", u"b"), 0);
  EXPECT_GT(ceWcsicmp(u"b", u"A"), 0);
  char narrow[8];
  EXPECT_EQ(ceWcstombs(narrow, u"abc", sizeof narrow), 3u);
  EXPECT_STREQ(narrow, "abc");
  EXPECT_EQ(ceWcstombs(nullptr, u"abcd", 0), 4u);
  EXPECT_EQ(ceWcstombs(narrow, u"ab\x0100", sizeof narrow), static_cast<size_t>(-1));
  EXPECT_EQ(ceWcstombs(narrow, u"abcdef", 3), 3u);  // no room for the terminator
  WCHAR wide[8];
  EXPECT_EQ(ceMbstowcs(wide, "h\xe9", 8), 2u);
  EXPECT_EQ(wide[1], 0x00E9);
  EXPECT_EQ(ceFromUtf8("h\xc3\xa9\xf0\x9f\x8e\xb1"), u"h\u00e9\U0001F3B1");
  EXPECT_EQ(ceToUtf8(u"h\u00e9\U0001F3B1"), "h\xc3\xa9\xf0\x9f\x8e\xb1");
  EXPECT_EQ(ceFromUtf8("a\xff" "b\xc3"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(ceFromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
  EXPECT_EQ(ceToUtf8(std::u16string(1, u'\xD800')), "\xef\xbf\xbd");
}

}  // namespace
