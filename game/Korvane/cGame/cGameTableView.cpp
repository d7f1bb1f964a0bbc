// The table view: ball shadows and balls with their trails, the ball-in-hand
// area, the rotated cue, the power gauge, the spin selector, the HUD and the
// player panels; the ball frame and the shot skip.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/GameHost.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/3d/Angles.h"
#include "zul/memory/Debug.h"

namespace F = interfaceformat;

namespace {

constexpr Q14 kFullGauge = 17384;
constexpr Q14 kShadowCentreX = 0x152000;  // 84.5
constexpr Q14 kShadowCentreY = 0x25c000;  // 151.0
constexpr Q14 kTrailSpeed = 16000;
constexpr int32_t kMaxTrail = 22;
constexpr int32_t kExpressionLife = 2000;  // ms
constexpr int32_t kBallFrame = 50;         // physics time units a frame
constexpr int32_t kBlendMode = 4;

// The play rectangle a ball's disc must touch to stay on the table.
bool discOnTable(const Vector2& p) {
  constexpr Q14 r = 0x12000;  // 4.5
  return p.x + r >= -0x4000 && p.x - r <= 0x2a8000 && r - p.y >= 0x8000 && -p.y - r <= 0x4b0000;
}

// The slot of a drawing element of the current interface: its sprite frame
// word, or null.
int16_t* spriteElement(cGame& g, int32_t i) {
  int16_t* e = getInterfaceElement(g, -1, i);
  return e && e[F::kWordType] == F::kSprite ? e : nullptr;
}

int16_t& elementParam(int16_t* e, int32_t p) { return e[F::kWordParams + p]; }

}  // namespace

// ---- balls

void paintTableBalls(cGame& game, Graphics* g) {
  if (!g) return;
  const int32_t ox = game.table.panelX, oy = game.world.originY;
  game.world.originX = ox;
  PhysicalObject* cue = game.world.cueBall;
  ASprite* shadowBank = game.loading.matchBanks[k_matchBankShadow];
  auto drawn = [&game, cue](const PhysicalObject* b) {
    if (b->hidden || b->identity >= PhysicsWorld::kBallSlots) return false;
    if (game.table.handDragActive && b == game.world.shot.handObject) return false;
    return !game.table.cueBallOnly || b == cue;
  };
  g->setClip(ox + 17, oy + 20, 135, 262);
  if (shadowBank) {
    for (PhysicalObject* b = game.world.ballList; b; b = b->next) {
      if (!drawn(b)) continue;
      const int64_t x = b->position.x, y = -int64_t{b->position.y};
      int32_t sx = static_cast<int32_t>((x + (x - kShadowCentreX) / 18) >> 14) + ox;
      const int32_t sy = static_cast<int32_t>((y + (y - kShadowCentreY) / 30) >> 14) + oy;
      if (b == cue && b->airTime != 0 && b->airPhase != 0) {
        // A jumping ball's shadow moves out while it is in the air.
        const int64_t a = int64_t{b->airTime} * 180 * 16384 / (3 * int64_t{b->airPhase});
        const int32_t lift = std::abs(static_cast<int32_t>((int64_t{sinDegrees(static_cast<Q14>(a))} * 15) >> 14));
        sx += x >= kShadowCentreX ? lift : -lift;
      }
      shadowBank->paintFrame(g, k_frameShadow, sx, sy, 0);
    }
  }
  game.resetClip(g);
  if (!game.table.cueBallOnly)
    for (PhysicalObject* b = game.world.ballList; b; b = b->next)
      if (b != cue && drawn(b)) paintBall(game, g, b);
  if (cue && drawn(cue)) paintBall(game, g, cue);
  const int32_t n = game.rules.lowestBall;
  if (game.table.ballHighlight && n >= 1 && n < PhysicsWorld::kBallSlots && game.world.balls[n] &&
      !game.world.balls[n]->hidden) {
    int32_t bx, by;
    PhysicalObject::toScreen(game.world, game.world.balls[n]->position, bx, by);
    drawSmoothCircle(game, g, bx, by, 4, pulseColour(game, 64, 0x000000, 0xffffff));
  }
}

