// Match loading (state 370): frees the menu banks a match does not use,
// loads the in-game banks, the table, the opponents and the 3D models, then
// starts the match; back returns to the screen the match was chosen from.
#include <algorithm>
#include <iterator>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {
constexpr uint32_t kBackKey = 0x100000;
constexpr int32_t kEffectRawColour = 6;
constexpr int32_t kLastCharacter = 10;
constexpr int32_t kPortraitSlot = 13;
// In-game banks A-J.
enum MatchBank : int32_t {
  kA = k_matchBankCueBall,
  kB = k_matchBankBalls1to8,
  kC = k_matchBankBalls9to15,
  kD = k_matchBankShadow,
  kE = k_matchBankHand,
  kF = k_matchBankCue,
  kG = k_matchBankSpare,
  kH = k_matchBankThinking,
  kI = k_matchBankEffect,
  kJ = k_matchBankGuideDots,
};
// Slots a match keeps besides slot 0 and the portraits.
constexpr int32_t kMatchSlots[] = {1, 2, 3, 6, 8, 9, 10, 12, 24, 28};

int32_t clampCharacter(int32_t c) { return std::clamp(c, 0, kLastCharacter); }

constexpr int32_t kSpecialRival = 10;
constexpr int32_t kStrongest = 10;
// Rank of each character as a rival, weakest first: 9 and 0 (the two the
// career starts against), then 1 to 8, as their classes and prizes rise.
constexpr int32_t kCharacterRank[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
// Class of each character among the career rivals: 0 the first class, 1 the second.
constexpr uint8_t kRivalClass[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};
}  // namespace

int32_t getOpponentProfile(cGame& game, int32_t type, int32_t character) {
  if (type == k_gameTypeSingleMatch) return -1;
  if (type == k_gameTypeQuickMatch) return character >= 0 && character < 10 ? kCharacterRank[character] : kStrongest;
  if (type == k_gameTypeTournament) {
    // Stronger round by round, and in the bigger tournaments: 3 for the two-player
    // final, up to 9 for the final of eight.
    const int32_t level = std::clamp(game.tournaments.draw.level, 0, 2),
                  round = std::clamp(game.tournaments.draw.round, 0, 2);
    return std::clamp(3 + 2 * round + (2 - level), 0, kStrongest);
  }
  if (type == k_gameTypeCareer) {
    // Up the career's ladder of rivals (slots 1-8), a first-class rival one
    // step above a second-class one; the special rival is the strongest.
    if (game.setup.opponentSlot == kSpecialRival) return kStrongest;
    const int32_t slot = std::clamp(game.setup.opponentSlot, 0, 8);
    const int32_t c = getRivalCharacter(game, slot);
    return std::clamp(slot + (c >= 0 && c < 10 && kRivalClass[c] == 0 ? 1 : 0), 0, kStrongest - 1);
  }
  // Challenges and lessons: the computer takes no shot.
  return 0;
}

void freeUnusedSpritesForMatch(cGame& game) {
  bool keep[k_spriteSlotCount] = {};
  keep[0] = true;
  for (int32_t s : kMatchSlots) keep[s] = true;
  auto portrait = [&keep](int32_t character) { keep[kPortraitSlot + clampCharacter(character)] = true; };
  if (game.match.gameType == k_gameTypeQuickMatch || game.match.gameType == k_gameTypeSingleMatch) {
    portrait(game.setup.chosenCharacter[0]);
    portrait(game.setup.chosenCharacter[1]);
  } else if (game.match.gameType == k_gameTypeCareer) {
    portrait(game.career.progress.character);
    portrait(getRivalCharacter(game, game.setup.rivalIndex));
    if (game.setup.rivalIndex < 8) portrait(getRivalCharacter(game, game.setup.rivalIndex + 1));
  } else {
    portrait(game.career.progress.character);
    portrait(game.setup.chosenRival);
  }
  for (int32_t i = 1; i < k_spriteSlotCount; ++i)
    if (!keep[i]) freeSprite(game, i);
  onUnusedSpritesFreed(game);
}

