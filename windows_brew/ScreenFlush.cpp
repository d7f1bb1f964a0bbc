#include "windows_brew/ScreenFlush.h"

#include "windows_brew/ShellHost.h"

namespace {

// Sample positions and the four neighbours of one destination pixel.
struct Sampler {
  const DibBitmap* src;
  int32_t sx, sy, sw, sh;
  uint32_t stepX, stepY;

  uint16_t at(int32_t col, int32_t row) const {
    // Neighbour reads stay inside the bitmap.
    if (col >= src->width) col = src->width - 1;
    if (row >= src->height) row = src->height - 1;
    const uint8_t* p = src->pixels + static_cast<intptr_t>(row) * src->pitch + static_cast<intptr_t>(col) * 2;
    return *reinterpret_cast<const uint16_t*>(p);
  }
};

bool usable(const DibBitmap* d, const DibBitmap* s, int32_t w, int32_t h, int32_t sw, int32_t sh) {
  return d && s && d->pixels && s->pixels && w > 0 && h > 0 && sw > 0 && sh > 0 && s->width > 0 && s->height > 0;
}

uint16_t* row16(DibBitmap* d, int32_t y) {
  return reinterpret_cast<uint16_t*>(d->pixels + static_cast<intptr_t>(y) * d->pitch);
}
uint32_t* row32(DibBitmap* d, int32_t y) {
  return reinterpret_cast<uint32_t*>(d->pixels + static_cast<intptr_t>(y) * d->pitch);
}

// Walks the destination rectangle, handing each pixel's sample data to `put`.
template <class Put>
int scaleEach(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
              int32_t sy, int32_t sw, int32_t sh, Put&& put) {
  if (!usable(dst, src, w, h, sw, sh)) return 1;
  Sampler s{src, sx, sy, sw, sh, (static_cast<uint32_t>(sw) << 8) / static_cast<uint32_t>(w),
            (static_cast<uint32_t>(sh) << 8) / static_cast<uint32_t>(h)};
  for (int32_t j = 0; j < h; ++j) {
    uint32_t syf = static_cast<uint32_t>(j) * s.stepY;
    int32_t row = sy + static_cast<int32_t>(syf >> 8);
    uint32_t fy = syf & 255;
    for (int32_t i = 0; i < w; ++i) {
      uint32_t sxf = static_cast<uint32_t>(i) * s.stepX;
      int32_t col = sx + static_cast<int32_t>(sxf >> 8);
      uint32_t fx = sxf & 255;
      put(x + i, y + j, s.at(col, row), s.at(col + 1, row), s.at(col, row + 1), s.at(col + 1, row + 1), fx, fy);
    }
  }
  return 1;
}

inline uint32_t spreadFast(uint32_t p) { return ((p >> 5) + (p << 11)) & 0x07C0F83Fu; }
inline uint32_t spreadCoarse(uint32_t p) { return ((p >> 6) + (p << 10)) & 0x03E0781Fu; }
inline uint32_t to32(uint32_t v) { return ((v >> 8) & 0xF80000u) + ((v << 5) & 0xFC00u) + ((v >> 13) & 0xF8u); }
// The spread-pixel blends shared by the 16-bit and 32-bit writers.
inline uint32_t fastBilinear(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
  uint32_t ax0 = (255 - fx) >> 5, ax1 = fx >> 5, ay0 = (255 - fy) >> 6, ay1 = fy >> 6;
  return spreadFast(p00) * ax0 * ay0 + spreadFast(p01) * ax1 * ay0 + spreadFast(p10) * ax0 * ay1 +
         spreadFast(p11) * ax1 * ay1;
}
inline uint32_t fastVertical(uint32_t p00, uint32_t p10, uint32_t fy) {
  return spreadFast(p00) * ((255 - fy) >> 3) + spreadFast(p10) * (fy >> 3);
}

}  // namespace

