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

void updateLogo(cGame& game) {
  if (game.m_subState == k_subStateInit) {
    delete game.m_logoPlayer;
    game.m_logoPlayer = nullptr;
    if (game.m_logoBank) {
      game.m_logoPlayer = new SpriteAnimPlayer(game.m_logoBank, kLogoX, kLogoY, nullptr);
      game.m_logoPlayer->flags |= SpriteAnimPlayer::kHold;
      game.m_logoPlayer->setAnim(0);
    }
    game.m_logoStartTime = game.m_gameClock;
    game.m_subState = k_subStateUpdate;
  }
  const uint32_t elapsed = game.m_gameClock - game.m_logoStartTime;
  if (static_cast<int32_t>(elapsed) >= 0 && elapsed < kLogoTime) return;
  delete game.m_logoPlayer;
  game.m_logoPlayer = nullptr;
  delete game.m_logoBank;
  game.m_logoBank = nullptr;
  loadBar(game, "menu.bar");
  for (int32_t slot : kMenuSlots) fillSprite(game, slot, slot, cGame::k_buildAll, false, true);
  // The main-menu loading opens "menu.bar" again a few frames on: keep its
  // unpacked bytes for it.
  game.m_archives.setBarAside();
  game.setState(k_stateMainMenuLoading);
  loadSettings(game);
  loadProgress(game);
  delete[] game.m_record4;
  game.m_record4 = readSaveRecord(game, 4);
}

void paintLogo(cGame& game, Graphics* g) {
  if (!g) {
    if (game.m_logoPlayer) game.m_logoPlayer->update();
    return;
  }
  game.resetClip(g);
  g->setColor(0xFF000000);
  g->fillRect(0, 0, 240, 320);
  if (game.m_logoPlayer) game.m_logoPlayer->update();
  const int32_t lineHeight = game.m_fonts[1] ? game.m_fonts[1]->getFontHeight() : 0;
  if (game.m_fonts[1] && game.m_fonts[1]->paletteCount > 1) game.m_fonts[1]->setCurrentPalette(1);
  drawWrappedString(game, g, game.m_fonts, 720, 1, 0, 209, 240, lineHeight, 0, 32);
  if (game.m_logoPlayer) game.m_logoPlayer->paint(g);
}

// ---------------------------------------------------- touch mapping and rows

const cGameScreen k_screenLogo = {k_stateLogo, updateLogo, paintLogo, touch::mapNoButtons};
