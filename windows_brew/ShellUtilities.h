// Small shell-side utilities for applet code: key bits with per-frame
// pressed/released masks, bitmap handles, and a cache of resource texts.
#pragma once

#include <cstdint>

class ShellBitmap;

class KeyBitTracker {
 public:
  KeyBitTracker() = default;

  static uint32_t keyBit(int32_t keyCode);
  uint32_t keyDown(int32_t keyCode);
  void keyUp() { m_current = 0; }
  void latch();
  int isPressed(uint32_t mask) const { return (m_pressed & mask) != 0; }
  void clear(uint32_t mask);
  void reset();

  uint32_t previous() const { return m_previous; }
  uint32_t pressed() const { return m_pressed; }
  uint32_t released() const { return m_released; }
  uint32_t current() const { return m_current; }

 private:
  uint32_t m_previous = 0;
  uint32_t m_pressed = 0;
  uint32_t m_released = 0;
  uint32_t m_current = 0;
};

class ImageHandle {
 public:
  ImageHandle() = default;
  ~ImageHandle() { release(); }
  ImageHandle(const ImageHandle&) = delete;
  ImageHandle& operator=(const ImageHandle&) = delete;

  // Takes over one reference to the bitmap.
  ImageHandle* init(ShellBitmap* bitmap);
  void release();
  ShellBitmap* getBitmap() const;
  int32_t getWidth() const { return m_width; }
  int32_t getHeight() const { return m_height; }
  int32_t getColourCount() const { return m_colours; }

 private:
  ShellBitmap* m_bitmap = nullptr;
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_colours = 256;
};

class ImageLoader {
 public:
  ImageLoader(uint32_t first, uint32_t second) : m_first(first), m_second(second) {}

  ImageHandle* load(uint32_t imageId);
  ImageHandle* loadFromSource(uint32_t, uint32_t) { return nullptr; }
  ShellBitmap* loadBitmap(uint32_t imageId);
  // The two words given at construction, passed through unchanged.
  uint32_t first() const { return m_first; }
  uint32_t second() const { return m_second; }

 private:
  uint32_t m_first;
  uint32_t m_second;
};

class ResourceStringCache {
 public:
  static constexpr int32_t kFirstId = 10;
  static constexpr int32_t kSlots = 40;

  ResourceStringCache() = default;
  ~ResourceStringCache();
  ResourceStringCache(const ResourceStringCache&) = delete;
  ResourceStringCache& operator=(const ResourceStringCache&) = delete;

  // The text of resource id 10..49 ('~' read as a line break); null for an id
  // outside that range.
  const char* getString(int32_t id);
  uint32_t firstWord() const { return m_first; }

 private:
  uint32_t m_first = 0;
  void* m_block = nullptr;
  char* m_texts[kSlots] = {};
};
