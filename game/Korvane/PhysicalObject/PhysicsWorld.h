// The physics world of a match: the objects by type and by slot, the ball
// list, the markers, the shot, and the flags the motion and looks read.
// Owns every object it holds; the game side only reaches the objects' looks.
#pragma once

#include <cstdint>

#include "game/Korvane/PhysicalObject/PhysicalObject.h"
#include "game/Korvane/PhysicalObject/PoolHooks.h"
#include "game/Korvane/PhysicalObject/Random.h"
#include "game/Korvane/PhysicalObject/ShotRecord.h"

struct TableLayoutGroup;

// Pending contacts of one physics step, earliest first.
struct CollisionList {
  static constexpr int32_t kSize = 7;
  static constexpr int32_t kNone = 0x7fffffff;

  void reset();
  // Sorted insertion; a full list drops the latest contact and starts the
  // sub-step counter. Returns false when the new contact was dropped.
  // Contacts of the same time unit go in the order of the part of the unit
  // they come at (fraction, 1/16384), equal ones in the order inserted.
  bool insert(int32_t time, PhysicalObject* first, PhysicalObject* second, int32_t fraction = 0);

  int32_t times[kSize] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  int32_t fractions[kSize] = {};
  PhysicalObject* pairs[kSize][2] = {};
  uint32_t groupMask = 0xffffffffu;
  int32_t count = 0;
  int32_t subSteps = -1;
  // Balls whose best contact a full list dropped: searched again next time.
  uint32_t droppedMask = 0;
};

// Everything a world holds. The objects are the world's own: a copy of the
// world has copies of them, and every pointer to one (lists, slots, the
// shot's events, the pending contacts) points to the copy's.
struct PhysicsWorldData {
  static constexpr int32_t kPocketSlots = 100;
  static constexpr int32_t kLineSlots = 24;
  static constexpr int32_t kFirstRunSlots = 18;  // lines 18-23 are the second run
  static constexpr int32_t kJawSlots = 12;
  static constexpr int32_t kBallSlots = 16;

  CollisionList collisions;
  PhysicalObject* currentPair[2] = {};
  uint32_t zoneMaskValue = 0xffffff;
  uint8_t zoneMaskOn = 1;  // off only to check that the mask changes nothing
  int32_t contactCapHits = 0;

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
};

class PhysicsWorld : public PhysicsWorldData {
 public:
  // Object kinds of createTableObject besides the ball numbers 0-15.
  static constexpr int32_t kKindPocket = 25;
  static constexpr int32_t kKindCushion = 26;

  PhysicsWorld();
  ~PhysicsWorld();
  // An exact copy: the same objects, looks included, in the same lists and
  // slots; the generator and hooks are shared. A trial run on the copy
  // gives the same bits as on the original and leaves the original as it was.
  // Assigning reuses this world's objects for other's in the same places.
  PhysicsWorld(const PhysicsWorld& other);
  PhysicsWorld& operator=(const PhysicsWorld& other);
  // The object of copy in the place object holds in this world (its slot,
  // shadow or marker); null when object is none of this world's.
  PhysicalObject* counterpartIn(const PhysicsWorld& copy, const PhysicalObject* object) const;

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
  // The rack's small random shift: each ball up to 0.78 toward larger x and y.
  void jitterRack();
  // The shift may press the balls of a touching rack into each other (by up
  // to about 0.6): each pair it left overlapping (clear of each other at
  // their places) is set apart along its centres, both balls alike, until
  // none is.
  void settleRack();
  void setBallRollFrames();
  // Every ball back to its off-table rest, shadows copied from the balls.
  void resetBalls();
  // Copies every ball into its shadow; the shadow list follows the ball list.
  void copyBallsToShadows();
  void relinkShadows();

  // ---- physics step and contacts (PhysicsStep.cpp)
  static constexpr int32_t kNoContact = CollisionList::kNone;
  // Contacts one physicsStep resolves at most before it integrates the rest.
  static constexpr int32_t kMaxContactsPerStep = 512;
  // Time horizon of a straight-line search in place of an unlimited one.
  static constexpr int32_t kSearchHorizon = 4096;

