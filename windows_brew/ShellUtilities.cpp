#include "windows_brew/ShellUtilities.h"

#include <cstdio>
#include <cstdlib>

#include "windows_brew/ShellHost.h"

uint32_t KeyBitTracker::keyBit(int32_t code) {
  switch (code) {
    case 13: return 0x200000;
    case 27: return 0x400000;
    case 37: return 0x40000;
    case 38: return 0x20000;
    case 39: return 0x80000;
    case 40: return 0x100000;
    case 112: return 0x8000;
    case 113: return 0x4000;
    case 119: return 0x800;
    case 120: return 0x400;
    case 57415: return 0x800000;
    case 57416: return 0x1000000;
    default: break;
  }
  if (code >= 48 && code <= 57) return 1u << (code - 48);
  return 0;
}

uint32_t KeyBitTracker::keyDown(int32_t code) {
  m_current = keyBit(code);
  return m_current;
}

void KeyBitTracker::latch() {
  m_pressed = m_current & ~m_previous;
  m_released = m_previous & ~m_current;
  m_previous = m_current;
}

void KeyBitTracker::clear(uint32_t mask) {
  m_current &= ~mask;
  m_previous &= ~mask;
  m_pressed &= ~mask;
  m_released &= ~mask;
}

void KeyBitTracker::reset() { m_previous = m_pressed = m_released = m_current = 0; }

ImageHandle* ImageHandle::init(ShellBitmap* bitmap) {
  m_bitmap = bitmap;
  uint16_t info[3] = {0, 0, 256};
  if (ShellHost* shell = getShellHost()) {
    shell->getImageInfo(bitmap, info);
  } else if (bitmap) {
    info[0] = static_cast<uint16_t>(bitmap->getWidth());
    info[1] = static_cast<uint16_t>(bitmap->getHeight());
  }
  m_width = info[0];
  m_height = info[1];
  m_colours = info[2];
  return this;
}

void ImageHandle::release() {
  if (!m_bitmap) return;
  if (ShellHost* shell = getShellHost()) {
    shell->releaseBitmapRef(&m_bitmap);
  } else {
    m_bitmap->release();
  }
  m_bitmap = nullptr;
}

ShellBitmap* ImageHandle::getBitmap() const {
  if (!m_bitmap) std::printf("NO IMAGE!\n");
  return m_bitmap;
}

ShellBitmap* ImageLoader::loadBitmap(uint32_t id) {
  ShellHost* shell = getShellHost();
  return shell ? shell->loadImage(id) : nullptr;
}

ImageHandle* ImageLoader::load(uint32_t id) {
  ShellBitmap* bitmap = loadBitmap(id);
  if (!bitmap) return nullptr;
  return (new ImageHandle())->init(bitmap);
}

ResourceStringCache::~ResourceStringCache() {
  std::free(m_block);
  for (char*& t : m_texts) {
    std::free(t);
    t = nullptr;
  }
}

const char* ResourceStringCache::getString(int32_t id) {
  int32_t slot = id - kFirstId;
  if (slot < 0 || slot >= kSlots) return nullptr;
  if (m_texts[slot]) return m_texts[slot];
  char* text = static_cast<char*>(std::calloc(151, 1));
  if (!text) return nullptr;
  int32_t n = 0;
  if (ShellHost* shell = getShellHost()) n = shell->loadResourceString(static_cast<uint32_t>(id), text, 150);
  for (int32_t i = 0; i < n && i < 150; ++i)
    if (text[i] == '~') text[i] = '\n';
  m_texts[slot] = text;
  return text;
}
