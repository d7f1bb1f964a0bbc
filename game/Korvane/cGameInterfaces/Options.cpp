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
}  // namespace

void cGame::showOptionStates() {
  setMenuEntryFlags(k_textOptionSound, onOff(m_soundEnabled != 0));
  setMenuEntryFlags(k_textOptionAimingGuide, onOff(m_option7 != 0));
  setMenuEntryFlags(k_textOption8, onOff(m_option8 != 0));
}

void cGame::updateOptions() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    // Over a paused match reset all is hidden and four rows remain: the
    // fifth row's button goes with it, and so do the arrows, as in the
    // in-game menu the options open from (the list never scrolls; a down
    // arrow under the empty fifth row would promise more).
    selectInterface(k_interfaceOptions);
    setElementVisible(k_optionsFifthRowButton, !m_menusOverMatch);
    setElementVisible(k_optionsArrowUp, !m_menusOverMatch);
    setElementVisible(k_optionsArrowDown, !m_menusOverMatch);
    FrontEndScreen s;
    s.interfaceId = k_interfaceOptions;
    s.menu = kOptionsItems;
    s.listElement = k_optionsList;
    s.count = 5;
    setUpScreen(s);
    showOptionStates();
    // No reset while a match is paused under the menu.
    if (m_menusOverMatch) setMenuEntryFlags(k_textResetAll, kHidden);
    return;
  }
  const int32_t id = updateScreen();
  updateMenuArrows(k_optionsArrowUp, k_optionsArrowDown, false);
  showMenuScrollArrows(k_optionsArrowUp, k_optionsArrowDown);
  switch (id) {
    case k_textOptionSound:
      stopAllSounds();
      m_soundEnabled = m_soundEnabled ? 0 : 1;
      if (m_soundEnabled) {
        m_currentSoundId = -1;
        if (m_menusOverMatch)
          playSound(k_soundBreakHard, 0, 50, 100);
        else
          playMusic(k_musicTitle);
      }
      saveSettings();
      showOptionStates();
      break;
    case k_textOptionAimingGuide:
    case k_textOption8: {
      uint8_t& option = id == k_textOption8 ? m_option8 : m_option7;
      option = option ? 0 : 1;
      playSound(k_soundBreakHard, 0, 50, 100);
      saveSettings();
      showOptionStates();
      break;
    }
    case k_textResetAll:
      openQuestion(k_textResetAll, k_textQuestionBody, k_stateOptions, 1, k_interfaceOptions, k_textNo);
      break;
    case k_textOptionsHelp:
      goToScreen(k_stateHelpMenu);
      break;
    default:
      if (id >= 0) break;
      saveSettings();
      if (m_menusOverMatch)
        setInGameState(k_stateIGM);
      else
        setState(k_stateMainMenu);
      break;
  }
}

void cGame::paintOptions(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  paintScreen(g, k_optionsBack, -1);
  drawElementText(k_optionsTitle, k_textOptions);
  paintMenu();
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// Five rows outside a match (reset all and help), four over one.
void mapOptions(cGame& g) { mapOptionRows(g, g.m_menusOverMatch ? 4 : 5); }

}  // namespace

const cGameScreen k_screenOptions = {k_stateOptions, [](cGame& g) { g.updateOptions(); },
                                     [](cGame& g, Graphics* t) { g.paintOptions(t); }, mapOptions};
