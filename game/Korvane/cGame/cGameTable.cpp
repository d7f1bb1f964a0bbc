// Table set-up: "table.bar" into the physics world, the frame starts (rack,
// lag, layouts), the ball looks and the players' pocketed-ball lists.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/TickCount.h"
#include "windows_brew/memory/MemoryManager.h"
#include "zul/2d/ASprite.h"

namespace {

constexpr const char* kSource = "cGameTable";
constexpr int32_t kHudInterface = 56;
constexpr int32_t kGameTypeQuick = 0, kGameTypeCareer = 3, kGameTypeChallenge = 4, kGameTypeTutorial = 5;
constexpr int32_t kRuleSetUK = 1, kRuleSetNineBall = 2;
constexpr int32_t kSpecialRival = 10;

}  // namespace

// ---- looks

ObjectLook* cGameSpriteLook::makeSibling() const {
  return new (kSource, 25, nullptr) cGameSpriteLook(player.sprite);
}

void cGameSpriteLook::copyStateFrom(const ObjectLook& source) {
  if (const auto* s = dynamic_cast<const cGameSpriteLook*>(&source)) player = s->player;
}

SpriteAnimPlayer* lookPlayer(ObjectLook* look) {
  auto* l = dynamic_cast<cGameSpriteLook*>(look);
  return l ? &l->player : nullptr;
}

void cGamePoolHooks::onContact(PhysicalObject* first, PhysicalObject* second) { game.onContact(first, second); }
void cGamePoolHooks::unlockAchievement(int32_t id) { game.unlockAchievement(id); }
bool cGamePoolHooks::isJumpOverEightWatched() { return game.isJumpOverEightWatched(); }

bool cGame::isJumpOverEightWatched() const {
  return s_gameState == k_stateBallsMoving && ruleSet == 0 && currentPlayer >= 0 && currentPlayer < 2 &&
         playerProfile[currentPlayer] < 0;
}

// A bank set in m_poolBanks wins; else the match loading's banks A (cue
// ball), B (balls 1-8), C (balls 9-15) and E (hand cursor).
ASprite* cGame::getPoolBank(int32_t bank) const {
  static constexpr int32_t kMatchBank[k_poolBankCount] = {0, 1, 2, 4};
  if (bank < 0 || bank >= k_poolBankCount) return nullptr;
  return m_poolBanks[bank] ? m_poolBanks[bank] : m_matchBanks[kMatchBank[bank]];
}

namespace {

// A looping look on a loaded bank with a palette; null without the bank.
cGameSpriteLook* makeLook(const cGame& g, int32_t bank, int32_t palette, int32_t anim) {
  ASprite* sprite = g.getPoolBank(bank);
  if (!sprite) return nullptr;
  auto* look = new (kSource, 60, nullptr) cGameSpriteLook(sprite);
  if (!look) return nullptr;
  look->player.setPalette(palette);
  look->player.setAnim(anim);
  look->player.flags |= SpriteAnimPlayer::kLoop;
  return look;
}

}  // namespace

// ---- loading

void cGame::loadTableGroup(int32_t group) {
  if (group < 0 || group >= TableLayout::kGroups) return;
  uint8_t* bytes = getBarEntryCopy(group);
  m_tableLayout.groups[group].parse(bytes, bytes ? getBarEntrySize(group) : 0);
  delete[] bytes;
}

void cGame::loadTable() {
  m_tableLayout.clear();
  if (!loadBar("table.bar")) debugTrace("table.bar: cannot be read\n");
  for (int32_t g = 0; g < TableLayout::kGroups; ++g) loadTableGroup(g);
  unloadBar();

  m_world.deleteCushionAndPockets();
  if (const int32_t group = m_tableLayout.firstIncompleteGroup(); group >= 0) {
    debugTrace("table.bar: no table built\n");
    reportDataError("table.bar", "is damaged: entry %d does not decode", group);
    return;
  }
  for (int32_t r = 0; r < TableLayout::kPocketCount; ++r)
    createTableObject(TableLayout::kPockets, r, PhysicsWorld::kKindPocket);
  for (int32_t r = 0; r < TableLayout::kCushionPoints; ++r)
    createTableObject(TableLayout::kCushions, r, PhysicsWorld::kKindCushion);
  for (int32_t b = 0; b < TableLayout::kBallCount; ++b) createTableObject(TableLayout::kEightBallRack, b, b);
  m_world.createScreenObjects();
  m_world.handCursor->animPlayer = makeLook(*this, k_poolBankHand, 0, k_animHandCursor);
}

