// The achievement screens in the whole program on the headless backend with
// the built data set: the list is entered once the menus have loaded, then
// driven by the stylus.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/Game/Game.h"
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/ApplicationImpl.h"
#include "tests/game/program/ScriptedProgram.h"
#include "tools/save/SaveFileWriter.h"
#include "wince/layer.h"
#include "wince/windows.h"
#include "windows_brew/Host.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

namespace F = interfaceformat;

constexpr uint32_t kCategory1 = 0x3FFu << 10;
constexpr uint32_t kMask = kCategory1 | (1u << 0) | (1u << 2) | (1u << 25);

std::string g_report;  // what the run saw, printed at exit
std::filesystem::path g_writeDir;
std::vector<uint8_t> g_stored;

std::vector<uint8_t> readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void note(const std::string& s) { g_report += " " + s; }

void reportAtExit() {
  if (readFile(g_writeDir / "save.sav") == g_stored) note("save-unchanged");
  std::fprintf(stderr, "run:%s\n", g_report.c_str());
}

// True when the pixels that the marks bank paints for animation `anim` at
// (x, y) are on the screen as they are, left of the row texts (x 46 on).
bool tickShown(cGame& g, const uint16_t* pixels, int x, int y, int anim) {
  ASprite* bank = g.loading.sprites[k_slotMarks];
  if (!bank) return false;
  MutableImage scratch(240, 320, 16);
  Graphics* sg = scratch.getGraphics();
  sg->setColor(0xFFFF00FF);
  sg->fillRect(0, 0, 240, 320);
  bank->paintAnimFrame(sg, anim, 0, x, y, 0);
  const uint16_t* drawn = static_cast<const uint16_t*>(scratch.getPixels());
  int count = 0;
  for (int i = 0; i < 240 * 320; ++i) {
    if (drawn[i] == 0xF81F || i % 240 >= 46) continue;
    if (drawn[i] != pixels[i]) return false;
    ++count;
  }
  return count > 0;
}

enum class Step { Wait, Entered, RowTapped, PageTurned, Back, Done };

[[noreturn]] void runProgram(const std::string& capture) {
  g_writeDir = scripted::runFolder("ach_program");
  std::filesystem::remove_all(g_writeDir);
  std::filesystem::create_directories(g_writeDir);
  savefile::Settings settings;
  settings.achievementMask = kMask;
  const auto image = savefile::writeImage(settings);
  g_stored.assign(image.begin(), image.end());
  std::ofstream(g_writeDir / "save.sav", std::ios::binary)
      .write(reinterpret_cast<const char*>(g_stored.data()), static_cast<std::streamsize>(g_stored.size()));

  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.frames = 700;
  options.writeDir = g_writeDir.string();
  if (!wince::start(options)) std::exit(3);
  wince::setFrameHook([capture](uint64_t, const uint16_t* pixels) {
    static Step step = Step::Wait;
    static uint32_t at = 0;
    cGame* g = getGame();
    if (!g) return;
    const uint32_t now = GetTickCount();
    auto shot = [&](const char* name) {
      if (!capture.empty()) wince::writePng(capture + "/" + name + ".png", pixels, 240, 320);
    };
    switch (step) {
      case Step::Wait:
        // The menus are loaded: enter the list of category 1 as the categories screen would.
        if (g->states.gameState == k_stateFirstRunQuestion) {
          g->achievementScreens.selectedCategory = 1;
          g->setState(k_stateAchievementList);
          step = Step::Entered;
          at = now;
          wince::setScript({{now + 1500, wince::ScriptEvent::Down, 120, 150},
                            {now + 1600, wince::ScriptEvent::Up, 120, 150},
                            {now + 2500, wince::ScriptEvent::Down, 110, 244},
                            {now + 2600, wince::ScriptEvent::Up, 110, 244},
                            {now + 4500, wince::ScriptEvent::Down, 220, 300},
                            {now + 4600, wince::ScriptEvent::Up, 220, 300}});
        }
        break;
      case Step::Entered:
        if (now >= at + 1400) {
          note("entered=" + std::to_string(g->states.gameState));
          note(std::string("badge=") +
               (getInterfaceElement(*g, 48, 27)[F::kWordParams + F::kSpriteVisible] ? "on" : "off"));
          shot("list_page1");
          step = Step::RowTapped;
        }
        break;
      case Step::RowTapped:
        if (now >= at + 2300) {
          note("cursor=" + std::to_string(g->menu.selection));
          shot("list_row2");
          step = Step::PageTurned;
        }
        break;
      case Step::PageTurned:
        if (now >= at + 4200) {
          note("first=" + std::to_string(g->menu.firstVisible));
          int on = 0;
          for (int i = 0; i < 5; ++i)
            if (tickShown(*g, pixels, getInterfaceElementX(*g, 48, 22 + i), getInterfaceElementY(*g, 48, 22 + i),
                          k_marksAnimTickOn))
              ++on;
          note("ticks=" + std::to_string(on));
          shot("list_page2");
          step = Step::Back;
        }
        break;
      case Step::Back:
        if (now >= at + 5500) {
          note("back=" + std::to_string(g->states.gameState));
          shot("categories");
          step = Step::Done;
        }
        break;
      case Step::Done:
        break;
    }
  });
  std::atexit(reportAtExit);
  registerApplet();
  static int instance;
  char16_t commandLine[1] = {0};
  const int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  std::exit(result == 0 ? 4 : result);
}

