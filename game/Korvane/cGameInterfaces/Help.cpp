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
constexpr int32_t kTutorialGameType = 5;

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
  if (g.m_inGame == 1)
    g.setInGameState(state);
  else
    g.setState(state);
}

bool anyKey(const cGame& g, uint32_t mask) { return g.m_keys.isPressed(mask) || g.m_keys.isHeld(mask); }

}  // namespace

// ---- help menu

void cGame::updateHelpMenu() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceHelpMenu;
    s.menu = k_helpAndCharacterTable;
    s.listElement = k_helpMenuList;
    s.rows = 4;
    s.count = k_helpMenuCount;
    setUpScreen(s);
    // No tutorial from a paused match.
    if (m_menusOverMatch) setMenuEntryFlags(k_textHelpTutorial, kHidden);
    return;
  }
  const int32_t id = updateScreen();
  updateMenuArrows(k_helpMenuArrowUp, k_helpMenuArrowDown, false);
  showMenuScrollArrows(k_helpMenuArrowUp, k_helpMenuArrowDown);
  switch (id) {
    case k_textHelpControls:
    case k_textHelpMoney:
      helpSubject = id;
      goToScreen(k_stateHelpText);
      break;
    case k_textHelpRules:
      goToScreen(k_stateRulesChoice);
      break;
    case k_textHelpTutorial:
      goToScreen(k_stateTutorialChoice);
      break;
    default:
      if (id >= 0) break;
      if (m_menusOverMatch)
        setInGameState(k_stateOptions);
      else
        setState(k_stateMainMenu);
      break;
  }
}

void cGame::paintHelpMenu(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  paintScreen(g, k_helpMenuBack, -1);
  drawElementText(k_helpMenuTitle, k_textHelpTitle);
  paintMenu();
}

// ---- help page

void cGame::buildHelpMoneyText() {
  textBufferSetString(k_textHelpMoneyBody);
  for (int32_t i = 0; i < 4; ++i) replaceTextTagWithText(k_textMoney);
  const int32_t n = std::clamp(m_text.workLength, 0, TextTableData::kWorkSize - 1);
  std::memcpy(help.filled, m_text.work, static_cast<size_t>(n));
  help.filled[n] = 0;
  help.filledLength = n;
}

void cGame::updateHelpPage() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    help.page = 0;
    help.arrowKeys = 0;
    FrontEndScreen s;
    s.interfaceId = k_interfaceHelpPage;
    setUpScreen(s);
    resetInterfaceAnimation(false);
    help.title = k_textHelpControls;
    help.body = k_textHelpControlsBody;
    for (const HelpSubject& h : kSubjects)
      if (h.subject == helpSubject) {
        help.title = h.title;
        help.body = h.body;
      }
    int32_t pages = 0;
    if (help.body == k_textHelpMoneyBody) {
      buildHelpMoneyText();
      const int16_t* e = getInterfaceElement(-1, k_helpPageBody);
      const int32_t font = e ? e[F::kWordParams + F::kTextFont] : -1;
      if (font >= 0 && font < TextLayoutData::kMaxFonts && m_fonts[font]) {
        for (int32_t i = 0; i < 4; ++i) setTextParam(i, kMoneyAmounts[i]);
        pages = layoutText(m_fonts, help.filled, 0, help.filledLength, font, e[F::kWordParams + F::kTextWidth],
                           e[F::kWordParams + F::kTextHeight]);
        m_layout.cacheKey = 0;
      }
    } else {
      pages = drawElementWrappedText(k_helpPageBody, help.body);
    }
    // The layout holds a bounded number of pages: show the ones it has.
    help.pageCount = std::clamp(pages, 1, TextLayoutData::kMaxPages);
    return;
  }
  updateScreen(false);
  help.morePages = help.page < help.pageCount - 1;
  // The arrows repeat their key while the pen rests on them: a page turns
  // once per touch.
  const uint8_t keys = static_cast<uint8_t>((m_keys.isPressed(k_keyUp) ? 1 : 0) | (m_keys.isPressed(k_keyDown) ? 2 : 0));
  const uint8_t fresh = static_cast<uint8_t>(keys & ~help.arrowKeys);
  help.arrowKeys = keys;
  if (keys & 2) {
    if ((fresh & 2) && help.morePages) ++help.page;
  } else if (keys & 1) {
    if ((fresh & 1) && help.page > 0) --help.page;
  } else if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    leaveTo(*this, m_previousState);
    return;
  }
  help.page = std::clamp(help.page, 0, help.pageCount - 1);
  help.morePages = help.page < help.pageCount - 1;
  setElementVisible(k_helpPageArrowUp, help.page != 0);
  setElementVisible(k_helpPageArrowDown, help.morePages != 0);
  updateMenuArrows(k_helpPageArrowUp, k_helpPageArrowDown, false);
}

