// Start-up loading (state 5), the bank slots, the loading hint and the saved
// background that the menu paints start from.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "windows_brew/memory/MemoryManager.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {
constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kLoadingX = 120;
constexpr int32_t kLoadingY = 160;
}  // namespace

ASprite* parseBank(cGame& game, int32_t entry) {
  const int32_t offset = getBarEntryOffset(game, entry);
  const int32_t size = getBarEntrySize(game, entry);
  const char* name = game.m_bar.name ? game.m_bar.name : "(no archive)";
  // The game cannot go on without a bank it reads (the archive itself was
  // reported when it did not open).
  if (!game.m_bar.data || offset < 0 || size <= 0 || offset > game.m_bar.size || size > game.m_bar.size - offset) {
    debugTrace("%s: entry %d missing; its bank stays empty\n", name, entry);
    if (game.m_bar.data) reportBadEntry(game, entry);
    return nullptr;
  }
  ASprite* bank = new ASprite();
  if (!bank->load(game.m_bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size))) {
    debugTrace("%s: entry %d is not a sprite bank; its bank stays empty\n", name, entry);
    reportBadEntry(game, entry);
    delete bank;
    return nullptr;
  }
  return bank;
}

void buildBank(cGame& game, ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  if (!bank || build == cGame::k_buildNone) return;
  if (alpha) bank->usesRgbImages = 1;
  if (build == cGame::k_buildAll) {
    for (int32_t p = 0; p < bank->paletteCount; ++p) bank->buildCacheImagesWithAlpha(p, 0, -1, -1, alphaSource);
  } else {
    bank->buildCacheImagesWithAlpha(build < bank->paletteCount ? build : 0, 0, -1, -1, alphaSource);
  }
  if (freeData) bank->freeModuleData();
}

ASprite* makeBank(cGame& game, int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  ASprite* bank = parseBank(game, entry);
  buildBank(game, bank, build, alpha, freeData, alphaSource);
  return bank;
}

void freeSprite(cGame& game, int32_t slot) {
  if (slot < 0 || slot >= cGame::k_spriteSlotCount) return;
  delete game.m_sprites[slot];
  game.m_sprites[slot] = nullptr;
}

void fillSprite(cGame& game, int32_t slot, int32_t entry, int32_t build, bool alpha, bool freeData) {
  if (slot < 0 || slot >= cGame::k_spriteSlotCount) return;
  freeSprite(game, slot);
  game.m_sprites[slot] = makeBank(game, entry, build, alpha, freeData);
}

void freeMatchBanks(cGame& game) {
  delete game.m_matchPlayerH;
  game.m_matchPlayerH = nullptr;
  delete game.m_matchPlayerI;
  game.m_matchPlayerI = nullptr;
  for (ASprite*& bank : game.m_matchBanks) {
    delete bank;
    bank = nullptr;
  }
}

// Everything the loading states made; run by the destructor.
void freeSprites(cGame& game) {
  for (int32_t i = 0; i < cGame::k_spriteSlotCount; ++i) freeSprite(game, i);
  freeMatchBanks(game);
  delete game.m_loadingPlayer;
  game.m_loadingPlayer = nullptr;
  delete game.m_loadingBank;
  game.m_loadingBank = nullptr;
  delete game.m_logoPlayer;
  game.m_logoPlayer = nullptr;
  delete game.m_logoBank;
  game.m_logoBank = nullptr;
  delete game.m_unusedBank;
  game.m_unusedBank = nullptr;
  for (int32_t f = 0; f < 2; ++f) {
    delete game.m_fonts[f];
    game.m_fonts[f] = nullptr;
  }
  game.m_backLayer = nullptr;
  delete game.m_savedBackground;
  game.m_savedBackground = nullptr;
  game.m_savedBackgroundGraphics = nullptr;
  delete game.m_secondBufferImage;
  game.m_secondBufferImage = nullptr;
  game.m_secondBufferGraphics = nullptr;
}

bool takeCharMap(cGame& game, uint8_t* map, int32_t size) {
  delete[] game.m_charMap;
  game.m_charMap = map;
  game.m_charMapCount = map && size > 0 ? size / 2 : 0;
  // The fonts look every character code (0-255) up in it.
  if (game.m_charMapCount < 128) {
    delete[] game.m_charMap;
    game.m_charMap = nullptr;
    game.m_charMapCount = 0;
  }
  for (ASprite* font : {game.m_fonts[0], game.m_fonts[1]})
    if (font) font->setCharMap(game.m_charMap);
  return game.m_charMap != nullptr;
}

