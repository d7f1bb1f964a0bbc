// The save file's bad cases, each a whole start of the program and a restart
// in the same folder: a file that is empty, short or zeroed is made whole
// with the defaults past what it holds; one that cannot be read (a folder, a
// pipe) or is far larger than a save (2 GiB) is left alone; a folder or disk
// that takes no writes, or short free space, shows the "Not enough space"
// notice; and the career the restart finds is never a zeroed one. Links and
// pipes in the writable folder are never written through or waited on, a
// save in the data folder is never the career, and two programs saving in
// one folder do not get in each other's way.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/DataSet.h"
#include "tests/e2e/Child.h"
#include "tools/save/SaveFileWriter.h"
#include "wince/layer.h"

namespace {

namespace fs = std::filesystem;

std::string bytesOf(const std::array<uint8_t, savefile::kSize>& image) {
  return std::string(image.begin(), image.end());
}

// Staging files a save left in the folder ("save.sav.<pid>-<n>.tmp").
std::vector<std::string> stagingLeft(const fs::path& write) {
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(write)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("save.sav.", 0) == 0 && name.size() > 13 && name.substr(name.size() - 4) == ".tmp" &&
        !fs::is_symlink(e.symlink_status()))
      left.push_back(name);
  }
  return left;
}

// The child's frames: the first that shows the notice is kept as a picture
// (when the child may write) and reported.
struct Seen {
  static inline fs::path dir;
  static inline int64_t diskFree = -1;
  static inline bool notice = false;
};

void onFrame(cGame& g, int state, int, const uint16_t* pixels) {
  static bool first = true;
  if (first && Seen::diskFree >= 0) wince::setDiskFreeSpace(Seen::diskFree);
  first = false;
  if (g.m_noSpaceState == 100 && !Seen::notice) {
    Seen::notice = true;
    child::report("notice in state " + std::to_string(state));
    if (pixels) wince::writePng((Seen::dir / "notice.png").string(), pixels, 240, 320);
  }
}

void asAnotherUser() {
  // Root writes anywhere: the folder's permissions bind it once it gives up
  // overriding them. It stays the owner of the test's folders, so it still
  // reaches them wherever the tree lies (a private temporary folder too).
  if (::geteuid() != 0) return;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
  if (::syscall(SYS_capget, &header, caps) != 0) ::_exit(125);
  const uint32_t overrides = 1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER;
  caps[0].effective &= ~overrides;
  if (::syscall(SYS_capset, &header, caps) != 0) ::_exit(125);
}

void withNoRoomForFiles() {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit none{0, 0};
  ::setrlimit(RLIMIT_FSIZE, &none);
}

struct Case {
  const char* name;
  std::string stored;       // save.sav before the run ("" none)
  void (*make)(const fs::path& write);
  void (*before)();
  int64_t diskFree;         // -1: what the file system has
  bool notice;              // the notice shows
  std::string after;        // save.sav after the run ("" none, "dir"/"pipe" what was there)
};

