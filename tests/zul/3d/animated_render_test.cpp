// Skinned objects drawn through the renderer against static models of the
// same triangles.
#include <gtest/gtest.h>

#include <vector>

#include "../../gles/context/GlContextFixture.h"
#include "AnimationFixture.h"
#include "FakeResources.h"
#include "memory/TraceCapture.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/ModelWriter.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/GL3DAnimatedObject.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"

namespace {

constexpr Q14 kOne = 16384;
constexpr int kW = 56, kH = 104;
constexpr uint32_t kMesh = 40, kTexture = 41, kModel = 42, kModelTexture = 43, kStatic = 44;

std::vector<uint16_t>* g_window = nullptr;
void* windowPixels() { return g_window->data(); }

// A strip of quads along x, two triangles each, counter-clockwise towards +z.
struct Strip {
  std::vector<int32_t> positions, coords;
  std::vector<uint16_t> indices;
  explicit Strip(int quads, double x0) {
    for (int i = 0; i <= quads; ++i)
      for (int j = 0; j < 2; ++j) {
        positions.insert(positions.end(), {static_cast<int32_t>((x0 + 0.5 * i) * kOne), (j ? 1 : -1) * kOne, 0});
        coords.insert(coords.end(), {i * kOne / quads, j * kOne});
      }
    for (int i = 0; i < quads; ++i) {
      const uint16_t a = static_cast<uint16_t>(2 * i);
      indices.insert(indices.end(), {a, uint16_t(a + 2), uint16_t(a + 1), uint16_t(a + 1), uint16_t(a + 2), uint16_t(a + 3)});
    }
  }
  kvmodel::SubMesh subMesh(uint32_t texture) const { return {texture, positions, coords, indices}; }
  // Vertex i follows bone (i / 2 < split ? 0 : 1), fully.
  kvmodel::AnimatedMesh animated(int split) const {
    kvmodel::AnimatedMesh m;
    for (size_t i = 0; i < positions.size() / 3; ++i) {
      kvmodel::AnimatedVertex v;
      v.first = {positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]};
      v.second = v.first;
      v.s = coords[2 * i];
      v.t = coords[2 * i + 1];
      v.bone1 = static_cast<uint8_t>(static_cast<int>(i / 2) < split ? 0 : 1);
      m.vertices.push_back(v);
    }
    m.triangles = indices;
    return m;
  }
};

std::vector<uint8_t> checker(int seed) {
  std::vector<uint8_t> indices(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) indices[y * 32 + x] = static_cast<uint8_t>(((x / 4 + y / 4) % 2) * 100 + seed);
  return indices;
}

std::vector<uint32_t> palette(uint32_t tint) {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = (i * 0x0B1F37u ^ tint) & 0xFFFFFF;
  return p;
}

class AnimatedRender : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    res.files[kTexture] = kvtools::writeTarga(32, 32, palette(0x204060), checker(1));
    res.files[kModelTexture] = kvtools::writeTarga(32, 32, palette(0xC04010), checker(7));
    window.assign(kW * kH, 0);
    g_window = &window;
    services.resourceManager = &res;
    services.renderer = &renderer;
    services.backBufferData = windowPixels;
    setGL3DServices(&services);
    ASSERT_TRUE(renderer.init(&target));
    glFrustumx(-kOne / 2, kOne / 2, -kOne * kH / kW / 2, kOne * kH / kW / 2, kOne, 100 * kOne);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatex(0, 0, -6 * kOne);
    glRotatex(25 * kOne, kOne, 0, 0);
    glEnable(GL_DEPTH_TEST);
  }
  void TearDown() override {
    renderer.getTextures().releaseAll();
    setGL3DServices(nullptr);
    g_window = nullptr;
    GlContextTest::TearDown();
  }
  template <class Draw>
  std::vector<uint16_t> picture(Draw draw) {
    glClearColorx(0, 0, 0, kOne);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    glFlush();
    renderer.swapBuffers();
    return window;
  }
  static int lit(const std::vector<uint16_t>& p) {
    int n = 0;
    for (uint16_t v : p) n += v != 0;
    return n;
  }

  FakeResources res;
  GL3DServices services;
  GlRenderer renderer;
  MutableImage target{kW, kH, 16};
  std::vector<uint16_t> window;
  AnimationBytes bytes;
};

