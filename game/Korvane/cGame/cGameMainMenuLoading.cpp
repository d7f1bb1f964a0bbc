// Main-menu loading (state 20): interfaces, the menu banks and the sounds,
// one step a frame, then the first-run question, the main menu or the screen
// a cancelled match loading came from.
#include <iterator>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/AppletGameBridge.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {
constexpr uint32_t kBackKey = 0x100000;

// Interface sprite elements whose banks keep their raw module data.
struct KeptElement {
  int32_t interface;
  int32_t element;
};
constexpr KeptElement kKeptElements[] = {{21, 1},  {21, 3},  {21, 7}, {21, 23},
                                         {21, 24}, {21, 25}, {25, 3}, {32, 2}};

void paintBackgroundText(cGame& g, int32_t y) {
  Graphics* bg = g.loading.savedBackgroundGraphics;
  if (!bg) return;
  g.resetClip(bg);
  bg->setColor(0xFF000000);
  bg->fillRect(0, 0, 240, 320);
  if (g.text.fonts[0]) g.text.fonts[0]->setCurrentPalette(0);
  drawString(g, bg, g.text.fonts, 46, 0, 120, y, 0x420);
}
}  // namespace

bool isSpriteKept(cGame& game, int32_t slot) {
  namespace F = interfaceformat;
  for (const KeptElement& k : kKeptElements) {
    const int16_t* e = getInterfaceElement(game, k.interface, k.element);
    if (e && e[F::kWordType] == F::kSprite && getElementParamCount(game, k.interface, k.element) > F::kSpriteBank &&
        e[F::kWordParams + F::kSpriteBank] == slot)
      return true;
  }
  return false;
}

void freeMatchResources(cGame& game) {
  for (int32_t i = 0; i < k_spriteSlotCount; ++i)
    if (i != 1) freeSprite(game, i);
  freeMatchBanks(game);
  freeTable(game);
  releaseAI(game);
  unload3DView(game);
  game.ballView.open = 0;  // a match left with its view open
}

namespace {

// A bank of the pub and map archives: palette 0, raw data kept while an
// interface element shows it.
void fillKeptSprite(cGame& game, int32_t slot, int32_t entry, bool buildKept) {
  const bool keep = isSpriteKept(game, slot);
  fillSprite(game, slot, entry, keep && !buildKept ? k_buildNone : 0, false, !keep);
}

void fillMapSprites(cGame& game, int32_t first, int32_t last) {
  for (int32_t i = first; i <= last; ++i) {
    const int32_t slot = 47 + i;
    if (slot == 47)
      fillSprite(game, slot, i, k_buildNone, false, false);
    else
      fillKeptSprite(game, slot, i, false);
  }
}

template <int32_t kSound>
void loadSoundOnFirstLoad(cGame& game) {
  if (game.loading.firstLoad) loadSound(game, kSound);
}

using LoadingStep = void (*)(cGame&);

// One step a frame; an empty step is a frame of the bar alone.
const LoadingStep kSteps[] = {
    nullptr,
    // 1: a match left behind.
    [](cGame& g) {
      for (ASprite* bank : g.loading.matchBanks)
        if (bank) {
          freeMatchResources(g);
          break;
        }
    },
    [](cGame& g) {
      g.stopAllSounds();
      onSoundsStopped(g);
    },
    // 3: the interfaces.
    [](cGame& g) { loadBar(g, "interf.bar"); },
    [](cGame& g) {
      loadInterfaces(g);
      unloadBar(g);
    },
    nullptr,
    // 6: the menus.
    [](cGame& g) { loadBar(g, "menu.bar"); },
    [](cGame& g) {
      for (int32_t i = 0; i <= 5; ++i) fillSprite(g, i, i, k_buildAll, i == 1 || i == 3 || i == 5, true);
    },
    [](cGame& g) {
      for (int32_t i = 6; i <= 12; ++i) fillSprite(g, i, i, k_buildAll, false, true);
      unloadBar(g);
    },
    // 9: the characters.
    [](cGame& g) { loadBar(g, "chr.bar"); },
    [](cGame& g) {
      for (int32_t i = 0; i <= 5; ++i) fillSprite(g, 13 + i, i, 0, false, true);
    },
    [](cGame& g) {
      for (int32_t i = 6; i <= 12; ++i) {
        const int32_t slot = 13 + i;
        fillSprite(g, slot, i, slot == 25 ? k_buildNone : 0, false, slot != 24 && slot != 25);
      }
      unloadBar(g);
    },
    // 12: the pub.
    [](cGame& g) { loadBar(g, "pub.bar"); },
    [](cGame& g) {
      for (int32_t i = 0; i <= 9; ++i) fillKeptSprite(g, 26 + i, i, true);
    },
    [](cGame& g) {
      for (int32_t i = 10; i <= 20; ++i) {
        const int32_t slot = 26 + i;
        if (slot == 40 || slot == 41)
          fillSprite(g, slot, i, k_buildNone, false, false);
        else
          fillKeptSprite(g, slot, i, true);
      }
      unloadBar(g);
    },
    // 15: the map.
    [](cGame& g) { loadBar(g, "map.bar"); },
    [](cGame& g) { fillMapSprites(g, 0, 5); },
    [](cGame& g) {
      fillMapSprites(g, 6, 12);
      unloadBar(g);
    },
    // 18: the locations.
    [](cGame& g) { loadBar(g, "loc.bar"); },
    [](cGame& g) {
      for (int32_t i = 0; i <= 3; ++i) fillSprite(g, 60 + i, i, k_buildNone, false, false);
    },
    [](cGame& g) {
      for (int32_t i = 4; i <= 8; ++i) fillSprite(g, 60 + i, i, k_buildNone, false, false);
      unloadBar(g);
    },
    nullptr,
    // 22: the sounds, read once.
    loadSoundOnFirstLoad<0>, loadSoundOnFirstLoad<1>, loadSoundOnFirstLoad<2>, loadSoundOnFirstLoad<3>,
    loadSoundOnFirstLoad<4>, loadSoundOnFirstLoad<5>, loadSoundOnFirstLoad<6>, loadSoundOnFirstLoad<7>,
    loadSoundOnFirstLoad<8>, loadSoundOnFirstLoad<9>, loadSoundOnFirstLoad<10>, loadSoundOnFirstLoad<11>,
    loadSoundOnFirstLoad<12>, loadSoundOnFirstLoad<13>, loadSoundOnFirstLoad<14>,
    nullptr,
    // 38: the career's equipment.
    [](cGame& g) { updateEquippedItems(*(&g)); },
    nullptr, nullptr, nullptr, nullptr, nullptr,
    // 44: the menus are the front end's again.
    [](cGame& g) { g.frontEnd.menusOverMatch = 0; },
};
static_assert(std::size(kSteps) == k_mainMenuLoadingSteps);

}  // namespace

