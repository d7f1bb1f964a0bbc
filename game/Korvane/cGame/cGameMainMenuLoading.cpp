// Main-menu loading (state 20): interfaces, the menu banks and the sounds,
// one step a frame, then the first-run question, the main menu or the screen
// a cancelled match loading came from.
#include <iterator>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
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
  Graphics* bg = g.m_savedBackgroundGraphics;
  if (!bg) return;
  g.resetClip(bg);
  bg->setColor(0xFF000000);
  bg->fillRect(0, 0, 240, 320);
  if (g.m_fonts[0]) g.m_fonts[0]->setCurrentPalette(0);
  g.drawString(bg, g.m_fonts, 46, 0, 120, y, 0x420);
}
}  // namespace

bool cGame::isSpriteKept(int32_t slot) {
  namespace F = interfaceformat;
  for (const KeptElement& k : kKeptElements) {
    const int16_t* e = getInterfaceElement(k.interface, k.element);
    if (e && e[F::kWordType] == F::kSprite && getElementParamCount(k.interface, k.element) > F::kSpriteBank &&
        e[F::kWordParams + F::kSpriteBank] == slot)
      return true;
  }
  return false;
}

void cGame::freeMatchResources() {
  for (int32_t i = 0; i < k_spriteSlotCount; ++i)
    if (i != 1) freeSprite(i);
  freeMatchBanks();
  freeTable();
  releaseAI();
  unload3DView();
  ballViewOpen = 0;  // a match left with its view open
}

void cGame::runMainMenuLoadingStep(int32_t step) {
  // A bank of the pub and map archives: palette 0, raw data kept while an
  // interface element shows it.
  auto kept = [this](int32_t slot, int32_t entry, bool buildKept) {
    const bool keep = isSpriteKept(slot);
    fillSprite(slot, entry, keep && !buildKept ? k_buildNone : 0, false, !keep);
  };
  switch (step) {
    case 1:
      for (ASprite* bank : m_matchBanks)
        if (bank) {
          freeMatchResources();
          break;
        }
      break;
    case 2:
      stopAllSounds();
      onSoundsStopped();
      break;
    case 3:
      loadBar("interf.bar");
      break;
    case 4:
      loadInterfaces();
      unloadBar();
      break;
    case 6:
      loadBar("menu.bar");
      break;
    case 7:
      for (int32_t i = 0; i <= 5; ++i) fillSprite(i, i, k_buildAll, i == 1 || i == 3 || i == 5, true);
      break;
    case 8:
      for (int32_t i = 6; i <= 12; ++i) fillSprite(i, i, k_buildAll, false, true);
      unloadBar();
      break;
    case 9:
      loadBar("chr.bar");
      break;
    case 10:
      for (int32_t i = 0; i <= 5; ++i) fillSprite(13 + i, i, 0, false, true);
      break;
    case 11:
      for (int32_t i = 6; i <= 12; ++i) {
        const int32_t slot = 13 + i;
        fillSprite(slot, i, slot == 25 ? k_buildNone : 0, false, slot != 24 && slot != 25);
      }
      unloadBar();
      break;
    case 12:
      loadBar("pub.bar");
      break;
    case 13:
      for (int32_t i = 0; i <= 9; ++i) kept(26 + i, i, true);
      break;
    case 14:
      for (int32_t i = 10; i <= 20; ++i) {
        const int32_t slot = 26 + i;
        if (slot == 40 || slot == 41)
          fillSprite(slot, i, k_buildNone, false, false);
        else
          kept(slot, i, true);
      }
      unloadBar();
      break;
    case 15:
      loadBar("map.bar");
      break;
    case 16:
    case 17: {
      const int32_t first = step == 16 ? 0 : 6, last = step == 16 ? 5 : 12;
      for (int32_t i = first; i <= last; ++i) {
        const int32_t slot = 47 + i;
        if (slot == 47)
          fillSprite(slot, i, k_buildNone, false, false);
        else
          kept(slot, i, false);
      }
      if (step == 17) unloadBar();
      break;
    }
    case 18:
      loadBar("loc.bar");
      break;
    case 19:
      for (int32_t i = 0; i <= 3; ++i) fillSprite(60 + i, i, k_buildNone, false, false);
      break;
    case 20:
      for (int32_t i = 4; i <= 8; ++i) fillSprite(60 + i, i, k_buildNone, false, false);
      unloadBar();
      break;
    case 38:
      updateEquippedItems(*this);
      break;
    case 44:
      m_menusOverMatch = 0;
      break;
    default:
      if (step >= 22 && step <= 36 && m_firstLoad) loadSound(step - 22);
      break;
  }
}

void cGame::updateMainMenuLoading() {
  if (m_subState == k_subStateInit) {
    s_loadingStep = 0;
    m_loadingStepCount = k_mainMenuLoadingSteps;
    if (m_loadingPlayer) {
      m_loadingPlayer->resetAnim();
      m_loadingPlayer->setAnim(0);
    }
    m_redrawCounters[0] += 1;
    clearAchievementNotices();
    pickLoadingHint();
    m_loadingScreenUp = 1;
    m_subState = k_subStateUpdate;
  }
  if (m_keys.isPressed(kBackKey)) {
    if (m_firstLoad) {
      m_quitRequested = 1;
      if (AppletGameBridge* bridge = getAppletGameBridge())
        if (bridge->getGame() == static_cast<GameBase*>(this)) bridge->requestQuit();
    } else if (!m_pendingSetByMatchLoading) {
      m_pendingReturnState = -1;
    }
  }
  if (s_loadingStep >= m_loadingStepCount) {
    if (!isLoadingAnimationOver()) return;
    m_loadingScreenUp = 0;
    if (m_pendingReturnState != -1) {
      setState(m_pendingReturnState);
      m_pendingReturnState = -1;
    } else {
      setState(m_soundQuestionAsked ? k_stateMainMenu : k_stateFirstRunQuestion);
    }
    m_pendingSetByMatchLoading = 0;
    m_firstLoad = 0;
    return;
  }
  runMainMenuLoadingStep(s_loadingStep);
  s_loadingStep += 1;
}

void cGame::paintMainMenuLoading(Graphics* g) {
  if (m_previousState == k_stateLogo)
    paintMainMenuLoadingScreen(g);
  else
    paintGameLoadingScreen(g);
}

void cGame::paintMainMenuLoadingScreen(Graphics* g) {
  if (m_redrawCounters[0] > 0) paintBackgroundText(*this, 150);
  drawSavedBackground(g);
  if (s_loadingStep < m_loadingStepCount) {
    paintLoadingBar(g, 160);
  } else if (m_loadingPlayer) {
    if (g) m_loadingPlayer->paint(g);
    m_loadingPlayer->update();
  }
}

void cGame::paintGameLoadingScreen(Graphics* g) {
  selectInterface(58);
  const int32_t y = getElementY(2) + getElementHeight(2) / 2;
  if (m_redrawCounters[0] > 0) {
    paintBackgroundText(*this, y - 10);
    if (m_backLayer) paintInterfaceLayer(true);
  }
  drawSavedBackground(g);
  if (s_loadingStep < m_loadingStepCount) {
    paintLoadingBar(g, y);
  } else {
    resetClip(g);
    if (m_loadingPlayer) {
      m_loadingPlayer->computeRect();
      m_loadingPlayer->update();
    }
  }
  drawElementText(0, 708);
  drawElementText(1, 709 + m_loadingHint);
}
