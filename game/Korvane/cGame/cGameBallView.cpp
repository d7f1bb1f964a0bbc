// The small 3D ball view under the HUD panel: its render image, models and
// textures, the view box and the view-unit conversions; the per-frame paint
// (the picture rendered in the frame before, opened from its middle row),
// the pocket and follow cameras, and the pot prediction on the shadows.
#include <algorithm>
#include <climits>
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "korvane/gl.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Angles.h"
#include "zul/3d/GL3DASEFileResource.h"

namespace {
constexpr int32_t kViewInterface = k_interfaceHud;
constexpr int32_t kViewW = k_ballViewWidth, kViewH = k_ballViewHeight;
// Frame sprite, caption box and view box of each player.
constexpr int32_t kFrameElement[2] = {k_elBallViewFrame0, k_elBallViewFrame1};
constexpr int32_t kCaptionElement[2] = {k_elBallViewCaption0, k_elBallViewCaption1};
constexpr int32_t kBoxElement[2] = {k_elBallViewBox0, k_elBallViewBox1};
constexpr int32_t kCaptionAbove = k_textBallViewAbove, kCaptionBelow = k_textBallViewBelow;
constexpr int32_t kCaptionFont = k_font0, kCaptionPalette = 1;
constexpr int32_t kAnchorBottomCentre = 0x420, kAnchorTopCentre = 0x120;
constexpr int32_t kFullCount = 4;
constexpr int32_t kOpenBefore = 500;  // time units before the pot
constexpr int32_t kFrameTime = 50;    // time units of one physics frame
constexpr Q14 kSmoothStep = 4915;     // 0.3
constexpr Q14 kPocketPitch = -983040;  // -60.0
constexpr Q14 kFollowPitch = -737280;  // -45.0
constexpr Q14 kTableTurn = -2949120;   // -180.0 about y
constexpr int32_t kPocketBack = 100, kFollowBack = 200;  // view units behind the target
constexpr int32_t kPredictFrames = 100;
constexpr int64_t kNearest = 400;  // squared whole units: 20 from a pocket
}  // namespace

Q14 tableToViewX(Q14 x) {
  return wrapMul(q14Div(wrapSub(wrapSub(x, 0x44000), 0x21C000 / 2) >> 2, 0x21C000 >> 2), 1400);
}

Q14 tableToViewY(Q14 y) {
  return wrapMul(q14Div(wrapAdd(wrapAdd(y, 0x50000), 0x418000 / 2) >> 2, 0x418000 >> 2), 2350);
}

void resetBallView(cGame& game) {
  game.ballView.count = 0;
  game.ballView.predictedSlot = -1;
  game.ballView.potCountdown = -1;
  game.ballView.followedSlot = 0;
  game.ballView.open = 0;
  game.ballView.ballCameraX = game.ballView.ballCameraY = 0;
  game.ballView.ballYaw = game.ballView.ballPitch = game.ballView.ballRoll = 0;
  game.ballView.potTarget[0] = game.ballView.potTarget[1] = 0;
  game.ballView.ballSlots = BallViewSlots{};
}

void init3D(cGame& game) {
  if (game.ballView.renderImage) return;
  game.ballView.renderImage = new MutableImage(kViewW, kViewH, 16);
  game.engine.renderer.init(game.ballView.renderImage);
  game.engine.renderer.setNativeWindow(game.ballView.renderImage->getPixels());
}