TEST(SaveCases, EachEndsWithAWholeCareerOrTheNotice) {
  SKIP_WITHOUT_DATA_SET();
  savefile::Career career;
  career.started = true;
  career.character = 4;
  career.money = 98765;
  career.boughtMask = 0x11223344;
  const std::string full = bytesOf(savefile::writeImage({}, career));
  const std::string defaults = bytesOf(savefile::writeImage());
  savefile::Career kept = career;
  kept.boughtMask = 0;  // past the 148 bytes the short file holds
  const std::string repaired = bytesOf(savefile::writeImage({}, kept));
  const std::string shortFile = full.substr(0, 148);
  std::string zeroCareer = full;
  std::fill(zeroCareer.begin() + 100, zeroCareer.begin() + 200, '\0');

  constexpr uintmax_t kHuge = uintmax_t{1} << 31;
  auto folder = [](const fs::path& w) { fs::create_directory(w / "save.sav"); };
  auto pipe = [](const fs::path& w) { ::mkfifo((w / "save.sav").c_str(), 0644); };
  auto readOnly = [](const fs::path& w) { fs::permissions(w, fs::perms(0555)); };
  const Case cases[] = {
      {"first start", "", nullptr, nullptr, -1, false, defaults},
      {"empty", std::string(), [](const fs::path& w) { child::writeFile(w / "save.sav", ""); }, nullptr, -1, false,
       defaults},
      {"short", shortFile, nullptr, nullptr, -1, false, repaired},
      {"zeroed", std::string(300, '\0'), nullptr, nullptr, -1, false, defaults},
      {"career zeroed", zeroCareer, nullptr, nullptr, -1, false, defaults},
      {"a folder", "", folder, nullptr, -1, true, "dir"},
      {"a pipe", "", pipe, nullptr, -1, true, "pipe"},
      {"read-only folder, first start", "", readOnly, asAnotherUser, -1, true, ""},
      {"read-only folder, short", shortFile, readOnly, asAnotherUser, -1, true, shortFile},
      {"disk full, first start", "", nullptr, withNoRoomForFiles, -1, true, ""},
      {"disk full, short", shortFile, nullptr, withNoRoomForFiles, -1, true, shortFile},
      {"low free space, first start", "", nullptr, nullptr, 3999, true, ""},
      {"low free space, a career", full, nullptr, nullptr, 3699, true, full},
      {"2 GiB, a career first", full, [](const fs::path& w) { fs::resize_file(w / "save.sav", kHuge); }, nullptr, -1,
       true, "huge"},
  };
  // A tap dismisses the notice; the run goes on through the logo and the
  // loads to the first question.
  const std::string script = "3000 tap 120 160\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = child::freshDir("save");
    const fs::path write = dir / "write";
    child::writeFile(dir / "script.txt", script);
    if (!c.stored.empty()) child::writeFile(write / "save.sav", c.stored);
    if (c.make) c.make(write);
    Seen::dir = dir;
    Seen::diskFree = c.diskFree;
    const child::Result first = child::run(dir, 400, c.before, onFrame);
    fs::permissions(write, fs::perms(0755));
    ASSERT_TRUE(first.exitedWith(0)) << first.status << "\n" << child::readFile(dir / "log.txt");
    EXPECT_EQ(first.report.find("notice") != std::string::npos, c.notice) << first.report;
    const fs::path save = write / "save.sav";
    if (c.after == "dir") {
      EXPECT_TRUE(fs::is_directory(save));
    } else if (c.after == "pipe") {
      EXPECT_TRUE(fs::is_fifo(save));
    } else if (c.after == "huge") {
      EXPECT_EQ(fs::file_size(save), kHuge);
      EXPECT_EQ(child::readFile(save).substr(0, 300), full);
    } else if (c.after.empty()) {
      EXPECT_FALSE(fs::exists(save));
    } else {
      EXPECT_EQ(child::readFile(save), c.after);
    }
    EXPECT_EQ(stagingLeft(write), std::vector<std::string>());

    // Started again with nothing in the way: the career is whole, what the
    // file held where it held it and the defaults elsewhere.
    if (c.after == "dir" || c.after == "pipe" || c.after == "huge") {
      fs::remove_all(dir);
      continue;
    }
    Seen::diskFree = -1;
    const child::Result again = child::run(dir, 400, nullptr, onFrame);
    ASSERT_TRUE(again.exitedWith(0)) << child::readFile(dir / "log.txt");
    const std::string restarted = child::readFile(save);
    ASSERT_EQ(restarted.size(), 300u);
    const std::string& want = c.after.empty() ? defaults : c.after == shortFile ? repaired : c.after;
    EXPECT_EQ(restarted.substr(100, 85), want.substr(100, 85));
    EXPECT_EQ(restarted, want);
    fs::remove_all(dir);
  }
}

void noFrames(cGame&, int, int, const uint16_t*) {}

