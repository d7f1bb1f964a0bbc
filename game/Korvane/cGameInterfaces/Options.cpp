// The options (state 70), also shown over a paused match: sound, aiming
// guide and option 8 switch at once and are saved; reset all asks first.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {
const uint32_t kOptionsItems[] = {k_textOptionSound, k_textOptionAimingGuide, k_textOption8, k_textResetAll,
                                  k_textOptionsHelp};
constexpr uint32_t kHidden = 1, kSuffix = 2;

uint32_t onOff(bool on) { return kSuffix | static_cast<uint32_t>(on ? k_textOn : k_textOff) << 16; }

// Yes to the reset question: settings and progress as new, both saved.
void resetAll(cGame& game) {
  resetSettings(game);
  resetProgress(game);
  leaveQuestion(game, k_stateOptions);
}

constexpr int32_t kActionResetAll = 1;
}  // namespace

const Question k_questionResetAll = {.title = k_textResetAll,
                                     .body = k_textQuestionBody,
                                     .returnState = k_stateOptions,
                                     .action = kActionResetAll,
                                     .panel = k_interfaceOptions,
                                     .yes = resetAll};

void showOptionStates(cGame& game) {
  setMenuEntryFlags(game, k_textOptionSound, onOff(game.sound.enabled != 0));
  setMenuEntryFlags(game, k_textOptionAimingGuide, onOff(game.career.option7 != 0));
  setMenuEntryFlags(game, k_textOption8, onOff(game.career.option8 != 0));
}

void updateOptions(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    // Over a paused match reset all is hidden and four rows remain: the
    // fifth row's button goes with it, and so do the arrows, as in the
    // in-game menu the options open from (the list never scrolls; a down
    // arrow under the empty fifth row would promise more).
    selectInterface(game, k_interfaceOptions);
    setElementVisible(game, k_optionsFifthRowButton, !game.frontEnd.menusOverMatch);
    setElementVisible(game, k_optionsArrowUp, !game.frontEnd.menusOverMatch);
    setElementVisible(game, k_optionsArrowDown, !game.frontEnd.menusOverMatch);
    FrontEndScreen s;
    s.interfaceId = k_interfaceOptions;
    s.menu = kOptionsItems;
    s.listElement = k_optionsList;
    s.count = 5;
    setUpScreen(game, s);
    showOptionStates(game);
    // No reset while a match is paused under the menu.
    if (game.frontEnd.menusOverMatch) setMenuEntryFlags(game, k_textResetAll, kHidden);
    return;
  }
  const int32_t id = updateScreen(game);
  updateMenuArrows(game, k_optionsArrowUp, k_optionsArrowDown, false);
  showMenuScrollArrows(game, k_optionsArrowUp, k_optionsArrowDown);
  switch (id) {
    case k_textOptionSound:
      game.stopAllSounds();
      game.sound.enabled = game.sound.enabled ? 0 : 1;
      if (game.sound.enabled) {
        game.sound.currentId = -1;
        if (game.frontEnd.menusOverMatch)
          playSound(game, k_soundBreakHard, 0, 50, 100);
        else
          playMusic(game, k_musicTitle);
      }
      saveSettings(game);
      showOptionStates(game);
      break;
    case k_textOptionAimingGuide:
    case k_textOption8: {
      uint8_t& option = id == k_textOption8 ? game.career.option8 : game.career.option7;
      option = option ? 0 : 1;
      playSound(game, k_soundBreakHard, 0, 50, 100);
      saveSettings(game);
      showOptionStates(game);
      break;
    }
    case k_textResetAll:
      openQuestion(game, k_questionResetAll, k_textNo);
      break;
    case k_textOptionsHelp:
      goToScreen(game, k_stateHelpMenu);
      break;
    default:
      if (id >= 0) break;
      saveSettings(game);
      if (game.frontEnd.menusOverMatch)
        game.setInGameState(k_stateIGM);
      else
        game.setState(k_stateMainMenu);
      break;
  }
}

void paintOptions(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  paintScreen(game, g, k_optionsBack, -1);
  drawElementText(game, k_optionsTitle, k_textOptions);
  paintMenu(game);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// Five rows outside a match (reset all and help), four over one.
void mapOptions(cGame& g) { mapOptionRows(g, g.frontEnd.menusOverMatch ? 4 : 5); }

}  // namespace

const cGameScreen k_screenOptions = {k_stateOptions, updateOptions, paintOptions, mapOptions};
