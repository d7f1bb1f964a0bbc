// Whole runs of the host's WinMain on the headless layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "wince/layer.h"
#include "windows_brew/GameServices.h"
#include "windows_brew/Host.h"
#include "windows_brew/ShellHost.h"

namespace {

// A scripted applet and game, counted.
struct Probe {
  int created = 0, inits = 0, ticks = 0, releases = 0, pauses = 0, unpauses = 0;
  bool quitRequested = false;
  bool hasGame = true;
  std::function<void(int tick)> onTick;
  // The game's side.
  mutable int idleTurns = 0;
  int stopAll = 0, stopAnimations = 0;
  bool soundEnabled = true;
  int32_t soundId = 3;
  bool anyPlaying = true;
  const char* fatal = nullptr;  // what the game cannot go on without
};
Probe* g_probe = nullptr;

// The game as the host sees it: its services, counted.
struct ProbeGame : GameServices {
  bool isSoundEnabled() const override {
    ++g_probe->idleTurns;  // asked once per idle turn
    return g_probe->soundEnabled;
  }
  int32_t currentSoundId() const override { return g_probe->soundId; }
  void stopCurrentElementAnimations() override { ++g_probe->stopAnimations; }
  int32_t stopAllSounds() override { return ++g_probe->stopAll; }
  bool isAnySoundPlaying() override { return g_probe->anyPlaying; }
  const char* fatalError() const override { return g_probe->fatal; }
};
ProbeGame g_game;

const AppletOps kProbeApplet = {
    [] {
      ++g_probe->created;
      return static_cast<void*>(g_probe);
    },
    [](void*, int) { return ++g_probe->inits; },
    [](void*) {
      ++g_probe->ticks;
      if (g_probe->onTick) g_probe->onTick(g_probe->ticks);
    },
    [](void*) { ++g_probe->releases; },
    [](void*) { ++g_probe->pauses; },
    [](void*) { ++g_probe->unpauses; },
    [](void*) { return g_probe->quitRequested; },
    [](void*) { return g_probe->hasGame ? static_cast<GameServices*>(&g_game) : nullptr; },
};

class HostRun : public ::testing::Test {
 protected:
  void SetUp() override {
    g_probe = &probe_;
    setAppletOps(&kProbeApplet);
    g_game.m_interrupted = 0;
    options_.backend = wince::BackendKind::Headless;
    options_.dataDir = KV_BINARY_DIR;
    options_.writeDir = ::testing::TempDir();
  }
  void TearDown() override {
    setAppletOps(nullptr);
    g_probe = nullptr;
    wince::reset();
  }

  // Runs WinMain; returns its result, or the exit code when the program
  // ended through the runtime's exit (exited_ is then set).
  int run(const std::vector<wince::ScriptEvent>& script = {}) {
    std::string error;
    EXPECT_TRUE(wince::start(options_, &error)) << error;
    wince::throwOnExit();
    if (!script.empty()) wince::setScript(script);
    if (setUp_) setUp_();
    try {
      return WinMain(nullptr, nullptr, const_cast<LPWSTR>(u""), SW_SHOW);
    } catch (const wince::ExitRequest& e) {
      exited_ = true;
      return e.code;
    }
  }

  static wince::ScriptEvent event(uint32_t ms, wince::ScriptEvent::Kind kind, int value = 0) {
    wince::ScriptEvent e;
    e.timeMs = ms;
    e.kind = kind;
    e.value = value;
    return e;
  }

