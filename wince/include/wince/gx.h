// Game API: taking the hardware keys. Recorded, answers success.
#pragma once

#include "wince/windows.h"

int GXOpenInput();
int GXCloseInput();
