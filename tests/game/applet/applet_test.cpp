#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/Game/Game.h"
#include "platform/brew/AppletGameBridge.h"
#include "platform/brew/ApplicationImpl.h"
#include "platform/brew/NoticeFont.h"
#include "wince/layer.h"
#include "windows_brew/ShellHost.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

class AppletTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The save goes to a folder of this test's own: tests run side by side.
    writeDir = std::filesystem::temp_directory_path() /
               ("kv_applet_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(writeDir);
    std::filesystem::create_directories(writeDir);
    previousWriteDir = wince::writeDir();
    wince::setWriteDir(writeDir.string());
    frameBuffer.assign(240 * 320, 0x1234);
    shell = std::make_unique<ShellHost>(&running);
    shell->canvas().bind(frameBuffer.data(), 240, 320);
    registerApplet();
    ASSERT_EQ(shell->startApplet(), 1);
    applet = getApplicationImpl();
    ASSERT_NE(applet, nullptr);
    game = getGame();
    ASSERT_NE(game, nullptr);
  }
  void TearDown() override {
    shell->releaseApplet();
    delete applet;
    shell.reset();
    setAppletOps(nullptr);
    wince::setWriteDir(previousWriteDir);
    std::filesystem::remove_all(writeDir);
  }
  // Runs ticks until the game holds the logo (4.5 s, longer than a test).
  void reachLogo() {
    for (int i = 0; i < 40 && game->states.gameState != k_stateLogo; ++i) shell->runAppletFrame();
    // Past the key lock of the state change.
    for (int i = 0; i < 2; ++i) shell->runAppletFrame();
    ASSERT_EQ(game->states.gameState, k_stateLogo);
  }

  std::filesystem::path writeDir;
  std::string previousWriteDir;
  uint8_t running = 1;
  std::vector<uint16_t> frameBuffer;
  std::unique_ptr<ShellHost> shell;
  ApplicationImpl* applet = nullptr;
  cGame* game = nullptr;
};

}  // namespace

TEST_F(AppletTest, BackBufferIsTheFrameBuffer) {
  MutableImage* back = applet->getBackBuffer();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->getPixels(), frameBuffer.data());
  EXPECT_EQ(getBackBufferData(), frameBuffer.data());
  EXPECT_EQ(back->getWidth(), 240);
  EXPECT_EQ(back->getHeight(), 320);
  EXPECT_EQ(back->getPitch(), 480);
  EXPECT_EQ(back->getBitsPerPixel(), 16);
  EXPECT_EQ(game->getGraphics(), back->getGraphics());
  EXPECT_EQ(applet->getBridge()->m_screenHeight, 320);
  EXPECT_EQ(applet->isReady(), 255);
  EXPECT_NE(applet->getGlContext(), nullptr);
  EXPECT_EQ(getShellInterface(), nullptr);
  EXPECT_EQ(getDisplayInterface(), nullptr);
  EXPECT_EQ(shell->getGame(), game);
  // Drawing through the back buffer's context lands in the frame buffer.
  Graphics* g = back->getGraphics();
  g->setColor(0xFFFF0000);
  g->fillRect(10, 20, 1, 1);
  EXPECT_EQ(frameBuffer[20 * 240 + 10], 0xF800);
}

TEST_F(AppletTest, OneGameFramePerTickAndThePauseGate) {
  reachLogo();
  int32_t frames = game->frame.frontEndFrameCount;
  shell->runAppletFrame();
  shell->runAppletFrame();
  EXPECT_EQ(game->frame.frontEndFrameCount, frames + 2);
  shell->suspendApplet();
  shell->runAppletFrame();
  EXPECT_EQ(game->frame.frontEndFrameCount, frames + 2);
  shell->resumeApplet();
  shell->runAppletFrame();
  EXPECT_EQ(game->frame.frontEndFrameCount, frames + 3);
}

