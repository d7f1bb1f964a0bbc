// The help menu (state 120), a help text shown page by page (240), the
// tutorial choice (130) and the scrolling credits of the about screen (290).
// The help menu, its pages and the tutorial choice also open over a paused
// match, from the options of the in-game menu.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"

namespace F = interfaceformat;

namespace {

constexpr uint32_t kHidden = 1;
const uint32_t kLessonItems[] = {55, 56, 57, 58, 59};
constexpr int32_t kLessonCount = 5;
constexpr int32_t kLessonRows = 4;
constexpr int32_t kTutorialOpponent = 10;

// Help subjects: the title and the body shown for each.
struct HelpSubject {
  int32_t subject, title, body;
};
constexpr HelpSubject kSubjects[] = {
    {k_textHelpControls, k_textHelpControls, k_textHelpControlsBody},
    {k_textHelpMoney, k_textHelpMoney, k_textHelpMoneyBody},
    {k_textRuleSet0, k_textRulesTitle0, k_textRulesTitle0 + 1},
    {k_textRuleSet0 + 1, k_textRulesTitle0 + 2, k_textRulesTitle0 + 3},
    {k_textRuleSet0 + 2, k_textRulesTitle0 + 4, k_textRulesTitle0 + 5},
};
// The amounts printed into the four tags of the money help.
constexpr int32_t kMoneyAmounts[4] = {100, 200, 100, 500};

constexpr int32_t kAboutFont = 0;
constexpr int32_t kAboutX = 10;
constexpr int32_t kAboutCentreX = 120;
constexpr int32_t kAboutMaxHeight = 30000;
constexpr int32_t kAnchorLeftTop = 16 | 0x100;
constexpr int32_t kAnchorCentreTop = 32 | 0x100;

// Leaves a screen shown over a paused match without clearing its stack.
void leaveTo(cGame& g, int32_t state) {
  if (g.states.inGame == 1)
    g.setInGameState(state);
  else
    g.setState(state);
}

bool anyKey(const cGame& g, uint32_t mask) { return g.keys.isPressed(mask) || g.keys.isHeld(mask); }

}  // namespace

// ---- help menu

void updateHelpMenu(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceHelpMenu;
    s.menu = k_helpAndCharacterTable;
    s.listElement = k_helpMenuList;
    s.rows = 4;
    s.count = k_helpMenuCount;
    setUpScreen(game, s);
    // No tutorial from a paused match.
    if (game.frontEnd.menusOverMatch) setMenuEntryFlags(game, k_textHelpTutorial, kHidden);
    return;
  }
  const int32_t id = updateScreen(game);
  updateMenuArrows(game, k_helpMenuArrowUp, k_helpMenuArrowDown, false);
  showMenuScrollArrows(game, k_helpMenuArrowUp, k_helpMenuArrowDown);
  switch (id) {
    case k_textHelpControls:
    case k_textHelpMoney:
      game.setup.helpSubject = id;
      goToScreen(game, k_stateHelpText);
      break;
    case k_textHelpRules:
      goToScreen(game, k_stateRulesChoice);
      break;
    case k_textHelpTutorial:
      goToScreen(game, k_stateTutorialChoice);
      break;
    default:
      if (id >= 0) break;
      if (game.frontEnd.menusOverMatch)
        game.setInGameState(k_stateOptions);
      else
        game.setState(k_stateMainMenu);
      break;
  }
}

void paintHelpMenu(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  paintScreen(game, g, k_helpMenuBack, -1);
  drawElementText(game, k_helpMenuTitle, k_textHelpTitle);
  paintMenu(game);
}

// ---- help page

void buildHelpMoneyText(cGame& game) {
  textBufferSetString(game, k_textHelpMoneyBody);
  for (int32_t i = 0; i < 4; ++i) replaceTextTagWithText(game, k_textMoney);
  const int32_t n = std::clamp(game.text.strings.workLength, 0, TextTableData::kWorkSize - 1);
  std::memcpy(game.help.filled, game.text.strings.work, static_cast<size_t>(n));
  game.help.filled[n] = 0;
  game.help.filledLength = n;
}

