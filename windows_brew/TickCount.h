// The host's millisecond tick count: the platform's GetTickCount, which the
// headless backend runs on its virtual clock.
#pragma once

#include <cstdint>

uint32_t getTickCount();
