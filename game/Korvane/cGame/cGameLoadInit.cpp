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

ASprite* cGame::parseBank(int32_t entry) {
  const int32_t offset = getBarEntryOffset(entry);
  const int32_t size = getBarEntrySize(entry);
  const char* name = m_bar.name ? m_bar.name : "(no archive)";
  // The game cannot go on without a bank it reads (the archive itself was
  // reported when it did not open).
  if (!m_bar.data || offset < 0 || size <= 0 || offset > m_bar.size || size > m_bar.size - offset) {
    debugTrace("%s: entry %d missing; its bank stays empty\n", name, entry);
    if (m_bar.data) reportBadEntry(entry);
    return nullptr;
  }
  ASprite* bank = new ASprite();
  if (!bank->load(m_bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size))) {
    debugTrace("%s: entry %d is not a sprite bank; its bank stays empty\n", name, entry);
    reportBadEntry(entry);
    delete bank;
    return nullptr;
  }
  return bank;
}

void cGame::buildBank(ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  if (!bank || build == k_buildNone) return;
  if (alpha) bank->usesRgbImages = 1;
  if (build == k_buildAll) {
    for (int32_t p = 0; p < bank->paletteCount; ++p) bank->buildCacheImagesWithAlpha(p, 0, -1, -1, alphaSource);
  } else {
    bank->buildCacheImagesWithAlpha(build < bank->paletteCount ? build : 0, 0, -1, -1, alphaSource);
  }
  if (freeData) bank->freeModuleData();
}

ASprite* cGame::makeBank(int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource) {
  ASprite* bank = parseBank(entry);
  buildBank(bank, build, alpha, freeData, alphaSource);
  return bank;
}

void cGame::freeSprite(int32_t slot) {
  if (slot < 0 || slot >= k_spriteSlotCount) return;
  delete m_sprites[slot];
  m_sprites[slot] = nullptr;
}

void cGame::fillSprite(int32_t slot, int32_t entry, int32_t build, bool alpha, bool freeData) {
  if (slot < 0 || slot >= k_spriteSlotCount) return;
  freeSprite(slot);
  m_sprites[slot] = makeBank(entry, build, alpha, freeData);
}

void cGame::freeMatchBanks() {
  delete m_matchPlayerH;
  m_matchPlayerH = nullptr;
  delete m_matchPlayerI;
  m_matchPlayerI = nullptr;
  for (ASprite*& bank : m_matchBanks) {
    delete bank;
    bank = nullptr;
  }
}

// Everything the loading states made; run by the destructor.
void cGame::freeSprites() {
  for (int32_t i = 0; i < k_spriteSlotCount; ++i) freeSprite(i);
  freeMatchBanks();
  delete m_loadingPlayer;
  m_loadingPlayer = nullptr;
  delete m_loadingBank;
  m_loadingBank = nullptr;
  delete m_logoPlayer;
  m_logoPlayer = nullptr;
  delete m_logoBank;
  m_logoBank = nullptr;
  delete m_unusedBank;
  m_unusedBank = nullptr;
  for (int32_t f = 0; f < 2; ++f) {
    delete m_fonts[f];
    m_fonts[f] = nullptr;
  }
  m_backLayer = nullptr;
  delete m_savedBackground;
  m_savedBackground = nullptr;
  m_savedBackgroundGraphics = nullptr;
  delete m_secondBufferImage;
  m_secondBufferImage = nullptr;
  m_secondBufferGraphics = nullptr;
}

bool cGame::takeCharMap(uint8_t* map, int32_t size) {
  delete[] m_charMap;
  m_charMap = map;
  m_charMapCount = map && size > 0 ? size / 2 : 0;
  // The fonts look every character code (0-255) up in it.
  if (m_charMapCount < 128) {
    delete[] m_charMap;
    m_charMap = nullptr;
    m_charMapCount = 0;
  }
  for (ASprite* font : {m_fonts[0], m_fonts[1]})
    if (font) font->setCharMap(m_charMap);
  return m_charMap != nullptr;
}