void paintBall(cGame& game, Graphics* g, PhysicalObject* ball) {
  if (!g || !ball) return;
  ball->update(game.world);
  SpriteAnimPlayer* p = lookPlayer(ball->animPlayer);
  if (!p) return;
  const int32_t dx = p->x - p->previousX, dy = p->y - p->previousY;
  p->tick();
  p->paint(g);
  if (game.states.gameState != k_stateBallsMoving || ball->speed <= kTrailSpeed || !p->sprite) return;
  const int32_t d = isqrt(dx * dx + dy * dy);
  if (d <= 0) return;
  int32_t n = ball == game.world.cueBall ? 2 * (3 * d / 2) : 2 * d;
  n = std::min(n, kMaxTrail);
  if (n <= 4) return;
  // Fading copies behind the ball along its last movement.
  const int32_t ux = dx * 16384 / d, uy = dy * 16384 / d;
  ASprite* bank = p->sprite;
  const int32_t x = p->x, y = p->y, mode = bank->effectMode, param = bank->effectParam1;
  int32_t alpha = 100;
  bank->effectMode = kBlendMode;
  for (int32_t i = 0; i < n; i += 2) {
    alpha -= 2 * (100 / n);
    bank->effectParam1 = std::max(alpha, 0);
    p->x = x - ((i * ux) >> 14);
    p->y = y - ((i * uy) >> 14);
    p->paint(g);
  }
  p->x = x;
  p->y = y;
  bank->effectMode = mode;
  bank->effectParam1 = param;
}

void paintBallInHandArea(cGame& game, Graphics* g) {
  if (!g) return;
  const int32_t ox = game.table.panelX;
  g->setColor(0xff000000u | pulseColour(game, 63, 0x000000, 0xffffff));
  if (game.match.ruleSet != k_ruleSetUK) {
    const int32_t top = game.turn.ballInHandInD ? 202 : 20;
    g->drawRect(ox + 17, top, 134, 282 - top);
  } else if (game.turn.ballInHandInD) {
    g->setClip(0, 202, 240, 320);
    g->drawLine(ox + 47, 202, ox + 121, 202);
    drawSmoothCircle(game, g, ox + 84, 202, 38, g->getColor() & 0xffffff);
    game.resetClip(g);
  } else {
    g->drawRect(ox + 17, 20, 134, 262);
  }
  g->setAlpha(255);
}

// ---- the rotated cue and guide dots

