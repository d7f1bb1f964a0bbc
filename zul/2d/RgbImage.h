// Direct-colour image: RGB565 at 16 bits per pixel, ARGB at 32; owns or borrows its pixels.
#pragma once

#include "zul/2d/Image.h"

class RgbImage : public Image {
 public:
  // Kind 1, owning, no pixels yet.
  RgbImage();
  // Borrowed pixels (never freed by the image).
  RgbImage(uint32_t kind, void* pixels);
  // Reads a direct-colour record; a refused or short record leaves the image empty.
  explicit RgbImage(Stream* stream);
  ~RgbImage() override;

  void* getPixels() const override { return m_pixels; }

  // The ARGB block (width x height words) becomes the owned pixels: depth 32, flags 4, no key.
  void setFromArgb(uint32_t* argb, int width, int height);
  // Allocates height x pitch owned bytes; pixels must still be null.
  bool allocatePixels();
  void freePixels();
  bool ownsPixels() const { return m_ownsPixels != 0; }

 protected:
  bool read(Stream* stream);

  uint8_t m_ownsPixels = 1;
  uint8_t* m_pixels = nullptr;
};