  void physicsStep(PhysicalObject* list, int32_t T);
  void physicsStepBalls(int32_t T) { physicsStep(ballList, T); }
  int32_t findEarliestContact(PhysicalObject* list, int32_t T, bool prepare, bool testCushions, bool collect);
  int32_t previewStep(PhysicalObject* list, int32_t T, bool testCushions);
  bool isBallPlacementBlocked(const PhysicalObject& ball) const;
  // Resolves a contact by the second object's type.
  void respond(PhysicalObject* list, PhysicalObject& first, PhysicalObject& second);
  // A contact as the step resolves it: the game's handler, then the
  // response, or for two balls of a cluster the cluster's one event. The
  // identity bits of the balls a cluster event changed besides the pair.
  uint32_t resolveContact(PhysicalObject* list, PhysicalObject& first, PhysicalObject& second);
  // A ball-ball contact of a and b while a third ball lies within a gap of
  // 2.0 of either (PhysicsCluster.cpp): the cluster of balls so close is
  // resolved as one event, the handler hearing every pair that took part.
  // changed gets the identity bits of the balls whose motion changed. False,
  // with nothing done, for a pair on its own.
  bool clusterContact(PhysicalObject* list, PhysicalObject& a, PhysicalObject& b, uint32_t& changed);
  // Takes out what still closes between touching balls, half from each, as
  // a contact that does not bounce.
  void stopClosing(PhysicalObject* list);

  // Contact times within T in whole time units, or kNoContact; fraction gets
  // the part of a unit beyond the time (1/16384), which orders contacts of
  // the same unit.
  static int32_t ballBallTime(int32_t T, const PhysicalObject& a, const PhysicalObject& b, int32_t* fraction = nullptr);
  static int32_t ballPocketTime(int32_t T, const PhysicalObject& ball, const PhysicalObject& pocket,
                                int32_t* fraction = nullptr);
  static int32_t ballPointTime(int32_t T, const PhysicalObject& ball, const Vector2& point,
                               int32_t* fraction = nullptr);
  static int32_t ballLineTime(int32_t T, const PhysicalObject& ball, const Vector2& pointA, const Vector2& pointB,
                              const Vector2& normal, int32_t* fraction = nullptr);
  static int32_t ballCushionTime(int32_t T, const PhysicalObject& ball, const PhysicalObject& other,
                                 int32_t* fraction = nullptr);
  // Responses.
  void ballBallResponse(PhysicalObject* list, PhysicalObject& a, PhysicalObject& b) const;
  // A ball a contact left at rest and overlapping a resting ball is set
  // apart to touching, by its place alone.
  static void separate(PhysicalObject* list, PhysicalObject& ball);
  // A jumped ball coming down on the cloth inside another ball: it is put
  // back along its flight to where it first touches one, and the two meet.
  void landOnBalls(PhysicalObject& ball);
  // The list a ball is on: the shadows or the balls.
  PhysicalObject* listOf(const PhysicalObject& ball) const;
  static void lineResponse(PhysicalObject& ball, const PhysicalObject& line);
  static void jawResponse(PhysicalObject& ball, const PhysicalObject& jaw);
  // The lines (bits 0-11) and jaws (bits 12-23) worth testing for a ball.
  uint32_t zoneMask(const Vector2& position, const Vector2& direction) const;
  static Q14 frictionRoot(Q14 v, Q14 d);

  // ---- the strike (PhysicsStrike.cpp)
  // Sets the ball's motion from the shot; maxPower in percent; cushionFirst:
  // the struck aim's first contact is a cushion line or jaw point.
  void strikeCueBall(PhysicalObject& ball, bool preview, int32_t maxPower, bool cushionFirst);
  // Whether the cue ball struck along the aim first meets a cushion line or
  // jaw point; plays a preview on the shadows, which are copied back after.
  bool isFirstContactCushion();
  void setShadowFullSpeed();
  // Whether a preview strike along the aim reaches ball n first.
  bool aimReachesBall(int32_t n);


  // The T = 0 ball-pocket test: centre within 8.0 of the pocket's centre.
  static bool isInPocket(const PhysicalObject& ball, const PhysicalObject& pocket);
  // Pocket capture: the ball glides into the pocket from now on.
  static void capturePocket(PhysicalObject& ball, PhysicalObject& pocket);

  // A draw 0 .. max - 1 from the game's generator (0 without one).
  int32_t draw(int32_t max) { return random ? random->nextInt(0, max) : 0; }
  PoolHooks& hook() { return hooks ? *hooks : m_noHooks; }


 private:
  void removeBall(int32_t number);
  // Every place that owns an object: balls, pockets, lines, jaws, the cue
  // stick, the hand cursor and the two markers, in that order.
  static constexpr int32_t kObjectSlots = kBallSlots + kPocketSlots + kLineSlots + kJawSlots + 4;
  template <typename F>
  void forEachSlot(F&& f);
  // Replaces every object pointer just copied from another world by a
  // pointer to its own copy of that object. reuse (null, or one object or
  // null per place, in forEachSlot's order) holds this world's former
  // objects: each becomes the copy of the object now in its place, or is
  // deleted when that place is empty.
  void cloneObjects(PhysicalObject* const* reuse);
  PoolHooks m_noHooks;
};
