// Opening sound files by their device path.
#pragma once

#include <cstdio>

// Opens a file named by a device path (install folder or root path) for
// binary reading; null when it does not exist.
FILE* openSoundFile(const char* devicePath);
