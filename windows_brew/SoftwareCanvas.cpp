#include "windows_brew/SoftwareCanvas.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "windows_brew/ShellBitmap.h"

namespace {

// cos(d degrees) x 256, truncated toward zero, d = 0..180.
const int16_t kCosTable[181] = {
    256, 255, 255, 255, 255, 255, 254, 254, 253, 252, 252, 251, 250, 249, 248, 247, 246, 244, 243, 242, 
    240, 238, 237, 235, 233, 232, 230, 228, 226, 223, 221, 219, 217, 214, 212, 209, 207, 204, 201, 198, 
    196, 193, 190, 187, 184, 181, 177, 174, 171, 167, 164, 161, 157, 154, 150, 146, 143, 139, 135, 131, 
    128, 124, 120, 116, 112, 108, 104, 100, 95, 91, 87, 83, 79, 74, 70, 66, 61, 57, 53, 48, 44, 40, 35, 
    31, 26, 22, 17, 13, 8, 4, 0, -4, -8, -13, -17, -22, -26, -31, -35, -40, -44, -48, -53, -57, -61, 
    -66, -70, -74, -79, -83, -87, -91, -95, -100, -104, -108, -112, -116, -120, -124, -128, -131, -135, 
    -139, -143, -146, -150, -154, -157, -161, -164, -167, -171, -174, -177, -181, -184, -187, -190, 
    -193, -196, -198, -201, -204, -207, -209, -212, -214, -217, -219, -221, -223, -226, -228, -230, 
    -232, -233, -235, -237, -238, -240, -242, -243, -244, -246, -247, -248, -249, -250, -251, -252, 
    -252, -253, -254, -254, -255, -255, -255, -255, -255, -256
};

// Cohen-Sutherland outcodes.
constexpr int kLeft = 8;
constexpr int kRight = 4;
constexpr int kAbove = 2;
constexpr int kBelow = 1;

// Wide enough for any clipping product of 32-bit coordinates.
using Wide = __int128;

int outcode(Wide x, Wide y, Wide xmin, Wide ymin, Wide xmax, Wide ymax) {
  int c = 0;
  if (x < xmin) c |= kLeft;
  else if (x > xmax) c |= kRight;
  if (y < ymin) c |= kAbove;
  else if (y > ymax) c |= kBelow;
  return c;
}

// Quotient of n / 256 truncated, then moved one step away from zero when the
// remainder's magnitude exceeds 128 (a zero quotient counts as positive).
int64_t scaleRound(int64_t n) {
  int64_t q = n / 256;
  int64_t r = n % 256;
  if (r > 128 || r < -128) q += q >= 0 ? 1 : -1;
  return q;
}

// Coordinates computed from 32-bit arguments, held to the 32-bit range.
int32_t sat(int64_t v) {
  return v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v));
}

}  // namespace

SoftwareCanvas::SoftwareCanvas() { std::memcpy(m_cos, kCosTable, sizeof m_cos); }

void SoftwareCanvas::bind(uint16_t* pixels, int32_t width, int32_t height) {
  m_pixels = pixels;
  m_width = width;
  m_height = height;
  setClip(0, 0, width, height);
}

void SoftwareCanvas::bindScreenBitmap(ShellBitmap* bitmap) {
  if (!bitmap) return;
  if (m_boundBitmap) m_boundBitmap->pixels = m_heldPixels;
  m_heldPixels = bitmap->pixels;
  bitmap->pixels = m_pixels;
  m_boundBitmap = bitmap;
}

void SoftwareCanvas::unbindScreenBitmap(ShellBitmap* bitmap) {
  if (!bitmap || bitmap != m_boundBitmap) return;
  bitmap->pixels = m_heldPixels;
  m_heldPixels = nullptr;
  m_boundBitmap = nullptr;
}

int32_t SoftwareCanvas::cosDeg(int32_t degrees) const {
  int32_t a = degrees % 360;
  if (a < 0) a += 360;
  return a > 180 ? m_cos[360 - a] : m_cos[a];
}

void SoftwareCanvas::setColour(uint32_t argb) {
  m_colour = argb;
  m_colourPixel = pack565(argb);
}

void SoftwareCanvas::setFillColour(uint32_t rgb) {
  m_fillColour = rgb;
  m_fillColourPixel = pack565(rgb);
}

