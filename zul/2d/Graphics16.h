// Drawing context of 16-bit RGB565 surfaces; the per-pixel work goes through
// the kernels of zul/2d/Kernels.h.
#pragma once

#include "zul/2d/Graphics.h"
#include "zul/2d/Kernels.h"

class Graphics16 final : public Graphics {
 public:
  enum DrawMode { k_modeOpaque, k_modeKeyed, k_modeAlpha, k_modeAlphaKeyed, k_modeCount };
  enum SourceKind { k_sourceIndexed, k_sourceArgb, k_source16, k_sourceCount };

  Graphics16();
  ~Graphics16() override;

  uint16_t argbToPixel(uint32_t argb) const override;
  uint32_t pixelToRgb(uint16_t pixel) const override;
  void putPixel(int x, int y, uint16_t pixel) override;
  void blitRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                  int paletteOffset) override;
  void fillRect(int x, int y, int w, int h) override;
  void drawLineSegment(int x1, int y1, int x2, int y2) override;
  void drawCircle(int cx, int cy, int r) override;
  void drawTexturedSpan(int u, int du, int v, int dv, const Image* image, uint8_t* rowAddress, int x, int count,
                        int paletteOffset) override;

  // Target coordinates; written only inside the clip.
  void setPixelClipped(int x, int y, uint16_t pixel);
  BlitKernel getKernel(int mode, int source) const { return m_kernels[mode][source]; }

 private:
  // Surfaces whose pitch / width is 4 hold RGB565 in the low half of each word.
  bool isWide() const;

  BlitKernel m_kernels[k_modeCount][k_sourceCount];
};
