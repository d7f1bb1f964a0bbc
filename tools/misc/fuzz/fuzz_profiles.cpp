// Fuzzes the reader of the computer opponent's profiles: each input is entry
// 0 of an open "misc.bar", read as the match loading reads it, and every
// value of every profile is then looked up.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "zul/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  if (size > (1u << 16)) return 0;
  cGame game(nullptr);
  // The archive as loadBar leaves it: one entry, after a 10-byte table.
  const int32_t n = static_cast<int32_t>(size);
  BarArchive& bar = game.files.archives.m_bar;
  bar.name = "misc.bar";
  bar.count = 2;
  bar.offsets = new int32_t[2]{10, 10 + n};
  bar.data = new uint8_t[static_cast<size_t>(10 + n)]();
  if (n > 0) std::memcpy(bar.data + 10, data, size);
  bar.size = 10 + n;
  initAI(game);
  unloadBar(game);
  int64_t sum = 0;
  for (int32_t p = -1; p <= OpponentProfiles::kProfiles; ++p) {
    game.match.playerProfile[0] = game.match.playerProfile[1] = p;
    for (int32_t k = -1; k <= OpponentProfiles::kValues; ++k) sum += game.opponent.profiles.value(p, k);
    const Vector2 spot = getAIBreakPosition(game, 0);
    sum += int64_t{spot.x} + spot.y;
  }
  return sum == 1 ? 1 : 0;
}
