// Match loading (state 370): frees the menu banks a match does not use,
// loads the in-game banks, the table, the opponents and the 3D models, then
// starts the match; back returns to the screen the match was chosen from.
#include <algorithm>

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

constexpr int32_t kGameQuick = 0, kGameSingle = 1, kGameTournament = 2, kGameCareer = 3;
constexpr int32_t kSpecialRival = 10;
constexpr int32_t kStrongest = 10;
// Rank of each character as a rival, weakest first: 9 and 0 (the two the
// career starts against), then 1 to 8, as their classes and prizes rise.
constexpr int32_t kCharacterRank[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
// Class of each character among the career rivals: 0 the first class, 1 the second.
constexpr uint8_t kRivalClass[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};
}  // namespace

int32_t cGame::getOpponentProfile(int32_t type, int32_t character) {
  if (type == kGameSingle) return -1;
  if (type == kGameQuick)
    return character >= 0 && character < 10 ? kCharacterRank[character] : kStrongest;
  if (type == kGameTournament) {
    // Stronger round by round, and in the bigger tournaments: 3 for the two-player
    // final, up to 9 for the final of eight.
    const int32_t level = std::clamp(m_tournament.level, 0, 2), round = std::clamp(m_tournament.round, 0, 2);
    return std::clamp(3 + 2 * round + (2 - level), 0, kStrongest);
  }
  if (type == kGameCareer) {
    // Up the career's ladder of rivals (slots 1-8), a first-class rival one
    // step above a second-class one; the special rival is the strongest.
    if (opponentSlot == kSpecialRival) return kStrongest;
    const int32_t slot = std::clamp(opponentSlot, 0, 8);
    const int32_t c = getRivalCharacter(*this, slot);
    return std::clamp(slot + (c >= 0 && c < 10 && kRivalClass[c] == 0 ? 1 : 0), 0, kStrongest - 1);
  }
  // Challenges and lessons: the computer takes no shot.
  return 0;
}

void cGame::freeUnusedSpritesForMatch() {
  bool keep[k_spriteSlotCount] = {};
  keep[0] = true;
  for (int32_t s : kMatchSlots) keep[s] = true;
  auto portrait = [&keep](int32_t character) { keep[kPortraitSlot + clampCharacter(character)] = true; };
  if (gameType == 0 || gameType == 1) {
    portrait(m_chosenCharacter[0]);
    portrait(m_chosenCharacter[1]);
  } else if (gameType == 3) {
    portrait(m_career.character);
    portrait(getRivalCharacter(*this, m_rivalIndex));
    if (m_rivalIndex < 8) portrait(getRivalCharacter(*this, m_rivalIndex + 1));
  } else {
    portrait(m_career.character);
    portrait(m_chosenRival);
  }
  for (int32_t i = 1; i < k_spriteSlotCount; ++i)
    if (!keep[i]) freeSprite(i);
  onUnusedSpritesFreed();
}

void cGame::startMatch(int32_t type, int32_t character0, int32_t character1) {
  // A match loaded from the menus is never a challenge's demonstration.
  challengeDemo = 0;
  m_playerCharacter[0] = clampCharacter(character0);
  m_playerCharacter[1] = clampCharacter(character1);
  playerProfile[0] = -1;
  playerProfile[1] = getOpponentProfile(type, character1);
  setInGameState(k_stateMatchInit);
}

void cGame::enterGameLoading() { setState(k_stateGameLoading); }

void cGame::captureTableBackground() {
  m_redrawCounters[0] = 1;
  paintTableScene(m_savedBackgroundGraphics);
}

