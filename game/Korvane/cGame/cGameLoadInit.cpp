// Start-up loading (state 5), the bank slots, the loading hint and the saved
// background that the menu paints start from.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteAnimPlayer.h"
#include "zul/memory/Debug.h"

namespace {
constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kLoadingX = 120;
constexpr int32_t kLoadingY = 160;
}  // namespace

ASprite* parseBank(cGame& game, int32_t entry) {
  const int32_t offset = getBarEntryOffset(game, entry);
  const int32_t size = getBarEntrySize(game, entry);
  const char* name = game.files.bar.name ? game.files.bar.name : "(no archive)";
  // The game cannot go on without a bank it reads (the archive itself was
  // reported when it did not open).
  if (!game.files.bar.data || offset < 0 || size <= 0 || offset > game.files.bar.size ||
      size > game.files.bar.size - offset) {
    debugTrace("%s: entry %d missing; its bank stays empty\n", name, entry);
    if (game.files.bar.data) reportBadEntry(game, entry);
    return nullptr;
  }
  ASprite* bank = new ASprite();
  if (!bank->load(game.files.bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size))) {
    debugTrace("%s: entry %d is not a sprite bank; its bank stays empty\n", name, entry);
    reportBadEntry(game, entry);
    delete bank;
    return nullptr;
  }
  return bank;
}

// A bank whose pixel data does not decode is refused as its entry: it
// would paint as holes and stray pixels.
ASprite* refuseBank(cGame& game, ASprite* bank, int32_t entry) {
  debugTrace("%s: entry %d has pixel data that does not decode\n",
             game.files.bar.name ? game.files.bar.name : "(no archive)", entry);
  reportBadEntry(game, entry);
  delete bank;
  return nullptr;
}

ASprite* parseWholeBank(cGame& game, int32_t entry) {
  ASprite* bank = parseBank(game, entry);
  return bank && !bank->imageModulesDecode() ? refuseBank(game, bank, entry) : bank;
}

bool buildBank(cGame& /*game*/, ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  if (!bank) return true;
  if (build == k_buildNone) return bank->imageModulesDecode();
  if (alpha) bank->usesRgbImages = 1;
  bool whole = true;
  if (build == k_buildAll) {
    for (int32_t p = 0; p < bank->paletteCount; ++p)
      whole = bank->buildCacheImagesWithAlpha(p, 0, -1, -1, alphaSource) && whole;
  } else {
    whole = bank->buildCacheImagesWithAlpha(build < bank->paletteCount ? build : 0, 0, -1, -1, alphaSource);
  }
  if (freeData) bank->freeModuleData();
  return whole;
}

ASprite* makeBank(cGame& game, int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  ASprite* bank = parseBank(game, entry);
  if (!buildBank(game, bank, build, alpha, freeData, alphaSource)) return refuseBank(game, bank, entry);
  return bank;
}

void freeSprite(cGame& game, int32_t slot) {
  if (slot < 0 || slot >= k_spriteSlotCount) return;
  delete game.loading.sprites[slot];
  game.loading.sprites[slot] = nullptr;
}

void fillSprite(cGame& game, int32_t slot, int32_t entry, int32_t build, bool alpha, bool freeData) {
  if (slot < 0 || slot >= k_spriteSlotCount) return;
  freeSprite(game, slot);
  game.loading.sprites[slot] = makeBank(game, entry, build, alpha, freeData);
}

void freeMatchBanks(cGame& game) {
  delete game.loading.matchPlayerH;
  game.loading.matchPlayerH = nullptr;
  delete game.loading.matchPlayerI;
  game.loading.matchPlayerI = nullptr;
  for (ASprite*& bank : game.loading.matchBanks) {
    delete bank;
    bank = nullptr;
  }
}

