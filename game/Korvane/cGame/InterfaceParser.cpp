#include "game/Korvane/cGame/InterfaceParser.h"

#include <algorithm>
#include <cstddef>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "zul/memory/Debug.h"

namespace F = interfaceformat;

ParsedInterface parseInterface(int32_t id, const uint8_t* data, int32_t size) {
  if (!data || size < 0) size = 0;
  int32_t count = 0, end = 0;
  while (end + F::kRecordHeaderSize <= size) {
    const int32_t length = F::kRecordHeaderSize + 2 * data[end + 7];
    if (end + length > size) break;
    end += length;
    ++count;
  }
  if (end < size) debugTrace("interf.bar: interface %d: %d bytes after the last whole record\n", id, size - end);
  ParsedInterface out;
  out.elements = new int16_t*[static_cast<std::size_t>(count)];
  out.paramCounts = new uint8_t[static_cast<std::size_t>(count) + 1];
  out.count = count;
  out.whole = end == size;
  const uint8_t* r = data;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t type = r[0], n = r[7];
    const int32_t stored = std::max(n, F::kMinStoredParams);
    if (n < F::paramsRead(type))
      debugTrace("interf.bar: interface %d element %d: %d parameters, %d read; the rest are 0\n", id, i, n,
                 F::paramsRead(type));
    int16_t* e = new int16_t[static_cast<std::size_t>(stored + F::kWordParams + F::kSpareWords)]();
    int16_t* p = e + F::kWordParams;
    e[F::kWordType] = static_cast<int16_t>(type);
    e[F::kWordX] = static_cast<int16_t>(r[3] | r[4] << 8);
    e[F::kWordY] = static_cast<int16_t>(r[5] | r[6] << 8);
    for (int32_t k = 0; k < n; ++k) p[k] = static_cast<int16_t>(r[8 + 2 * k] | r[9 + 2 * k] << 8);
    if (type == F::kSprite && p[F::kSpriteAnim] >= 0) {
      const int16_t frame = p[F::kSpriteFrame];
      if (frame == F::kFrameOnceHold) p[F::kSpriteAnim] |= F::kPlayOnceHold;
      if (frame == F::kFrameOnceVanish) p[F::kSpriteAnim] |= F::kPlayOnceVanish;
    }
    out.elements[i] = e;
    out.paramCounts[i] = static_cast<uint8_t>(n);
    r += F::kRecordHeaderSize + 2 * n;
  }
  return out;
}
