// The aim guide: a physics preview of the cue ball's path on the shadows,
// kept until the aim, the cue-tip point or masse changes, and drawn as guide
// lines, a ghost ball and the object ball's line.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/3d/Angles.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kPreviewSlice = 10;
constexpr Q14 kSlowShadow = 16384;  // 1.0
constexpr Q14 kEndPull = 0x12000;   // 4.5
constexpr Q14 kDotStep = 0x24000;   // 9.0
constexpr int32_t kGuideLengths[6] = {55, 60, 70, 80, 90, 100};
constexpr uint32_t kGuideWhite = 0xffffff;

constexpr uint32_t kBallColours[9] = {0xffffee, 0xfcf904, 0x046eff, 0xfc020e, 0xca01fe,
                                      0xfe7e01, 0x3adf25, 0xca8247, 0x2b2b2b};

bool isCushion(uint32_t type) {
  return type == PhysicalObject::kLine || type == PhysicalObject::kLineB || type == PhysicalObject::kLineC ||
         type == PhysicalObject::kJaw;
}

}  // namespace

uint32_t guideBallColour(const cGame& game, int32_t ball) {
  if (ball <= 0 || ball > 15) return kBallColours[0];
  if (ball == 8) return kBallColours[8];
  if (game.match.ruleSet == k_ruleSetUK) return ball < 8 ? 0xfc020e : 0xfcf904;
  return kBallColours[ball > 8 ? ball - 8 : ball];
}

void computeAimGuide(cGame& game) {
  AimGuide& guide = game.table.guide;
  ShotRecord& shot = game.world.shot;
  PhysicalObject* cue = game.world.cueBall;
  guide.hasContact = 0;
  guide.firstContactType = 0;
  guide.objectBall = -1;
  guide.pointWords = 0;
  shot.aimChanged = 0;
  if (!cue || !cue->shadow || (shot.aim.x == 0 && shot.aim.y == 0)) return;
  guide.previewRuns += 1;
  const int32_t ox = game.table.panelX, oy = game.world.originY;
  guide.originX = ox;
  guide.originY = oy;
  auto screen = [ox, oy](const Vector2& p, int32_t& x, int32_t& y) {
    x = (p.x >> 14) + ox;
    y = oy - (p.y >> 14);
  };
  const int32_t item = std::clamp(game.career.equippedLevel[0], 0, 5);
  const int32_t length = kGuideLengths[item] * 70 / 100;

  copyBallsToShadows(game);
  PhysicalObject& s = *cue->shadow;
  strikeCueBall(game, &s, true);
  screen(s.position, guide.points[0], guide.points[1]);
  guide.pointWords = 2;
  int32_t nudgeX = 0, nudgeY = 0;
  bool found = false;
  for (int32_t step = 0; shot.previewFlag && !found && guide.pointWords < 2 * AimGuide::kMaxPoints - 2; ++step) {
    if (step >= AimGuide::kMaxSteps) break;
    int32_t x, y;
    screen(s.position, x, y);
    const int32_t lx = guide.points[guide.pointWords - 2], ly = guide.points[guide.pointWords - 1];
    if ((x - lx) * (x - lx) + (y - ly) * (y - ly) >= 17) {
      guide.points[guide.pointWords++] = x;
      guide.points[guide.pointWords++] = y;
    }
    // A ball at rest has gone as far as the guide shows.
    if (!s.isMoving() && s.airTime == 0) break;
    const int32_t left = previewStep(game, game.world.shadowHead, kPreviewSlice, true);
    PhysicalObject* a = game.world.currentPair[0];
    PhysicalObject* b = game.world.currentPair[1];
    PhysicalObject* other = left < 0 ? nullptr : a == &s ? b : b == &s ? a : nullptr;
    if (!other) {
      // Dropped into a pocket without a contact of its own: that is where it ends.
      if (s.pocketed) {
        guide.firstContactType = PhysicalObject::kPocket;
        break;
      }
      continue;
    }
    guide.firstContactType = other->type;
    if (other->type == PhysicalObject::kBall) {
      // The object ball's line: where it leaves the contact.
      guide.objectBall = other->identity;
      Vector2 d = other->direction;
      d.normalise();
      screen(other->position, guide.objectX, guide.objectY);
      guide.objectEndX = guide.objectX + static_cast<int32_t>((int64_t{d.x} * length) >> 14);
      guide.objectEndY = guide.objectY - static_cast<int32_t>((int64_t{d.y} * length) >> 14);
      int32_t cx, cy;
      screen(s.position, cx, cy);
      nudgeX = cx > guide.objectX ? 1 : cx < guide.objectX ? -1 : 0;
      nudgeY = cy > guide.objectY ? 1 : cy < guide.objectY ? -1 : 0;
    }
    if (other->type == PhysicalObject::kBall || isCushion(other->type)) {
      shot.cushionFirst = isCushion(other->type) ? 1 : 0;
      guide.hasContact = 1;
      found = true;
    } else {
      break;
    }
  }
  shot.previewFlag = 0;
  screen(s.position, guide.ghostX, guide.ghostY);
  guide.ghostX += nudgeX;
  guide.ghostY += nudgeY;
  if (s.speed <= kSlowShadow) {
    guide.cueEndX = guide.ghostX;
    guide.cueEndY = guide.ghostY;
  } else {
    Vector2 d = s.direction;
    d.normalise();
    guide.cueEndX = guide.ghostX + static_cast<int32_t>((int64_t{d.x} * length) >> 14);
    guide.cueEndY = guide.ghostY - static_cast<int32_t>((int64_t{d.y} * length) >> 14);
  }
}