// Everything the loading states made; run by the destructor.
void freeSprites(cGame& game) {
  for (int32_t i = 0; i < k_spriteSlotCount; ++i) freeSprite(game, i);
  freeMatchBanks(game);
  delete game.loading.player;
  game.loading.player = nullptr;
  delete game.loading.bank;
  game.loading.bank = nullptr;
  delete game.loading.logoPlayer;
  game.loading.logoPlayer = nullptr;
  delete game.loading.logoBank;
  game.loading.logoBank = nullptr;
  delete game.loading.unusedBank;
  game.loading.unusedBank = nullptr;
  for (int32_t f = 0; f < 2; ++f) {
    delete game.text.fonts[f];
    game.text.fonts[f] = nullptr;
  }
  game.frontEnd.backLayer = nullptr;
  delete game.loading.savedBackground;
  game.loading.savedBackground = nullptr;
  game.loading.savedBackgroundGraphics = nullptr;
  delete game.frontEnd.secondBufferImage;
  game.frontEnd.secondBufferImage = nullptr;
  game.frontEnd.secondBufferGraphics = nullptr;
}

bool takeCharMap(cGame& game, uint8_t* map, int32_t size) {
  delete[] game.text.charMap;
  game.text.charMap = map;
  game.text.charMapCount = map && size > 0 ? size / 2 : 0;
  // The fonts look every character code (0-255) up in it.
  if (game.text.charMapCount < 128) {
    delete[] game.text.charMap;
    game.text.charMap = nullptr;
    game.text.charMapCount = 0;
  }
  for (ASprite* font : {game.text.fonts[0], game.text.fonts[1]})
    if (font) font->setCharMap(game.text.charMap);
  return game.text.charMap != nullptr;
}

bool updateLoadInit(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.loading.step = 0;
    game.loading.stepCount = k_loadInitSteps;
    game.states.subState = k_subStateUpdate;
  }
  switch (game.loading.step) {
    case 0:
      resetLanguage(game);
      checkDataFiles(game);
      break;
    case 1:
      loadStrings(game, 0);
      break;
    case 2: {
      loadBar(game, "i.bar");
      delete game.loading.logoBank;
      game.loading.logoBank = makeBank(game, 1, 0, false, false);
      delete game.loading.unusedBank;
      game.loading.unusedBank = makeBank(game, 0, k_buildNone, false, false);
      for (int32_t f = 0; f < 2; ++f) {
        delete game.text.fonts[f];
        game.text.fonts[f] = makeBank(game, 3 + f, k_buildAll, false, true);
        game.loading.fontLineHeight[f] = game.text.fonts[f] ? game.text.fonts[f]->getFontHeight() : 0;
      }
      if (!takeCharMap(game, getBarEntryCopy(game, k_interfaceEntryCharMap),
                       getBarEntrySize(game, k_interfaceEntryCharMap)) &&
          game.files.bar.data)
        reportBadEntry(game, k_interfaceEntryCharMap);
      delete game.loading.player;
      game.loading.player = nullptr;
      delete game.loading.bank;
      game.loading.bank = makeBank(game, 6, 0, false, true);
      if (game.loading.bank)
        game.loading.player = new SpriteAnimPlayer(game.loading.bank, kLoadingX, kLoadingY, nullptr);
      unloadBar(game);
      break;
    }
    case 3:
      initSound(game);
      break;
    case 4:
      if (game.frontEnd.secondBufferOn && !game.frontEnd.secondBufferImage) {
        game.frontEnd.secondBufferImage = new MutableImage(kScreenW, kScreenH, 16);
        game.frontEnd.secondBufferGraphics = game.frontEnd.secondBufferImage->getGraphics();
      }
      if (!game.loading.savedBackground) {
        game.loading.savedBackground = new MutableImage(kScreenW, kScreenH, 16);
        game.loading.savedBackgroundGraphics = game.loading.savedBackground->getGraphics();
      }
      game.frontEnd.backLayer = game.loading.savedBackgroundGraphics;
      break;
    case 5:
      init3D(game);
      // Both records have their defaults before a new file is written.
      holdSaves(game, true);
      resetSettings(game);
      resetProgress(game);
      holdSaves(game, false);
      break;
    default:
      break;
  }
  game.loading.step += 1;
  return game.loading.step >= game.loading.stepCount;
}

