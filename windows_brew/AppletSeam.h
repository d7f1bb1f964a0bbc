// How the shell reaches the applet and the game without depending on them.
// The applet library registers its operations with setAppletOps (or an
// AppletRegistrar); until then the shell runs a small built-in test applet.
#pragma once

#include <cstdint>

class cGame;

struct AppletOps {
  void* (*create)();                  // a new applet object, or null
  int (*init)(void* applet, int value);  // result of the applet's init
  void (*tick)(void* applet);         // one applet frame
  void (*release)(void* applet);      // frees the applet's members, not the applet
  void (*pause)(void* applet);        // the bridge's pause
  void (*unpause)(void* applet);      // the bridge's unpause
  bool (*isQuitRequested)(void* applet);
  cGame* (*getGame)(void* applet);
};

// Null restores the built-in test applet.
void setAppletOps(const AppletOps* ops);
const AppletOps* getAppletOps();
const AppletOps* getTestAppletOps();

struct AppletRegistrar {
  explicit AppletRegistrar(const AppletOps* ops) { setAppletOps(ops); }
};

// What the host reads and does of the game object. Every operation is given
// a non-null game. The game library registers its implementation; without
// one the host does nothing to the game.
struct HostGameOps {
  void (*setInterrupted)(cGame* game, uint8_t value);
  bool (*isSoundEnabled)(cGame* game);
  int32_t (*currentSoundId)(cGame* game);
  // On the game's current interface element array and count.
  void (*stopElementAnimations)(cGame* game);
  int (*stopAllSounds)(cGame* game);
  bool (*isAnySoundPlaying)(cGame* game);
};

void setHostGameOps(const HostGameOps* ops);
const HostGameOps* getHostGameOps();

struct HostGameRegistrar {
  explicit HostGameRegistrar(const HostGameOps* ops) { setHostGameOps(ops); }
};
