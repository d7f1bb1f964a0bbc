// Writers of the engine's image record and of its colour-mapped Targa subset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvtools {

// Indexed record: depth 8, flags 1 (| 2 when key >= 0 | extraFlags), width,
// height, [key], colour count, ARGB palette, one index byte per pixel.
std::vector<uint8_t> writeIndexedImage(int width, int height, const std::vector<uint32_t>& argbPalette,
                                       const std::vector<uint8_t>& indices, int32_t key = -1, uint8_t extraFlags = 0);

// Direct-colour record: depth, flags, a reserved 16-bit 0, width, height and
// the pixel rows as given (width x ((bits + 7) / 8) bytes each).
std::vector<uint8_t> writeRgbImage(int bitsPerPixel, uint8_t flags, int width, int height,
                                   const std::vector<uint8_t>& pixelBytes);
// 16-bit pixels, little-endian.
std::vector<uint8_t> writeRgbImage16(uint8_t flags, int width, int height, const std::vector<uint16_t>& pixels);

// Targa: uncompressed colour-mapped, 256 entries of 24 bits (0x00RRGGBB,
// stored blue, green, red), 8-bit indices given top row first and stored
// bottom-up; an optional ID field.
std::vector<uint8_t> writeTarga(int width, int height, const std::vector<uint32_t>& rgbPalette,
                                const std::vector<uint8_t>& indicesTopDown, const std::string& id = std::string());
// Targa: uncompressed true colour, 32 bits per pixel (0xAARRGGBB, stored blue,
// green, red, alpha), pixels given top row first and stored bottom-up; no ID
// field.
std::vector<uint8_t> writeTargaTrueColour(int width, int height, const std::vector<uint32_t>& argbTopDown);

}  // namespace kvtools
