// RGB565 pixel helpers shared by the rasterisers, the span functions and the
// line drawers: the table reciprocal and the blends in sixteenths.
#pragma once

#include <array>
#include <cstdint>

namespace kvgl {

// Entry i = 65536 / i rounded to nearest (i = 1..511), entry 0 = 0.
struct ReciprocalTable {
  static constexpr int kSize = 512;
  std::array<int32_t, kSize> e{};
  constexpr ReciprocalTable() {
    for (int i = 1; i < kSize; ++i) e[i] = (65536 + i / 2) / i;
  }
};

inline constexpr ReciprocalTable kReciprocalTable{};

// Q14 reciprocal of a whole number. Counts past the table get the same
// rounding computed directly, so no lookup ever leaves the table.
constexpr int32_t recipFromTable(uint32_t n) {
  if (n < static_cast<uint32_t>(ReciprocalTable::kSize)) return kReciprocalTable.e[n] >> 2;
  return static_cast<int32_t>((65536u + n / 2) / n) >> 2;
}

// Spreads an RGB565 pixel so that each channel has headroom for a product by 16:
// red and blue in place, green moved up by 16.
constexpr uint32_t spread565(uint32_t p) { return (p & 0xF81Fu) | ((p & 0x07E0u) << 16); }

constexpr uint16_t gather565(uint32_t w) {
  return static_cast<uint16_t>(((w >> 4) & 0xF81Fu) | ((w >> 20) & 0x07E0u));
}

// d blended towards the RGB565 source in bits 0-15 of s by the factor in bits
// 16-31 (0..16 sixteenths).
constexpr uint16_t blend565(uint32_t d, uint32_t s) {
  const uint32_t f = s >> 16;
  const uint32_t sd = spread565(d & 0xFFFFu);
  const uint32_t ss = spread565(s & 0xFFFFu);
  return gather565((ss - sd) * f + (sd << 4));
}

// An RGBA4444 texel over an RGB565 pixel, by the texel's own alpha (0..15).
constexpr uint16_t blend4444Over565(uint32_t d, uint32_t t) {
  const uint32_t src = (t & 0xF000u) | ((t & 0x0F00u) >> 1) | ((t & 0x00F0u) >> 3);
  return blend565(d, src | ((t & 15u) << 16));
}

// Per-channel saturating sum of two RGB565 pixels.
constexpr uint16_t addSat565(uint32_t a, uint32_t b) {
  a &= 0xFFFFu;
  b &= 0xFFFFu;
  const uint32_t low = (a & 0x7BEFu) + (b & 0x7BEFu);                 // channels without their top bits
  const uint32_t carries = (((a & b) | ((a ^ b) & low)) & 0x8410u) << 1;  // out of blue, green, red
  const uint32_t sum = (low & 0x7BEFu) | ((a ^ b ^ low) & 0x8410u);     // wrapped per channel
  return static_cast<uint16_t>((sum | (carries - (carries >> 4))) & 0xFFFFu);
}

// Flat colour word: RGB565 in bits 0-15, the top four alpha bits in 16-19.
constexpr uint32_t packFlatColour(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return ((r & 0xF8u) << 8) | ((g & 0xFCu) << 3) | ((b & 0xFFu) >> 3) | ((a & 0xF0u) << 12);
}

// An RGBA8888 array colour (red in bits 0-7) packed as a flat colour word.
constexpr uint32_t packFlatFromArray(uint32_t c) {
  return packFlatColour(c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu, c >> 24);
}

// Interpolated channels (8-bit value << 16) packed to RGB565.
constexpr uint32_t packInterpolated(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(((r & 0xF80000) >> 8) | ((g & 0xFC0000) >> 13) | (b >> 19));
}

}  // namespace kvgl
