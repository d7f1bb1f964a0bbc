// Achievements: the unlocked set, the notices that slide in when one is
// unlocked, the completion percentages of the three categories and the
// notice shown when a category is complete.
#include <algorithm>
#include <bit>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace {

constexpr uint32_t kCategoryBits = 0x3FF;  // ten achievements a category
constexpr int32_t kTutorial = 5;
constexpr int32_t kChallenge = 4;
constexpr int32_t kChallengesHalf = 3;  // the achievements a challenge may unlock
constexpr int32_t kChallengesAll = 29;
constexpr int32_t kNoticeSlideInFrom = 31;  // frames left: sliding in at this many or more
constexpr int32_t kNoticeSlideOutBelow = 11;
constexpr int32_t kTextOffset = 33;  // texts sit this far right of their plate
constexpr int32_t kBlinkPeriod = 10;

// The current interface, put back after painting over it.
struct CurrentInterface {
  explicit CurrentInterface(cGame& game)
      : g(game), elements(game.m_currentElements), count(game.m_currentElementCount), id(game.m_currentInterface) {}
  ~CurrentInterface() {
    g.m_currentElements = elements;
    g.m_currentElementCount = count;
    g.m_currentInterface = id;
  }
  cGame& g;
  int16_t** elements;
  int32_t count;
  int32_t id;
};

}  // namespace

void cGame::unlockAchievement(int32_t id) {
  // Only the thirty achievements exist; other ids would set bits of no category.
  if (id < 0 || id >= k_achievementCount) return;
  const uint32_t bit = 1u << id;
  if ((m_achievementMask & bit) || gameType == kTutorial) return;
  if (gameType == kChallenge && id != kChallengesHalf && id != kChallengesAll) return;
  // The first free slot takes the notice; with all five in use there is none.
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = m_noticeSlots[s];
    if (slot.frames > 0) continue;
    slot.frames = k_noticeFrames;
    slot.id = id;
    // A free plate stands at its authored place.
    slot.targetX = getInterfaceElementX(k_ifAchievementNotices, k_elNoticeSlot0 + s);
    setInterfaceElementVisible(k_ifAchievementNotices, k_elNoticeSlot0 + s, true);
    setElementX(k_ifAchievementNotices, k_elNoticeSlot0 + s, k_noticeStartX);
    m_achievementShown |= bit;
    break;
  }
  updateAchievementPercentages();
  int32_t before[k_achievementCategories];
  std::copy(std::begin(m_achievementPercent), std::end(m_achievementPercent), before);
  m_achievementMask |= bit;
  updateAchievementPercentages();
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    if (m_achievementPercent[c] == 100 && before[c] != 100) queueCompletionNotice(c);
  saveSettings();
}

void cGame::clearAchievementNotices() {
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = m_noticeSlots[s];
    if (slot.frames <= 0) continue;
    slot.frames = 0;
    setInterfaceElementVisible(k_ifAchievementNotices, k_elNoticeSlot0 + s, false);
    setElementX(k_ifAchievementNotices, k_elNoticeSlot0 + s, slot.targetX);
  }
  m_achievementShown = 0;
}

bool cGame::isAchievementNoticeShown() { return countShownNotices() > 0 && !m_menusOverMatch; }

int32_t cGame::countShownNotices() const {
  return std::popcount(m_achievementShown & ((1u << k_achievementCount) - 1));
}

