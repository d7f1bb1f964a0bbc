// Fuzzes the game's element readers over whatever the interface parser
// makes (the parser alone is fuzz_interfaces): each input is the entry bytes
// of an interface (also loaded as interface 56), which is armed, timed,
// painted in both passes, drawn into, and read and changed through every
// accessor.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "tools/spritebank/SpriteBankWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/MutableImage.h"
#include "zul/memory/Debug.h"

namespace {

std::unique_ptr<ASprite> makeBank(int frames, int moduleSize) {
  spritebank::Bank b;
  b.palettes = {{0, 0xFFFFFFFF, 0xFF808080}, {0, 0xFFFF0000, 0xFF00FF00}};
  for (int f = 0; f < frames; ++f) {
    b.modules.push_back(spritebank::Module::image(moduleSize, moduleSize,
                                                  std::vector<uint8_t>(static_cast<size_t>(moduleSize * moduleSize),
                                                                       static_cast<uint8_t>(f % 3))));
    b.frames.push_back({{{f, 0, 0, 0, 0}}});
  }
  b.anims.push_back({{{0, 1}, {1, 1}}});
  b.anims.push_back({});
  b.anims.push_back({{{2, 1}}});
  b.flags = b.minimalFlags();
  std::vector<uint8_t> bytes = spritebank::writeBank(b);
  auto s = std::make_unique<ASprite>();
  s->load(bytes.data(), 0, static_cast<uint32_t>(bytes.size()));
  for (int p = 0; p < s->paletteCount; ++p) s->buildCacheImages(p, 0, -1, -1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  static MutableImage screen(240, 320, 16);
  static MutableImage back(240, 320, 16);
  static std::unique_ptr<ASprite> banks[2] = {makeBank(4, 8), makeBank(3, 5)};
  static std::vector<uint8_t> map = [] {
    std::vector<uint8_t> m(900, 0);
    for (int c = 33; c < 127; ++c) m[static_cast<size_t>(2 * c)] = static_cast<uint8_t>(c % 3);
    return m;
  }();
  const int32_t n = static_cast<int32_t>(size);
  auto game = std::make_unique<cGame>(&screen);
  game->frontEnd.backLayer = back.getGraphics();
  game->loading.sprites[0] = banks[0].get();
  game->loading.sprites[1] = banks[1].get();
  game->text.fonts[0] = banks[0].get();
  game->text.charMap = new uint8_t[map.size()];
  std::copy(map.begin(), map.end(), game->text.charMap);
  game->text.charMapCount = static_cast<int32_t>(map.size() / 2);
  game->interfaces.interfaceAnimations = size > 0 ? data[0] & 1 : 1;
  game->states.gameState = size > 1 && (data[1] & 1) ? k_stateTournamentStage : k_stateQuestion;
  game->states.previousState = k_stateMainMenu;
  game->states.inGame = size > 1 ? (data[1] >> 1) & 1 : 0;
  game->frontEnd.wideMessages = size > 1 ? (data[1] >> 2) & 1 : 0;
  game->frame.frameTime = 40;
  loadInterface(*game, 3, data, n);
  loadInterface(*game, 56, data, n);
  selectInterface(*game, 3);
  startInterfaceAnimation(*game);
  const int32_t count = getInterfaceElementCount(*game, 3);
  for (int frame = 0; frame < 3; ++frame) {
    updateInterfaceTimers(*game);
    paintInterfaceLayer(*game, true);
    paintInterfaceAt(*game, 3, -2, false);
    for (int32_t i = -1; i <= count; ++i) {
      drawElementString(*game, i, "ab %n\\nc");
      drawElementText(*game, i, 0);
      paintSpriteElementAltPalette(*game, i, 1, 1, false, back.getGraphics(), true);
    }
  }
  for (int32_t i = -1; i <= count; ++i) {
    getElementAlignFlags(*game, i);
    getInterfaceElementAnim(*game, -1, i);
    drawElementWrappedText(*game, i, 1);
    setElementAnim(*game, i, i);
    setElementPalette(*game, i, 1);
    setInterfaceElementSprite(*game, 3, i, i % 3);
    setElementY(*game, -1, i, getElementX(*game, i) + getElementWidth(*game, i));
  }
  updateMenuArrows(*game, 0, count - 1, true);
  copyInterfacePanel(*game, 56, 3);
  paintSoftKeysAt(*game, 29, 5, 300);
  paintSoftKeys(*game, 5, 6);
  resetInterfaceAnimation(*game, false);
  stopElementAnimations(*game, game->interfaces.lists[56]);
  loadInterfaces(*game);  // no archive open: every interface empty
  paintInterface(*game);
  // The banks are this harness's, not the game's.
  game->loading.sprites[0] = nullptr;
  game->loading.sprites[1] = nullptr;
  game->text.fonts[0] = nullptr;
  return 0;
}