void runMainMenuLoadingStep(cGame& game, int32_t step) {
  if (step >= 0 && step < k_mainMenuLoadingSteps && kSteps[step]) kSteps[step](game);
}

void updateMainMenuLoading(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.loading.step = 0;
    game.loading.stepCount = k_mainMenuLoadingSteps;
    if (game.loading.player) {
      game.loading.player->resetAnim();
      game.loading.player->setAnim(0);
    }
    game.states.redrawCounters[0] += 1;
    clearAchievementNotices(game);
    pickLoadingHint(game);
    game.frontEnd.loadingScreenUp = 1;
    game.states.subState = k_subStateUpdate;
  }
  if (game.keys.isPressed(kBackKey)) {
    if (game.loading.firstLoad) {
      game.loading.quitRequested = 1;
      if (AppletGameBridge* bridge = getAppletGameBridge())
        if (bridge->getGame() == static_cast<GameBase*>((&game))) bridge->requestQuit();
    } else if (!game.loading.pendingSetByMatchLoading) {
      game.loading.pendingReturnState = -1;
    }
  }
  if (game.loading.step >= game.loading.stepCount) {
    if (!isLoadingAnimationOver(game)) return;
    game.frontEnd.loadingScreenUp = 0;
    if (game.loading.pendingReturnState != -1) {
      game.setState(game.loading.pendingReturnState);
      game.loading.pendingReturnState = -1;
    } else {
      game.setState(game.loading.soundQuestionAsked ? k_stateMainMenu : k_stateFirstRunQuestion);
    }
    game.loading.pendingSetByMatchLoading = 0;
    game.loading.firstLoad = 0;
    return;
  }
  runMainMenuLoadingStep(game, game.loading.step);
  game.loading.step += 1;
}

void paintMainMenuLoading(cGame& game, Graphics* g) {
  if (game.states.previousState == k_stateLogo)
    paintMainMenuLoadingScreen(game, g);
  else
    paintGameLoadingScreen(game, g);
}

void paintMainMenuLoadingScreen(cGame& game, Graphics* g) {
  if (game.states.redrawCounters[0] > 0) paintBackgroundText(game, 150);
  drawSavedBackground(game, g);
  if (game.loading.step < game.loading.stepCount) {
    paintLoadingBar(game, g, 160);
  } else if (game.loading.player) {
    if (g) game.loading.player->paint(g);
    game.loading.player->update();
  }
}

void paintGameLoadingScreen(cGame& game, Graphics* g) {
  selectInterface(game, 58);
  const int32_t y = getElementY(game, 2) + getElementHeight(game, 2) / 2;
  if (game.states.redrawCounters[0] > 0) {
    paintBackgroundText(game, y - 10);
    if (game.frontEnd.backLayer) paintInterfaceLayer(game, true);
  }
  drawSavedBackground(game, g);
  if (game.loading.step < game.loading.stepCount) {
    paintLoadingBar(game, g, y);
  } else {
    game.resetClip(g);
    if (game.loading.player) {
      game.loading.player->computeRect();
      game.loading.player->update();
    }
  }
  drawElementText(game, 0, k_textMatchLoadingTitle);
  drawElementText(game, 1, k_textLoadingHint0 + game.loading.hint);
}
