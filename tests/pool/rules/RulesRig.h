// A table for the shot rules: sixteen balls, six pockets, the 24 cushion
// lines and a jaw point, hooks that record what the rules ask of the game,
// and shots written as short event scripts.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/Korvane/cGame/cGameTypes.h"
#include "game/Korvane/cGamePlay/ShotRules.h"

namespace rulestest {

constexpr Q14 q(double v) { return static_cast<Q14>(v * 16384.0); }

struct Hooks final : PoolHooks {
  void onContact(PhysicalObject*, PhysicalObject*) override {}
  void unlockAchievement(int32_t id) override { achievements.push_back(id); }
  void playSound(int32_t id, int32_t volume) override { sounds.emplace_back(id, volume); }
  bool isAchievementUnlocked(int32_t id) override { return id >= 0 && id < 32 && ((unlockedMask >> id) & 1u); }
  void restartHitSpark(int32_t x, int32_t y) override { sparks.emplace_back(x, y); }
  void addPottedBall(int32_t ball, int32_t player) override { potted.emplace_back(ball, player); }
  void handOverPottedBalls(int32_t from, int32_t to, uint32_t keep) override { handovers.emplace_back(from, to, keep); }
  void setGroupIcon(int32_t element, int32_t frame, int32_t palette) override {
    icons.emplace_back(element, frame, palette);
  }
  void rackAgain() override { ++racks; }
  void queueMessage(int32_t text, int32_t name, int32_t group) override { messages.emplace_back(text, name, group); }
  void showDialog(int32_t kind, int32_t title, int32_t body, int32_t number) override {
    dialogs.push_back({kind, title, body, number});
  }
  void vibrate() override { ++vibrations; }
  int32_t playerCharacter(int32_t player) override { return character[player & 1]; }

  std::vector<int32_t> achievements;
  std::vector<std::pair<int32_t, int32_t>> sounds, sparks, potted;
  std::vector<std::tuple<int32_t, int32_t, uint32_t>> handovers;
  std::vector<std::tuple<int32_t, int32_t, int32_t>> icons, messages;
  std::vector<std::vector<int32_t>> dialogs;
  int32_t racks = 0, vibrations = 0;
  uint32_t unlockedMask = 0;
  int32_t character[2] = {0, 0};
};

struct Rig {
  explicit Rig(int32_t ruleSet = MatchSetup::kEightBall) {
    setup.ruleSet = ruleSet;
    setup.gameType = k_gameTypeQuickMatch;
    world.hooks = &hooks;
    world.createMarkers();
    PhysicalObject* tail = nullptr;
    for (int32_t n = 0; n < 16; ++n) {
      auto* b = new PhysicalObject(&world, PhysicalObject::kBall);
      b->identity = b->code = n;
      b->position.set(q(30.0 + 12.0 * (n % 8)), q(-200.0 - 12.0 * (n / 8)));
      b->next = nullptr;
      if (tail)
        tail->next = b;
      else
        world.ballList = b;
      tail = b;
      world.balls[n] = b;
    }
    world.ballHead = world.ballList;
    world.cueBall = world.balls[0];
    world.ball8 = world.balls[8];
    const double px[6] = {14, 155, 12, 157, 14, 155}, py[6] = {17, 17, 151, 151, 285, 285};
    for (int32_t k = 0; k < 6; ++k) {
      world.pockets[k] = new PhysicalObject(&world, PhysicalObject::kPocket);
      world.pockets[k]->position.set(q(px[k]), q(-py[k]));
    }
    for (int32_t k = 0; k < PhysicsWorld::kLineSlots; ++k) world.lines[k] = new PhysicalObject(&world, PhysicalObject::kLine);
    // The six rails of the table, in its outline's order, from one jaw to the next.
    const double rails[6][4] = {{30, 20, 139, 20},   {152, 33, 152, 143}, {152, 159, 152, 269},
                                {139, 282, 30, 282}, {17, 269, 17, 159},  {17, 143, 17, 33}};
    for (int32_t k = 0; k < 6; ++k) {
      PhysicalObject* line = world.lines[PhysicsWorld::kFirstRunSlots + k];
      line->pointA.set(q(rails[k][0]), q(-rails[k][1]));
      line->pointB.set(q(rails[k][2]), q(-rails[k][3]));
    }
    world.jaws[0] = new PhysicalObject(&world, PhysicalObject::kJaw);
    state.normalPlay = 1;
    state.rulesMode = RuleState::kModePlay;
    state.shotsLeft = 1;
    state.tableOpen = 1;
    state.playerGroup[0] = state.playerGroup[1] = RuleState::kBothGroups;
    state.playerTarget[0] = state.playerTarget[1] = RuleState::kBothGroups;
    if (ruleSet == MatchSetup::kNineBall) {
      state.tableOpen = 0;
      state.lowestBall = 1;
      state.playerTarget[0] = state.playerTarget[1] = 2;
      for (int32_t n = 10; n < 16; ++n) pot(n, true);
    }
  }
  Rig(const Rig&) = delete;
  ~Rig() { world.hooks = nullptr; }

