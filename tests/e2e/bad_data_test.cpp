// The built program on a data set with one file missing or damaged: it
// names the file and what is wrong in a message box (printed on the
// headless backend) and exits with code 1, at start-up or, for damage only
// its reader can see, when it reads the file; it never plays on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameResources.h"
#include "tests/DataSet.h"
#include "tests/e2e/Child.h"
#include "tools/bar/BarWriter.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"

namespace {

namespace fs = std::filesystem;

using child::readFile;

child::Outcome runOn(const fs::path& data, const fs::path& work, uint64_t frames, const std::string& script = "",
                     const std::string& extra = "") {
  return child::runProgram(data, work, frames, script, extra);
}

class BadData : public ::testing::Test {
 protected:
  void SetUp() override {
    data = testdata::dataSet("i.bar");
    if (!fs::exists(child::kProgram) || data.empty()) GTEST_SKIP() << "no program or data set built";
    work = fs::path(KV_BINARY_DIR) / ("e2e_bad_data_" + std::to_string(::getpid()) + "_" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy(data, work / "data");
  }
  void TearDown() override {
    if (!work.empty()) fs::remove_all(work);
  }

  // Every file of the data set in turn, damaged by `damage`: the message
  // names it with `what`, the code is 1; then the file is put back.
  void eachFile(void (*damage)(const fs::path& file), const std::function<std::string(const std::string&)>& what) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(data)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 28u);  // 11 archives, the resource pack's two files, 15 sounds
    for (const std::string& name : names) {
      SCOPED_TRACE(name);
      const fs::path file = work / "data" / name;
      damage(file);
      const child::Outcome o = runOn(work / "data", work, 400);
      EXPECT_EQ(o.code, 1) << o.errors;
      // One line: the box's caption, the file and what is wrong with it.
      const std::string line = "Korvane: " + name + " " + what(name);
      EXPECT_EQ(o.errors.compare(0, line.size(), line), 0) << o.errors;
      EXPECT_EQ(std::count(o.errors.begin(), o.errors.end(), '\n'), 1) << o.errors;
      fs::remove_all(file);
      fs::copy_file(data / name, file);
    }
  }

  static bool isSound(const std::string& name) { return name.size() > 4 && name.substr(name.size() - 4) == ".ogg"; }
  static bool isArchive(const std::string& name) {
    return !isSound(name) && name != "info.bar" && name != "data000.bar";
  }

  fs::path data;  // the built data set
  fs::path work;
};

TEST_F(BadData, MissingFiles) {
  eachFile([](const fs::path& f) { fs::remove(f); }, [](const std::string&) { return std::string("is missing"); });
}

TEST_F(BadData, EmptyFiles) {
  eachFile([](const fs::path& f) { fs::resize_file(f, 0); },
           [](const std::string&) { return std::string("is empty"); });
}

TEST_F(BadData, FilesCutInHalf) {
  eachFile([](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); },
           [](const std::string&) { return std::string("is cut short"); });
}

TEST_F(BadData, FoldersInPlaceOfFiles) {
  eachFile(
      [](const fs::path& f) {
        fs::remove(f);
        fs::create_directory(f);
      },
      [](const std::string&) { return std::string("is not a file"); });
}

// One bit flipped: in the middle of an archive's or a sound's data, and in
// the count and the first entry's size of the resource pack's two files.
TEST_F(BadData, OneBitFlipped) {
  eachFile(
      [](const fs::path& f) {
        std::string bytes = readFile(f);
        const std::string name = f.filename().string();
        const size_t at = name == "info.bar" ? 1 : name == "data000.bar" ? 7 : bytes.size() / 2;
        bytes[at] = static_cast<char>(bytes[at] ^ (name == "info.bar" || name == "data000.bar" ? 0x80 : 0x04));
        std::ofstream(f, std::ios::binary | std::ios::trunc) << bytes;
      },
      [](const std::string& name) {
        return std::string(isSound(name) ? "is damaged" : isArchive(name) ? "is damaged: it does not unpack"
                                                                          : "is cut short");
      });
}

// A sound file far larger than any the game has is refused by its size at
// once, before anything of it is decoded.
TEST_F(BadData, AnOversizedSoundIsRefusedAtOnce) {
  fs::resize_file(work / "data" / "m_title.ogg", 256u << 20);  // sparse: no disk taken
  const child::Outcome o = runOn(work / "data", work, 400);
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.errors, "Korvane: m_title.ogg is too large: 256 MB, at most 8 MB\n");
  EXPECT_LT(o.seconds, 5.0);
}

// An entry whose bytes are no sprite bank, in an archive that is whole: the
// start-up check passes, the match loading finds it and ends the run there.
TEST_F(BadData, AnEntryThatDoesNotDecodeEndsTheRunWhenItIsRead) {
  uint8_t running = 1;
  ShellHost shell(&running);
  ASSERT_TRUE(shell.setRootPath((work / "data").string().append("/").c_str()));
  setFileSystem(&shellFileSystem());
  std::vector<bar::Entry> entries;
  {
    cGameResources archive;
    ASSERT_EQ(archive.loadBar("ig.bar"), 1);
    for (int32_t i = 0; i < archive.m_bar.count - 1; ++i) {
      const uint8_t* at = archive.m_bar.data + archive.getBarEntryOffset(i);
      entries.emplace_back(at, at + archive.getBarEntrySize(i));
    }
  }
  ASSERT_GT(entries.size(), 12u);
  std::fill(entries[12].begin(), entries[12].end(), 0xA5);
  ASSERT_TRUE(bar::writeFile((work / "data" / "ig.bar").string(), bar::writeArchive(entries)));
  // The sound question, the title, quick match, eight-ball, the versus
  // screen: the match loads.
  const std::string script =
      "9000 tap 118 135\n11000 tap 120 200\n13000 tap 124 153\n15000 tap 124 107\n20000 tap 120 160\n";
  const child::Outcome o = runOn(work / "data", work, 1200, script, "--capture '" + (work / "frames").string() + "'");
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.errors, "Korvane: ig.bar is damaged: entry 12 does not decode\n");
  // It got as far as the match loading.
  size_t frames = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(work / "frames")) ++frames;
  EXPECT_GT(frames, 450u);
}

}  // namespace