void updateHelpPage(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    game.help.page = 0;
    game.help.arrowKeys = 0;
    FrontEndScreen s;
    s.interfaceId = k_interfaceHelpPage;
    setUpScreen(game, s);
    resetInterfaceAnimation(game, false);
    game.help.title = k_textHelpControls;
    game.help.body = k_textHelpControlsBody;
    for (const HelpSubject& h : kSubjects)
      if (h.subject == game.setup.helpSubject) {
        game.help.title = h.title;
        game.help.body = h.body;
      }
    int32_t pages = 0;
    if (game.help.body == k_textHelpMoneyBody) {
      buildHelpMoneyText(game);
      const int16_t* e = getInterfaceElement(game, -1, k_helpPageBody);
      const int32_t font = e ? e[F::kWordParams + F::kTextFont] : -1;
      if (font >= 0 && font < TextLayoutData::kMaxFonts && game.text.fonts[font]) {
        for (int32_t i = 0; i < 4; ++i) setTextParam(game, i, kMoneyAmounts[i]);
        pages = layoutText(game, game.text.fonts, game.help.filled, 0, game.help.filledLength, font,
                           e[F::kWordParams + F::kTextWidth], e[F::kWordParams + F::kTextHeight]);
        game.text.layout.cacheKey = 0;
      }
    } else {
      pages = drawElementWrappedText(game, k_helpPageBody, game.help.body);
    }
    // The layout holds a bounded number of pages: show the ones it has.
    game.help.pageCount = std::clamp(pages, 1, TextLayoutData::kMaxPages);
    return;
  }
  updateScreen(game, false);
  game.help.morePages = game.help.page < game.help.pageCount - 1;
  // The arrows repeat their key while the pen rests on them: a page turns
  // once per touch.
  const uint8_t keys =
      static_cast<uint8_t>((game.keys.isPressed(k_keyUp) ? 1 : 0) | (game.keys.isPressed(k_keyDown) ? 2 : 0));
  const uint8_t fresh = static_cast<uint8_t>(keys & ~game.help.arrowKeys);
  game.help.arrowKeys = keys;
  if (keys & 2) {
    if ((fresh & 2) && game.help.morePages) ++game.help.page;
  } else if (keys & 1) {
    if ((fresh & 1) && game.help.page > 0) --game.help.page;
  } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    leaveTo(game, game.states.previousState);
    return;
  }
  game.help.page = std::clamp(game.help.page, 0, game.help.pageCount - 1);
  game.help.morePages = game.help.page < game.help.pageCount - 1;
  setElementVisible(game, k_helpPageArrowUp, game.help.page != 0);
  setElementVisible(game, k_helpPageArrowDown, game.help.morePages != 0);
  updateMenuArrows(game, k_helpPageArrowUp, k_helpPageArrowDown, false);
}

void paintHelpPage(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy || !g) return;
  paintScreen(game, g, k_helpPageBack, -1);
  drawElementText(game, k_helpPageTitle, game.help.title);
  const int16_t* e = getInterfaceElement(game, -1, k_helpPageBody);
  if (!e || e[F::kWordType] != F::kText) return;
  const int32_t font = e[F::kWordParams + F::kTextFont];
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !game.text.fonts[font]) return;
  const int32_t x = e[F::kWordX], y = e[F::kWordY];
  const int32_t w = e[F::kWordParams + F::kTextWidth], h = e[F::kWordParams + F::kTextHeight];
  const int32_t palette = e[F::kWordParams + F::kTextPalette];
  ASprite* bank = game.text.fonts[font];
  if (palette >= 0 && palette < bank->paletteCount) bank->setCurrentPalette(palette);
  g->setClip(x, y - 2, w, h + 2);
  const int32_t flags = kAnchorLeftTop;
  if (game.help.body == k_textHelpMoneyBody) {
    for (int32_t i = 0; i < 4; ++i) setTextParam(game, i, kMoneyAmounts[i]);
    game.text.layout.font = static_cast<uint8_t>(font);
    drawWrappedTextPage(game, g, game.text.fonts, -1, game.help.filled, 0, game.help.filledLength, x, y, w, h,
                        game.help.page, flags);
    game.text.layout.cacheKey = 0;
  } else {
    drawWrappedString(game, g, game.text.fonts, game.help.body, font, x, y, w, h, game.help.page, flags);
  }
  game.resetClip(g);
  bank->setCurrentPalette(0);
}

// ---- tutorial choice

