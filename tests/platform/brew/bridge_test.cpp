#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/brew/AppletGameBridge.h"
#include "platform/brew/GameBase.h"
#include "zul/2d/MutableImage.h"

namespace {

struct GameLog {
  std::vector<std::string> calls;
  bool failCreation = false;
  int destroyed = 0;
  MutableImage* createdOn = nullptr;
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
