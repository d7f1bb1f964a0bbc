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

int32_t getRivalCharacter(cGame& game, int32_t slot) {
  if (slot == k_rivalMatchSlot) return k_rivalMatchSlot;
  const int32_t row = std::clamp(game.career.progress.character, 0, k_characterCount - 1);
  return k_rivalRoster[row][std::clamp(slot, 0, 8)];
}

int32_t getHomeTable(const cGame& /*game*/, int32_t character) {
  return k_characterHomeTable[std::clamp(character, 0, k_characterCount - 1)];
}

int32_t stakeLevelOfSlot(int32_t slot) { return std::clamp(slot - 1, 0, k_stakeLevelCount - 1); }

bool canAffordStake(const cGame& game, int32_t level) {
  return getCareerMoney(game) >= k_stakePrices[std::clamp(level, 0, k_stakeLevelCount - 1)];
}

int32_t countWonCharacters(const cGame& game) {
  int32_t n = 0;
  for (uint8_t w : game.career.progress.won) n += w ? 1 : 0;
  return n;
}

int32_t countAvailableCharacters(const cGame& game) {
  int32_t n = 0;
  for (uint8_t a : game.career.characterAvailable) n += a ? 1 : 0;
  return n;
}

bool isCharacterAvailable(const cGame& game, int32_t c) {
  return c >= 0 && c < k_characterCount && game.career.characterAvailable[c] != 0;
}

int32_t stepCharacter(const cGame& game, int32_t c, int32_t direction) {
  if (game.career.progress.started && countWonCharacters(game) != 1) {
    const int32_t career = game.career.progress.character;
    int32_t k = std::clamp(c, 0, k_characterCount - 1);
    for (int32_t n = 0; n < kWalkLimit; ++n) {
      k = (k + direction + k_characterCount) % k_characterCount;
      if (k == career) return career;
      if (game.career.progress.won[k]) return k;
    }
    // A damaged record (no won character, a career character out of range).
    return std::clamp(career, 0, k_characterCount - 1);
  }
  if (direction > 0) return c == 0 ? 5 : c == 5 ? 9 : 0;
  return c == 0 ? 9 : c == 9 ? 5 : 0;
}

int32_t nextCharacter(const cGame& game, int32_t c) { return stepCharacter(game, c, 1); }
int32_t previousCharacter(const cGame& game, int32_t c) { return stepCharacter(game, c, -1); }

int32_t randomCharacter(cGame& game, int32_t exclude) {
  const int32_t r = game.engine.random ? game.engine.random->nextInt(0, k_characterCount) : 0;
  const int32_t direction = (r & 1) ? -1 : 1;
  int32_t c = stepCharacter(game, r, direction);
  for (int32_t n = 0; exclude != -1 && c == exclude && n < kWalkLimit; ++n) c = stepCharacter(game, c, direction);
  // A cycle of one character (a damaged record) cannot avoid it: any other.
  if (exclude != -1 && c == exclude) c = (exclude + 1) % k_characterCount;
  return c;
}

void setTable(cGame& game, int32_t t) {
  game.setup.tableIndex = std::clamp(t, 0, k_tableCount - 1);
  game.setup.nextTable = (game.setup.tableIndex + 1) % k_tableCount;
  game.setup.previousTable = game.setup.tableIndex == 0 ? k_tableCount - 1 : game.setup.tableIndex - 1;
}

void armCoinToss(cGame& game) {
  game.turn.coinTossPending = game.match.gameType == k_gameTypeQuickMatch ||
                              (game.match.gameType >= k_gameTypeSingleMatch &&
                               game.match.gameType <= k_gameTypeCareer && game.match.ruleSet == k_ruleSetUK);
}

// ---- rule-set choice (80)

