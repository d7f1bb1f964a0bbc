// Small drawing surfaces and source images for the 2D tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zul/2d/Graphics16.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/RgbImage.h"
#include "zul/memory/Debug.h"

namespace kv2d {

// An RGB565 surface with its own drawing context.
struct Surface {
  MutableImage image;
  explicit Surface(int w, int h, uint16_t fill = 0) : image(w, h, 16) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) set(x, y, fill);
  }
  Graphics16& g() { return *static_cast<Graphics16*>(image.getGraphics()); }
  uint16_t* row(int y) const {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(image.getPixels()) + y * image.getPitch());
  }
  uint16_t at(int x, int y) const { return row(y)[x]; }
  void set(int x, int y, uint16_t v) { row(y)[x] = v; }
  int width() const { return image.getWidth(); }
  int height() const { return image.getHeight(); }
  // Rows of the surface, '#' where the pixel differs from bg.
  std::string mask(uint16_t bg = 0) const {
    std::string s;
    for (int y = 0; y < height(); ++y) {
      for (int x = 0; x < width(); ++x) s += at(x, y) == bg ? '.' : '#';
      s += '\n';
    }
    return s;
  }
};

// A 16-bit source image over a vector of pixels.
struct Source16 {
  std::vector<uint16_t> pixels;
  RgbImage image;
  Source16(int w, int h, std::vector<uint16_t> px, uint8_t flags = 0, int32_t key = -1)
      : pixels(std::move(px)), image(Image::k_kindRgb, pixels.data()) {
    image.setBitsPerPixel(16);
    image.setDimensions(w, h, w * 2);
    image.setFlags(flags);
    image.setKey(key);
  }
};

// Collects the assertion reports printed while it lives.
struct TraceCapture {
  std::string text;
  TraceCapture() { setDebugTraceHook(&TraceCapture::hook, this); }
  ~TraceCapture() { setDebugTraceHook(nullptr, nullptr); }
  static void hook(const char* t, void* user) { static_cast<TraceCapture*>(user)->text += t; }
  bool has(const std::string& s) const { return text.find(s) != std::string::npos; }
};

}  // namespace kv2d
