#include "windows_brew/ShellHost.h"

// Stylus contacts are not passed on yet.
void ShellHost::pointerPressed(int32_t, int32_t) {}
void ShellHost::pointerDragged(int32_t, int32_t) {}
void ShellHost::pointerReleased(int32_t, int32_t) {}
