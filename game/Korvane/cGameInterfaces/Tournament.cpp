// Entering a tournament: the choice of its size (140), whether to pick the
// field (410), picking the opponents among the rivals seated in the pub
// (190) and confirming them (420).
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"

namespace {

const uint32_t kTournamentItems[] = {k_textTournamentDuel, k_textTournamentFour, k_textTournamentEight};
const uint32_t kFieldItems[] = {k_textRandomField, k_textPickField};
const uint32_t kConfirmItems[] = {k_textYes, k_textNo};
constexpr uint32_t kVeiled = 4;  // the menu's disabled flag: shown under a veil
constexpr int32_t kSeatCount = k_pubSeatCount;
constexpr int32_t kBlinkMs = 600;
constexpr int32_t kKeyLockFrames = 5;
constexpr const char* kPickPrompt = "Touch character name to select";

// The slot element of pick i at a level (2 or 1).
int32_t pickSlot(int32_t level, int32_t i) {
  return level == 2 ? k_pickSlotDuel : k_pickSlotFour + k_pickSlotStride * i;
}

}  // namespace

int32_t tournamentFieldChoiceOr(const cGame& game, int32_t otherwise) {
  const int32_t won = countWonCharacters(game);
  const int32_t level = game.tournaments.draw.level;
  if ((level == 2 && won >= 2) || (level == 1 && won >= 4)) return k_stateTournamentFieldChoice;
  return otherwise;
}

// ---- tournament choice (140)

void updateTournamentSelection(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceTournamentMenu;
    s.menu = kTournamentItems;
    s.listElement = k_tournamentMenuList;
    s.count = 3;
    setUpScreen(game, s);
    const int32_t won = countWonCharacters(game);
    if (won < 7) setMenuEntryFlags(game, k_textTournamentEight, kVeiled);
    if (won < 3) setMenuEntryFlags(game, k_textTournamentFour, kVeiled);
  }
  const int32_t id = updateScreen(game);
  const int32_t sel = game.menu.selection;
  const bool veiled = sel >= 0 && sel < game.menu.count && (game.menu.flags[sel] & kVeiled);
  for (int32_t e : {k_tournamentMenuVeil2, k_tournamentMenuVeil3, k_tournamentMenuVeil0, k_tournamentMenuVeil1})
    setElementVisible(game, e, veiled);
  updateMenuArrows(game, k_tournamentMenuArrowUp, k_tournamentMenuArrowDown, false);
  showMenuScrollArrows(game, k_tournamentMenuArrowUp, k_tournamentMenuArrowDown);
  if (id < 0) {
    game.setState(k_stateRulesChoice);
    return;
  }
  if (id == 0) return;
  game.tournaments.draw.round = -1;
  game.tournaments.draw.pickedCount = 0;
  game.tournaments.draw.level = id == k_textTournamentDuel ? 2 : id == k_textTournamentFour ? 1 : 0;
  game.setState(tournamentFieldChoiceOr(game, k_stateTournamentStage));
}

void paintTournamentSelection(cGame& game, Graphics* g) {
  paintScreen(game, g, k_tournamentMenuBack, -1);
  drawElementText(game, k_tournamentMenuTitle, k_textTournamentTitle);
  paintMenu(game);
  if (isElementVisible(game, k_tournamentMenuVeil2))
    drawElementText(game, k_tournamentMenuNote, k_textTournamentVeiled);
}

// ---- field choice (410)

void updateTournamentFieldChoice(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceFieldChoice;
    s.menu = kFieldItems;
    s.listElement = k_fieldChoiceList;
    s.count = 2;
    setUpScreen(game, s);
  }
  const int32_t id = updateScreen(game);
  if (id < 0) {
    game.setState(k_stateTournamentMenu);
    return;
  }
  if (id == 0) return;
  game.tournaments.draw.round = -1;
  game.tournaments.draw.pickedCount = 0;
  game.setState(id == k_textPickField ? k_stateTournamentCharacterSelect : k_stateTournamentStage);
}

