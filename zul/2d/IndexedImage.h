// 8-bit palette image with an RGB565 palette.
#pragma once

#include "zul/2d/Image.h"

class IndexedImage : public Image {
 public:
  // Palette storage: room for any palette offset below 256 plus any 8-bit index.
  static constexpr int k_paletteStorage = 512;

  IndexedImage();
  // Same as the default one, with a report.
  explicit IndexedImage(int unused);
  // Reads an indexed record; a refused or short record leaves the image empty.
  explicit IndexedImage(Stream* stream);
  ~IndexedImage() override;

  void* getPixels() const override { return m_pixels; }
  int getColourCount() const override { return m_colourCount; }
  const uint16_t* getPalette() const override { return m_palette; }

  // Not supported: reports and does nothing.
  void unsupported();

 private:
  bool read(Stream* stream);
  void release();

  uint16_t m_colourCount = 0;
  uint16_t* m_palette = nullptr;
  uint8_t* m_pixels = nullptr;
};
