// The whole program on the headless backend with a stylus script: a new
// career from the main menu: the career character (the first, Ada), the
// introduction's pages, the pub at the career-match spot, then the right
// arrow twice to the shop. Checks the states, the saved career and a frame
// of the pub at two spots.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kScript =
    "9000 down 118 135\n"   // sound question: yes
    "9100 up 118 135\n"
    "11000 tap 120 200\n"   // title: anywhere
    "13000 down 124 189\n"  // main menu: career
    "13100 up 124 189\n"
    "15000 down 60 240\n"   // career character: the name plate takes the first
    "15100 up 60 240\n"
    "17000 down 120 150\n"  // introduction: four pages
    "17100 up 120 150\n"
    "18500 down 120 150\n"
    "18600 up 120 150\n"
    "20000 down 120 150\n"
    "20100 up 120 150\n"
    "21500 down 120 150\n"  // the last page: into the pub
    "21600 up 120 150\n"
    "26000 down 220 166\n"  // the right arrow: challenges
    "26100 up 220 166\n"
    "30000 down 220 166\n"  // and the shop
    "30100 up 220 166\n";

fs::path workDir() { return scripted::runFolder("career_program"); }

struct Seen {
  int spots[6] = {};        // frames shown at rest on each spot
  int maxStep = 0;          // largest scroll step in pixels
  int lastX = -1;
};
Seen g_seen;

[[noreturn]] void runScripted() {
  scripted::run(
      workDir(), 2200,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        if (state != k_statePub || held < 2) return;
        const int x = g.pub.scroll >> 8;
        if (g_seen.lastX >= 0) g_seen.maxStep = std::max(g_seen.maxStep, std::abs(x - g_seen.lastX));
        g_seen.lastX = x;
        if (g.pub.arrivedTime > 0 && g.career.pubSpot >= 0 && g.career.pubSpot < 6) {
          const int n = ++g_seen.spots[g.career.pubSpot];
          if (n == 30 && pixels && (g.career.pubSpot == 2 || g.career.pubSpot == 4))
            wince::writePng((workDir() / ("pub_spot" + std::to_string(g.career.pubSpot) + ".png")).string(), pixels,
                            240, 320);
        }
      },
      [] {
        std::ofstream out(workDir() / "seen.txt");
        for (int n : g_seen.spots) out << n << ' ';
        out << g_seen.maxStep;
      });
}

std::vector<uint8_t> readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(CareerProgram, NewCareerIntoThePubAndAlongToTheShop) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  std::ofstream(workDir() / "script.txt") << kScript;
  // The run ends at its frame count, still in the pub (the host quits).
  EXPECT_EXIT(runScripted(), ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_stateCareerCharacterSelect, k_stateCareerIntro, k_statePub}) + "\n");
  std::ifstream in(workDir() / "seen.txt");
  int spots[6] = {}, maxStep = 0;
  for (int& n : spots) ASSERT_TRUE(in >> n);
  ASSERT_TRUE(in >> maxStep);
  EXPECT_GE(spots[2], 30);  // rested on the career match first
  EXPECT_GT(spots[3], 0);
  EXPECT_GE(spots[4], 30);  // and ended on the shop
  EXPECT_EQ(spots[0] + spots[1] + spots[5], 0);
  EXPECT_LE(maxStep, 23);   // a tenth of the longest distance at most
  // The career: started, Ada, Jonas beaten from the start, $1000.
  const std::vector<uint8_t> save = readFile(workDir() / "write" / "save.sav");
  ASSERT_EQ(save.size(), 300u);
  EXPECT_EQ(save[100], 1);
  EXPECT_EQ(save[101], 0);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(save[102 + static_cast<size_t>(c)], c == 9 ? 1 : 0) << c;
  EXPECT_EQ((save[144] << 24 | save[145] << 16 | save[146] << 8 | save[147]), 1000);
  // Two different pictures of the pub.
  const std::vector<uint8_t> a = readFile(workDir() / "pub_spot2.png"), b = readFile(workDir() / "pub_spot4.png");
  EXPECT_GT(a.size(), 4000u);
  EXPECT_GT(b.size(), 4000u);
  EXPECT_NE(a, b);
}
