#include "zul/2d/Image.h"

#include "zul/memory/Debug.h"

Image::Image(uint32_t kind) : m_kind(kind) {}

Image::~Image() = default;

int Image::getColourCount() const {
  debugTraceLine("Not an indexed image");
  KV_CHECK(false, 97, "Image");
  return 0;
}

const uint16_t* Image::getPalette() const {
  debugTraceLine("Not an indexed image");
  KV_CHECK(false, 104, "Image");
  return nullptr;
}

void Image::setDimensions(int width, int height, int pitch) {
  m_width = static_cast<uint16_t>(width);
  m_height = static_cast<uint16_t>(height);
  m_pitch = static_cast<uint16_t>(pitch);
}