TEST(AchievementProgram, ListPagedByTouchThenBackToTheCategories) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* capture = std::getenv("KV_ACH_CAPTURE");  // a folder to keep the frames in
  scripted::runFolder("ach_program");  // made here: this process removes it
  EXPECT_EXIT(runProgram(capture ? capture : ""), ::testing::ExitedWithCode(0),
              "run: entered=" + std::to_string(k_stateAchievementList) + " badge=on cursor=2 first=5 ticks=5 back=" +
                  std::to_string(k_stateAchievementMenu) + " save-unchanged\n");
}

}  // namespace

namespace {

// Over the first screen after loading: the tenth achievement of category 1
// slides in, then the completion notice waits for the left soft key.
[[noreturn]] void runNotices(const std::string& capture) {
  g_writeDir = scripted::runFolder("ach_notices");
  std::filesystem::remove_all(g_writeDir);
  std::filesystem::create_directories(g_writeDir);
  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.frames = 700;
  options.writeDir = g_writeDir.string();
  if (!wince::start(options)) std::exit(3);
  wince::setFrameHook([capture](uint64_t, const uint16_t* pixels) {
    static int step = 0;
    static uint32_t at = 0;
    cGame* g = getGame();
    if (!g) return;
    const uint32_t now = GetTickCount();
    auto shot = [&](const char* name) {
      if (!capture.empty()) wince::writePng(capture + "/" + name + ".png", pixels, 240, 320);
    };
    if (step == 0 && g->states.gameState == k_stateFirstRunQuestion && g->states.subState != k_subStateInit) {
      g->career.achievementMask = 0x1FFu << 10;
      unlockAchievement(*g, 19);
      at = now;
      step = 1;
      wince::setScript({{now + 2500, wince::ScriptEvent::Down, 30, 300},
                        {now + 2600, wince::ScriptEvent::Up, 30, 300}});
    } else if (step == 1 && now >= at + 600) {
      // The plate at its place: its frame's pixels are on the screen.
      ASprite* bank = g->loading.sprites[k_slotBadge[1]];
      std::vector<uint16_t> buffer(240 * 320, 0xF81F);
      MutableImage scratch(240, 320, 480, 16, buffer.data());
      if (bank) bank->paintFrame(scratch.getGraphics(), 1, 40, 4, 0);
      int same = 0, drawn = 0;
      for (int i = 0; i < 240 * 320; ++i)
        if (buffer[i] != 0xF81F && i % 240 < 70) {
          ++drawn;
          same += buffer[i] == pixels[i];
        }
      note("plate=" + std::string(drawn > 0 && same == drawn ? "home" : "missing"));
      note("shown=" + std::to_string(countShownNotices(*g)));
      shot("notice");
      step = 2;
    } else if (step == 2 && now >= at + 2200) {
      note("shown=" + std::to_string(countShownNotices(*g)));
      note(std::string("completion=") + (hasCompletionNotice(*g) && g->frontEnd.completionNoticeShown ? "up" : "none"));
      shot("completion");
      step = 3;
    } else if (step == 3 && now >= at + 3200) {
      note(std::string("completion=") + (hasCompletionNotice(*g) ? "up" : "none"));
      note("state=" + std::to_string(g->states.gameState));
      const std::vector<uint8_t> file = readFile(g_writeDir / "save.sav");
      if (file.size() == 300 && file[13] == 0 && file[14] == 0x0F && file[15] == 0xFC && file[16] == 0)
        note("saved");
      step = 4;
    }
  });
  std::atexit([] { std::fprintf(stderr, "run:%s\n", g_report.c_str()); });
  registerApplet();
  static int instance;
  char16_t commandLine[1] = {0};
  const int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  std::exit(result == 0 ? 4 : result);
}

TEST(AchievementProgram, NoticeThenCompletionNoticeOverAScreen) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* capture = std::getenv("KV_ACH_CAPTURE");
  scripted::runFolder("ach_notices");  // made here: this process removes it
  EXPECT_EXIT(runNotices(capture ? capture : ""), ::testing::ExitedWithCode(0),
              "run: plate=home shown=1 shown=0 completion=up completion=none state=" +
                  std::to_string(k_stateFirstRunQuestion) + " saved\n");
}

}  // namespace
