// Announcements of a career's progress: a challenge opened (340), a character
// opened (350), the special rival opened, and the end of the career (440).
// Opened by the unlock check over a match, the first three go back to it;
// opened from the pub, they go on to the pub.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/memory/Debug.h"

namespace {

constexpr uint32_t kPageDown = 8704;
constexpr int32_t kCharacters = 10;
constexpr int32_t kPortraitSlot0 = 13;
constexpr int32_t kLights = 12;

}  // namespace

namespace {

// The page of a text id laid out in a text element of the current interface.
void drawElementTextPage(cGame& g, int32_t element, int32_t textId, int32_t page) {
  const int16_t* e = getInterfaceElement(g, -1, element);
  Graphics* target = currentTarget(g);
  if (!e || !target) return;
  const int32_t font = getElementFont(g, element);
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !g.text.fonts[font]) return;
  const int32_t x = getElementX(g, element), y = getElementY(g, element);
  const int32_t w = getElementWidth(g, element), h = getElementHeight(g, element);
  target->setClip(x, y - 2, w, h + 2);
  drawWrappedString(g, target, g.text.fonts, textId, font, x, y, w, h, page, getElementAlignFlags(g, element));
  g.resetClip(target);
}

}  // namespace

// ---- the shared steps of the three announcements

namespace {

struct Announcement {
  int32_t interfaceId;
  int32_t textId;
  int32_t number;  // number parameter 0 of the paged text
};

void startAnnouncement(cGame& g, const Announcement& a) {
  setInterfaceElementVisible(g, k_interfaceHud, k_elPortrait0, false);
  setInterfaceElementVisible(g, k_interfaceHud, k_elPortrait0 + 1, false);
  g.matchResult.unlockInMatch = g.states.inGame == 1 ? 1 : 0;
  if (g.matchResult.unlockInMatch) captureTableBackground(g);
  selectInterface(g, a.interfaceId);
  if (g.matchResult.unlockInMatch)
    resetInterfaceAnimation(g, false);
  else
    startInterfaceAnimation(g);
  if (g.frontEnd.backLayer) {
    g.resetClip(g.frontEnd.backLayer);
    paintInterfaceLayer(g, true);
  }
  g.matchResult.unlockText = a.textId;
  g.matchResult.unlockPage = 0;
  setTextParam(g, 0, a.number);
  g.matchResult.unlockPageCount =
      std::clamp(drawElementWrappedText(g, k_unlockText, a.textId), 1, TextLayoutData::kMaxPages);
  g.text.layout.cacheKey = 0;
  g.states.subState = g.states.inGame == 1 ? k_subStateInGameUpdate : k_subStateUpdate;
}

// Pages, and on the last one select goes on: back to the check in a match,
// else to the pub.
void runAnnouncement(cGame& g, int32_t interfaceId) {
  selectInterface(g, interfaceId);
  updateInterfaceTimers(g);
  const bool more = g.matchResult.unlockPage < g.matchResult.unlockPageCount - 1;
  setElementVisible(g, k_unlockMorePages, more);
  if (more && g.keys.isPressed(k_keySelect | kPageDown)) {
    g.matchResult.unlockPage += 1;
    g.keys.lock(5);
    setElementVisible(g, k_unlockMorePages, g.matchResult.unlockPage < g.matchResult.unlockPageCount - 1);
  } else if (!more && g.keys.isPressed(k_keySelect)) {
    setInterfaceElementVisible(g, k_interfaceHud, k_elPortrait0, true);
    setInterfaceElementVisible(g, k_interfaceHud, k_elPortrait0 + 1, true);
    if (g.matchResult.unlockInMatch)
      checkUnlocks(g);
    else
      g.setState(k_statePub);
  } else if (!g.matchResult.unlockInMatch && g.keys.isPressed(k_keyBack)) {
    g.setState(k_stateMainMenu);
  }
}

void paintAnnouncement(cGame& g, Graphics* target, int32_t interfaceId, int32_t number, int32_t lineText) {
  selectInterface(g, interfaceId);
  setElementFrame(g, k_unlockButton, g.stylus.leftSoftHighlight ? k_uiFrameButtonPressed : k_uiFrameButton);
  g.resetClip(target);
  drawSavedBackground(g, target);
  paintInterface(g);
  setTextParam(g, 0, number);
  drawElementTextPage(g, k_unlockText, g.matchResult.unlockText, g.matchResult.unlockPage);
  drawElementText(g, k_unlockLine, lineText);
  drawElementText(g, k_unlockShared, k_textUnlockShared);
}

}  // namespace

// ---- challenge unlocked (340)

void updateChallengeUnlocked(cGame& game) {
  debugTrace("\n Challenge  s_challengeUnlocked");
  if (game.states.subState == k_subStateDestroy) return;
  CareerProgress& c = game.career.progress;
  if (game.states.subState == k_subStateInit) {
    const int32_t index = c.pendingChallengeIndex;
    if (index >= 0 && index < 8) {
      for (auto& category : c.challengeStates)
        if (category[index] == 0) {
          debugTrace("\n Challenge to unlock: %d", index);
          category[index] = 1;
        }
    }
    c.pendingChallengeUnlock = 0;
    saveProgress(game);
    startAnnouncement(game,
                      {k_interfaceChallengeUnlocked, k_textChallengeUnlockedPages, std::clamp(index, 0, 7) + 1});
    return;
  }
  runAnnouncement(game, k_interfaceChallengeUnlocked);
}