bool updateLoadInit(cGame& game) {
  if (game.m_subState == k_subStateInit) {
    game.s_loadingStep = 0;
    game.m_loadingStepCount = cGame::k_loadInitSteps;
    game.m_subState = k_subStateUpdate;
  }
  switch (game.s_loadingStep) {
    case 0:
      game.resetLanguage();
      checkDataFiles(game);
      break;
    case 1:
      loadStrings(game, 0);
      break;
    case 2: {
      loadBar(game, "i.bar");
      delete game.m_logoBank;
      game.m_logoBank = makeBank(game, 1, 0, false, false);
      delete game.m_unusedBank;
      game.m_unusedBank = makeBank(game, 0, cGame::k_buildNone, false, false);
      for (int32_t f = 0; f < 2; ++f) {
        delete game.m_fonts[f];
        game.m_fonts[f] = makeBank(game, 3 + f, cGame::k_buildAll, false, true);
        game.m_fontLineHeight[f] = game.m_fonts[f] ? game.m_fonts[f]->getFontHeight() : 0;
      }
      if (!takeCharMap(game, getBarEntryCopy(game, k_interfaceEntryCharMap),
                       getBarEntrySize(game, k_interfaceEntryCharMap)) &&
          game.m_bar.data)
        reportBadEntry(game, k_interfaceEntryCharMap);
      delete game.m_loadingPlayer;
      game.m_loadingPlayer = nullptr;
      delete game.m_loadingBank;
      game.m_loadingBank = makeBank(game, 6, 0, false, true);
      if (game.m_loadingBank)
        game.m_loadingPlayer = new SpriteAnimPlayer(game.m_loadingBank, kLoadingX, kLoadingY, nullptr);
      unloadBar(game);
      break;
    }
    case 3:
      initSound(game);
      break;
    case 4:
      if (game.m_secondBufferOn && !game.m_secondBufferImage) {
        game.m_secondBufferImage = new MutableImage(kScreenW, kScreenH, 16);
        game.m_secondBufferGraphics = game.m_secondBufferImage->getGraphics();
      }
      if (!game.m_savedBackground) {
        game.m_savedBackground = new MutableImage(kScreenW, kScreenH, 16);
        game.m_savedBackgroundGraphics = game.m_savedBackground->getGraphics();
      }
      game.m_backLayer = game.m_savedBackgroundGraphics;
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
  game.s_loadingStep += 1;
  return game.s_loadingStep >= game.m_loadingStepCount;
}

bool isLoadingAnimationOver(const cGame& game) {
  // Without a loading bank or animation 0 there is nothing to wait for.
  if (!game.m_loadingPlayer || !game.m_loadingBank || game.m_loadingBank->animCount <= 0) return true;
  return game.m_loadingPlayer->isAnimOver();
}

void pickLoadingHint(cGame& game) {
  const int32_t r = game.m_random ? game.m_random->nextInt(0, 9) : 0;
  game.m_loadingHint = r == game.m_loadingHint ? (r + 1) % 8 : r;
}

void paintLoadingBar(cGame& game, Graphics* g, int32_t y) {
  ASprite* bank = game.m_loadingBank;
  if (!g || !bank || game.m_loadingStepCount <= 0) return;
  const int32_t x0 = kLoadingX + (bank->getFrameModuleCount(13) > 0 ? bank->getFrameModuleX(13, 0) : 0);
  const int32_t w = bank->getFrameWidth(13);
  const int32_t step = game.s_loadingStep < game.m_loadingStepCount ? game.s_loadingStep : game.m_loadingStepCount;
  const int32_t filled = static_cast<int32_t>(static_cast<int64_t>(w) * step / game.m_loadingStepCount);
  bank->paintFrame(g, 12, kLoadingX, y, 0);
  g->setClip(x0, 0, filled, kScreenH);
  bank->paintFrame(g, 13, kLoadingX, y, 0);
  game.resetClip(g);
  bank->paintFrame(g, 14, x0 + filled, y, 0);
}

void drawSavedBackground(cGame& game, Graphics* g) {
  Image* screen = g ? g->getTarget() : nullptr;
  const MutableImage* bg = game.m_savedBackground;
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
  const MutableImage* bg = game.m_savedBackground;
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
