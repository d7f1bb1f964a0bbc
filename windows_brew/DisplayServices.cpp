#include <cstdlib>
#include <cstring>

#include "windows_brew/ShellHost.h"
#include "zul/memory/Debug.h"

namespace {

constexpr uint32_t kFormatArgb1555 = 0x00061007;
constexpr uint32_t kBmpHeaderBytes = 1078;

// The area used when a rectangle is not given.
const ShellRect kDefaultArea = {0, 0, 320, 240};

}  // namespace

int ShellHost::createScreenBitmap(ShellBitmap** slot) {
  auto* bitmap = new ShellBitmap(240, 320);
  if (slot) *slot = bitmap;
  m_canvas.bindScreenBitmap(bitmap);
  return 0;
}

int ShellHost::createBitmap(ShellBitmap** slot, int32_t width, int32_t height) {
  auto* bitmap = new ShellBitmap(width, height);
  if (slot) *slot = bitmap;
  return 0;
}

int ShellHost::addBitmapRef(ShellBitmap* bitmap, ShellBitmap** slot) {
  if (slot) *slot = bitmap;
  if (bitmap) bitmap->addRef();
  return 0;
}

void ShellHost::releaseBitmapRef(ShellBitmap** slot) {
  if (!slot || !*slot) return;
  (*slot)->release();
  *slot = nullptr;
}

int ShellHost::setCanvasPixels(uint16_t** pixels) {
  if (pixels) m_canvas.bind(*pixels, m_canvas.width(), m_canvas.height());
  return 0;
}

int ShellHost::blitBitmap(ShellBitmap* destination, int32_t x, int32_t y, int32_t w, int32_t h, ShellBitmap* source,
                          int32_t sx, int32_t sy) {
  ShellBitmap::blit(destination, x, y, w, h, source, sx, sy);
  return 0;
}

int ShellHost::getBitmapInfo(const ShellBitmap* bitmap, uint32_t* info3) {
  if (bitmap && info3) {
    info3[0] = static_cast<uint32_t>(bitmap->getWidth());
    info3[1] = static_cast<uint32_t>(bitmap->getHeight());
    info3[2] = 16;
  }
  return 0;
}

int ShellHost::getImageInfo(const ShellBitmap* bitmap, uint16_t* info3) {
  if (bitmap && info3) {
    info3[0] = static_cast<uint16_t>(bitmap->getWidth());
    info3[1] = static_cast<uint16_t>(bitmap->getHeight());
    info3[2] = 256;
  }
  return 0;
}

uint16_t ShellHost::packColour(uint32_t c) {
  return static_cast<uint16_t>((c >> 27 & 0x1F) | (c & 0xFC0000) >> 13 | (c & 0xF800));
}

uint32_t ShellHost::convertColour(uint16_t p) {
  uint32_t v = p;
  return (v & 0xF800) | (v & 0x07E0) << 13 | (v & 0x001F) << 27;
}

uint32_t ShellHost::canvasColour(uint32_t c) { return (c >> 24 & 0xFF) | (c >> 16 & 0xFF) << 8 | (c >> 8 & 0xFF) << 16; }

void ShellHost::setClipRect(const ShellRect* rect) {
  if (rect) m_canvas.setClip(rect->x, rect->y, rect->dx, rect->dy);
}

int ShellHost::fillRect(uint32_t, const ShellRect* rect, uint32_t shellColour) {
  const ShellRect& r = rect ? *rect : kDefaultArea;
  m_canvas.setColour(canvasColour(shellColour));
  m_canvas.fillRect(r.x, r.y, r.dx, r.dy);
  return 0;
}

int ShellHost::drawRect(const ShellRect* rect, uint32_t frameColour, uint32_t fillColour, uint32_t flags) {
  const ShellRect& r = rect ? *rect : kDefaultArea;
  if (flags & 2) {
    m_canvas.setColour(canvasColour(fillColour));
    m_canvas.fillRect(r.x + 1, r.y, r.dx - 1, r.dy);
  }
  if (flags & 1) {
    m_canvas.setColour(canvasColour(frameColour));
    m_canvas.drawRect(r.x, r.y, r.dx, r.dy, false);
  }
  return 0;
}

int ShellHost::drawBitmap(const ShellBitmap* bitmap, int32_t x, int32_t y) {
  if (!bitmap) return 0;
  m_canvas.drawBitmap1555(0, 0, bitmap->getWidth(), bitmap->getHeight(), x, y, bitmap->pixels, bitmap->getWidth(),
                          bitmap->getHeight());
  return 0;
}

uint8_t* ShellHost::convertBmp(const uint8_t* bmp, uint32_t length, int32_t* owned) {
  // The headers and the palette must be there.
  if (!bmp || length < kBmpHeaderBytes) return nullptr;
  uint32_t width = bmp[18] | bmp[19] << 8;
  uint32_t height = bmp[22] | bmp[23] << 8;
  std::size_t size = kBmpHeaderBytes + static_cast<std::size_t>(width) * height * 2;
  auto* buffer = static_cast<uint8_t*>(std::calloc(size, 1));
  if (!buffer) return nullptr;
  std::memcpy(buffer, bmp, kBmpHeaderBytes);
  if (owned) *owned = 1;
  return buffer;
}

ShellBitmap* ShellHost::loadImage(uint32_t id) {
  debugTrace("loading image %d\n", static_cast<int>(id));
  if (!m_imaging) return nullptr;
  const uint8_t* data = m_resources.getData(id);
  int32_t length = m_resources.getLength(id);
  if (!data || length < 0) return nullptr;
  ImagingImage* image = nullptr;
  if (m_imaging->createImageFromBuffer(data, static_cast<uint32_t>(length), 0, &image) < 0 || !image) return nullptr;
  int32_t width = 0, height = 0;
  image->getImageInfo(&width, &height);
  ImagingBitmap* bits = nullptr;
  if (width <= 0 || height <= 0 ||
      m_imaging->createBitmapFromImage(image, width, height, kFormatArgb1555, 3, &bits) < 0 || !bits) {
    delete image;
    return nullptr;
  }
  ShellBitmap* result = nullptr;
  const uint8_t* rows = nullptr;
  int32_t stride = 0;
  if (bits->lockBits(width, height, kFormatArgb1555, &rows, &stride) >= 0 && rows) {
    result = new ShellBitmap(width, height);
    for (int32_t j = 0; j < height; ++j) {
      std::memcpy(result->pixels + static_cast<std::size_t>(j) * width, rows + static_cast<std::ptrdiff_t>(j) * stride,
                  static_cast<std::size_t>(width) * 2);
    }
    bits->unlockBits();
  }
  delete bits;
  delete image;
  return result;
}