void paintTournamentFieldChoice(cGame& game, Graphics* g) {
  paintScreen(game, g, k_fieldChoiceBack, -1);
  drawElementText(game, k_fieldChoiceTitle, k_textFieldChoiceTitle);
  paintMenu(game);
}

// ---- opponent pick (190)

bool isPickedCharacter(const cGame& game, int32_t c) {
  const Tournament& t = game.tournaments.draw;
  const int32_t n = std::clamp(t.pickedCount + (t.pickBlink >= 0 ? 1 : 0), 0, Tournament::kMaxPicks);
  for (int32_t i = 0; i < n; ++i)
    if (t.picked[i] == c) return true;
  return false;
}

void movePickCursor(cGame& game, int32_t step) {
  Tournament& t = game.tournaments.draw;
  // One turn round the seats at most; the cursor stays when none is free.
  // Leftwards from seat 0 (or from none) the walk goes on at seat 9.
  int32_t seat = t.cursorSeat;
  for (int32_t n = 0; n < kSeatCount; ++n) {
    seat = seat < 0 && step < 0 ? kSeatCount - 1 : (seat + step + kSeatCount) % kSeatCount;
    const int32_t c = game.pub.seatCharacter[seat];
    if (c >= 0 && !isPickedCharacter(game, c)) {
      t.cursorSeat = seat;
      t.cursorElement = seat;
      t.cursorCharacter = c;
      break;
    }
  }
  if (t.cursorElement < 0) return;
  const int16_t* e = getInterfaceElement(game, k_interfacePubSeats, t.cursorElement);
  if (!e) return;
  namespace F = interfaceformat;
  int32_t halfWidth = 0;
  const int32_t bank = e[F::kWordParams + F::kSpriteBank];
  if (bank >= 0 && bank < k_spriteSlotCount && game.loading.sprites[bank])
    halfWidth = game.loading.sprites[bank]->getFrameWidth(e[F::kWordParams + F::kSpriteFrame]) / 2;
  game.pub.targetX = getInterfaceElementX(game, k_interfacePubSeats, t.cursorElement) + halfWidth - 120;
}

void layOutPickSlots(cGame& game) {
  const int32_t level = game.tournaments.draw.level;
  for (int32_t e = k_pickSlotDuel; e <= k_pickSlotDuel + 1; ++e)
    setInterfaceElementVisible(game, k_interfaceTournamentPick, e, level == 2);
  for (int32_t e = k_pickSlotFour; e < k_pickSlotFour + 3 * k_pickSlotStride; ++e)
    setInterfaceElementVisible(game, k_interfaceTournamentPick, e, level == 1);
  const int32_t slots = level == 2 ? 1 : 3;
  for (int32_t i = 0; i < slots; ++i) {
    setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(level, i), k_headFrameEmptyWinner);
    setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(level, i) + 1, k_headFrameLightOff);
  }
}

void resetTournamentPicks(cGame& game) {
  game.tournaments.draw.pickedCount = 0;
  game.tournaments.draw.pickBlink = -1;
  layOutPickSlots(game);
}