void updateRulesSelection(cGame& game) {
  uint8_t& delayed = game.states.screenFlags[k_screenFlagDelayedSelect];
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    game.setup.fromHelp = game.states.previousState == k_stateHelpMenu || game.states.previousState == k_stateHelpText;
    FrontEndScreen s;
    s.interfaceId = k_ifRulesChoice;
    s.menu = kRuleItems;
    s.listElement = k_rulesList;
    s.count = 3;
    setUpScreen(game, s);
    for (int32_t e = k_rulesPlate0; e <= k_rulesPicture; ++e) setElementVisible(game, e, !game.frontEnd.menusOverMatch);
    game.menu.selection = kRulesNoRow;
    setElementFrame(game, k_rulesPicture, k_rulePictureNone);
    return;
  }
  // The touch's delayed select fires once.
  if (game.keys.isPressed(k_keySelect)) delayed = 0;
  const int32_t id = updateScreen(game);
  updateMenuArrows(game, k_rulesArrowUp, k_rulesArrowDown, false);
  showMenuScrollArrows(game, k_rulesArrowUp, k_rulesArrowDown);
  if (id == 0) {
    if (game.menu.selection >= 0 && game.menu.selection <= kRulesNoRow)
      setElementFrame(game, k_rulesPicture, game.menu.selection);
    setElementVisible(game, k_rulesBack, delayed == 0);
    return;
  }
  // From help (also over a paused match, whose stack stays).
  if (id < 0) {
    if (game.setup.fromHelp)
      goToScreen(game, k_stateHelpMenu);
    else if (game.match.gameType == k_gameTypeCareer || game.match.gameType == k_gameTypeTournament)
      game.setState(k_statePub);
    else
      game.setState(k_stateMainMenu);
    return;
  }
  if (game.setup.fromHelp) {
    game.setup.helpSubject = id;
    goToScreen(game, k_stateHelpText);
    return;
  }
  game.match.ruleSet = id - k_textRuleSet0;
  switch (game.match.gameType) {
    case k_gameTypeQuickMatch: {
      int32_t player;
      if (game.career.firstQuickMatch) {
        player = 9;
        game.career.firstQuickMatch = 0;
        saveSettings(game);
      } else {
        player = randomCharacter(game, -1);
      }
      game.setup.chosenCharacter[0] = player;
      game.setup.chosenCharacter[1] = randomCharacter(game, player);
      setTable(game, getHomeTable(game, game.setup.chosenCharacter[1]));
      game.setState(k_stateVersus);
      break;
    }
    case k_gameTypeSingleMatch:
      game.setState(k_stateCharacterSelect);
      break;
    case k_gameTypeTournament:
      game.setState(k_stateTournamentMenu);
      break;
    case k_gameTypeCareer:
      if (game.setup.rivalMatch) {
        game.setup.opponentSlot = k_rivalMatchSlot;
        game.setup.rivalIndex = 8;
        game.setup.chosenRival = k_rivalMatchSlot;
        armCoinToss(game);
        enterGameLoading(game);
      } else {
        game.setState(k_stateStakeChoice);
      }
      break;
    default:
      game.setState(k_stateMainMenu);
      break;
  }
}

void paintRulesSelection(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  paintScreen(game, g, k_rulesBack, -1);
  drawElementText(game, k_rulesTitle, k_textRulesTitle);
  paintMenu(game);
}

// ---- character choice (90)

void showSetupPlayer(cGame& game) {
  setInterfaceElementSprite(game, -1, k_charPlayerPortrait, portraitOf(game.setup.chosenCharacter[0]));
  setElementFrame(game, k_charPlayerName, game.setup.chosenCharacter[0]);
  setElementVisible(game, k_charPlayerName, true);
  for (int32_t e : {3, k_charOpponentPortrait, k_charOpponentName, 5}) setElementVisible(game, e, false);
}

void showSetupOpponent(cGame& game) {
  setInterfaceElementSprite(game, -1, k_charOpponentPortrait, portraitOf(game.setup.chosenCharacter[1]));
  setElementFrame(game, k_charOpponentName, game.setup.chosenCharacter[1]);
  setElementVisible(game, k_charOpponentPortrait, true);
  setElementVisible(game, k_charOpponentName, true);
  setElementVisible(game, 5, false);
}

