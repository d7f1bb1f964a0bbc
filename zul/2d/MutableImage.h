// Drawable image: at 16 bits per pixel it carries its own drawing context.
#pragma once

#include "zul/2d/RgbImage.h"

class Graphics;

class MutableImage : public RgbImage {
 public:
  // Over existing pixels, which stay the caller's.
  MutableImage(int width, int height, int pitch, int bitsPerPixel, void* pixels);
  // With its own pixels (zero-filled).
  MutableImage(int width, int height, int bitsPerPixel);
  ~MutableImage() override;

  Graphics* getGraphics() const { return m_graphics; }

 private:
  void createGraphics();

  Graphics* m_graphics = nullptr;
};
