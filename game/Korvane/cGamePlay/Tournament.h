// A knock-out tournament of 2, 4 or 8 players: the stages of the bracket,
// the draw of the first stage, the prize and the rounds decided by chance.
// A plain record and free functions over it; the screens draw it.
#pragma once

#include <cstdint>

#include "game/Korvane/PhysicalObject/Random.h"

// Stage sizes by stage index: 0 the eight, 1 the four, 2 the two, 3 the winner.
extern const int32_t k_tournamentRoundSizes[4];
// Class of each character 0-9 and the strength of each class 0-3.
extern const int32_t k_characterClass[10];
extern const int32_t k_classStrength[4];

struct Tournament {
  static constexpr int32_t kOut = 0x100;        // set on an entry once its character is out
  static constexpr int32_t kCharacterMask = 0xFF;
  static constexpr int32_t kStageCount = 4;
  static constexpr int32_t kMaxPicks = 7;
  static constexpr int32_t kCharacterCount = 10;

  int32_t level = 0;   // 0 eight players, 1 four, 2 two
  int32_t round = -1;  // -1 before the bracket is made
  // Entries of each stage (the first k_tournamentRoundSizes[s] are used):
  // a character id, -1 empty, with kOut once out.
  int32_t entries[kStageCount][8] = {};
  int32_t playerPosition = 0;  // index of the career character in the current stage
  int32_t revealed = 0;        // entries of the current stage shown so far
  int32_t revealTimer = 0;     // ms since the last one
  int32_t prize = 0;
  int32_t pickedCount = 0;
  int32_t picked[kMaxPicks] = {};
  int32_t pickBlink = -1;      // ms left of the blink after a pick, -1 none
  int32_t cursorSeat = -1;     // seat order index 0-9 under the cursor
  int32_t cursorElement = -1;  // its seat element
  int32_t cursorCharacter = -1;
  uint8_t fieldComplete = 0;   // the opponents were picked and confirmed

  // Stage index of the current round; past the last stage while finished.
  int32_t stage() const { return level + round; }
  bool isFinished() const { return round >= 0 && stage() >= kStageCount - 1; }
};

// Players in the first stage of a level (8, 4, 2); opponents to pick (7, 3, 1).
int32_t tournamentFieldSize(int32_t level);
int32_t tournamentPicksNeeded(int32_t level);
// The character of an entry (the out bit cleared); -1 for an empty entry.
int32_t tournamentCharacter(int32_t entry);
// Class strength of a character; characters outside 0-9 count as class 0.
int32_t tournamentStrength(int32_t character);

// Fills the first stage: the career character at a random position, the
// others from the picked field in pick order or drawn among the won
// characters. A draw that finds no won character left takes the next one
// not yet in the stage, so it always ends.
void makeTournamentBracket(Tournament& t, Random& random, int32_t careerCharacter, const uint8_t won[10],
                           bool withPickedField);
// Sum over the first stage's opponents: 85 for characters 0, 9 and any
// other outside 1-8, else the mean of the stake price and bet maximum.
int32_t tournamentPrize(const Tournament& t, const int32_t stakePrices[8], const int32_t betMaximums[8]);
// Decides the current stage (the player's opponent goes out, the other pairs
// by chance), then moves the winners on to the next stage. Nothing happens
// once the winner's stage is reached.
void playTournamentRound(Tournament& t, Random& random, int32_t careerCharacter);
