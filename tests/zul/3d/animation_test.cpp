#include <gtest/gtest.h>

#include <cmath>

#include "AnimationFixture.h"
#include "memory/TraceCapture.h"
#include "zul/3d/GL3DAnimatedObject.h"

namespace {

constexpr Q14 kOne = 16384;

// A run header: k keys covering s frames.
int16_t run(int k, int s) { return static_cast<int16_t>(s << 8 | k); }

kvmodel::Track oneBone(const std::vector<std::vector<int16_t>>& list, uint32_t frames, uint32_t shift = 14) {
  std::array<std::vector<int16_t>, 6> channels;
  for (size_t i = 0; i < list.size() && i < 6; ++i) channels[i] = list[i];
  kvmodel::Track t;
  t.fps = 10;
  t.frameCount = frames;
  t.shift = shift;
  t.parents = {-1};
  t.channels = {channels};
  return t;
}

class Animation : public ::testing::Test {
 protected:
  AnimationBytes bytes;
};

TEST_F(Animation, ChannelRunsGiveKeysAndNextKeysInsideTheChannel) {
  // Two keys, a held key over three frames, two keys; the next channel's
  // values follow at once and are never taken as a next key.
  const std::vector<int16_t> x = {run(2, 2), 10, 20, run(1, 3), 30, run(2, 2), 40, 50};
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, oneBone({x, {run(2, 2), 77, 88}, {}, {}, {}, {}}, 8)));
  const struct {
    int frame, key, next;
    bool hasNext;
  } cases[] = {
      {0, 10, 20, true},  {1, 20, 30, true},  {2, 30, 30, false}, {3, 30, 30, false}, {4, 30, 40, true},
      {5, 40, 50, true},  {6, 50, 50, false}, {7, 50, 50, false}, {100, 50, 50, false}, {-3, 10, 20, true},
  };
  for (const auto& c : cases) {
    const GL3DAnimationTrack::Key k = track.decode(0, GL3DAnimationTrack::kTranslateX, c.frame);
    EXPECT_EQ(k.key, c.key) << c.frame;
    EXPECT_EQ(k.hasNext, c.hasNext) << c.frame;
    EXPECT_EQ(k.next, c.next) << c.frame;
  }
  // An empty channel is 0; the last channel ends at the value count.
  EXPECT_EQ(track.decode(0, GL3DAnimationTrack::kTranslateZ, 0).key, 0);
  EXPECT_EQ(track.decode(0, GL3DAnimationTrack::kTranslateY, 1).next, 88);
  EXPECT_FALSE(track.decode(0, GL3DAnimationTrack::kTranslateY, 2).hasNext);
  TraceCapture cap;
  EXPECT_EQ(track.decode(1, 0, 0).key, 0);
  EXPECT_TRUE(cap.reported(709, "GL3DAnimatedObject"));
}

TEST_F(Animation, EncodedChannelsDecodeToEveryFramesKey) {
  const std::vector<int16_t> keys = {5, 5, 5, 7, 9, 9, 2, 0, 0, 0, 0, -4, 8, 8};
  std::vector<int16_t> longHold(600, 3);
  longHold.back() = 4;
  for (const auto& k : {keys, longHold}) {
    const auto encoded = kvmodel::encodeChannel(k);
    GL3DAnimationTrack track;
    ASSERT_TRUE(bytes.read(track, oneBone({encoded, {}, {}, {}, {}, {}}, static_cast<uint32_t>(k.size()))));
    for (size_t f = 0; f + 1 < k.size(); ++f) {
      const GL3DAnimationTrack::Key got = track.decode(0, 0, static_cast<int32_t>(f));
      EXPECT_EQ(got.key, k[f]) << f;
      // Where the value changes, the next key is the following frame's.
      if (k[f + 1] != k[f]) {
        EXPECT_TRUE(got.hasNext && got.next == k[f + 1]) << f;
      }
      if (!got.hasNext) {
        EXPECT_EQ(k[f + 1], k[f]) << f;
      }
    }
  }
}

