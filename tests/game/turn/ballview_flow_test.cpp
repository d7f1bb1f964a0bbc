// The small 3D ball view over the data set's table, interfaces and pack: the
// opening count, the band that opens the picture, the cameras, the ball
// textures by rule set, the pot prediction and the turn flow that opens and
// shuts the view.
#include <cmath>
#include <memory>

#include "gles/GlContext.h"
#include "tests/game/turn/TurnFixture.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Angles.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DTexture.h"

namespace {

using turntest::TurnTest;

constexpr double kQ = 16384.0;

class BallViewFlow : public TurnTest {
 protected:
  void SetUp() override {
    gl = std::make_unique<GlContext>();
    setCurrentGlContext(gl.get());
    TurnTest::SetUp();
    if (IsSkipped()) return;
    const char* data = std::getenv("KV_DATA_DIR");
    for (const char* name : {"info.bar", "data000.bar"})
      std::filesystem::copy(std::string(data) + "/" + name, dir / name);
    ASSERT_TRUE(game->engine.resources.loadIndex());
    createGameObjects(*game);
    init3D(*game);
    load3DView(*game);
    g = screen.getGraphics();
  }
  void TearDown() override {
    TurnTest::TearDown();
    setCurrentGlContext(nullptr);
  }
  // Every object ball off the table, ball n at (x, y) and the cue ball at
  // (cx, cy) (file units), the aim from the cue ball to ball n.
  void setShot(int n, int x, int y, int cx, int cy, Q14 gauge) {
    PhysicsWorld& w = game->world;
    for (int j = 1; j < 16; ++j) w.balls[j]->pocketed = w.balls[j]->hidden = 1;
    for (auto [b, px, py] : {std::tuple{w.balls[n], x, y}, std::tuple{w.cueBall, cx, cy}}) {
      b->setPosition(px << 14, -(py << 14));
      b->pocketed = b->hidden = 0;
      b->speed = 0;
    }
    w.shot.aim.set((x - cx) << 14, (cy - y) << 14);
    w.shot.englishPoint.set(0, 0);
    w.shot.masse = 0;
    w.shot.powerGauge = gauge;
    w.copyBallsToShadows();
  }
  const uint16_t* pixels() const { return static_cast<const uint16_t*>(screen.getPixels()); }
  uint16_t* picture() { return static_cast<uint16_t*>(game->ballView.renderImage->getPixels()); }