void paintChallengeUnlocked(cGame& game, Graphics* g) {
  paintAnnouncement(game, g, k_interfaceChallengeUnlocked,
                    std::clamp(game.career.progress.pendingChallengeIndex, 0, 7) + 1, k_textChallengeUnlocked);
}

// ---- character unlocked (350)

void updateCharacterUnlocked(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  CareerProgress& c = game.career.progress;
  if (game.states.subState == k_subStateInit) {
    const int32_t flag = countAvailableCharacters(game) - 1;
    if (flag >= 0 && flag < kCharacters) game.career.characterAvailable[flag] = 1;
    // The check reads the flag of the beaten slot + 1: with gaps in the
    // flags, setting only the count's would bring it back here for ever.
    const int32_t slot = c.pendingUnlockSlot;
    if (slot >= 1 && slot <= 8) game.career.characterAvailable[slot] = 1;
    game.matchResult.unlockCharacter = std::clamp(getRivalCharacter(game, std::clamp(slot, 1, 8)), 0, kCharacters - 1);
    setInterfaceElementSprite(game, k_interfaceCharacterUnlocked, k_unlockPortrait,
                              kPortraitSlot0 + game.matchResult.unlockCharacter);
    c.pendingCharacterUnlock = 0;
    saveSettings(game);
    saveProgress(game);
    startAnnouncement(game,
                      {k_interfaceCharacterUnlocked, k_textCharacterUnlockedPage0 + game.matchResult.unlockCharacter,
                       countAvailableCharacters(game) - 2});
    return;
  }
  runAnnouncement(game, k_interfaceCharacterUnlocked);
}

void paintCharacterUnlocked(cGame& game, Graphics* g) {
  paintAnnouncement(game, g, k_interfaceCharacterUnlocked, countAvailableCharacters(game) - 2,
                    k_textCharacterUnlocked);
}

// ---- special rival opened (no state of its own)

void updateSpecialRivalOpened(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    game.career.specialRivalOpen = 1;
    saveSettings(game);
    saveProgress(game);
    startAnnouncement(game, {k_interfaceChallengeUnlocked, k_textSpecialRivalPages, 0});
    return;
  }
  runAnnouncement(game, k_interfaceChallengeUnlocked);
}

void paintSpecialRivalOpened(cGame& game, Graphics* g) {
  paintAnnouncement(game, g, k_interfaceChallengeUnlocked, 0, k_textSpecialRivalOpened);
  paintSoftKeys(game, -1, k_textSoftOk);
}

// ---- career complete (440)

void updateCareerComplete(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceCareerComplete);
    startInterfaceAnimation(game);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    setInterfaceElementSprite(game, k_interfaceCareerComplete, k_careerEndPortrait,
                              kPortraitSlot0 + std::clamp(game.career.progress.character, 0, kCharacters - 1));
    game.matchResult.careerSecondPage = 0;
    game.states.subState = k_subStateUpdate;
    return;
  }
  updateInterfaceTimers(game);
  if (game.matchResult.careerSecondPage) return;
  const int32_t frame = k_lightFrame0 + static_cast<int32_t>((game.frame.gameClock % 250) * 3 / 250);
  for (int32_t i = 0; i < kLights; ++i) {
    const int32_t e = k_careerLight0 + i;
    setInterfaceElementFrame(game, k_interfaceCareerComplete, e, frame);
    if (game.engine.random && game.engine.random->nextInt(0, 2) == 1)
      setInterfaceElementVisible(game, k_interfaceCareerComplete, e, !isElementVisible(game, e));
  }
  // The touch sends the left soft key, which select's release mask leaves out.
  if (game.keys.isReleased(k_keySelect | k_keyBack)) game.setState(k_stateMainMenu);
}

void paintCareerComplete(cGame& game, Graphics* g) {
  selectInterface(game, game.matchResult.careerSecondPage ? k_interfaceCareerSecondPage : k_interfaceCareerComplete);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  if (game.matchResult.careerSecondPage) {
    drawElementText(game, k_careerSecondText, k_textCareerSecondPage);
    return;
  }
  if (isBlinkOn(game)) drawElementText(game, k_careerBlink, k_textCompletionBlink);
  textBufferSetString(game, k_textCareerComplete);
  replaceTextTagWithText(game, k_textMoney);
  setTextParam(game, 0, getCareerMoney(game));
  drawElementStringLen(game, k_careerText, game.text.strings.work, game.text.strings.workLength, -1);
  setElementVisible(game, k_careerHidden, false);
  drawElementText(game, k_careerPrompt, k_textTouchPrompt);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// The announcements: their one button goes on.
void mapUnlocked(cGame& g) { mapMainButton(g, {98, 293, 40, 40}); }

// The career's end: a tap anywhere goes on, lit while the pen is down.
void mapCareerComplete(cGame& g) {
  g.stylus.leftSoftHighlight = penDown(g);
  if (up(g, kWholeScreen)) pair(g, k_touchKeyLeftSoft);
}

}  // namespace

const cGameScreen k_screenChallengeUnlocked = {k_stateChallengeUnlocked, updateChallengeUnlocked,
                                               paintChallengeUnlocked, mapUnlocked};
const cGameScreen k_screenCharacterUnlocked = {k_stateCharacterUnlocked, updateCharacterUnlocked,
                                               paintCharacterUnlocked, mapUnlocked};
const cGameScreen k_screenCareerComplete = {k_stateCareerComplete, updateCareerComplete, paintCareerComplete,
                                            mapCareerComplete};