bool paintRotatedFrame(cGame& game, Graphics* g, ASprite* bank, int32_t module, int32_t x, int32_t y, Q14 angle,
                       bool anchorAtEnd) {
  if (!g || !bank || module < 0 || module >= bank->moduleCount) return false;
  const int32_t palette = bank->getCurrentPalette();
  if (palette < 0 || palette >= static_cast<int32_t>(bank->rawCache.size()) ||
      module >= static_cast<int32_t>(bank->rawCache[palette].size()))
    return false;
  const std::vector<uint32_t>& src = bank->rawCache[palette][module];
  const int32_t w = bank->getModuleWidth(module), h = bank->getModuleHeight(module);
  if (w < 2 || h < 2 || static_cast<int64_t>(w) * h != static_cast<int64_t>(src.size())) return false;

  const Q14 r = 0x168000 - angle;
  const int64_t c = cosDegrees(r), s = sinDegrees(r);
  // Half extents of the turned box, in pixels.
  const int64_t halfW = (std::abs(w * c) + std::abs(h * s)) >> 15;
  const int64_t halfH = (std::abs(w * s) + std::abs(h * c)) >> 15;
  const int64_t ex = halfW - w / 2, ey = halfH - h / 2;
  const int64_t W = w + 2 * ex, H = h + 2 * ey;
  if (W <= 0 || H <= 0 || W * H > k_rotateScratchPixels) {
    if (W * H > k_rotateScratchPixels)
      debugTrace("rotated frame: %lld x %lld does not fit\n", (long long)W, (long long)H);
    return false;
  }
  const int32_t ow = static_cast<int32_t>(W), oh = static_cast<int32_t>(H);
  std::memset(game.table.rotateScratch, 0, sizeof(uint32_t) * static_cast<size_t>(ow) * oh);
  // Steps through the source in 4.12 fixed point.
  const int64_t stepXu = cosDegrees(-r) >> 2, stepXv = sinDegrees(-r) >> 2;
  const int64_t stepYu = cosDegrees(0x168000 - r) >> 2, stepYv = sinDegrees(0x168000 - r) >> 2;
  // Pixel centres: the output's middle maps onto the module's middle.
  const int64_t u0 = (int64_t{w - 1} << 11) - ((ow - 1) * stepXu + (oh - 1) * stepYu) / 2;
  const int64_t v0 = (int64_t{h - 1} << 11) - ((ow - 1) * stepXv + (oh - 1) * stepYv) / 2;
  for (int32_t row = 0; row < oh; ++row) {
    int64_t u = u0 + row * stepYu, v = v0 + row * stepYv;
    uint32_t* out = game.table.rotateScratch + static_cast<size_t>(row) * ow;
    for (int32_t col = 0; col < ow; ++col, u += stepXu, v += stepXv) {
      const int64_t sx = u >> 12, sy = v >> 12;
      if (sx < 0 || sy < 0 || sx > w - 2 || sy > h - 2) continue;
      const uint32_t fx = static_cast<uint32_t>((u >> 4) & 255), fy = static_cast<uint32_t>((v >> 4) & 255);
      const size_t i = static_cast<size_t>(sy) * w + static_cast<size_t>(sx);
      const uint32_t p00 = src[i], p10 = src[i + 1], p01 = src[i + w], p11 = src[i + w + 1];
      uint32_t pixel = 0;
      for (int32_t shift = 0; shift <= 24; shift += 8) {
        const uint32_t a = (p00 >> shift) & 255, b = (p10 >> shift) & 255;
        const uint32_t c0 = (p01 >> shift) & 255, d0 = (p11 >> shift) & 255;
        const uint32_t top = a * (256 - fx) + b * fx, bottom = c0 * (256 - fx) + d0 * fx;
        pixel |= ((top * (256 - fy) + bottom * fy) >> 16) << shift;
      }
      out[col] = pixel;
    }
  }
  game.resetClip(g);
  int32_t x0 = x - ow / 2, y0 = y - oh / 2;
  if (anchorAtEnd) {
    const int32_t q = isqrt((ow / 2) * (ow / 2) + (oh / 2) * (oh / 2));
    const Q14 back = 0x5a0000 - angle;
    x0 -= static_cast<int32_t>((int64_t{q} * cosDegrees(back)) >> 14);
    y0 -= static_cast<int32_t>((int64_t{q} * sinDegrees(back)) >> 14);
  }
  g->drawRGB(game.table.rotateScratch, 0, ow, x0, y0, ow, oh, true);
  return true;
}

// ---- gauge

void paintPowerBar(cGame& game) {
  Graphics* g = currentTarget(game);
  if (!g) return;
  int32_t item = game.match.gameType == k_gameTypeTutorial ? 0 : std::clamp(game.career.equippedLevel[1], 0, 5);
  const bool second = game.match.currentPlayer == 1;
  const int32_t back = (second ? k_elGaugeBack1 : k_elGaugeBack0) + item;
  const int32_t fill = (second ? k_elGaugeFill1 : k_elGaugeFill0) + item;
  const int32_t frame = (second ? k_elGaugeFrame1 : k_elGaugeFrame0) + item;
  paintSpriteElementTo(game, back, game.table.hudOffset, 0, false, g);
  // The box is the frame element's picture.
  int32_t top = getElementY(game, frame), height = 0;
  if (int16_t* e = spriteElement(game, frame)) {
    const int32_t slot = elementParam(e, F::kSpriteBank);
    ASprite* bank = slot >= 0 && slot < k_spriteSlotCount ? game.loading.sprites[slot] : nullptr;
    if (bank) height = bank->getFrameHeight(elementParam(e, F::kSpriteFrame));
  }
  const int32_t bottom = top + height;
  const Q14 gauge = std::clamp(game.world.shot.powerGauge, 0, kFullGauge);
  top = bottom - static_cast<int32_t>(int64_t{gauge} * height / kFullGauge);
  g->setClip(0, top, 240, bottom - top);
  paintSpriteElementTo(game, fill, game.table.hudOffset, 0, false, g);
  game.resetClip(g);
  paintSpriteElementTo(game, frame, game.table.hudOffset, 0, false, g);
}

