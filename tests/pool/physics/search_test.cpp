// The search on the data set's table: zone-mask rows, and the same earliest
// contact with and without the zone mask and the interior cut.
#include "TableFixture.h"

using pooltest::q;

namespace {

using Search = pooltest::TableWorld;

TEST_F(Search, ZoneMaskRows) {
  // Jaws 0 and 1 at x 30 and 139; jaws 2-5 at y -33, -143, -159, -269.
  struct Row {
    double x, y, dx, dy;
    uint32_t want;
  } rows[] = {
      {100, -270, -1, 1, 0xf81e78u & 0xfffdffu}, {136, -270, -1, 1, 0xfffe7fu & 0xfffdffu},
      {40, -270, 1, 1, 0x07e3c7u & 0xfffdffu},   {33, -270, 1, 1, 0xfff3ffu & 0xfffdffu},
      {40, -200, 1, -1, 0x07e3c7u & 0x1e070cu},  {40, -150, 1, -1, 0x07e3c7u & 0x3f071eu},
      {40, -100, 1, -1, 0x07e3c7u & 0x7f8f9eu},  {40, -30, 1, -1, 0x07e3c7u & 0xffffbfu},
      {40, -100, 1, 1, 0x07e3c7u & 0x8078e1u},   {40, -150, 1, 1, 0x07e3c7u & 0xc0f8f3u},
      {40, -200, 1, 1, 0x07e3c7u & 0xe1fdf3u},   {40, -270, 1, 0, 0x07e3c7u & 0xfffdffu},
  };
  for (const Row& r : rows)
    EXPECT_EQ(world().zoneMask(Vector2(q(r.x), q(r.y)), Vector2(q(r.dx), q(r.dy))), r.want)
        << r.x << " " << r.y << " " << r.dx << " " << r.dy;
}

TEST_F(Search, MaskAndInteriorCutChangeNothing) {
  pooltest::Draws d(2024);
  const int kStates = 100000;
  int contacts = 0, cushions = 0;
  for (int i = 0; i < kStates; ++i) {
    clearBalls();
    const int n = 1 + d.below(16);
    for (int b = 0; b < n; ++b) {
      if (!putRandom(b, d, true)) continue;
      PhysicalObject* o = world().balls[b];
      if (d.below(4) == 0) continue;  // at rest
      const int32_t units = d.below(4096);
      o->direction.set(cosQ14(units), sinQ14(units));
      o->speed = d.below(q(500.0));
      if (d.below(3) == 0) o->spin.set(d.below(q(200.0)) - q(100.0), d.below(q(200.0)) - q(100.0));
    }
    const int32_t T = 1 + d.below(50);
    int32_t got[2];
    PhysicalObject* pair[2][2];
    for (int off = 0; off < 2; ++off) {
      world().zoneMaskOn = world().interiorCut = static_cast<uint8_t>(off == 0);
      for (PhysicalObject* o = world().ballList; o; o = o->next) o->advanced = 1;
      got[off] = world().findEarliestContact(world().ballList, T, true, true, false);
      pair[off][0] = world().currentPair[0];
      pair[off][1] = world().currentPair[1];
    }
    ASSERT_EQ(got[0], got[1]) << "state " << i;
    if (got[0] == PhysicsWorld::kNoContact) continue;
    ASSERT_EQ(pair[0][0], pair[1][0]) << "state " << i;
    ASSERT_EQ(pair[0][1], pair[1][1]) << "state " << i;
    ++contacts;
    cushions += pair[0][1]->type != PhysicalObject::kBall;
  }
  EXPECT_GT(contacts, kStates / 10);
  EXPECT_GT(cushions, kStates / 20);
}

}  // namespace
