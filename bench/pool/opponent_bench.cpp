// The computer opponent on the data set's table: one whole decision (the
// think from its start to its end) on seeded random eight-ball tables, and
// one path test of a leg across the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game/Korvane/cGamePlay/Opponent.h"
#include "tools/misc/ProfileWriter.h"
#include "tools/table/TableWorld.h"

namespace {

constexpr Q14 q(double v) { return static_cast<Q14>(v * 16384.0); }

struct Table {
  Table() {
    world.createMarkers();
    std::ifstream in(KV_SOURCE_DIR "/assets/misc/profiles.txt");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<profiles::Profile> rows;
    std::string error;
    if (!tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", layout, world) ||
        !profiles::parseSource(text.str(), rows, &error)) {
      std::fprintf(stderr, "opponent_bench: no table or profiles\n");
      std::exit(1);
    }
    const std::vector<uint8_t> bytes = profiles::writeProfiles(rows);
    ai.profiles.read(bytes.data(), static_cast<int32_t>(bytes.size()));
    world.random = &random;
    rules.normalPlay = 1;
    rules.rulesMode = RuleState::kModePlay;
    rules.shotsLeft = 1;
    rules.playerGroup[0] = rules.playerTarget[0] = RuleState::kSolids;
    rules.playerGroup[1] = rules.playerTarget[1] = RuleState::kStripes;
    // The strongest profile: banks and combinations, the widest search.
    setup.playerProfile[0] = OpponentProfiles::kProfiles - 1;
    world.breakPlayed = 1;
  }
  // The cue ball, 3-7 own balls, 3-7 of the other group and the eight.
  void scatter(uint32_t seed) {
    random.setSeed(seed);
    for (PhysicalObject* b = world.ballList; b; b = b->next) {
      b->pocketed = b->hidden = 1;
      b->position.set(q(200), q(-20.0 * b->identity - 20));
    }
    auto put = [&](int n) {
      PhysicalObject* b = world.balls[n];
      b->pocketed = b->hidden = 0;
      for (int tries = 0; tries < 400; ++tries) {
        b->position.set(q(22) + random.nextInt(0, q(125)), q(-277) + random.nextInt(0, q(252)));
        if (!world.isBallPlacementBlocked(*b)) return;
      }
      b->pocketed = b->hidden = 1;
    };
    put(0);
    const int own = 3 + random.nextInt(0, 5), theirs = 3 + random.nextInt(0, 5);
    for (int k = 0; k < own; ++k) put(1 + k);
    for (int k = 0; k < theirs; ++k) put(9 + k);
    put(8);
    world.copyBallsToShadows();
  }

  PhysicsWorld world;
  TableLayout layout;
  Random random;
  RuleState rules;
  MatchSetup setup;
  OpponentState ai;
};

Table& table() {
  static Table t;
  return t;
}

void BM_WholeDecision(benchmark::State& state) {
  Table& t = table();
  uint32_t seed = 1;
  int64_t updates = 0;
  for (auto _ : state) {
    state.PauseTiming();
    t.scatter(seed++);
    Opponent o(t.ai, t.world, t.rules, t.setup);
    state.ResumeTiming();
    o.reset();
    while (!o.done()) {
      o.updateAI(t.ai.state, kThinkUpdate, true);
      ++updates;
    }
  }
  state.counters["updates"] = benchmark::Counter(static_cast<double>(updates), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeDecision)->Unit(benchmark::kMicrosecond);

void BM_PathTest(benchmark::State& state) {
  Table& t = table();
  t.scatter(11);
  Opponent o(t.ai, t.world, t.rules, t.setup);
  PhysicalObject* cue = t.world.cueBall;
  const Vector2 from = cue->position;
  // Towards the far corner: a long leg, tested in two halves.
  const Vector2 step(wrapSub(q(147), from.x), wrapSub(q(-25), from.y));
  for (auto _ : state) benchmark::DoNotOptimize(o.pathClear(cue, from, step, nullptr));
}
BENCHMARK(BM_PathTest);

}  // namespace

BENCHMARK_MAIN();