// ---- spin selector

void paintSpinSelector(cGame& game, Graphics* g) {
  if (!g) return;
  const int32_t boxY = getElementY(game, k_elSpinBox), w = getElementWidth(game, k_elSpinBox),
                h = getElementHeight(game, k_elSpinBox);
  const int32_t px = game.match.currentPlayer == 1 ? 240 - w : 0;
  setElementFrame(game, k_elMasseButton, game.stylus.spinButtonHighlight ? k_hudFrameMasse + 1 : k_hudFrameMasse);
  for (int32_t e : {k_elSpinPanel, k_elMasseButton, k_elSpinTop, k_elSpinEdgeLeft, k_elSpinEdgeRight})
    paintSpriteElementTo(game, e, px, 0, false, g);
  g->setClip(0, boxY, 240, h);
  paintSpriteElementTo(game, k_elBallFace, px, 0, false, g);
  const ShotRecord& shot = game.world.shot;
  const int32_t ex = shot.englishPoint.x >> 14, ey = shot.englishPoint.y >> 14;
  paintSpriteElementTo(game, shot.masse ? k_elTipMarkerMasse : k_elTipMarker, px + ex, ey, false, g);
  setElementFrame(game, k_elTipDot, k_hudFrameTip + std::clamp(game.career.equippedLevel[0], 0, 5));
  paintSpriteElementTo(game, k_elTipDot, px + ex, ey, false, g);
  game.resetClip(g);
  Graphics* saved = game.frontEnd.paintTarget;
  game.frontEnd.paintTarget = g;
  paintTextElement(game, k_elMasseText, -1, nullptr, 0, shot.masse ? k_textMasseOn : k_textMasseOff, px, 0, -1, 0, -1);
  game.frontEnd.paintTarget = saved;
}

// ---- HUD