TEST_F(Animation, TranslationIsShiftedAndInterpolated) {
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, oneBone({{run(3, 3), 10, 20, 0}, {run(1, 3), -3}, {run(2, 2), 1, 1}, {}, {}, {}}, 3, 10)));
  EXPECT_EQ(track.getTranslation(0, 0, 0), Vector3(160, -48, 16));
  EXPECT_EQ(track.getTranslation(0, 4096, 0), Vector3(160 + 40, -48, 16));
  // Towards a next key of 0 the value moves too.
  EXPECT_EQ(track.getTranslation(1, 8192, 0).x, 160);
  EXPECT_EQ(track.getTranslation(5, 8192, 0).x, 160);  // the last frame counts as the one before
}

TEST_F(Animation, RotationKeysAreHalfAngles) {
  const struct {
    int16_t a, b, c;
    Quaternion q;
  } cases[] = {
      {0, 0, 0, {0, 0, 0, kOne}},
      {300, 0, 0, {sinQ14(300), 0, 0, cosQ14(300)}},
      {0, -700, 0, {0, sinQ14(-700), 0, cosQ14(-700)}},
      {0, 0, 1024, {0, 0, kOne, 0}},
  };
  for (const auto& c : cases) {
    GL3DAnimationTrack track;
    ASSERT_TRUE(bytes.read(track, oneBone({{}, {}, {}, {run(1, 2), c.a}, {run(1, 2), c.b}, {run(1, 2), c.c}}, 2)));
    EXPECT_EQ(track.getRotation(0, 5000, 0), c.q) << c.a << " " << c.b << " " << c.c;
    EXPECT_EQ(quaternionFromHalfAngles(c.a, c.b, c.c), c.q);
  }
}

TEST(Quaternions, BlendTakesTheShorterArcAndTheAnimationBlendNormalises) {
  const Quaternion id(0, 0, 0, kOne), negated(0, 0, 0, -kOne);
  EXPECT_EQ(blendQuaternions(id, negated, 8192), id);
  const Quaternion quarter(0, sinQ14(512), 0, cosQ14(512));  // 90 degrees about Y
  const Quaternion mid = blendQuaternions(id, quarter, 8192);
  EXPECT_EQ(mid, Quaternion(0, q14Mul(8192, sinQ14(512)), 0, q14Mul(8192, kOne) + q14Mul(8192, cosQ14(512))));
  Quaternion n = mid;
  normaliseBlended(n);
  EXPECT_NEAR(n.y, std::lround(kOne * std::sin(M_PI / 8)), kOne / 100);
  EXPECT_NEAR(n.w, std::lround(kOne * std::cos(M_PI / 8)), kOne / 100);
  const Quaternion flipped(0, -quarter.y, 0, -quarter.w);
  EXPECT_EQ(blendQuaternions(id, flipped, 8192), mid);
}