void cGame::paintHelpPage(Graphics* g) {
  if (m_subState == k_subStateDestroy || !g) return;
  paintScreen(g, k_helpPageBack, -1);
  drawElementText(k_helpPageTitle, help.title);
  const int16_t* e = getInterfaceElement(-1, k_helpPageBody);
  if (!e || e[F::kWordType] != F::kText) return;
  const int32_t font = e[F::kWordParams + F::kTextFont];
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !m_fonts[font]) return;
  const int32_t x = e[F::kWordX], y = e[F::kWordY];
  const int32_t w = e[F::kWordParams + F::kTextWidth], h = e[F::kWordParams + F::kTextHeight];
  const int32_t palette = e[F::kWordParams + F::kTextPalette];
  ASprite* bank = m_fonts[font];
  if (palette >= 0 && palette < bank->paletteCount) bank->setCurrentPalette(palette);
  g->setClip(x, y - 2, w, h + 2);
  const int32_t flags = kAnchorLeftTop;
  if (help.body == k_textHelpMoneyBody) {
    for (int32_t i = 0; i < 4; ++i) setTextParam(i, kMoneyAmounts[i]);
    m_layout.font = static_cast<uint8_t>(font);
    drawWrappedTextPage(g, m_fonts, -1, help.filled, 0, help.filledLength, x, y, w, h, help.page, flags);
    m_layout.cacheKey = 0;
  } else {
    drawWrappedString(g, m_fonts, help.body, font, x, y, w, h, help.page, flags);
  }
  resetClip(g);
  bank->setCurrentPalette(0);
}

// ---- tutorial choice

void cGame::markPassedLessons() {
  for (int32_t i = 0; i < kLessonRows; ++i) {
    const int32_t lesson = m_menu.firstVisible + i;
    const bool passed = lesson >= 0 && lesson < kLessonCount && ((m_career.counterA >> lesson) & 1u);
    setInterfaceElementAnim(k_interfaceTutorialChoice, k_tutorialTick0 + i,
                            passed ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
}

void cGame::updateTutorialSelection() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceTutorialChoice;
    s.menu = kLessonItems;
    s.listElement = k_tutorialList;
    s.rows = kLessonRows;
    s.count = kLessonCount;
    setUpScreen(s);
    markPassedLessons();
    help.tutorialFirstRow = m_menu.firstVisible;
    return;
  }
  updateScreen(false);
  const int32_t id = updateMenu();
  // A scrolled list slides in again with its own ticks.
  if (m_menu.firstVisible != help.tutorialFirstRow) {
    help.tutorialFirstRow = m_menu.firstVisible;
    startInterfaceAnimation();
    markPassedLessons();
  }
  updateMenuArrows(k_tutorialArrowUp, k_tutorialArrowDown, false);
  showMenuScrollArrows(k_tutorialArrowUp, k_tutorialArrowDown);
  if (id < 0) {
    goToScreen(k_stateHelpMenu);
    return;
  }
  if (id < k_textLesson0 || id >= k_textLesson0 + kLessonCount) return;
  lessonNumber = id - k_textLesson0;
  tutorialStarted = 0;
  m_savedGameType = -1;  // a lesson chosen here interrupts no match
  gameType = kTutorialGameType;
  // The lesson is played with the career's character, or else the one of
  // the quick match.
  if (!m_career.started) m_career.character = m_chosenCharacter[0];
  m_chosenRival = kTutorialOpponent;
  setState(k_stateGameLoading);
}

void cGame::paintTutorialSelection(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  paintScreen(g, k_tutorialBack, -1);
  drawElementText(k_tutorialTitle, k_textTutorialTitle);
  paintMenu();
}

// ---- about

int32_t cGame::getAboutTextHeight(int32_t textId) {
  ASprite* font = m_fonts[kAboutFont];
  const int32_t line = font ? font->getFontHeight() : 0;
  const char* data = getStringData(textId);
  const int32_t length = getStringLength(textId);
  if (!font || !data || length <= 0) return line;
  resetLayout(m_fonts, kAboutFont);
  layoutTextLines(m_fonts, data, 0, length, help.aboutTextWidth, kAboutMaxHeight, TextLayoutData::kMaxPages - 1);
  m_layout.cacheKey = 0;
  int32_t height = 0;
  const int32_t pages = std::clamp(m_layout.pageCount, 0, TextLayoutData::kMaxPages);
  for (int32_t p = 0; p < pages; ++p) height += m_layout.pages[p].height;
  return height > 0 ? height : line;
}

