// The setup library's exports, with the argument lists the device's package
// installer calls them with. Only the parent window is used.
#pragma once

#include "wince/windows.h"

// Results: 0 lets the installer go on (the init calls) or tells it the call
// is done (the exit calls).
constexpr int kSetupContinue = 0;
constexpr int kSetupDone = 0;

extern "C" {

// Before installing. Does nothing.
int Install_Init(HWND parent, BOOL firstCall, BOOL previouslyInstalled, LPCWSTR installFolder);
// After installing: offers to start the game.
int Install_Exit(HWND parent, LPCWSTR installFolder, WORD failedDirs, WORD failedFiles, WORD failedRegKeys,
                 WORD failedRegValues, WORD failedShortcuts);
// Before removing: the same function as Install_Init.
int Uninstall_Init(HWND parent, LPCWSTR installFolder);
// After removing: offers to delete the saved data of the install folder.
int Uninstall_Exit(HWND parent);

}  // extern "C"

// Signatures of the exports, for programs that look them up.
using InstallInitFn = decltype(&Install_Init);
using InstallExitFn = decltype(&Install_Exit);
using UninstallInitFn = decltype(&Uninstall_Init);
using UninstallExitFn = decltype(&Uninstall_Exit);
