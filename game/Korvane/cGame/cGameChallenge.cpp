// Challenges: the stored demonstration's shots and its start.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/cGamePlay/ChallengeDemo.h"

// Word 0-5 of the current demonstration shot of the current challenge; 0 for
// a word, challenge or shot out of range.
int32_t cGame::getChallengeDemoShotValue(int32_t word) const {
  if (word < 0 || word >= kChallengeDemoWords) return 0;
  if (challengeNumber < 0 || challengeNumber >= 32) return 0;
  if (s_challengeDemoCurrentShot < 0 || s_challengeDemoCurrentShot >= kChallengeDemoShots) return 0;
  return ChallengeDemoShot[challengeNumber][s_challengeDemoCurrentShot][word];
}

// Shots the demonstration plays: only stored ones, at least the first.
int32_t cGame::getChallengeDemoShotCount() const { return challengeDemoShotCount(challengeNumber); }

// The demonstration replays the challenge from its start.
void cGame::launchChallengeDemo() {
  challengeDemo = 1;
  s_challengeDemoCurrentShot = 0;
  setInGameState(k_stateMatchInit);
}
