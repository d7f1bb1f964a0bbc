// The main menu (state 50): a wheel of seven entries with the chosen one on
// the middle row. Choosing runs the marker (element 19) up to the row's text,
// slides the row out to the right, and only then acts on the entry.
#include <cstdint>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "platform/brew/AppletGameBridge.h"
#include "platform/brew/GameHost.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"

namespace F = interfaceformat;

namespace {

const uint32_t kMainMenuItems[] = {k_textQuickMatch, k_textCareer, k_textSingleMatch, k_textOptions,
                                   k_textHelp,       k_textAbout,  k_textExit};
constexpr int32_t kMainMenuCount = 7;

constexpr uint32_t kHidden = 1, kSuffix = 2, kVeiled = 4, kBadge = 8;
constexpr int32_t kSwing = 2560;            // 10 px in 1/256 px
constexpr int64_t kSwingSpeed = 10240;      // 40 px/s in 1/256 px
constexpr int64_t kRunSpeed = 102400;       // 400 px/s
constexpr int32_t kRowGone = 240;
constexpr int32_t kPulsePeriod = 64;
constexpr uint32_t kVeil = 0xAA000000;
constexpr int32_t kActionExit = 0;

// Yes to the exit question: a tutorial left this way counts as left, and the
// program ends.
void quitProgram(cGame& game) {
  if (game.match.gameType == k_gameTypeTutorial) {
    game.tutorial.left = 1;
    saveSettings(game);
  }
  game.setState(k_stateNone);
  game.loading.quitRequested = 1;
  if (AppletGameBridge* bridge = getAppletGameBridge())
    if (bridge->getGame() == static_cast<GameBase*>(&game)) bridge->requestQuit();
}

int32_t wrapIndex(int32_t i, int32_t count) {
  if (count <= 0) return 0;
  const int32_t r = i % count;
  return r < 0 ? r + count : r;
}

// 1/256 px covered in the frame at a speed given per second (a long frame
// after a pause cannot overflow).
int32_t distance(int32_t frameMs, int64_t perSecond) {
  const int64_t d = static_cast<int64_t>(frameMs < 0 ? 0 : frameMs) * perSecond / 1000;
  return static_cast<int32_t>(d < (1 << 24) ? d : 1 << 24);
}

}  // namespace

int32_t getMainMenuRowEntry(const cGame& game, int32_t row, int32_t first) {
  const MenuList& m = game.menu;
  if (row < 0 || m.count <= 0) return -1;
  int32_t r = 0;
  // Each entry has one row at most, however many rows the list has.
  for (int32_t k = 0; k < m.count; ++k) {
    const int32_t entry = wrapIndex(first + k, m.count);
    if (m.flags[entry] & kHidden) continue;
    if (r == row) return entry;
    ++r;
  }
  return -1;
}

void updateMainMenu(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceMainMenu;
    s.menu = kMainMenuItems;
    s.listElement = k_mainMenuList;
    s.rows = 7;
    s.count = kMainMenuCount;
    s.music = k_musicTitle;
    setUpScreen(game, s);
    game.inGameMenus.entry199Shown = 0;
    game.mainMenu.slide = MainMenuScreen::Slide();
    game.mainMenu.slide.restX = getElementX(game, k_mainMenuMarker);
    game.mainMenu.tick = game.host().tickCount();
    game.mainMenu.touchFirst = k_noTouchFirst;
    game.match.gameType = k_gameTypeNone;
    game.menu.selection = -1;
    return;
  }
  updateScreen(game, false);
  const int32_t id = slideMainMenuSelection(game);
  updateMenuArrows(game, k_mainMenuArrowUp, k_mainMenuArrowDown, false);
  switch (id) {
    case k_textQuickMatch:
      game.match.gameType = k_gameTypeQuickMatch;
      game.setState(k_stateRulesChoice);
      break;
    case k_textCareer:
      game.setState(game.career.progress.started ? k_statePub : k_stateCareerCharacterSelect);
      break;
    case k_textSingleMatch:
      game.match.gameType = k_gameTypeSingleMatch;
      game.setState(k_stateRulesChoice);
      break;
    case k_textOptions:
      game.setState(k_stateOptions);
      break;
    case k_textHelp:
      game.setState(k_stateHelpMenu);
      break;
    case k_textAbout:
      game.setState(k_stateAbout);
      break;
    case k_textExit:
      openQuestion(game, k_questionExit, k_textNo);
      break;
    default:
      break;
  }
}

