// Plays shots on a table built from the layout source the way a match plays
// them: the strike with the cushion-first rule for the aim struck, physics
// frames of 50 time units until every ball rests (balls whose disc leaves
// the play area marked off the table), the rule graph and the outcome
// applied, the cue ball carried on to the next shot. Used by the layout
// author and by the replay tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "game/Korvane/cGamePlay/ShotRules.h"

namespace tablelayout {

struct ReplayShot {
  int32_t aimX = 0, aimY = 0;  // Q14, need not be a unit vector
  int32_t masse = 0;
  int32_t englishX = 0, englishY = 0;  // Q14 cue-tip point
  int32_t power = 0;                   // gauge value
};

// Stored shot s of a challenge's demonstration.
ReplayShot demoShot(int32_t challenge, int32_t shot);

struct ReplayPoint {
  double x, y;  // file units, y down the table
};

// What one shot did, read from its events and the balls at rest.
struct ShotResult {
  uint32_t outcome = 0;
  uint32_t messageText = 0;
  uint32_t pottedMask = 0;  // balls pocketed in this shot
  int32_t pocketOf[16] = {};  // pocket slot of each ball pocketed in this shot, -1 none
  uint32_t railMask = 0;    // balls that touched a cushion line or jaw point
  uint32_t touchedMask = 0;  // balls that took part in a ball-ball contact
  int32_t firstHit = -1;    // the cue ball's first object ball
  uint32_t offTableMask = 0;
  int32_t frames = 0;
  bool settled = true;  // false when the frame cap ended the shot
  // The cue ball's path: where it was at every contact and after every frame.
  // The path of the traced ball (the cue ball unless asked otherwise): where
  // it was at every contact of its own and after every frame, its speed
  // there (table units per 1024 time units) and whether it was in the air.
  std::vector<ReplayPoint> path;
  std::vector<double> speed;
  std::vector<uint8_t> airborne;
  // What the traced ball met at each path point: 0 nothing (a frame's end),
  // 1 a ball, 2 a cushion line or jaw point, 3 anything else.
  std::vector<uint8_t> contact;
  bool cueFirstRail = false;  // the cue ball met a cushion before any ball
};

class ShotReplay final : PoolHooks {
 public:
  static constexpr int32_t kFrameUnits = 50;
  static constexpr int32_t kMaxFrames = 6000;

  ShotReplay();
  ~ShotReplay() override;
  ShotReplay(const ShotReplay&) = delete;
  ShotReplay& operator=(const ShotReplay&) = delete;

  // Builds the table of a layout source; false when it does not build.
  bool loadTable(const std::string& sourcePath);
  // Builds the table of groups read elsewhere (the built archive's).
  bool loadLayout(const TableLayout& layout);
  TableLayout& layout() { return m_layout; }
  PhysicsWorld& world() { return m_world; }
  RuleState& rules() { return m_rules; }

  // Frame starts: the group's balls placed, the break counted as played,
  // the rules in challenge mode (definition loaded) or tutorial mode.
  void startChallenge(int32_t challenge);
  void startLesson(int32_t lesson);
  // Same, on a group of the caller's instead of the loaded one.
  void startChallenge(int32_t challenge, const TableLayoutGroup& group);
  void startLesson(int32_t lesson, const TableLayoutGroup& group);

  // Strikes, runs the shot to rest, judges it and applies the outcome.
  // traceBall: the ball whose path is kept, -1 none.
  ShotResult play(const ReplayShot& shot, int32_t traceBall = -1);

 private:
  void onContact(PhysicalObject* first, PhysicalObject* second) override;
  void begin(const TableLayoutGroup& group);
  ShotRules rulesFor() { return ShotRules(m_rules, m_world, m_setup); }

  TableLayout m_layout;
  PhysicsWorld m_world;
  RuleState m_rules;
  MatchSetup m_setup;
  void tracePoint(uint8_t contact);
  ShotResult* m_trace = nullptr;
  PhysicalObject* m_traced = nullptr;
};

}  // namespace tablelayout
