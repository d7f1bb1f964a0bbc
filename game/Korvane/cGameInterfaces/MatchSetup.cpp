// Match set-up: the rule-set choice (80), the two characters of a single
// match (90), the career character pair (100), the table (220), the career
// stake (230) and the face-to-face screen (210) before the match loading.
// Also the character roster: rivals of each career character, home tables,
// the stake prices and the bet limits.
#include <algorithm>
#include <cstdlib>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/3d/Angles.h"
#include "zul/lm/Q14.h"

const uint8_t k_rivalRoster[10][9] = {
    {9, 1, 2, 3, 4, 5, 6, 7, 8}, {9, 2, 3, 4, 5, 0, 6, 7, 8}, {9, 1, 3, 4, 5, 0, 6, 7, 8},
    {0, 1, 2, 4, 5, 9, 6, 7, 8}, {9, 1, 2, 3, 5, 0, 6, 7, 8}, {0, 1, 2, 3, 4, 9, 6, 7, 8},
    {0, 1, 2, 3, 4, 5, 9, 7, 8}, {9, 1, 2, 3, 4, 5, 0, 6, 8}, {0, 1, 2, 3, 4, 5, 9, 6, 7},
    {0, 1, 2, 3, 4, 5, 6, 7, 8},
};
const uint8_t k_characterHomeTable[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0};
const int32_t k_stakePrices[8] = {10, 50, 100, 150, 200, 300, 400, 500};
const int32_t k_betMaximums[8] = {160, 200, 300, 750, 1000, 2500, 5000, 7500};

namespace F = interfaceformat;

namespace {

constexpr int32_t kGameQuick = 0, kGameSingle = 1, kGameTournament = 2, kGameCareer = 3;
constexpr int32_t kSpecialRival = 10;  // the rival slot of the rival match
constexpr int32_t kUkRules = 1;
// A walk round the ten characters never needs more steps than this.
constexpr int32_t kWalkLimit = k_characterCount;

const uint32_t kRuleItems[] = {k_textRuleSet0, k_textRuleSet0 + 1, k_textRuleSet0 + 2};
constexpr int32_t kRulesNoRow = 4;  // selection of no entry

constexpr int32_t kStepPlayer = 20, kStepOpponent = 30;
constexpr int32_t kPlayerGroup[] = {7, 8, 9, 10};
constexpr int32_t kOpponentGroup[] = {4, 20, 11, 12, 13, 14};

int32_t portraitOf(int32_t character) { return k_slotPortrait0 + std::clamp(character, 0, k_specialCharacter); }

}  // namespace

// ---- the roster

int32_t cGame::getRivalCharacter(int32_t slot) {
  if (slot == kSpecialRival) return kSpecialRival;
  const int32_t row = std::clamp(m_career.character, 0, k_characterCount - 1);
  return k_rivalRoster[row][std::clamp(slot, 0, 8)];
}

int32_t cGame::getHomeTable(int32_t character) const {
  return k_characterHomeTable[std::clamp(character, 0, k_characterCount - 1)];
}

int32_t cGame::stakeLevelOfSlot(int32_t slot) { return std::clamp(slot - 1, 0, k_stakeLevelCount - 1); }

int32_t cGame::countWonCharacters() const {
  int32_t n = 0;
  for (uint8_t w : m_career.won) n += w ? 1 : 0;
  return n;
}

int32_t cGame::countAvailableCharacters() const {
  int32_t n = 0;
  for (uint8_t a : m_characterAvailable) n += a ? 1 : 0;
  return n;
}

bool cGame::isCharacterAvailable(int32_t c) const {
  return c >= 0 && c < k_characterCount && m_characterAvailable[c] != 0;
}

int32_t cGame::stepCharacter(int32_t c, int32_t direction) const {
  if (m_career.started && countWonCharacters() != 1) {
    const int32_t career = m_career.character;
    int32_t k = std::clamp(c, 0, k_characterCount - 1);
    for (int32_t n = 0; n < kWalkLimit; ++n) {
      k = (k + direction + k_characterCount) % k_characterCount;
      if (k == career) return career;
      if (m_career.won[k]) return k;
    }
    // A damaged record (no won character, a career character out of range).
    return std::clamp(career, 0, k_characterCount - 1);
  }
  if (direction > 0) return c == 0 ? 5 : c == 5 ? 9 : 0;
  return c == 0 ? 9 : c == 9 ? 5 : 0;
}

