// The program is the layer's entry (wince_main) running the host's WinMain.
// Before it starts, the game hands its applet and its operations to the shell.
#include "windows_brew/Host.h"

#if KV_WITH_GAME
#include "game/Game/Game.h"

namespace {
const bool s_registered = (registerGame(), true);
}  // namespace
#endif

// Keeps the host's entry in the link.
[[gnu::used]] static int (*const s_entry)(HINSTANCE, HINSTANCE, LPWSTR, int) = &WinMain;