TEST_F(Animation, BlendMixesTheFirstHeldPoseIntoTheSecondsFirstFrame) {
  GL3DAnimationTrack a, b;
  ASSERT_TRUE(bytes.read(a, oneBone({{run(3, 3), 0, 100, 200}, {}, {}, {}, {run(1, 3), 0}, {}}, 3, 14)));
  ASSERT_TRUE(bytes.read(b, oneBone({{run(2, 2), 1000, 5}, {}, {}, {}, {run(1, 2), 512}, {}}, 2, 14)));
  GL3DAnimationBlend blend(&a, &b, a.getDuration(), kOne);
  EXPECT_EQ(blend.getSpeed(), 0x10000);
  EXPECT_EQ(blend.getDuration(), kOne);
  EXPECT_NEAR(blend.getFirstFrame(), 2 * kOne, 8);  // the end of the first: its last frame
  Matrix34 m[1];
  TraceCapture cap;
  blend.evaluate(kOne / 2, m, uint64_t{1});
  EXPECT_TRUE(cap.has("GL3DAnimationBlend: 0.500000"));
  // Half way from the first's end (200) to the second's first key.
  EXPECT_NEAR(m[0][9], q14Lerp(200, 1000, 8192), 2);
  Quaternion q = blend.getRotation(0, 8192, 0);
  // Normalised to within the square root's steps (1/128).
  EXPECT_NEAR(std::sqrt(double(q.y) * q.y + double(q.w) * q.w), kOne, kOne / 100);
  EXPECT_NEAR(q.y, kOne * std::sin(M_PI / 8), kOne / 100);
  EXPECT_FALSE(cap.reported(970, "GL3DAnimatedObject"));

  GL3DAnimationTrack two;
  kvmodel::Track t = oneBone({}, 2);
  t.parents = {-1, 0};
  t.channels.resize(2);
  ASSERT_TRUE(bytes.read(two, t));
  GL3DAnimationBlend odd(&a, &two, 0, kOne);
  cap.clear();
  EXPECT_EQ(odd.getBoneCount(), 1);
  EXPECT_TRUE(cap.reported(970, "GL3DAnimatedObject"));
  cap.clear();
  odd.getTranslation(0, kOne + 1, 0);
  odd.getRotation(0, -1, 0);
  EXPECT_TRUE(cap.reported(926, "GL3DAnimatedObject"));
  EXPECT_TRUE(cap.reported(952, "GL3DAnimatedObject"));
}

// Rotation matrix of the track's quaternion of half angles, in doubles.
struct Rot {
  double m[3][3];
  Rot(double a, double b, double c) {
    auto h = [](double u) { return u * 2 * M_PI / 4096; };
    const double sa = std::sin(h(a)), ca = std::cos(h(a)), sb = std::sin(h(b)), cb = std::cos(h(b)),
                 sc = std::sin(h(c)), cc = std::cos(h(c));
    const double x = sa * cb * cc - ca * sb * sc, y = ca * sb * cc + sa * cb * sc, z = ca * cb * sc - sa * sb * cc,
                 w = ca * cb * cc + sa * sb * sc;
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m[i][j] = r[i][j];
  }
  std::array<double, 3> apply(std::array<double, 3> p) const {
    return {m[0][0] * p[0] + m[0][1] * p[1] + m[0][2] * p[2], m[1][0] * p[0] + m[1][1] * p[1] + m[1][2] * p[2],
            m[2][0] * p[0] + m[2][1] * p[1] + m[2][2] * p[2]};
  }
};

TEST_F(Animation, TwoBonesTurnedAQuarterEachMatchADoubleModel) {
  // Bone 0 turned 90 degrees about Y and moved; bone 1, its child, moved
  // 2.0 along x and turned 90 degrees about Z. Translations shifted by 4.
  kvmodel::Track t = kvmodel::makeTrack(
      30, 10, {-1, 0}, {still(4, {64, 0, -32, 0, 512, 0}), still(4, {2048, 0, 0, 0, 0, 512})});
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, t));
  Matrix34 m[2];
  track.evaluate(kOne / 30, m, uint64_t{3});
  // Root: its local matrix; child: parent x local.
  Matrix34 local0, local1;
  local0.setFromQuaternion(track.getRotation(1, 0, 0), track.getTranslation(1, 0, 0));
  local1.setFromQuaternion(track.getRotation(1, 0, 1), track.getTranslation(1, 0, 1));
  EXPECT_EQ(m[0], local0);
  EXPECT_EQ(m[1], local0 * local1);

  const Rot r0(0, 512, 0), r1(0, 0, 512);
  const std::array<double, 3> p{1.0, 0.5, 0.25};
  const auto inner = r1.apply(p);
  const auto world = r0.apply({inner[0] + 2.0, inner[1], inner[2]});
  Vector3 got;
  m[1].transformPoint(Vector3(kOne, kOne / 2, kOne / 4), got);
  EXPECT_NEAR(got.x / double(kOne), world[0] + 1024.0 / kOne, 2e-3);
  EXPECT_NEAR(got.y / double(kOne), world[1], 2e-3);
  EXPECT_NEAR(got.z / double(kOne), world[2] - 512.0 / kOne, 2e-3);
  // Evaluating the child alone evaluates its parent first.
  Matrix34 alone[2];
  ASSERT_TRUE(track.evaluate(kOne / 30, alone, 1));
  EXPECT_EQ(alone[1], m[1]);
  TraceCapture cap;
  EXPECT_FALSE(track.evaluate(0, alone, 2));
  EXPECT_TRUE(cap.reported(677, "GL3DAnimatedObject"));
}

