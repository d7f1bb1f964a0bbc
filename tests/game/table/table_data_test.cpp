// The data set's "table.bar": group sizes, the cushion outline's shape and
// symmetry, the slots the physics relies on, pockets and the racks.
#include <cmath>
#include <cstdlib>

#include "tests/game/data/DataFixture.h"

namespace {

struct P {
  double x, y;
};

class TableData : public DataTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/table.bar")) GTEST_SKIP() << "no data set";
    DataTest::SetUp();
    std::filesystem::copy_file(std::string(data) + "/table.bar", path("table.bar"));
    game->init();
    ASSERT_EQ(loadBar(*game, "table.bar"), 1);
    entries = game->files.bar.count - 1;
    unloadBar(*game);
    loadTable(*game);
    const TableLayoutGroup& c = layout().groups[TableLayout::kCushions];
    for (int i = 0; i < c.count(); ++i) outline.push_back({double(c.x(i)), double(c.y(i))});
  }
  void TearDown() override {
    if (game) DataTest::TearDown();
  }
  const TableLayout& layout() { return game->tableLayout; }
  PhysicsWorld& world() { return game->world; }
  // Even-odd test against the outline, in file units.
  bool inside(P p) const {
    bool in = false;
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
      const P a = outline[i], b = outline[j];
      if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
  }
  static P file(const Vector2& v) { return {v.x / 16384.0, -v.y / 16384.0}; }

  int32_t entries = 0;
  std::vector<P> outline;
};

TEST_F(TableData, GroupsHoldWhatIsRead) {
  EXPECT_EQ(entries, 42);
  const TableLayout& t = layout();
  EXPECT_EQ(t.groups[0].count(), 6);
  for (int r = 0; r < 6; ++r) EXPECT_EQ(t.groups[0].valueCount(r), 7);
  EXPECT_EQ(t.groups[1].count(), 25);
  for (int r = 0; r < 25; ++r) EXPECT_EQ(t.groups[1].valueCount(r), 5);
  for (int g = 2; g < 42; ++g) EXPECT_EQ(t.groups[g].count(), 16) << g;
  for (int g = 0; g < 42; ++g)
    for (int r = 0; r < t.groups[g].count(); ++r) EXPECT_EQ(t.groups[g].id(r), r);
  EXPECT_EQ(world().lineCount, 18);
  EXPECT_EQ(world().secondLineCount, 6);
  EXPECT_EQ(world().jawCount, 12);
  EXPECT_NE(world().cueStick, nullptr);
}

TEST_F(TableData, OutlineIsClosedSymmetricAndRailsSitOnTheirLines) {
  ASSERT_EQ(outline.size(), 25u);
  EXPECT_EQ(outline[24].x, outline[0].x);
  EXPECT_EQ(outline[24].y, outline[0].y);
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(outline[i].x == 0 && outline[i].y == 0);
    const P mx = outline[(25 - i) % 24], my = outline[(13 - i + 24) % 24];
    EXPECT_EQ(mx.x, 169 - outline[i].x);
    EXPECT_EQ(mx.y, outline[i].y);
    EXPECT_EQ(my.x, outline[i].x);
    EXPECT_EQ(my.y, 302 - outline[i].y);
    // Jaws exactly at the rail ends 4k and 4k + 1.
    const bool jaw = i % 4 <= 1;
    EXPECT_EQ((layout().groups[1].value(i, 4) & 2) == 0, jaw);
  }
  EXPECT_NE(layout().groups[1].value(24, 4) & 2, 0);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(file(world().jaws[2 * k]->position).x, outline[4 * k].x);
    EXPECT_EQ(file(world().jaws[2 * k + 1]->position).y, outline[4 * k + 1].y);
  }
  // Rails: top, right upper and lower, bottom, left lower and upper.
  const struct {
    bool vertical;
    double at;
  } rails[6] = {{false, 20}, {true, 152}, {true, 152}, {false, 282}, {true, 17}, {true, 17}};
  for (int r = 0; r < 6; ++r) {
    const PhysicalObject* line = world().lines[18 + r];
    const P a = file(line->pointA), b = file(line->pointB);
    EXPECT_EQ(rails[r].vertical ? a.x : a.y, rails[r].at) << r;
    EXPECT_EQ(rails[r].vertical ? b.x : b.y, rails[r].at) << r;
  }
}

TEST_F(TableData, NormalsPointIntoTheCushions) {
  for (int s = 0; s < 24; ++s) {
    SCOPED_TRACE(s);
    const PhysicalObject* line = world().lines[s];
    ASSERT_NE(line, nullptr);
    const P a = file(line->pointA), b = file(line->pointB);
    const P n = {line->normal.x / 16384.0, -line->normal.y / 16384.0};
    EXPECT_NEAR(std::hypot(n.x, n.y), 1.0, 1e-3);
    const P mid = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    EXPECT_FALSE(inside({mid.x + n.x, mid.y + n.y}));
    EXPECT_TRUE(inside({mid.x - n.x, mid.y - n.y}));
  }
}