void markPassedLessons(cGame& game) {
  for (int32_t i = 0; i < kLessonRows; ++i) {
    const int32_t lesson = game.menu.firstVisible + i;
    const bool passed = lesson >= 0 && lesson < kLessonCount && ((game.career.progress.counterA >> lesson) & 1u);
    setInterfaceElementAnim(game, k_interfaceTutorialChoice, k_tutorialTick0 + i,
                            passed ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
}

void updateTutorialSelection(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceTutorialChoice;
    s.menu = kLessonItems;
    s.listElement = k_tutorialList;
    s.rows = kLessonRows;
    s.count = kLessonCount;
    setUpScreen(game, s);
    markPassedLessons(game);
    game.help.tutorialFirstRow = game.menu.firstVisible;
    return;
  }
  updateScreen(game, false);
  const int32_t id = updateMenu(game);
  // A scrolled list slides in again with its own ticks.
  if (game.menu.firstVisible != game.help.tutorialFirstRow) {
    game.help.tutorialFirstRow = game.menu.firstVisible;
    startInterfaceAnimation(game);
    markPassedLessons(game);
  }
  updateMenuArrows(game, k_tutorialArrowUp, k_tutorialArrowDown, false);
  showMenuScrollArrows(game, k_tutorialArrowUp, k_tutorialArrowDown);
  if (id < 0) {
    goToScreen(game, k_stateHelpMenu);
    return;
  }
  if (id < k_textLesson0 || id >= k_textLesson0 + kLessonCount) return;
  game.match.lessonNumber = id - k_textLesson0;
  game.tutorial.started = 0;
  game.tutorial.savedGameType = -1;  // a lesson chosen here interrupts no match
  game.match.gameType = k_gameTypeTutorial;
  // The lesson is played with the career's character, or else the one of
  // the quick match.
  if (!game.career.progress.started) game.career.progress.character = game.setup.chosenCharacter[0];
  game.setup.chosenRival = kTutorialOpponent;
  game.setState(k_stateGameLoading);
}

void paintTutorialSelection(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  paintScreen(game, g, k_tutorialBack, -1);
  drawElementText(game, k_tutorialTitle, k_textTutorialTitle);
  paintMenu(game);
}

// ---- about

int32_t getAboutTextHeight(cGame& game, int32_t textId) {
  ASprite* font = game.text.fonts[kAboutFont];
  const int32_t line = font ? font->getFontHeight() : 0;
  const char* data = getStringData(game, textId);
  const int32_t length = getStringLength(game, textId);
  if (!font || !data || length <= 0) return line;
  resetLayout(game, game.text.fonts, kAboutFont);
  layoutTextLines(game, game.text.fonts, data, 0, length, game.help.aboutTextWidth, kAboutMaxHeight,
                  TextLayoutData::kMaxPages - 1);
  game.text.layout.cacheKey = 0;
  int32_t height = 0;
  const int32_t pages = std::clamp(game.text.layout.pageCount, 0, TextLayoutData::kMaxPages);
  for (int32_t p = 0; p < pages; ++p) height += game.text.layout.pages[p].height;
  return height > 0 ? height : line;
}

void updateAbout(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  const int32_t viewHeight = 320 - game.help.aboutViewTop - game.help.aboutBottomMargin;
  if (game.states.subState == k_subStateInit) {
    game.help.productName = "Korvane";
    std::memset(game.help.aboutText, 0, sizeof game.help.aboutText);
    const char* label = getStringData(game, k_textVersion);
    const int32_t labelLength = label ? std::clamp(getStringLength(game, k_textVersion), 0, k_aboutBufferSize - 1) : 0;
    if (labelLength > 0) std::memcpy(game.help.aboutText, label, static_cast<size_t>(labelLength));
    std::snprintf(game.help.aboutText + labelLength, static_cast<size_t>(k_aboutBufferSize - labelLength), "%s",
                  game.engine.version);
    FrontEndScreen s;
    s.interfaceId = k_interfaceAbout;
    setUpScreen(game, s);
    resetInterfaceAnimation(game, false);
    game.help.aboutViewTop = getElementY(game, k_aboutView);
    game.help.aboutBottomMargin = 320 - (game.help.aboutViewTop + getElementHeight(game, k_aboutView));
    game.help.aboutScroll = 320 - game.help.aboutViewTop - game.help.aboutBottomMargin;
    game.help.aboutSpeed = -1;
    game.help.aboutTextWidth = 220;
    game.help.aboutLineSpacing = game.text.fonts[kAboutFont] ? game.text.fonts[kAboutFont]->getFontSpacing() : 0;
    // The credits end with their last words: the empty ids after them would
    // each add a line of blank screen before the credits start again.
    game.help.aboutLastText = k_textCreditsFirst;
    for (int32_t id = k_textCreditsLast; id > k_textCreditsFirst; --id)
      if (getStringLength(game, id) > 0) {
        game.help.aboutLastText = id;
        break;
      }
    game.help.aboutTotalHeight = 0;
    for (int32_t id = k_textCreditsFirst; id <= game.help.aboutLastText; ++id)
      game.help.aboutTotalHeight += getAboutTextHeight(game, id) + game.help.aboutLineSpacing;
    setElementVisible(game, k_aboutArrowUp, false);
    return;
  }
  updateScreen(game, false);
  game.help.aboutScroll += game.help.aboutSpeed;
  // Below the view, up brings the credits straight back to its bottom edge.
  if (game.help.aboutScroll > viewHeight && anyKey(game, k_keyUp)) game.help.aboutScroll = viewHeight;
  if (game.help.aboutScroll < -game.help.aboutTotalHeight) game.help.aboutScroll = viewHeight;
  if (anyKey(game, k_keyDown))
    game.help.aboutSpeed = -4;
  else if (anyKey(game, k_keyUp))
    game.help.aboutSpeed = 4;
  else
    game.help.aboutSpeed = -1;
  if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.stopAllSounds();
    game.setState(game.states.previousState);
    return;
  }
  updateMenuArrows(game, k_aboutArrowUp, k_aboutArrowDown, false);
  // The up arrow shows once credits have gone up out of the view: while
  // they start there is nothing above it to bring back.
  setElementVisible(game, k_aboutArrowUp, game.help.aboutScroll < 0);
}

