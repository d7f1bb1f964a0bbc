// The computer opponent: profiles, and the think that chooses a shot. It
// works back from the pockets (or from points near a ball for a safety),
// builds chains of legs (object ball into pocket, cue ball onto the ghost
// point behind a ball, optionally off one cushion or through a second ball),
// tests each leg on the balls' shadows, scores whole chains by running the
// rule graph over a made-up event list and keeps the best. The think runs
// over frames as a small state machine; its result goes into the shot fields.
//
// OpponentState is a plain record (its trial world aside, which a copy
// does not take); Opponent works on one together with the
// world and rule state it is given, like ShotRules.
#pragma once

#include <cstdint>
#include <memory>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/cGamePlay/RuleState.h"
#include "game/Korvane/cGamePlay/ShotRules.h"

// The profile tables: 11 profiles of 14 values.
struct OpponentProfiles {
  static constexpr int32_t kProfiles = 11;
  static constexpr int32_t kValues = 14;
  static constexpr int32_t kRecordBytes = 50;  // 12 u32 and 2 u8
  static constexpr int32_t kFileBytes = kProfiles * kRecordBytes;

  // Values 0-6 and 11 are percentages and become Q14 fractions, 7-10 whole
  // table units, 12 and 13 flags kept as read. Unsigned shifts: a negative
  // y read as a u32 becomes the negative Q14 value.
  static int32_t convert(int32_t value, uint32_t raw);
  // Reads the file layout (little-endian). A short entry leaves every table
  // zeroed and returns false.
  bool read(const uint8_t* bytes, int32_t size);
  // Sets every value of both tables to 0.
  void clear();
  // The own table: every row a copy of the loaded profile 10.
  void fillProfileTable();
  void useLoaderProfiles() { useOwn = 0; }
  void useOwnProfiles() { useOwn = 1; }
  // A value of the table in use; 0 for a profile or value out of range.
  int32_t value(int32_t profile, int32_t k) const;

  int32_t loaded[kProfiles][kValues] = {};
  int32_t own[kProfiles][kValues] = {};
  uint8_t useOwn = 0;
};

// One leg's record: what the chain up to this node needs.
struct AiLeg {
  Q14 feasibility = 0;
  Q14 distance = 0;
  Q14 speed = 0;  // required cue-ball speed
  Q14 one = 16384;
  uint8_t known = 0;  // computed for this think
};

struct AiNode {
  PhysicalObject* target = nullptr;  // a ball, a pocket, or the cushion-line head
  Vector2 pointA{0, 0};              // where the incoming ball must arrive
  Vector2 legVector{0, 0};           // from this node's ball to the parent's point
  int32_t parent = -1;
  AiLeg leg;
};

struct AiEvaluation {
  int32_t node = -1;
  Q14 score = 0;
  Q14 weight = 0;
  Vector2 cuePlace{0, 0};  // where the cue ball stood when the chain was scored
};

struct AiLevel {
  int32_t first = -1;
  int32_t last = -1;
  bool empty() const { return first < 0 || last < first; }
};

// The think machine's states, and the events it is stepped with.
enum OpponentThink : int32_t {
  kThinkDone = -1,
  kThinkStart = 0,   // lag, break or placement, then the pocket roots
  kThinkSearch = 1,  // chains from the pockets back to the cue ball
  kThinkSafety = 3,  // chains from points near the own balls
  kThinkChoose = 5,  // the best chain, or the next attempt
  kThinkShoot = 6,   // the chosen shot into the shot fields
};
enum OpponentEvent : int32_t { kThinkEnter = 0, kThinkUpdate = 1, kThinkLeave = 2 };

// The world the opponent judges its chains on, kept from one chain to the
// next, across think steps and decisions, so that each chain assigns the
// world into it instead of making a new copy. It holds nothing of the
// think: a copy of the holder starts empty.
class TrialWorld {
 public:
  TrialWorld() = default;
  TrialWorld(const TrialWorld&) {}
  TrialWorld& operator=(const TrialWorld&) { return *this; }
  // An exact copy of world, in the kept world.
  PhysicsWorld& copyOf(const PhysicsWorld& world) {
    if (m_world)
      *m_world = world;
    else
      m_world = std::make_unique<PhysicsWorld>(world);
    return *m_world;
  }

 private:
  std::unique_ptr<PhysicsWorld> m_world;
};

struct OpponentState {
  static constexpr int32_t kNodeSlots = 140;
  static constexpr int32_t kNodeLimit = 60;
  static constexpr int32_t kBankNodeLimit = 58;
  static constexpr int32_t kEvaluations = 8;
  static constexpr int32_t kLevels = 5;
  static constexpr int32_t kDone = kThinkDone;
  // Updates one think may take before it shoots what it has.
  static constexpr int32_t kMaxThinkUpdates = 2000;

  OpponentProfiles profiles;
  int32_t currentProfile = 0;

  AiNode nodes[kNodeSlots] = {};
  int32_t nodeCount = 0;
  int32_t lastRoot = -1;
  AiLevel levels[kLevels] = {};
  AiEvaluation evaluations[kEvaluations] = {};
  int32_t evaluationCount = 0;
  Q14 bestScore = 0;
  int32_t bestEvaluation = -1;

