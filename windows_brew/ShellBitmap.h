// Reference-counted 16-bit bitmaps of the shell's display.
#pragma once

#include <cstdint>

class ShellBitmap {
 public:
  ShellBitmap(int32_t width, int32_t height);
  ShellBitmap(const ShellBitmap&) = delete;
  ShellBitmap& operator=(const ShellBitmap&) = delete;

  void addRef() { ++m_refCount; }
  // Drops one reference; the last one frees the pixels and the object.
  void release();
  int32_t getWidth() const { return m_width; }
  int32_t getHeight() const { return m_height; }
  // Copies a w x h area of source at (sx, sy) to destination at (x, y), cut
  // to both bitmaps.
  static void blit(ShellBitmap* destination, int32_t x, int32_t y, int32_t w, int32_t h, const ShellBitmap* source,
                   int32_t sx, int32_t sy);

  uint16_t* pixels = nullptr;  // from malloc; may be replaced by the canvas
  int32_t pitch = 0;           // bytes per row
  int32_t depth = 16;
  int32_t refCount() const { return m_refCount; }

 private:
  ~ShellBitmap() = default;

  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_refCount = 1;
};