int32_t cGame::nextCharacter(int32_t c) const { return stepCharacter(c, 1); }
int32_t cGame::previousCharacter(int32_t c) const { return stepCharacter(c, -1); }

int32_t cGame::randomCharacter(int32_t exclude) {
  const int32_t r = m_random ? m_random->nextInt(0, k_characterCount) : 0;
  const int32_t direction = (r & 1) ? -1 : 1;
  int32_t c = stepCharacter(r, direction);
  for (int32_t n = 0; exclude != -1 && c == exclude && n < kWalkLimit; ++n) c = stepCharacter(c, direction);
  // A cycle of one character (a damaged record) cannot avoid it: any other.
  if (exclude != -1 && c == exclude) c = (exclude + 1) % k_characterCount;
  return c;
}

void cGame::setTable(int32_t t) {
  m_tableIndex = std::clamp(t, 0, k_tableCount - 1);
  nextTable = (m_tableIndex + 1) % k_tableCount;
  previousTable = m_tableIndex == 0 ? k_tableCount - 1 : m_tableIndex - 1;
}

void cGame::armCoinToss() {
  coinTossPending = gameType == kGameQuick || (gameType >= kGameSingle && gameType <= kGameCareer && ruleSet == kUkRules);
}

// ---- rule-set choice (80)

void cGame::updateRulesSelection() {
  uint8_t& delayed = m_screenFlags[k_screenFlagDelayedSelect];
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    fromHelp = m_previousState == k_stateHelpMenu || m_previousState == k_stateHelpText;
    FrontEndScreen s;
    s.interfaceId = k_ifRulesChoice;
    s.menu = kRuleItems;
    s.listElement = k_rulesList;
    s.count = 3;
    setUpScreen(s);
    for (int32_t e = k_rulesPlate0; e <= k_rulesPicture; ++e) setElementVisible(e, !m_menusOverMatch);
    m_menu.selection = kRulesNoRow;
    setElementFrame(k_rulesPicture, k_rulePictureNone);
    return;
  }
  // The touch's delayed select fires once.
  if (m_keys.isPressed(k_keySelect)) delayed = 0;
  const int32_t id = updateScreen();
  updateMenuArrows(k_rulesArrowUp, k_rulesArrowDown, false);
  showMenuScrollArrows(k_rulesArrowUp, k_rulesArrowDown);
  if (id == 0) {
    if (m_menu.selection >= 0 && m_menu.selection <= kRulesNoRow) setElementFrame(k_rulesPicture, m_menu.selection);
    setElementVisible(k_rulesBack, delayed == 0);
    return;
  }
  // From help (also over a paused match, whose stack stays).
  if (id < 0) {
    if (fromHelp)
      goToScreen(k_stateHelpMenu);
    else if (gameType == kGameCareer || gameType == kGameTournament)
      setState(k_statePub);
    else
      setState(k_stateMainMenu);
    return;
  }
  if (fromHelp) {
    helpSubject = id;
    goToScreen(k_stateHelpText);
    return;
  }
  ruleSet = id - k_textRuleSet0;
  switch (gameType) {
    case kGameQuick: {
      int32_t player;
      if (m_firstQuickMatch) {
        player = 9;
        m_firstQuickMatch = 0;
        saveSettings();
      } else {
        player = randomCharacter(-1);
      }
      m_chosenCharacter[0] = player;
      m_chosenCharacter[1] = randomCharacter(player);
      setTable(getHomeTable(m_chosenCharacter[1]));
      setState(k_stateVersus);
      break;
    }
    case kGameSingle: setState(k_stateCharacterSelect); break;
    case kGameTournament: setState(k_stateTournamentMenu); break;
    case kGameCareer:
      if (rivalMatch) {
        opponentSlot = kSpecialRival;
        m_rivalIndex = 8;
        m_chosenRival = kSpecialRival;
        armCoinToss();
        enterGameLoading();
      } else {
        setState(k_stateStakeChoice);
      }
      break;
    default: setState(k_stateMainMenu); break;
  }
}

