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

int32_t cGame::tournamentFieldChoiceOr(int32_t otherwise) const {
  const int32_t won = countWonCharacters();
  const int32_t level = m_tournament.level;
  if ((level == 2 && won >= 2) || (level == 1 && won >= 4)) return k_stateTournamentFieldChoice;
  return otherwise;
}

// ---- tournament choice (140)

void cGame::updateTournamentSelection() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceTournamentMenu;
    s.menu = kTournamentItems;
    s.listElement = k_tournamentMenuList;
    s.count = 3;
    setUpScreen(s);
    const int32_t won = countWonCharacters();
    if (won < 7) setMenuEntryFlags(k_textTournamentEight, kVeiled);
    if (won < 3) setMenuEntryFlags(k_textTournamentFour, kVeiled);
  }
  const int32_t id = updateScreen();
  const int32_t sel = m_menu.selection;
  const bool veiled = sel >= 0 && sel < m_menu.count && (m_menu.flags[sel] & kVeiled);
  for (int32_t e : {k_tournamentMenuVeil2, k_tournamentMenuVeil3, k_tournamentMenuVeil0, k_tournamentMenuVeil1})
    setElementVisible(e, veiled);
  updateMenuArrows(k_tournamentMenuArrowUp, k_tournamentMenuArrowDown, false);
  showMenuScrollArrows(k_tournamentMenuArrowUp, k_tournamentMenuArrowDown);
  if (id < 0) {
    setState(k_stateRulesChoice);
    return;
  }
  if (id == 0) return;
  m_tournament.round = -1;
  m_tournament.pickedCount = 0;
  m_tournament.level = id == k_textTournamentDuel ? 2 : id == k_textTournamentFour ? 1 : 0;
  setState(tournamentFieldChoiceOr(k_stateTournamentStage));
}

void cGame::paintTournamentSelection(Graphics* g) {
  paintScreen(g, k_tournamentMenuBack, -1);
  drawElementText(k_tournamentMenuTitle, k_textTournamentTitle);
  paintMenu();
  if (isElementVisible(k_tournamentMenuVeil2)) drawElementText(k_tournamentMenuNote, k_textTournamentVeiled);
}

// ---- field choice (410)

void cGame::updateTournamentFieldChoice() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceFieldChoice;
    s.menu = kFieldItems;
    s.listElement = k_fieldChoiceList;
    s.count = 2;
    setUpScreen(s);
  }
  const int32_t id = updateScreen();
  if (id < 0) {
    setState(k_stateTournamentMenu);
    return;
  }
  if (id == 0) return;
  m_tournament.round = -1;
  m_tournament.pickedCount = 0;
  setState(id == k_textPickField ? k_stateTournamentCharacterSelect : k_stateTournamentStage);
}

void cGame::paintTournamentFieldChoice(Graphics* g) {
  paintScreen(g, k_fieldChoiceBack, -1);
  drawElementText(k_fieldChoiceTitle, k_textFieldChoiceTitle);
  paintMenu();
}

// ---- opponent pick (190)

bool cGame::isPickedCharacter(int32_t c) const {
  const Tournament& t = m_tournament;
  const int32_t n = std::clamp(t.pickedCount + (t.pickBlink >= 0 ? 1 : 0), 0, Tournament::kMaxPicks);
  for (int32_t i = 0; i < n; ++i)
    if (t.picked[i] == c) return true;
  return false;
}

void cGame::movePickCursor(int32_t step) {
  Tournament& t = m_tournament;
  // One turn round the seats at most; the cursor stays when none is free.
  // Leftwards from seat 0 (or from none) the walk goes on at seat 9.
  int32_t seat = t.cursorSeat;
  for (int32_t n = 0; n < kSeatCount; ++n) {
    seat = seat < 0 && step < 0 ? kSeatCount - 1 : (seat + step + kSeatCount) % kSeatCount;
    const int32_t c = pub.seatCharacter[seat];
    if (c >= 0 && !isPickedCharacter(c)) {
      t.cursorSeat = seat;
      t.cursorElement = seat;
      t.cursorCharacter = c;
      break;
    }
  }
  if (t.cursorElement < 0) return;
  const int16_t* e = getInterfaceElement(k_interfacePubSeats, t.cursorElement);
  if (!e) return;
  namespace F = interfaceformat;
  int32_t halfWidth = 0;
  const int32_t bank = e[F::kWordParams + F::kSpriteBank];
  if (bank >= 0 && bank < k_spriteSlotCount && m_sprites[bank])
    halfWidth = m_sprites[bank]->getFrameWidth(e[F::kWordParams + F::kSpriteFrame]) / 2;
  pub.targetX = getInterfaceElementX(k_interfacePubSeats, t.cursorElement) + halfWidth - 120;
}

