// Copies a back buffer to a display bitmap of another size, with a family
// of 16-bit scalers.
#pragma once

#include <cstdint>

struct ShellRect;

// A device-independent bitmap of the shell's display.
class DibBitmap {
 public:
  virtual ~DibBitmap() = default;
  virtual void release() = 0;
  virtual void invalidate(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t flagsA, uint32_t flagsB) = 0;
  virtual DibBitmap* createCompatible(int32_t w, int32_t h) = 0;

  uint8_t* pixels = nullptr;
  uint16_t width = 0;
  uint16_t height = 0;
  int32_t pitch = 0;  // bytes from one row to the next
  uint8_t depth = 16;
  uint8_t colourScheme = 0;
};

// The shell's display interface.
class DisplayInterface {
 public:
  virtual ~DisplayInterface() = default;
  virtual void addRef() = 0;
  virtual void release() = 0;
  // A new reference to the device bitmap (released by the caller).
  virtual DibBitmap* getDeviceBitmap() = 0;
  virtual DibBitmap* createBitmap(int32_t depth, int32_t w, int32_t h) = 0;
  virtual void drawRect(const ShellRect* rect, uint32_t frameColour, uint32_t fillColour, uint32_t flags) = 0;
  virtual void update(int32_t flags) = 0;
};

// Every scaler copies the source rectangle (sx, sy, sw, sh) to the
// destination rectangle (x, y, w, h) and returns 1; sizes of 0 draw nothing.
// Reads of the neighbour column and row stay inside the source bitmap.
int scaleBilinear565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh);
int scaleBilinearFast565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh);
int scaleBilinearCoarse565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                           int32_t sx, int32_t sy, int32_t sw, int32_t sh);
int scaleBilinearTo32(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh);
int scaleVertical565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh);
int scaleVerticalFast565(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh);
int scaleVerticalTo32(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                      int32_t sy, int32_t sw, int32_t sh);
// Refuses (returns 0) sizes whose step would divide by zero.
int scaleNearest(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh);
uint8_t scaleSmooth(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh);
uint8_t scaleByDepth(DibBitmap* dst, int32_t x, int32_t y, int32_t w, int32_t h, const DibBitmap* src, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh);

class ScreenFlush {
 public:
  enum Mode : int32_t { kSameBitmap = 0, kByDepth = 1, kNearest = 2, kSmooth = 3, kBands = 99 };

  ScreenFlush() = default;
  ~ScreenFlush() { release(); }
  ScreenFlush(const ScreenFlush&) = delete;
  ScreenFlush& operator=(const ScreenFlush&) = delete;

  void init(int32_t backWidth, int32_t backHeight, DisplayInterface* display);
  DibBitmap* getBackBitmap() const { return m_back; }
  void flush();
  void release();

  int32_t mode() const { return m_mode; }
  void setMode(int32_t mode) { m_mode = mode; }

 private:
  DisplayInterface* m_display = nullptr;
  DibBitmap* m_back = nullptr;
  int32_t m_backWidth = 0;
  int32_t m_backHeight = 0;
  int32_t m_deviceWidth = 0;
  int32_t m_deviceHeight = 0;
  int32_t m_mode = 0;
};