// Links in the writable folder where the program writes (its save's old
// staging name, its logs), pointing out of it, and a pipe in place of a
// log: the run starts, saves and ends as ever; nothing is written through a
// link, no pipe is waited on, each stays as it was.
TEST(SaveCases, LinksAndPipesInTheWritableFolderAreLeftAlone) {
  SKIP_WITHOUT_DATA_SET();
  const fs::path dir = child::freshDir("links");
  const fs::path write = dir / "write";
  child::writeFile(dir / "script.txt", "");
  child::writeFile(dir / "outside.txt", "not the program's");
  for (const char* name : {"save.sav.tmp", "memory.log", "stackMax.txt", "memoryUsage.txt"})
    fs::create_symlink(dir / "outside.txt", write / name);
  ASSERT_EQ(::mkfifo((write / "debugFile.txt").c_str(), 0644), 0);
  const child::Result r = child::run(dir, 300, nullptr, noFrames);
  EXPECT_TRUE(r.exitedWith(0)) << r.status << child::readFile(dir / "log.txt").substr(0, 300);
  EXPECT_EQ(child::readFile(dir / "outside.txt"), "not the program's");
  for (const char* name : {"save.sav.tmp", "memory.log", "stackMax.txt", "memoryUsage.txt"})
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(write / name))) << name;
  EXPECT_TRUE(fs::is_fifo(write / "debugFile.txt"));
  EXPECT_EQ(child::readFile(write / "save.sav"), bytesOf(savefile::writeImage()));
  EXPECT_EQ(stagingLeft(write), std::vector<std::string>());

  // A pipe in place of the first file the program writes, its log, does not
  // hold the start.
  fs::remove(write / "memory.log");
  ASSERT_EQ(::mkfifo((write / "memory.log").c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  const child::Result piped = child::run(dir, 300, nullptr, noFrames);
  EXPECT_TRUE(piped.exitedWith(0)) << piped.status;
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 60.0);
  EXPECT_TRUE(fs::is_fifo(write / "memory.log"));
  fs::remove_all(dir);
}

// A save.sav in the data folder, a career or a folder, is never read as the
// career and never keeps the program from saving in its own folder.
struct DataFolder {
  static inline fs::path dir;
};
void onDataFolder() { ::setenv("KV_DATA_DIR", DataFolder::dir.c_str(), 1); }

TEST(SaveCases, TheDataFoldersSaveIsNeverTheCareer) {
  SKIP_WITHOUT_DATA_SET();
  const char* shipped = std::getenv("KV_DATA_DIR");
  ASSERT_NE(shipped, nullptr);
  savefile::Career career;
  career.money = 777;
  career.started = true;
  for (const bool asFolder : {false, true}) {
    SCOPED_TRACE(asFolder ? "a folder" : "a career");
    const fs::path dir = child::freshDir("data_save");
    DataFolder::dir = dir / "data";
    fs::create_directories(DataFolder::dir);
    for (const auto& e : fs::directory_iterator(shipped)) fs::create_symlink(e.path(), DataFolder::dir / e.path().filename());
    if (asFolder)
      fs::create_directory(DataFolder::dir / "save.sav");
    else
      child::writeFile(DataFolder::dir / "save.sav", bytesOf(savefile::writeImage({}, career)));
    child::writeFile(dir / "script.txt", "");
    Seen::notice = false;
    Seen::diskFree = -1;
    Seen::dir = dir;
    const child::Result r = child::run(dir, 300, onDataFolder, onFrame);
    EXPECT_TRUE(r.exitedWith(0)) << r.status;
    EXPECT_EQ(r.report.find("notice"), std::string::npos) << r.report;
    EXPECT_EQ(child::readFile(dir / "write" / "save.sav"), bytesOf(savefile::writeImage()));
    fs::remove_all(dir);
  }
}

// Two programs started at once in one writable folder each save through a
// staging file of its own: neither is told of short space, and the save is
// whole (one of the two, both the first start's defaults).
TEST(SaveCases, TwoProgramsInOneFolder) {
  SKIP_WITHOUT_DATA_SET();
  const fs::path dir = child::freshDir("two");
  child::writeFile(dir / "script.txt", "");
  Seen::diskFree = -1;
  Seen::dir = dir;
  std::vector<pid_t> pids;
  for (int i = 0; i < 2; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      Seen::notice = false;
      const child::Result r = child::run(dir, 300, nullptr, onFrame);
      ::_exit(r.exitedWith(0) && r.report.find("notice") == std::string::npos ? 0 : 1);
    }
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(child::readFile(dir / "write" / "save.sav"), bytesOf(savefile::writeImage()));
  EXPECT_EQ(stagingLeft(dir / "write"), std::vector<std::string>());
  fs::remove_all(dir);
}

}  // namespace
