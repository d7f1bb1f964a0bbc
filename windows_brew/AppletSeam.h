// How the shell reaches the applet and the game without depending on them.
// The program registers the applet's operations with setAppletOps; until
// then the shell runs a small built-in test applet. The game is seen only
// as its GameServices.
#pragma once

#include <cstdint>

class GameServices;

struct AppletOps {
  void* (*create)();                  // a new applet object, or null
  int (*init)(void* applet, int value);  // result of the applet's init
  void (*tick)(void* applet);         // one applet frame
  void (*release)(void* applet);      // frees the applet's members, not the applet
  void (*pause)(void* applet);        // the bridge's pause
  void (*unpause)(void* applet);      // the bridge's unpause
  bool (*isQuitRequested)(void* applet);
  GameServices* (*getGame)(void* applet);
};

// Null restores the built-in test applet.
void setAppletOps(const AppletOps* ops);
const AppletOps* getAppletOps();
const AppletOps* getTestAppletOps();