void cGame::paintRulesSelection(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  paintScreen(g, k_rulesBack, -1);
  drawElementText(k_rulesTitle, k_textRulesTitle);
  paintMenu();
}

// ---- character choice (90)

void cGame::showSetupPlayer() {
  setInterfaceElementSprite(-1, k_charPlayerPortrait, portraitOf(m_chosenCharacter[0]));
  setElementFrame(k_charPlayerName, m_chosenCharacter[0]);
  setElementVisible(k_charPlayerName, true);
  for (int32_t e : {3, k_charOpponentPortrait, k_charOpponentName, 5}) setElementVisible(e, false);
}

void cGame::showSetupOpponent() {
  setInterfaceElementSprite(-1, k_charOpponentPortrait, portraitOf(m_chosenCharacter[1]));
  setElementFrame(k_charOpponentName, m_chosenCharacter[1]);
  setElementVisible(k_charOpponentPortrait, true);
  setElementVisible(k_charOpponentName, true);
  setElementVisible(5, false);
}

void cGame::showCharacterStep(int32_t step) {
  for (int32_t e : kPlayerGroup) setElementVisible(e, step == kStepPlayer);
  for (int32_t e : kOpponentGroup) setElementVisible(e, step == kStepOpponent);
  m_subState = step;
}

void cGame::updateCharacterSelection() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifCharacterChoice;
    const bool fromTable = m_previousState == k_stateTableChoice && gameType == kGameSingle;
    if (fromTable) {
      setUpScreen(s);
      showCharacterStep(kStepOpponent);
      setInterfaceElementSprite(-1, k_charPlayerPortrait, portraitOf(m_chosenCharacter[0]));
      setElementFrame(k_charPlayerName, m_chosenCharacter[0]);
      showSetupOpponent();
    } else {
      m_chosenCharacter[0] = m_career.started ? m_career.character : 0;
      setUpScreen(s);
      showCharacterStep(kStepPlayer);
      showSetupPlayer();
      return;
    }
  }
  updateInterfaceTimers();
  const bool select = m_keys.isPressed(k_keySelect);
  const bool right = m_keys.isPressed(k_keyRight);
  const bool left = m_keys.isPressed(k_keyLeft);
  const bool back = m_keys.isPressed(k_keyRightSoft | k_keyBack);
  int32_t& player = m_chosenCharacter[0];
  int32_t& opponent = m_chosenCharacter[1];
  if (m_subState == kStepPlayer) {
    if (select) {
      opponent = previousCharacter(player);
      for (int32_t n = 0; opponent == player && n < kWalkLimit; ++n) opponent = previousCharacter(opponent);
      showSetupOpponent();
      showCharacterStep(kStepOpponent);
    } else if (right) {
      player = nextCharacter(player);
      showSetupPlayer();
    } else if (left) {
      player = previousCharacter(player);
      showSetupPlayer();
    } else if (back) {
      setState(k_stateRulesChoice);
      return;
    } else {
      return;
    }
  } else {
    if (select) {
      setTable(getHomeTable(opponent));
      setState(k_stateTableChoice);
      return;
    }
    if (right || left) {
      const int32_t direction = right ? 1 : -1;
      opponent = stepCharacter(opponent, direction);
      for (int32_t n = 0; opponent == player && n < kWalkLimit; ++n) opponent = stepCharacter(opponent, direction);
      showSetupOpponent();
    } else if (back) {
      showCharacterStep(kStepPlayer);
      showSetupPlayer();
    } else {
      return;
    }
  }
  m_keys.lock(5);
}

void cGame::paintCharacterSelection(Graphics* g) {
  paintScreen(g, k_charBack, -1);
  drawElementText(k_charTitle, m_subState == kStepOpponent ? k_textChooseOpponent
                               : gameType == kGameQuick    ? k_textChooseCharacter
                                                           : k_textChoosePlayer);
  drawElementString(k_charHint, "Touch character name to select");
}