void load3DView(cGame& game) {
  GL3DTextureManager& textures = game.engine.renderer.getTextures();
  // The view cannot be drawn without any of them: the first that does not
  // load is reported.
  int32_t bad = -1;
  auto need = [&bad](const void* loaded, int32_t id) {
    if (!loaded && bad < 0) bad = id;
  };
  for (int32_t i = 0; i < 16; ++i) {
    // UK eight-ball: reds show texture 3, yellows texture 1.
    int32_t id = i;
    if (game.match.ruleSet == k_ruleSetUK) id = i == 0 ? 0 : i < 8 ? 3 : i == 8 ? 8 : 1;
    game.ballView.ballTextures[i] = textures.getTexture(k_resBallTexture0 + id);
    need(game.ballView.ballTextures[i], k_resBallTexture0 + id);
  }
  game.ballView.tableModel = game.engine.resources.get<GL3DASEFileResource>(k_resTableModel);
  game.ballView.tableTexture = textures.getTexture(k_resClothTexture0 + game.setup.tableIndex);
  if (game.ballView.tableModel) game.ballView.tableModel->setTexture(game.ballView.tableTexture);
  game.ballView.ballModel = game.engine.resources.get<GL3DASEFileResource>(k_resBallModel);
  game.ballView.heldModel = game.engine.resources.get<GL3DASEFileResource>(k_resHeldModel);
  need(game.ballView.tableModel, k_resTableModel);
  need(game.ballView.tableTexture, k_resClothTexture0 + game.setup.tableIndex);
  need(game.ballView.ballModel, k_resBallModel);
  need(game.ballView.heldModel, k_resHeldModel);
  if (bad >= 0) reportDataError(game, GameResourceManager::kPackFile, "is damaged: resource %d does not decode", bad);
  placeBallView(game, 0);
  setViewport3D(game, game.ballView.viewBox[0], game.ballView.viewBox[1] - game.ballView.viewBox[3] / 2,
                game.ballView.viewBox[2], game.ballView.viewBox[3]);
}

void releaseBallViewData(cGame& game) {
  game.engine.resources.release(game.ballView.tableModel);
  game.engine.resources.release(game.ballView.ballModel);
  game.engine.resources.release(game.ballView.heldModel);
  game.ballView.tableModel = game.ballView.ballModel = game.ballView.heldModel = nullptr;
  game.ballView.tableTexture = nullptr;
  for (GL3DTexture*& t : game.ballView.ballTextures) t = nullptr;
  game.engine.renderer.getTextures().releaseAll();
}

void unload3DView(cGame& /*game*/) {}

void placeBallView(cGame& game, int32_t layout) {
  const int32_t e = kBoxElement[layout == 0 ? 0 : 1];
  const int32_t h = getInterfaceElementHeight(game, kViewInterface, e);
  game.ballView.viewBox[0] = getInterfaceElementX(game, kViewInterface, e) + game.table.panelX;
  game.ballView.viewBox[1] = getInterfaceElementY(game, kViewInterface, e) + h / 2;
  game.ballView.viewBox[2] = getInterfaceElementWidth(game, kViewInterface, e);
  game.ballView.viewBox[3] = h;
}