kvmodel::AnimatedVertex vertex(std::array<int32_t, 3> p, uint8_t b1, uint8_t b2, uint8_t w1, uint8_t w2,
                               std::array<int32_t, 3> q = {}) {
  kvmodel::AnimatedVertex v;
  v.first = p;
  v.second = b2 == 255 ? p : q;
  v.bone1 = b1;
  v.bone2 = b2;
  v.weight1 = w1;
  v.weight2 = w2;
  return v;
}

TEST_F(Animation, UsedBonesAddAncestorsAndSkinningKeepsRestPositions) {
  // Bones: 0 <- 1 <- 2, 3 a root, 4 <- 3.
  GL3DAnimationTrack track;
  std::vector<std::array<std::vector<int16_t>, 6>> keys(5, still(2, {0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(30, 14, {-1, 0, 1, -1, 3}, keys)));
  AnimatedMeshData mesh;
  const std::array<int32_t, 3> p{3 * kOne, -kOne, 77};
  ASSERT_TRUE(bytes.read(mesh, {{vertex(p, 2, 255, 64, 0), vertex(p, 1, 4, 64, 0), vertex(p, 1, 0, 32, 32, p)}, {}}));
  EXPECT_EQ(mesh.getHighestBone(), 4);
  EXPECT_EQ(usedBoneSet(mesh, track, -1), 0b00111u);  // bone 4 has weight 0
  EXPECT_EQ(usedBoneSet(mesh, track, 4), 0b11111u);
  Matrix34 m[5];
  track.evaluate(0, m, 0);
  Q14 out[9];
  skinMesh(mesh, m, out);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Vector3(out[3 * i], out[3 * i + 1], out[3 * i + 2]), Vector3(p[0], p[1], p[2]));
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(out[6 + c], p[c], 1);  // two halves, each truncated
  // Weights split between two moved bones: the mean of the two positions.
  Matrix34 moved[5];
  moved[1].setTranslation(kOne, 0, 0);
  moved[0].setTranslation(0, 2 * kOne, 0);
  skinMesh(mesh, moved, out);
  EXPECT_EQ(Vector3(out[6], out[7], out[8]), Vector3(p[0] + kOne / 2, p[1] + kOne, 2 * (p[2] / 2)));
}

TEST_F(Animation, DurationAndAdvance) {
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(30, 14, {-1}, {still(31, {})})));
  EXPECT_EQ(track.getLastFrame(), 30);
  EXPECT_EQ(track.getDuration(), kOne);
  EXPECT_EQ(track.getFrameAt(kOne / 2), 15 * kOne);
  GL3DAnimatedObject object;
  {
    TraceCapture cap;
    EXPECT_TRUE(object.advance(100));
    EXPECT_TRUE(cap.reported(1471, "GL3DAnimatedObject"));
    cap.clear();
    object.position = Vector3(5, 6, 7);
    EXPECT_EQ(object.getBoneWorldPosition(0), Vector3());
    EXPECT_TRUE(cap.reported(1575, "GL3DAnimatedObject"));
  }
  object.setAnimation(&track);
  EXPECT_FALSE(object.advance(kOne / 4));
  EXPECT_EQ(object.time, kOne / 4);
  EXPECT_FALSE(object.advance(kOne * 3 / 4));
  EXPECT_EQ(object.time, kOne);
  EXPECT_TRUE(object.advance(1));
  EXPECT_EQ(object.time, kOne);
  object.time = 10;
  EXPECT_TRUE(object.advance(-11));
  EXPECT_EQ(object.time, kOne);
}

