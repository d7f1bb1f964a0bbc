// Evaluating a 20-bone track and skinning 500 two-bone vertices with it, as
// an animated object's draw does before it hands the vertices to GL (target:
// under 50 us). With the debug stream on, its texts go to a temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include <unistd.h>

#include "tests/zul/memory/FolderLog.h"
#include "tools/model/AnimationWriter.h"
#include "zul/3d/AnimatedMeshData.h"
#include "zul/3d/AnimatedObjectDebug.h"
#include "zul/3d/GL3DAnimationTrack.h"
#include "zul/io/BufferStream.h"

namespace {

constexpr int kBones = 20, kVertices = 500, kFrames = 60;

struct Rig {
  std::vector<uint8_t> trackBytes, meshBytes;
  BufferStream trackStream, meshStream;
  GL3DAnimationTrack track;
  AnimatedMeshData mesh;
  std::vector<Matrix34> matrices = std::vector<Matrix34>(kBones);
  std::vector<Q14> skinned = std::vector<Q14>(3 * kVertices);

  Rig() {
    // A tree of bones (each the child of the one half its index), every
    // channel moving on every frame.
    std::vector<int32_t> parents;
    std::vector<std::array<std::vector<int16_t>, 6>> keys(kBones);
    for (int b = 0; b < kBones; ++b) {
      parents.push_back(b == 0 ? -1 : b / 2);
      for (int c = 0; c < 6; ++c)
        for (int f = 0; f < kFrames; ++f) keys[b][c].push_back(static_cast<int16_t>((f * (c + 1) * 7 + b * 13) % 400 - 200));
    }
    trackBytes = *kvmodel::writeTrack(kvmodel::makeTrack(30, 12, parents, keys));
    kvmodel::AnimatedMesh m;
    for (int i = 0; i < kVertices; ++i) {
      kvmodel::AnimatedVertex v;
      v.first = {(i % 17) << 12, (i % 23) << 12, (i % 5) << 12};
      v.second = {(i % 7) << 12, (i % 11) << 12, (i % 13) << 12};
      v.bone1 = static_cast<uint8_t>(i % kBones);
      v.bone2 = static_cast<uint8_t>((i * 7 + 3) % kBones);
      v.weight1 = 40;
      v.weight2 = 24;
      m.vertices.push_back(v);
    }
    for (int i = 0; i + 2 < kVertices; i += 3) m.triangles.insert(m.triangles.end(), {uint16_t(i), uint16_t(i + 1), uint16_t(i + 2)});
    meshBytes = *kvmodel::writeAnimatedMesh(m);
    trackStream.open(BufferStream::kRead, static_cast<int32_t>(trackBytes.size()), trackBytes.data());
    meshStream.open(BufferStream::kRead, static_cast<int32_t>(meshBytes.size()), meshBytes.data());
    if (!track.read(trackStream) || !mesh.read(meshStream)) std::abort();
  }

  void run(Q14 time) {
    track.evaluate(time, matrices.data(), usedBoneSet(mesh, track, -1));
    skinMesh(mesh, matrices.data(), skinned.data());
  }
};

void evaluateAndSkin(benchmark::State& state, bool debugText) {
  Rig rig;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kv_anim_bench_" + std::to_string(::getpid()));
  FolderLog log(dir.string());
  if (debugText) {
    std::filesystem::create_directories(dir);
    setLogWriter(&log);
  }
  setAnimatedObjectDebugEnabled(debugText);
  Q14 time = 0;
  const Q14 step = rig.track.getDuration() / 97;
  for (auto _ : state) {
    rig.run(time);
    benchmark::DoNotOptimize(rig.skinned.data());
    time = time + step > rig.track.getDuration() ? 0 : time + step;
  }
  closeAnimatedObjectDebug();
  setAnimatedObjectDebugEnabled(true);
  if (debugText) {
    setLogWriter(nullptr);
    std::filesystem::remove_all(dir);
  }
  state.SetItemsProcessed(state.iterations() * kVertices);
}

void BM_EvaluateAndSkin(benchmark::State& state) { evaluateAndSkin(state, false); }
void BM_EvaluateAndSkinWithDebugText(benchmark::State& state) { evaluateAndSkin(state, true); }

}  // namespace

BENCHMARK(BM_EvaluateAndSkin)->Unit(benchmark::kMicrosecond);
// The stream grows by about a kilobyte a call: a bounded run.
BENCHMARK(BM_EvaluateAndSkinWithDebugText)->Unit(benchmark::kMicrosecond)->Iterations(20000);

BENCHMARK_MAIN();