void startMatch(cGame& game, int32_t type, int32_t character0, int32_t character1) {
  // A match loaded from the menus is never a challenge's demonstration.
  game.challenges.demo = 0;
  game.setup.playerCharacter[0] = clampCharacter(character0);
  game.setup.playerCharacter[1] = clampCharacter(character1);
  game.match.playerProfile[0] = -1;
  game.match.playerProfile[1] = getOpponentProfile(game, type, character1);
  game.setInGameState(k_stateMatchInit);
}

void enterGameLoading(cGame& game) { game.setState(k_stateGameLoading); }

void captureTableBackground(cGame& game) {
  game.states.redrawCounters[0] = 1;
  paintTableScene(game, game.loading.savedBackgroundGraphics);
}

namespace {

int32_t tableOf(const cGame& game) { return std::clamp(game.setup.tableIndex, 0, 8); }

// An in-game bank, optionally built with a temporary alpha source and in
// the raw-colour effect mode.
void loadMatchBank(cGame& game, int32_t bank, int32_t entry, int32_t alphaEntry, bool rawColour) {
  ASprite* alpha = alphaEntry >= 0 ? parseWholeBank(game, alphaEntry) : nullptr;
  delete game.loading.matchBanks[bank];
  game.loading.matchBanks[bank] = parseBank(game, entry);
  if (game.loading.matchBanks[bank] && rawColour) game.loading.matchBanks[bank]->effectMode = kEffectRawColour;
  if (!buildBank(game, game.loading.matchBanks[bank], 0, false, true, alpha)) {
    reportBadEntry(game, entry);
    delete game.loading.matchBanks[bank];
    game.loading.matchBanks[bank] = nullptr;
  }
  delete alpha;
}

template <int32_t kSlot, int32_t kEntry>
void fillInGameSprite(cGame& game) {
  fillSprite(game, kSlot, kEntry, 0, false, true);
}

using LoadingStep = void (*)(cGame&);

// One step a frame; an empty step is a frame of the bar alone.
const LoadingStep kSteps[] = {
    [](cGame& g) { g.stopAllSounds(); },
    freeUnusedSpritesForMatch,
    // 2: the in-game archive.
    [](cGame& g) { loadBar(g, k_archiveInGame); },
    [](cGame& g) { fillSprite(g, k_slotHud, k_igEntryHud, 0, true, true); },
    [](cGame& g) { fillSprite(g, 101, 1, 0, false, false); },
    [](cGame& g) {
      const int32_t table = tableOf(g);
      fillSprite(g, k_slotTable, k_igEntryTable, table, false, false);
      if (ASprite* bank = g.loading.sprites[k_slotTable])
        bank->setCurrentPalette(table < bank->paletteCount ? table : 0);
    },
    [](cGame& g) {
      freeSprite(g, 104);
      freeSprite(g, 105);
      g.loading.sprites[104] = g.loading.sprites[8];
      g.loading.sprites[105] = g.loading.sprites[9];
      g.loading.sprites[8] = g.loading.sprites[9] = nullptr;
      fillSprite(g, 106, 12 + tableOf(g), 0, false, true);
    },
    fillInGameSprite<107, 21>, fillInGameSprite<108, 22>, fillInGameSprite<109, 23>,
    [](cGame& g) { fillSprite(g, 110, 3 + tableOf(g), 0, false, false); },
    // 11: the balls.
    [](cGame& g) {
      ASprite* alpha = parseWholeBank(g, k_igEntryBallAlpha);
      const int32_t entries[] = {k_igEntryCueBall, k_igEntryBalls1to8, k_igEntryBalls9to15};
      for (int32_t b = kA; b <= kC; ++b) {
        delete g.loading.matchBanks[b];
        g.loading.matchBanks[b] = makeBank(g, entries[b], k_buildAll, false, false, alpha);
      }
      delete alpha;
    },
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    // 18: the shadow and the hand.
    [](cGame& g) {
      loadMatchBank(g, kD, k_igEntryShadow, k_igEntryShadowAlpha, false);
      loadMatchBank(g, kE, k_igEntryHand, -1, false);
    },
    nullptr,
    // 20: the equipped cue.
    [](cGame& g) {
      loadMatchBank(g, kF, k_igEntryFirstCue + std::clamp(g.career.equippedLevel[1], 0, 5), k_igEntryCueAlpha, true);
      loadMatchBank(g, kG, k_igEntrySpare, -1, false);
    },
    nullptr,
    // 22: the computer's thinking, the effect and the guide dots.
    [](cGame& g) {
      loadMatchBank(g, kH, k_igEntryThinking, -1, false);
      delete g.loading.matchPlayerH;
      g.loading.matchPlayerH =
          g.loading.matchBanks[kH] ? new SpriteAnimPlayer(g.loading.matchBanks[kH], 120, 0, nullptr) : nullptr;
    },
    [](cGame& g) {
      loadMatchBank(g, kI, k_igEntryEffect, -1, false);
      delete g.loading.matchPlayerI;
      g.loading.matchPlayerI =
          g.loading.matchBanks[kI] ? new SpriteAnimPlayer(g.loading.matchBanks[kI], 0, 0, nullptr) : nullptr;
      if (g.loading.matchPlayerI) g.loading.matchPlayerI->active = 0;
    },
    [](cGame& g) {
      loadMatchBank(g, kJ, k_igEntryGuideDots, k_igEntryGuideDotAlpha, true);
      unloadBar(g);
    },
    // 25: the table and the opponents.
    loadTable,
    [](cGame& g) {
      loadBar(g, "misc.bar");
      initAI(g);
      unloadBar(g);
    },
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    // 33: the 3D models.
    load3DView,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};
static_assert(std::size(kSteps) == k_gameLoadingSteps);

}  // namespace