bool cGame::updateLoadInit() {
  if (m_subState == k_subStateInit) {
    s_loadingStep = 0;
    m_loadingStepCount = k_loadInitSteps;
    m_subState = k_subStateUpdate;
  }
  switch (s_loadingStep) {
    case 0:
      resetLanguage();
      checkDataFiles();
      break;
    case 1:
      loadStrings(0);
      break;
    case 2: {
      loadBar("i.bar");
      delete m_logoBank;
      m_logoBank = makeBank(1, 0, false, false);
      delete m_unusedBank;
      m_unusedBank = makeBank(0, k_buildNone, false, false);
      for (int32_t f = 0; f < 2; ++f) {
        delete m_fonts[f];
        m_fonts[f] = makeBank(3 + f, k_buildAll, false, true);
        m_fontLineHeight[f] = m_fonts[f] ? m_fonts[f]->getFontHeight() : 0;
      }
      if (!takeCharMap(getBarEntryCopy(k_interfaceEntryCharMap), getBarEntrySize(k_interfaceEntryCharMap)) &&
          m_bar.data)
        reportBadEntry(k_interfaceEntryCharMap);
      delete m_loadingPlayer;
      m_loadingPlayer = nullptr;
      delete m_loadingBank;
      m_loadingBank = makeBank(6, 0, false, true);
      if (m_loadingBank) m_loadingPlayer = new SpriteAnimPlayer(m_loadingBank, kLoadingX, kLoadingY, nullptr);
      unloadBar();
      break;
    }
    case 3:
      initSound();
      break;
    case 4:
      if (m_secondBufferOn && !m_secondBufferImage) {
        m_secondBufferImage = new MutableImage(kScreenW, kScreenH, 16);
        m_secondBufferGraphics = m_secondBufferImage->getGraphics();
      }
      if (!m_savedBackground) {
        m_savedBackground = new MutableImage(kScreenW, kScreenH, 16);
        m_savedBackgroundGraphics = m_savedBackground->getGraphics();
      }
      m_backLayer = m_savedBackgroundGraphics;
      break;
    case 5:
      init3D();
      // Both records have their defaults before a new file is written.
      holdSaves(true);
      resetSettings();
      resetProgress();
      holdSaves(false);
      break;
    default:
      break;
  }
  s_loadingStep += 1;
  return s_loadingStep >= m_loadingStepCount;
}

bool cGame::isLoadingAnimationOver() const {
  // Without a loading bank or animation 0 there is nothing to wait for.
  if (!m_loadingPlayer || !m_loadingBank || m_loadingBank->animCount <= 0) return true;
  return m_loadingPlayer->isAnimOver();
}

void cGame::pickLoadingHint() {
  const int32_t r = m_random ? m_random->nextInt(0, 9) : 0;
  m_loadingHint = r == m_loadingHint ? (r + 1) % 8 : r;
}

void cGame::paintLoadingBar(Graphics* g, int32_t y) {
  ASprite* bank = m_loadingBank;
  if (!g || !bank || m_loadingStepCount <= 0) return;
  const int32_t x0 = kLoadingX + (bank->getFrameModuleCount(13) > 0 ? bank->getFrameModuleX(13, 0) : 0);
  const int32_t w = bank->getFrameWidth(13);
  const int32_t step = s_loadingStep < m_loadingStepCount ? s_loadingStep : m_loadingStepCount;
  const int32_t filled = static_cast<int32_t>(static_cast<int64_t>(w) * step / m_loadingStepCount);
  bank->paintFrame(g, 12, kLoadingX, y, 0);
  g->setClip(x0, 0, filled, kScreenH);
  bank->paintFrame(g, 13, kLoadingX, y, 0);
  resetClip(g);
  bank->paintFrame(g, 14, x0 + filled, y, 0);
}

void cGame::drawSavedBackground(Graphics* g) {
  Image* screen = g ? g->getTarget() : nullptr;
  const MutableImage* bg = m_savedBackground;
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

void cGame::drawSavedBackgroundScrolled(Graphics* g, int32_t n) {
  Image* screen = g ? g->getTarget() : nullptr;
  const MutableImage* bg = m_savedBackground;
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