void showCharacterStep(cGame& game, int32_t step) {
  for (int32_t e : kPlayerGroup) setElementVisible(game, e, step == kStepPlayer);
  for (int32_t e : kOpponentGroup) setElementVisible(game, e, step == kStepOpponent);
  game.states.subState = step;
}

void updateCharacterSelection(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifCharacterChoice;
    const bool fromTable =
        game.states.previousState == k_stateTableChoice && game.match.gameType == k_gameTypeSingleMatch;
    if (fromTable) {
      setUpScreen(game, s);
      showCharacterStep(game, kStepOpponent);
      setInterfaceElementSprite(game, -1, k_charPlayerPortrait, portraitOf(game.setup.chosenCharacter[0]));
      setElementFrame(game, k_charPlayerName, game.setup.chosenCharacter[0]);
      showSetupOpponent(game);
    } else {
      game.setup.chosenCharacter[0] = game.career.progress.started ? game.career.progress.character : 0;
      setUpScreen(game, s);
      showCharacterStep(game, kStepPlayer);
      showSetupPlayer(game);
      return;
    }
  }
  updateInterfaceTimers(game);
  const bool select = game.keys.isPressed(k_keySelect);
  const bool right = game.keys.isPressed(k_keyRight);
  const bool left = game.keys.isPressed(k_keyLeft);
  const bool back = game.keys.isPressed(k_keyRightSoft | k_keyBack);
  int32_t& player = game.setup.chosenCharacter[0];
  int32_t& opponent = game.setup.chosenCharacter[1];
  if (game.states.subState == kStepPlayer) {
    if (select) {
      opponent = previousCharacter(game, player);
      for (int32_t n = 0; opponent == player && n < kWalkLimit; ++n) opponent = previousCharacter(game, opponent);
      showSetupOpponent(game);
      showCharacterStep(game, kStepOpponent);
    } else if (right) {
      player = nextCharacter(game, player);
      showSetupPlayer(game);
    } else if (left) {
      player = previousCharacter(game, player);
      showSetupPlayer(game);
    } else if (back) {
      game.setState(k_stateRulesChoice);
      return;
    } else {
      return;
    }
  } else {
    if (select) {
      setTable(game, getHomeTable(game, opponent));
      game.setState(k_stateTableChoice);
      return;
    }
    if (right || left) {
      const int32_t direction = right ? 1 : -1;
      opponent = stepCharacter(game, opponent, direction);
      for (int32_t n = 0; opponent == player && n < kWalkLimit; ++n)
        opponent = stepCharacter(game, opponent, direction);
      showSetupOpponent(game);
    } else if (back) {
      showCharacterStep(game, kStepPlayer);
      showSetupPlayer(game);
    } else {
      return;
    }
  }
  game.keys.lock(5);
}

void paintCharacterSelection(cGame& game, Graphics* g) {
  paintScreen(game, g, k_charBack, -1);
  drawElementText(game, k_charTitle,
                  game.states.subState == kStepOpponent         ? k_textChooseOpponent
                  : game.match.gameType == k_gameTypeQuickMatch ? k_textChooseCharacter
                                                                : k_textChoosePlayer);
  drawElementString(game, k_charHint, "Touch character name to select");
}

// ---- career character pair (100)

void updatePlayerChoice(cGame& game) {
  auto mark = [&game](bool second) {
    setElementVisible(game, 9, second);
    setElementVisible(game, 15, second);
    setElementVisible(game, 10, !second);
    setElementVisible(game, 16, !second);
  };
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifCareerPair;
    game.career.progress.character = 0;
    setUpScreen(game, s);
    mark(false);
    return;
  }
  updateInterfaceTimers(game);
  if (game.keys.isPressed(k_keySelect)) {
    game.setState(k_stateCareerIntro);
  } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.setState(k_stateMainMenu);
  } else if (game.keys.isPressed(k_keyRight)) {
    game.career.progress.character = 9;
    mark(true);
    game.keys.lock(5);
  } else if (game.keys.isPressed(k_keyLeft)) {
    game.career.progress.character = 0;
    mark(false);
    game.keys.lock(5);
  }
}