TEST_F(AppletTest, NoticeHoldsTheGameUntilAQualifyingKey) {
  reachLogo();
  int32_t frames = game->frame.frontEndFrameCount;
  game->m_noSpaceState = 100;
  shell->runAppletFrame();
  shell->runAppletFrame();
  EXPECT_EQ(game->frame.frontEndFrameCount, frames);
  EXPECT_EQ(frameBuffer[0], 0xFFFF);            // white screen
  EXPECT_EQ(frameBuffer[319 * 240 + 239], 0xFFFF);
  int dark = 0;
  for (int y = 10; y < 24; ++y)
    for (int x = 0; x < 240; ++x) dark += frameBuffer[y * 240 + x] == 0;
  EXPECT_GT(dark, 50);  // the first line's text

  game->keyPressed(22);  // the one key that keeps the notice
  game->keyReleased(22);
  shell->runAppletFrame();
  EXPECT_EQ(game->m_noSpaceState, 100);
  EXPECT_EQ(game->frame.frontEndFrameCount, frames);

  game->keyPressed(19);
  game->keyReleased(19);
  shell->runAppletFrame();
  EXPECT_EQ(game->m_noSpaceState, 101);
  EXPECT_EQ(game->frame.frontEndFrameCount, frames + 1);  // same tick runs the frame
}

// Every letter of the notice is drawn: none is left out of its font.
TEST(NoticeFont, HasEveryLetterOfTheNotice) {
  for (const auto& line : ApplicationImpl::kNoticeText) {
    for (const char16_t* c = line; *c; ++c) {
      if (*c == u' ') continue;
      const char16_t one[2] = {*c, 0};
      std::vector<uint16_t> pixels(16 * 16, 0xFFFF);
      drawNoticeText(pixels.data(), 16, 16, 16, 0, 0, one, 0);
      EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0), 0) << static_cast<char>(*c);
    }
  }
}

TEST_F(AppletTest, PenUpDismissesTheNotice) {
  reachLogo();
  game->m_noSpaceState = 100;
  shell->pointerPressed(120, 160);
  shell->runAppletFrame();
  EXPECT_EQ(game->m_noSpaceState, 100);  // still pressed
  shell->pointerReleased(120, 160);
  shell->runAppletFrame();
  EXPECT_EQ(game->m_noSpaceState, 101);
  EXPECT_EQ(game->releaseX, -1);  // consumed
}

// The program's exit is caught here rather than in a forked child: the
// audio device's thread is running, and a fork's copy of the process may
// hang in its exit.
TEST_F(AppletTest, BackOnTheNoticeQuits) {
  reachLogo();
  game->m_noSpaceState = 100;
  game->keyPressed(20);
  wince::throwOnExit();
  int code = -1;
  try {
    shell->runAppletFrame();
  } catch (const wince::ExitRequest& e) {
    code = e.code;
  }
  wince::setExitHook(nullptr);
  EXPECT_EQ(code, 0);
}

TEST_F(AppletTest, EventsAndKeyConversion) {
  EXPECT_EQ(ConvertKey(applet, 8), 20);
  EXPECT_EQ(ConvertKey(applet, 53), 23);
  reachLogo();
  EXPECT_EQ(handleAppletEvent(applet, 0x100, 8), 1);  // key: press of back
  shell->runAppletFrame();
  EXPECT_TRUE(game->keys.isHeld(0x100000));
  EXPECT_EQ(handleAppletEvent(applet, 0x102, 8), 1);
  EXPECT_EQ(handleAppletEvent(applet, 8, 0), 1);
  EXPECT_EQ(handleAppletEvent(applet, 0x405, 0), 1);
  EXPECT_EQ(handleAppletEvent(applet, 0x777, 0), 0);
  EXPECT_EQ(handleAppletEvent(applet, 0x10000 | 2, 0), 1);  // masked to suspend
  EXPECT_EQ(game->frame.suspended, 1);
  EXPECT_EQ(handleAppletEvent(applet, 3, 0), 1);
  EXPECT_EQ(game->frame.suspended, 0);
  EXPECT_EQ(game->keys.lockCount(), 5);
}

TEST_F(AppletTest, ReleaseTwiceIsHarmless) {
  shell->releaseApplet();
  EXPECT_EQ(applet->getBridge(), nullptr);
  EXPECT_EQ(applet->getBackBuffer(), nullptr);
  EXPECT_EQ(applet->getGlContext(), nullptr);
  EXPECT_EQ(getGame(), nullptr);
  shell->releaseApplet();
  shell->runAppletFrame();  // no bridge: nothing runs
  EXPECT_EQ(getAppletWord(), 0);
}
