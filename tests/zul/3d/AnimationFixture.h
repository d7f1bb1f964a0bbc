// Tracks and meshes written by the model tool and read in place from bytes
// that live with the fixture.
#pragma once

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "tools/model/AnimationWriter.h"
#include "zul/3d/AnimatedMeshData.h"
#include "zul/3d/GL3DAnimationTrack.h"
#include "zul/io/BufferStream.h"

struct AnimationBytes {
  std::list<std::vector<uint8_t>> buffers;
  std::list<BufferStream> streams;

  BufferStream& stream(const std::vector<uint8_t>& bytes) {
    buffers.push_back(bytes);
    buffers.back().reserve(1);
    streams.emplace_back(BufferStream::kRead, static_cast<int32_t>(buffers.back().size()), buffers.back().data());
    return streams.back();
  }
  bool read(GL3DAnimationTrack& track, const kvmodel::Track& t) {
    auto b = kvmodel::writeTrack(t);
    EXPECT_TRUE(b.has_value());
    return b && track.read(stream(*b));
  }
  bool read(AnimatedMeshData& mesh, const kvmodel::AnimatedMesh& m) {
    auto b = kvmodel::writeAnimatedMesh(m);
    EXPECT_TRUE(b.has_value());
    return b && mesh.read(stream(*b));
  }
};

// Per-frame keys of one bone: the same value at every frame of each channel.
inline std::array<std::vector<int16_t>, 6> still(int frames, std::array<int16_t, 6> v) {
  std::array<std::vector<int16_t>, 6> out;
  for (int c = 0; c < 6; ++c) out[c].assign(static_cast<size_t>(frames), v[c]);
  return out;
}
