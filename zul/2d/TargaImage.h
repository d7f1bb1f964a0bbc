// Colour-mapped Targa image (uncompressed, 256 colours of 24 bits, 8-bit
// indices, rows bottom-up) read in place from a memory stream: the pixels
// stay in the stream's buffer, which must outlive the image.
#pragma once

#include "zul/2d/Image.h"
#include "zul/lm/Q14.h"

class BufferStream;
class Graphics;

class TargaImage : public Image {
 public:
  static constexpr int k_headerSize = 18;
  // Room for any palette offset below 256 plus any 8-bit index.
  static constexpr int k_paletteStorage = 512;

  TargaImage();
  ~TargaImage() override;

  void* getPixels() const override { return const_cast<uint8_t*>(m_pixels); }
  int getColourCount() const override { return 256; }
  const uint16_t* getPalette() const override { return m_palette; }

  // False (and an empty image) when the data is not of the subset or too short.
  // The buffer is not modified.
  bool read(BufferStream* stream);
  // Draws the image scaled (Q14) about its origin, clipped to the context's clip.
  virtual void draw(Graphics* graphics, int x, int y, Q14 scale);
  void setOrigin(int x, int y);
  Q14 getOriginX() const { return m_originX; }
  Q14 getOriginY() const { return m_originY; }
  const uint8_t* getHeader() const { return m_header; }
  // An 8-bit image never has a drawing context.
  Graphics* getGraphics() const { return m_graphics; }

 private:
  void clear();

  Q14 m_originX = 0;
  Q14 m_originY = 0;
  const uint8_t* m_header = nullptr;
  uint16_t m_palette[k_paletteStorage] = {};
  const uint8_t* m_pixels = nullptr;
  Graphics* m_graphics = nullptr;
};
