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

  // What the shot rules ask of the game.
  virtual void playSound(int32_t /*id*/, int32_t /*volume*/) {}
  virtual bool isAchievementUnlocked(int32_t /*id*/) { return false; }
  virtual void restartHitSpark(int32_t /*x*/, int32_t /*y*/) {}
  virtual void addPottedBall(int32_t /*ball*/, int32_t /*player*/) {}
  // Moves the balls outside keepMask from one player's pocketed-ball display to the other's.
  virtual void handOverPottedBalls(int32_t /*from*/, int32_t /*to*/, uint32_t /*keepMask*/) {}
  virtual void setGroupIcon(int32_t /*element*/, int32_t /*frame*/, int32_t /*palette*/) {}
  // Racks the balls again for the frame's rule set.
  virtual void rackAgain() {}
  // A message of kind 2: the text, with a character name (text id) in its
  // "%t" and a group name (text id) after it; -1 = none.
  virtual void queueMessage(int32_t /*text*/, int32_t /*nameText*/, int32_t /*groupText*/) {}
  // A dialog box: title text and a body of a text followed by a number (-1 = no body).
  virtual void showDialog(int32_t /*kind*/, int32_t /*title*/, int32_t /*bodyText*/, int32_t /*number*/) {}
  virtual void vibrate() {}
  virtual int32_t playerCharacter(int32_t /*player*/) { return 0; }
  virtual uint32_t tickCount() { return 0; }
  virtual void debugLine(const char* /*line*/) {}
};
