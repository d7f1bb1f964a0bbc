// One element of the physics world: a ball, pocket, cushion line, jaw point,
// marker, cue stick or hand cursor. A plain record; the world it lives in is
// passed to the operations that need it.
#pragma once

#include <cstdint>

#include "zul/lm/Vector2.h"

class ObjectLook;
class PhysicsWorld;

class PhysicalObject {
 public:
  enum Type : uint32_t {
    kBall = 1,
    kPocket = 2,
    kLine = 8,
    kJaw = 16,
    kLineB = 32,
    kLineC = 64,
    kOffTable = 128,
    kLanding = 256,
    kScreen = 512,  // cue stick or hand cursor
  };
  static constexpr int32_t kCueStick = 24;
  static constexpr int32_t kPocketId = 25;
  static constexpr int32_t kLineId = 26;
  static constexpr int32_t kHandCursor = 66;
  static constexpr int32_t kRestFrame = 5;

  // Resets every field, sets the type and state 3 and joins the world's list
  // of the type (a ball also gets its shadow). A null world joins no list.
  PhysicalObject(PhysicsWorld* world, uint32_t type);
  // Copies the look and motion fields, not the shadow, look or identity.
  PhysicalObject(const PhysicalObject& other);
  PhysicalObject& operator=(const PhysicalObject&) = delete;
  ~PhysicalObject();
  // An exact copy, its look and shadow copied too; its next and pocket
  // point where this object's do, for the world copying it to redirect.
  PhysicalObject* clone() const;
  // Makes this object an exact copy of other, as clone does, reusing this
  // object's own look and shadow where other has them too.
  void assignFrom(const PhysicalObject& other);

  void init();
  void reset();
  // Refreshes this object (a shadow) from its ball.
  void copySetting(const PhysicalObject& source);

  void setPosition(Q14 px, Q14 py) { position.set(px, py); }
  // Adds twice the offset.
  void offsetPosition(Q14 dx, Q14 dy);
  void setDropping(int32_t b) { dropping = static_cast<uint8_t>(b & 0xFF); }
  bool isMoving() const { return speed != 0 || spin.x != 0 || spin.y != 0; }
  static bool anyObjectMoving(const PhysicalObject* list);
  static void unlinkObjectList(PhysicalObject* list);

  // Motion over a slice of dt time units.
  void prepareStep(PhysicsWorld& world, int32_t dt);
  void integrate(int32_t dt);
  // Once-per-frame look.
  void update(PhysicsWorld& world);
  void updatePocketDrop(PhysicsWorld& world);
  bool isAtPocketCentre() const;

  // The screen pixel point of a table point.
  static void toScreen(const PhysicsWorld& world, const Vector2& p, int32_t& sx, int32_t& sy);

  uint32_t type;
  PhysicalObject* next;
  PhysicalObject* shadow;
  ObjectLook* animPlayer;
  Vector2 position;
  int32_t frame;
  int32_t kind;
  int32_t m_screenX, m_screenY;
  int32_t code;
  Vector2 direction;
  Q14 speed;
  Vector2 step;
  Vector2 spin;
  Q14 sideKick;
  int32_t airTime;
  int32_t airPhase;
  PhysicalObject* pocket;
  Vector2 pointA;
  Vector2 pointB;
  Vector2 normal;
  Q14 entrySpeed;
  int32_t identity;
  int32_t link;
  int32_t state;
  uint8_t shown;
  uint8_t pocketed;
  uint8_t advanced;
  uint8_t dropping;
  uint8_t airborneLook;
  uint8_t hidden;
  uint8_t offTable;

 private:
  void updateBall(PhysicsWorld& world);
  void updateHandCursor(PhysicsWorld& world);
  void updateCueStick(PhysicsWorld& world);
  void land(PhysicsWorld& world);
};

// dt time units as a Q14 slice (dt / 1024), through the float conversion.
Q14 sliceOf(int32_t dt);
