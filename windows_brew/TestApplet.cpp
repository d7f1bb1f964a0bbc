// The built-in applet the shell runs when no other is registered: it counts
// its frames and marks the frame buffer's first pixel with the count.
#include <cstdlib>

#include "windows_brew/AppletSeam.h"
#include "windows_brew/ShellHost.h"

namespace {

struct TestApplet {
  uint32_t frames = 0;
  bool paused = false;
};

void* createApplet() { return new TestApplet(); }

int initApplet(void*, int) { return 1; }

void tickApplet(void* applet) {
  auto* a = static_cast<TestApplet*>(applet);
  if (a->paused) return;
  ++a->frames;
  if (ShellHost* shell = getShellHost()) shell->canvas().plotPixel(0, 0, static_cast<uint16_t>(a->frames));
}

void releaseApplet(void*) {}
void pauseApplet(void* applet) { static_cast<TestApplet*>(applet)->paused = true; }
void unpauseApplet(void* applet) { static_cast<TestApplet*>(applet)->paused = false; }
bool quitRequested(void*) { return false; }
GameServices* gameOf(void*) { return nullptr; }

const AppletOps kTestAppletOps = {createApplet, initApplet,   tickApplet,    releaseApplet,
                                  pauseApplet,  unpauseApplet, quitRequested, gameOf};

}  // namespace

const AppletOps* getTestAppletOps() { return &kTestAppletOps; }