void cGame::createTableObject(int32_t group, int32_t record, int32_t kind) {
  if (group < 0 || group >= TableLayout::kGroups) return;
  m_world.createTableObject(m_tableLayout.groups[group], record, kind);
}

void cGame::freeTable() {
  releaseBallViewData();
  m_tableLayout.clear();
  m_world.freeTableObjects();
  resetMatchState();
}

void cGame::resetMatchState() {
  m_rules = RuleState{};
  // The lessons' selector locks and text box belong to one match.
  spinArrowsLocked = spinButtonHidden = 0;
  tutorialTextBoxOpen = 0;
  m_world.shot.clearEvents();
  clearPottedBallLists();
  m_world.resetBalls();
  hudHint = -1;
  panelExpression[0] = panelExpression[1] = -1;
  matchStartTime = getTickCount();
  m_world.previousCushionPoint.set(0, 0);
  const int32_t panel = altPanelLayout ? 26 : 18;
  setInterfaceElementFrame(kHudInterface, panel, 0);
  setInterfaceElementFrame(kHudInterface, panel + 1, 0);
  if (gameType == kGameTypeChallenge || gameType == kGameTypeTutorial) {
    resetEquippedItems(*this);
  } else {
    updateEquippedItems(*this);
  }
}

// ---- frame starts

void cGame::initFrame(bool newMatch) {
  const bool special = gameType == kGameTypeChallenge || gameType == kGameTypeTutorial ||
                       (gameType == kGameTypeCareer && opponentSlot == kSpecialRival);
  setInterfaceElementVisible(kHudInterface, 13, !special);
  setInterfaceElementVisible(kHudInterface, 14, special);
  const bool lagging = gameType != kGameTypeQuick && gameType != kGameTypeChallenge && gameType != kGameTypeTutorial;
  const bool ukSkip = newMatch && lagging && ruleSet == kRuleSetUK;
  const bool lag = newMatch && lagging && ruleSet != kRuleSetUK;
  if (ukSkip) {
    m_rules.normalPlay = 1;
    initRack();
  } else if (!lag) {
    m_rules.normalPlay = 1;
    if (gameType == kGameTypeChallenge)
      startChallenge();
    else if (gameType == kGameTypeTutorial)
      startTutorialLesson();
    else
      initRack();
  } else {
    initLag();
  }
}

void cGame::initRack() {
  m_world.shot.jumpShot = 0;
  panelX = currentPlayer == 0 ? 67 : 6;
  m_rules.rulesMode = RuleState::kModePlay;
  rackBalls();
  m_world.breakPlayed = 0;
  m_world.breakFollowUp = 0;
  prepareFirstShot();
  if (ruleSet == kRuleSetNineBall) {
    m_rules.tableOpen = 0;
    m_rules.lowestBall = 1;
    m_rules.playerTarget[0] = m_rules.playerTarget[1] = 1u << 1;
  } else {
    m_rules.lowestBall = 0;
  }
  m_rules.breakBytes[0] = 1;
  m_rules.breakBytes[1] = 0;
  m_rules.thirdTurnByte = 1;
}

void cGame::rackBalls() {
  if (ruleSet == kRuleSetUK)
    setBallSpritesUK();
  else
    setBallSprites();
  placeBalls();
  jitterRack();
}

void cGame::initLag() {
  currentPlayer = 0;
  m_rules.previousPlayer = 1;
  m_rules.rulesMode = RuleState::kModeLag;
  m_rules.normalPlay = 0;
  m_rules.lagFrameByte = 0;
  if (ruleSet == kRuleSetUK)
    setBallSpritesUK();
  else
    setBallSprites();
  placeBalls();
  prepareFirstShot();
  if (PhysicalObject* eight = m_world.ball8) {
    eight->hidden = 1;
    eight->pocketed = 1;
    eight->update(m_world);
  }
  m_rules.thirdTurnByte = 0;
  m_rules.breakBytes[0] = 0;
  m_rules.breakBytes[1] = 1;
  m_world.breakPlayed = 0;
}

void cGame::placeBalls() {
  int32_t group = TableLayout::kEightBallRack;
  if (!m_rules.normalPlay)
    group = TableLayout::kLag;
  else if (gameType == kGameTypeChallenge)
    group = TableLayout::kFirstChallenge + challengeNumber;
  else if (gameType == kGameTypeTutorial)
    group = TableLayout::kFirstLesson + lessonNumber;
  else if (ruleSet == kRuleSetNineBall)
    group = TableLayout::kNineBallRack;
  if (group < 0 || group >= TableLayout::kGroups) {
    debugTrace("table: no layout group %d\n", group);
    m_world.placeBalls(TableLayoutGroup{});
    return;
  }
  m_world.placeBalls(m_tableLayout.groups[group]);
}