void paintPlayerChoice(cGame& game, Graphics* g) {
  paintScreen(game, g, -1, -1);
  drawElementText(game, k_pairTitle, k_textChooseCharacter);
}

// ---- table choice (220)

void showSetupTable(cGame& game) {
  setInterfaceElementSprite(game, -1, k_tablePicture, k_slotTablePicture0 + game.setup.tableIndex);
  setInterfaceElementSprite(game, -1, k_tablePlan, k_slotTablePlan0 + game.setup.tableIndex);
  setInterfaceElementSprite(game, -1, k_tablePrevious, k_slotTablePicture0 + game.setup.previousTable);
  setInterfaceElementSprite(game, -1, k_tableNext, k_slotTablePicture0 + game.setup.nextTable);
  setElementVisible(game, k_tableArrowLeft, game.match.gameType == k_gameTypeSingleMatch);
  setElementVisible(game, k_tableArrowRight, game.match.gameType == k_gameTypeSingleMatch);
}

void updateTableSelection(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifTableChoice;
    selectInterface(game, k_ifTableChoice);
    setTable(game, game.setup.tableIndex);
    showSetupTable(game);
    setUpScreen(game, s);
    return;
  }
  updateInterfaceTimers(game);
  if (game.keys.isPressed(k_keySelect)) {
    game.keys.lock(5);
    game.setState(k_stateVersus);
  } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.setState(game.match.gameType == k_gameTypeCareer ? k_stateStakeChoice : k_stateCharacterSelect);
  } else if (game.match.gameType == k_gameTypeSingleMatch &&
             (game.keys.isPressed(k_keyRight) || game.keys.isPressed(k_keyLeft))) {
    setTable(game, game.keys.isPressed(k_keyRight) ? game.setup.nextTable : game.setup.previousTable);
    showSetupTable(game);
    game.keys.lock(5);
  }
}

void paintTableSelection(cGame& game, Graphics* g) {
  paintScreen(game, g, k_tableBack, k_tablePlay);
  textBufferSetString(game, k_textTableHeading);
  replaceTextTagWithText(game, k_textTableName0 + game.setup.tableIndex);
  replaceTextTagWithText(game, k_textTableNote0 + game.setup.tableIndex);
  drawElementStringLen(game, k_tableName, game.text.strings.work, game.text.strings.workLength, -1);
  drawElementText(game, k_tableExtra, k_textTableLine0 + game.setup.tableIndex);
}

// ---- stake choice (230)

int32_t stakeGlowAmount(int32_t paintCounter) {
  // 220 |sin a|, a = ((2 n) mod 63) degrees: the glow's alpha pulses from 0
  // to 220. (A Q14 sine taken down to 7 bits first would leave at most 1.)
  const int64_t turns = (2 * static_cast<int64_t>(paintCounter)) % 63;
  const Q14 degrees = static_cast<Q14>((turns < 0 ? turns + 63 : turns) * kQ14One);
  const Q14 s = std::abs(sinDegrees(degrees));
  return q14Mul(s, 0x370000) >> 14;
}

bool isStakeLevelUnlocked(const cGame& game, int32_t level) { return level < countAvailableCharacters(game) - 2; }

