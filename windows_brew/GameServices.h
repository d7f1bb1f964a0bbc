// What the host and the applet need of the game object, and all they see of
// it: the touch fields the host's touch glue writes, how the glue treats a
// drag, the no-space state of the save file, the interrupted flag, the keys
// and the sound queries of activation. The game object derives from it
// (through GameBase); the defaults here are a game that does nothing.
#pragma once

#include <cstdint>

class GameServices {
 public:
  virtual ~GameServices() = default;

  // How the touch glue treats presses and drags in the current state.
  enum class TouchMode {
    Free,        // the point follows the stylus
    Aim,         // stepwise drag; double taps count
    Pub,         // swipes and the exit corner; double taps count
    BallInHand,  // stepwise drag in the play area; double taps count
    BallInHandLeft,  // the same, in the left part of the screen only
    ShotPower,   // the power pull
  };
  virtual TouchMode touchMode() const { return TouchMode::Free; }

  // The applet's "Not enough space" notice reads this frame's keys.
  virtual void updateKeys() {}
  virtual bool isAnyKeyPressed() const { return false; }
  virtual bool isKeyPressed(uint32_t /*mask*/) const { return false; }

  // Sound queries and stops of activation and idle.
  virtual bool isSoundEnabled() const { return false; }
  virtual int32_t currentSoundId() const { return -1; }
  virtual int32_t stopAllSounds() { return 0; }
  virtual bool isAnySoundPlaying() { return false; }
  // Clears the slide-in timers of the current interface's elements.
  virtual void stopCurrentElementAnimations() {}

  // A data file the game cannot go on without was missing or damaged: what
  // to tell the player ("ig.bar is damaged: entry 12 does not decode"), or
  // null. The host ends the program with it after the frame.
  virtual const char* fatalError() const { return nullptr; }

  // --- touch: written by the host's touch glue, read by the stylus mapping
  int32_t pointerX = -1;
  int32_t pointerY = -1;
  int32_t releaseX = -1;
  int32_t releaseY = -1;
  int32_t dragRefX = 0;
  int32_t dragRefY = 0;
  int32_t pressY = 0;
  int32_t lastTapX = 0;
  int32_t lastTapY = 0;
  uint32_t lastTapTime = 0;
  uint8_t powerPull = 0;
  uint8_t swipeLeft = 0;
  uint8_t swipeRight = 0;
  uint8_t swipeThird = 0;
  uint8_t swipeFourth = 0;
  uint8_t doubleTap = 0;
  uint8_t exitCornerTouched = 0;
  uint8_t pointerReleased = 0;
  // The last pen-down point, and 1 until a stylus mapping pass has run since
  // it: a press and release between two passes still reach the mapping.
  int32_t pressPointX = -1;
  int32_t pressPointY = -1;
  uint8_t pressUnmapped = 0;

  // --- save: 100 while storage is short (the applet shows its notice), 101
  // once the notice was dismissed.
  int32_t m_noSpaceState = 0;

  // --- set by the host while it idles in the background
  uint8_t m_interrupted = 0;
};
