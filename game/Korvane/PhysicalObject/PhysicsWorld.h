// The physics world of a match: the objects by type and by slot, the ball
// list, the markers, the shot, and the flags the motion and looks read.
// Owns every object it holds; the game side only reaches the objects' looks.
#pragma once

#include <cstdint>

#include "game/Korvane/PhysicalObject/PhysicalObject.h"
#include "game/Korvane/PhysicalObject/PoolHooks.h"
#include "game/Korvane/PhysicalObject/ShotRecord.h"
#include "game/Korvane/cGame/Random.h"

struct TableLayoutGroup;

class PhysicsWorld {
 public:
  static constexpr int32_t kPocketSlots = 100;
  static constexpr int32_t kLineSlots = 24;
  static constexpr int32_t kFirstRunSlots = 18;  // lines 18-23 are the second run
  static constexpr int32_t kJawSlots = 12;
  static constexpr int32_t kBallSlots = 16;
  // Object kinds of createTableObject besides the ball numbers 0-15.
  static constexpr int32_t kKindPocket = 25;
  static constexpr int32_t kKindCushion = 26;

  PhysicsWorld();
  ~PhysicsWorld();
  PhysicsWorld(const PhysicsWorld&) = delete;
  PhysicsWorld& operator=(const PhysicsWorld&) = delete;

  // The off-table detector and the landing marker, kept for the game's life.
  void createMarkers();
  void releaseMarkers();

  // One record of a layout group as a pocket, cushion point or ball.
  void createTableObject(const TableLayoutGroup& group, int32_t record, int32_t kind);
  void deleteCushionAndPockets();
  void createScreenObjects();
  // Deletes every table object (not the markers) and clears the counters.
  void freeTableObjects();

  // Puts the balls at the positions of a layout group; a ball whose record
  // is missing or whose disc misses the play area stays off.
  void placeBalls(const TableLayoutGroup& group);
  void jitterRack();
  void setBallRollFrames();
  // Every ball back to its off-table rest, shadows copied from the balls.
  void resetBalls();
  void copyBallsToShadows();

  // The T = 0 ball-pocket test: centre within 8.0 of the pocket's centre.
  static bool isInPocket(const PhysicalObject& ball, const PhysicalObject& pocket);
  // Pocket capture: the ball glides into the pocket from now on.
  static void capturePocket(PhysicalObject& ball, PhysicalObject& pocket);

  // A draw 0 .. max - 1 from the game's generator (0 without one).
  int32_t draw(int32_t max) { return random ? random->nextInt(0, max) : 0; }
  PoolHooks& hook() { return hooks ? *hooks : m_noHooks; }

  // Lists by type (a new object is pushed at the head).
  PhysicalObject* ballHead = nullptr;
  PhysicalObject* shadowHead = nullptr;
  PhysicalObject* lineHead = nullptr;
  PhysicalObject* jawHead = nullptr;
  PhysicalObject* pocketHead = nullptr;
  PhysicalObject* detectorHead = nullptr;

  // The balls in creation order, chained through next.
  PhysicalObject* ballList = nullptr;
  PhysicalObject* cueBall = nullptr;
  PhysicalObject* ball8 = nullptr;
  PhysicalObject* balls[kBallSlots] = {};
  PhysicalObject* cueStick = nullptr;
  PhysicalObject* handCursor = nullptr;
  PhysicalObject* offTableDetector = nullptr;
  PhysicalObject* landingMarker = nullptr;

  PhysicalObject* pockets[kPocketSlots] = {};
  PhysicalObject* lines[kLineSlots] = {};
  int32_t lineCount = 0;        // first run, slots 0-17
  int32_t secondLineCount = 0;  // second run, slots 18-23
  PhysicalObject* jaws[kJawSlots] = {};
  int32_t jawCount = 0;
  int32_t cushionPointCount = 0;
  Vector2 previousCushionPoint{0, 0};

  uint32_t movingMask = 0;
  uint8_t breakPlayed = 0;
  uint8_t breakFollowUp = 0;  // the byte kept beside the break-played flag
  uint8_t interiorCut = 1;
  uint8_t skipping = 0;
  uint8_t handPlaced = 0;
  uint8_t fastPullBack = 0;

  int32_t originX = 0;  // table origin on screen, pixels
  int32_t originY = 0;
  int32_t frameMs = 0;  // the frame's elapsed milliseconds
  ShotRecord shot;

  Random* random = nullptr;
  PoolHooks* hooks = nullptr;

 private:
  void removeBall(int32_t number);
  PoolHooks m_noHooks;
};
