// The backend behind the layer (private to it): headless (virtual clock,
// frames in memory) or SDL2 (a real window). The waveform audio output
// (wince/mmsystem.h, src/waveout.{h,cpp}) keeps each backend's half in that
// backend's folder (backend/headless/waveout_headless.cpp,
// backend/sdl/waveout_sdl.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "wince/layer.h"
#include "wince/windows.h"

namespace wince {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual BackendKind kind() const = 0;
  // Delivers what arrived: input is posted, activation sent. Called by
  // PeekMessageW and GetMessageW.
  virtual void pump() = 0;
  // GetMessageW found nothing: wait up to `timeoutMs` for something (headless:
  // move the clock to the next scripted event). False when nothing can ever
  // arrive.
  virtual bool wait(uint32_t timeoutMs) = 0;
  // PeekMessageW found nothing.
  virtual void idlePoll() = 0;
  // A frame reached the screen (240 x 320 RGB565); called only when the
  // backend shows frames.
  virtual void present(const uint16_t* screen) = 0;
  virtual bool showsFrames() const { return true; }
  // The main window was shown, hidden or minimised.
  virtual void windowState(bool visible, bool minimised) = 0;
  // A modal message box; returns the button id.
  virtual int messageBox(const std::string& text, const std::string& caption, UINT type) = 0;
  // The main window's title changed or it was created.
  virtual void windowCreated(const std::string& title) = 0;
};

Backend& backend();
bool isSdlBackend();
bool isHeadlessBackend();

// Called after every advance of the virtual clock (headless only), on the
// thread that advanced it, outside the layer's locks.
using ClockListener = void (*)(uint64_t nowMicros, void* user);
int addClockListener(ClockListener listener, void* user);
void removeClockListener(int id);

}  // namespace wince