void cGame::layOutPickSlots() {
  const int32_t level = m_tournament.level;
  for (int32_t e = k_pickSlotDuel; e <= k_pickSlotDuel + 1; ++e)
    setInterfaceElementVisible(k_interfaceTournamentPick, e, level == 2);
  for (int32_t e = k_pickSlotFour; e < k_pickSlotFour + 3 * k_pickSlotStride; ++e)
    setInterfaceElementVisible(k_interfaceTournamentPick, e, level == 1);
  const int32_t slots = level == 2 ? 1 : 3;
  for (int32_t i = 0; i < slots; ++i) {
    setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(level, i), k_headFrameEmptyWinner);
    setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(level, i) + 1, k_headFrameLightOff);
  }
}

void cGame::resetTournamentPicks() {
  m_tournament.pickedCount = 0;
  m_tournament.pickBlink = -1;
  layOutPickSlots();
}

void cGame::updateTournamentOpponentSelection() {
  Tournament& t = m_tournament;
  const int32_t needed = t.level == 2 ? 1 : 3;
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceTournamentPick);
    startInterfaceAnimation();
    pub.arrivedTime = 0;
    t.pickBlink = -1;
    pub.scroll = 0;
    pub.targetX = 0;
    pub.speed = 0;
    pub.ringOffset = 0;
    // The wall's ring as the pub fills it, for the view at 0.
    selectInterface(k_interfacePubWall);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
      paintPubWallColumns(0, 240, 0);
    }
    selectInterface(k_interfaceTournamentPick);
    resetTournamentPicks();
    seatPubRivals();
    t.cursorSeat = -1;
    t.cursorElement = -1;
    t.cursorCharacter = -1;
    movePickCursor(1);
    m_subState = k_subStateUpdate;
    return;
  }
  selectInterface(k_interfaceTournamentPick);
  updateInterfaceTimers();
  const bool blinking = t.pickBlink >= 0;
  auto handled = [this] { m_keys.lock(kKeyLockFrames); };
  auto dropLast = [this, &t, &handled](int32_t emptyState) {
    if (t.pickedCount == 0) {
      t.fieldComplete = 0;
      setState(emptyState);
      return;
    }
    t.pickedCount -= 1;
    setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount), k_headFrameEmptyWinner);
    setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount) + 1, k_headFrameLightOff);
    handled();
  };
  if (m_keys.isPressed(k_keyBack)) {
    // A pick still blinking is dropped first.
    if (blinking) {
      t.pickBlink = -1;
      setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount), k_headFrameEmptyWinner);
      setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount) + 1, k_headFrameLightOff);
      handled();
    } else {
      dropLast(k_stateTournamentFieldChoice);
    }
    if (s_gameState != k_stateTournamentCharacterSelect) return;
  } else if (!blinking && m_keys.isPressed(k_keyRightSoft)) {
    dropLast(k_stateTournamentMenu);
    if (s_gameState != k_stateTournamentCharacterSelect) return;
  } else if (!blinking && m_keys.isPressed(k_keyRight)) {
    movePickCursor(1);
    handled();
  } else if (m_keys.isPressed(k_keyLeft)) {
    movePickCursor(-1);
    handled();
  } else if (!blinking && m_keys.isPressed(k_keySelect) && t.cursorCharacter >= 0 &&
             !isPickedCharacter(t.cursorCharacter) && t.pickedCount < needed) {
    setInterfaceElementFrame(k_interfaceTournamentPick, pickSlot(t.level, t.pickedCount),
                             k_headFrameCharacter0 + t.cursorCharacter);
    t.picked[t.pickedCount] = t.cursorCharacter;
    t.pickBlink = kBlinkMs;
    movePickCursor(1);
    handled();
  }
  if (t.cursorCharacter >= 0) setElementFrame(k_pickCursorName, t.cursorCharacter);
  setElementVisible(k_pickCursorName, t.cursorCharacter >= 0);
  scrollPub();
  selectInterface(k_interfaceTournamentPick);
  if (t.pickBlink >= 0) {
    t.pickBlink -= m_frameTime;
    const int32_t mark = pickSlot(t.level, t.pickedCount) + 1;
    setElementFrame(mark, (std::max(t.pickBlink, 0) % 400) <= 200 ? k_headFrameLightOff : k_headFrameLightOn);
    if (t.pickBlink <= 0) {
      t.pickedCount += 1;
      t.pickBlink = -1;
      if (t.pickedCount >= needed) {
        t.fieldComplete = 1;
        setState(k_stateTournamentFieldConfirm);
      }
    }
  }
}