void updateTournamentOpponentSelection(cGame& game) {
  Tournament& t = game.tournaments.draw;
  const int32_t needed = t.level == 2 ? 1 : 3;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceTournamentPick);
    startInterfaceAnimation(game);
    game.pub.arrivedTime = 0;
    t.pickBlink = -1;
    game.pub.scroll = 0;
    game.pub.targetX = 0;
    game.pub.speed = 0;
    game.pub.ringOffset = 0;
    // The wall's ring as the pub fills it, for the view at 0.
    selectInterface(game, k_interfacePubWall);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
      paintPubWallColumns(game, 0, 240, 0);
    }
    selectInterface(game, k_interfaceTournamentPick);
    resetTournamentPicks(game);
    seatPubRivals(game);
    t.cursorSeat = -1;
    t.cursorElement = -1;
    t.cursorCharacter = -1;
    movePickCursor(game, 1);
    game.states.subState = k_subStateUpdate;
    return;
  }
  selectInterface(game, k_interfaceTournamentPick);
  updateInterfaceTimers(game);
  const bool blinking = t.pickBlink >= 0;
  auto handled = [&game] { game.keys.lock(kKeyLockFrames); };
  auto dropLast = [&game, &t, &handled](int32_t emptyState) {
    if (t.pickedCount == 0) {
      t.fieldComplete = 0;
      game.setState(emptyState);
      return;
    }
    t.pickedCount -= 1;
    setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount), k_headFrameEmptyWinner);
    setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount) + 1,
                             k_headFrameLightOff);
    handled();
  };
  if (game.keys.isPressed(k_keyBack)) {
    // A pick still blinking is dropped first.
    if (blinking) {
      t.pickBlink = -1;
      setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount),
                               k_headFrameEmptyWinner);
      setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount) + 1,
                               k_headFrameLightOff);
      handled();
    } else {
      dropLast(k_stateTournamentFieldChoice);
    }
    if (game.states.gameState != k_stateTournamentCharacterSelect) return;
  } else if (!blinking && game.keys.isPressed(k_keyRightSoft)) {
    dropLast(k_stateTournamentMenu);
    if (game.states.gameState != k_stateTournamentCharacterSelect) return;
  } else if (!blinking && game.keys.isPressed(k_keyRight)) {
    movePickCursor(game, 1);
    handled();
  } else if (game.keys.isPressed(k_keyLeft)) {
    movePickCursor(game, -1);
    handled();
  } else if (!blinking && game.keys.isPressed(k_keySelect) && t.cursorCharacter >= 0 &&
             !isPickedCharacter(game, t.cursorCharacter) && t.pickedCount < needed) {
    setInterfaceElementFrame(game, k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount),
                             k_headFrameCharacter0 + t.cursorCharacter);
    t.picked[t.pickedCount] = t.cursorCharacter;
    t.pickBlink = kBlinkMs;
    movePickCursor(game, 1);
    handled();
  }
  if (t.cursorCharacter >= 0) setElementFrame(game, k_pickCursorName, t.cursorCharacter);
  setElementVisible(game, k_pickCursorName, t.cursorCharacter >= 0);
  scrollPub(game);
  selectInterface(game, k_interfaceTournamentPick);
  if (t.pickBlink >= 0) {
    t.pickBlink -= game.frame.frameTime;
    const int32_t mark = pickSlot(t.level, t.pickedCount) + 1;
    setElementFrame(game, mark, (std::max(t.pickBlink, 0) % 400) <= 200 ? k_headFrameLightOff : k_headFrameLightOn);
    if (t.pickBlink <= 0) {
      t.pickedCount += 1;
      t.pickBlink = -1;
      if (t.pickedCount >= needed) {
        t.fieldComplete = 1;
        game.setState(k_stateTournamentFieldConfirm);
      }
    }
  }
}

void paintTournamentOpponentSelection(cGame& game, Graphics* g) {
  const Tournament& t = game.tournaments.draw;
  // The pub as seen from the view, and the cursor's seat once more in front
  // of the scene.
  paintPubBackdrop(game, g);
  const int32_t x = game.pub.scroll >= 0 ? game.pub.scroll / 256 : -((-game.pub.scroll + 255) / 256);
  if (t.cursorElement >= 0) {
    selectInterface(game, k_interfacePubSeats);
    paintSpriteElementAt(game, t.cursorElement, -x, 0, false);
  }
  selectInterface(game, k_interfaceTournamentPick);
  setButtonFrames(game, k_pickBack, -1);
  paintInterface(game);
  const int32_t slots = t.level == 2 ? 1 : 3;
  const int32_t named = t.pickedCount + (t.pickBlink >= 0 ? 1 : 0);
  for (int32_t i = 0; i < slots; ++i) {
    const int32_t c = t.picked[i];
    const bool picked = i < named && c >= 0 && c < Tournament::kCharacterCount;
    drawElementText(game, pickSlot(t.level, i) + 2, picked ? k_textCharacterName0 + c : k_textEmptySlot);
  }
  drawElementText(game, k_pickTitle, k_textPickTitle0 + (t.level == 2 ? 0 : t.level == 1 ? 1 : 2));
  drawElementString(game, k_pickPrompt, kPickPrompt);
}