void cGame::setBallSprites() {
  PhysicalObject* cue = m_world.cueBall;
  if (cue && !cue->animPlayer) cue->animPlayer = makeLook(*this, k_poolBankCueBall, 0, k_animBallRest);
  int32_t k = 1;
  for (PhysicalObject* b = cue ? cue->next : nullptr; b && b->identity < 16 && !b->animPlayer; b = b->next, ++k) {
    b->animPlayer = k <= 8 ? makeLook(*this, k_poolBankBalls1to8, k - 1, k_animBallRest)
                           : makeLook(*this, k_poolBankBalls9to15, k - 9, k_animBallRest);
  }
  for (int32_t p = 0; p < 2; ++p) m_rules.playerGroup[p] = m_rules.playerTarget[p] = RuleState::kBothGroups;
  m_rules.tableOpen = 1;
}

void cGame::setBallSpritesUK() {
  PhysicalObject* cue = m_world.cueBall;
  if (cue && !cue->animPlayer) cue->animPlayer = makeLook(*this, k_poolBankCueBall, 0, k_animBallRest);
  int32_t k = 1;
  for (PhysicalObject* b = cue ? cue->next : nullptr; b && b->identity < 16 && !b->animPlayer; b = b->next, ++k) {
    const int32_t palette = k > 8 ? 0 : k == 8 ? 7 : 2;
    b->animPlayer = makeLook(*this, k_poolBankBalls1to8, palette, k_animBallRest);
  }
  for (int32_t p = 0; p < 2; ++p) m_rules.playerGroup[p] = m_rules.playerTarget[p] = RuleState::kBothGroups;
  m_rules.tableOpen = 1;
}

void cGame::prepareFirstShot() {
  setBallRollFrames();
  ShotRecord& shot = m_world.shot;
  shot.clearEvents();
  shot.cueDistance = ShotRecord::kRestDistance;
  std::memset(shot.perShotBytes, 0, sizeof shot.perShotBytes);
  std::memset(shot.perShotWords, 0, sizeof shot.perShotWords);
  shot.aim.set(0, kQ14One);
  rotateAim(0);
}

// ---- pocketed-ball lists

void cGame::addPottedBall(int32_t ball, int32_t player) {
  if (ball <= 0 || ball >= 16 || player < 0 || player > 1) return;
  PottedBalls& list = m_potted[player];
  if (list.count >= PottedBalls::kMax) return;
  list.balls[list.count] = ball;
  const int32_t element = altPanelLayout ? 28 : 20;
  int32_t bank = k_poolBankBalls1to8, palette;
  if (ruleSet == kRuleSetUK) {
    palette = ball > 8 ? 0 : ball == 8 ? 7 : 2;
  } else if (ball > 8) {
    bank = k_poolBankBalls9to15;
    palette = ball - 9;
  } else {
    palette = ball - 1;
  }
  if (ASprite* sprite = getPoolBank(bank)) {
    auto* p = new (kSource, 290, nullptr)
        SpriteAnimPlayer(sprite, getElementX(element), getElementY(element), nullptr);
    if (p) {
      p->setPalette(palette);
      p->setAnim(list.count + (player == currentPlayer ? k_animPanelSlide : k_animPanelStill));
    }
    list.players[list.count] = p;
  }
  list.count += 1;
}

void cGame::clearPottedBallLists() {
  for (PottedBalls& list : m_potted) {
    for (SpriteAnimPlayer*& p : list.players) {
      delete p;
      p = nullptr;
    }
    std::memset(list.balls, 0, sizeof list.balls);
    list.count = 0;
  }
}

int32_t cGame::getPlayerGroup(int32_t player) const {
  if (player < 0 || player > 1) return -1;
  if (m_rules.playerGroup[player] == RuleState::kSolids) return 1;
  if (m_rules.playerGroup[player] == RuleState::kStripes) return 2;
  return -1;
}

// ---- the world's life

void cGame::createGameObjects() {
  m_world.random = m_random;
  m_world.hooks = &m_poolHooks;
  m_world.interiorCut = 1;
  m_world.createMarkers();
}

void cGame::releaseGameObjects() {
  clearPottedBallLists();
  m_world.freeTableObjects();
  m_world.releaseMarkers();
  m_world.random = nullptr;
}
