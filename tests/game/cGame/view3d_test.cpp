#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "gles/GlContext.h"
#include "tests/game/cGame/GameWithGl.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

class View3D : public GameWithGl {};

TEST_F(View3D, TheRendererPoolIsTheGamesScratchPool) {
  EXPECT_EQ(getStackMemoryPool(), &game->engine.renderer.getScratchPool());
  EXPECT_EQ(getStackMemoryPool()->getSize(), 30720);
  EXPECT_EQ(getGL3DServices()->renderer, &game->engine.renderer);
  EXPECT_EQ(getGL3DServices()->resourceManager, &game->engine.resources);
  for (const Camera& c : game->ballView.cameras) EXPECT_EQ(c.aspect, 12288);
  game.reset();
  EXPECT_EQ(getStackMemoryPool(), nullptr);
  EXPECT_EQ(getGL3DServices()->renderer, nullptr);
}

TEST_F(View3D, ViewportSetsTheFixedViewAndProjection) {
  for (const auto& [x, y] : {std::pair{67, 40}, std::pair{6, 0}}) {
    gl->glMatrixMode(GL_PROJECTION);
    gl->glLoadIdentity();
    setViewport3D(*game, x, y, 56, 104);
    EXPECT_EQ(game->ballView.viewRect[0], x);
    EXPECT_EQ(game->ballView.viewRect[1], y);
    EXPECT_EQ(game->ballView.viewRect[2], 56);
    EXPECT_EQ(game->ballView.viewRect[3], 104);
    EXPECT_EQ(gl->m_viewportWidth, 56);
    EXPECT_EQ(gl->m_viewportHeight, 104);
    const Camera& c = game->ballView.camera;
    EXPECT_EQ(c.horizontalFov, 60);
    EXPECT_EQ(c.zNear, 163);
    EXPECT_EQ(c.zFar, 0x640000);
    EXPECT_EQ(c.aspect, q14Div(56 << 14, 104 << 14));
    EXPECT_FALSE(c.dirty);  // updated
    EXPECT_EQ(gl->m_near, 163);
    EXPECT_EQ(gl->m_far, 0x640000);
    EXPECT_EQ(game->ballView.viewDistance3D, 0x78000);
  }
}

TEST_F(View3D, LookAtPlacesTheCameraAndPutsItsViewOnTheModelView) {
  const struct {
    int32_t a[6];
  } cases[] = {
      {{10 << 14, 20 << 14, 30 << 14, 0x168000, -(60 << 14), 0}},
      {{-(70 << 14), 117 << 14, 30 << 14, 45 << 14, -(30 << 14), 5 << 14}},
  };
  for (const auto& c : cases) {
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    lookAt3D(*game, c.a[0], c.a[1], c.a[2], c.a[3], c.a[4], c.a[5]);
    const Camera& cam = game->ballView.camera;
    EXPECT_EQ(cam.position, Vector3(c.a[0], c.a[2], -c.a[1]));
    EXPECT_EQ(cam.angles, Vector3(c.a[4], c.a[3] - 0x168000, c.a[5]));
    EXPECT_EQ(game->engine.renderer.getCamera(), &cam);
    // The same placement through the camera's own matrices.
    Camera expect;
    expect.setPositionAndAngles(cam.position, cam.angles);
    const Matrix34& got = *gl->m_modelviewTop;
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(got[i], expect.view[i], i < 9 ? 8 : 64) << i;
  }
}

}  // namespace
