// The small 3D ball view under the HUD panel: its render image, models and
// textures, the view box and the view-unit conversions.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "korvane/gl.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/GL3DASEFileResource.h"

namespace {
constexpr int32_t kViewInterface = 56;
constexpr int32_t kViewW = 56, kViewH = 104;
}  // namespace

Q14 cGame::tableToViewX(Q14 x) {
  return q14Div(wrapSub(wrapSub(x, 0x44000), 0x21C000 / 2) >> 2, 0x21C000 >> 2) * 1400;
}

Q14 cGame::tableToViewY(Q14 y) {
  return q14Div(wrapAdd(wrapAdd(y, 0x50000), 0x418000 / 2) >> 2, 0x418000 >> 2) * 2350;
}

void cGame::resetBallView() {
  ballViewCount = 0;
  predictedSlot = -1;
  potCountdown = -1;
  followedSlot = 0;
  ballViewOpen = 0;
}

void cGame::init3D() {
  if (m_renderImage) return;
  m_renderImage = new MutableImage(kViewW, kViewH, 16);
  m_renderer.init(m_renderImage);
  m_renderer.setNativeWindow(m_renderImage->getPixels());
}

void cGame::load3DView() {
  GL3DTextureManager& textures = m_renderer.getTextures();
  for (int32_t i = 0; i < 16; ++i) {
    int32_t id = i;
    if (ruleSet == 1) id = i == 0 ? 0 : i < 8 ? 3 : i == 8 ? 8 : 1;
    m_ballTextures[i] = textures.getTexture(id);
  }
  m_tableModel = m_resources.get<GL3DASEFileResource>(16);
  m_tableTexture = textures.getTexture(20 + m_tableIndex);
  if (m_tableModel) m_tableModel->setTexture(m_tableTexture);
  m_ballModel = m_resources.get<GL3DASEFileResource>(18);
  m_heldModel = m_resources.get<GL3DASEFileResource>(17);
  placeBallView(0);
  setViewport3D(m_viewBox[0], m_viewBox[1] - m_viewBox[3] / 2, m_viewBox[2], m_viewBox[3]);
}

void cGame::releaseBallViewData() {
  m_resources.release(m_tableModel);
  m_resources.release(m_ballModel);
  m_resources.release(m_heldModel);
  m_tableModel = m_ballModel = m_heldModel = nullptr;
  m_tableTexture = nullptr;
  for (GL3DTexture*& t : m_ballTextures) t = nullptr;
  m_renderer.getTextures().releaseAll();
}

void cGame::unload3DView() {}

void cGame::placeBallView(int32_t layout) {
  const int32_t e = layout == 0 ? 133 : 136;
  const int32_t h = getInterfaceElementHeight(kViewInterface, e);
  m_viewBox[0] = getInterfaceElementX(kViewInterface, e) + panelX;
  m_viewBox[1] = getInterfaceElementY(kViewInterface, e) + h / 2;
  m_viewBox[2] = getInterfaceElementWidth(kViewInterface, e);
  m_viewBox[3] = h;
}

// Rows of the render image that fall inside the target's clip rows go to the
// view box's column, clipped to the clip and the target, at the target's pitch.
void cGame::blit3D() {
  Graphics* g = m_paintTarget ? m_paintTarget : getGraphics();
  if (m_renderImage && g && g->getTarget()) {
    Image* target = g->getTarget();
    const int32_t tw = target->getWidth(), th = target->getHeight();
    int32_t cx0 = g->translateX(g->getClipX()), cy0 = g->translateY(g->getClipY());
    int32_t cx1 = cx0 + g->getClipWidth(), cy1 = cy0 + g->getClipHeight();
    if (cx0 < 0) cx0 = 0;
    if (cy0 < 0) cy0 = 0;
    if (cx1 > tw) cx1 = tw;
    if (cy1 > th) cy1 = th;
    const int32_t vx = m_viewBox[0], top = m_viewRect[1];
    int32_t x0 = vx < cx0 ? cx0 : vx;
    int32_t x1 = vx + kViewW > cx1 ? cx1 : vx + kViewW;
    const auto* src = static_cast<const uint16_t*>(m_renderImage->getPixels());
    auto* dst = static_cast<uint16_t*>(target->getPixels());
    if (x1 > x0 && src && dst) {
      for (int32_t r = 0; r < kViewH; ++r) {
        const int32_t y = top + r;
        if (y < cy0 || y >= cy1) continue;
        std::memcpy(dst + static_cast<size_t>(y) * tw + x0, src + r * kViewW + (x0 - vx),
                    static_cast<size_t>(x1 - x0) * 2);
      }
    }
  }
  glClearColorx(0, 0, 0, 0x10000);
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void cGame::blit3DRect(int32_t, int32_t, int32_t, int32_t, int32_t) { blit3D(); }
void cGame::blit3DFullScreen(int32_t flag) { blit3DRect(0, 0, 240, 320, flag); }

void cGame::flush3D() {
  glFlush();
  m_renderer.swapBuffers();
}
