// The emulated applet shell: root path, files, display, sound, applet control.
// Services follow the shell's style: methods of the one ShellHost, 0 for
// success unless said.
#pragma once

#include <cstdint>
#include <cstdio>

#include "windows_brew/AppletSeam.h"
#include "windows_brew/ResourceIndexFile.h"
#include "windows_brew/ShellBitmap.h"
#include "windows_brew/ShellFile.h"
#include "windows_brew/SoftwareCanvas.h"

class OggSoundPlayer;
class GameServices;

// A rectangle of the shell's display services.
struct ShellRect {
  int16_t x;
  int16_t y;
  int16_t dx;
  int16_t dy;
};

// The platform imaging factory used by loadImage (nothing sets one here).
class ImagingImage {
 public:
  virtual ~ImagingImage() = default;
  virtual int getImageInfo(int32_t* width, int32_t* height) = 0;
};
class ImagingBitmap {
 public:
  virtual ~ImagingBitmap() = default;
  // Locks (0, 0, width, height) for reading in the given pixel format.
  virtual int lockBits(int32_t width, int32_t height, uint32_t format, const uint8_t** bits, int32_t* stride) = 0;
  virtual void unlockBits() = 0;
};
class ImagingFactory {
 public:
  virtual ~ImagingFactory() = default;
  virtual int createImageFromBuffer(const uint8_t* data, uint32_t length, int disposal, ImagingImage** image) = 0;
  virtual int createBitmapFromImage(ImagingImage* image, int32_t width, int32_t height, uint32_t format,
                                    int interpolation, ImagingBitmap** bitmap) = 0;
};

class ShellHost {
 public:
  static constexpr int kMaxPath = 255;

  explicit ShellHost(uint8_t* runningFlag);
  ~ShellHost();
  ShellHost(const ShellHost&) = delete;
  ShellHost& operator=(const ShellHost&) = delete;

  // Applet control.
  int startApplet();
  // Frees the applet's members once; later calls do nothing.
  void releaseApplet();
  void runAppletFrame();
  void suspendApplet();
  void resumeApplet();
  // Releases the applet, silences the sound player and ends the process with
  // the exit code (0 for a quit the player asked for).
  void quit(int exitCode = 0);
  void keyPressed(int32_t key);
  void keyReleased(int32_t key);
  void keyCharacter(int32_t character);
  int browseUrl(const char* address);
  GameServices* getGame() const;
  bool isQuitRequested() const;
  void* getApplet() const { return m_applet; }

  // Touch glue (stylus down, move while down, up), in window coordinates.
  void pointerPressed(int32_t x, int32_t y);
  void pointerDragged(int32_t x, int32_t y);
  void pointerReleased(int32_t x, int32_t y);

  // General services.
  static void* allocZeroed(std::size_t size);
  static char* copyString(char* destination, const char* source);
  char* getRootPath(char* destination) const;
  // The destination holds at least kMaxPath + 1 units.
  void getRootPathWide(char16_t* destination) const;
  // Root path for the host; false (root path unchanged) when it does not fit.
  bool setRootPath(const char* path);
  const char* rootPath() const { return m_rootPath; }
  static char16_t* toWide(const char* source, char16_t* destination, int32_t capacity);
  static char* toNarrow(const char16_t* source, char* destination, int32_t capacity);
  static int32_t wideLength(const char16_t* text);
  static char* toUpper(char* text);
  static char* duplicateString(const char* text);
  static void fillRandom(uint8_t* buffer, int32_t count);
  // Free bytes of the file system the root path writes to, capped to the
  // type; 0 when it cannot be told.
  int32_t getFreeSpace() const;

  // Files. Flag 1 "rb", 2 or 4 "wb", 8 "ab".
  ShellFile* openFile(const char* folder, const char* name, int32_t modeFlag);
  int testFile(const char* folder, const char* name);
  int releaseFile(ShellFile* file);
  int getFileSize(FILE* file, ShellFileInfo* info);

  // Resources by id.
  void openResourceFile(const char* name);
  void openResourceFile(const char* folder, const char* name);
  ResourceIndexFile& resourceFile() { return m_resources; }
  int32_t loadResourceString(uint32_t id, char* buffer, int32_t bufferSize);

  // Display services. Shell colours are 0xBBGGRR00.
  int getDisplayHandle() const { return 0; }
  int nullService(int32_t, int32_t) { return 0; }
  int createScreenBitmap(ShellBitmap** slot);
  int createBitmap(ShellBitmap** slot, int32_t width, int32_t height);
  int addBitmapRef(ShellBitmap* bitmap, ShellBitmap** slot);
  void releaseBitmapRef(ShellBitmap** slot);
  int setCanvasPixels(uint16_t** pixels);
  int blitBitmap(ShellBitmap* destination, int32_t x, int32_t y, int32_t w, int32_t h, ShellBitmap* source,
                 int32_t sx, int32_t sy);
  int getBitmapInfo(const ShellBitmap* bitmap, uint32_t* info3);
  int getImageInfo(const ShellBitmap* bitmap, uint16_t* info3);
  static uint16_t packColour(uint32_t shellColour);
  static uint32_t convertColour(uint16_t pixel);
  // 0xBBGGRR00 to the canvas's 0x00RRGGBB.
  static uint32_t canvasColour(uint32_t shellColour);
  void setClipRect(const ShellRect* rect);
  int fillRect(uint32_t ignored, const ShellRect* rect, uint32_t shellColour);
  // Flags: 2 fills (from x + 1), 1 draws the frame.
  int drawRect(const ShellRect* rect, uint32_t frameColour, uint32_t fillColour, uint32_t flags);
  int drawBitmap(const ShellBitmap* bitmap, int32_t x, int32_t y);
  // A new buffer holding the first 1078 bytes of a BMP image and room for
  // width x height 16-bit pixels; null when the image is too short.
  uint8_t* convertBmp(const uint8_t* bmp, uint32_t length, int32_t* owned);
  ShellBitmap* loadImage(uint32_t id);
  void setImagingFactory(ImagingFactory* factory) { m_imaging = factory; }

  SoftwareCanvas& canvas() { return m_canvas; }
  OggSoundPlayer* soundPlayer() const { return m_sound; }
  uint8_t* runningFlag() const { return m_runningFlag; }

 private:
  char m_rootPath[256] = {};
  SoftwareCanvas m_canvas;
  OggSoundPlayer* m_sound = nullptr;
  void* m_applet = nullptr;
  const AppletOps* m_appletOps = nullptr;
  bool m_appletReleased = false;
  uint8_t* m_runningFlag = nullptr;
  ImagingFactory* m_imaging = nullptr;
  ResourceIndexFile m_resources;
};

ShellHost* getShellHost();

// Ends the process (through the platform layer's exit hook).
void hostExit(int code);