uint32_t SoftwareCanvas::setColourRGB(uint32_t r, uint32_t g, uint32_t b) {
  uint32_t c = r << 16 | g << 8 | b;
  setColour(c);
  return c;
}

uint32_t SoftwareCanvas::setFillColourRGB(uint32_t r, uint32_t g, uint32_t b) {
  uint32_t c = r << 16 | g << 8 | b;
  setFillColour(c);
  return c;
}

void SoftwareCanvas::setClip(int32_t x, int32_t y, int32_t w, int32_t h) {
  int64_t X = x, Y = y, W = w, H = h;
  if (X < 0) { W += X; X = 0; }
  if (Y < 0) { H += Y; Y = 0; }
  if (X + W > m_width) W = m_width - X;
  if (Y + H > m_height) H = m_height - Y;
  if (W >= 1 && H >= 1) {
    m_clipLeft = static_cast<int32_t>(X);
    m_clipTop = static_cast<int32_t>(Y);
    m_clipRight = static_cast<int32_t>(X + W);
    m_clipBottom = static_cast<int32_t>(Y + H);
    m_clipWidth = static_cast<int32_t>(W);
    m_clipHeight = static_cast<int32_t>(H);
  } else {
    m_clipLeft = m_clipTop = m_clipRight = m_clipBottom = m_clipWidth = m_clipHeight = 0;
  }
}

void SoftwareCanvas::plot(int32_t x, int32_t y) { plotPixel(x, y, m_colourPixel); }

void SoftwareCanvas::plotPixel(int32_t x, int32_t y, uint16_t pixel) {
  if (!m_pixels || x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  m_pixels[static_cast<std::size_t>(y) * m_width + x] = pixel;
}

bool SoftwareCanvas::clipRect(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const {
  if (!m_pixels) return false;
  int64_t X = x, Y = y, W = w, H = h;
  if (!(X < m_clipRight && X + W > m_clipLeft && Y < m_clipBottom && Y + H > m_clipTop)) return false;
  if (X + W > m_clipRight) W = m_clipRight - X;
  if (X < m_clipLeft) { W -= m_clipLeft - X; X = m_clipLeft; }
  if (Y + H > m_clipBottom) H = m_clipBottom - Y;
  if (Y < m_clipTop) { H -= m_clipTop - Y; Y = m_clipTop; }
  if (W <= 0 || H <= 0) return false;
  x = static_cast<int32_t>(X);
  y = static_cast<int32_t>(Y);
  w = static_cast<int32_t>(W);
  h = static_cast<int32_t>(H);
  return true;
}

void SoftwareCanvas::fillRectWith(int32_t x, int32_t y, int32_t w, int32_t h, uint16_t pixel) {
  if (!clipRect(x, y, w, h)) return;
  for (int32_t j = 0; j < h; ++j) {
    uint16_t* row = m_pixels + static_cast<std::size_t>(y + j) * m_width + x;
    for (int32_t i = 0; i < w; ++i) row[i] = pixel;
  }
}

void SoftwareCanvas::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) { fillRectWith(x, y, w, h, m_colourPixel); }

void SoftwareCanvas::blendRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!clipRect(x, y, w, h)) return;
  uint32_t a = ((m_colour >> 24) * 32) / 255;
  uint32_t s = m_colourPixel;
  s = (s | s << 16) & 0x07E0F81Fu;
  for (int32_t j = 0; j < h; ++j) {
    uint16_t* row = m_pixels + static_cast<std::size_t>(y + j) * m_width + x;
    for (int32_t i = 0; i < w; ++i) {
      uint32_t d = row[i];
      d = (d | d << 16) & 0x07E0F81Fu;
      uint32_t v = (d * (32 - a) + s * a) >> 5;
      row[i] = static_cast<uint16_t>((v & 0xF81Fu) | ((v & 0x07E0F81Fu) >> 16));
    }
  }
}