void cGame::runGameLoadingStep(int32_t step) {
  const int32_t table = std::clamp(m_tableIndex, 0, 8);
  const int32_t equipped = std::clamp(m_equippedLevel[1], 0, 5);
  // An in-game bank, optionally built with a temporary alpha source and in
  // the raw-colour effect mode.
  auto matchBank = [this](int32_t bank, int32_t entry, int32_t build, bool freeData, int32_t alphaEntry,
                          bool rawColour) {
    ASprite* alpha = alphaEntry >= 0 ? parseBank(alphaEntry) : nullptr;
    delete m_matchBanks[bank];
    m_matchBanks[bank] = parseBank(entry);
    if (m_matchBanks[bank] && rawColour) m_matchBanks[bank]->effectMode = kEffectRawColour;
    buildBank(m_matchBanks[bank], build, false, freeData, alpha);
    delete alpha;
  };
  switch (step) {
    case 0:
      stopAllSounds();
      break;
    case 1:
      freeUnusedSpritesForMatch();
      break;
    case 2:
      loadBar(k_archiveInGame);
      break;
    case 3:
      fillSprite(k_slotHud, k_igEntryHud, 0, true, true);
      break;
    case 4:
      fillSprite(101, 1, 0, false, false);
      break;
    case 5:
      fillSprite(k_slotTable, k_igEntryTable, table, false, false);
      if (ASprite* bank = m_sprites[k_slotTable]) bank->setCurrentPalette(table < bank->paletteCount ? table : 0);
      break;
    case 6:
      freeSprite(104);
      freeSprite(105);
      m_sprites[104] = m_sprites[8];
      m_sprites[105] = m_sprites[9];
      m_sprites[8] = m_sprites[9] = nullptr;
      fillSprite(106, 12 + table, 0, false, true);
      break;
    case 7:
    case 8:
    case 9:
      fillSprite(100 + step, 14 + step, 0, false, true);
      break;
    case 10:
      fillSprite(110, 3 + table, 0, false, false);
      break;
    case 11: {
      ASprite* alpha = parseBank(k_igEntryBallAlpha);
      const int32_t entries[] = {k_igEntryCueBall, k_igEntryBalls1to8, k_igEntryBalls9to15};
      for (int32_t b = kA; b <= kC; ++b) {
        delete m_matchBanks[b];
        m_matchBanks[b] = makeBank(entries[b], k_buildAll, false, false, alpha);
      }
      delete alpha;
      break;
    }
    case 18:
      matchBank(kD, k_igEntryShadow, 0, true, k_igEntryShadowAlpha, false);
      matchBank(kE, k_igEntryHand, 0, true, -1, false);
      break;
    case 20:
      matchBank(kF, k_igEntryFirstCue + equipped, 0, true, k_igEntryCueAlpha, true);
      matchBank(kG, k_igEntrySpare, 0, true, -1, false);
      break;
    case 22:
      matchBank(kH, k_igEntryThinking, 0, true, -1, false);
      delete m_matchPlayerH;
      m_matchPlayerH = m_matchBanks[kH] ? new SpriteAnimPlayer(m_matchBanks[kH], 120, 0, nullptr) : nullptr;
      break;
    case 23:
      matchBank(kI, k_igEntryEffect, 0, true, -1, false);
      delete m_matchPlayerI;
      m_matchPlayerI = m_matchBanks[kI] ? new SpriteAnimPlayer(m_matchBanks[kI], 0, 0, nullptr) : nullptr;
      if (m_matchPlayerI) m_matchPlayerI->active = 0;
      break;
    case 24:
      matchBank(kJ, k_igEntryGuideDots, 0, true, k_igEntryGuideDotAlpha, true);
      unloadBar();
      break;
    case 25:
      loadTable();
      break;
    case 26:
      loadBar("misc.bar");
      initAI();
      unloadBar();
      break;
    case 33:
      load3DView();
      break;
    default:
      break;
  }
}

void cGame::updateGameLoading() {
  if (m_subState == k_subStateInit) {
    s_loadingStep = 0;
    m_loadingStepCount = k_gameLoadingSteps;
    m_matchAchievementFlag = 0;
    if (m_loadingPlayer) {
      m_loadingPlayer->resetAnim();
      m_loadingPlayer->setAnim(0);
    }
    pickLoadingHint();
    clearAchievementNotices();
    m_pendingSetByMatchLoading = 0;
    m_loadingScreenUp = 1;
    selectInterface(58);
    m_subState = k_subStateUpdate;
  }
  if (m_keys.isPressed(kBackKey)) {
    const bool known = m_previousState == k_stateTutorialChoice || m_previousState == k_stateChallengeList;
    m_pendingReturnState = known ? m_previousState : k_stateVersus;
    m_pendingSetByMatchLoading = 1;
    setState(k_stateMainMenuLoading);
    return;
  }
  if (s_loadingStep >= m_loadingStepCount) {
    if (!isLoadingAnimationOver()) return;
    m_loadingScreenUp = 0;
    if (!isMatchDataLoaded()) {
      // Nothing to play on: back to the menus with a report.
      debugTrace("match: the table or the opponents did not load; back to the menus\n");
      m_pendingReturnState = k_stateMainMenu;
      setState(k_stateMainMenuLoading);
      return;
    }
    if (gameType == 0 || gameType == 1)
      startMatch(gameType, m_chosenCharacter[0], m_chosenCharacter[1]);
    else
      startMatch(gameType, m_career.character, m_chosenRival);
    m_matchDisplayFlag = 0;
    return;
  }
  runGameLoadingStep(s_loadingStep);
  s_loadingStep += 1;
}

void cGame::paintGameLoading(Graphics* g) { paintGameLoadingScreen(g); }
