// What the pool classes ask of the game around them: the look of an object
// (a sprite animation the game side owns) and the game's reactions (contacts,
// achievements). The defaults do nothing, so a bare world runs on its own.
#pragma once

#include <cstdint>

class PhysicalObject;

// One object's animated look. The object owns it and deletes it.
class ObjectLook {
 public:
  virtual ~ObjectLook() = default;
  virtual void setAnim(int32_t anim) = 0;
  virtual int32_t getAnim() const = 0;
  virtual bool isAnimOver() const = 0;
  virtual void setPosition(int32_t x, int32_t y) = 0;
  // A new look on the same bank, in its initial state.
  virtual ObjectLook* makeSibling() const = 0;
  // Takes the animation state (animation, frame, time, offsets, flags) of another look.
  virtual void copyStateFrom(const ObjectLook& source) = 0;
};

class PoolHooks {
 public:
  virtual ~PoolHooks() = default;
  // The game's contact handler: called before a contact is resolved.
  virtual void onContact(PhysicalObject* /*first*/, PhysicalObject* /*second*/) {}
  virtual void unlockAchievement(int32_t /*id*/) {}
  // True while a human player's shot is rolling in eight-ball: a jumped cue
  // ball passing over the eight then counts.
  virtual bool isJumpOverEightWatched() { return false; }
};