void runGameLoadingStep(cGame& game, int32_t step) {
  if (step >= 0 && step < k_gameLoadingSteps && kSteps[step]) kSteps[step](game);
}

void updateGameLoading(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.loading.step = 0;
    game.loading.stepCount = k_gameLoadingSteps;
    game.setup.matchAchievementFlag = 0;
    if (game.loading.player) {
      game.loading.player->resetAnim();
      game.loading.player->setAnim(0);
    }
    pickLoadingHint(game);
    clearAchievementNotices(game);
    game.loading.pendingSetByMatchLoading = 0;
    game.frontEnd.loadingScreenUp = 1;
    selectInterface(game, 58);
    game.states.subState = k_subStateUpdate;
  }
  if (game.keys.isPressed(kBackKey)) {
    const bool known =
        game.states.previousState == k_stateTutorialChoice || game.states.previousState == k_stateChallengeList;
    game.loading.pendingReturnState = known ? game.states.previousState : k_stateVersus;
    game.loading.pendingSetByMatchLoading = 1;
    game.setState(k_stateMainMenuLoading);
    return;
  }
  if (game.loading.step >= game.loading.stepCount) {
    if (!isLoadingAnimationOver(game)) return;
    game.frontEnd.loadingScreenUp = 0;
    if (!isMatchDataLoaded(game)) {
      // Nothing to play on: back to the menus with a report.
      debugTrace("match: the table or the opponents did not load; back to the menus\n");
      game.loading.pendingReturnState = k_stateMainMenu;
      game.setState(k_stateMainMenuLoading);
      return;
    }
    if (game.match.gameType == k_gameTypeQuickMatch || game.match.gameType == k_gameTypeSingleMatch)
      startMatch(game, game.match.gameType, game.setup.chosenCharacter[0], game.setup.chosenCharacter[1]);
    else
      startMatch(game, game.match.gameType, game.career.progress.character, game.setup.chosenRival);
    game.setup.matchDisplayFlag = 0;
    return;
  }
  runGameLoadingStep(game, game.loading.step);
  game.loading.step += 1;
}

void paintGameLoading(cGame& game, Graphics* g) { paintGameLoadingScreen(game, g); }
