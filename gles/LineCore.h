// Bresenham line walk shared by the eight line drawers. The end point with
// the greater major coordinate is never drawn; every pixel is checked
// against the surface.
#pragma once

#include <cstdint>

#include "gles/GlContext.h"
#include "gles/PixelHelpers.h"
#include "zul/lm/Q14.h"

namespace kvgl {

struct LineTarget {
  void* buffer;
  int32_t width;
  int32_t height;
};

template <typename Pixel, bool Smooth, bool Blend>
void drawLine(const LineTarget& t, const VertexSlot* v1, const VertexSlot* v2) {
  if (t.buffer == nullptr || t.width <= 0 || t.height <= 0) return;
  Pixel* const buf = static_cast<Pixel*>(t.buffer);
  const int32_t x1 = v1->screenX, y1 = v1->screenY, x2 = v2->screenX, y2 = v2->screenY;
  int32_t dx = x2 - x1, dy = y2 - y1;
  int32_t rowStep = 1, colStep = 1;
  if (dy < 0) {
    rowStep = -1;
    dy = -dy;
  }
  if (dx < 0) {
    colStep = -1;
    dx = -dx;
  }

  const uint32_t c1 = static_cast<uint32_t>(v1->attr0);
  // Smooth accumulators: red, green, blue, alpha as 8-bit << 16.
  int32_t acc[4] = {0, 0, 0, 0}, step[4] = {0, 0, 0, 0};
  if constexpr (Smooth) {
    const uint32_t c2 = static_cast<uint32_t>(v2->attr0);
    auto unpack = [](uint32_t c, int32_t* a) {
      a[0] = static_cast<int32_t>((c & 0xFFu) << 16);
      a[1] = static_cast<int32_t>((c & 0xFF00u) << 8);
      a[2] = static_cast<int32_t>(c & 0xFF0000u);
      a[3] = static_cast<int32_t>((c & 0xFF000000u) >> 8);
    };
    int32_t a2[4];
    unpack(c1, acc);
    unpack(c2, a2);
    const int32_t r = recipFromTable(static_cast<uint32_t>(dx > dy ? dx : dy));
    for (int i = 0; i < 4; ++i) step[i] = q14Mul(wrapSub(a2[i], acc[i]), r);
  }

  int32_t col = x1, row = y1;
  auto plot = [&]() {
    if (col >= 0 && col < t.width && row >= 0 && row < t.height) {
      Pixel* p = buf + static_cast<int64_t>(row) * t.width + col;
      const uint32_t old = *p;
      uint32_t colour;
      if constexpr (Smooth) {
        const uint32_t packed = packInterpolated(acc[0], acc[1], acc[2]);
        if constexpr (Blend) {
          colour = blend565(old, (packed & 0xFFFFu) | ((static_cast<uint32_t>(acc[3]) & 0xF00000u) >> 4));
        } else {
          colour = packed & 0xFFFFu;
        }
      } else {
        colour = Blend ? blend565(old, c1) : (c1 & 0xFFFFu);
      }
      if constexpr (sizeof(Pixel) == 4) {
        *p = (old & 0xFFFF0000u) | colour;
      } else {
        *p = static_cast<Pixel>(colour);
      }
    }
    if constexpr (Smooth) {
      for (int i = 0; i < 4; ++i) acc[i] = wrapAdd(acc[i], step[i]);
    }
  };

  if (2 * dx <= 2 * dy) {
    int32_t e = 2 * dx - dy;
    if (y1 <= y2) {
      while (row != y2) {
        plot();
        if (e >= 0) {
          col += colStep;
          e -= 2 * dy;
        }
        row += rowStep;
        e += 2 * dx;
      }
    } else {
      while (row != y2) {
        if (e >= 0) {
          col += colStep;
          e -= 2 * dy;
        }
        row += rowStep;
        e += 2 * dx;
        plot();
      }
    }
  } else {
    int32_t e = 2 * dy - dx;
    if (x1 <= x2) {
      while (col != x2) {
        plot();
        if (e >= 0) {
          row += rowStep;
          e -= 2 * dx;
        }
        col += colStep;
        e += 2 * dy;
      }
    } else {
      while (col != x2) {
        if (e >= 0) {
          row += rowStep;
          e -= 2 * dx;
        }
        col += colStep;
        e += 2 * dy;
        plot();
      }
    }
  }
}

}  // namespace kvgl
