// Fuzzes the stylus-script parser: each input is a script's text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wince/layer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<wince::ScriptEvent> events;
  std::string error;
  const bool ok = wince::parseScript(std::string_view(reinterpret_cast<const char*>(data), size), events, &error);
  // A refused script says why; an accepted one is in time order.
  if (!ok && error.empty()) __builtin_trap();
  for (size_t i = 1; ok && i < events.size(); ++i)
    if (events[i].timeMs < events[i - 1].timeMs) __builtin_trap();
  return 0;
}
