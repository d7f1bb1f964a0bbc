#include "game/Korvane/cGamePlay/Tournament.h"

#include <algorithm>

const int32_t k_tournamentRoundSizes[4] = {8, 4, 2, 1};
const int32_t k_characterClass[10] = {0, 0, 0, 1, 1, 2, 2, 3, 3, 0};
const int32_t k_classStrength[4] = {0, 10, 20, 30};

namespace {

constexpr int32_t kPlainPrize = 85;

bool inStage(const int32_t* e, int32_t n, int32_t c) {
  for (int32_t i = 0; i < n; ++i)
    if (tournamentCharacter(e[i]) == c) return true;
  return false;
}

}  // namespace

int32_t tournamentFieldSize(int32_t level) { return k_tournamentRoundSizes[std::clamp(level, 0, 2)]; }

int32_t tournamentPicksNeeded(int32_t level) { return tournamentFieldSize(level) - 1; }

int32_t tournamentCharacter(int32_t entry) { return entry < 0 ? -1 : entry & Tournament::kCharacterMask; }

int32_t tournamentStrength(int32_t character) {
  if (character < 0 || character >= Tournament::kCharacterCount) return k_classStrength[0];
  return k_classStrength[k_characterClass[character]];
}

void makeTournamentBracket(Tournament& t, Random& random, int32_t careerCharacter, const uint8_t won[10],
                           bool withPickedField) {
  t.level = std::clamp(t.level, 0, 2);
  const int32_t n = tournamentFieldSize(t.level);
  int32_t* e = t.entries[t.level];
  std::fill(e, e + 8, -1);
  t.playerPosition = random.nextInt(0, n);
  e[t.playerPosition] = careerCharacter;
  int32_t pick = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (i == t.playerPosition) continue;
    if (withPickedField && pick < std::min(t.pickedCount, Tournament::kMaxPicks)) {
      e[i] = t.picked[pick++];
      continue;
    }
    int32_t c = random.nextInt(0, 9);
    bool found = false;
    for (int32_t step = 0; step < Tournament::kCharacterCount; ++step) {
      if (!inStage(e, n, c) && won[c]) {
        found = true;
        break;
      }
      c = (c + 1) % Tournament::kCharacterCount;
    }
    // Too few won characters: the next one not drawn yet (never the career
    // character, which is already in).
    for (int32_t step = 0; !found && step < Tournament::kCharacterCount; ++step) {
      if (!inStage(e, n, c) && c != careerCharacter) found = true;
      else c = (c + 1) % Tournament::kCharacterCount;
    }
    e[i] = c;
  }
}

int32_t tournamentPrize(const Tournament& t, const int32_t stakePrices[8], const int32_t betMaximums[8]) {
  const int32_t level = std::clamp(t.level, 0, 2);
  const int32_t n = tournamentFieldSize(level);
  int32_t prize = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (i == t.playerPosition) continue;
    const int32_t c = tournamentCharacter(t.entries[level][i]);
    prize += c >= 1 && c <= 8 ? (stakePrices[c - 1] + betMaximums[c - 1]) / 2 : kPlainPrize;
  }
  return prize;
}

void playTournamentRound(Tournament& t, Random& random, int32_t careerCharacter) {
  const int32_t s = t.stage();
  if (s < 0 || s >= Tournament::kStageCount - 1) return;
  int32_t* e = t.entries[s];
  const int32_t m = k_tournamentRoundSizes[s];
  for (int32_t i = 0; i + 1 < m; i += 2) {
    int32_t loser;
    if (i == t.playerPosition || i + 1 == t.playerPosition) {
      loser = i == t.playerPosition ? i + 1 : i;
    } else {
      const int32_t first = tournamentStrength(tournamentCharacter(e[i]));
      const int32_t second = tournamentStrength(tournamentCharacter(e[i + 1]));
      loser = random.nextInt(0, 100) < first + 50 - second ? i + 1 : i;
    }
    e[loser] |= Tournament::kOut;
  }
  t.round += 1;
  const int32_t next = t.stage();
  t.playerPosition = 0;
  if (next > Tournament::kStageCount - 1) return;
  int32_t* to = t.entries[next];
  int32_t k = 0;
  for (int32_t i = 0; i < m && k < k_tournamentRoundSizes[next]; ++i)
    if (e[i] >= 0 && (e[i] & Tournament::kOut) == 0) to[k++] = e[i];
  for (int32_t i = 0; i < k; ++i)
    if (to[i] == careerCharacter) t.playerPosition = i;
}
