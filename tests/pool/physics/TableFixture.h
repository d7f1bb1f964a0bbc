// The data set's table built into a bare physics world, and helpers that
// set balls out on it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "table/PoolTestUtil.h"
#include "tools/table/TableWorld.h"

namespace pooltest {

// A small generator of the tests' own, the same on every platform.
struct Draws {
  explicit Draws(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<uint32_t>(s >> 16);
  }
  int32_t below(int32_t n) { return static_cast<int32_t>(next() % static_cast<uint32_t>(n)); }
  double unit() { return next() / 4294967296.0; }
  double range(double a, double b) { return a + (b - a) * unit(); }
  uint64_t s;
};

class TableWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    w.world.hooks = &recorder;
    recorder.world = &w.world;
    ASSERT_TRUE(tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", layout, w.world));
    const TableLayoutGroup& c = layout.groups[TableLayout::kCushions];
    for (int i = 0; i < c.count(); ++i) outline.push_back({c.x(i) * 1.0, -c.y(i) * 1.0});
  }
  PhysicsWorld& world() { return w.world; }

  // Every ball off the table and at rest.
  void clearBalls() {
    for (PhysicalObject* b = world().ballList; b; b = b->next) {
      b->pocketed = b->hidden = 1;
      b->position.set(0, 0);
      b->direction.set(0, 0);
      b->frame = 0;
      b->entrySpeed = 0;
      b->airborneLook = 0;
      b->speed = 0;
      b->spin.set(0, 0);
      b->step.set(0, 0);
      b->airTime = b->airPhase = 0;
      b->pocket = nullptr;
      b->sideKick = 0;
      b->advanced = 1;
    }
  }
  // Ball n at (x, y), its start place too, as placing a layout leaves it.
  void put(int n, double x, double y) {
    PhysicalObject* b = world().balls[n];
    b->position.set(q(x), q(y));
    b->pointA = b->position;
    b->pocketed = b->hidden = 0;
    b->shown = 1;
    b->frame = 0;
  }
  // Distance of a point to the outline's nearest segment (table units).
  double outlineDistance(double x, double y) const {
    double best = 1e9;
    for (size_t i = 0; i + 1 < outline.size(); ++i) {
      const double ax = outline[i][0], ay = outline[i][1], bx = outline[i + 1][0], by = outline[i + 1][1];
      const double dx = bx - ax, dy = by - ay;
      double u = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
      u = u < 0 ? 0 : u > 1 ? 1 : u;
      best = std::fmin(best, std::hypot(x - ax - u * dx, y - ay - u * dy));
    }
    return best;
  }
  bool insideOutline(double x, double y) const {
    bool in = false;
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
      const double ax = outline[i][0], ay = outline[i][1], bx = outline[j][0], by = outline[j][1];
      if ((ay > y) != (by > y) && x < (bx - ax) * (y - ay) / (by - ay) + ax) in = !in;
    }
    return in;
  }
  bool nearPocket(const PhysicalObject& b) const {
    for (const PhysicalObject* p = w.world.pocketHead; p; p = p->next)
      if (PhysicsWorld::isInPocket(b, *p)) return true;
    return false;
  }
  // Puts ball n at a random free place inside the outline, clear of cushions
  // and pockets; false after many misses.
  bool putRandom(int n, Draws& d, bool nearCushions = false) {
    for (int tries = 0; tries < 400; ++tries) {
      const double x = nearCushions ? d.range(6, 163) : d.range(21.5, 147.5);
      const double y = nearCushions ? d.range(-296, -6) : d.range(-277.5, -24.5);
      if (!insideOutline(x, y) || outlineDistance(x, y) < 4.6) continue;
      put(n, x, y);
      if (!world().isBallPlacementBlocked(*world().balls[n])) return true;
    }
    world().balls[n]->pocketed = world().balls[n]->hidden = 1;
    return false;
  }

  struct Recorder final : PoolHooks {
    void onContact(PhysicalObject* a, PhysicalObject* b) override {
      ++contacts;
      if (world) world->shot.recordEvent(a, b);
    }
    PhysicsWorld* world = nullptr;
    int64_t contacts = 0;
  } recorder;
  World w;
  TableLayout layout;
  std::vector<std::array<double, 2>> outline;
};

}  // namespace pooltest
