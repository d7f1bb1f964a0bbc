// The program is the layer's entry (wince_main) running the host's WinMain;
// the applet library registers itself with the shell.
#include "windows_brew/Host.h"

// Keeps the host's entry in the link.
[[maybe_unused]] static int (*const s_entry)(HINSTANCE, HINSTANCE, LPWSTR, int) = &WinMain;