int SoftwareCanvas::drawLine(int32_t x0i, int32_t y0i, int32_t x1i, int32_t y1i) {
  if (!m_pixels || m_clipWidth <= 0 || m_clipHeight <= 0) return 0;
  const Wide xmin = m_clipLeft, ymin = m_clipTop, xmax = m_clipRight - 1, ymax = m_clipBottom - 1;
  Wide x0 = x0i, y0 = y0i, x1 = x1i, y1 = y1i;
  const Wide dx = x1 - x0, dy = y1 - y0;

  if (dx == 0 || dy == 0) {
    // Vertical or horizontal (or a point): clamp to the box directly.
    if (dx == 0 && (x0 < xmin || x0 > xmax)) return 0;
    if (dy == 0 && (y0 < ymin || y0 > ymax)) return 0;
    if (dx == 0) {
      if ((y0 < ymin && y1 < ymin) || (y0 > ymax && y1 > ymax)) return 0;
      y0 = y0 < ymin ? ymin : (y0 > ymax ? ymax : y0);
      y1 = y1 < ymin ? ymin : (y1 > ymax ? ymax : y1);
    }
    if (dy == 0) {
      if ((x0 < xmin && x1 < xmin) || (x0 > xmax && x1 > xmax)) return 0;
      x0 = x0 < xmin ? xmin : (x0 > xmax ? xmax : x0);
      x1 = x1 < xmin ? xmin : (x1 > xmax ? xmax : x1);
    }
  } else {
    // 16.16 slopes.
    const Wide slope = dy * 65536 / dx;
    const Wide inverse = dx * 65536 / dy;
    int c0 = outcode(x0, y0, xmin, ymin, xmax, ymax);
    int c1 = outcode(x1, y1, xmin, ymin, xmax, ymax);
    for (int guard = 0; (c0 | c1) != 0; ++guard) {
      if ((c0 & c1) != 0 || guard >= 8) return 0;
      bool first = c0 != 0;
      int c = first ? c0 : c1;
      Wide& x = first ? x0 : x1;
      Wide& y = first ? y0 : y1;
      if (c & kLeft) {
        y += ((xmin - x) * slope) >> 16;
        x = xmin;
      } else if (c & kRight) {
        y += ((xmax - x) * slope) >> 16;
        x = xmax;
      } else if (c & kAbove) {
        x += ((ymin - y) * inverse) >> 16;
        y = ymin;
      } else {
        x += ((ymax - y) * inverse) >> 16;
        y = ymax;
      }
      (first ? c0 : c1) = outcode(x, y, xmin, ymin, xmax, ymax);
    }
  }

  // Bresenham from the first end, the end point excluded.
  // Both ends now lie inside the clip.
  int64_t ex = static_cast<int64_t>(x1 - x0), ey = static_cast<int64_t>(y1 - y0);
  int64_t ax = ex < 0 ? -ex : ex, ay = ey < 0 ? -ey : ey;
  int64_t sx = ex < 0 ? -1 : 1, sy = ey < 0 ? -1 : 1;
  const int64_t pitch = m_width;
  int64_t x = static_cast<int64_t>(x0), y = static_cast<int64_t>(y0);
  int64_t err = 0;
  if (ay >= ax) {
    for (int64_t i = 0; i < ay; ++i) {
      m_pixels[y * pitch + x] = m_colourPixel;
      err += 2 * ax;
      if (err > ay) {
        x += sx;
        err -= 2 * ay;
      }
      y += sy;
    }
  } else {
    for (int64_t i = 0; i < ax; ++i) {
      m_pixels[y * pitch + x] = m_colourPixel;
      err += 2 * ay;
      if (err > ax) {
        y += sy;
        err -= 2 * ax;
      }
      x += sx;
    }
  }
  return 1;
}

void SoftwareCanvas::drawRect(int32_t x, int32_t y, int32_t w, int32_t h, bool fillInside) {
  const int64_t X = x, Y = y;
  const int32_t right = sat(X + w - 1), bottom = sat(Y + h - 1);
  drawLine(x, y, right, y);
  drawLine(x, y, x, bottom);
  drawLine(right, y, right, sat(Y + h));
  drawLine(x, bottom, right, bottom);
  if (fillInside && m_fillFlag) fillRectWith(sat(X + 1), sat(Y + 1), sat(int64_t{w} - 1), sat(int64_t{h} - 1), m_fillColourPixel);
}

void SoftwareCanvas::fillSpan(int32_t row, int32_t from, int32_t to, uint16_t pixel) {
  if (from > to || row < 0 || row >= m_height || to < 0 || from >= m_width) return;
  if (from < 0) from = 0;
  if (to >= m_width) to = m_width - 1;
  for (int32_t px = from; px <= to; ++px) plotPixel(px, row, pixel);
}