  Probe probe_;
  wince::Options options_;
  std::function<void()> setUp_;
  bool exited_ = false;
};

TEST_F(HostRun, CloseEndsTheProcessWithCodeZero) {
  options_.frames = 5;
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(probe_.created, 1);
  EXPECT_EQ(probe_.inits, 1);
  EXPECT_EQ(probe_.releases, 1);
  EXPECT_GE(probe_.ticks, 1);
  // The first activation only sets the flags; the closing window's
  // deactivation pauses.
  EXPECT_EQ(probe_.pauses, 1);
  EXPECT_EQ(probe_.unpauses, 0);
  EXPECT_EQ(wince::countCalls("CoInitializeEx("), 1u);
  EXPECT_EQ(wince::countCalls("SHFullScreen([Korvane], 10)"), wince::countCalls("SHFullScreen([Korvane]"));
  EXPECT_STREQ(getShellHost()->rootPath(), "\\Program Files\\Pelloran\\Korvane\\");
}

// A second run in the same process starts a new applet and releases only
// that one: the first was released when its run quit.
TEST_F(HostRun, EachRunReleasesItsOwnAppletOnce) {
  options_.frames = 5;
  EXPECT_EQ(run(), 0);
  wince::reset();
  Probe second;
  g_probe = &second;
  exited_ = false;
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(exited_);
  for (const Probe* p : {&probe_, &second}) {
    EXPECT_EQ(p->created, 1);
    EXPECT_EQ(p->releases, 1);
  }
}

// At most 30 frames a second: a turn with no frame due shows nothing and
// waits for the frame's time, so every frame shown is a new one.
TEST_F(HostRun, PacingShowsOnlyNewFrames) {
  struct Case {
    uint64_t counterHz;  // 0: the tick count paces
    uint64_t quantumMicros;
  };
  const Case cases[] = {{1000, 33000}, {1000, 34000}, {0, 20000}, {1000000, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.counterHz << " Hz, " << c.quantumMicros << " us");
    probe_ = Probe();
    options_.frames = 20;
    setUp_ = [&] {
      wince::setCounterFrequency(c.counterHz);
      wince::setPollQuantum(c.quantumMicros);
    };
    run();
    EXPECT_EQ(wince::frameCount(), 20u);
    EXPECT_EQ(probe_.ticks, 20);
    EXPECT_GE(wince::nowMicros(), 19u * 33000u);
  }
}

TEST_F(HostRun, BlitCopiesTheFrameBufferExactly) {
  options_.frames = 3;
  probe_.onTick = [](int) {
    uint16_t* fb = hostState().frameBuffer;
    for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) fb[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
  };
  run();
  std::vector<uint16_t> screen = wince::screenPixels();
  const uint16_t* fb = hostState().frameBuffer;
  ASSERT_EQ(screen.size(), static_cast<size_t>(kScreenWidth * kScreenHeight));
  const std::pair<int, int> corners[] = {{0, 0}, {5, 0}, {0, 7}, {5, 7}, {239, 0}, {0, 319}, {239, 319}};
  for (auto [x, y] : corners) EXPECT_EQ(screen[y * 240 + x], fb[y * 240 + x]) << x << "," << y;
  EXPECT_EQ(screen, std::vector<uint16_t>(fb, fb + kScreenWidth * kScreenHeight));
}

TEST_F(HostRun, DeactivationIdlesAndReactivationResumes) {
  // The pause's 3.75 s count towards the limit (112 frames' time).
  options_.frames = 160;
  run({event(100, wince::ScriptEvent::Focus, 0), event(100 + 250 * 15, wince::ScriptEvent::Focus, 1)});
  // Paused by the deactivation and again by the closing window's.
  EXPECT_EQ(probe_.pauses, 2);
  EXPECT_EQ(probe_.unpauses, 1);
  EXPECT_EQ(probe_.stopAnimations, 1);
  // Idle turns: 250 ms each, the game marked interrupted, sound stopped.
  EXPECT_GE(probe_.idleTurns, 14);
  EXPECT_LE(probe_.idleTurns, 16);
  EXPECT_EQ(g_game.m_interrupted, 1);
  // One stop per deactivation (a sound was playing), one per idle turn.
  EXPECT_EQ(probe_.stopAll, probe_.idleTurns + 2);
  // Only the first nine idle turns show the task bar again.
  EXPECT_EQ(wince::countCalls("SHFullScreen([Korvane], 5)"), 9u);
}

TEST_F(HostRun, IdleTurnsLeaveSoundAloneWhenNoneIsCurrent) {
  options_.frames = 60;  // the pause counts 30 of them
  probe_.soundId = 0;
  probe_.anyPlaying = false;
  run({event(50, wince::ScriptEvent::Focus, 0), event(50 + 250 * 4, wince::ScriptEvent::Focus, 1)});
  EXPECT_GE(probe_.idleTurns, 3);
  EXPECT_EQ(g_game.m_interrupted, 1);
  EXPECT_EQ(probe_.stopAll, 0);
}

TEST_F(HostRun, WithoutAGameNothingIsTouched) {
  options_.frames = 60;  // the pause counts 30 of them
  probe_.hasGame = false;
  run({event(50, wince::ScriptEvent::Focus, 0), event(50 + 250 * 4, wince::ScriptEvent::Focus, 1)});
  EXPECT_EQ(probe_.idleTurns, 0);
  EXPECT_EQ(g_game.m_interrupted, 0);
  EXPECT_EQ(probe_.stopAll, 0);
  EXPECT_EQ(probe_.stopAnimations, 0);
  EXPECT_EQ(probe_.unpauses, 1);
}

// Every way into the background, with no way back: the paused run still
// ends at its frame limit, the pause's time counting, and the idle turns'
// trace shows once.
TEST_F(HostRun, BackgroundWithoutReturnEndsAtTheFrameLimit) {
  struct Case {
    const char* name;
    wince::ScriptEvent::Kind kind;
    int value;
  } cases[] = {{"focus 0", wince::ScriptEvent::Focus, 0},
               {"F4", wince::ScriptEvent::KeyDown, VK_F4},
               {"Windows key", wince::ScriptEvent::KeyDown, VK_LWIN},
               {"F11", wince::ScriptEvent::KeyDown, 0x7A},
               {"key 0xC5", wince::ScriptEvent::KeyDown, 0xC5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    probe_ = Probe();
    exited_ = false;
    options_.frames = 90;
    EXPECT_EQ(run({event(1000, c.kind, c.value)}), 0);
    EXPECT_TRUE(exited_);
    EXPECT_GE(probe_.ticks, 25);
    EXPECT_LE(probe_.ticks, 35);
    EXPECT_GE(probe_.idleTurns, 5);
    // 90 frames' time, and one idle turn more at most.
    EXPECT_LE(wince::nowMicros(), 90u * 33334u + 300000u);
    const std::string log = wince::debugOutput();
    size_t traces = 0;
    for (size_t at = log.find("entro 10 veces"); at != std::string::npos; at = log.find("entro 10 veces", at + 1))
      ++traces;
    EXPECT_EQ(traces, 1u);
    wince::reset();
  }
}

// Data the game cannot go on without: the player is told in a message box
// and the program ends with code 1, after the start or the frame that found
// it, with nothing more run.
TEST_F(HostRun, GameErrorAtStartEndsWithTheMessageAndCodeOne) {
  options_.frames = 30;
  probe_.fatal = "interf.bar is missing";
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(probe_.ticks, 0);
  EXPECT_EQ(probe_.releases, 1);
  EXPECT_EQ(wince::frameCount(), 0u);
  EXPECT_EQ(wince::countCalls("MessageBoxW([Korvane], \"interf.bar is missing\", \"Korvane\", 16)"), 1u);
}

TEST_F(HostRun, GameErrorInAFrameEndsWithTheMessageAndCodeOne) {
  options_.frames = 30;
  probe_.onTick = [](int tick) {
    if (tick == 3) g_probe->fatal = "ig.bar is damaged: entry 12 does not decode";
  };
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(probe_.ticks, 3);
  EXPECT_EQ(probe_.releases, 1);
  EXPECT_EQ(wince::frameCount(), 2u);  // the frame that found it is not shown
  EXPECT_EQ(
      wince::countCalls("MessageBoxW([Korvane], \"ig.bar is damaged: entry 12 does not decode\", \"Korvane\", 16)"),
      1u);
}

TEST_F(HostRun, LandscapeStartShowsTheNoticeAndTurnsBack) {
  options_.frames = 3;
  options_.orientation = DMDO_90;
  run();
  EXPECT_EQ(wince::countCalls("MessageBoxW([Korvane], \"This application only runs in Portrait Mode\", \"Notice\""),
            1u);
  EXPECT_EQ(hostState().savedOrientation, DMDO_90);
  // Quitting puts the user's orientation back.
  EXPECT_EQ(wince::orientation(), DMDO_90);
}

TEST_F(HostRun, SecondInstanceBringsTheFirstToTheFront) {
  setUp_ = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Korvane";
    RegisterClassW(&wc);
    CreateWindowExW(0, u"Korvane", u"Korvane", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    wince::clearCallLog();
  };
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(exited_);
  EXPECT_EQ(probe_.inits, 0);
  EXPECT_EQ(wince::countCalls("SetForegroundWindow([Korvane]"), 1u);
  EXPECT_EQ(wince::countCalls("CoUninitialize"), 0u);
}

TEST_F(HostRun, QuitRequestFromTheGameEndsTheRun) {
  probe_.onTick = [](int tick) {
    if (tick == 4) g_probe->quitRequested = true;
  };
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(probe_.ticks, 4);
  EXPECT_EQ(probe_.releases, 1);
}

TEST_F(HostRun, ClearedRunningFlagEndsInOrder) {
  probe_.onTick = [](int tick) {
    if (tick == 3) *getShellHost()->runningFlag() = 0;
  };
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(exited_);
  EXPECT_EQ(probe_.releases, 1);
  EXPECT_EQ(getShellHost(), nullptr);
  EXPECT_EQ(wince::countCalls("CoUninitialize"), 1u);
}

TEST_F(HostRun, KeyMessages) {
  options_.frames = 6;
  probe_.onTick = [](int tick) {
    HWND w = hostState().window;
    if (tick == 1) {
      SendMessageW(w, WM_KEYDOWN, VK_F1, 0);
      EXPECT_EQ(hostState().swallowNextCharacter, 1);
      SendMessageW(w, WM_CHAR, 'a', 0);
      EXPECT_EQ(hostState().swallowNextCharacter, 0);
      wince::clearCallLog();
      SendMessageW(w, WM_KEYDOWN, VK_F4, 0);
      EXPECT_EQ(wince::countCalls("ShowWindow([Korvane], 6)"), 1u);
      SendMessageW(w, WM_USER + 1, 1, 0);
      EXPECT_EQ(wince::countCalls("SHFullScreen([Korvane], 38)"), 1u);
      EXPECT_EQ(wince::countCalls("SHOrdinal21([Korvane], 0)"), 1u);
      // The minimised window presents no more frames: end the run.
      g_probe->quitRequested = true;
    }
  };
  run();
}

TEST_F(HostRun, KillFocusWithARotatedDisplayKeepsRunning) {
  options_.frames = 8;
  probe_.onTick = [](int tick) {
    if (tick == 2) {
      wince::setOrientation(DMDO_90);
      SendMessageW(hostState().window, WM_KILLFOCUS, 0, 0);
      EXPECT_EQ(hostState().paused, 0);
      wince::setOrientation(DMDO_0);
      SendMessageW(hostState().window, WM_KILLFOCUS, 0, 0);
      EXPECT_EQ(hostState().paused, 1);
      SendMessageW(hostState().window, WM_SETFOCUS, 0, 0);
      EXPECT_EQ(hostState().paused, 0);
    }
  };
  run();
}

TEST(ScaleBlit, RepeatedMapEntriesAverageNeighbours) {
  std::vector<uint16_t> src(240 * 320), dst(240 * 320);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i * 40503u);
  std::vector<uint16_t> xMap(241), yMap(321);
  for (int i = 0; i <= 240; ++i) xMap[i] = static_cast<uint16_t>(i);
  for (int j = 0; j <= 320; ++j) yMap[j] = static_cast<uint16_t>(j);
  scaleBlit(src.data(), dst.data(), xMap.data(), yMap.data());
  EXPECT_EQ(dst, src);

  // Column 1 repeats column 0, row 1 repeats row 0 and the last row repeats
  // the last source row (its neighbour is clamped inside the buffer).
  xMap[1] = 0;
  yMap[1] = 0;
  yMap[319] = 318;
  yMap[318] = 318;
  auto S = [&](int x, int y) -> uint32_t { return src[y * 240 + x]; };
  auto avg = [](uint32_t a, uint32_t b) { return (((a & 0xF7DE) >> 1) + ((b & 0xF7DE) >> 1)) & 0xF7DE; };
  scaleBlit(src.data(), dst.data(), xMap.data(), yMap.data());
  auto D = [&](int x, int y) -> uint32_t { return dst[y * 240 + x]; };
  EXPECT_EQ(D(0, 0), S(0, 0));
  EXPECT_EQ(D(1, 0), avg(S(0, 0), S(1, 0)));
  EXPECT_EQ(D(5, 0), S(5, 0));
  EXPECT_EQ(D(5, 1), avg(S(5, 0), S(5, 1)));
  EXPECT_EQ(D(1, 1), ((avg(S(0, 0), S(0, 1)) & 0xF7DE) >> 1) + ((avg(S(1, 0), S(1, 1)) & 0xF7DE) >> 1));
  EXPECT_EQ(D(5, 7), S(5, 7));
  EXPECT_EQ(D(5, 319), avg(S(5, 318), S(5, 319)));
  for (int x = 2; x < 240; ++x) EXPECT_EQ(D(x, 1) & 0x0821, 0u) << x;  // two-pixel means lose the low bits
}

// The copy through the maps one pixel at a time, as a reference for the
// planned copy: every scale, random and out-of-range maps.
void scaleBlitReference(const uint16_t* src, uint16_t* dst, const uint16_t* xMap, const uint16_t* yMap) {
  constexpr uint32_t M = 0xF7DE;
  auto avg = [](uint32_t a, uint32_t b) -> uint32_t { return (((a & M) >> 1) + ((b & M) >> 1)) & M; };
  auto clampX = [](uint32_t x) -> uint32_t { return x < 240 ? x : 239; };
  auto clampY = [](uint32_t y) -> uint32_t { return y < 320 ? y : 319; };
  int64_t prevRow = -1;
  for (int j = 0; j < 320; ++j) {
    const uint32_t y = clampY(yMap[j]);
    const uint16_t* p = src + y * 240;
    const uint16_t* q = src + clampY(y + 1) * 240;
    const bool repeatedRow = y == prevRow;
    prevRow = y;
    int64_t prevCol = -1;
    for (int i = 0; i < 240; ++i) {
      const uint32_t x = clampX(xMap[i]), x1 = clampX(x + 1);
      const bool repeatedCol = x == prevCol;
      prevCol = x;
      uint32_t v;
      if (repeatedRow)
        v = repeatedCol ? ((avg(p[x], q[x]) & M) >> 1) + ((avg(p[x1], q[x1]) & M) >> 1) : avg(p[x], q[x]);
      else
        v = repeatedCol ? avg(p[x], p[x1]) : p[x];
      dst[j * 240 + i] = static_cast<uint16_t>(v);
    }
  }
}

TEST(ScaleBlit, PlannedCopyEqualsThePixelWalkForEveryMap) {
  uint32_t seed = 12345;
  auto rnd = [&] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<uint16_t> src(240 * 320), want(240 * 320), got(240 * 320);
  for (uint16_t& v : src) v = static_cast<uint16_t>(rnd() >> 16);
  std::vector<uint16_t> xMap(241), yMap(321);
  // Map kinds: 0 identity, 1 a smaller source stretched, 2 a larger one
  // shrunk, 3 sorted random, 4 random with repeats and values past the edge,
  // 5 identity columns with stretched rows, 6 stretched columns with identity rows.
  for (int kind = 0; kind < 7; ++kind) {
    for (int trial = 0; trial < 12; ++trial) {
      const int sw = 1 + static_cast<int>(rnd() % 480), sh = 1 + static_cast<int>(rnd() % 640);
      for (int i = 0; i <= 240; ++i) {
        uint32_t v = static_cast<uint32_t>(i);
        if (kind == 1 || kind == 2 || kind == 6) v = static_cast<uint32_t>(i * (kind == 1 ? sw % 240 + 1 : sw) / 240);
        if (kind == 3) v = rnd() % 240;
        if (kind == 4) v = (rnd() % 3 == 0) ? (i == 0 ? 0 : xMap[i - 1]) : rnd() % 300;
        xMap[i] = static_cast<uint16_t>(v);
      }
      for (int j = 0; j <= 320; ++j) {
        uint32_t v = static_cast<uint32_t>(j);
        if (kind == 1 || kind == 2 || kind == 5) v = static_cast<uint32_t>(j * (kind == 1 ? sh % 320 + 1 : sh) / 320);
        if (kind == 3) v = rnd() % 320;
        if (kind == 4) v = (rnd() % 3 == 0) ? (j == 0 ? 0 : yMap[j - 1]) : rnd() % 400;
        yMap[j] = static_cast<uint16_t>(v);
      }
      if (kind == 3) {
        std::sort(xMap.begin(), xMap.end());
        std::sort(yMap.begin(), yMap.end());
      }
      scaleBlitReference(src.data(), want.data(), xMap.data(), yMap.data());
      std::fill(got.begin(), got.end(), 0xABCD);
      scaleBlit(src.data(), got.data(), xMap.data(), yMap.data());
      ASSERT_EQ(got, want) << "map kind " << kind << ", trial " << trial;
    }
  }
}

}  // namespace