TEST_F(AnimatedRender, RestPoseDrawsTheSamePixelsAsTheStaticModel) {
  const Strip strip(4, -1.0);
  res.files[kMesh] = *kvmodel::writeAnimatedMesh(strip.animated(2));
  res.files[kStatic] = *kvmodel::writeModel({{{0, {strip.subMesh(kTexture)}}}});
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(30, 14, {-1, 0}, {still(2, {}), still(2, {})})));
  GL3DAnimatedObject object;
  object.setMesh(kMesh, kTexture);
  object.setAnimation(&track);
  ASSERT_NE(object.getMesh(), nullptr);
  ASSERT_NE(object.getTexture(), nullptr);
  ManagedResource<GL3DASEFileResource>* model = res.get<GL3DASEFileResource>(kStatic);
  ASSERT_NE(model, nullptr);
  model->setDrawMode(1);  // the same perspective hint as the object's

  const std::vector<uint16_t> animated = picture([&] { object.draw(&renderer); });
  const std::vector<uint16_t> still = picture([&] { model->draw(&renderer); });
  EXPECT_GT(lit(animated), 200);
  EXPECT_EQ(animated, still);
  EXPECT_EQ(renderer.getScratchPool().getFreeSize(), GlRenderer::kScratchSize - 4);
  object.flags = GL3DAnimatedObject::kFlagHidden;
  EXPECT_EQ(lit(picture([&] { object.draw(&renderer); })), 0);
  res.release(model);
}

TEST_F(AnimatedRender, AnAttachedModelFollowsItsBone) {
  const Strip strip(2, -1.5), small(1, -0.25);
  res.files[kMesh] = *kvmodel::writeAnimatedMesh(strip.animated(99));  // all on bone 0
  res.files[kModel] = *kvmodel::writeModel({{{0, {small.subMesh(kModelTexture)}}}});
  res.files[kStatic] = *kvmodel::writeModel({{{0, {strip.subMesh(kTexture)}}}});
  // Bone 0 still; bone 1 moved 1.5 right and 0.5 up and turned 45 degrees about Z.
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(30, 12, {-1, 0}, {still(2, {}), still(2, {6144, 2048, 0, 0, 0, 256})})));
  GL3DAnimatedObject object;
  object.setMesh(kMesh, kTexture);
  object.setAnimation(&track);
  object.attachModel(kModel, 1);
  ASSERT_NE(object.getAttachedModel(), nullptr);
  ManagedResource<GL3DASEFileResource>* body = res.get<GL3DASEFileResource>(kStatic);
  ManagedResource<GL3DASEFileResource>* hand = res.get<GL3DASEFileResource>(kModel);
  ASSERT_TRUE(body && hand);
  body->setDrawMode(1);
  Matrix34 m[2];
  track.evaluate(0, m, uint64_t{3});

  const std::vector<uint16_t> animated = picture([&] { object.draw(&renderer); });
  const std::vector<uint16_t> expected = picture([&] {
    body->draw(&renderer);
    hand->draw(&renderer, &m[1]);
  });
  EXPECT_EQ(animated, expected);
  const std::vector<uint16_t> unmoved = picture([&] {
    body->draw(&renderer);
    hand->draw(&renderer);
  });
  EXPECT_NE(animated, unmoved);
  object.detachModel();
  EXPECT_EQ(object.getAttachedModel(), nullptr);
  res.release(body);
  res.release(hand);
  EXPECT_EQ(res.stored.count(kModel), 0u);
}

TEST_F(AnimatedRender, BonesPastTheTrackOrTooLittleScratchDrawNothing) {
  const Strip strip(2, -1.0);
  res.files[kMesh] = *kvmodel::writeAnimatedMesh(strip.animated(1));  // bones 0 and 1
  GL3DAnimationTrack one;
  ASSERT_TRUE(bytes.read(one, kvmodel::makeTrack(30, 14, {-1}, {still(2, {})})));
  GL3DAnimatedObject object;
  object.setMesh(kMesh, kTexture);
  {
    TraceCapture cap;
    EXPECT_EQ(lit(picture([&] { object.draw(&renderer); })), 0);  // no animation
    EXPECT_TRUE(cap.reported(1210, "GL3DAnimatedObject"));
  }
  object.setAnimation(&one);
  {
    TraceCapture cap;
    EXPECT_EQ(lit(picture([&] { object.draw(&renderer); })), 0);
    EXPECT_TRUE(cap.has("uses bone 1"));
  }
  GL3DAnimationTrack two;
  ASSERT_TRUE(bytes.read(two, kvmodel::makeTrack(30, 14, {-1, 0}, {still(2, {}), still(2, {})})));
  object.setAnimation(&two);
  void* hog = renderer.allocScratch(GlRenderer::kScratchSize - 100);
  ASSERT_NE(hog, nullptr);
  {
    TraceCapture cap;
    EXPECT_EQ(lit(picture([&] { object.draw(&renderer); })), 0);
    EXPECT_TRUE(cap.reported(1210, "GL3DAnimatedObject"));
  }
  renderer.freeScratch(hog);
  EXPECT_GT(lit(picture([&] { object.draw(&renderer); })), 100);
}

}  // namespace
