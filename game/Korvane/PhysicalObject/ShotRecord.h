// The shot being prepared: aim, cue-tip point, power, the cue stick's
// pull-back and stroke timer, the ball in hand, the target list and the
// contacts recorded during the shot.
#pragma once

#include <cstdint>

#include "zul/lm/Vector2.h"

class PhysicalObject;

struct ShotRecord {
  static constexpr int32_t kMaxTargets = 16;
  static constexpr int32_t kMaxEvents = 200;
  // Room behind the 200 kept for pocket, off-table and landing events.
  static constexpr int32_t kReservedEvents = 48;
  static constexpr Q14 kRestDistance = 0x20000;  // 8.0

  struct Target {
    int32_t angle;  // whole degrees
    int32_t ball;
  };
  struct Event {
    PhysicalObject* first;
    PhysicalObject* second;
  };

  static constexpr Q14 kTipRadius = 0x28000;  // 10.0

  // Turns the aim by angle (Q14 degrees); forgets the chosen target and marks the aim changed.
  void rotateAim(Q14 angle);
  // Aims along (dx, dy), y up the table, as a touch does: the exact
  // direction, then turned by nothing.
  void aimAlong(int32_t dx, int32_t dy);
  // Moves the cue-tip point and keeps it within kTipRadius.
  void moveEnglishPoint(Q14 dx, Q14 dy);
  // Back to unit length by an exact root (the vector's own length is too
  // coarse to hold a unit vector steady over many turns).
  static void renormalise(Vector2& v);
  // Scales v back to length `to` when longer, by its coarse length, so that
  // points stored at that length stay where they are.
  static void limitLength(Vector2& v, Q14 to);
  // Appends a contact unless the same pair was the last one or the list is
  // full; pocket, off-table and landing events may use the reserved room.
  void recordEvent(PhysicalObject* a, PhysicalObject* b);
  void clearEvents() { eventCount = 0; }
  void clearShotCounters();

  Vector2 aim{0, 0};
  int32_t chosenTarget = -1;
  uint8_t aimChanged = 0;
  Q14 aimTurnSpeed = 4096;
  Vector2 englishPoint{0, 0};
  uint8_t masse = 0;
  Q14 powerGauge = 0;
  Q14 powerDirection = 16384;
  Q14 cueDistance = kRestDistance;
  PhysicalObject* handObject = nullptr;
  Q14 handSpeed = 16384;
  uint8_t drawFlag = 0;
  uint8_t sideSpinFlag = 0;
  uint8_t jumpShot = 0;
  uint8_t previewFlag = 0;
  // The aim guide found the cue ball's first contact to be a cushion line or jaw point.
  uint8_t cushionFirst = 0;
  Target targets[kMaxTargets] = {};
  int32_t targetCount = 0;
  Event events[kMaxEvents + kReservedEvents] = {};
  int32_t eventCount = 0;
  // Cue stroke: the two timer words (ms) and the request word the stroke clears.
  int32_t strokeTimer[2] = {};
  int32_t strokeRequest = 0;
  // Per-shot state of the turn flow, cleared at every frame start.
  uint8_t perShotBytes[3] = {};
  int32_t perShotWords[4] = {};
  // Counters of the turn flow the strike clears: a word, a run of 16 and two bytes.
  int32_t strikeWord = 0;
  int32_t strikeRun[16] = {};
  uint8_t strikeBytes[2] = {};
};