void refreshStakeSelection(cGame& game) {
  game.setup.stakeLevel = std::clamp(game.setup.stakeLevel, 0, k_stakeLevelCount - 1);
  game.setup.opponentSlot = game.setup.stakeLevel + 1;
  game.setup.rivalIndex = game.setup.opponentSlot;
  game.setup.chosenRival = getRivalCharacter(game, game.setup.opponentSlot);
  setTable(game, getHomeTable(game, game.setup.chosenRival));
  if (game.setup.previousStakeLevel >= 0 && game.setup.previousStakeLevel < k_stakeLevelCount) {
    setInterfaceElementVisible(game, k_ifStakeChoice,
                               k_stakeMark0 + game.setup.stakeSeats[game.setup.previousStakeLevel], false);
    setInterfaceElementVisible(game, k_ifStakeDetails,
                               k_stakeListMark0 + game.setup.stakeSeats[game.setup.previousStakeLevel], false);
  }
  const int32_t seat = game.setup.stakeSeats[game.setup.stakeLevel];
  setInterfaceElementVisible(game, k_ifStakeChoice, k_stakeMark0 + seat, true);
  setInterfaceElementVisible(game, k_ifStakeDetails, k_stakeListMark0 + seat, true);
  if (isStakeLevelUnlocked(game, game.setup.stakeLevel)) {
    setInterfaceElementVisible(game, k_ifStakeDetails, k_stakeRival, true);
    setInterfaceElementSprite(game, k_ifStakeDetails, k_stakeRival, portraitOf(game.setup.chosenRival));
    setInterfaceElementFrame(game, k_ifStakeChoice, k_stakeGlow, seat);
  } else {
    setInterfaceElementVisible(game, k_ifStakeDetails, k_stakeRival, false);
    setInterfaceElementFrame(game, k_ifStakeChoice, k_stakeGlow, 0);
  }
}

void updateStakeSelection(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifStakeChoice;
    selectInterface(game, k_ifStakeChoice);
    game.setup.stakeHighlight[0] = getElementX(game, k_stakeHighlight);
    game.setup.stakeHighlight[1] = getElementY(game, k_stakeHighlight);
    game.setup.stakeHighlight[2] = getElementWidth(game, k_stakeHighlight);
    game.setup.stakeHighlight[3] = getElementHeight(game, k_stakeHighlight);
    game.setup.previousStakeLevel = -1;
    if (game.setup.stakeUp) {
      if (game.setup.stakeLevel < k_stakeLevelCount - 1) game.setup.stakeLevel += 1;
      game.setup.stakeUp = 0;
    } else {
      game.setup.stakeLevel = countAvailableCharacters(game) - 3;
    }
    game.setup.stakeLevel = std::clamp(game.setup.stakeLevel, 0, k_stakeLevelCount - 1);
    for (int32_t i = 0; i < k_stakeSeatCount; ++i) {
      setInterfaceElementVisible(game, k_ifStakeChoice, k_stakeSeat0 + i, false);
      setInterfaceElementVisible(game, k_ifStakeChoice, k_stakeMark0 + i, false);
      setInterfaceElementVisible(game, k_ifStakeDetails, k_stakeListMark0 + i, false);
    }
    const int32_t c = game.career.progress.character;
    game.setup.skippedSeat = c == 0 || c == 9 ? 5 : c - 1 < 5 ? c - 1 : c;
    for (int32_t level = 0, seat = 0; level < k_stakeLevelCount; ++seat) {
      if (seat == game.setup.skippedSeat) continue;
      game.setup.stakeSeats[level] = seat;
      setInterfaceElementVisible(game, k_ifStakeChoice, k_stakeSeat0 + seat, true);
      setInterfaceElementFrame(game, k_ifStakeChoice, k_stakeSeat0 + seat,
                               isStakeLevelUnlocked(game, level) ? k_seatFrameOpen : k_seatFrameLocked);
      ++level;
    }
    refreshStakeSelection(game);
    game.setup.stakeNoticeShown = 0;
    refreshStakeSelection(game);
    setUpScreen(game, s);
    return;
  }
  updateInterfaceTimers(game);
  if (game.keys.isPressed(k_keySelect)) {
    if (game.setup.stakeNoticeShown) {
      game.setup.stakeNoticeShown = 0;
    } else if (!isStakeLevelUnlocked(game, game.setup.stakeLevel)) {
      playSound(game, k_soundError, 0, 100, 100);
    } else if (!canAffordStake(game, game.setup.stakeLevel)) {
      playSound(game, k_soundError, 0, 100, 100);
      game.setup.stakeNoticeShown = 1;
    } else {
      playSound(game, 0, 0, 50, 100);  // the menu click
      game.setState(k_stateTableChoice);
      return;
    }
    game.keys.lock(2);
  } else if (game.keys.isPressed(k_keyBack)) {
    if (game.setup.stakeNoticeShown)
      game.setup.stakeNoticeShown = 0;
    else
      game.setState(k_stateRulesChoice);
  } else if (game.keys.isPressed(k_keyRightSoft)) {
    game.setState(k_stateRulesChoice);
  } else if (!game.setup.stakeNoticeShown && (game.keys.isPressed(k_keyRight) || game.keys.isPressed(k_keyLeft))) {
    game.setup.previousStakeLevel = game.setup.stakeLevel;
    game.setup.stakeLevel = game.keys.isPressed(k_keyRight)
                                ? (game.setup.stakeLevel + 1) % k_stakeLevelCount
                                : (game.setup.stakeLevel + k_stakeLevelCount - 1) % k_stakeLevelCount;
    refreshStakeSelection(game);
    game.keys.lock(2);
  }
}