const Question k_questionExit = {.title = k_textExit,
                                 .body = k_textQuestionBody,
                                 .returnState = k_stateMainMenu,
                                 .action = kActionExit,
                                 .panel = k_interfaceMainMenu,
                                 .yes = quitProgram,
                                 .setUp = showTournamentMatchNote,
                                 .paint = paintTournamentMatchNote};

int32_t slideMainMenuSelection(cGame& game) {
  MainMenuScreen::Slide& s = game.mainMenu.slide;
  switch (s.phase) {
    case 0: {
      int32_t id = updateMenu(game);
      const int16_t* header = getInterfaceElement(game, -1, k_mainMenuHeader);
      if (header && game.interfaces.interfaceAnimations) {
        const int32_t timer = header[F::kWordType] == F::kSprite ? header[F::kWordParams + F::kSpriteTimer]
                              : header[F::kWordType] == F::kText ? header[F::kWordParams + F::kTextTimer]
                                                                 : 0;
        if (timer > 0) id = 0;
      }
      // The selection sits on the third row: the list starts two shown
      // entries before it.
      int32_t first = game.menu.selection;
      for (int32_t back = 0, k = 0; back < 2 && k < game.menu.count; ++k)
        if (!(game.menu.flags[wrapIndex(--first, game.menu.count)] & kHidden)) ++back;
      game.menu.firstVisible = first;
      const int32_t step = distance(game.frame.frameTime, kSwingSpeed);
      s.offset += s.direction ? step : -step;
      if (s.offset >= kSwing) {
        s.offset = kSwing;
        s.direction = 0;
      } else if (s.offset < -(kSwing - 1)) {
        s.offset = -kSwing;
        s.direction = 1;
      }
      setElementX(game, -1, k_mainMenuMarker, s.restX + s.offset / 256);
      if (id > 0) {
        const int32_t font = getElementFont(game, k_mainMenuChosenRow);
        ASprite* menuFont = font >= 0 && font < TextLayoutData::kMaxFonts ? game.text.fonts[font] : nullptr;
        const int32_t textWidth = menuFont ? getStringWidth(game, menuFont, id) : 0;
        s.targetX =
            getElementX(game, k_mainMenuChosenRow) + getElementWidth(game, k_mainMenuChosenRow) / 2 - textWidth / 2;
        s.chosen = id;
        s.phase = 1;
      }
      return 0;
    }
    case 1: {
      s.offset += distance(game.frame.frameTime, kRunSpeed);
      const int32_t x = s.restX + s.offset / 256;
      setElementX(game, -1, k_mainMenuMarker, x);
      int32_t width = 0;
      if (const int16_t* marker = getInterfaceElement(game, -1, k_mainMenuMarker)) {
        const int32_t slot = marker[F::kWordParams + F::kSpriteBank];
        const int32_t frame = marker[F::kWordParams + F::kSpriteFrame];
        ASprite* bank = slot >= 0 && slot < k_spriteSlotCount ? game.loading.sprites[slot] : nullptr;
        if (bank && frame >= 0 && frame < bank->frameCount) width = bank->getFrameWidth(frame);
      }
      if (x + width >= s.targetX) {
        setElementX(game, -1, k_mainMenuMarker, s.targetX - width);
        s.phase = 2;
        s.rowX = getElementX(game, k_mainMenuChosenRow);
        s.offset = s.rowX * 256;
      }
      return 0;
    }
    case 2:
      s.offset += distance(game.frame.frameTime, kRunSpeed);
      setElementX(game, -1, k_mainMenuChosenRow, s.offset / 256);
      if (s.offset / 256 > kRowGone) s.phase = 3;
      return 0;
    default: {
      setElementX(game, -1, k_mainMenuChosenRow, s.rowX);
      setElementX(game, -1, k_mainMenuMarker, s.restX);
      // Back to the swing, so a screen that stays does not choose again.
      s.phase = 0;
      s.offset = 0;
      return s.chosen;
    }
  }
}

void paintMainMenu(cGame& game, Graphics* g) {
  paintScreen(game, g, -1, -1);
  paintMainMenuList(game, g);
  paintSpriteElement(game, k_mainMenuMarker, false);
}

