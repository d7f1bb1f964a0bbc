// The maker's logo (state 10): held for 4.5 seconds while the first menu
// banks load, then the main-menu loading.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {
constexpr int32_t kLogoX = 123;
constexpr int32_t kLogoY = 150;
constexpr uint32_t kLogoTime = 4501;  // ms
constexpr int32_t kMenuSlots[] = {0, 1, 2, 4, 6};
}  // namespace

void cGame::updateLogo() {
  if (m_subState == k_subStateInit) {
    delete m_logoPlayer;
    m_logoPlayer = nullptr;
    if (m_logoBank) {
      m_logoPlayer = new SpriteAnimPlayer(m_logoBank, kLogoX, kLogoY, nullptr);
      m_logoPlayer->flags |= SpriteAnimPlayer::kHold;
      m_logoPlayer->setAnim(0);
    }
    m_logoStartTime = m_gameClock;
    m_subState = k_subStateUpdate;
  }
  const uint32_t elapsed = m_gameClock - m_logoStartTime;
  if (static_cast<int32_t>(elapsed) >= 0 && elapsed < kLogoTime) return;
  delete m_logoPlayer;
  m_logoPlayer = nullptr;
  delete m_logoBank;
  m_logoBank = nullptr;
  loadBar("menu.bar");
  for (int32_t slot : kMenuSlots) fillSprite(slot, slot, k_buildAll, false, true);
  // The main-menu loading opens "menu.bar" again a few frames on: keep its
  // unpacked bytes for it.
  m_archives.setBarAside();
  setState(k_stateMainMenuLoading);
  loadSettings();
  loadProgress();
  delete[] m_record4;
  m_record4 = readSaveRecord(4);
}

void cGame::paintLogo(Graphics* g) {
  if (!g) {
    if (m_logoPlayer) m_logoPlayer->update();
    return;
  }
  resetClip(g);
  g->setColor(0xFF000000);
  g->fillRect(0, 0, 240, 320);
  if (m_logoPlayer) m_logoPlayer->update();
  const int32_t lineHeight = m_fonts[1] ? m_fonts[1]->getFontHeight() : 0;
  if (m_fonts[1] && m_fonts[1]->paletteCount > 1) m_fonts[1]->setCurrentPalette(1);
  drawWrappedString(g, m_fonts, 720, 1, 0, 209, 240, lineHeight, 0, 32);
  if (m_logoPlayer) m_logoPlayer->paint(g);
}

// ---------------------------------------------------- touch mapping and rows

const cGameScreen k_screenLogo = {k_stateLogo, [](cGame& g) { g.updateLogo(); },
                                  [](cGame& g, Graphics* t) { g.paintLogo(t); }, touch::mapNoButtons};