void cGame::paintAchievementNotices() {
  CurrentInterface keep(*this);
  selectInterface(k_ifAchievementNotices);
  if (m_currentInterface != k_ifAchievementNotices) return;
  // Plates move first so that their texts go with them.
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    const NoticeSlot& slot = m_noticeSlots[s];
    if (slot.frames <= 0) continue;
    const int32_t e = k_elNoticeSlot0 + s;
    int32_t x = getElementX(e);
    if (slot.frames >= kNoticeSlideInFrom)
      x = std::max(x - k_noticeStep, slot.targetX);
    else if (slot.frames < kNoticeSlideOutBelow)
      x = std::min(x + k_noticeStep, k_noticeStartX);
    setElementX(-1, e, x);
  }
  paintInterface();
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = m_noticeSlots[s];
    if (slot.frames <= 0) continue;
    const int32_t x = getElementX(k_elNoticeSlot0 + s) + kTextOffset;
    const int32_t line = k_elNoticeLine0 + 2 * s, title = k_elNoticeTitle0 + 2 * s;
    setElementX(-1, line, x);
    setElementX(-1, title, x);
    drawElementText(line, k_textNoticeLine);
    drawElementText(title, k_textAchievementTitle0 + slot.id);
    slot.frames -= 1;
    if (slot.frames > 0) continue;
    if (slot.id >= 0 && slot.id < k_achievementCount) m_achievementShown &= ~(1u << slot.id);
    setElementVisible(k_elNoticeSlot0 + s, false);
    setElementX(-1, k_elNoticeSlot0 + s, slot.targetX);
  }
}

void cGame::updateAchievementPercentages() {
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t n = std::popcount((m_achievementMask >> (10 * c)) & kCategoryBits);
    m_achievementPercent[c] = n * 100 / 10;
  }
}

void cGame::queueCompletionNotice(int32_t category) {
  if (category < 0 || category >= k_achievementCategories) return;
  // Each category is queued once; the queue has a place for each.
  for (int32_t c : m_completionQueue)
    if (c == category) return;
  for (int32_t& c : m_completionQueue)
    if (c < 0) {
      c = category;
      return;
    }
}

int32_t cGame::findCompletionNotice() {
  int32_t count = 0;
  for (int32_t i = 0; i < k_achievementCategories; ++i) {
    const int32_t c = m_completionQueue[i];
    if (c < 0) continue;
    ++count;
    m_noticeDisplay = i;
    setInterfaceElementSprite(k_ifCompletionNotice, k_elCompletionBadge, getBadgeSlot(c));
  }
  return count;
}

bool cGame::hasCompletionNotice() { return findCompletionNotice() > 0 && !m_menusOverMatch; }

void cGame::updateCompletionNotice() {
  if (!m_keys.isPressed(k_keySelect)) return;
  if (m_noticeDisplay >= 0 && m_noticeDisplay < k_achievementCategories) m_completionQueue[m_noticeDisplay] = -1;
  m_keys.lock(5);
  m_completionNoticeShown = 0;
}

void cGame::paintCompletionNotice() {
  if (findCompletionNotice() <= 0) return;
  if (m_noticeDisplay < 0 || m_noticeDisplay >= k_achievementCategories) return;
  const int32_t category = m_completionQueue[m_noticeDisplay];
  CurrentInterface keep(*this);
  selectInterface(k_ifCompletionNotice);
  if (m_currentInterface != k_ifCompletionNotice) return;
  paintInterface();
  if (m_paintFrameCount % kBlinkPeriod >= kBlinkPeriod / 2) drawElementText(k_elCompletionBlink, k_textCompletionBlink);
  drawElementText(k_elCompletionLine, k_textCompletionLine);
  drawElementText(k_elCompletionCategory, k_textCategoryName0 + category);
}

int32_t cGame::countCompletedCategories() const {
  // From the unlocked set itself: the percentages are only as recent as the
  // last unlock or visit of the categories screen.
  int32_t n = 0;
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    if (((m_achievementMask >> (10 * c)) & kCategoryBits) == kCategoryBits) ++n;
  return n;
}

int32_t cGame::getBadgeSlot(int32_t category) const {
  if (category < 0 || category >= k_achievementCategories) return k_slotBadge[0];
  // The match loading moves the badges of slots 8 and 9 up.
  const int32_t slot = k_slotBadge[category], moved = k_slotBadgeInMatch[category];
  return !m_sprites[slot] && m_sprites[moved] ? moved : slot;
}
