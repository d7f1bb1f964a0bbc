// The whole program on the headless backend under a stylus script, run in a
// death-test child. It records the front-end states the program passes
// through (printed as "states 5 10 ..." at exit) and hands every frame
// outside a match to the caller. The child exits with the program's code,
// or 4 when WinMain returned 0 without quitting. It reads the built data
// set: a test that runs it starts with SKIP_WITHOUT_DATA_SET().
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include <unistd.h>

#include "game/Game/Game.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/cGame/cGameTypes.h"
#include "platform/brew/ApplicationImpl.h"
#include "tests/DataSet.h"
#include "wince/layer.h"
#include "windows_brew/Host.h"

namespace scripted {

namespace fs = std::filesystem;

// A folder of this test process's own under the system's temporary folder,
// made on first use and removed at exit, so that two build trees testing at
// once never share one. A death-test child started afresh by its parent
// takes the parent's folder, handed down in the environment with the
// parent's process id.
class RunFolder {
 public:
  RunFolder() {
    if (const char* handed = std::getenv(kVariable)) {
      const std::string s = handed;
      const size_t colon = s.find(':');
      if (colon != std::string::npos && std::atol(s.substr(0, colon).c_str()) == static_cast<long>(::getppid())) {
        path_ = s.substr(colon + 1);
        return;
      }
    }
    std::string name = (fs::temp_directory_path() / "kv_run_XXXXXX").string();
    if (!::mkdtemp(name.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = name;
    owner_ = ::getpid();
    ::setenv(kVariable, (std::to_string(::getpid()) + ":" + path_.string()).c_str(), 1);
  }
  ~RunFolder() {
    // Not in a forked child that exits: the folder is its parent's. Kept
    // for a look at its frames when KV_KEEP_RUN_FOLDER is set.
    if (owner_ != ::getpid()) return;
    if (std::getenv("KV_KEEP_RUN_FOLDER")) {
      std::fprintf(stderr, "run folder kept: %s\n", path_.c_str());
      return;
    }
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  static constexpr const char* kVariable = "KV_TEST_RUN_FOLDER";
  fs::path path_;
  pid_t owner_ = 0;
};

// `name` inside the process's run folder.
inline fs::path runFolder(const std::string& name) {
  static RunFolder folder;
  return folder.path() / name;
}

// A run of states as the "states" line prints them: a space before each.
inline std::string stateRun(std::initializer_list<int32_t> states) {
  std::string s;
  for (const int32_t state : states) {
    s += ' ';
    s += std::to_string(state);
  }
  return s;
}

// The "states" line of a fresh start up to the main menu (the first loading,
// the logo, the menus' loading, the first-run question, the title), then
// `then`.
inline std::string statesFromStart(std::initializer_list<int32_t> then = {}) {
  return "states" +
         stateRun({k_stateLoadInit, k_stateLogo, k_stateMainMenuLoading, k_stateFirstRunQuestion, k_stateTitle,
                   k_stateMainMenu}) +
         stateRun(then);
}

// The captured frame of a screen, in the run's folder.
inline fs::path screenFile(const fs::path& dir, int state) {
  char name[32];
  std::snprintf(name, sizeof name, "state_%d.png", state);
  return dir / name;
}

// A frame of the game in `state`, the `held`-th frame of that state (1 on the
// first); `pixels` may be null.
using FrameFn = void (*)(cGame& game, int state, int held, const uint16_t* pixels);

// Set before run: frames inside a match reach the caller too (their states
// are not recorded in the "states" line).
inline bool& withMatchFrames() {
  static bool on = false;
  return on;
}

// Runs with the script and writable folder of `dir` (script.txt, write/).
[[noreturn]] inline void run(const fs::path& dir, uint64_t frames, FrameFn onFrame, void (*onExit)() = nullptr) {
  static FrameFn s_onFrame;
  static void (*s_onExit)();
  static std::string s_states;
  s_onFrame = onFrame;
  s_onExit = onExit;
  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.frames = frames;
  options.writeDir = (dir / "write").string();
  options.scriptPath = (dir / "script.txt").string();
  if (!wince::start(options)) std::exit(3);
  wince::setFrameHook([](uint64_t, const uint16_t* pixels) {
    cGame* g = getGame();
    if (!g || (g->states.inGame && !withMatchFrames())) return;
    static int last = -2, held = 0;
    if (g->states.gameState != last) {
      last = g->states.gameState;
      held = 0;
      if (!g->states.inGame) {
        char number[16];
        std::snprintf(number, sizeof number, " %d", last);
        s_states.append(number);
      }
    }
    s_onFrame(*g, last, ++held, pixels);
  });
  std::atexit([] {
    if (s_onExit) s_onExit();
    std::fprintf(stderr, "states%s\n", s_states.c_str());
  });
  registerApplet();
  static int instance;
  char16_t commandLine[1] = {0};
  const int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  std::exit(result == 0 ? 4 : result);
}

}  // namespace scripted
