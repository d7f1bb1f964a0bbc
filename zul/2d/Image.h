// The engine's images: the common base and the colour conversions.
#pragma once

#include <cstdint>

class Stream;

// 32-bit ARGB to RGB565: the top 5, 6 and 5 bits of red, green and blue.
inline uint16_t argbToRgb565(uint32_t c) {
  return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c & 0xFF) >> 3));
}
// Red, green and blue bytes to RGB565.
inline uint16_t rgbToRgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>(((r & 0xFF) >> 3) << 11 | ((g & 0xFF) >> 2) << 5 | ((b & 0xFF) >> 3));
}
// RGB565 to 0x00RRGGBB, low bits zero.
inline uint32_t rgb565ToRgb(uint16_t p) {
  return (static_cast<uint32_t>(p & 0xF800) << 8) | (static_cast<uint32_t>(p & 0x07E0) << 5) |
         (static_cast<uint32_t>(p & 0x001F) << 3);
}

class Image {
 public:
  enum Flags : uint8_t {
    k_flagIndexed = 1,
    k_flagKeyed = 2,
    k_flagAlpha = 4,
    k_flagRefused = 16,  // a variant the loader does not read
  };
  enum Kind : uint32_t { k_kindIndexed = 0, k_kindRgb = 1, k_kindMutable = 2 };

  explicit Image(uint32_t kind);
  virtual ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  virtual void* getPixels() const = 0;
  // Palette images only; the base reports and answers 0 / null.
  virtual int getColourCount() const;
  virtual const uint16_t* getPalette() const;

  // Reads one image record; null when the data is refused or short.
  static Image* load(Stream* stream);

  int getWidth() const { return m_width; }
  int getHeight() const { return m_height; }
  int getPitch() const { return m_pitch; }
  int32_t getKey() const { return m_key; }
  int getBitsPerPixel() const { return m_bitsPerPixel; }
  uint8_t getFlags() const { return m_flags; }
  uint32_t getKind() const { return m_kind; }
  bool hasKey() const { return (m_flags & k_flagKeyed) != 0; }
  // Keyed or per-pixel alpha.
  bool hasTransparency() const { return (m_flags & (k_flagKeyed | k_flagAlpha)) != 0; }

  void setDimensions(int width, int height, int pitch);
  void setBitsPerPixel(int bits) { m_bitsPerPixel = static_cast<uint8_t>(bits); }
  void setFlags(uint8_t flags) { m_flags = flags; }
  void setKey(int32_t key) { m_key = key; }

 protected:
  uint8_t m_bitsPerPixel = 0;
  uint8_t m_flags = 0;
  int32_t m_key = -1;
  uint32_t m_kind;
  uint16_t m_width = 0;
  uint16_t m_height = 0;
  uint16_t m_pitch = 0;
};

// Bytes per row of an image record: width x ((bits + 7) / 8).
inline int imagePitch(int width, int bits) { return width * ((bits + 7) / 8); }
