// Helpers of the pool tests: a look that records what the world asks of it,
// hooks that record contacts and achievements, and a world with markers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"

namespace pooltest {

struct RecordingLook final : ObjectLook {
  void setAnim(int32_t a) override {
    if (a != anim) ++changes;
    anim = a;
  }
  int32_t getAnim() const override { return anim; }
  bool isAnimOver() const override { return over; }
  void setPosition(int32_t px, int32_t py) override {
    x = px;
    y = py;
  }
  ObjectLook* makeSibling() const override { return new RecordingLook(); }
  void copyStateFrom(const ObjectLook& s) override {
    const auto& r = static_cast<const RecordingLook&>(s);
    anim = r.anim;
    over = r.over;
  }
  int32_t anim = -1;
  int32_t changes = 0;
  bool over = false;
  int32_t x = 0, y = 0;
};

struct RecordingHooks final : PoolHooks {
  void onContact(PhysicalObject* a, PhysicalObject* b) override { contacts.emplace_back(a, b); }
  void unlockAchievement(int32_t id) override { unlocked.push_back(id); }
  bool isJumpOverEightWatched() override { return watched; }
  std::vector<std::pair<PhysicalObject*, PhysicalObject*>> contacts;
  std::vector<int32_t> unlocked;
  bool watched = false;
};

constexpr Q14 q(double v) { return static_cast<Q14>(v * 16384.0); }

// A world with its markers, a generator and recording hooks.
struct World {
  World() {
    world.random = &random;
    world.hooks = &hooks;
    world.createMarkers();
  }
  // A ball on the world's lists at table point (x, y), not yet on a layout.
  PhysicalObject* ball(int32_t number, double x, double y) {
    auto* b = new PhysicalObject(&world, PhysicalObject::kBall);
    b->identity = b->code = number;
    b->position.set(q(x), q(y));
    world.balls[number] = b;
    b->next = nullptr;
    PhysicalObject** tail = &world.ballList;
    while (*tail && *tail != b) tail = &(*tail)->next;
    *tail = b;
    world.ballHead = world.ballList;
    if (number == 0) world.cueBall = b;
    if (number == 8) world.ball8 = b;
    return b;
  }
  PhysicalObject* pocket(double x, double y) {
    auto* p = new PhysicalObject(&world, PhysicalObject::kPocket);
    for (PhysicalObject*& slot : world.pockets)
      if (!slot) {
        slot = p;
        break;
      }
    p->position.set(q(x), q(y));
    return p;
  }
  Random random;
  RecordingHooks hooks;
  PhysicsWorld world;
};

}  // namespace pooltest