void paintStakeSelection(cGame& game, Graphics* g) {
  if (!g) return;
  selectInterface(game, k_ifStakeChoice);
  setButtonFrames(game, -1, k_stakePlay);
  game.resetClip(g);
  g->setColor(0xFF000000);
  g->fillRect(0, 0, 240, 320);
  // Interface 32 only inside the highlight rectangle, its picture glowing.
  g->setClip(game.setup.stakeHighlight[0], game.setup.stakeHighlight[1], game.setup.stakeHighlight[2],
             game.setup.stakeHighlight[3]);
  const int16_t* glow = getInterfaceElement(game, k_ifStakeChoice, k_stakeGlow);
  const int32_t bankSlot = glow && glow[F::kWordType] == F::kSprite ? glow[F::kWordParams + F::kSpriteBank] : -1;
  ASprite* bank = bankSlot >= 0 && bankSlot < k_spriteSlotCount ? game.loading.sprites[bankSlot] : nullptr;
  if (bank) {
    bank->effectMode = 7;
    bank->effectParam1 = 0xFF00;
    bank->effectParam2 = stakeGlowAmount(game.frame.paintFrameCount);
    bank->effectParam3 = 0;
  }
  paintInterface(game);
  if (bank) bank->effectMode = 0;
  game.resetClip(g);
  selectInterface(game, k_ifStakeDetails);
  setButtonFrames(game, k_stakeBack, -1);
  paintInterface(game);
  drawElementText(game, k_stakeTitle, k_textStakeTitle);
  if (isStakeLevelUnlocked(game, game.setup.stakeLevel)) {
    setTextParam(game, 0, game.setup.stakeLevel);
    drawElementText(game, k_stakeLevelName, k_textStakeName0 + game.setup.stakeLevel);
    textBufferSetString(game, k_textStakeEntry);
    replaceTextTagWithText(game, k_textMoney);
    setTextParam(game, 0, k_stakePrices[game.setup.stakeLevel]);
    drawElementStringLen(game, k_stakePrice, game.text.strings.work, game.text.strings.workLength, -1);
  } else {
    drawElementText(game, k_stakeLocked, k_textStakeLocked);
  }
  if (game.setup.stakeNoticeShown) {
    selectInterface(game, k_ifStakeNotice);
    paintInterface(game);
    drawElementText(game, k_stakeNoticeText, k_textStakeNotice);
  }
  selectInterface(game, k_ifStakeChoice);
}

// ---- versus (210)

