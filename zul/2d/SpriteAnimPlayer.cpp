#include "zul/2d/SpriteAnimPlayer.h"

#include "zul/2d/ASprite.h"

namespace {
constexpr int kMaxParents = 64;  // a parent chain longer than this is taken to be a cycle
}

SpriteAnimPlayer::SpriteAnimPlayer(ASprite* s, int px, int py, SpriteAnimPlayer* p)
    : x(px), y(py), sprite(s), parent(p) {}

SpriteAnimPlayer::~SpriteAnimPlayer() { sprite = nullptr; }

void SpriteAnimPlayer::setAnim(int a) {
  if (a == anim) return;
  anim = a;
  frame = 0;
  time = 0;
  offsetX = offsetY = 0;
  extraX = extraY = 0;
}

void SpriteAnimPlayer::resetAnim() {
  anim = -1;
  time = 0;
  frame = 0;
  active = 1;
}

// Animation mode with an animation that has frames.
bool SpriteAnimPlayer::hasAnim() const { return sprite && anim >= 0 && sprite->getAnimFrameCount(anim) > 0; }

bool SpriteAnimPlayer::isAnimOver() const {
  if (time < 0 || !hasAnim()) return false;
  int count = sprite->getAnimFrameCount(anim);
  if (frame != count - 1) return false;
  int t = sprite->getAnimFrameTime(anim, frame);
  return t == 0 || time == t - 1;
}

void SpriteAnimPlayer::update() {
  if (pauseFrames >= 1) {
    --pauseFrames;
    return;
  }
  if (flags & (kHidden | kFrozen)) return;
  previousX = x;
  previousY = y;
  if (active != 1) return;
  if (isAnimOver() && !(flags & (kLoop | kHold))) {
    active = 0;
    return;
  }
  if (time < 0 || !hasAnim()) return;
  int count = sprite->getAnimFrameCount(anim);
  if (frame < 0 || frame >= count) frame = 0;
  int t = sprite->getAnimFrameTime(anim, frame);
  if (t == 0) return;
  if (++time < t) return;
  time = 0;
  if (++frame < count) return;
  if ((flags & kHold) && !(flags & kLoop)) {
    frame = count - 1;
  } else {
    frame = 0;
    extraX = extraY = 0;
  }
}

void SpriteAnimPlayer::paint(Graphics* g) {
  if (pauseFrames >= 1 || (flags & kHidden) || active != 1 || !sprite) return;
  sprite->setCurrentPalette(palette);
  int px = x, py = y, depth = 0;
  for (const SpriteAnimPlayer* p = parent; p && depth < kMaxParents; p = p->parent, ++depth) {
    px += p->x;
    py += p->y;
  }
  px += offsetX;
  py += offsetY;
  int fl = static_cast<int>(flags & ~kLoop);
  if (time >= 0) {
    if (hasAnim()) sprite->paintAnimFrame(g, anim, frame, px, py, fl);
  } else if (anim >= 0) {
    sprite->paintModule(g, anim, px, py, fl);
  } else if (frame >= 0) {
    sprite->paintFrame(g, frame, px, py, fl);
  }
}

void SpriteAnimPlayer::rectAt(int32_t* out) const {
  int fl = static_cast<int>(flags & ~kLoop);
  if (time >= 0) sprite->getAnimFrameRect(out, anim, frame, x, y, fl, 0, 0);
  else if (anim >= 0) sprite->getModuleRect(out, anim, x, y);
  else if (frame >= 0) sprite->computeFrameRect(out, frame, x, y, fl, 0, 0);
}

int32_t* SpriteAnimPlayer::computeRect() {
  if (sprite) rectAt(rect);
  return rect;
}

int32_t* SpriteAnimPlayer::paintBounds() { return computeRect(); }

int32_t* SpriteAnimPlayer::computeScreenRect() {
  computeRect();
  int dx = 0, dy = 0, depth = 0;
  for (const SpriteAnimPlayer* p = parent; p && depth < kMaxParents; p = p->parent, ++depth) {
    dx += p->x;
    dy += p->y;
  }
  rect[0] += dx;
  rect[2] += dx;
  rect[1] += dy;
  rect[3] += dy;
  screenBits = (rect[0] < 240 && rect[2] >= 0 && rect[1] < 320 && rect[3] >= 0) ? 15 : 0;
  return rect;
}

bool SpriteAnimPlayer::rectsOverlap(const int32_t* a, const int32_t* b) {
  if (a[0] > b[2] || a[2] < b[0] || a[1] > b[3]) return false;
  return a[3] >= b[0 + 1];
}

bool SpriteAnimPlayer::pointInRect(int px, int py, const int32_t* r) {
  return r[0] <= px && px <= r[2] && r[1] <= py && py <= r[3];
}
