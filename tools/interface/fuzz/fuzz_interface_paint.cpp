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
#include "windows_brew/memory/Debug.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/MutableImage.h"

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
  game->m_backLayer = back.getGraphics();
  game->m_sprites[0] = banks[0].get();
  game->m_sprites[1] = banks[1].get();
  game->m_fonts[0] = banks[0].get();
  game->m_charMap = new uint8_t[map.size()];
  std::copy(map.begin(), map.end(), game->m_charMap);
  game->m_charMapCount = static_cast<int32_t>(map.size() / 2);
  game->m_interfaceAnimations = size > 0 ? data[0] & 1 : 1;
  game->s_gameState = size > 1 && (data[1] & 1) ? k_stateTournamentStage : k_stateQuestion;
  game->m_previousState = k_stateMainMenu;
  game->m_inGame = size > 1 ? (data[1] >> 1) & 1 : 0;
  game->m_wideMessages = size > 1 ? (data[1] >> 2) & 1 : 0;
  game->m_frameTime = 40;
  game->loadInterface(3, data, n);
  game->loadInterface(56, data, n);
  game->selectInterface(3);
  game->startInterfaceAnimation();
  const int32_t count = game->getInterfaceElementCount(3);
  for (int frame = 0; frame < 3; ++frame) {
    game->updateInterfaceTimers();
    game->paintInterfaceLayer(true);
    game->paintInterfaceAt(3, -2, false);
    for (int32_t i = -1; i <= count; ++i) {
      game->drawElementString(i, "ab %n\\nc");
      game->drawElementText(i, 0);
      game->paintSpriteElementAltPalette(i, 1, 1, false, back.getGraphics(), true);
    }
  }
  for (int32_t i = -1; i <= count; ++i) {
    game->getElementAlignFlags(i);
    game->getInterfaceElementAnim(-1, i);
    game->drawElementWrappedText(i, 1);
    game->setElementAnim(i, i);
    game->setElementPalette(i, 1);
    game->setInterfaceElementSprite(3, i, i % 3);
    game->setElementY(-1, i, game->getElementX(i) + game->getElementWidth(i));
  }
  game->updateMenuArrows(0, count - 1, true);
  game->copyInterfacePanel(56, 3);
  game->paintSoftKeysAt(29, 5, 300);
  game->paintSoftKeys(5, 6);
  game->resetInterfaceAnimation(false);
  game->stopElementAnimations(game->m_interfaces[56]);
  game->loadInterfaces();  // no archive open: every interface empty
  game->paintInterface();
  // The banks are this harness's, not the game's.
  game->m_sprites[0] = nullptr;
  game->m_sprites[1] = nullptr;
  game->m_fonts[0] = nullptr;
  return 0;
}
