// The whole program on the headless backend under a stylus script: a quick
// UK eight-ball match started by touch, the human's break, and the small 3D
// ball view open while the break's balls drop. Frames taken while the view
// is open show the picture and its captions; the program quits cleanly and
// the match leaves no memory behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Game/Game.h"
#include "platform/brew/ApplicationImpl.h"
#include "tests/DataSet.h"
#include "wince/layer.h"
#include "windows_brew/Host.h"
#include "zul/memory/MemoryManager.h"

namespace {

namespace fs = std::filesystem;

// In the build tree, so builds run side by side; fixed, because the death
// test's child runs this test anew.
fs::path workDir() { return fs::path(KV_BINARY_DIR) / "ballview_program"; }

// Times in ms of the virtual clock.
constexpr const char* kScript =
    "9000 down 118 135\n"  // sound question: yes
    "9100 up 118 135\n"
    "11000 down 120 200\n"  // title
    "11100 up 120 200\n"
    "13000 down 124 153\n"  // main menu: quick match
    "13100 up 124 153\n"
    "15000 down 124 145\n"  // rules: UK eight-ball
    "15100 up 124 145\n"
    "40000 down 120 200\n"  // versus: touch
    "40100 up 120 200\n"
    "45000 down 120 200\n"  // the opponent's greeting
    "45100 up 120 200\n"
    "48000 down 70 97\n"  // the coin toss: tails
    "48100 up 70 97\n"
    "56000 down 30 180\n"  // the break: fire, the power
    "56100 up 30 180\n"
    "56800 down 30 180\n"  // and fire: the six drops
    "56900 up 30 180\n";

// The child: the frames with the view open are written as PNG (the first
// one, and the first after the awaited ball dropped); at exit, the blocks
// the memory tracker still holds, by source.
[[noreturn]] void runMatch(const fs::path& dir, uint64_t frames) {
  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.frames = frames;
  options.writeDir = (dir / "write").string();
  options.scriptPath = (dir / "script.txt").string();
  if (!wince::start(options)) std::exit(3);
  static fs::path s_dir;
  s_dir = dir;
  wince::setFrameHook([](uint64_t, const uint16_t* pixels) {
    cGame* g = getGame();
    if (!g || !pixels || g->ballView.count != 4) return;
    static bool open = false, dropped = false;
    const int32_t b = g->ballView.predictedSlot;
    const PhysicalObject* ball = b > 0 && b < 16 ? g->world.balls[b] : nullptr;
    const char* name = nullptr;
    if (!open) {
      open = true;
      name = "open.png";
    } else if (!dropped && ball && ball->pocketed) {
      dropped = true;
      name = "dropped.png";
    }
    if (!name) return;
    wince::writePng((s_dir / name).string(), pixels, 240, 320);
    std::ofstream(s_dir / (std::string(name) + ".txt"))
        << g->ballView.viewBox[0] << " " << g->ballView.viewBox[1] << "\n";
  });
  std::atexit([] {
    std::ofstream left(s_dir / "left.txt");
    if (CMemoryManager* m = getMemoryManager())
      for (const auto& [address, block] : m->blocks()) left << block.file << ":" << block.line << " " << block.size << "\n";
  });
  registerApplet();
  static int instance;
  char16_t commandLine[1] = {0};
  const int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  std::exit(result == 0 ? 4 : result);
}

// The lines of a file, sorted.
std::vector<std::string> readLines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<uint16_t> readFrame(const fs::path& file, int32_t& viewX, int32_t& viewCentreY) {
  std::vector<uint16_t> px;
  int w = 0, h = 0;
  if (!wince::readPng(file.string(), px, w, h) || w != 240 || h != 320) return {};
  std::ifstream(file.string() + ".txt") >> viewX >> viewCentreY;
  return px;
}

TEST(BallViewProgram, AQuickMatchBreakShowsThePocketCamera) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir();
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kScript;
  // The frame limit closes the window. What the host still holds at exit
  // without a match, the match run holds too, and no more.
  EXPECT_EXIT(runMatch(dir, 100), ::testing::ExitedWithCode(0), "");
  const std::vector<std::string> hostOnly = readLines(dir / "left.txt");
  EXPECT_EXIT(runMatch(dir, 2000), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readLines(dir / "left.txt"), hostOnly);
  for (const char* name : {"open.png", "dropped.png"}) {
    SCOPED_TRACE(name);
    int32_t x = 0, cy = 0;
    const std::vector<uint16_t> px = readFrame(dir / name, x, cy);
    ASSERT_EQ(px.size(), 240u * 320u) << "no frame with the view open";
    const int32_t top = cy - 52;
    ASSERT_TRUE(x >= 0 && x + 56 <= 240 && top >= 28 && top + 104 + 28 <= 320);
    int lit = 0, above = 0, below = 0;
    for (int r = 0; r < 104; ++r)
      for (int c = 0; c < 56; ++c) lit += px[static_cast<size_t>((top + r) * 240 + x + c)] != 0;
    // The captions are drawn in the yellow of font 0's palette 1.
    auto yellow = [](uint16_t p) { return (p >> 11) > 20 && ((p >> 5) & 63) > 40 && (p & 31) < 16; };
    for (int r = 0; r < 28; ++r)
      for (int c = 0; c < 56; ++c) {
        above += yellow(px[static_cast<size_t>((top - 28 + r) * 240 + x + c)]);
        below += yellow(px[static_cast<size_t>((top + 104 + r) * 240 + x + c)]);
      }
    EXPECT_GT(lit, 56 * 104 * 9 / 10) << "the picture is black";
    EXPECT_GT(above, 20);
    EXPECT_GT(below, 20);
  }
}

}  // namespace