TEST_F(TableData, ZoneBoundariesAndMouthLines) {
  const double jaw0 = outline[0].x, jaw1 = outline[1].x;
  for (int i = 1; i <= 12; ++i) EXPECT_GE(outline[i].x, jaw1) << i;
  for (int i = 13; i <= 24; ++i) EXPECT_LE(outline[i].x, jaw0) << i;
  for (int k = 2; k < 5; ++k) EXPECT_GT(world().jaws[k]->position.y, world().jaws[k + 1]->position.y) << k;
  // An axis-aligned mouth line lies at least 2.0 behind its pocket's centre,
  // where no ball centre gets before the pocket takes it.
  for (int s = 0; s < 18; ++s) {
    const P a = file(world().lines[s]->pointA), b = file(world().lines[s]->pointB);
    const bool vertical = a.x == b.x, horizontal = a.y == b.y;
    if (!vertical && !horizontal) continue;
    const P mid = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    const PhysicalObject* nearest = nullptr;
    double best = 1e9;
    for (int p = 0; p < 6; ++p) {
      const P c = file(world().pockets[p]->position);
      const double d = std::hypot(c.x - mid.x, c.y - mid.y);
      if (d < best) best = d, nearest = world().pockets[p];
    }
    const P c = file(nearest->position);
    if (vertical)
      EXPECT_GE(std::abs(a.x - 84.5), std::abs(c.x - 84.5) + 2.0) << s;
    else
      EXPECT_GE(std::abs(a.y - 151), std::abs(c.y - 151) + 2.0) << s;
  }
}

TEST_F(TableData, PocketsSitBeyondTheBallInHandArea) {
  std::vector<P> pockets;
  for (int p = 0; p < 6; ++p) pockets.push_back(file(world().pockets[p]->position));
  EXPECT_EQ(pockets[2].y, pockets[3].y);  // the side pockets
  EXPECT_EQ(pockets[2].y, 151);
  for (int p = 0; p < 6; ++p) {
    SCOPED_TRACE(p);
    const P c = pockets[p];
    const double dx = std::max({21.5 - c.x, 0.0, c.x - 147.5}), dy = std::max({24.5 - c.y, 0.0, c.y - 277.5});
    EXPECT_GE(std::hypot(dx, dy), 8.0);
    EXPECT_GE(c.x, -1.0);
    EXPECT_LE(c.x, 170.0);
    bool mirrored = false;
    for (const P& o : pockets) mirrored |= o.x == 169 - c.x && o.y == c.y;
    EXPECT_TRUE(mirrored);
    // The drop point lies toward the table.
    const P drop = file(world().pockets[p]->pointA);
    EXPECT_LT(std::abs(drop.x - 84.5), std::abs(c.x - 84.5));
  }
}

TEST_F(TableData, LagRacksAndLayoutsPlaceTheirBalls) {
  game->match.gameType = k_gameTypeSingleMatch;
  game->match.ruleSet = k_ruleSetEightBall;
  resetMatchState(*game);
  initFrame(*game, true);
  for (int n = 0; n < 16; ++n) {
    const bool on = n == 0;  // ball 8 marks the lag and is off until needed
    EXPECT_EQ(world().balls[n]->pocketed, on ? 0 : 1) << n;
  }
  EXPECT_GE(-world().balls[0]->position.y >> 14, 202);
  EXPECT_GE(layout().groups[2].y(8), 202);

  struct Rack {
    int32_t ruleSet;
    int on;  // balls 0 .. on - 1 on the table
  };
  for (Rack rack : {Rack{k_ruleSetNineBall, 10}, Rack{k_ruleSetEightBall, 16}}) {
    SCOPED_TRACE(rack.ruleSet);
    game->match.ruleSet = rack.ruleSet;
    for (uint32_t seed = 1; seed < 60; ++seed) {
      game->engine.random->setSeed(seed * 7919);
      resetMatchState(*game);
      initFrame(*game, false);
      for (int a = 0; a < 16; ++a) {
        const PhysicalObject* ba = world().balls[a];
        EXPECT_EQ(ba->pocketed, a < rack.on ? 0 : 1);
        if (ba->pocketed) continue;
        for (int b = a + 1; b < 16; ++b) {
          const PhysicalObject* bb = world().balls[b];
          if (bb->pocketed) continue;
          const double d = std::hypot((ba->position.x - bb->position.x) / 16384.0,
                                      (ba->position.y - bb->position.y) / 16384.0);
          EXPECT_GE(d, 9.0) << a << " " << b << " seed " << seed;
        }
      }
    }
    // The apex on the foot spot, the rows 8 behind it; before the shift no
    // two balls of the rack overlap, and neighbours are at most 1.0 apart
    // (any other pair lies a ball's width further off).
    const TableLayoutGroup& g = layout().groups[rack.ruleSet == k_ruleSetNineBall ? 3 : 4];
    EXPECT_EQ(g.x(1), 85);
    EXPECT_EQ(g.y(1), 100);
    EXPECT_EQ(g.y(rack.ruleSet == k_ruleSetNineBall ? 9 : 8), 84);
    for (int a = 1; a < rack.on; ++a) {
      int neighbours = 0;
      for (int b = 1; b < rack.on; ++b) {
        const double d = std::hypot(g.x(a) - g.x(b), g.y(a) - g.y(b));
        if (b == a) continue;
        EXPECT_TRUE(d >= 9.0 && (d <= 10.0 || d >= 15.0)) << a << " " << b << ": " << d;
        neighbours += d <= 10.0;
      }
      EXPECT_GE(neighbours, 2) << a;
    }
  }
  for (int32_t type : {k_gameTypeChallenge, k_gameTypeTutorial}) {
    game->match.gameType = type;
    for (int i = 0; i < (type == k_gameTypeChallenge ? 32 : 5); ++i) {
      game->match.challengeNumber = game->match.lessonNumber = i;
      resetMatchState(*game);
      initFrame(*game, true);
      EXPECT_EQ(world().cueBall->pocketed, 0) << type << " " << i;
    }
  }
}

}  // namespace
