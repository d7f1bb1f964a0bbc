#include "zul/2d/MutableImage.h"

#include "zul/2d/Graphics16.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

MutableImage::MutableImage(int width, int height, int pitch, int bitsPerPixel, void* pixels)
    : RgbImage(k_kindMutable, pixels) {
  m_bitsPerPixel = static_cast<uint8_t>(bitsPerPixel);
  setDimensions(width, height, pitch);
  createGraphics();
}

MutableImage::MutableImage(int width, int height, int bitsPerPixel) : RgbImage(k_kindMutable, nullptr) {
  m_ownsPixels = 1;
  m_bitsPerPixel = static_cast<uint8_t>(bitsPerPixel);
  int bytes;
  if (bitsPerPixel == 8) {
    bytes = 1;
  } else if (bitsPerPixel <= 16) {
    bytes = 2;
  } else if (bitsPerPixel <= 32) {
    bytes = 4;
  } else {
    KV_CHECK(false, 36, "MutableImage");
    bytes = 0;
  }
  setDimensions(width, height, bytes * width);
  allocatePixels();
  createGraphics();
}

MutableImage::~MutableImage() {
  delete m_graphics;
  m_graphics = nullptr;
}

void MutableImage::createGraphics() {
  if (m_bitsPerPixel == 16) {
    m_graphics = new ("MutableImage", 73, nullptr) Graphics16();
  }
  if (!KV_CHECK(m_graphics != nullptr, 83, "MutableImage")) return;
  m_graphics->setTarget(this);
}