void SoftwareCanvas::drawRoundRect(int32_t x32, int32_t y32, int32_t w32, int32_t h32, int32_t rx32, int32_t ry32) {
  const int64_t x = x32, y = y32, w = w32, h = h32, rx = rx32, ry = ry32;
  int64_t cx = x + w - rx - 1;
  int64_t cy = y + h - ry - 1;
  int64_t lastRow = 0;
  for (int32_t a = 0; a < 360; ++a) {
    if (a == 90) cx = x + rx;
    if (a == 180) cy = y + ry;
    if (a == 270) cx = x + w - rx - 1;
    const int64_t px = scaleRound(rx * cosDeg(a));
    const int64_t py = scaleRound(ry * sinDeg(a));
    const int64_t row = cy + py;
    plot(sat(cx + px), sat(row));
    if (!m_fillFlag) continue;
    if (a % 90 == 0) {
      lastRow = row;
    } else if (a < 90 || (a > 270 && row != lastRow)) {
      if (px >= 1) fillSpan(sat(row), sat(cx), sat(cx + px - 1), m_fillColourPixel);
      lastRow = row;
    } else if ((a > 180 && a < 270) || (a > 90 && a < 180 && row != lastRow)) {
      fillSpan(sat(row), sat(cx + px + 1), sat(cx + 1), m_fillColourPixel);
      lastRow = row;
    }
  }
  drawLine(sat(x + rx), sat(y), sat(x + w - rx), sat(y));
  drawLine(sat(x + rx), sat(y + h - 1), sat(x + w - rx), sat(y + h - 1));
  drawLine(sat(x), sat(y + ry), sat(x), sat(y + h - ry));
  drawLine(sat(x + w - 1), sat(y + ry), sat(x + w - 1), sat(y + h - ry));
  if (m_fillFlag) {
    fillRectWith(sat(x + rx), sat(y + 1), sat(w - 2 * rx), sat(h - 2), m_fillColourPixel);
    fillRectWith(sat(x + 1), sat(y + ry), sat(rx - 1), sat(h - 2 * ry), m_fillColourPixel);
    fillRectWith(sat(x + w - rx), sat(y + ry), sat(rx - 1), sat(h - 2 * ry), m_fillColourPixel);
  }
}

bool SoftwareCanvas::clipBlit(int32_t& sx, int32_t& sy, int32_t& w, int32_t& h, int32_t& x, int32_t& y,
                              int32_t sourceWidth, int32_t sourceHeight) const {
  int32_t ox = x, oy = y;
  if (!clipRect(x, y, w, h)) return false;
  sx += x - ox;
  sy += y - oy;
  if (sx < 0 || sy < 0 || sx >= sourceWidth || sy >= sourceHeight) return false;
  // Keep the source area inside the source.
  if (w > sourceWidth - sx) w = sourceWidth - sx;
  if (h > sourceHeight - sy) h = sourceHeight - sy;
  return w > 0 && h > 0;
}

void SoftwareCanvas::drawBmpKeyed(int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t x, int32_t y,
                                  const uint8_t* bmp) {
  if (!bmp) return;
  int32_t sw = bmp[18] | bmp[19] << 8;
  int32_t sh = bmp[22] | bmp[23] << 8;
  if (!clipBlit(sx, sy, w, h, x, y, sw, sh)) return;
  const uint8_t* src = bmp + 1078;
  for (int32_t j = 0; j < h; ++j) {
    uint16_t* d = m_pixels + static_cast<std::size_t>(y + j) * m_width + x;
    const uint8_t* s = src + (static_cast<std::size_t>(sy + j) * sw + sx) * 2;
    for (int32_t i = 0; i < w; ++i) {
      uint16_t p = static_cast<uint16_t>(s[2 * i] | s[2 * i + 1] << 8);
      if (p != 0xF81F) d[i] = p;
    }
  }
}

void SoftwareCanvas::drawBitmap1555(int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t x, int32_t y,
                                    const uint16_t* source, int32_t sourcePitch, int32_t sourceHeight) {
  if (!source) return;
  if (!clipBlit(sx, sy, w, h, x, y, sourcePitch, sourceHeight)) return;
  for (int32_t j = 0; j < h; ++j) {
    uint16_t* d = m_pixels + static_cast<std::size_t>(y + j) * m_width + x;
    const uint16_t* s = source + static_cast<std::size_t>(sy + j) * sourcePitch + sx;
    for (int32_t i = 0; i < w; ++i) {
      if (s[i] & 0x8000) d[i] = convert1555(s[i]);
    }
  }
}