void updateVersus(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifVersus;
    selectInterface(game, k_ifVersus);
    int32_t left = game.career.progress.character, right = 0;
    if (game.match.gameType == k_gameTypeQuickMatch || game.match.gameType == k_gameTypeSingleMatch) {
      left = game.setup.chosenCharacter[0];
      right = game.setup.chosenCharacter[1];
    } else if (game.match.gameType == k_gameTypeTournament) {
      right = game.setup.opponentSlot;
    } else {
      right = getRivalCharacter(game, game.setup.opponentSlot);
    }
    left = std::clamp(left, 0, k_specialCharacter);
    right = std::clamp(right, 0, k_specialCharacter);
    setInterfaceElementSprite(game, -1, k_versusPortraitLeft, portraitOf(left));
    setElementFrame(game, k_versusNameLeft, left);
    setInterfaceElementSprite(game, -1, k_versusPortraitRight, portraitOf(right));
    setElementFrame(game, k_versusNameRight, right);
    setUpScreen(game, s);
    return;
  }
  updateInterfaceTimers(game);
  // The back button (the right soft key) goes back; any other key plays.
  if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    if (game.states.previousState == k_stateTournamentStage) game.tournaments.bracketResumes = 1;
    game.setState(game.states.previousState);
  } else if (game.keys.isAnyPressed() && !game.keys.isPressed(k_keyExtra22)) {
    armCoinToss(game);
    enterGameLoading(game);
  }
}

void paintVersus(cGame& game, Graphics* g) {
  paintScreen(game, g, k_versusBack, -1);
  if (game.frame.gameClock % 1000 >= 501) drawElementText(game, k_versusPrompt, k_textTouchPrompt);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapRulesChoice(cGame& g) {
  const Rect rows[] = {row(106, 40), row(154, 40), row(205, 40)};
  const int32_t values[] = {0, 1, 2};
  rowsDown(g, rows, values, 3, 4, false);
  uint8_t& armed = g.states.screenFlags[k_screenFlagDelayedSelect];
  if (rowsUp(g, rows, 3) >= 0) {
    armed = 1;
    g.stylus.delayedSelectTime = g.frame.gameClock;
  }
  if (armed && g.frame.gameClock - g.stylus.delayedSelectTime >= 500) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  const bool left = g.states.subState == k_subStateDestroy;  // the 20 step
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
    g.stylus.leftSoftHighlight = down(g, button);
    rightSoftHighlight(g);
  }
  if (up(g, button)) pair(g, k_touchKeyLeftSoft);
  if (up(g, {15, 186, 40, 55})) pair(g, k_touchKeyLeft);
  if (up(g, {185, 186, 40, 55})) pair(g, k_touchKeyRight);
  rightSoft(g);
}

void mapStakeChoice(cGame& g) {
  g.setup.previousStakeLevel = g.setup.stakeLevel;
  const int32_t seats[8][2] = {
      {0, 125},   {5, 175},   {55, 155}, {70, 202}, {g.setup.skippedSeat == 5 ? 125 : 100, 105},
      {130, 200}, {160, 155}, {200, 224}};
  bool touched = false;
  for (int32_t level = 0; level < 8; ++level) {
    if (down(g, {seats[level][0], seats[level][1], 40, 40})) {
      g.setup.stakeLevel = level;
      touched = true;
      break;
    }
  }
  const Rect button{155, 85, 44, 44};
  leftSoftHighlight(g, button, true);
  rightSoftHighlight(g, true);
  if (touched) refreshStakeSelection(g);
  if (up(g, button)) pair(g, k_touchKeyFire);
  rightSoft(g);
}

// The versus screen: a tap goes on with key 4, the back key goes back.
void mapVersus(cGame& g) { mapWholeScreenBesideBack(g, k_touchKeyFineTurnB); }

}  // namespace

const cGameScreen k_screenRulesChoice = {k_stateRulesChoice, updateRulesSelection, paintRulesSelection, mapRulesChoice};
const cGameScreen k_screenCharacterSelect = {k_stateCharacterSelect, updateCharacterSelection, paintCharacterSelection,
                                             mapCharacterSelect};
const cGameScreen k_screenPlayerChoice = {k_statePlayerChoice, updatePlayerChoice, paintPlayerChoice, mapNoButtons};
const cGameScreen k_screenTableChoice = {k_stateTableChoice, updateTableSelection, paintTableSelection, mapTableChoice};
const cGameScreen k_screenStakeChoice = {k_stateStakeChoice, updateStakeSelection, paintStakeSelection, mapStakeChoice};
const cGameScreen k_screenVersus = {k_stateVersus, updateVersus, paintVersus, mapVersus};