void paintMainMenuList(cGame& game, Graphics* g) {
  const MenuList& m = game.menu;
  if (!m.table || !g) return;
  const bool leaving = game.mainMenu.slide.phase == 2;
  if (leaving) g->setClip(getElementX(game, m.listElement), 0, getElementWidth(game, m.listElement), 320);
  const int32_t rows = m.rows < 0 ? m.count : m.rows;
  const bool badges = game.files.record4 && game.files.record4[0] == 0;
  ASprite* ui = game.loading.sprites[k_slotUi];
  const bool haveBadge = ui && ui->frameCount > k_uiFrameNewBadge;
  for (int32_t r = 0; r < rows; ++r) {
    const int32_t entry = getMainMenuRowEntry(game, r, m.firstVisible);
    if (entry < 0) break;
    const int32_t e = m.listElement + r;
    const int16_t* box = getInterfaceElement(game, -1, e);
    const uint32_t flags = m.flags[entry];
    textBufferSetString(game, static_cast<int32_t>(m.table[entry]));
    if (flags & kSuffix) {
      textBufferAppend(game, " ");
      textBufferAppendString(game, static_cast<int32_t>(flags >> 16));
    }
    const bool selected = entry == m.selection;
    const int32_t palette = selected ? 2 : 0;
    if ((flags & kBadge) && badges && box && box[F::kWordType] == F::kText) {
      const int32_t font = box[F::kWordParams + F::kTextFont];
      ASprite* f = font >= 0 && font < TextLayoutData::kMaxFonts ? game.text.fonts[font] : nullptr;
      const int32_t textWidth = f ? getCharsWidth(game, f, game.text.strings.work, 0, game.text.strings.workLength) : 0;
      const int32_t badgeWidth = haveBadge ? ui->getFrameWidth(k_uiFrameNewBadge) : 0;
      const int32_t x = box[F::kWordX], y = box[F::kWordY];
      const int32_t w = box[F::kWordParams + F::kTextWidth], h = box[F::kWordParams + F::kTextHeight];
      const bool centred = textWidth / 2 + badgeWidth < w / 2 + 10;
      drawElementStringStyled(game, e, game.text.strings.work, game.text.strings.workLength, palette, centred ? 1 : -1);
      if (haveBadge && isBlinkOn(game))
        ui->paintFrame(g, k_uiFrameNewBadge, centred ? x + w / 2 + textWidth / 2 : x + textWidth, y + h / 2, 0);
    } else {
      drawElementStringLen(game, e, game.text.strings.work, game.text.strings.workLength, palette);
    }
    if (box && box[F::kWordType] == F::kText) {
      const int32_t x = box[F::kWordX], y = box[F::kWordY];
      const int32_t w = box[F::kWordParams + F::kTextWidth], h = box[F::kWordParams + F::kTextHeight];
      if (selected && box[F::kWordParams + F::kTextFont] != 0 && !leaving &&
          (box[F::kWordParams + F::kTextTimer] < 1 || !game.interfaces.interfaceAnimations))
        glowArea(game, g, x + game.frontEnd.lastSlideX, y + game.frontEnd.lastSlideY, w, h,
                 static_cast<int32_t>(pulseColour(game, kPulsePeriod, 0, 100)),
                 static_cast<int32_t>(pulseColour(game, kPulsePeriod, 0, 80)),
                 static_cast<int32_t>(pulseColour(game, kPulsePeriod, 10, 25)));
      if (flags & kVeiled) fillRectAlpha(game, g, x, y, w, h, kVeil);
    }
  }
  if (leaving) game.resetClip(g);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// The main menu's list turns to bring the selection to its third row, so a
// row gives the entry it showed when the pen went down, not its own index.
void mapMainMenu(cGame& g) {
  int32_t& first = g.mainMenu.touchFirst;
  if (penDown(g) && first == k_noTouchFirst) first = g.menu.firstVisible;
  const int32_t shownFrom = first == k_noTouchFirst ? g.menu.firstVisible : first;
  Rect rows[7];
  int32_t values[7];
  for (int32_t i = 0; i < 7; ++i) {
    rows[i] = row(49 + 40 * i, 24);
    values[i] = getMainMenuRowEntry(g, i, shownFrom);
  }
  rowsDown(g, rows, values, 7, -1, true);
  const int32_t hit = rowsUp(g, rows, 7);
  if (!penDown(g)) first = k_noTouchFirst;
  if (hit >= 0) {
    g.menu.selection = values[hit];
    press(g, k_touchKeyLeftSoft);
  }
}

}  // namespace

const cGameScreen k_screenMainMenu = {k_stateMainMenu, updateMainMenu, paintMainMenu, mapMainMenu};
