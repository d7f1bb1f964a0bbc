#include "../../zul/memory/TraceCapture.h"
#include "DataFixture.h"
#include "gles/GlContext.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/ModelWriter.h"
#include "tools/pack/PackWriter.h"
#include "zul/3d/GL3DASEFileResource.h"

namespace {

// A model written by the model tool, stored in the resource pack, loaded by
// the game's resource manager with its texture from the same pack.
TEST_F(DataTest, ModelFromThePackWithItsTexture) {
  GlContext gl;
  setCurrentGlContext(&gl);
  kvmodel::SubMesh s{0, {}, {}, {}};
  for (int i = 0; i < 8; ++i) {
    s.positions.insert(s.positions.end(), {(i & 1) << 16, (i & 2) << 15, (i & 4) << 14});
    s.texCoords.insert(s.texCoords.end(), {(i & 1) << 14, (i >> 1) << 13});
  }
  s.indices = {0, 1, 3, 0, 3, 2, 4, 6, 7, 4, 7, 5};
  const kvmodel::Model model{{{0, {s}}, {0, {s}}}};
  const std::vector<uint8_t> texture =
      kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0x2080C0), std::vector<uint8_t>(32 * 32, 9));
  // Entry 1 is large and regular enough to be stored packed.
  kvmodel::Model big = model;
  for (int i = 0; i < 40; ++i) big.parts.push_back(big.parts[0]);
  const auto pack = respack::writePack({texture, *kvmodel::writeModel(model), *kvmodel::writeModel(big)});
  ASSERT_TRUE(pack);
  ASSERT_TRUE(respack::isPacked(respack::readPack(*pack)->at(2)));
  writeBytes("info.bar", pack->index);
  writeBytes("data000.bar", pack->data);
  ASSERT_TRUE(game->engine.resources.loadIndex());

  for (uint32_t id : {1u, 2u}) {
    SCOPED_TRACE(id);
    TraceCapture cap;
    ManagedResource<GL3DASEFileResource>* m = game->engine.resources.get<GL3DASEFileResource>(id);
    ASSERT_NE(m, nullptr) << cap.text;
    EXPECT_EQ(m->getPartCount(), static_cast<int32_t>(id == 1 ? 2 : 42));
    GL3DSubMesh* sub = m->getPart(1)->getSubMesh(0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->vertexCount, 8);
    EXPECT_EQ(sub->triangleCount, 4);
    EXPECT_EQ(std::vector<int32_t>(sub->vertices, sub->vertices + 24), s.positions);
    EXPECT_EQ(std::vector<uint16_t>(sub->indices, sub->indices + 12), s.indices);
    ASSERT_NE(sub->texture, nullptr);
    EXPECT_EQ(sub->texture, game->engine.renderer.getTextures().getSlot(0));
    EXPECT_EQ(gl.m_textures[sub->texture->getName()].texels[0], 0x2418);
    EXPECT_EQ(m->getPart(0)->getCentre(), Vector3(q14Mul(4 << 16, 2048), q14Mul(4 << 16, 2048), q14Mul(4 << 16, 2048)));
    game->engine.resources.release(m);
  }
  EXPECT_EQ(game->engine.renderer.getTextures().getCount(), 1);
  game.reset();
  setCurrentGlContext(nullptr);
}

}  // namespace