  std::unique_ptr<GlContext> gl;
  MutableImage screen{240, 320, 16};
  Graphics* g = nullptr;
};

TEST_F(BallViewFlow, OpensTenFramesBeforeThePotAndShutsAtOnce) {
  struct Case {
    uint8_t open;
    int32_t countdown;
    int32_t countAfter[2];
  };
  const Case cases[] = {{1, 499, {1, 2}}, {1, 500, {0, 1}}, {1, -1, {1, 2}}, {0, 0, {0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.countdown);
    game->ballView.count = 0;
    game->ballView.open = c.open;
    game->ballView.potCountdown = c.countdown;
    for (int i = 0; i < 2; ++i) {
      paintBallView(*game, g);
      EXPECT_EQ(game->ballView.count, c.countAfter[i]);
      EXPECT_EQ(game->ballView.potCountdown, c.countdown - 50 * (i + 1));
    }
  }
  // Open for good at 4; the flag cleared shuts it in the same frame.
  for (int i = 0; i < 6; ++i) paintBallView(*game, g);
  game->ballView.open = 1;
  for (int i = 0; i < 6; ++i) paintBallView(*game, g);
  EXPECT_EQ(game->ballView.count, 4);
  game->ballView.followedSlot = 5;
  game->ballView.open = 0;
  paintBallView(*game, g);
  EXPECT_EQ(game->ballView.count, 0);
  EXPECT_EQ(game->ballView.followedSlot, 0);
}

// Counts 1-3 show the middle 26, 52 and 78 rows of the picture rendered in
// the frame before, over the view box cleared to black; 4 shows all of it.
TEST_F(BallViewFlow, PictureOpensFromItsMiddleRowOneFrameLate) {
  game->ballView.open = 1;
  game->ballView.potCountdown = 0;
  game->ballView.predictedSlot = -1;  // no camera: the new picture is the clear colour
  for (int count = 1; count <= 4; ++count) {
    SCOPED_TRACE(count);
    for (int i = 0; i < 56 * 104; ++i) picture()[i] = static_cast<uint16_t>(i + 1);
    std::fill_n(static_cast<uint16_t*>(screen.getPixels()), 240 * 320, 0xFFFF);
    paintBallView(*game, g);
    ASSERT_EQ(game->ballView.count, count);
    const int32_t x = game->ballView.viewBox[0], top = game->ballView.viewBox[1] - 52;
    ASSERT_EQ(top, game->ballView.viewRect[1]);
    const int band = count * 26;
    for (int r = 0; r < 104; ++r)
      for (int c = 0; c < 56; ++c) {
        const bool in = r >= 52 - band / 2 && r < 52 + band / 2;
        ASSERT_EQ(pixels()[(top + r) * 240 + x + c], in ? r * 56 + c + 1 : 0) << r << "," << c;
      }
    // The swap wrote this frame's picture for the next one.
    EXPECT_EQ(std::count(picture(), picture() + 56 * 104, 0), 56 * 104);
  }
  // What the copy leaves for the next picture.
  EXPECT_EQ(gl->m_clearRed + gl->m_clearGreen + gl->m_clearBlue, 0);
  EXPECT_EQ(gl->m_clearAlpha, 255);
  EXPECT_TRUE(gl->m_capDepthTest);
  EXPECT_EQ(gl->m_matrixMode, static_cast<GLenum>(GL_MODELVIEW));
}

TEST_F(BallViewFlow, PocketAndFollowCameras) {
  // The top left pocket; the camera looks at it from 100 units outside it.
  const int32_t tx = tableToViewX(14 << 14), ty = tableToViewY(-(17 << 14));
  game->ballView.potTarget[0] = tx;
  game->ballView.potTarget[1] = ty;
  game->ballView.predictedSlot = 3;
  game->ballView.followedSlot = 0;
  const double toPocket = std::atan2(-ty, -tx) * 180 / M_PI, len = std::hypot(tx, ty);
  struct Case {
    int32_t count;
    double weight;
  };
  for (const Case& c : {Case{2, 1.0}, Case{3, 0.3}}) {
    SCOPED_TRACE(c.count);
    game->ballView.count = c.count;
    game->ballView.ballYaw = 10 << 14;
    ASSERT_TRUE(updateBallViewCamera(*game, -1));
    const double yaw = 10 + (toPocket - 10) * c.weight;
    // The angle tables are good to 0.2 degrees.
    EXPECT_NEAR(game->ballView.ballYaw / kQ, yaw, 0.25);
    const double turned = game->ballView.ballYaw / kQ * M_PI / 180;
    EXPECT_NEAR(game->ballView.ballCameraX / kQ, (tx - 100 * kQ * std::cos(turned)) / kQ, 0.1);
    EXPECT_NEAR(game->ballView.ballCameraY / kQ, (ty - 100 * kQ * std::sin(turned)) / kQ, 0.1);
    if (c.weight == 1.0) {
      EXPECT_NEAR(std::hypot(game->ballView.ballCameraX, game->ballView.ballCameraY), len + 100 * kQ, 0.5 * kQ);
    }
    EXPECT_EQ(game->ballView.ballPitch, -983040);
    // The camera: (x / 10, height, -y / 10), angles (pitch, yaw - 90, roll).
    const Camera& cam = game->ballView.camera;
    EXPECT_EQ(cam.position, Vector3(game->ballView.ballCameraX / 10, 0x78000, -(game->ballView.ballCameraY / 10)));
    EXPECT_EQ(cam.angles, Vector3(-983040, game->ballView.ballYaw - 0x168000, 0));
  }
  // No prediction: no camera.
  game->ballView.predictedSlot = -1;
  EXPECT_FALSE(updateBallViewCamera(*game, -1));
  // The follow camera behind a ball rolling along +y, at twice the step.
  game->ballView.count = 1;
  game->ballView.followedSlot = 2;
  game->ballView.ballYaw = 0;
  game->ballView.ballCameraX = game->ballView.ballCameraY = 0;
  game->ballView.ballSlots.directionX[2] = 0;
  game->ballView.ballSlots.directionY[2] = 16384;
  game->ballView.ballSlots.x[2] = 300 << 14;
  game->ballView.ballSlots.y[2] = 500 << 14;
  ASSERT_TRUE(updateBallViewCamera(*game, 0));
  EXPECT_NEAR(game->ballView.ballYaw / kQ, 90, 0.25);
  EXPECT_NEAR(game->ballView.ballCameraX / kQ, 600, 0.5);
  EXPECT_NEAR(game->ballView.ballCameraY / kQ, 2 * (500 - 200), 0.5);
  EXPECT_EQ(game->ballView.ballPitch, -737280);
}

// The slots follow the ball list from the cue ball: view units, a hidden
// ball shows nothing, nor does a slot no ball filled.
TEST_F(BallViewFlow, SlotsFollowTheBallList) {
  PhysicsWorld& w = game->world;
  setShot(3, 40, 45, 67, 74, 0);
  w.balls[3]->direction.set(0, -16384);
  game->ballView.ballSlots.visible[20] = 1;
  updateBallViewSlots(*game);
  const auto& s = game->ballView.ballSlots;
  for (int k = 0; k < 32; ++k) EXPECT_EQ(s.visible[k], k == 0 || k == 3) << k;
  EXPECT_EQ(s.number[3], 3);
  EXPECT_EQ(s.x[3], tableToViewX(40 << 14));
  EXPECT_EQ(s.y[3], tableToViewY(-(45 << 14)));
  EXPECT_EQ(s.directionY[3], -16384);
}

TEST_F(BallViewFlow, BallTexturesByRuleSetAndTheirRelease) {
  GL3DTextureManager& textures = game->engine.renderer.getTextures();
  const int32_t loaded = textures.getCount();
  for (int32_t rules = k_ruleSetEightBall; rules <= k_ruleSetNineBall; ++rules) {
    SCOPED_TRACE(rules);
    releaseBallViewData(*game);
    EXPECT_EQ(textures.getCount(), 0);
    EXPECT_EQ(game->ballView.tableModel, nullptr);
    game->match.ruleSet = rules;
    game->setup.tableIndex = 4;
    load3DView(*game);
    for (int32_t i = 0; i < 16; ++i) {
      const int32_t uk = i == 0 ? 0 : i < 8 ? 3 : i == 8 ? 8 : 1;
      EXPECT_EQ(game->ballView.ballTextures[i], textures.getTexture(rules == 1 ? uk : i)) << i;
    }
    EXPECT_EQ(game->ballView.tableTexture, textures.getTexture(24));
    EXPECT_NE(game->ballView.tableModel, nullptr);
    EXPECT_NE(game->ballView.ballModel, nullptr);
    EXPECT_NE(game->ballView.heldModel, nullptr);
  }
  // A match after a match holds as many textures as the first.
  game->match.ruleSet = k_ruleSetEightBall;
  game->setup.tableIndex = 0;
  releaseBallViewData(*game);
  load3DView(*game);
  EXPECT_EQ(textures.getCount(), loaded);
}

// The prediction on the shadows: which ball comes within 20 units of a
// pocket, when, and the pocket; the balls and the game's reactions untouched.
TEST_F(BallViewFlow, PredictionOnTheShadows) {
  PhysicsWorld& w = game->world;
  struct Case {
    const char* name;
    int ball, x, y, cx, cy;
    Q14 gauge;
    bool cueAtPocket;  // aimed at the bottom left pocket instead of the ball
    uint8_t breakPlayed, tableOpen;
    uint32_t group;
    int32_t want;
    bool target;  // the pocket becomes the target
  };
  const Case cases[] = {
      {"potted", 1, 40, 45, 67, 74, 11000, false, 1, 1, 0, 1, true},
      {"potted, own group", 3, 40, 45, 67, 74, 11000, false, 1, 0, RuleState::kSolids, 3, true},
      {"potted, other group", 3, 40, 45, 67, 74, 11000, false, 1, 0, RuleState::kStripes, -1, false},
      {"too soft", 1, 84, 150, 84, 200, 600, false, 1, 1, 0, -1, false},
      // Ball 1 never moves; the cue ball drops.
      {"cue ball potted", 1, 84, 150, 40, 241, 11000, true, 1, 1, 0, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setShot(c.ball, c.x, c.y, c.cx, c.cy, c.gauge);
    if (c.cueAtPocket) w.shot.aim.set(-(26 << 14), -(44 << 14));
    w.breakPlayed = c.breakPlayed;
    game->rules.tableOpen = c.tableOpen;
    game->rules.playerGroup[0] = c.group;
    game->match.currentPlayer = 0;
    game->ballView.potCountdown = -12345;
    game->ballView.potTarget[0] = game->ballView.potTarget[1] = 777;
    PoolHooks* hooks = w.hooks;
    Random* random = w.random;
    const uint32_t seed = game->engine.random->x;
    EXPECT_EQ(predictPottedBall(*game), c.want);
    EXPECT_EQ(game->ballView.predictedSlot, c.want);
    if (c.want < 0) {
      EXPECT_EQ(game->ballView.potCountdown, -12345);
    } else {
      EXPECT_GT(game->ballView.potCountdown, 0);
      EXPECT_EQ(game->ballView.potCountdown % 50, 0);
    }
    const PhysicalObject* pocket = w.pockets[0];
    for (const PhysicalObject* p : w.pockets)
      if (p && std::abs((p->position.x >> 14) - 14) + std::abs((p->position.y >> 14) + 17) < 4) pocket = p;
    EXPECT_EQ(game->ballView.potTarget[0], c.target ? tableToViewX(pocket->position.x) : 777);
    EXPECT_EQ(game->ballView.potTarget[1], c.target ? tableToViewY(pocket->position.y) : 777);
    // The shadows are the balls again; the game's reactions and draws were
    // left out; real contacts count again.
    for (int j = 0; j < 16; ++j) {
      EXPECT_EQ(w.balls[j]->shadow->position.x, w.balls[j]->position.x) << j;
      EXPECT_EQ(w.balls[j]->shadow->position.y, w.balls[j]->position.y) << j;
      EXPECT_EQ(w.balls[j]->speed, 0) << j;
    }
    EXPECT_EQ(w.hooks, hooks);
    EXPECT_EQ(w.random, random);
    EXPECT_EQ(game->engine.random->x, seed);
    EXPECT_EQ(w.shot.previewFlag, 0);
    w.shot.clearEvents();
    onContact(*game, w.cueBall, w.balls[c.ball]);
    EXPECT_EQ(w.shot.eventCount, 1);
  }
  // Before the break a near ball is still the prediction, but the target
  // stays where it was unless the ball drops.
  setShot(1, 40, 45, 67, 74, 11000);
  w.breakPlayed = 0;
  game->rules.tableOpen = 1;
  game->ballView.potTarget[0] = 777;
  EXPECT_EQ(predictPottedBall(*game), 1);
  EXPECT_NE(game->ballView.potTarget[0], 777);
}

// The turn flow opens the view at the human's strike, the computer's never;
// it shuts when the balls rest.
TEST_F(BallViewFlow, TheHumansStrikeOpensTheView) {
  startQuickMatch(k_ruleSetUK);
  for (int i = 0; i < 400 && !(game->states.gameState == k_stateAim && game->match.currentPlayer == 0); ++i) {
    if (game->states.gameState != k_stateAim)
      tap(turntest::kKeyFire);
    else
      frame();
  }
  ASSERT_EQ(game->states.gameState, k_stateAim);
  ASSERT_EQ(game->world.breakPlayed, 0);
  tap(turntest::kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateShotPower);
  frames(10);
  tap(turntest::kKeyFire);
  ASSERT_TRUE(runUntil(k_stateBallsMoving));
  EXPECT_EQ(game->ballView.open, 1);  // the break: whatever the prediction
  ASSERT_TRUE(runUntil(k_stateAfterShot));
  EXPECT_EQ(game->ballView.open, 0);
  for (int i = 0; i < 2000 && !(game->states.gameState == k_stateBallsMoving && game->match.currentPlayer == 1); ++i) {
    if (game->states.gameState == k_stateAim || game->states.gameState == k_stateShotPower)
      tap(turntest::kKeyFire);
    else
      frame();
  }
  ASSERT_EQ(game->match.currentPlayer, 1);
  EXPECT_EQ(game->ballView.open, 0);
}

}  // namespace
