// The help and about screens' record: the help menu (120), a help text page
// by page (240), the tutorial choice (130) and the scrolling credits (290).
#pragma once

#include <cstdint>

#include "game/Korvane/cGame/cGameData.h"

constexpr int32_t k_aboutBufferSize = 32768;

struct HelpScreens {
  int32_t page = 0;
  int32_t pageCount = 1;
  int32_t title = 49;
  int32_t body = 180;
  uint8_t morePages = 0;
  uint8_t arrowKeys = 0;  // up (1) and down (2) as pressed last frame
  char filled[TextTableData::kWorkSize] = {};  // the body of subject 51, amounts filled in
  int32_t filledLength = 0;
  int32_t tutorialFirstRow = 0;  // the first visible row as last seen
  int32_t aboutScroll = 0;
  int32_t aboutSpeed = -1;
  int32_t aboutViewTop = 0;
  int32_t aboutBottomMargin = 0;
  int32_t aboutTextWidth = 220;
  int32_t aboutLineSpacing = 0;
  int32_t aboutTotalHeight = 0;
  int32_t aboutLastText = 0;  // the last credit with words; empty ones after it take no room
  const char* productName = nullptr;
  char aboutText[k_aboutBufferSize] = {};  // text 215 and the version
};

class cGame;
class Graphics;

// help and about screens (cGameInterfaces/Help.cpp): the help menu
// (120), a help text page by page (240), the tutorial choice (130) and the
// scrolling credits (290).
void updateHelpMenu(cGame& game);
void paintHelpMenu(cGame& game, Graphics* g);
void updateHelpPage(cGame& game);
void paintHelpPage(cGame& game, Graphics* g);
void updateTutorialSelection(cGame& game);
void paintTutorialSelection(cGame& game, Graphics* g);
void markPassedLessons(cGame& game);
void updateAbout(cGame& game);
void paintAbout(cGame& game, Graphics* g);
// Height of a credit text wrapped in the about width (one line when missing).
int32_t getAboutTextHeight(cGame& game, int32_t textId);
// The help body of subject 51 with its amounts filled in.
void buildHelpMoneyText(cGame& game);
