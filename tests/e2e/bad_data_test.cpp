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
#include "tools/save/SaveFileWriter.h"
#include "wince/layer.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/2d/ASprite.h"

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

  // The unpacked bytes of an archive of the work copy.
  std::vector<uint8_t> unpackedOf(const std::string& name) {
    uint8_t running = 1;
    ShellHost shell(&running);
    EXPECT_TRUE(shell.setRootPath((work / "data").string().append("/").c_str()));
    setFileSystem(&shellFileSystem());
    cGameResources archive;
    EXPECT_EQ(archive.loadBar(name.c_str()), 1) << name;
    return std::vector<uint8_t>(archive.m_bar.data, archive.m_bar.data + archive.m_bar.size);
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

// Archives as standard tools write them, an end marker after data of the
// stated size, load like the game's own: the program starts, reaches the
// main menu and saves its first image; one whose marker comes before its
// stated size is refused.
TEST_F(BadData, ArchivesWithAnEndMarkerLoad) {
  LzmaWriterOptions marker;
  marker.endMarker = true;
  for (const auto& e : fs::directory_iterator(work / "data")) {
    const std::string name = e.path().filename().string();
    if (!isArchive(name)) continue;
    const std::vector<uint8_t> bytes = bar::writeArchiveBytes(unpackedOf(name), marker);
    ASSERT_FALSE(bytes.empty()) << name;
    ASSERT_TRUE(bar::writeFile(e.path().string(), bytes)) << name;
  }
  const std::string toMenu = "9000 tap 118 135\n11000 tap 120 200\n";
  const child::Outcome o = runOn(work / "data", work, 400, toMenu);
  EXPECT_EQ(o.code, 0) << o.errors;
  EXPECT_EQ(o.errors, "");
  const auto image = savefile::writeImage();
  EXPECT_EQ(readFile(work / "write" / "save.sav"), std::string(image.begin(), image.end()));

  // The stream says 16 bytes more than its marker ends.
  std::vector<uint8_t> text = unpackedOf("text.bar");
  std::vector<uint8_t> bytes = bar::writeArchiveBytes(text, marker);
  const uint64_t stated = text.size() + 16;
  for (int i = 0; i < 8; ++i) bytes[4 + 5 + i] = static_cast<uint8_t>(stated >> (8 * i));
  ASSERT_TRUE(bar::writeFile((work / "data" / "text.bar").string(), bytes));
  const child::Outcome cut = runOn(work / "data", work, 400);
  EXPECT_EQ(cut.code, 1);
  EXPECT_EQ(cut.errors, "Korvane: text.bar is damaged: it does not unpack\n");
}

// An image module whose pixel data runs past its pixels, in a bank that
// parses: the logo's end builds the menu's banks, finds it and ends the run
// there.
TEST_F(BadData, AnImageBlockThatDoesNotDecodeEndsTheRunWhenItIsBuilt) {
  const std::vector<uint8_t> unpacked = unpackedOf("menu.bar");
  std::vector<bar::Entry> entries;
  const uint16_t n = static_cast<uint16_t>(unpacked[0] | unpacked[1] << 8);
  auto offsetOf = [&](int i) {
    const uint8_t* p = unpacked.data() + 2 + 4 * i;
    return 2 + 4 * n + (p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24);
  };
  for (int i = 0; i + 1 < n; ++i) entries.emplace_back(unpacked.begin() + offsetOf(i), unpacked.begin() + offsetOf(i + 1));
  // The module data blocks end the bank. Runs of 127 pixels in every byte
  // pair of the first image module's block: far more pixels than it has.
  bar::Entry& bank = entries[0];
  ASprite whole;
  ASSERT_TRUE(whole.load(bank.data(), 0, static_cast<uint32_t>(bank.size())));
  ASSERT_TRUE(whole.imageModulesDecode());
  int m = 0;
  while (m < whole.moduleCount && (whole.moduleKind[m] != 0 || whole.moduleDataLength[m] < 2)) ++m;
  ASSERT_LT(m, whole.moduleCount);
  const size_t at = bank.size() - whole.moduleData.size() + whole.moduleDataOffset[m];
  std::fill(bank.begin() + static_cast<std::ptrdiff_t>(at),
            bank.begin() + static_cast<std::ptrdiff_t>(at + whole.moduleDataLength[m]), 0x7F);
  ASprite damaged;
  ASSERT_TRUE(damaged.load(bank.data(), 0, static_cast<uint32_t>(bank.size())));
  ASSERT_FALSE(damaged.imageModulesDecode());
  ASSERT_TRUE(bar::writeFile((work / "data" / "menu.bar").string(), bar::writeArchive(entries)));
  const child::Outcome o = runOn(work / "data", work, 400, "", "--capture '" + (work / "frames").string() + "'");
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.errors, "Korvane: menu.bar is damaged: entry 0 does not decode\n");
  // It ran through the logo (4.5 s at 30 frames a second) and no further.
  size_t frames = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(work / "frames")) ++frames;
  EXPECT_GT(frames, 130u);
  EXPECT_LT(frames, 150u);
  // The first start's defaults were saved before; nothing after.
  const auto image = savefile::writeImage();
  EXPECT_EQ(readFile(work / "write" / "save.sav"), std::string(image.begin(), image.end()));
}

