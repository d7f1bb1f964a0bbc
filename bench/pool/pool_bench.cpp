// Physics on the data set's table: a full break to rest, an average random
// shot, one frame with 16 moving balls, one earliest-contact search, and an
// aim-guide preview to its first contact; and the exact root and unit vector
// the physics leans on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tools/table/TableWorld.h"

namespace {

constexpr int kMaxFrames = 3000;

struct Table {
  Table() {
    world.createMarkers();
    if (!tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", layout, world)) {
      std::fprintf(stderr, "pool_bench: no table\n");
      std::exit(1);
    }
  }
  void clear() {
    for (PhysicalObject* b = world.ballList; b; b = b->next) {
      b->pocketed = b->hidden = 1;
      b->position.set(0, 0);
      b->speed = 0;
      b->spin.set(0, 0);
      b->step.set(0, 0);
      b->airTime = b->airPhase = 0;
      b->sideKick = 0;
      b->pocket = nullptr;
      b->advanced = 1;
    }
  }
  // The rack with a seeded shift and the cue ball struck at full power into it.
  void rackAndBreak(uint32_t seed) {
    clear();
    random.setSeed(seed);
    world.random = &random;
    world.placeBalls(layout.groups[TableLayout::kEightBallRack]);
    world.jitterRack();
    world.settleRack();
    world.random = nullptr;
    world.balls[1]->position.subtract(world.shot.aim, world.cueBall->position);
    world.shot.englishPoint.set(0, 0);
    world.shot.masse = 0;
    world.shot.powerGauge = 17384;
    world.breakPlayed = 0;
    world.strikeCueBall(*world.cueBall, false, 100, false);
  }
  // n balls on a jittered grid clear of the cushions, all moving when asked.
  void scatter(uint32_t seed, int n, bool allMoving) {
    clear();
    random.setSeed(seed);
    bool used[10][19] = {};
    for (int b = 0; b < n; ++b) {
      int cx, cy;
      do {
        cx = random.nextInt(0, 10);
        cy = random.nextInt(0, 19);
      } while (used[cx][cy]);
      used[cx][cy] = true;
      PhysicalObject* o = world.balls[b];
      o->position.set((30 + 12 * cx) << 14, -((40 + 12 * cy) << 14));
      o->offsetPosition(random.nextInt(0, 16384) - 8192, random.nextInt(0, 16384) - 8192);
      o->pocketed = o->hidden = 0;
      if (allMoving || b == 0) {
        const int32_t units = random.nextInt(0, 4096);
        o->direction.set(cosQ14(units), sinQ14(units));
        o->speed = (50 << 14) + random.nextInt(0, 250 << 14);
      }
    }
    world.breakPlayed = 1;
  }
  int playOut() {
    for (int f = 1; f <= kMaxFrames; ++f) {
      world.movingMask = 0;
      world.physicsStepBalls(50);
      if (!PhysicalObject::anyObjectMoving(world.ballList)) return f;
    }
    return kMaxFrames;
  }

  PhysicsWorld world;
  TableLayout layout;
  Random random;
};

Table& table() {
  static Table t;
  return t;
}

void BM_BreakToRest(benchmark::State& state) {
  Table& t = table();
  uint32_t seed = 1;
  int64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    t.rackAndBreak(seed++);
    state.ResumeTiming();
    frames += t.playOut();
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BreakToRest)->Unit(benchmark::kMicrosecond);

void BM_RandomShot(benchmark::State& state) {
  Table& t = table();
  uint32_t seed = 1;
  for (auto _ : state) {
    state.PauseTiming();
    const int balls = 2 + static_cast<int>(seed % 15);
    t.scatter(seed++, balls, false);
    state.ResumeTiming();
    benchmark::DoNotOptimize(t.playOut());
  }
}
BENCHMARK(BM_RandomShot)->Unit(benchmark::kMicrosecond);

void BM_FrameSixteenMoving(benchmark::State& state) {
  Table& t = table();
  uint32_t seed = 1;
  for (auto _ : state) {
    state.PauseTiming();
    t.scatter(seed++ % 64 + 1, 16, true);
    state.ResumeTiming();
    t.world.movingMask = 0;
    t.world.physicsStepBalls(50);
  }
}
BENCHMARK(BM_FrameSixteenMoving)->Unit(benchmark::kMicrosecond);

void BM_FindEarliestContact(benchmark::State& state) {
  Table& t = table();
  t.scatter(7, 16, true);
  t.world.findEarliestContact(t.world.ballList, 50, true, true, false);
  for (auto _ : state)
    benchmark::DoNotOptimize(t.world.findEarliestContact(t.world.ballList, 50, false, true, false));
}
BENCHMARK(BM_FindEarliestContact);

void BM_GuidePreview(benchmark::State& state) {
  Table& t = table();
  t.rackAndBreak(3);
  for (PhysicalObject* b = t.world.ballList; b; b = b->next) b->speed = 0;
  int64_t steps = 0;
  for (auto _ : state) {
    t.world.copyBallsToShadows();
    PhysicalObject* s = t.world.cueBall->shadow;
    t.world.strikeCueBall(*s, true, 100, false);
    for (int i = 0; i < 15000; ++i) {
      ++steps;
      if (t.world.previewStep(t.world.shadowHead, 10, true) >= 0 &&
          (t.world.currentPair[0] == s || t.world.currentPair[1] == s))
        break;
    }
  }
  state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GuidePreview)->Unit(benchmark::kMicrosecond);

// One copy of the world with a racked table and a shot record of events,
// as a trial takes it.
void BM_WorldCopy(benchmark::State& state) {
  Table& t = table();
  t.rackAndBreak(3);
  t.playOut();
  for (auto _ : state) {
    PhysicsWorld trial = t.world;
    benchmark::DoNotOptimize(trial.cueBall);
  }
}
BENCHMARK(BM_WorldCopy);

// The same world assigned into a trial world of the same table, as the
// opponent does for every chain after its first.
void BM_WorldAssign(benchmark::State& state) {
  Table& t = table();
  t.rackAndBreak(3);
  t.playOut();
  PhysicsWorld trial = t.world;
  for (auto _ : state) {
    trial = t.world;
    benchmark::DoNotOptimize(trial.cueBall);
  }
}
BENCHMARK(BM_WorldAssign);

}  // namespace

// 4096 inputs of every magnitude, walked in turn.
template <class T>
std::vector<T> spread(uint32_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<T> v(4096);
  for (T& x : v) x = static_cast<T>(static_cast<T>(rng()) >> (rng() % (8 * sizeof(T))));
  return v;
}

void BM_Isqrt64(benchmark::State& state) {
  const std::vector<uint64_t> in = spread<uint64_t>(1);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(isqrt64(in[i]));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_Isqrt64);

void BM_UnitQ14(benchmark::State& state) {
  const std::vector<int32_t> in = spread<int32_t>(2);
  size_t i = 0;
  for (auto _ : state) {
    Q14 x = in[i], y = in[(i + 1) & 4095];
    unitQ14(x, y);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    i = (i + 2) & 4095;
  }
}
BENCHMARK(BM_UnitQ14);

BENCHMARK_MAIN();