// ---- career character pair (100)

void cGame::updatePlayerChoice() {
  auto mark = [this](bool second) {
    setElementVisible(9, second);
    setElementVisible(15, second);
    setElementVisible(10, !second);
    setElementVisible(16, !second);
  };
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifCareerPair;
    m_career.character = 0;
    setUpScreen(s);
    mark(false);
    return;
  }
  updateInterfaceTimers();
  if (m_keys.isPressed(k_keySelect)) {
    setState(k_stateCareerIntro);
  } else if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    setState(k_stateMainMenu);
  } else if (m_keys.isPressed(k_keyRight)) {
    m_career.character = 9;
    mark(true);
    m_keys.lock(5);
  } else if (m_keys.isPressed(k_keyLeft)) {
    m_career.character = 0;
    mark(false);
    m_keys.lock(5);
  }
}

void cGame::paintPlayerChoice(Graphics* g) {
  paintScreen(g, -1, -1);
  drawElementText(k_pairTitle, k_textChooseCharacter);
}

// ---- table choice (220)

void cGame::showSetupTable() {
  setInterfaceElementSprite(-1, k_tablePicture, k_slotTablePicture0 + m_tableIndex);
  setInterfaceElementSprite(-1, k_tablePlan, k_slotTablePlan0 + m_tableIndex);
  setInterfaceElementSprite(-1, k_tablePrevious, k_slotTablePicture0 + previousTable);
  setInterfaceElementSprite(-1, k_tableNext, k_slotTablePicture0 + nextTable);
  setElementVisible(k_tableArrowLeft, gameType == kGameSingle);
  setElementVisible(k_tableArrowRight, gameType == kGameSingle);
}

void cGame::updateTableSelection() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifTableChoice;
    selectInterface(k_ifTableChoice);
    setTable(m_tableIndex);
    showSetupTable();
    setUpScreen(s);
    return;
  }
  updateInterfaceTimers();
  if (m_keys.isPressed(k_keySelect)) {
    m_keys.lock(5);
    setState(k_stateVersus);
  } else if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    setState(gameType == kGameCareer ? k_stateStakeChoice : k_stateCharacterSelect);
  } else if (gameType == kGameSingle && (m_keys.isPressed(k_keyRight) || m_keys.isPressed(k_keyLeft))) {
    setTable(m_keys.isPressed(k_keyRight) ? nextTable : previousTable);
    showSetupTable();
    m_keys.lock(5);
  }
}

void cGame::paintTableSelection(Graphics* g) {
  paintScreen(g, k_tableBack, k_tablePlay);
  textBufferSetString(k_textTableHeading);
  replaceTextTagWithText(k_textTableName0 + m_tableIndex);
  replaceTextTagWithText(k_textTableNote0 + m_tableIndex);
  drawElementStringLen(k_tableName, m_text.work, m_text.workLength, -1);
  drawElementText(k_tableExtra, k_textTableLine0 + m_tableIndex);
}

// ---- stake choice (230)

int32_t cGame::stakeGlowAmount(int32_t paintCounter) {
  // 220 |sin a|, a = ((2 n) mod 63) degrees: the glow's alpha pulses from 0
  // to 220. (A Q14 sine taken down to 7 bits first would leave at most 1.)
  const int64_t turns = (2 * static_cast<int64_t>(paintCounter)) % 63;
  const Q14 degrees = static_cast<Q14>((turns < 0 ? turns + 63 : turns) * kQ14One);
  const Q14 s = std::abs(sinDegrees(degrees));
  return q14Mul(s, 0x370000) >> 14;
}

bool cGame::isStakeLevelUnlocked(int32_t level) const { return level < countAvailableCharacters() - 2; }