void paintAbout(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy || !g) return;
  paintScreen(game, g, k_aboutBack, -1);
  drawElementText(game, k_aboutTitle, k_textAbout);
  ASprite* font = game.text.fonts[kAboutFont];
  if (!font) return;
  const int32_t top = game.help.aboutViewTop;
  const int32_t viewHeight = 320 - top - game.help.aboutBottomMargin;
  g->setClip(0, top, 240, viewHeight);
  const int32_t palette = font->getCurrentPalette();
  int32_t walked = 0;
  for (int32_t id = k_textCreditsFirst; id <= game.help.aboutLastText; ++id) {
    const int32_t y = top + walked + game.help.aboutScroll;
    if (y >= top + viewHeight) break;  // this one and the rest lie below the view
    const int32_t h = getAboutTextHeight(game, id);
    if (y + h > top) {
      if (id == k_textCreditsFirst) {
        font->setCurrentPalette(font->paletteCount > 1 ? 1 : 0);
        drawCString(game, g, game.text.fonts, game.help.productName, kAboutFont, kAboutCentreX, y, kAnchorCentreTop);
        font->setCurrentPalette(palette);
      } else if (id == k_textVersion) {
        drawCString(game, g, game.text.fonts, game.help.aboutText, kAboutFont, kAboutCentreX, y, kAnchorCentreTop);
      } else {
        drawWrappedString(game, g, game.text.fonts, id, kAboutFont, kAboutX, y, game.help.aboutTextWidth,
                          kAboutMaxHeight, 0, kAnchorLeftTop);
        game.text.layout.cacheKey = 0;
      }
    }
    walked += h + game.help.aboutLineSpacing;
  }
  game.resetClip(g);
  font->setCurrentPalette(palette);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// Four rows: the fourth row's entry is the one the help menu shows there.
void mapHelpMenu(cGame& g) { mapOptionRows(g, 4); }

// Four rows of five lessons: a row stands for the lesson shown on it, and
// the arrows over and under the rows scroll the list by one lesson.
void mapTutorialChoice(cGame& g) {
  constexpr int32_t kRows = 4;
  const Rect rows[kRows] = {row(129, 29), row(179, 29), row(229, 29), row(279, 29)};
  const int32_t first = std::max(g.menu.firstVisible, 0);
  int32_t values[kRows];
  for (int32_t i = 0; i < kRows; ++i) values[i] = first + i;
  rowsDown(g, rows, values, kRows, -1, false);
  if (rowsUp(g, rows, kRows) >= 0) press(g, k_touchKeyLeftSoft);
  if (up(g, {100, 102, 40, 22}) && first > 0) {
    g.menu.selection = first;
    pair(g, k_touchKeyUp);
  }
  if (up(g, {100, 316, 40, 18}) && first + kRows < g.menu.count) {
    g.menu.selection = first + kRows - 1;
    pair(g, k_touchKeyDown);
  }
  rightSoft(g);
}

void mapHelpText(cGame& g) {
  rightSoftHighlight(g);
  holdScroll(g, {103, 72, 40, 40}, {103, 299, 40, 40});
  rightSoft(g);
}

void mapAbout(cGame& g) {
  holdScroll(g, {98, 60, 50, 40}, {98, 300, 40, 40});
  rightSoft(g);
}

}  // namespace

const cGameScreen k_screenHelpMenu = {k_stateHelpMenu, updateHelpMenu, paintHelpMenu, mapHelpMenu};
const cGameScreen k_screenTutorialChoice = {k_stateTutorialChoice, updateTutorialSelection, paintTutorialSelection,
                                            mapTutorialChoice};
const cGameScreen k_screenHelpText = {k_stateHelpText, updateHelpPage, paintHelpPage, mapHelpText};
const cGameScreen k_screenAbout = {k_stateAbout, updateAbout, paintAbout, mapAbout};