TEST_F(Animation, BoneWorldPositionTurnsAboutYAndMoves) {
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(30, 14, {-1, 0}, {still(2, {0, 100, 0, 0, 0, 0}),
                                                                       still(2, {1000, 0, 0, 0, 0, 0})})));
  GL3DAnimatedObject object;
  object.setAnimation(&track);
  object.position = Vector3(kOne, 2 * kOne, 3 * kOne);
  object.angles = Vector3(0, 90 * kOne, 0);
  const Vector3 p = object.getBoneWorldPosition(1);
  EXPECT_NEAR(p.x, kOne, 2);
  EXPECT_EQ(p.y, 2 * kOne + 100);
  EXPECT_NEAR(p.z, 3 * kOne - 1000, 2);
}

// Valid track bytes, for breaking.
std::vector<uint8_t> goodTrack() {
  return *kvmodel::writeTrack(kvmodel::makeTrack(30, 12, {-1, 0}, {still(3, {1, 2, 3, 4, 5, 6}), still(3, {})}));
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

TEST_F(Animation, BadTracksAreRefused) {
  // Offsets: fps 4, frames 8, bones 12, parents 20, starts 32, "AVAL" 56,
  // N 60, shift 64, values 68.
  const size_t kStarts = 32, kValues = 68;
  const struct {
    const char* what;
    void (*spoil)(std::vector<uint8_t>&);
  } cases[] = {
      {"one frame", [](std::vector<uint8_t>& b) { put32(b, 8, 1); }},
      {"no frames per second", [](std::vector<uint8_t>& b) { put32(b, 4, 0); }},
      {"65 bones", [](std::vector<uint8_t>& b) { put32(b, 12, 65); }},
      {"own parent", [](std::vector<uint8_t>& b) { put32(b, 24, 1); }},
      {"parent -2", [](std::vector<uint8_t>& b) { put32(b, 20, static_cast<uint32_t>(-2)); }},
      {"starts fall", [](std::vector<uint8_t>& b) { put16(b, kStarts + 4, 0); }},
      {"start past N", [](std::vector<uint8_t>& b) { put16(b, kStarts + 22, 999); }},
      {"keys past the channel", [](std::vector<uint8_t>& b) { put16(b, kValues, 3 << 8 | 3); }},
      {"run without keys", [](std::vector<uint8_t>& b) { put16(b, kValues, 3 << 8); }},
      {"shift 15", [](std::vector<uint8_t>& b) { put32(b, 64, 15); }},
      {"values past the end", [](std::vector<uint8_t>& b) { put32(b, 60, 1000); }},
      {"wrong tag", [](std::vector<uint8_t>& b) { b[56] = 'X'; }},
  };
  const std::vector<uint8_t> good = goodTrack();
  ASSERT_EQ(std::string(good.begin() + 56, good.begin() + 60), "AVAL");
  GL3DAnimationTrack track;
  ASSERT_TRUE(track.read(bytes.stream(good)));
  for (const auto& c : cases) {
    std::vector<uint8_t> b = good;
    c.spoil(b);
    TraceCapture cap;
    EXPECT_FALSE(track.read(bytes.stream(b))) << c.what;
    EXPECT_EQ(track.getBoneCount(), 0) << c.what;
    EXPECT_FALSE(kvmodel::readTrack(b).has_value()) << c.what;
    if (std::string(c.what) == "wrong tag") {
      EXPECT_TRUE(cap.reported(244, "GL3DAnimatedObject"));
    }
  }
  for (size_t n = 0; n < good.size(); ++n) {
    const std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(track.read(bytes.stream(prefix))) << n;
    EXPECT_FALSE(kvmodel::readTrack(prefix).has_value()) << n;
  }
}

TEST_F(Animation, TrackAndMeshRoundTrip) {
  kvmodel::Track t = kvmodel::makeTrack(
      24, 9, {-1, 0, 0}, {still(5, {1, -2, 3, 40, 50, -60}), still(5, {7, 7, 7, 0, 0, 0}), still(5, {})});
  t.channels[1][0] = kvmodel::encodeChannel({1, 2, 3, 3, 3, 9});
  const auto tb = kvmodel::writeTrack(t);
  ASSERT_TRUE(tb);
  EXPECT_EQ(kvmodel::readTrack(*tb), t);
  kvmodel::AnimatedMesh m{{vertex({1, 2, 3}, 0, 255, 64, 0), vertex({-4, 5, 6}, 1, 2, 40, 24, {9, 8, 7})}, {0, 1, 1}};
  m.vertices[1].s = 11;
  m.vertices[1].t = -12;
  const auto mb = kvmodel::writeAnimatedMesh(m);
  ASSERT_TRUE(mb);
  EXPECT_EQ(kvmodel::readAnimatedMesh(*mb), m);
  AnimatedMeshData mesh;
  ASSERT_TRUE(mesh.read(bytes.stream(*mb)));
  EXPECT_EQ(mesh.getVertexCount(), 2);
  EXPECT_EQ(mesh.getTriangleCount(), 1);
  EXPECT_EQ(mesh.getPositions()[6], -4);
  EXPECT_EQ(mesh.getPositions()[9], 9);
  EXPECT_EQ(mesh.getTexCoords()[3], -12);
  EXPECT_EQ(mesh.getBones()[6], 40);
  EXPECT_EQ(mesh.getTriangles()[2], 1);
  // In place: the positions are the stream's own bytes.
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(mesh.getPositions()), bytes.buffers.back().data() + 12);
}