void paintAimGuide(cGame& game, Graphics* g) {
  ShotRecord& shot = game.world.shot;
  PhysicalObject* cue = game.world.cueBall;
  if (shot.aimChanged || shot.masse) computeAimGuide(game);
  if (!g || !cue || game.table.guide.pointWords < 2) return;
  const AimGuide& guide = game.table.guide;
  const int32_t ox = game.table.panelX, oy = game.world.originY;
  // The points were taken where the view stood then; it may have slid since.
  const int32_t sx = ox - guide.originX, sy = oy - guide.originY;
  const int32_t cx = (cue->position.x >> 14) + ox, cy = oy - (cue->position.y >> 14);
  const int32_t ghostX = guide.ghostX + sx, ghostY = guide.ghostY + sy;
  g->setClip(ox + 17, oy + 20, 135, 262);
  if (!shot.masse) {
    drawGuideLineSolid(game, g, cx, cy, ghostX, ghostY, kGuideWhite);
  } else if (shot.jumpShot) {
    drawGuideLine(game, g, cx, cy, ghostX, ghostY, kGuideWhite, false);
    g->setClip(ox + 17, oy + 20, 135, 262);
  } else {
    for (int32_t i = 2; i + 1 < guide.pointWords; i += 2)
      drawSmoothLine(game, g, guide.points[i - 2] + sx, guide.points[i - 1] + sy, guide.points[i] + sx,
                     guide.points[i + 1] + sy, kGuideWhite);
  }
  PhysicalObject* shadow = cue->shadow;
  if (guide.firstContactType != 0) {
    if (guide.hasContact) {
      drawGuideLineSolid(game, g, ghostX, ghostY, guide.cueEndX + sx, guide.cueEndY + sy, kGuideWhite);
      if (guide.objectBall > 0)
        drawGuideLineSolid(game, g, guide.objectX + sx, guide.objectY + sy, guide.objectEndX + sx,
                           guide.objectEndY + sy,
                           pulseColour(game, 64, guideBallColour(game, guide.objectBall), kGuideWhite));
      game.resetClip(g);
      drawSmoothCircle(game, g, ghostX, ghostY, 4, kGuideWhite);
    } else if (shadow) {
      shadow->speed = 0;
    }
  }
  game.resetClip(g);
  if (shadow) shadow->speed = 0;
}

void drawGuideLine(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, bool solid) {
  if (!g || (x1 == x2 && y1 == y2)) return;
  Vector2 d{(x2 - x1) * 2048, (y2 - y1) * 2048};
  d.normalise();
  const int64_t length = d.x != 0 ? (int64_t{x2 - x1} << 28) / d.x : (int64_t{y2 - y1} << 28) / d.y;  // Q14
  if (solid) {
    const int32_t ax = x1 + static_cast<int32_t>((int64_t{d.x} * kEndPull) >> 28);
    const int32_t ay = y1 + static_cast<int32_t>((int64_t{d.y} * kEndPull) >> 28);
    const int32_t bx = x2 - static_cast<int32_t>((int64_t{d.x} * kEndPull) >> 28);
    const int32_t by = y2 - static_cast<int32_t>((int64_t{d.y} * kEndPull) >> 28);
    drawSmoothLineAlpha(game, g, ax, ay, bx, by, rgb, 255, 255);
    return;
  }
  ASprite* dots = game.loading.matchBanks[k_matchBankGuideDots];
  if (!dots) return;
  const int64_t n = length / kDotStep - 1;
  if (n <= 0) return;
  // The dots lie along d, turned with it (the table's angle is upwards).
  const Q14 angle = 0x5a0000 - atan2Degrees(d.x, d.y);
  for (int64_t i = 0; i < n; ++i) {
    const int64_t along = (i + 1) * kDotStep;
    const int32_t x = x1 + static_cast<int32_t>((along * d.x) >> 28);
    const int32_t y = y1 + static_cast<int32_t>((along * d.y) >> 28);
    const Q14 a = static_cast<Q14>(i * 360 * 16384 / n);
    const int32_t frame = std::clamp((sinDegrees(a) * 5) >> 14, 0, k_guideDotFrames - 1);
    paintRotatedFrame(game, g, dots, dots->getFrameModuleIndex(frame, 0), x, y, angle, false);
  }
}