// ---- field confirmation (420)

void updateTournamentFieldConfirm(cGame& game) {
  const Tournament& t = game.tournaments.draw;
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceFieldConfirm;
    s.menu = kConfirmItems;
    s.listElement = k_confirmList;
    s.count = 2;
    selectInterface(game, k_interfaceFieldConfirm);
    const bool duel = t.level == 2;
    for (int32_t e = k_confirmDuelFirst; e <= k_confirmDuelFirst + 1; ++e) setElementVisible(game, e, duel);
    for (int32_t e = k_confirmFourFirst; e <= k_confirmFourLast; ++e) setElementVisible(game, e, !duel);
    const int32_t slots = duel ? 1 : 3;
    for (int32_t i = 0; i < slots; ++i) {
      const int32_t c = std::clamp(t.picked[i], 0, Tournament::kCharacterCount - 1);
      setElementFrame(game, duel ? k_confirmDuelFirst : k_confirmFourFirst + 4 * i, k_headFrameCharacter0 + c);
    }
    setUpScreen(game, s);
  }
  const int32_t id = updateScreen(game);
  if (id == k_textYes) {
    game.setState(k_stateTournamentStage);
  } else if (id == k_textNo || id < 0) {
    resetTournamentPicks(game);
    game.setState(k_stateTournamentCharacterSelect);
  }
}

void paintTournamentFieldConfirm(cGame& game, Graphics* g) {
  paintScreen(game, g, -1, -1);
  drawElementText(game, k_confirmTitle, k_textConfirmTitle);
  drawElementText(game, k_confirmQuestion, k_textConfirmQuestion);
  paintMenu(game);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapTournamentMenu(cGame& g) {
  mapRows(g, {106, 154, 205}, 40);
  rightSoft(g);
}

void mapTournamentFieldChoice(cGame& g) {
  const Rect rows[] = {row(141, 24), row(181, 24)};
  const int32_t values[] = {0, 1};
  rowsDown(g, rows, values, 2, -1, false);
  rightSoftHighlight(g);
  if (rowsUp(g, rows, 2) >= 0) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapTournamentFieldConfirm(cGame& g) { mapRows(g, {154, 206}, 40); }

void mapTournamentCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  if (up(g, {79, 137, 80, 54})) pair(g, k_touchKeyFire);
  rightSoft(g);
  if (up(g, {0, 137, 40, 40})) pair(g, k_touchKeyLeft);
  if (up(g, {200, 137, 40, 40})) pair(g, k_touchKeyRight);
}

}  // namespace

const cGameScreen k_screenTournamentMenu = {k_stateTournamentMenu, updateTournamentSelection, paintTournamentSelection,
                                            mapTournamentMenu};
const cGameScreen k_screenTournamentFieldChoice = {k_stateTournamentFieldChoice, updateTournamentFieldChoice,
                                                   paintTournamentFieldChoice, mapTournamentFieldChoice};
const cGameScreen k_screenTournamentCharacterSelect = {k_stateTournamentCharacterSelect,
                                                       updateTournamentOpponentSelection,
                                                       paintTournamentOpponentSelection, mapTournamentCharacterSelect};
const cGameScreen k_screenTournamentFieldConfirm = {k_stateTournamentFieldConfirm, updateTournamentFieldConfirm,
                                                    paintTournamentFieldConfirm, mapTournamentFieldConfirm};