// Rows of the render image that fall inside the target's clip rows go to the
// view box's column, clipped to the clip and the target, at the target's pitch.
void blit3D(cGame& game) {
  Graphics* g = game.frontEnd.paintTarget ? game.frontEnd.paintTarget : game.getGraphics();
  if (game.ballView.renderImage && g && g->getTarget()) {
    Image* target = g->getTarget();
    const int32_t tw = target->getWidth(), th = target->getHeight();
    int32_t cx0 = g->translateX(g->getClipX()), cy0 = g->translateY(g->getClipY());
    int32_t cx1 = cx0 + g->getClipWidth(), cy1 = cy0 + g->getClipHeight();
    if (cx0 < 0) cx0 = 0;
    if (cy0 < 0) cy0 = 0;
    if (cx1 > tw) cx1 = tw;
    if (cy1 > th) cy1 = th;
    const int32_t vx = game.ballView.viewBox[0], top = game.ballView.viewRect[1];
    int32_t x0 = vx < cx0 ? cx0 : vx;
    int32_t x1 = vx + kViewW > cx1 ? cx1 : vx + kViewW;
    const auto* src = static_cast<const uint16_t*>(game.ballView.renderImage->getPixels());
    auto* dst = static_cast<uint16_t*>(target->getPixels());
    if (x1 > x0 && src && dst) {
      for (int32_t r = 0; r < kViewH; ++r) {
        const int32_t y = top + r;
        if (y < cy0 || y >= cy1) continue;
        std::memcpy(dst + static_cast<size_t>(y) * tw + x0, src + r * kViewW + (x0 - vx),
                    static_cast<size_t>(x1 - x0) * 2);
      }
    }
  }
  glClearColorx(0, 0, 0, 0x10000);
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void blit3DRect(cGame& game, int32_t, int32_t, int32_t, int32_t, int32_t) { blit3D(game); }
void blit3DFullScreen(cGame& game, int32_t flag) { blit3DRect(game, 0, 0, 240, 320, flag); }

void flush3D(cGame& game) {
  glFlush();
  game.engine.renderer.swapBuffers();
}

// ---- the per-frame paint

void paintBallView(cGame& game, Graphics* g) {
  const int32_t player = game.match.currentPlayer == 0 ? 0 : 1;
  const int32_t e = kCaptionElement[player];
  const int32_t captionX = getInterfaceElementX(game, kViewInterface, e) + game.table.panelX;
  const int32_t captionW = getInterfaceElementWidth(game, kViewInterface, e);
  if (game.ballView.open && game.ballView.potCountdown < kOpenBefore)
    game.ballView.count += 1;
  else
    game.ballView.count = 0;
  if (game.ballView.potCountdown >= INT32_MIN + kFrameTime) game.ballView.potCountdown -= kFrameTime;
  game.ballView.count = std::clamp(game.ballView.count, 0, kFullCount);
  if (game.ballView.count == 0) {
    game.ballView.followedSlot = 0;
    return;
  }
  if (!g) return;
  Graphics* const savedTarget = game.frontEnd.paintTarget;
  game.frontEnd.paintTarget = g;
  placeBallView(game, player);
  const int32_t x = game.ballView.viewBox[0], cy = game.ballView.viewBox[1], w = game.ballView.viewBox[2],
                h = game.ballView.viewBox[3];
  const int32_t top = cy - h / 2, bottom = cy + h / 2;
  if (game.ballView.count < kFullCount) {
    g->setColor(0);
    g->fillRect(x, top, w, h);
  }
  // The picture opens from its middle row outwards.
  const int32_t band = std::max(1, std::min(game.ballView.count * h / kFullCount, h));
  g->setClip(x, cy - band / 2, w, band);
  blit3DRect(game, x, cy - band / 2, w, band, 0);
  const bool placed = updateBallViewCamera(game, -1);
  updateBallViewSlots(game);
  // Without a camera the balls would land anywhere: the picture stays clear.
  if (placed) drawBallViewBalls(game);
  flush3D(game);
  game.resetClip(g);
  paintSpriteElementTo(game, kFrameElement[player], game.table.panelX, 0, false, g);

  ASprite* font = game.text.fonts[kCaptionFont];
  if (font) {
    const int32_t savedPalette = font->getCurrentPalette();
    font->setCurrentPalette(kCaptionPalette);
    const int32_t lh = font->getFontHeight();
    const int32_t cx = captionX + captionW / 2;
    drawString(game, g, game.text.fonts, kCaptionAbove, kCaptionFont, cx, top - lh, kAnchorBottomCentre);
    const int32_t aboveW = getStringWidth(game, font, kCaptionAbove);
    const int32_t textH = getMeasuredTextHeight(game, font);
    glowArea(game, g, x - 3, top - 2 * lh + 3, aboveW - 3, textH - 4, static_cast<int32_t>(pulse(game, 64, 0, 100)),
             static_cast<int32_t>(pulse(game, 64, 0, 75)), static_cast<int32_t>(pulse(game, 64, 0, 4)));
    drawString(game, g, game.text.fonts, kCaptionBelow, kCaptionFont, cx, bottom + lh, kAnchorTopCentre);
    const int32_t belowW = getStringWidth(game, font, kCaptionBelow);
    glowArea(game, g, x - 3, bottom + lh + 3, belowW - 3, textH - 4, static_cast<int32_t>(pulse(game, 64, 0, 100)),
             static_cast<int32_t>(pulse(game, 64, 0, 75)), static_cast<int32_t>(pulse(game, 64, 0, 4)));
    font->setCurrentPalette(savedPalette);
  }
  game.frontEnd.paintTarget = savedTarget;
}

bool updateBallViewCamera(cGame& game, int32_t mode) {
  const Q14 s = game.ballView.count > 2 ? kSmoothStep : kQ14One;
  if (mode == -1) {
    if (game.ballView.followedSlot >= 0) {
      if (game.ballView.predictedSlot < 0) return false;
      const int32_t tx = game.ballView.potTarget[0], ty = game.ballView.potTarget[1];
      game.ballView.ballYaw = q14Lerp(game.ballView.ballYaw, atan2Degrees(wrapNeg(tx), wrapNeg(ty)), s);
      game.ballView.ballCameraX = wrapSub(tx, wrapMul(cosDegrees(game.ballView.ballYaw), kPocketBack));
      game.ballView.ballCameraY = wrapSub(ty, wrapMul(sinDegrees(game.ballView.ballYaw), kPocketBack));
      game.ballView.ballPitch = kPocketPitch;
    }
  } else {
    if (game.ballView.followedSlot >= 0 && game.ballView.followedSlot < BallViewSlots::kCount) {
      const BallViewSlots& b = game.ballView.ballSlots;
      const int32_t i = game.ballView.followedSlot;
      game.ballView.ballYaw = q14Lerp(game.ballView.ballYaw, atan2Degrees(b.directionX[i], b.directionY[i]), s);
      game.ballView.ballCameraX = q14Lerp(
          game.ballView.ballCameraX, wrapSub(b.x[i], wrapMul(cosDegrees(game.ballView.ballYaw), kFollowBack)), 2 * s);
      game.ballView.ballCameraY = q14Lerp(
          game.ballView.ballCameraY, wrapSub(b.y[i], wrapMul(sinDegrees(game.ballView.ballYaw), kFollowBack)), 2 * s);
    }
    game.ballView.ballPitch = kFollowPitch;
  }
  lookAt3D(game, game.ballView.ballCameraX / 10, game.ballView.ballCameraY / 10, game.ballView.viewDistance3D,
           game.ballView.ballYaw, game.ballView.ballPitch, game.ballView.ballRoll);
  if (game.ballView.tableModel) {
    Matrix34 turn;
    turn.rotateY(kTableTurn);
    game.ballView.tableModel->draw(&game.engine.renderer, &turn);
  }
  glFlush();
  return true;
}

void updateBallViewSlots(cGame& game) {
  BallViewSlots& b = game.ballView.ballSlots;
  int32_t k = 0;
  for (const PhysicalObject* ball = game.world.cueBall;
       ball && ball->identity < PhysicsWorld::kBallSlots && k < BallViewSlots::kCount; ball = ball->next, ++k) {
    b.visible[k] = ball->hidden ? 0 : 1;
    if (ball->hidden) continue;
    b.number[k] = ball->identity;
    b.directionX[k] = ball->direction.x;
    b.directionY[k] = ball->direction.y;
    b.x[k] = tableToViewX(ball->position.x);
    b.y[k] = tableToViewY(ball->position.y);
  }
  // Slots no ball filled this frame show nothing.
  for (; k < BallViewSlots::kCount; ++k) b.visible[k] = 0;
}

void drawBallViewBalls(cGame& game) {
  for (int32_t k = 0; k < BallViewSlots::kCount; ++k) drawBallViewSlot(game, k, 0);
}

void drawBallViewSlot(cGame& game, int32_t slot, int32_t mode) {
  if (slot < 0 || slot >= BallViewSlots::kCount || !game.ballView.ballSlots.visible[slot]) return;
  if (mode != 0 || !game.ballView.ballModel || slot >= 16) return;
  Matrix34 place;
  place.setTranslation(game.ballView.ballSlots.x[slot] / 10, 0, wrapNeg(game.ballView.ballSlots.y[slot] / 10));
  game.ballView.ballModel->setTexture(game.ballView.ballTextures[slot]);
  game.ballView.ballModel->draw(&game.engine.renderer, &place);
}

// ---- the pot prediction

int32_t predictPottedBall(cGame& game) {
  PhysicsWorld& w = game.world;
  if (!w.cueBall || !w.cueBall->shadow) return game.ballView.predictedSlot = -1;
  copyBallsToShadows(game);
  strikeCueBall(game, w.cueBall->shadow, false);
  w.shot.previewFlag = 1;
  // The played-out shot reaches neither the game's reactions nor its draws.
  PoolHooks* const savedHooks = w.hooks;
  Random* const savedRandom = w.random;
  const uint32_t savedMoving = w.movingMask;
  w.hooks = nullptr;
  w.random = nullptr;

  bool eligible[PhysicsWorld::kBallSlots] = {};
  bool moved[PhysicsWorld::kBallSlots] = {};
  int32_t count = 0;
  for (; count < PhysicsWorld::kBallSlots && w.balls[count] && w.balls[count]->shadow; ++count)
    eligible[count] = !w.balls[count]->shadow->pocketed;
  const uint32_t group = game.rules.playerGroup[game.match.currentPlayer & 1];
  int64_t best = kNearest;
  int32_t bestBall = -1, bestPocket = -1, t = 0;
  bool rest = false;
  for (int32_t frame = 0; frame < kPredictFrames && !rest; ++frame) {
    t += kFrameTime;
    rest = updateShadowBalls(game);
    for (int32_t j = 1; j < count; ++j) {
      const PhysicalObject& s = *w.balls[j]->shadow;
      if (s.speed > 0) moved[j] = true;
      if (!eligible[j] || !moved[j] || s.pocketed) continue;
      if (!game.rules.tableOpen && !((group >> j) & 1u)) continue;
      const int64_t bx = s.position.x >> 14, by = s.position.y >> 14;
      for (int32_t k = 0; k < PhysicsWorld::kPocketSlots; ++k) {
        const PhysicalObject* p = w.pockets[k];
        if (!p) continue;
        const int64_t dx = (p->position.x >> 14) - bx, dy = (p->position.y >> 14) - by;
        const int64_t d = dx * dx + dy * dy;
        if (d < best) {
          best = d;
          bestBall = j;
          bestPocket = k;
          game.ballView.potCountdown = t;
        }
      }
    }
  }
  if (bestBall >= 0 && bestPocket >= 0) {
    const PhysicalObject& p = *w.pockets[bestPocket];
    if (w.balls[bestBall]->shadow->pocketed || w.breakPlayed) {
      game.ballView.potTarget[0] = tableToViewX(p.position.x);
      game.ballView.potTarget[1] = tableToViewY(p.position.y);
    }
  }
  w.hooks = savedHooks;
  w.random = savedRandom;
  w.movingMask = savedMoving;
  copyBallsToShadows(game);
  // Real contacts count again even when no strike follows.
  w.shot.previewFlag = 0;
  game.ballView.predictedSlot = bestBall;
  return bestBall;
}

void setViewPair(cGame& game, int32_t a, int32_t b) {
  game.ballView.viewPair[0] = b;
  game.ballView.viewPair[1] = a;
}
void setViewRect(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h) {
  game.ballView.viewRect[0] = x;
  game.ballView.viewRect[1] = y;
  game.ballView.viewRect[2] = w;
  game.ballView.viewRect[3] = h;
}
