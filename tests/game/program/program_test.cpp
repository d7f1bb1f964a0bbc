#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/Game/Game.h"
#include "platform/brew/ApplicationImpl.h"
#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"
#include "wince/layer.h"
#include "windows_brew/Host.h"

namespace {

int g_highestState = -1;
bool g_sawLogo = false;
int g_resourceCount = -1;
std::string g_states;  // the front-end states in the order they ran

void reportAtExit() {
  std::fprintf(stderr, "highest state %d, logo %s, resources %d, states%s\n", g_highestState,
               g_sawLogo ? "reached" : "missed", g_resourceCount, g_states.c_str());
}

// The whole program on the headless backend, in this process: the layer
// closes the window after the given number of frames.
[[noreturn]] void runProgram(uint64_t frames, const std::string& dataDir = std::string()) {
  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.frames = frames;
  options.dataDir = dataDir;
  options.writeDir = scripted::runFolder("program_write").string();
  if (!wince::start(options)) std::exit(3);
  wince::setFrameHook([](uint64_t, const uint16_t*) {
    if (cGame* g = getGame()) {
      if (g->states.gameState > g_highestState) g_highestState = g->states.gameState;
      if (g->states.gameState == k_stateLogo) g_sawLogo = true;
      static int last = -2;
      if (g->states.gameState != last && g->states.inGame == 0) {
        last = g->states.gameState;
        char number[16];
        std::snprintf(number, sizeof number, " %d", last);
        g_states.append(number);
      }
      g_resourceCount = static_cast<int>(g->engine.resources.getCount());
    }
  });
  std::atexit(reportAtExit);
  registerApplet();
  static int instance;
  char16_t commandLine[1] = {0};
  int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  std::exit(result == 0 ? 4 : result);  // the quit path ends the process itself
}

}  // namespace

// The folder the program writes to; made by the test before the child runs,
// so that the test's process removes it at exit.
void makeWriteFolder() { std::filesystem::create_directories(scripted::runFolder("program_write")); }

TEST(Program, LoadsThroughTheLogoAndQuitsOnClose) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  makeWriteFolder();
  EXPECT_EXIT(runProgram(300), ::testing::ExitedWithCode(0),
              "highest state " + std::to_string(k_stateFirstRunQuestion) + ", logo reached.*states" +
                  scripted::stateRun({k_stateLoadInit, k_stateLogo, k_stateMainMenuLoading, k_stateFirstRunQuestion}) +
                  "\n");
}

// The data set's resource pack is indexed at start; without one the game
// says so and ends before its first frame.
TEST(Program, StartsWithTheResourcePackAndStopsWithoutIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/info.bar")) GTEST_SKIP() << "no data set";
  makeWriteFolder();
  EXPECT_EXIT(runProgram(300), ::testing::ExitedWithCode(0), "logo reached, resources [1-9][0-9]*");
  const std::filesystem::path bare = scripted::runFolder("program_without_pack");
  std::filesystem::remove_all(bare);
  std::filesystem::create_directories(bare);
  for (const auto& entry : std::filesystem::directory_iterator(data)) {
    const std::string name = entry.path().filename().string();
    if (name != "info.bar" && name != "data000.bar") std::filesystem::copy(entry.path(), bare / name);
  }
  EXPECT_EXIT(runProgram(300, bare.string()), ::testing::ExitedWithCode(1),
              "Korvane: info.bar is missing\n\\(and 1 more data file is missing or damaged\\)\n"
              "highest state " + std::to_string(k_stateLoadInit) + ", logo missed, resources 0, states" +
                  scripted::stateRun({k_stateLoadInit}) + "\n");
  std::filesystem::remove_all(bare);
}

TEST(Program, ExecutableRunsHeadlessAndExitsCleanly) {
  std::string exe = std::string(KV_BINARY_DIR) + "/korvane";
  if (!std::filesystem::exists(exe)) GTEST_SKIP() << "no program built";
  const std::filesystem::path write = scripted::runFolder("program_executable");
  std::filesystem::create_directories(write);
  const std::string dir = write.string();
  std::string cmd = exe + " --backend=headless --frames 300 --write " + dir + " > /dev/null 2>&1";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
