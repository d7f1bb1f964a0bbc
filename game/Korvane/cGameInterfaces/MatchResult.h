// The record of the after-match screen (280) and of the career's
// announcements (340, 350, 440).
#pragma once

#include <cstdint>

struct MatchResultScreens {
  // The after-match screen's score lines, counted up one at a time.
  int32_t line = -1;
  int32_t lineTime = 0;
  uint8_t career = 0;
  int32_t moneyBefore = 0, bankPoints = 0, comboPoints = 0, streakPointsWon = 0, multiPotPointsWon = 0;
  int32_t total = 0, betResult = 0;
  // The announcements.
  int32_t unlockPage = 0, unlockPageCount = 1;
  int32_t unlockCharacter = 0;   // the character 350 announces
  int32_t unlockText = 0;        // the paged text of the announcement
  uint8_t unlockInMatch = 0;     // opened by the unlock check over a match
  uint8_t careerSecondPage = 0;  // 440's second page (never switched on)
};

class cGame;
class Graphics;

// match result and career progression (cGameInterfaces/MatchResult.cpp:
// the after-match screen 280 and the unlock check; cGameInterfaces/Unlocks.cpp:
// the announcements 340 and 350, the special rival and the career end 440).
void updateMatchResult(cGame& game);
void paintMatchResult(cGame& game, Graphics* g);
void paintMatchResultLine(cGame& game, int32_t line, int32_t value, int32_t element, int32_t textId);
// The value a score line shows now (counting up while it is the current line).
int32_t resultLineValue(const cGame& game, int32_t line, int32_t value);
void checkUnlocks(cGame& game);
void updateChallengeUnlocked(cGame& game);
void paintChallengeUnlocked(cGame& game, Graphics* g);
void updateCharacterUnlocked(cGame& game);
void paintCharacterUnlocked(cGame& game, Graphics* g);
void updateSpecialRivalOpened(cGame& game);
void paintSpecialRivalOpened(cGame& game, Graphics* g);
void updateCareerComplete(cGame& game);
void paintCareerComplete(cGame& game, Graphics* g);

// The after-match screen's score lines: each shows for 1.9 s, counting up
// over the first 1.4 s.
constexpr int32_t k_resultLineMs = 1900;
constexpr int32_t k_resultCountMs = 1400;