void cGame::refreshStakeSelection() {
  stakeLevel = std::clamp(stakeLevel, 0, k_stakeLevelCount - 1);
  opponentSlot = stakeLevel + 1;
  m_rivalIndex = opponentSlot;
  m_chosenRival = getRivalCharacter(opponentSlot);
  setTable(getHomeTable(m_chosenRival));
  if (previousStakeLevel >= 0 && previousStakeLevel < k_stakeLevelCount) {
    setInterfaceElementVisible(k_ifStakeChoice, k_stakeMark0 + m_stakeSeats[previousStakeLevel], false);
    setInterfaceElementVisible(k_ifStakeDetails, k_stakeListMark0 + m_stakeSeats[previousStakeLevel], false);
  }
  const int32_t seat = m_stakeSeats[stakeLevel];
  setInterfaceElementVisible(k_ifStakeChoice, k_stakeMark0 + seat, true);
  setInterfaceElementVisible(k_ifStakeDetails, k_stakeListMark0 + seat, true);
  if (isStakeLevelUnlocked(stakeLevel)) {
    setInterfaceElementVisible(k_ifStakeDetails, k_stakeRival, true);
    setInterfaceElementSprite(k_ifStakeDetails, k_stakeRival, portraitOf(m_chosenRival));
    setInterfaceElementFrame(k_ifStakeChoice, k_stakeGlow, seat);
  } else {
    setInterfaceElementVisible(k_ifStakeDetails, k_stakeRival, false);
    setInterfaceElementFrame(k_ifStakeChoice, k_stakeGlow, 0);
  }
}

void cGame::updateStakeSelection() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifStakeChoice;
    selectInterface(k_ifStakeChoice);
    m_stakeHighlight[0] = getElementX(k_stakeHighlight);
    m_stakeHighlight[1] = getElementY(k_stakeHighlight);
    m_stakeHighlight[2] = getElementWidth(k_stakeHighlight);
    m_stakeHighlight[3] = getElementHeight(k_stakeHighlight);
    previousStakeLevel = -1;
    if (stakeUp) {
      if (stakeLevel < k_stakeLevelCount - 1) stakeLevel += 1;
      stakeUp = 0;
    } else {
      stakeLevel = countAvailableCharacters() - 3;
    }
    stakeLevel = std::clamp(stakeLevel, 0, k_stakeLevelCount - 1);
    for (int32_t i = 0; i < k_stakeSeatCount; ++i) {
      setInterfaceElementVisible(k_ifStakeChoice, k_stakeSeat0 + i, false);
      setInterfaceElementVisible(k_ifStakeChoice, k_stakeMark0 + i, false);
      setInterfaceElementVisible(k_ifStakeDetails, k_stakeListMark0 + i, false);
    }
    const int32_t c = m_career.character;
    skippedSeat = c == 0 || c == 9 ? 5 : c - 1 < 5 ? c - 1 : c;
    for (int32_t level = 0, seat = 0; level < k_stakeLevelCount; ++seat) {
      if (seat == skippedSeat) continue;
      m_stakeSeats[level] = seat;
      setInterfaceElementVisible(k_ifStakeChoice, k_stakeSeat0 + seat, true);
      setInterfaceElementFrame(k_ifStakeChoice, k_stakeSeat0 + seat,
                               isStakeLevelUnlocked(level) ? k_seatFrameOpen : k_seatFrameLocked);
      ++level;
    }
    refreshStakeSelection();
    stakeNoticeShown = 0;
    refreshStakeSelection();
    setUpScreen(s);
    return;
  }
  updateInterfaceTimers();
  if (m_keys.isPressed(k_keySelect)) {
    if (stakeNoticeShown) {
      stakeNoticeShown = 0;
    } else if (!isStakeLevelUnlocked(stakeLevel)) {
      playSound(k_soundError, 0, 100, 100);
    } else if (static_cast<int64_t>(m_career.money) < k_stakePrices[stakeLevel]) {
      playSound(k_soundError, 0, 100, 100);
      stakeNoticeShown = 1;
    } else {
      playSound(0, 0, 50, 100);  // the menu click
      setState(k_stateTableChoice);
      return;
    }
    m_keys.lock(2);
  } else if (m_keys.isPressed(k_keyBack)) {
    if (stakeNoticeShown)
      stakeNoticeShown = 0;
    else
      setState(k_stateRulesChoice);
  } else if (m_keys.isPressed(k_keyRightSoft)) {
    setState(k_stateRulesChoice);
  } else if (!stakeNoticeShown && (m_keys.isPressed(k_keyRight) || m_keys.isPressed(k_keyLeft))) {
    previousStakeLevel = stakeLevel;
    stakeLevel = m_keys.isPressed(k_keyRight) ? (stakeLevel + 1) % k_stakeLevelCount
                                              : (stakeLevel + k_stakeLevelCount - 1) % k_stakeLevelCount;
    refreshStakeSelection();
    m_keys.lock(2);
  }
}

