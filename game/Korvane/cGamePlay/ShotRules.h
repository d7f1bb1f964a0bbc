// The shot rules of eight-ball, UK eight-ball and nine-ball, the lag, the
// challenges and the tutorial lessons: the contact hook that tracks a shot
// while the balls move, the rule graph that turns the shot's events into an
// outcome word, and the application of that word to the match. Works on a
// rule state and a physics world it is given; everything the game shows or
// plays goes through the world's hooks.
#pragma once

#include <cstdint>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/cGamePlay/MatchSetup.h"
#include "game/Korvane/cGamePlay/RuleIds.h"
#include "game/Korvane/cGamePlay/RuleState.h"

// The challenge table: 32 records of 29 words.
constexpr int32_t kChallengeCount = 32;
constexpr int32_t kChallengeWords = 29;
extern const int32_t ChallengeDefinition[kChallengeCount][kChallengeWords];

class ShotRules {
 public:
  static constexpr int32_t kNodeEnd = -1;
  static constexpr int32_t kLastNode = 25;
  static constexpr int32_t kPocketCount = 6;

  // The match is read, and its current player switched, in place.
  ShotRules(RuleState& state, PhysicsWorld& world, MatchSetup& setup) : s(state), w(world), match(setup) {}

  // Contacts while the balls move.
  void onContact(PhysicalObject* first, PhysicalObject* second);
  // Clears what a stroke starts afresh: the event list and the per-stroke counters.
  void beginStroke();

  // The graph.
  void runShotRules();
  // Runs the graph on copies of the rule state, world and match and returns
  // the outcome; the match is left as it was.
  uint32_t lookAheadShotRules();
  void updateShotRules(int32_t node, int32_t event);
  void pushShotRulesState(int32_t node);
  void nextShotEvent();
  void reRack();
  int32_t countBreakBalls() const;
  void checkJumpFoul();

  // Challenges.
  void startChallengeRules();
  void clearChallengeRules();
  void loadChallengeDefinition(int32_t index);
  void checkChallengeShot(int32_t event);
  bool challengeHasSeveralShots() const { return s.challengeShotsAllowed > 1; }

  // Applying the outcome.
  void Rules_Apply();
  bool checkBallsOffTable();
  void respotBalls();
  int32_t lowestBallOnTable() const;
  void assignGroups(int32_t solidsPlayer, int32_t stripesPlayer);
  void showGroupsMessage();
  void switchPlayer();
  void resetShotTracking();
  void setGroupIcon(int32_t element, int32_t frame, int32_t palette);

  static bool isObjectBallOnTable(const PhysicalObject* object);
  static bool isStripe(int32_t n) { return n >= 0 && n < 32 && ((0xFE00u >> n) & 1u); }
  static bool isSolid(int32_t n) { return n >= 0 && n < 32 && ((254u >> n) & 1u); }
  static uint32_t bit(int32_t n) { return n >= 0 && n < 32 ? 1u << n : 0u; }
  // 70 at rest, 100 at a speed of 300.0.
  static int32_t contactVolume(Q14 speed);
  // Slot 0-5 of a pocket object, -1 when it is none of them.
  int32_t pocketIndex(const PhysicalObject* pocket) const;

 private:
  bool uk() const { return match.ruleSet == MatchSetup::kUK; }
  bool nine() const { return match.ruleSet == MatchSetup::kNineBall; }
  bool human(int32_t player) const { return player >= 0 && player < 2 && match.playerProfile[player] == -1; }
  bool ownBall(int32_t n) const { return (s.playerGroup[match.currentPlayer & 1] & bit(n)) != 0; }
  void twoToOne() {
    if (s.shotsLeft == 2) s.shotsLeft = 1;
  }
  void texts(uint32_t first, uint32_t second) {
    s.messageText = first;
    s.secondMessageText = second;
  }
  void end() { pushShotRulesState(kNodeEnd); }
  void crowdSound();
  void railIntoBreakCount();
  void eightOnBreak(bool secondText);
  void breakNode(int32_t node);
  void groupNode(int32_t node);
  void nineBallNode(int32_t node, int32_t event);
  void lagEnd();
  void tutorialNode(int32_t event);
  void trickShotBonus();
  void challengeFail(uint32_t text);
  bool placeOverlaps(const PhysicalObject& ball) const;
  void debugLine(const char* format, int32_t value = 0);

  RuleState& s;
  PhysicsWorld& w;
  MatchSetup& match;
  int32_t m_guard = 0;  // updates left in this run
};