  int32_t state = kDone;
  int32_t phase = 0;
  int32_t subCursor = 0;
  uint32_t usedMask = 0;  // by ball-list place: bit 1 << (place + 1)
  uint8_t safety = 0;
  uint8_t attempts = 0;
  uint8_t considerAll = 0;
  int32_t placementCursor = -1;
  uint8_t flagA = 0;  // bank legs
  uint8_t flagB = 0;  // combination legs
  uint8_t secondPlacement = 0;
  uint8_t giveUpAllowed = 0;
  uint8_t giveUp = 0;
  int32_t thinkUpdates = 0;
  // Where the opponent wants the cue ball (ball in hand).
  Vector2 candidateSpot{0, 0};
  TrialWorld trial;
};

// What the think reads of the turn besides the world and the rules.
struct OpponentTurn {
  bool ballInHand = false;  // the computer at the table has the ball in hand
  bool inHandState = false;  // the turn flow already placed the cue ball
};

class Opponent {
 public:
  // Search area of ball centres: the cushions' insides.
  static constexpr Q14 kLeft = 0x56000;       // 21.5
  static constexpr Q14 kRight = 2416640;      // 147.5
  static constexpr Q14 kTop = -401408;        // -24.5
  static constexpr Q14 kBottom = -4546560;    // -277.5
  static constexpr Q14 kGhost = 147456;       // 9.0
  static constexpr Q14 kPlacementStep = 294912;  // 18.0
  static constexpr int32_t kClearTime = 1016;
  static constexpr Q14 kGoodScore = 8192;

  Opponent(OpponentState& state, PhysicsWorld& world, RuleState& rules, MatchSetup& setup,
           const OpponentTurn& turnInfo = {})
      : o(state), w(world), s(rules), match(setup), turn(turnInfo) {}

  // The think machine: kThinkEnter enters the state, kThinkUpdate updates
  // it, kThinkLeave leaves it.
  void updateAI(int32_t state, int32_t event, bool frameDone);
  // A new think: kThinkStart entered.
  void reset();
  void setState(int32_t state);
  bool done() const { return o.state == OpponentState::kDone; }
  void searchAIShot(int32_t steps);

  // Nodes and evaluations.
  int32_t addNode(PhysicalObject* target, const Vector2& pointA, const Vector2& legVector, const AiLeg* leg,
                  int32_t parent);
  int32_t addEvaluation(int32_t node);
  bool chainContains(int32_t node, const PhysicalObject* object) const;
  void makePocketRoots();

  // Legs.
  bool pathClear(PhysicalObject* ball, const Vector2& from, const Vector2& step, const PhysicalObject* goal);
  void directLeg(PhysicalObject* ball, int32_t parent);
  void bankLeg(PhysicalObject* ball, int32_t parent);
  // The point on cushion c (0 left, 1 top, 2 right, 3 bottom) that sends a
  // ball from s to p by the mirror rule.
  static Vector2 mirrorPoint(int32_t cushion, const Vector2& s, const Vector2& p);
  static bool inArea(const Vector2& p);
  // Whether a ball at h touches one of the straight rails clear of its ends:
  // a bank point in a pocket's mouth has no cushion to come off.
  bool onRail(const Vector2& h) const;
  void levelExpansion(int32_t level, int32_t source, bool bank);
  void cueExpansion(int32_t level, bool bank);

  // Scoring.
  Q14 chainFeasibility(int32_t node);
  Q14 chainScore(int32_t evaluation);
  Q14 gaugeForSpeed(Q14 v);
  void applyEvaluation(int32_t evaluation);
  bool placementSearch();
  void fallbackShot();

  // The lag's and break's shots.
  void prepareLag();
  void prepareBreak();
  // A spot in the kitchen for the cue ball: the side drawn (0 left, 1 right).
  int32_t randomBreakSpot(Vector2& out);

  // A value of the profile of the player at the table.
  int32_t profileValue(int32_t k) const;
  // The break position of a profile (values 9 and 10).
  Vector2 breakPosition(int32_t profile) const;

 private:
  bool nine() const { return match.ruleSet == MatchSetup::kNineBall; }
  bool uk() const { return match.ruleSet == MatchSetup::kUK; }
  int32_t player() const { return match.currentPlayer & 1; }
  uint32_t targetMask() const { return s.playerTarget[player()]; }
  uint32_t groupMask() const { return s.playerGroup[player()]; }
  bool isBall(const PhysicalObject* t) const { return t && t->type == PhysicalObject::kBall; }
  bool isCushion(const PhysicalObject* t) const { return t && t == w.lineHead; }
  bool stopSearch() const {
    return o.nodeCount >= OpponentState::kNodeLimit || o.evaluationCount >= OpponentState::kEvaluations;
  }
  void scoreCueNode(int32_t node, int32_t removeFrom);
  void clearThink();
  void placeCueBall(const Vector2& p);
  // The cue ball at p or, where p is blocked, at the next free place: 3.0
  // further right each time, or another kitchen spot with drawAgain.
  void placeCueBallFree(const Vector2& p, bool drawAgain);
  bool lowestBallObject(PhysicalObject*& ball) const;

  OpponentState& o;
  PhysicsWorld& w;
  RuleState& s;
  MatchSetup& match;
  OpponentTurn turn;
};