int scaleBilinear565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                       uint32_t fy) {
                     uint32_t w00 = (255 - fx) * (255 - fy), w01 = fx * (255 - fy), w10 = (255 - fx) * fy,
                              w11 = fx * fy;
                     auto ch = [&](int shift, uint32_t mask) {
                       return (w00 * ((p00 >> shift) & mask) + w01 * ((p01 >> shift) & mask) +
                               w10 * ((p10 >> shift) & mask) + w11 * ((p11 >> shift) & mask)) >>
                              16;
                     };
                     row16(dst, dy)[dx] = static_cast<uint16_t>(ch(11, 31) << 11 | ch(5, 63) << 5 | ch(0, 31));
                   });
}

int scaleBilinearFast565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                       uint32_t fy) {
                     uint32_t v = fastBilinear(p00, p01, p10, p11, fx, fy);
                     row16(dst, dy)[dx] = static_cast<uint16_t>(((v >> 16) & 0xF81F) + (v & 0x7E0));
                   });
}

int scaleBilinearCoarse565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                           int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                       uint32_t fy) {
                     uint32_t ax0 = (255 - fx) >> 5, ax1 = fx >> 5, ay0 = (255 - fy) >> 5, ay1 = fy >> 5;
                     uint32_t v = spreadCoarse(p00) * ax0 * ay0 + spreadCoarse(p01) * ax1 * ay0 +
                                  spreadCoarse(p10) * ax0 * ay1 + spreadCoarse(p11) * ax1 * ay1;
                     row16(dst, dy)[dx] = static_cast<uint16_t>(((v >> 16) & 0xF81E) + (v & 0x7C0));
                   });
}

int scaleBilinearTo32(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx,
                       uint32_t fy) {
                     uint32_t v = fastBilinear(p00, p01, p10, p11, fx, fy);
                     row32(dst, dy)[dx] = to32(v);
                   });
}

int scaleVertical565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t, uint32_t p10, uint32_t, uint32_t,
                       uint32_t fy) {
                     uint32_t a = 255 - fy, b = fy;
                     auto ch = [&](int shift, uint32_t mask) {
                       return (a * ((p00 >> shift) & mask) + b * ((p10 >> shift) & mask)) >> 8;
                     };
                     row16(dst, dy)[dx] = static_cast<uint16_t>(ch(11, 31) << 11 | ch(5, 63) << 5 | ch(0, 31));
                   });
}

int scaleVerticalFast565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t, uint32_t p10, uint32_t, uint32_t,
                       uint32_t fy) {
                     uint32_t v = fastVertical(p00, p10, fy);
                     row16(dst, dy)[dx] = static_cast<uint16_t>(((v >> 16) & 0xF81F) + (v & 0x7E0));
                   });
}

int scaleVerticalTo32(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh) {
  return scaleEach(dst, x, y, w, h, src, sx, sy, sw, sh,
                   [&](int32_t dx, int32_t dy, uint32_t p00, uint32_t, uint32_t p10, uint32_t, uint32_t,
                       uint32_t fy) {
                     uint32_t v = fastVertical(p00, p10, fy);
                     row32(dst, dy)[dx] = to32(v);
                   });
}

int scaleNearest(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh) {
  if (!usable(dst, src, w, h, sw, sh)) return 0;
  uint32_t stepX = (static_cast<uint32_t>(w) << 8) / static_cast<uint32_t>(sw);
  uint32_t stepY = (static_cast<uint32_t>(h) << 8) / static_cast<uint32_t>(sh);
  if (stepX == 0 || stepY == 0) return 0;
  Sampler s{src, sx, sy, sw, sh, 0, 0};
  for (int32_t j = 0; j < h; ++j) {
    int32_t row = sy + static_cast<int32_t>((static_cast<uint32_t>(j) << 8) / stepY);
    for (int32_t i = 0; i < w; ++i) {
      int32_t col = sx + static_cast<int32_t>((static_cast<uint32_t>(i) << 8) / stepX);
      row16(dst, y + j)[x + i] = s.at(col, row);
    }
  }
  dst->invalidate(x, y, w, h, 0, 7);
  return 1;
}

