// The applet: owns the renderer context, the back-buffer image over the
// host's frame buffer and the bridge to the game. Its tick shows the "Not
// enough space" notice or runs one game frame.
#pragma once

#include <cstdint>

#include "windows_brew/ScreenFlush.h"

class AppletGameBridge;
class MutableImage;
struct GlContext;
class ShellBitmap;


class ApplicationImpl {
 public:
  static constexpr int kNoticeLines = 8;
  static constexpr int kNoticeLineChars = 21;
  static const char16_t kNoticeText[kNoticeLines][kNoticeLineChars];

  ApplicationImpl();

  int init();
  void release();
  void tick();
  void onTimer() { tick(); }
  bool handleEvent(uint16_t event, uint16_t parameter);

  AppletGameBridge* getBridge() const { return m_bridge; }
  MutableImage* getBackBuffer() const { return m_backBuffer; }
  GlContext* getGlContext() const { return m_glContext; }
  void* getShellInterface() const { return m_shellInterface; }
  void* getDisplayInterface() const { return m_displayInterface; }
  int32_t getClearedWord(int i) const { return m_clearedWords[i]; }
  uint8_t isReady() const { return m_ready; }

 private:
  // The notice's frame: true when the tick goes on with a game frame.
  bool showNotEnoughSpace();
  void drawNotice();

  int32_t m_unused0[3] = {};
  void* m_shellInterface = nullptr;  // timers; not provided by this host
  int32_t m_unused1 = 0;
  void* m_displayInterface = nullptr;  // text drawing; not provided by this host
  int32_t m_unused2[2] = {};
  AppletGameBridge* m_bridge = nullptr;
  uint8_t m_ready = 0;
  MutableImage* m_backBuffer = nullptr;
  ScreenFlush m_screenFlush;
  int32_t m_clearedWords[2] = {};
  int32_t m_unused3[4] = {};
  GlContext* m_glContext = nullptr;
  ShellBitmap* m_screenBitmaps[2] = {};  // created at init, released with the applet
};

// Virtual key index of a shell key code: key 8 gives 20 (back), any other 23.
int32_t ConvertKey(ApplicationImpl* applet, int32_t key);

ApplicationImpl* getApplicationImpl();
void* getBackBufferData();
void* getShellInterface();
void* getDisplayInterface();
int32_t getAppletWord();
uint8_t initApplet(ApplicationImpl* applet);
void releaseApplet(ApplicationImpl* applet);
uint8_t handleAppletEvent(ApplicationImpl* applet, uint32_t event, uint32_t parameter);

// Registers the applet and the game-field operations with the shell. The
// program calls it before the shell starts the applet.
void registerApplet();
