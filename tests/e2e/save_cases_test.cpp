// The save file's bad cases, each a whole start of the program and a restart
// in the same folder: a file that is empty, short or zeroed is made whole
// with the defaults past what it holds; one that cannot be read (a folder, a
// pipe) is left alone; a folder or disk that takes no writes, or short free
// space, shows the "Not enough space" notice; and the career the restart
// finds is never a zeroed one.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/stat.h>

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
    } else if (c.after.empty()) {
      EXPECT_FALSE(fs::exists(save));
    } else {
      EXPECT_EQ(child::readFile(save), c.after);
    }
    EXPECT_FALSE(fs::exists(write / "save.sav.tmp"));

    // Started again with nothing in the way: the career is whole, what the
    // file held where it held it and the defaults elsewhere.
    if (c.after == "dir" || c.after == "pipe") {
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

}  // namespace