uint8_t scaleSmooth(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh) {
  return static_cast<uint8_t>(w != sw ? scaleBilinear565(dst, x, y, w, h, src, sx, sy, sw, sh)
                                      : scaleVertical565(dst, x, y, w, h, src, sx, sy, sw, sh));
}

uint8_t scaleByDepth(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh) {
  if (!dst) return 1;
  if (dst->depth == 32)
    return static_cast<uint8_t>(w != sw ? scaleBilinearTo32(dst, x, y, w, h, src, sx, sy, sw, sh)
                                        : scaleVerticalTo32(dst, x, y, w, h, src, sx, sy, sw, sh));
  return static_cast<uint8_t>(w != sw ? scaleBilinearCoarse565(dst, x, y, w, h, src, sx, sy, sw, sh)
                                      : scaleVerticalFast565(dst, x, y, w, h, src, sx, sy, sw, sh));
}

void ScreenFlush::init(int32_t w, int32_t h, DisplayInterface* display) {
  if (!display) return;
  int32_t depth = 16;
  if (DibBitmap* device = display->getDeviceBitmap()) {
    m_deviceWidth = device->width;
    m_deviceHeight = device->height;
    depth = device->depth;
    device->release();
  }
  m_backWidth = w;
  m_backHeight = h;
  m_display = display;
  display->addRef();
  m_mode = kByDepth;
  if (m_deviceWidth == w && m_deviceHeight >= h && m_deviceHeight <= h + 8 && depth == 16) m_mode = kSameBitmap;
  if (m_mode == kByDepth && depth == 16) {
    if (DibBitmap* device = display->getDeviceBitmap()) {
      m_back = device->createCompatible(w, h + 1);
      device->release();
    }
  } else if (m_mode == kByDepth && depth == 32) {
    m_back = display->createBitmap(16, w, h + 1);
    if (m_back) m_back->colourScheme = 16;
  } else if (m_mode == kSameBitmap) {
    m_back = display->getDeviceBitmap();
  }
}

void ScreenFlush::flush() {
  if (!m_display || !m_back) return;
  DibBitmap* device = m_display->getDeviceBitmap();
  if (!device) return;
  if (device != m_back) {
    int32_t bw = m_backWidth, bh = m_backHeight, dw = m_deviceWidth, dh = m_deviceHeight;
    switch (m_mode) {
      case kSmooth: scaleSmooth(device, 0, 0, dw, dh, m_back, 0, 0, bw, bh); break;
      case kByDepth: scaleByDepth(device, 0, 0, dw, dh, m_back, 0, 0, bw, bh); break;
      case kNearest: scaleNearest(device, 0, 0, dw, dh, m_back, 0, 0, bw, bh); break;
      case kBands: {
        int32_t d3 = dh / 3, b3 = bh / 3;
        scaleByDepth(device, 0, 0, dw, d3, m_back, 0, 0, bw, b3);
        scaleNearest(device, 0, d3, dw, d3, m_back, 0, b3, bw, b3);
        scaleSmooth(device, 0, 2 * d3, dw, dh - 2 * d3, m_back, 0, 2 * b3, bw, bh - 2 * b3);
        break;
      }
      default: break;
    }
  } else if (m_backHeight != m_deviceHeight) {
    ShellRect below{0, static_cast<int16_t>(m_backHeight), static_cast<int16_t>(m_deviceWidth),
                    static_cast<int16_t>(m_deviceHeight - m_backHeight)};
    m_display->drawRect(&below, 0xFFFFFFFFu, 0, 2);
  }
  device->invalidate(0, 0, m_deviceWidth, m_deviceHeight, 0, 7);
  device->release();
  m_display->update(0);
}

void ScreenFlush::release() {
  if (m_back) {
    m_back->release();
    m_back = nullptr;
  }
  if (m_display) {
    m_display->release();
    m_display = nullptr;
  }
}
