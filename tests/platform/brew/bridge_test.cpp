#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/brew/AppletGameBridge.h"
#include "platform/brew/ApplicationImpl.h"
#include "platform/brew/GameBase.h"
#include "windows_brew/AppletSeam.h"
#include "windows_brew/ShellHost.h"
#include "zul/2d/MutableImage.h"

namespace {

struct GameLog {
  std::vector<std::string> calls;
  bool failCreation = false;
  int destroyed = 0;
  MutableImage* createdOn = nullptr;
  GameServices::TouchMode touchMode = GameServices::TouchMode::Free;
  bool keyDown = false;
};
GameLog g_log;

class RecordingGame : public GameBase {
 public:
  explicit RecordingGame(MutableImage* image) : GameBase(image) {}
  ~RecordingGame() override { g_log.destroyed += 1; }
  void init() override { g_log.calls.push_back("init"); }
  void resume(int32_t v) override { g_log.calls.push_back("resume " + std::to_string(v)); }
  void suspend(int32_t v) override { g_log.calls.push_back("suspend " + std::to_string(v)); }
  void update(Graphics*) override { g_log.calls.push_back("update"); }
  void keyPressed(int32_t k) override { g_log.calls.push_back("press " + std::to_string(k)); }
  void keyReleased(int32_t k) override { g_log.calls.push_back("release " + std::to_string(k)); }
  TouchMode touchMode() const override { return g_log.touchMode; }
  void updateKeys() override { g_log.calls.push_back("keys"); }
  bool isAnyKeyPressed() const override { return g_log.keyDown; }
};

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override { g_log = GameLog(); }
};

}  // namespace

GameBase* createGame(MutableImage* image) {
  g_log.createdOn = image;
  if (g_log.failCreation) return nullptr;
  return new RecordingGame(image);
}

TEST_F(BridgeTest, CreatesAndInitialisesTheGameOnTheImage) {
  MutableImage image(240, 320, 16);
  AppletGameBridge bridge(nullptr, &image);
  EXPECT_EQ(bridge.getGame(), nullptr);
  EXPECT_FALSE(bridge.isQuitRequested());
  bridge.createGame();
  ASSERT_NE(bridge.getGame(), nullptr);
  EXPECT_EQ(g_log.createdOn, &image);
  EXPECT_EQ(bridge.getGame()->getGraphics(), image.getGraphics());
  EXPECT_EQ(bridge.getGame()->getWidth(), 240);
  EXPECT_EQ(bridge.getGame()->getHeight(), 320);
  EXPECT_EQ(g_log.calls, std::vector<std::string>{"init"});
}

TEST_F(BridgeTest, PauseGatesTheUpdate) {
  AppletGameBridge bridge(nullptr, nullptr);
  bridge.createGame();
  g_log.calls.clear();
  bridge.update();
  bridge.pause();
  bridge.update();
  bridge.update();
  bridge.unpause();
  bridge.update();
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"update", "update"}));
}

TEST_F(BridgeTest, RoutesKeysSuspendAndResume) {
  AppletGameBridge bridge(nullptr, nullptr);
  bridge.createGame();
  g_log.calls.clear();
  bridge.keyEvent(1, 19);
  bridge.keyEvent(0, 19);
  bridge.keyEvent(0x80, 17);  // any non-zero byte is a press
  bridge.pause();
  bridge.keyEvent(1, 4);  // keys pass while paused
  bridge.suspendGame(3);
  bridge.resumeGame(4);
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"press 19", "release 19", "press 17", "press 4", "suspend 3",
                                                   "resume 4"}));
}

TEST_F(BridgeTest, QuitRequestSticks) {
  AppletGameBridge bridge(nullptr, nullptr);
  bridge.requestQuit();
  EXPECT_TRUE(bridge.isQuitRequested());
  bridge.createGame();
  bridge.update();
  EXPECT_TRUE(bridge.isQuitRequested());
}

