// The program is the layer's entry running the host's WinMain; it takes
// options only (an argument of any other kind is refused). It wires the
// pieces together: before the shell starts, the applet is registered with
// the shell; the game is reached through the applet's createGame, which this
// link resolves from the game library.
#include "platform/brew/ApplicationImpl.h"
#include "wince/layer.h"
#include "windows_brew/Host.h"

namespace {
const bool s_registered = (registerApplet(), true);
}  // namespace

// Keeps the host's entry in the link.
[[gnu::used]] static int (*const s_entry)(HINSTANCE, HINSTANCE, LPWSTR, int) = &WinMain;

int main(int argc, char** argv) { return wince::runProgram(argc, argv, true); }