// Bytes past the end of what a file's sizes say it holds: an archive's
// packed stream, the resource pack's last entry (32 MiB of zeros would read
// as eight million empty entries). Refused at once, named.
TEST_F(BadData, BytesPastTheEndAreRefusedAtOnce) {
  const struct {
    const char* file;
    uintmax_t extra;
    const char* says;
  } cases[] = {
      {"data000.bar", 32u << 20, "is damaged: 33554432 bytes follow its last entry"},
      {"text.bar", uintmax_t{1} << 31, "is damaged: 2147483648 bytes follow its packed stream"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path file = work / "data" / c.file;
    fs::resize_file(file, fs::file_size(file) + c.extra);  // sparse: no disk taken
    const child::Outcome o = runOn(work / "data", work, 400);
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.errors, std::string("Korvane: ") + c.file + " " + c.says + "\n");
    EXPECT_LT(o.seconds, 2.0);
    fs::remove(file);
    fs::copy_file(data / c.file, file);
  }
  // The pack cut to its first word holds no entry the index names: it is the
  // pack that is short.
  fs::resize_file(work / "data" / "data000.bar", 4);
  const child::Outcome o = runOn(work / "data", work, 400);
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.errors, "Korvane: data000.bar is cut short: it has 0 entries, its index names 30\n");
}

// A changed byte in a sound's last page: the page's checksum no longer
// holds (the decoder would drop the page and the sound end early).
TEST_F(BadData, ASoundPageThatFailsItsChecksumIsDamage) {
  const fs::path file = work / "data" / "sfx_clap.ogg";
  std::string bytes = readFile(file);
  const size_t last = bytes.rfind("OggS");
  ASSERT_NE(last, std::string::npos);
  size_t pages = 0;
  for (size_t at = bytes.find("OggS"); at < last; at = bytes.find("OggS", at + 1)) ++pages;
  const size_t body = last + 27 + static_cast<uint8_t>(bytes[last + 26]);
  ASSERT_LT(body + 10, bytes.size());
  bytes[body + 10] = static_cast<char>(bytes[body + 10] ^ 0x20);
  child::writeFile(file, bytes);
  const child::Outcome o = runOn(work / "data", work, 400);
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.errors, "Korvane: sfx_clap.ogg is damaged: page " + std::to_string(pages) + " fails its checksum\n");
}

// A disk that fails to read is told as such, not as damage, whatever the
// file and wherever the read fails.
struct ReadFault {
  static inline const char* file = nullptr;
  static inline uint64_t after = 0;
};
void withReadFault() { wince::setReadFault(ReadFault::file, ReadFault::after); }
void noFrames(cGame&, int, int, const uint16_t*) {}

TEST(ReadErrors, AreToldAsSuch) {
  SKIP_WITHOUT_DATA_SET("i.bar");
  const struct {
    const char* file;
    uint64_t after;
  } cases[] = {{"text.bar", 0}, {"text.bar", 4}, {"menu.bar", 2000}, {"info.bar", 3},
               {"data000.bar", 8}, {"data000.bar", 20000}, {"sfx_clap.ogg", 100}, {"m_title.ogg", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " after " + std::to_string(c.after));
    const fs::path dir = child::freshDir("read_fault");
    child::writeFile(dir / "script.txt", "");
    ReadFault::file = c.file;
    ReadFault::after = c.after;
    const child::Result r = child::run(dir, 400, withReadFault, noFrames);
    EXPECT_TRUE(r.exitedWith(1)) << r.status;
    const std::string log = readFile(dir / "log.txt");
    const std::string line = std::string("Korvane: ") + c.file + " cannot be read\n";
    EXPECT_NE(log.find(line), std::string::npos) << log.substr(log.size() > 400 ? log.size() - 400 : 0);
    fs::remove_all(dir);
  }
}

}  // namespace
