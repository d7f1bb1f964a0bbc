// The kinds of match (gameType) and the rule sets (ruleSet) a match is
// played under.
#pragma once

#include <cstdint>

// gameType: what the match is part of. -1 while no match is being set up.
constexpr int32_t k_gameTypeNone = -1;
constexpr int32_t k_gameTypeQuickMatch = 0;   // main menu: quick match against a rival
constexpr int32_t k_gameTypeSingleMatch = 1;  // main menu: a match with players and table chosen
constexpr int32_t k_gameTypeTournament = 2;   // a stage of a tournament in the pub
constexpr int32_t k_gameTypeCareer = 3;       // a career match in the pub
constexpr int32_t k_gameTypeChallenge = 4;    // a challenge from the challenge list
constexpr int32_t k_gameTypeTutorial = 5;     // a tutorial lesson

// ruleSet: the rules the match is played under.
constexpr int32_t k_ruleSetEightBall = 0;
constexpr int32_t k_ruleSetUK = 1;
constexpr int32_t k_ruleSetNineBall = 2;
