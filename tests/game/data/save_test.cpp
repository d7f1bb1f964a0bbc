#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "DataFixture.h"
#include "game/Korvane/cGame/SaveRecordFields.h"
#include "tools/save/SaveFileWriter.h"
#include "zul/memory/Debug.h"

namespace {

class SaveFile : public DataTest {
 protected:
  // The start-up order: both resets, then the logo step's loaders.
  void startUp() {
    resetSettings(*game);
    resetProgress(*game);
    loadSettings(*game);
    loadProgress(*game);
  }
  std::vector<uint8_t> image(const savefile::Settings& s = {}, const savefile::Career& c = {}) {
    auto a = savefile::writeImage(s, c);
    return std::vector<uint8_t>(a.begin(), a.end());
  }
};

TEST_F(SaveFile, FirstRunWritesTheDefaults) {
  ASSERT_FALSE(exists("save.sav"));
  startUp();
  std::vector<uint8_t> file = readBytes("save.sav");
  ASSERT_EQ(file.size(), 300u);
  const uint8_t settings[25] = {0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(0, std::memcmp(file.data(), settings, 25));
  uint8_t career[85] = {};
  career[1] = 0;
  for (int c = 0; c < 4; ++c) career[12 + 8 * c] = 1;
  const uint8_t money[4] = {0x00, 0x00, 0x03, 0xE8};
  std::memcpy(career + 44, money, 4);
  career[52] = 1;
  const uint8_t equipped[4] = {0x00, 0x00, 0x10, 0x41};
  std::memcpy(career + 53, equipped, 4);
  career[61] = 1;
  EXPECT_EQ(0, std::memcmp(file.data() + 100, career, 85));
  for (size_t i = 25; i < 100; ++i) EXPECT_EQ(file[i], 0) << i;
  for (size_t i = 185; i < 300; ++i) EXPECT_EQ(file[i], 0) << i;
  EXPECT_EQ(file, image());  // the same as the writer's defaults
  // The loaders read back exactly those values.
  EXPECT_EQ(game->career.progress.money, 1000u);
  EXPECT_EQ(game->career.progress.equippedMask, 0x1041u);
  EXPECT_EQ(game->career.firstQuickMatch, 1);
  EXPECT_EQ(game->career.progress.challengeStates[3][0], 1);
  EXPECT_EQ(game->m_noSpaceState, 0);
}

TEST_F(SaveFile, LaterRunKeepsStoredValues) {
  savefile::Settings s;
  s.option6 = true;
  s.achievementMask = 10;
  s.characterAvailable[4] = true;
  savefile::Career c;
  c.started = true;
  c.character = 7;
  c.money = 123456;
  c.equippedMask = (1u << 2) | (1u << (6 + 5)) | (1u << 12);
  c.challengeStates[9] = 6;  // won with a result
  c.pendingChallengeIndex = 0x01020304;
  const std::vector<uint8_t> stored = image(s, c);
  writeBytes("save.sav", stored);
  startUp();
  EXPECT_EQ(readBytes("save.sav"), stored);  // the resets wrote nothing
  EXPECT_EQ(game->career.option6, 1);
  EXPECT_EQ(game->career.achievementMask, 10u);
  EXPECT_EQ(game->career.characterAvailable[4], 1);
  EXPECT_EQ(game->career.progress.started, 1);
  EXPECT_EQ(game->career.progress.character, 7);
  EXPECT_EQ(game->career.progress.money, 123456u);
  EXPECT_EQ(game->career.progress.challengeStates[1][1], 6);
  EXPECT_EQ(game->career.progress.pendingChallengeIndex, 0x01020304);
  EXPECT_EQ(game->career.equippedLevel[0], 2);
  EXPECT_EQ(game->career.equippedLevel[1], 5);
  EXPECT_EQ(game->career.equippedLevel[2], 0);
}

TEST_F(SaveFile, AchievementMaskBytes) {
  startUp();
  game->career.achievementMask = 10;
  game->career.achievementCounter = 0xA1B2C3D4;
  saveSettings(*game);
  std::vector<uint8_t> file = readBytes("save.sav");
  const uint8_t expect[8] = {0x00, 0x00, 0x00, 0x0A, 0xA1, 0xB2, 0xC3, 0xD4};
  EXPECT_EQ(0, std::memcmp(file.data() + 13, expect, 8));
}

TEST_F(SaveFile, OutOfRangeValuesReset) {
  savefile::Career c;
  c.character = 12;
  c.challengeStates[0] = -1;  // 0xFF
  c.challengeStates[5] = 3;
  c.challengeStates[6] = 2;
  writeBytes("save.sav", image({}, c));
  loadProgress(*game);
  EXPECT_EQ(game->career.progress.character, 0);
  EXPECT_EQ(game->career.progress.challengeStates[0][0], 1);
  EXPECT_EQ(game->career.progress.challengeStates[0][5], 0);
  EXPECT_EQ(game->career.progress.challengeStates[0][6], 2);
}

TEST_F(SaveFile, SavingOffLeavesFieldsUnchanged) {
  writeBytes("save.sav", image());
  game->m_noSpaceState = 101;
  game->career.option7 = 0;
  game->career.progress.money = 5;
  EXPECT_EQ(readSaveRecord(*game, 2), nullptr);
  loadSettings(*game);
  loadProgress(*game);
  EXPECT_EQ(game->career.option7, 0);
  EXPECT_EQ(game->career.progress.money, 5u);
  saveProgress(*game);
  EXPECT_EQ(readBytes("save.sav"), image());
}

TEST_F(SaveFile, FreeSpaceThresholds) {
  struct Case {
    bool present;
    int32_t freeSpace;
    int32_t state;
    bool fileAfter;
  };
  const Case cases[] = {
      {false, 3999, 100, false}, {false, 4000, 0, true}, {true, 3699, 100, true}, {true, 3700, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.freeSpace);
    std::filesystem::remove(path("save.sav"));
    if (c.present) writeBytes("save.sav", image());
    game = std::make_unique<cGame>(nullptr);
    game->files.freeSpaceOverride = c.freeSpace;
    uint8_t* r = readSaveRecord(*game, 3);
    EXPECT_EQ(game->m_noSpaceState, c.state);
    EXPECT_EQ(r != nullptr, c.fileAfter);
    EXPECT_EQ(exists("save.sav"), c.fileAfter);
    delete[] r;
  }
}

TEST_F(SaveFile, RecordFourAndIds) {
  writeBytes("save.sav", image());
  uint8_t* r4 = readSaveRecord(*game, 4);
  ASSERT_NE(r4, nullptr);
  EXPECT_EQ(r4[0], 0);
  EXPECT_EQ(r4[1], 0);
  delete[] r4;
  EXPECT_EQ(readSaveRecord(*game, 0), nullptr);
  EXPECT_EQ(readSaveRecord(*game, 5), nullptr);
}

// A file of another length keeps every field it holds whole: a shorter one
// is read as far as it goes, the fields past its end (or cut by it) take
// their defaults, and it is written back at 300 bytes; an empty one counts
// as missing; of a longer one the first 300 bytes are read and nothing is
// lost. A record of zeros was never written and takes its defaults.
TEST_F(SaveFile, OtherLengthsAndZeroedRecordsKeepWhatTheyHold) {
  savefile::Settings s;
  s.option6 = true;
  s.achievementMask = 0x0A0B0C0D;
  savefile::Career c;
  c.started = true;
  c.character = 3;
  c.won[2] = true;
  c.money = 98765;
  c.boughtMask = 0x11223344;
  const std::vector<uint8_t> full = image(s, c);
  struct Case {
    const char* name;
    std::vector<uint8_t> stored;
    bool option6, mask, career, money, bought;  // what of the file is kept
  };
  auto cut = [&full](size_t n) { return std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)); };
  std::vector<uint8_t> longer = full;
  longer.resize(400, 0x55);  // bytes of no record after 300
  std::vector<uint8_t> zeroCareer = full;
  std::fill(zeroCareer.begin() + 100, zeroCareer.begin() + 200, 0);
  const Case cases[] = {
      {"empty", {}, false, false, false, false, false},
      {"cut inside the achievement mask", cut(15), true, false, false, false, false},
      {"cut inside money", cut(146), true, true, true, false, false},
      {"cut after money", cut(148), true, true, true, true, false},
      {"cut after the bought mask", cut(152), true, true, true, true, true},
      {"one byte short", cut(299), true, true, true, true, true},
      {"all zero", std::vector<uint8_t>(300, 0), false, false, false, false, false},
      {"career all zero", zeroCareer, true, true, false, false, false},
      {"longer", longer, true, true, true, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    writeBytes("save.sav", k.stored);
    game = std::make_unique<cGame>(nullptr);
    startUp();
    EXPECT_EQ(game->career.option6, k.option6 ? 1 : 0);
    EXPECT_EQ(game->career.achievementMask, k.mask ? 0x0A0B0C0Du : 0u);
    EXPECT_EQ(game->career.characterAvailable[0], 1);  // never zero
    EXPECT_EQ(game->career.progress.started, k.career ? 1 : 0);
    EXPECT_EQ(game->career.progress.character, k.career ? 3 : 0);
    EXPECT_EQ(game->career.progress.won[2], k.career ? 1 : 0);
    EXPECT_EQ(game->career.progress.money, k.money ? 98765u : 1000u);
    EXPECT_EQ(game->career.progress.boughtMask, k.bought ? 0x11223344u : 0u);
    EXPECT_EQ(game->career.progress.equippedMask, 0x1041u);
    EXPECT_EQ(game->career.progress.challengeStates[0][0], 1);
    EXPECT_EQ(game->m_noSpaceState, 0);
    // Afterwards the file is whole: what the game now holds.
    if (k.stored.size() > 300) {
      EXPECT_EQ(readBytes("save.sav"), k.stored);
      continue;
    }
    savefile::Settings ws;
    ws.option6 = k.option6;
    if (k.mask) ws.achievementMask = s.achievementMask;
    savefile::Career wc;
    if (k.career) {
      wc.started = true;
      wc.character = 3;
      wc.won[2] = true;
    }
    if (k.money) wc.money = c.money;
    if (k.bought) wc.boughtMask = c.boughtMask;
    EXPECT_EQ(readBytes("save.sav"), image(ws, wc));
  }
}

// A save that is there but cannot be read (a folder, a pipe) or is far
// larger than any save (a sparse 2 GiB file whose first bytes hold a
// career) is never opened for writing or replaced; the player is told as
// for short storage (save state 100), and the game goes on with what it has.
TEST_F(SaveFile, UnreadableAndOversizedSavesAreToldAndKept) {
  savefile::Career stored;
  stored.money = 777;
  const std::vector<uint8_t> old = image({}, stored);
  constexpr uintmax_t kHuge = uintmax_t{1} << 31;
  struct Case {
    const char* name;
    void (*make)(const std::filesystem::path& dir);
    bool regular;  // save.sav stays a regular file (of kHuge bytes)
  } cases[] = {
      {"save.sav a folder", [](const std::filesystem::path& d) { std::filesystem::create_directory(d / "save.sav"); },
       false},
      {"save.sav a pipe", [](const std::filesystem::path& d) { ::mkfifo((d / "save.sav").c_str(), 0644); }, false},
      {"save.sav of 2 GiB", [](const std::filesystem::path& d) { std::filesystem::resize_file(d / "save.sav", kHuge); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    writeBytes("save.sav", old);
    if (!c.regular) std::filesystem::remove(path("save.sav"));
    c.make(dir);
    game = std::make_unique<cGame>(nullptr);
    startUp();
    EXPECT_EQ(game->career.progress.money, 1000u);
    game->career.progress.money = 7;
    saveProgress(*game);
    EXPECT_EQ(game->m_noSpaceState, 100);
    EXPECT_EQ(std::filesystem::is_regular_file(path("save.sav")), c.regular);
    if (c.regular) {
      EXPECT_EQ(std::filesystem::file_size(path("save.sav")), kHuge);
      std::ifstream in(path("save.sav"), std::ios::binary);
      std::vector<uint8_t> head(old.size());
      in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
      EXPECT_EQ(head, old);
    }
    for (const auto& e : std::filesystem::directory_iterator(dir))
      EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
}

TEST_F(SaveFile, VanishedFileKeepsTheCareer) {
  startUp();
  game->career.progress.money = 777;
  saveProgress(*game);
  std::filesystem::remove(path("save.sav"));
  game->career.option8 = 1;
  saveSettings(*game);
  std::vector<uint8_t> file = readBytes("save.sav");
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(file[2], 1);
  const uint8_t money[4] = {0, 0, 0x03, 0x09};
  EXPECT_EQ(0, std::memcmp(file.data() + 144, money, 4));
}

void killAtWriteBack(const char* text, void*) {
  if (std::strstr(text, "closing") && std::strstr(text, "save.sav") && std::strstr(text, "wb")) raise(SIGKILL);
}

TEST_F(SaveFile, KilledWriteLeavesTheOldFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  savefile::Career c;
  c.money = 4242;
  const std::vector<uint8_t> old = image({}, c);
  writeBytes("save.sav", old);
  loadProgress(*game);
  EXPECT_EXIT(
      {
        setDebugTraceHook(killAtWriteBack, nullptr);
        game->career.progress.money = 1;
        saveProgress(*game);
        std::exit(0);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(readBytes("save.sav"), old);
}

}  // namespace

// Pending unlocks index the roster (slot 1-8) and the challenges (0-7): from
// the file, one out of range is dropped; a reset career has none.
TEST_F(SaveFile, PendingUnlocksOutOfRangeAreDroppedAndResetClearsThem) {
  struct Case {
    uint32_t slot, challenge;
    uint8_t character, challengeFlag;
  } cases[] = {{3, 2, 1, 1}, {0, 8, 0, 0}, {9, 0xFFFFFFFF, 0, 0}, {8, 7, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    savefile::Career career;
    career.pendingUnlockSlot = c.slot;
    career.pendingChallengeIndex = c.challenge;
    career.pendingCharacterUnlock = career.pendingChallengeUnlock = true;
    writeBytes("save.sav", image({}, career));
    loadProgress(*game);
    EXPECT_EQ(game->career.progress.pendingCharacterUnlock, c.character);
    EXPECT_EQ(game->career.progress.pendingChallengeUnlock, c.challengeFlag);
  }
  resetProgress(*game);
  const std::vector<uint8_t> file = readBytes("save.sav");
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(file[183], 0);
  EXPECT_EQ(file[184], 0);
}

// The record codecs no record uses yet: u16 big-endian, and a string as a
// length byte and its bytes, read back into a terminated copy; a field that
// would pass the record's end is neither written nor read.
TEST(SaveRecordFields, U16AndStringRoundTrip) {
  struct Case {
    uint16_t number;
    std::string text;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {0, "", {0x00, 0x00, 0}},
      {0x1234, "Ada", {0x12, 0x34, 3, 'A', 'd', 'a'}},
      {0xFFFF, std::string(255, 'z'), {}},
      {0x00FF, std::string(300, 'y'), {}},  // cut to 255 bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    uint8_t record[300] = {};
    RecordWriter w{record, record + sizeof record};
    w.u16(c.number);
    w.string(c.text.c_str());
    const std::string kept = c.text.substr(0, 255);
    ASSERT_EQ(w.p - record, 3 + static_cast<ptrdiff_t>(kept.size()));
    if (!c.bytes.empty()) {
      EXPECT_EQ(std::vector<uint8_t>(record, w.p), c.bytes);
    }
    RecordReader r{record, record + sizeof record};
    EXPECT_EQ(r.u16(), c.number);
    char* text = r.string();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), kept);
    delete[] text;
    EXPECT_EQ(r.p, w.p);
  }
  // Near the end: a length byte whose bytes run past it, a u16 with one byte left.
  const uint8_t tail[] = {0xAB, 5, 'a', 'b'};
  RecordReader r{tail + 1, tail + sizeof tail};
  EXPECT_EQ(r.string(), nullptr);
  RecordReader last{tail + 3, tail + sizeof tail};
  EXPECT_EQ(last.u16(), 0);
  uint8_t small[4] = {9, 9, 9, 9};
  RecordWriter w{small + 3, small + sizeof small};
  w.u16(0x1234);
  w.string("ab");
  EXPECT_EQ(std::vector<uint8_t>(small, small + 4), (std::vector<uint8_t>{9, 9, 9, 9}));
}