void cGame::updateAbout() {
  if (m_subState == k_subStateDestroy) return;
  const int32_t viewHeight = 320 - help.aboutViewTop - help.aboutBottomMargin;
  if (m_subState == k_subStateInit) {
    help.productName = "Korvane";
    std::memset(help.aboutText, 0, sizeof help.aboutText);
    const char* label = getStringData(k_textVersion);
    const int32_t labelLength = label ? std::clamp(getStringLength(k_textVersion), 0, k_aboutBufferSize - 1) : 0;
    if (labelLength > 0) std::memcpy(help.aboutText, label, static_cast<size_t>(labelLength));
    std::snprintf(help.aboutText + labelLength, static_cast<size_t>(k_aboutBufferSize - labelLength), "%s", m_version);
    FrontEndScreen s;
    s.interfaceId = k_interfaceAbout;
    setUpScreen(s);
    resetInterfaceAnimation(false);
    help.aboutViewTop = getElementY(k_aboutView);
    help.aboutBottomMargin = 320 - (help.aboutViewTop + getElementHeight(k_aboutView));
    help.aboutScroll = 320 - help.aboutViewTop - help.aboutBottomMargin;
    help.aboutSpeed = -1;
    help.aboutTextWidth = 220;
    help.aboutLineSpacing = m_fonts[kAboutFont] ? m_fonts[kAboutFont]->getFontSpacing() : 0;
    // The credits end with their last words: the empty ids after them would
    // each add a line of blank screen before the credits start again.
    help.aboutLastText = k_textCreditsFirst;
    for (int32_t id = k_textCreditsLast; id > k_textCreditsFirst; --id)
      if (getStringLength(id) > 0) {
        help.aboutLastText = id;
        break;
      }
    help.aboutTotalHeight = 0;
    for (int32_t id = k_textCreditsFirst; id <= help.aboutLastText; ++id)
      help.aboutTotalHeight += getAboutTextHeight(id) + help.aboutLineSpacing;
    return;
  }
  updateScreen(false);
  help.aboutScroll += help.aboutSpeed;
  // Below the view, up brings the credits straight back to its bottom edge.
  if (help.aboutScroll > viewHeight && anyKey(*this, k_keyUp)) help.aboutScroll = viewHeight;
  if (help.aboutScroll < -help.aboutTotalHeight) help.aboutScroll = viewHeight;
  if (anyKey(*this, k_keyDown))
    help.aboutSpeed = -4;
  else if (anyKey(*this, k_keyUp))
    help.aboutSpeed = 4;
  else
    help.aboutSpeed = -1;
  if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    stopAllSounds();
    setState(m_previousState);
    return;
  }
  updateMenuArrows(k_aboutArrowUp, k_aboutArrowDown, false);
}

void cGame::paintAbout(Graphics* g) {
  if (m_subState == k_subStateDestroy || !g) return;
  paintScreen(g, k_aboutBack, -1);
  drawElementText(k_aboutTitle, k_textAbout);
  ASprite* font = m_fonts[kAboutFont];
  if (!font) return;
  const int32_t top = help.aboutViewTop;
  const int32_t viewHeight = 320 - top - help.aboutBottomMargin;
  g->setClip(0, top, 240, viewHeight);
  const int32_t palette = font->getCurrentPalette();
  int32_t walked = 0;
  for (int32_t id = k_textCreditsFirst; id <= help.aboutLastText; ++id) {
    const int32_t y = top + walked + help.aboutScroll;
    if (y >= top + viewHeight) break;  // this one and the rest lie below the view
    const int32_t h = getAboutTextHeight(id);
    if (y + h > top) {
      if (id == k_textCreditsFirst) {
        font->setCurrentPalette(font->paletteCount > 1 ? 1 : 0);
        drawCString(g, m_fonts, help.productName, kAboutFont, kAboutCentreX, y, kAnchorCentreTop);
        font->setCurrentPalette(palette);
      } else if (id == k_textVersion) {
        drawCString(g, m_fonts, help.aboutText, kAboutFont, kAboutCentreX, y, kAnchorCentreTop);
      } else {
        drawWrappedString(g, m_fonts, id, kAboutFont, kAboutX, y, help.aboutTextWidth, kAboutMaxHeight, 0,
                          kAnchorLeftTop);
        m_layout.cacheKey = 0;
      }
    }
    walked += h + help.aboutLineSpacing;
  }
  resetClip(g);
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
  const int32_t first = std::max(g.m_menu.firstVisible, 0);
  int32_t values[kRows];
  for (int32_t i = 0; i < kRows; ++i) values[i] = first + i;
  rowsDown(g, rows, values, kRows, -1, false);
  if (rowsUp(g, rows, kRows) >= 0) press(g, k_touchKeyLeftSoft);
  if (up(g, {100, 102, 40, 22}) && first > 0) {
    g.m_menu.selection = first;
    pair(g, k_touchKeyUp);
  }
  if (up(g, {100, 316, 40, 18}) && first + kRows < g.m_menu.count) {
    g.m_menu.selection = first + kRows - 1;
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

const cGameScreen k_screenHelpMenu = {k_stateHelpMenu, [](cGame& g) { g.updateHelpMenu(); },
                                      [](cGame& g, Graphics* t) { g.paintHelpMenu(t); }, mapHelpMenu};
const cGameScreen k_screenTutorialChoice = {k_stateTutorialChoice, [](cGame& g) { g.updateTutorialSelection(); },
                                            [](cGame& g, Graphics* t) { g.paintTutorialSelection(t); },
                                            mapTutorialChoice};
const cGameScreen k_screenHelpText = {k_stateHelpText, [](cGame& g) { g.updateHelpPage(); },
                                      [](cGame& g, Graphics* t) { g.paintHelpPage(t); }, mapHelpText};
const cGameScreen k_screenAbout = {k_stateAbout, [](cGame& g) { g.updateAbout(); },
                                   [](cGame& g, Graphics* t) { g.paintAbout(t); }, mapAbout};