void paintInGameHud(cGame& game, Graphics* g) {
  if (!g) return;
  if (game.interfaces.currentInterface != k_interfaceHud) selectInterface(game, k_interfaceHud);
  paintSpriteElementTo(game, game.match.altPanelLayout ? k_elHudBarAlt : k_elHudBar, 0, 0, false, g);
  const int32_t s = game.states.gameState;
  // The "?" stands on the key that opens the in-game menu; it gives way where
  // that key closes the spin selector and on the coin toss and the group
  // choice, which pause from their own "MENU".
  if (s != k_stateSpinSelector && s != k_stateCoinToss && s != k_stateBreakChoice) {
    setElementFrame(game, k_elHintButton, game.table.hudHint >= 0 ? k_hudFrameHint + 1 : k_hudFrameHint);
    paintSpriteElementTo(game, k_elHintButton, 0, 0, false, g);
  }
  const bool notice = isAchievementNoticeShown(game);
  if (!notice) {
    setElementFrame(game, k_elMenuButton, game.stylus.rightSoftHighlight ? k_hudFrameMenu + 1 : k_hudFrameMenu);
    paintSpriteElementTo(game, k_elMenuButton, 0, 0, false, g);
  }
  // The right soft-key label: what that key does here. The break choice
  // draws its own.
  const bool blank = s == k_stateFrameWon || s == k_stateSpinSelector || isMessageQueued(game) ||
                     isDialogBoxOpen(game) || isMatchOnHold(game) || s == k_stateOpponentIntro ||
                     s == k_stateResultLines || s == k_stateBreakChoice || notice;
  const int32_t label = game.match.altPanelLayout ? -1 : rightKeyLabel(game);
  if (!blank && game.text.fonts[0] && (game.match.altPanelLayout || label >= 0)) {
    const int32_t palette = game.text.fonts[0]->getCurrentPalette();
    game.text.fonts[0]->setCurrentPalette(1);
    if (label >= 0)
      drawString(game, g, game.text.fonts, label, 0, 215, 301, 32);
    else
      drawCString(game, g, game.text.fonts, "MENU", 0, 215, 301, 32);
    game.text.fonts[0]->setCurrentPalette(palette);
  }

  // Key hints for a human at the table.
  const bool human = game.match.currentPlayer >= 0 && game.match.currentPlayer < 2 &&
                     game.match.playerProfile[game.match.currentPlayer] < 0;
  if (human) {
    const bool right = game.match.currentPlayer == 1 && game.match.gameType == k_gameTypeSingleMatch;
    const int32_t fireX = right ? 182 : 0, turnX = right ? 155 : 0, spinX = right ? -63 : 0;
    if (s == k_stateBallInHand) {
      setElementFrame(game, k_elFireHint, game.stylus.fireHighlight ? k_hudFramePlaceFire + 1 : k_hudFramePlaceFire);
      paintSpriteElementTo(game, k_elFireHint, fireX, 0, false, g);
    } else if (s == k_stateAim) {
      setElementFrame(game, k_elFireHint, game.stylus.fireHighlight ? k_hudFrameAimFire + 1 : k_hudFrameAimFire);
      const int32_t turn = game.stylus.fireHighlight         ? k_hudFrameFineTurn
                           : game.stylus.leftArrowHighlight  ? k_hudFrameFineTurn + 1
                           : game.stylus.rightArrowHighlight ? k_hudFrameFineTurn + 2
                                                             : k_hudFrameFineTurn;
      setElementFrame(game, k_elTurnHint, turn);
      paintSpriteElementTo(game, k_elFireHint, fireX, 0, false, g);
      paintSpriteElementTo(game, k_elTurnHint, turnX, 0, false, g);
    } else if (s == k_stateShotPower) {
      setElementFrame(game, k_elFireHint, game.stylus.fireHighlight ? k_hudFramePowerFire + 1 : k_hudFramePowerFire);
      paintSpriteElementTo(game, k_elFireHint, fireX, 0, false, g);
    } else if (s == k_stateSpinSelector) {
      const int32_t frame = game.stylus.leftArrowHighlight    ? k_hudFrameSpinLeft
                            : game.stylus.rightArrowHighlight ? k_hudFrameSpinRight
                            : game.stylus.upArrowHighlight    ? k_hudFrameSpinUp
                            : game.stylus.downArrowHighlight  ? k_hudFrameSpinDown
                                                              : k_hudFrameSpinPad;
      setElementFrame(game, k_elSpinHint, frame);
      paintSpriteElementTo(game, k_elSpinHint, spinX, 0, false, g);
    }
  }

  // The group and the pocketed balls of the player at the table, in the
  // panel on that player's side, where the open spin selector stands: it
  // hides them.
  if (game.turn.spinSelectorShown) return;
  const int32_t player = game.match.currentPlayer & 1;
  const int32_t sideShift = player == 1 ? 238 + game.table.hudOffset : game.table.hudOffset;
  auto paintPotted = [&game, g, sideShift](int32_t p, int32_t threshold) {
    PottedBalls& list = game.turn.potted[p];
    for (int32_t k = 0; k < list.count && k < PottedBalls::kMax; ++k) {
      SpriteAnimPlayer* ball = list.players[k];
      if (!ball) continue;
      if (ball->getAnim() < threshold) {
        ball->tick();
        if (ball->isAnimOver() && ball->getAnim() < k_animPanelStill) ball->setAnim(k + k_animPanelStill);
      }
      const int32_t x = ball->x;
      ball->x = x + sideShift;
      ball->paint(g);
      ball->x = x;
    }
  };
  if (game.match.gameType == k_gameTypeTutorial) {
    if (game.table.panelX == 67) paintPotted(0, 35);
  } else if (!game.rules.tableOpen) {
    if (game.match.gameType != k_gameTypeChallenge)
      paintSpriteElementTo(game, (game.match.altPanelLayout ? k_elGroup0Alt : k_elGroup0) + player,
                           game.table.hudOffset, 0, false, g);
    if (game.table.panelX == (player == 0 ? 67 : 6)) paintPotted(player, k_animPanelStill);
  }
}

int32_t rightKeyLabel(const cGame& game) {
  const bool human = game.match.currentPlayer >= 0 && game.match.currentPlayer < 2 &&
                     game.match.playerProfile[game.match.currentPlayer] < 0;
  switch (game.states.gameState) {
    case k_stateAim:
      // The key opens the spin selector (not in the first lesson).
      return human && !game.challenges.demo &&
                     !(game.match.gameType == k_gameTypeTutorial && game.rules.tutorialLocks[0]) &&
                     !game.turn.showBallNumbers
                 ? k_textSpin
                 : -1;
    case k_stateShotPower:
      return human && !game.challenges.demo ? k_textPowerBack : -1;
    case k_stateBallsMoving:
      return game.challenges.demo ? -1 : k_textSkip;
    default: return -1;
  }
}