TEST_F(Animation, BadMeshesAreRefused) {
  kvmodel::AnimatedMesh m{{vertex({1, 2, 3}, 0, 255, 64, 0), vertex({4, 5, 6}, 3, 1, 32, 32)}, {0, 1, 0}};
  const std::vector<uint8_t> good = *kvmodel::writeAnimatedMesh(m);
  // V, T, "VPOS" 8, positions 12, "TEXC" 60, coords 64, "BONE" 80, bones 84, "FACE" 92, faces 96.
  const struct {
    const char* what;
    void (*spoil)(std::vector<uint8_t>&);
  } cases[] = {
      {"wrong tag", [](std::vector<uint8_t>& b) { b[62] = 'Z'; }},
      {"block past the end", [](std::vector<uint8_t>& b) { put32(b, 4, 2); }},
      {"index past the vertices", [](std::vector<uint8_t>& b) { put16(b, 98, 2); }},
      {"bone 64", [](std::vector<uint8_t>& b) { b[84] = 64; }},
      {"second bone 64", [](std::vector<uint8_t>& b) { b[89] = 64; }},
  };
  AnimatedMeshData mesh;
  ASSERT_TRUE(mesh.read(bytes.stream(good)));
  for (const auto& c : cases) {
    std::vector<uint8_t> b = good;
    c.spoil(b);
    TraceCapture cap;
    EXPECT_FALSE(mesh.read(bytes.stream(b))) << c.what;
    EXPECT_EQ(mesh.getVertexCount(), 0) << c.what;
    EXPECT_FALSE(kvmodel::readAnimatedMesh(b).has_value()) << c.what;
    if (std::string(c.what) == "wrong tag") {
      EXPECT_TRUE(cap.reported(244, "GL3DAnimatedObject"));
    }
  }
  for (size_t n = 0; n < good.size(); ++n) {
    const std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(mesh.read(bytes.stream(prefix))) << n;
    EXPECT_FALSE(kvmodel::readAnimatedMesh(prefix).has_value()) << n;
  }
  kvmodel::AnimatedMesh bad = m;
  bad.vertices[0].bone1 = 64;
  EXPECT_FALSE(kvmodel::writeAnimatedMesh(bad));
}

}  // namespace
