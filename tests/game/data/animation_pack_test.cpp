#include "../../zul/memory/TraceCapture.h"
#include "DataFixture.h"
#include "gles/GlContext.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/AnimationWriter.h"
#include "tools/pack/PackWriter.h"
#include "zul/3d/GL3DAnimatedObject.h"
#include "zul/3d/GL3DAnimationTrack.h"

namespace {

// A skinned mesh and its track written by the model tool and stored in the
// resource pack: the mesh is a shared record of the game's resource
// manager, the track reads a stream that the manager opens for it.
TEST_F(DataTest, AnimatedMeshAndTrackFromThePack) {
  GlContext gl;
  setCurrentGlContext(&gl);
  kvmodel::AnimatedMesh mesh;
  for (int i = 0; i < 6; ++i) {
    kvmodel::AnimatedVertex v;
    v.first = {i << 14, (i & 1) << 14, 0};
    v.second = {0, 0, 1 << 14};
    v.bone1 = static_cast<uint8_t>(i % 3);
    v.bone2 = static_cast<uint8_t>(i % 2 ? 255 : 2);
    v.weight1 = 48;
    v.weight2 = 16;
    mesh.vertices.push_back(v);
  }
  mesh.triangles = {0, 1, 2, 3, 4, 5};
  // Many frames of a slow turn: large and regular enough to be stored packed.
  std::vector<std::array<std::vector<int16_t>, 6>> keys(3);
  for (auto& bone : keys)
    for (int c = 0; c < 6; ++c)
      for (int f = 0; f < 400; ++f) bone[c].push_back(static_cast<int16_t>(c < 3 ? f * 10 : f));
  const auto track = kvmodel::writeTrack(kvmodel::makeTrack(25, 14, {-1, 0, 1}, keys));
  ASSERT_TRUE(track);
  const auto pack = respack::writePack({kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0x2080C0),
                                                            std::vector<uint8_t>(32 * 32, 9)),
                                        *kvmodel::writeAnimatedMesh(mesh), *track});
  ASSERT_TRUE(pack);
  ASSERT_TRUE(respack::isPacked(respack::readPack(*pack)->at(2)));
  writeBytes("info.bar", pack->index);
  writeBytes("data000.bar", pack->data);
  ASSERT_TRUE(game->engine.resources.loadIndex());

  {
    GL3DAnimationTrack anim;
    TraceCapture cap;
    ASSERT_TRUE(anim.load(game->engine.resources, 2)) << cap.text;
    EXPECT_EQ(anim.getBoneCount(), 3);
    EXPECT_EQ(anim.getLastFrame(), 399);
    EXPECT_EQ(anim.getDuration(), q14Div(399 << 14, 25 << 14));
    EXPECT_EQ(anim.decode(2, GL3DAnimationTrack::kRotateZ, 123).key, 123);
    EXPECT_EQ(anim.getTranslation(7, 8192, 1), Vector3(75, 75, 75));

    GL3DAnimatedObject object;
    object.setMesh(1, 0);
    object.setAnimation(&anim);
    ManagedResource<AnimatedMeshData>* m = object.getMesh();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->getVertexCount(), 6);
    EXPECT_EQ(m->getTriangleCount(), 2);
    EXPECT_EQ(m->getHighestBone(), 2);
    EXPECT_EQ(usedBoneSet(*m, anim, -1), 0b111u);
    EXPECT_EQ(object.getTexture(), game->engine.renderer.getTextures().getSlot(0));
    EXPECT_EQ(game->engine.resources.find(1), m);
  }
  // The object gave its mesh back.
  EXPECT_EQ(game->engine.resources.find(1), nullptr);
  game.reset();
  setCurrentGlContext(nullptr);
}

}  // namespace