void cGame::paintStakeSelection(Graphics* g) {
  if (!g) return;
  selectInterface(k_ifStakeChoice);
  setButtonFrames(-1, k_stakePlay);
  resetClip(g);
  g->setColor(0xFF000000);
  g->fillRect(0, 0, 240, 320);
  // Interface 32 only inside the highlight rectangle, its picture glowing.
  g->setClip(m_stakeHighlight[0], m_stakeHighlight[1], m_stakeHighlight[2], m_stakeHighlight[3]);
  const int16_t* glow = getInterfaceElement(k_ifStakeChoice, k_stakeGlow);
  const int32_t bankSlot = glow && glow[F::kWordType] == F::kSprite ? glow[F::kWordParams + F::kSpriteBank] : -1;
  ASprite* bank = bankSlot >= 0 && bankSlot < k_spriteSlotCount ? m_sprites[bankSlot] : nullptr;
  if (bank) {
    bank->effectMode = 7;
    bank->effectParam1 = 0xFF00;
    bank->effectParam2 = stakeGlowAmount(m_paintFrameCount);
    bank->effectParam3 = 0;
  }
  paintInterface();
  if (bank) bank->effectMode = 0;
  resetClip(g);
  selectInterface(k_ifStakeDetails);
  setButtonFrames(k_stakeBack, -1);
  paintInterface();
  drawElementText(k_stakeTitle, k_textStakeTitle);
  if (isStakeLevelUnlocked(stakeLevel)) {
    setTextParam(0, stakeLevel);
    drawElementText(k_stakeLevelName, k_textStakeName0 + stakeLevel);
    textBufferSetString(k_textStakeEntry);
    replaceTextTagWithText(k_textMoney);
    setTextParam(0, k_stakePrices[stakeLevel]);
    drawElementStringLen(k_stakePrice, m_text.work, m_text.workLength, -1);
  } else {
    drawElementText(k_stakeLocked, k_textStakeLocked);
  }
  if (stakeNoticeShown) {
    selectInterface(k_ifStakeNotice);
    paintInterface();
    drawElementText(k_stakeNoticeText, k_textStakeNotice);
  }
  selectInterface(k_ifStakeChoice);
}

// ---- versus (210)

void cGame::updateVersus() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifVersus;
    selectInterface(k_ifVersus);
    int32_t left = m_career.character, right = 0;
    if (gameType == kGameQuick || gameType == kGameSingle) {
      left = m_chosenCharacter[0];
      right = m_chosenCharacter[1];
    } else if (gameType == kGameTournament) {
      right = opponentSlot;
    } else {
      right = getRivalCharacter(opponentSlot);
    }
    left = std::clamp(left, 0, k_specialCharacter);
    right = std::clamp(right, 0, k_specialCharacter);
    setInterfaceElementSprite(-1, k_versusPortraitLeft, portraitOf(left));
    setElementFrame(k_versusNameLeft, left);
    setInterfaceElementSprite(-1, k_versusPortraitRight, portraitOf(right));
    setElementFrame(k_versusNameRight, right);
    setUpScreen(s);
    return;
  }
  updateInterfaceTimers();
  // The back button (the right soft key) goes back; any other key plays.
  if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    if (m_previousState == k_stateTournamentStage) m_bracketResumes = 1;
    setState(m_previousState);
  } else if (m_keys.isAnyPressed() && !m_keys.isPressed(k_keyExtra22)) {
    armCoinToss();
    enterGameLoading();
  }
}