bool isLoadingAnimationOver(const cGame& game) {
  // Without a loading bank or animation 0 there is nothing to wait for.
  if (!game.loading.player || !game.loading.bank || game.loading.bank->animCount <= 0) return true;
  return game.loading.player->isAnimOver();
}

void pickLoadingHint(cGame& game) {
  const int32_t r = game.engine.random ? game.engine.random->nextInt(0, 9) : 0;
  game.loading.hint = r == game.loading.hint ? (r + 1) % 8 : r;
}

void paintLoadingBar(cGame& game, Graphics* g, int32_t y) {
  ASprite* bank = game.loading.bank;
  if (!g || !bank || game.loading.stepCount <= 0) return;
  const int32_t x0 = kLoadingX + (bank->getFrameModuleCount(13) > 0 ? bank->getFrameModuleX(13, 0) : 0);
  const int32_t w = bank->getFrameWidth(13);
  const int32_t step = game.loading.step < game.loading.stepCount ? game.loading.step : game.loading.stepCount;
  const int32_t filled = static_cast<int32_t>(static_cast<int64_t>(w) * step / game.loading.stepCount);
  bank->paintFrame(g, 12, kLoadingX, y, 0);
  g->setClip(x0, 0, filled, kScreenH);
  bank->paintFrame(g, 13, kLoadingX, y, 0);
  game.resetClip(g);
  bank->paintFrame(g, 14, x0 + filled, y, 0);
}

void drawSavedBackground(cGame& game, Graphics* g) {
  Image* screen = g ? g->getTarget() : nullptr;
  const MutableImage* bg = game.loading.savedBackground;
  if (!screen || !bg || screen->getBitsPerPixel() != bg->getBitsPerPixel()) return;
  auto* dst = static_cast<uint8_t*>(screen->getPixels());
  const auto* src = static_cast<const uint8_t*>(bg->getPixels());
  if (!dst || !src || dst == src) return;
  const int32_t rows = std::min(screen->getHeight(), bg->getHeight());
  const int32_t bytes = std::min(screen->getWidth(), bg->getWidth()) * bg->getBitsPerPixel() / 8;
  for (int32_t y = 0; y < rows; ++y)
    std::memcpy(dst + static_cast<size_t>(y) * screen->getPitch(), src + static_cast<size_t>(y) * bg->getPitch(),
                static_cast<size_t>(bytes));
}

void drawSavedBackgroundScrolled(cGame& game, Graphics* g, int32_t n) {
  Image* screen = g ? g->getTarget() : nullptr;
  const MutableImage* bg = game.loading.savedBackground;
  if (!screen || !bg || screen->getBitsPerPixel() != 16 || bg->getBitsPerPixel() != 16) return;
  auto* dst = static_cast<uint8_t*>(screen->getPixels());
  const auto* src = static_cast<const uint8_t*>(bg->getPixels());
  if (!dst || !src || dst == src) return;
  const int32_t w = std::min(std::min(screen->getWidth(), bg->getWidth()), kScreenW);
  const int32_t rows = std::min(screen->getHeight(), bg->getHeight());
  if (w <= 0) return;
  n %= w;
  if (n < 0) n += w;
  for (int32_t y = 0; y < rows; ++y) {
    auto* d = reinterpret_cast<uint16_t*>(dst + static_cast<size_t>(y) * screen->getPitch());
    const auto* s = reinterpret_cast<const uint16_t*>(src + static_cast<size_t>(y) * bg->getPitch());
    std::memcpy(d, s + n, static_cast<size_t>(w - n) * 2);
    if (n > 0) std::memcpy(d + (w - n), s, static_cast<size_t>(n) * 2);
  }
}