TEST_F(BridgeTest, DestructorDeletesTheGame) {
  {
    AppletGameBridge bridge(nullptr, nullptr);
    bridge.createGame();
  }
  EXPECT_EQ(g_log.destroyed, 1);
  { AppletGameBridge never(nullptr, nullptr); }
  EXPECT_EQ(g_log.destroyed, 1);
}

TEST_F(BridgeTest, FailedCreationLeavesNoGame) {
  g_log.failCreation = true;
  AppletGameBridge bridge(nullptr, nullptr);
  bridge.createGame();
  EXPECT_EQ(bridge.getGame(), nullptr);
  EXPECT_TRUE(bridge.isQuitRequested());  // the host ends the program
  bridge.update();
  bridge.keyEvent(1, 19);
  bridge.suspendGame(0);
  bridge.resumeGame(0);
  EXPECT_TRUE(g_log.calls.empty());
}

TEST_F(BridgeTest, BaseGameOverridesNothingAndStillRuns) {
  MutableImage image(240, 320, 16);
  GameBase base(&image);
  base.init();
  base.resume(1);
  base.suspend(1);
  base.notify(1);
  base.update(base.getGraphics());
  base.keyPressed(19);
  base.keyReleased(19);
  EXPECT_EQ(base.getImage(), &image);
  GameBase none(nullptr);
  EXPECT_EQ(none.getGraphics(), nullptr);
  EXPECT_EQ(none.getWidth(), 0);
}

// This program links the host and the applet with the fake game above and
// nothing of the real one: the shell starts the applet, which creates the
// game; the host's touch glue and the applet's notice reach it only through
// its services.
TEST_F(BridgeTest, HostAndAppletRunAFakeGame) {
  std::vector<uint16_t> frameBuffer(240 * 320, 0);
  uint8_t running = 1;
  ShellHost shell(&running);
  shell.canvas().bind(frameBuffer.data(), 240, 320);
  registerApplet();
  ASSERT_EQ(shell.startApplet(), 1);
  ApplicationImpl* applet = getApplicationImpl();
  ASSERT_NE(applet, nullptr);
  GameServices* game = shell.getGame();
  ASSERT_NE(game, nullptr);
  EXPECT_EQ(game, static_cast<GameServices*>(applet->getBridge()->getGame()));
  EXPECT_EQ(g_log.createdOn, applet->getBackBuffer());
  shell.runAppletFrame();
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"init", "update"}));

  // Touches land in the game's touch fields; a drag follows the game's mode.
  const struct {
    GameServices::TouchMode mode;
    int32_t dragX, wantX;
  } drags[] = {{GameServices::TouchMode::Free, 103, 103}, {GameServices::TouchMode::Aim, 103, 100},
               {GameServices::TouchMode::Aim, 106, 106}};
  for (const auto& d : drags) {
    g_log.touchMode = d.mode;
    shell.pointerPressed(100, 150);
    EXPECT_EQ(game->pointerX, 100);
    EXPECT_EQ(game->pointerY, 150);
    shell.pointerDragged(d.dragX, 150);
    EXPECT_EQ(game->pointerX, d.wantX) << d.dragX;
    shell.pointerReleased(d.dragX, 151);
    EXPECT_EQ(game->pointerX, -1);
    EXPECT_EQ(game->releaseY, 151);
    EXPECT_EQ(game->pointerReleased, 1);
  }

  // Short storage: the notice holds the game until a key.
  game->releaseX = game->releaseY = -1;
  game->m_noSpaceState = 100;
  g_log.calls.clear();
  shell.runAppletFrame();
  EXPECT_EQ(g_log.calls, std::vector<std::string>{"keys"});
  EXPECT_EQ(frameBuffer[0], 0xFFFF);
  g_log.keyDown = true;
  shell.runAppletFrame();
  EXPECT_EQ(game->m_noSpaceState, 101);
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"keys", "keys", "update"}));

  shell.releaseApplet();
  delete applet;
  setAppletOps(nullptr);
  EXPECT_EQ(g_log.destroyed, 1);
}