void cGame::paintVersus(Graphics* g) {
  paintScreen(g, k_versusBack, -1);
  if (m_gameClock % 1000 >= 501) drawElementText(k_versusPrompt, k_textTouchToStart);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapRulesChoice(cGame& g) {
  const Rect rows[] = {row(106, 40), row(154, 40), row(205, 40)};
  const int32_t values[] = {0, 1, 2};
  rowsDown(g, rows, values, 3, 4, false);
  uint8_t& armed = g.m_screenFlags[k_screenFlagDelayedSelect];
  if (rowsUp(g, rows, 3) >= 0) {
    armed = 1;
    g.m_delayedSelectTime = g.m_gameClock;
  }
  if (armed && g.m_gameClock - g.m_delayedSelectTime >= 500) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  const bool left = g.m_subState == k_subStateDestroy;  // the 20 step
  const Rect prev{left ? 25 : 162, 190, 45, 40};
  const Rect next{left ? 25 : 162, 80, 45, 40};
  const Rect name{left ? 13 : 148, 128, 74, 50};
  if (up(g, prev)) pair(g, k_touchKeyLeft);
  if (up(g, next)) pair(g, k_touchKeyRight);
  if (up(g, name)) pair(g, k_touchKeyFire);
  rightSoft(g);
}

void mapTableChoice(cGame& g) {
  const Rect button{103, 285, 44, 44};
  if (contains({0, 0, 240, 360}, g.pointerX, g.pointerY)) {
    g.m_leftSoftHighlight = down(g, button);
    rightSoftHighlight(g);
  }
  if (up(g, button)) pair(g, k_touchKeyLeftSoft);
  if (up(g, {15, 186, 40, 55})) pair(g, k_touchKeyLeft);
  if (up(g, {185, 186, 40, 55})) pair(g, k_touchKeyRight);
  rightSoft(g);
}

void mapStakeChoice(cGame& g) {
  g.previousStakeLevel = g.stakeLevel;
  const int32_t seats[8][2] = {{0, 125},   {5, 175},   {55, 155}, {70, 202}, {g.skippedSeat == 5 ? 125 : 100, 105},
                               {130, 200}, {160, 155}, {200, 224}};
  bool touched = false;
  for (int32_t level = 0; level < 8; ++level) {
    if (down(g, {seats[level][0], seats[level][1], 40, 40})) {
      g.stakeLevel = level;
      touched = true;
      break;
    }
  }
  const Rect button{155, 85, 44, 44};
  leftSoftHighlight(g, button, true);
  rightSoftHighlight(g, true);
  if (touched) g.refreshStakeSelection();
  if (up(g, button)) pair(g, k_touchKeyFire);
  rightSoft(g);
}

// The versus screen: a tap goes on with key 4, the back key goes back.
void mapVersus(cGame& g) { mapWholeScreenBesideBack(g, k_touchKeyFineTurnB); }

}  // namespace

const cGameScreen k_screenRulesChoice = {k_stateRulesChoice, [](cGame& g) { g.updateRulesSelection(); },
                                         [](cGame& g, Graphics* t) { g.paintRulesSelection(t); }, mapRulesChoice};
const cGameScreen k_screenCharacterSelect = {k_stateCharacterSelect, [](cGame& g) { g.updateCharacterSelection(); },
                                             [](cGame& g, Graphics* t) { g.paintCharacterSelection(t); },
                                             mapCharacterSelect};
const cGameScreen k_screenPlayerChoice = {k_statePlayerChoice, [](cGame& g) { g.updatePlayerChoice(); },
                                          [](cGame& g, Graphics* t) { g.paintPlayerChoice(t); }, mapNoButtons};
const cGameScreen k_screenTableChoice = {k_stateTableChoice, [](cGame& g) { g.updateTableSelection(); },
                                         [](cGame& g, Graphics* t) { g.paintTableSelection(t); }, mapTableChoice};
const cGameScreen k_screenStakeChoice = {k_stateStakeChoice, [](cGame& g) { g.updateStakeSelection(); },
                                         [](cGame& g, Graphics* t) { g.paintStakeSelection(t); }, mapStakeChoice};
const cGameScreen k_screenVersus = {k_stateVersus, [](cGame& g) { g.updateVersus(); },
                                    [](cGame& g, Graphics* t) { g.paintVersus(t); }, mapVersus};
