// The ball view's scene over the data set's pack: the table model turned by
// -180 degrees about y, sixteen balls (a rack with its apex at (84.5, 100),
// the cue ball at (84.5, 202)) and the pocket camera behind one pocket, drawn
// as the game draws it into a 56 x 104 picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "game/Korvane/cGame/cGame.h"
#include "gles/GlContext.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Angles.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DTexture.h"

namespace ballview {

constexpr int kWidth = 56, kHeight = 104;

// Table point (Q14, y = -file y) to view units, and view units to the world.
inline int32_t toViewX(int32_t x) { return q14Div((x - 0x44000 - 0x10E000) >> 2, 0x21C000 >> 2) * 1400; }
inline int32_t toViewY(int32_t y) { return q14Div((y + 0x50000 + 0x20C000) >> 2, 0x418000 >> 2) * 2350; }

// Ball centres in file units: the cue ball, then a rack of fifteen.
inline std::array<std::pair<double, double>, 16> ballPoints() {
  std::array<std::pair<double, double>, 16> out;
  out[0] = {84.5, 202};
  int k = 1;
  for (int row = 0; row < 5; ++row)
    for (int i = 0; i <= row; ++i) out[static_cast<size_t>(k++)] = {84.5 + 9.0 * (i - row / 2.0), 100 - 7.8 * row};
  return out;
}

class Scene {
 public:
  explicit Scene(cGame& game) : m_game(game), m_image(kWidth, kHeight, 16) {}
  ~Scene() { release(); }

  // Textures, models and the renderer over the picture; false when one is missing.
  bool load() {
    if (!m_game.engine.renderer.init(&m_image)) return false;
    m_game.engine.renderer.setNativeWindow(m_image.getPixels());
    GL3DTextureManager& textures = m_game.engine.renderer.getTextures();
    for (int32_t i = 0; i < 16; ++i)
      if (!(m_balls[static_cast<size_t>(i)] = textures.getTexture(i))) return false;
    m_table = m_game.engine.resources.get<GL3DASEFileResource>(16);
    m_cloth = textures.getTexture(20);
    m_ball = m_game.engine.resources.get<GL3DASEFileResource>(18);
    m_held = m_game.engine.resources.get<GL3DASEFileResource>(17);
    if (!m_table || !m_ball || !m_held || !m_cloth) return false;
    m_table->setTexture(m_cloth);
    setViewport3D(m_game, 0, 0, kWidth, kHeight);
    return true;
  }

  // The pocket camera for a pocket at file point (x, y).
  void aimAtPocket(int x, int y) {
    const int32_t tx = toViewX(x << 14), ty = toViewY(-(y << 14));
    m_yaw = atan2Degrees(-tx, -ty);
    m_cameraX = tx - cosDegrees(m_yaw) * 100;
    m_cameraY = ty - sinDegrees(m_yaw) * 100;
  }

  // One frame: clear, camera, table, flush, balls, flush, swap.
  void frame() {
    glClearColorx(0, 0, 0, kQ14One);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    lookAt3D(m_game, m_cameraX / 10, m_cameraY / 10, 0x78000, m_yaw, -983040, 0);
    m_view = *getCurrentGlContext()->m_modelviewTop;
    m_table->draw(&m_game.engine.renderer, &tableMatrix());
    glFlush();
    for (size_t k = 0; k < 16; ++k) {
      m_ball->setTexture(m_balls[k]);
      m_ball->draw(&m_game.engine.renderer, &ballMatrix(k));
    }
    glFlush();
    m_game.engine.renderer.swapBuffers();
  }

  const Matrix34& tableMatrix() {
    m_matrix.setIdentity();
    m_matrix.rotateY(-2949120);
    return m_matrix;
  }
  const Matrix34& ballMatrix(size_t k) {
    const auto [x, y] = ballPoints()[k];
    const int32_t vx = toViewX(static_cast<int32_t>(x * 16384)), vy = toViewY(-static_cast<int32_t>(y * 16384));
    m_matrix.setTranslation(vx / 10, 0, -(vy / 10));
    return m_matrix;
  }
  // Triangles handed to the renderer per frame.
  int trianglesPerFrame() const { return triangles(m_table) + 16 * triangles(m_ball); }

  const uint16_t* pixels() const { return static_cast<const uint16_t*>(m_image.getPixels()); }
  const Matrix34& view() const { return m_view; }
  GL3DASEFileResource* table() const { return m_table; }
  GL3DASEFileResource* ball() const { return m_ball; }
  GL3DTexture* ballTexture(size_t k) const { return m_balls[k]; }

  void release() {
    for (auto** m : {&m_table, &m_ball, &m_held})
      if (*m) {
        m_game.engine.resources.release(*m);
        *m = nullptr;
      }
    m_game.engine.renderer.getTextures().releaseAll();
  }

 private:
  static int triangles(GL3DASEFileResource* m) {
    int n = 0;
    for (int32_t p = 0; m && p < m->getPartCount(); ++p)
      for (int32_t i = 0; i < m->getPart(p)->getSubMeshCount(); ++i) n += m->getPart(p)->getSubMesh(i)->triangleCount;
    return n;
  }

  cGame& m_game;
  MutableImage m_image;
  std::array<GL3DTexture*, 16> m_balls = {};
  GL3DTexture* m_cloth = nullptr;
  ManagedResource<GL3DASEFileResource>* m_table = nullptr;
  ManagedResource<GL3DASEFileResource>* m_ball = nullptr;
  ManagedResource<GL3DASEFileResource>* m_held = nullptr;
  Matrix34 m_matrix, m_view;
  int32_t m_yaw = 0, m_cameraX = 0, m_cameraY = 0;
};

}  // namespace ballview