  ShotRules rules() { return ShotRules(state, world, setup); }
  void groups(uint32_t player0) {
    state.tableOpen = 0;
    state.playerGroup[0] = state.playerTarget[0] = player0;
    state.playerGroup[1] = state.playerTarget[1] = player0 == RuleState::kSolids ? RuleState::kStripes : RuleState::kSolids;
  }
  void pot(int32_t n, bool hidden = false) {
    world.balls[n]->pocketed = 1;
    world.balls[n]->hidden = hidden ? 1 : 0;
    world.balls[n]->pocket = world.pockets[0];
  }
  // The bank rail nearest to ball n.
  PhysicalObject* railNear(int32_t n) {
    const Vector2& p = world.balls[n]->position;
    PhysicalObject* best = nullptr;
    double bestDistance = 1e18;
    for (int32_t k = PhysicsWorld::kFirstRunSlots; k < PhysicsWorld::kLineSlots; ++k) {
      PhysicalObject* line = world.lines[k];
      const double ax = line->pointA.x, ay = line->pointA.y, dx = line->pointB.x - ax, dy = line->pointB.y - ay;
      double u = ((p.x - ax) * dx + (p.y - ay) * dy) / (dx * dx + dy * dy);
      u = u < 0 ? 0 : u > 1 ? 1 : u;
      const double ex = p.x - ax - u * dx, ey = p.y - ay - u * dy, distance = ex * ex + ey * ey;
      if (distance < bestDistance) bestDistance = distance, best = line;
    }
    return best;
  }
  // Events: "hA-B" ball A meets ball B, "cA" the bank rail nearest to ball A,
  // "dA" another bank rail, "mA" a pocket-mouth line, "jA" a jaw point, "pA"
  // or "pA@k" a pocket, "oA" off the table, "lA" the landing marker; "A(x,y)"
  // puts ball A at (x, y) of the table (y down the table) before what
  // follows. Pots and off-table balls are marked in the world too.
  void play(const std::string& script, bool throughHook = false) {
    std::istringstream in(script);
    std::string t;
    ShotRules r = rules();
    while (in >> t) {
      const char kind = t[0];
      if (kind >= '0' && kind <= '9') {
        const size_t open = t.find('('), comma = t.find(',');
        ASSERT_TRUE(open != std::string::npos && comma != std::string::npos) << t;
        world.balls[std::stoi(t)]->position.set(q(std::stod(t.substr(open + 1))), q(-std::stod(t.substr(comma + 1))));
        continue;
      }
      const int32_t a = std::stoi(t.substr(1));
      PhysicalObject* first = world.balls[a];
      PhysicalObject* second = nullptr;
      if (kind == 'h') {
        second = world.balls[std::stoi(t.substr(t.find('-') + 1))];
      } else if (kind == 'c') {
        second = railNear(a);
      } else if (kind == 'd') {
        second = world.lines[19];
      } else if (kind == 'm') {
        second = world.lines[0];
      } else if (kind == 'j') {
        second = world.jaws[0];
      } else if (kind == 'p') {
        const size_t at = t.find('@');
        second = world.pockets[at == std::string::npos ? 0 : std::stoi(t.substr(at + 1))];
        first->pocketed = 1;
        first->pocket = second;
      } else if (kind == 'o') {
        second = world.offTableDetector;
        first->pocketed = 1;
        first->offTable = 1;
      } else if (kind == 'l') {
        second = world.landingMarker;
      }
      ASSERT_NE(second, nullptr) << t;
      if (throughHook)
        r.onContact(first, second);
      else
        world.shot.recordEvent(first, second);
    }
  }
  uint32_t judge(const std::string& script) {
    play(script);
    rules().runShotRules();
    return state.shotOutcome;
  }

  Hooks hooks;
  PhysicsWorld world;
  RuleState state;
  MatchSetup setup;
};

}  // namespace rulestest
