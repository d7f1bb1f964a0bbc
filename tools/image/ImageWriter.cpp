#include "tools/image/ImageWriter.h"

namespace kvtools {

namespace {

void put8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }
void put16(std::vector<uint8_t>& out, uint32_t v) {
  put8(out, v);
  put8(out, v >> 8);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v);
  put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> writeIndexedImage(int width, int height, const std::vector<uint32_t>& argbPalette,
                                       const std::vector<uint8_t>& indices, int32_t key, uint8_t extraFlags) {
  std::vector<uint8_t> out;
  uint8_t flags = static_cast<uint8_t>(1 | extraFlags);
  if (key >= 0) flags |= 2;
  put8(out, 8);
  put8(out, flags);
  put16(out, static_cast<uint32_t>(width));
  put16(out, static_cast<uint32_t>(height));
  if (flags & 2) put32(out, static_cast<uint32_t>(key));
  put16(out, static_cast<uint32_t>(argbPalette.size()));
  for (uint32_t c : argbPalette) put32(out, c);
  out.insert(out.end(), indices.begin(), indices.end());
  return out;
}

std::vector<uint8_t> writeRgbImage(int bitsPerPixel, uint8_t flags, int width, int height,
                                   const std::vector<uint8_t>& pixelBytes) {
  std::vector<uint8_t> out;
  put8(out, static_cast<uint32_t>(bitsPerPixel));
  put8(out, flags);
  put16(out, 0);
  put16(out, static_cast<uint32_t>(width));
  put16(out, static_cast<uint32_t>(height));
  out.insert(out.end(), pixelBytes.begin(), pixelBytes.end());
  return out;
}

std::vector<uint8_t> writeRgbImage16(uint8_t flags, int width, int height, const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> bytes;
  for (uint16_t p : pixels) put16(bytes, p);
  return writeRgbImage(16, flags, width, height, bytes);
}

std::vector<uint8_t> writeTarga(int width, int height, const std::vector<uint32_t>& rgbPalette,
                                const std::vector<uint8_t>& indicesTopDown, const std::string& id) {
  std::vector<uint8_t> out;
  put8(out, static_cast<uint32_t>(id.size()));  // ID length
  put8(out, 1);                                 // colour-map type
  put8(out, 1);                                 // uncompressed, colour-mapped
  put16(out, 0);                                // first entry
  put16(out, 256);                              // map length
  put8(out, 24);                                // entry size
  put16(out, 0);                                // x origin
  put16(out, 0);                                // y origin
  put16(out, static_cast<uint32_t>(width));
  put16(out, static_cast<uint32_t>(height));
  put8(out, 8);  // pixel depth
  put8(out, 0);  // descriptor: bottom-up rows
  out.insert(out.end(), id.begin(), id.end());
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = i < static_cast<int>(rgbPalette.size()) ? rgbPalette[i] : 0;
    put8(out, c);
    put8(out, c >> 8);
    put8(out, c >> 16);
  }
  for (int r = height - 1; r >= 0; --r) {
    for (int c = 0; c < width; ++c) {
      const size_t i = static_cast<size_t>(r) * width + c;
      put8(out, i < indicesTopDown.size() ? indicesTopDown[i] : 0);
    }
  }
  return out;
}

std::vector<uint8_t> writeTargaTrueColour(int width, int height, const std::vector<uint32_t>& argbTopDown) {
  std::vector<uint8_t> out;
  put8(out, 0);   // no ID field
  put8(out, 0);   // no colour map
  put8(out, 2);   // uncompressed true colour
  put16(out, 0);  // first entry
  put16(out, 0);  // map length
  put8(out, 0);   // entry size
  put16(out, 0);  // x origin
  put16(out, 0);  // y origin
  put16(out, static_cast<uint32_t>(width));
  put16(out, static_cast<uint32_t>(height));
  put8(out, 32);  // pixel depth
  put8(out, 8);   // descriptor: 8 alpha bits, bottom-up rows
  for (int r = height - 1; r >= 0; --r) {
    for (int c = 0; c < width; ++c) {
      const size_t i = static_cast<size_t>(r) * width + c;
      const uint32_t p = i < argbTopDown.size() ? argbTopDown[i] : 0;
      put8(out, p);
      put8(out, p >> 8);
      put8(out, p >> 16);
      put8(out, p >> 24);
    }
  }
  return out;
}

}  // namespace kvtools
