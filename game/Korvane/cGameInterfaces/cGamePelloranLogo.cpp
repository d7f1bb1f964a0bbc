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
  if (game.states.subState == k_subStateInit) {
    delete game.loading.logoPlayer;
    game.loading.logoPlayer = nullptr;
    if (game.loading.logoBank) {
      game.loading.logoPlayer = new SpriteAnimPlayer(game.loading.logoBank, kLogoX, kLogoY, nullptr);
      game.loading.logoPlayer->flags |= SpriteAnimPlayer::kHold;
      game.loading.logoPlayer->setAnim(0);
    }
    game.loading.logoStartTime = game.frame.gameClock;
    game.states.subState = k_subStateUpdate;
  }
  const uint32_t elapsed = game.frame.gameClock - game.loading.logoStartTime;
  if (static_cast<int32_t>(elapsed) >= 0 && elapsed < kLogoTime) return;
  delete game.loading.logoPlayer;
  game.loading.logoPlayer = nullptr;
  delete game.loading.logoBank;
  game.loading.logoBank = nullptr;
  loadBar(game, "menu.bar");
  for (int32_t slot : kMenuSlots) fillSprite(game, slot, slot, k_buildAll, false, true);
  // The main-menu loading opens "menu.bar" again a few frames on: keep its
  // unpacked bytes for it.
  game.files.archives.setBarAside();
  game.setState(k_stateMainMenuLoading);
  loadSettings(game);
  loadProgress(game);
  delete[] game.files.record4;
  game.files.record4 = readSaveRecord(game, 4);
}

void paintLogo(cGame& game, Graphics* g) {
  if (!g) {
    if (game.loading.logoPlayer) game.loading.logoPlayer->update();
    return;
  }
  game.resetClip(g);
  g->setColor(0xFF000000);
  g->fillRect(0, 0, 240, 320);
  if (game.loading.logoPlayer) game.loading.logoPlayer->update();
  const int32_t lineHeight = game.text.fonts[1] ? game.text.fonts[1]->getFontHeight() : 0;
  if (game.text.fonts[1] && game.text.fonts[1]->paletteCount > 1) game.text.fonts[1]->setCurrentPalette(1);
  drawWrappedString(game, g, game.text.fonts, 720, 1, 0, 209, 240, lineHeight, 0, 32);
  if (game.loading.logoPlayer) game.loading.logoPlayer->paint(g);
}

// ---------------------------------------------------- touch mapping and rows

const cGameScreen k_screenLogo = {k_stateLogo, updateLogo, paintLogo, touch::mapNoButtons};
