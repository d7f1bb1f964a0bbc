// Fuzzes the interface parser: each input is the entry bytes of an
// interface; every word of every element is read, as many parameters as the
// record carried or the code reads of any element, whichever is more.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/InterfaceParser.h"
#include "zul/memory/Debug.h"

namespace F = interfaceformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  const ParsedInterface parsed = parseInterface(3, data, static_cast<int32_t>(size));
  volatile int32_t sum = 0;
  for (int32_t i = 0; i < parsed.count; ++i) {
    const int16_t* e = parsed.elements[i];
    const int32_t params = std::max<int32_t>(parsed.paramCounts[i], F::kMinStoredParams);
    for (int32_t w = 0; w < F::kWordParams + params + F::kSpareWords; ++w) sum = sum + e[w];
    delete[] parsed.elements[i];
  }
  delete[] parsed.elements;
  delete[] parsed.paramCounts;
  return 0;
}
