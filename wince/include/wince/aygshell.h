// Windows Mobile shell library calls the host makes. Both only record the
// call (wince/layer.h) and answer success.
#pragma once

#include "wince/windows.h"

#define SHFS_SHOWTASKBAR 0x0001u
#define SHFS_HIDETASKBAR 0x0002u
#define SHFS_SHOWSIPBUTTON 0x0004u
#define SHFS_HIDESIPBUTTON 0x0008u
#define SHFS_SHOWSTARTICON 0x0010u
#define SHFS_HIDESTARTICON 0x0020u

// Ordinal 65: task bar, input-panel button and start icon.
BOOL SHFullScreen(HWND window, DWORD state);
// Ordinal 21, called by the host with (window, 0) or (window, 2).
BOOL SHOrdinal21(HWND window, DWORD value);
