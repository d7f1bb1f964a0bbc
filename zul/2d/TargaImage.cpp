#include "zul/2d/TargaImage.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "zul/2d/Graphics.h"
#include "zul/2d/Kernels.h"
#include "zul/io/BufferStream.h"

TargaImage::TargaImage() : Image(k_kindIndexed) {}

TargaImage::~TargaImage() = default;

void TargaImage::setOrigin(int x, int y) {
  m_originX = static_cast<Q14>(static_cast<uint32_t>(x) << 14);
  m_originY = static_cast<Q14>(static_cast<uint32_t>(y) << 14);
}

void TargaImage::clear() {
  m_header = nullptr;
  m_pixels = nullptr;
  m_flags = 0;
  m_key = -1;
  m_bitsPerPixel = 0;
  setDimensions(0, 0, 0);
  std::fill(std::begin(m_palette), std::end(m_palette), uint16_t{0});
}

namespace {

// The next count bytes of the stream, or null when fewer are left.
const uint8_t* take(BufferStream* s, int64_t count) {
  if (count < 0 || count > static_cast<int64_t>(s->getLength()) - s->tell()) return nullptr;
  return s->skip(static_cast<int32_t>(count));
}

}  // namespace

bool TargaImage::read(BufferStream* stream) {
  clear();
  if (!stream) return false;
  const uint8_t* header = take(stream, k_headerSize);
  if (!header) return false;
  const int mapLength = header[5] | header[6] << 8;
  if (header[1] != 1 || header[2] != 1 || mapLength != 256 || header[7] != 24 || header[16] != 8) return false;
  const int width = header[12] | header[13] << 8;
  const int height = header[14] | header[15] << 8;
  if (width < 1 || height < 1) return false;
  // The ID field sits between the header and the colour map.
  if (header[0] != 0 && !take(stream, header[0])) return false;
  const uint8_t* map = take(stream, 256 * 3);
  if (!map) return false;
  const uint8_t* pixels = take(stream, static_cast<int64_t>(width) * height);
  if (!pixels) return false;
  for (int i = 0; i < 256; ++i) {
    const uint8_t b = map[3 * i], g = map[3 * i + 1], r = map[3 * i + 2];
    if (r == 255 && g == 0 && b == 255) {
      m_key = i;
      m_flags |= k_flagKeyed;
    }
    m_palette[i] = rgbToRgb565(r, g, b);
  }
  m_header = header;
  m_pixels = pixels;
  m_bitsPerPixel = 8;
  setDimensions(width, height, width);
  return true;
}

void TargaImage::draw(Graphics* graphics, int x, int y, Q14 scale) {
  if (!m_header || !graphics) return;
  Image* target = graphics->getTarget();
  if (!target || target->getBitsPerPixel() != 16 || !target->getPixels() || target->getWidth() == 0) return;
  const int64_t W = static_cast<int64_t>(m_width) << 14;
  const int64_t H = static_cast<int64_t>(m_height) << 14;
  const int64_t px = static_cast<int64_t>(x + graphics->getTranslateX()) * 16384;
  const int64_t py = static_cast<int64_t>(y + graphics->getTranslateY()) * 16384;
  // The image scaled about its origin: each edge moves from the origin by the scale.
  auto lerp = [scale](int64_t a, int64_t b) { return a + (((b - a) * scale) >> 14); };
  const int64_t ox = m_originX + static_cast<int64_t>(graphics->getTranslateX()) * 16384;
  const int64_t oy = m_originY + static_cast<int64_t>(graphics->getTranslateY()) * 16384;
  const int64_t x0 = lerp(ox, px), y0 = lerp(oy, py);
  const int64_t x1 = lerp(ox, px + W), y1 = lerp(oy, py + H);
  if (x1 <= x0 || y1 <= y0) return;
  const int64_t stepX = (W << 14) / (x1 - x0);
  const int64_t stepY = (H << 14) / (y1 - y0);
  const int32_t key = hasKey() ? m_key : -1;
  // Destination rows and columns, clipped to the context's clip.
  const int64_t rowStart = y0 >> 14, rowEnd = y1 >> 14;
  const int64_t colStart = x0 >> 14, colEnd = x1 >> 14;
  const int clipX0 = graphics->getClipX() + graphics->getTranslateX();
  const int clipY0 = graphics->getClipY() + graphics->getTranslateY();
  const int64_t r0 = std::max<int64_t>(rowStart, clipY0);
  const int64_t r1 = std::min<int64_t>(rowEnd, clipY0 + graphics->getClipHeight());
  const int64_t c0 = std::max<int64_t>(colStart, clipX0);
  const int64_t c1 = std::min<int64_t>(colEnd, clipX0 + graphics->getClipWidth());
  if (r0 >= r1 || c0 >= c1) return;
  const int pitch = target->getPitch();
  const int step = pitch / target->getWidth() == 4 ? 4 : 2;
  uint8_t* dstPixels = static_cast<uint8_t*>(target->getPixels());
  for (int64_t r = r0; r < r1; ++r) {
    const int64_t sr = std::min<int64_t>(((r - rowStart) * stepY) >> 14, m_height - 1);
    const uint8_t* srcRow = m_pixels + static_cast<std::ptrdiff_t>(m_height - 1 - sr) * m_width;
    uint8_t* dst = dstPixels + static_cast<std::ptrdiff_t>(r) * pitch;
    int64_t fx = (c0 - colStart) * stepX;
    for (int64_t c = c0; c < c1; ++c, fx += stepX) {
      const uint8_t index = srcRow[std::min<int64_t>(fx >> 14, m_width - 1)];
      if (index != key) store16(dst + static_cast<std::ptrdiff_t>(c) * step, m_palette[index]);
    }
  }
}
