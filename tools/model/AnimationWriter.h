// Writers and readers of the animated mesh file and the animation track
// file, and the channel encoder that turns per-frame keys into runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kvmodel {

using Bytes = std::vector<uint8_t>;

struct AnimatedVertex {
  std::array<int32_t, 3> first{};   // Q14, in the first bone's space
  std::array<int32_t, 3> second{};  // Q14, in the second bone's space
  int32_t s = 0, t = 0;             // Q14
  uint8_t bone1 = 0, bone2 = 255;   // 255: no second bone
  uint8_t weight1 = 64, weight2 = 0;  // 64 = 1.0
  bool operator==(const AnimatedVertex&) const = default;
};

struct AnimatedMesh {
  std::vector<AnimatedVertex> vertices;
  std::vector<uint16_t> triangles;  // three indices each
  bool operator==(const AnimatedMesh&) const = default;
};

// Nothing when a triangle index is past the vertices, the indices are not
// in threes, or a bone is 64 or more (but the second bone's 255).
std::optional<Bytes> writeAnimatedMesh(const AnimatedMesh& mesh);
// With the loader's checks; nothing for a short or inconsistent file.
std::optional<AnimatedMesh> readAnimatedMesh(const Bytes& bytes);

// A channel's runs for its keys at frames 0, 1, ...: a run holds up to 255
// distinct steps as keys, then its last key held for the frames that repeat
// it (at most 255 frames a run). Decoding gives back every frame's key and,
// but where a key is held, the following frame's key as the next one.
std::vector<int16_t> encodeChannel(const std::vector<int16_t>& keys);

struct Track {
  uint32_t fps = 30;
  uint32_t frameCount = 2;
  uint32_t shift = 14;  // translations are keys << (14 - shift)
  std::vector<int32_t> parents;  // per bone, -1 for a root
  // Per bone: translation x, y, z, rotation x, y, z (half angles, 4096 per
  // turn), each a channel of runs (see encodeChannel).
  std::vector<std::array<std::vector<int16_t>, 6>> channels;
  bool operator==(const Track&) const = default;
};

// Channels from per-frame keys: keys[bone][channel][frame].
Track makeTrack(uint32_t fps, uint32_t shift, const std::vector<int32_t>& parents,
                const std::vector<std::array<std::vector<int16_t>, 6>>& keys);
// Nothing when the track breaks what the loader accepts (frames, fps,
// bones, parents, shift, runs, more than 65535 values before the last
// channel).
std::optional<Bytes> writeTrack(const Track& track);
std::optional<Track> readTrack(const Bytes& bytes);

}  // namespace kvmodel