void cGame::paintTournamentOpponentSelection(Graphics* g) {
  const Tournament& t = m_tournament;
  // The pub as seen from the view, and the cursor's seat once more in front
  // of the scene.
  paintPubBackdrop(g);
  const int32_t x = pub.scroll >= 0 ? pub.scroll / 256 : -((-pub.scroll + 255) / 256);
  if (t.cursorElement >= 0) {
    selectInterface(k_interfacePubSeats);
    paintSpriteElementAt(t.cursorElement, -x, 0, false);
  }
  selectInterface(k_interfaceTournamentPick);
  setButtonFrames(k_pickBack, -1);
  paintInterface();
  const int32_t slots = t.level == 2 ? 1 : 3;
  const int32_t named = t.pickedCount + (t.pickBlink >= 0 ? 1 : 0);
  for (int32_t i = 0; i < slots; ++i) {
    const int32_t c = t.picked[i];
    const bool picked = i < named && c >= 0 && c < Tournament::kCharacterCount;
    drawElementText(pickSlot(t.level, i) + 2, picked ? k_textCharacterName0 + c : k_textEmptySlot);
  }
  drawElementText(k_pickTitle, k_textPickTitle0 + (t.level == 2 ? 0 : t.level == 1 ? 1 : 2));
  drawElementString(k_pickPrompt, kPickPrompt);
}

// ---- field confirmation (420)

void cGame::updateTournamentFieldConfirm() {
  const Tournament& t = m_tournament;
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceFieldConfirm;
    s.menu = kConfirmItems;
    s.listElement = k_confirmList;
    s.count = 2;
    selectInterface(k_interfaceFieldConfirm);
    const bool duel = t.level == 2;
    for (int32_t e = k_confirmDuelFirst; e <= k_confirmDuelFirst + 1; ++e) setElementVisible(e, duel);
    for (int32_t e = k_confirmFourFirst; e <= k_confirmFourLast; ++e) setElementVisible(e, !duel);
    const int32_t slots = duel ? 1 : 3;
    for (int32_t i = 0; i < slots; ++i) {
      const int32_t c = std::clamp(t.picked[i], 0, Tournament::kCharacterCount - 1);
      setElementFrame(duel ? k_confirmDuelFirst : k_confirmFourFirst + 4 * i, k_headFrameCharacter0 + c);
    }
    setUpScreen(s);
  }
  const int32_t id = updateScreen();
  if (id == k_textYes) {
    setState(k_stateTournamentStage);
  } else if (id == k_textNo || id < 0) {
    resetTournamentPicks();
    setState(k_stateTournamentCharacterSelect);
  }
}

void cGame::paintTournamentFieldConfirm(Graphics* g) {
  paintScreen(g, -1, -1);
  drawElementText(k_confirmTitle, k_textConfirmTitle);
  drawElementText(k_confirmQuestion, k_textConfirmQuestion);
  paintMenu();
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

const cGameScreen k_screenTournamentMenu = {k_stateTournamentMenu, [](cGame& g) { g.updateTournamentSelection(); },
                                            [](cGame& g, Graphics* t) { g.paintTournamentSelection(t); },
                                            mapTournamentMenu};
const cGameScreen k_screenTournamentFieldChoice = {
    k_stateTournamentFieldChoice, [](cGame& g) { g.updateTournamentFieldChoice(); },
    [](cGame& g, Graphics* t) { g.paintTournamentFieldChoice(t); }, mapTournamentFieldChoice};
const cGameScreen k_screenTournamentCharacterSelect = {
    k_stateTournamentCharacterSelect, [](cGame& g) { g.updateTournamentOpponentSelection(); },
    [](cGame& g, Graphics* t) { g.paintTournamentOpponentSelection(t); }, mapTournamentCharacterSelect};
const cGameScreen k_screenTournamentFieldConfirm = {
    k_stateTournamentFieldConfirm, [](cGame& g) { g.updateTournamentFieldConfirm(); },
    [](cGame& g, Graphics* t) { g.paintTournamentFieldConfirm(t); }, mapTournamentFieldConfirm};