// ---- player panels

void setPlayerExpression(cGame& game, int32_t player, int32_t frame) {
  if (player < 0 || player > 1) return;
  int16_t* e = spriteElement(game, k_elPortrait0 + player);
  if (!e) return;
  const uint32_t now = game.host().tickCount();
  if (frame == -1) {
    if (now - game.table.panelExpressionTime[player] <= static_cast<uint32_t>(kExpressionLife)) return;
    frame = 0;
  }
  if (elementParam(e, F::kSpriteFrame) == frame) return;
  elementParam(e, F::kSpriteFrame) = static_cast<int16_t>(frame);
  game.table.panelExpression[player] = frame;
  game.table.panelExpressionTime[player] = now;
  game.table.panelRedraw = 1;
}

void paintPlayerPanels(cGame& game, Graphics* g) {
  if (game.match.ruleSet == k_ruleSetNineBall && game.match.gameType != k_gameTypeChallenge) {
    const int32_t lowest = std::clamp(game.rules.lowestBall, 1, 9);
    const int32_t first = game.match.altPanelLayout ? k_elGroup0Alt : k_elGroup0;
    for (int32_t p = 0; p < 2; ++p) {
      setElementFrame(game, first + p, lowest == 9 ? 1 : 2);
      setElementPalette(game, first + p, lowest - 1);
    }
  }
  setPlayerExpression(game, 0, -1);
  setPlayerExpression(game, 1, -1);
  if (game.table.panelRedraw && game.frontEnd.backLayer) {
    paintInterfaceAt(game, game.table.hudOffset, 0, true);
    game.table.panelRedraw = 0;
  }
  drawSavedBackground(game, g);
  game.resetClip(g);
}

// ---- the ball frame and the shot skip

bool updateBalls(cGame& game) {
  game.world.movingMask = 0;
  game.world.physicsStep(game.world.ballList, kBallFrame);
  for (int32_t i = 0; i < PhysicsWorld::kBallSlots && game.world.balls[i]; ++i) {
    PhysicalObject* b = game.world.balls[i];
    if (!b->pocketed && !discOnTable(b->position)) {
      b->offTable = 1;
      b->pocketed = 1;
    }
  }
  PhysicalObject* cue = game.world.cueBall;
  if (cue && cue->speed < 1 && !cue->pocketed && cue->airTime == 0) {
    cue->frame = PhysicalObject::kRestFrame;
    if (cue->animPlayer && cue->animPlayer->getAnim() != PhysicalObject::kRestFrame)
      cue->animPlayer->setAnim(PhysicalObject::kRestFrame);
  }
  return game.world.movingMask == 0;
}

bool updateShadowBalls(cGame& game) {
  game.world.movingMask = 0;
  game.world.physicsStep(game.world.shadowHead, kBallFrame);
  for (int32_t i = 0; i < PhysicsWorld::kBallSlots && game.world.balls[i]; ++i) {
    PhysicalObject* s = game.world.balls[i]->shadow;
    if (s && !s->pocketed && !discOnTable(s->position)) s->pocketed = 1;
  }
  return game.world.movingMask == 0;
}

void skipShot(cGame& game) {
  game.world.skipping = 1;
  int32_t frames = 0;
  for (; frames < k_skipFrameCap; ++frames) {
    const bool still = updateBalls(game);
    // Without the paint the looks are refreshed here, so drops end at once.
    for (PhysicalObject* b = game.world.ballList; b; b = b->next) b->update(game.world);
    if (still) break;
  }
  if (frames == k_skipFrameCap) {
    debugTrace("skip: the balls still moved after %d frames; stopped\n", frames);
    for (PhysicalObject* b = game.world.ballList; b; b = b->next) {
      b->speed = 0;
      b->spin.set(0, 0);
      b->sideKick = 0;
      b->airTime = b->airPhase = 0;
      if (b->pocketed) b->hidden = 1;
      b->update(game.world);
    }
    game.world.movingMask = 0;
  }
  game.world.skipping = 0;
}
