// Achievements: the unlocked set, the notices that slide in when one is
// unlocked, the completion percentages of the three categories and the
// notice shown when a category is complete.
#include <algorithm>
#include <bit>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace {

constexpr uint32_t kCategoryBits = 0x3FF;  // ten achievements a category
constexpr int32_t kChallenge = 4;
constexpr int32_t kChallengesHalf = 3;  // the achievements a challenge may unlock
constexpr int32_t kChallengesAll = 29;
constexpr int32_t kNoticeSlideOutBelow = 11;
constexpr int32_t kTextOffset = 33;  // texts sit this far right of their plate
constexpr int32_t kBlinkPeriod = 10;

// The current interface, put back after painting over it.
struct CurrentInterface {
  explicit CurrentInterface(cGame& game)
      : g(game),
        elements(game.interfaces.currentElements),
        count(game.interfaces.currentElementCount),
        id(game.interfaces.currentInterface) {}
  ~CurrentInterface() {
    g.interfaces.currentElements = elements;
    g.interfaces.currentElementCount = count;
    g.interfaces.currentInterface = id;
  }
  cGame& g;
  int16_t** elements;
  int32_t count;
  int32_t id;
};

}  // namespace

void unlockAchievement(cGame& game, int32_t id) {
  // Only the thirty achievements exist; other ids would set bits of no category.
  if (id < 0 || id >= k_achievementCount) return;
  const uint32_t bit = 1u << id;
  if ((game.career.achievementMask & bit) || game.match.gameType == k_gameTypeTutorial) return;
  if (game.match.gameType == kChallenge && id != kChallengesHalf && id != kChallengesAll) return;
  // The first free slot takes the notice; with all five in use there is none.
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = game.notices.slots[s];
    if (slot.frames > 0) continue;
    slot.frames = k_noticeFrames;
    slot.id = id;
    // A free plate stands at its authored place.
    slot.targetX = getInterfaceElementX(game, k_ifAchievementNotices, k_elNoticeSlot0 + s);
    setInterfaceElementVisible(game, k_ifAchievementNotices, k_elNoticeSlot0 + s, true);
    setElementX(game, k_ifAchievementNotices, k_elNoticeSlot0 + s, k_noticeStartX);
    game.notices.shown |= bit;
    break;
  }
  updateAchievementPercentages(game);
  int32_t before[k_achievementCategories];
  std::copy(std::begin(game.notices.percent), std::end(game.notices.percent), before);
  game.career.achievementMask |= bit;
  updateAchievementPercentages(game);
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    if (game.notices.percent[c] == 100 && before[c] != 100) queueCompletionNotice(game, c);
  saveSettings(game);
}

void clearAchievementNotices(cGame& game) {
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = game.notices.slots[s];
    if (slot.frames <= 0) continue;
    slot.frames = 0;
    setInterfaceElementVisible(game, k_ifAchievementNotices, k_elNoticeSlot0 + s, false);
    setElementX(game, k_ifAchievementNotices, k_elNoticeSlot0 + s, slot.targetX);
  }
  game.notices.shown = 0;
}

bool isAchievementNoticeShown(cGame& game) { return countShownNotices(game) > 0 && !game.frontEnd.menusOverMatch; }

int32_t countShownNotices(const cGame& game) {
  return std::popcount(game.notices.shown & ((1u << k_achievementCount) - 1));
}

void keepNoticesClearOf(cGame& game, int32_t x, int32_t y, int32_t width, int32_t height) {
  AchievementNotices& n = game.notices;
  if (n.clearPaint != game.frame.paintFrameCount) {
    n.clearPaint = game.frame.paintFrameCount;
    n.clearCount = 0;
  }
  if (n.clearCount >= AchievementNotices::kClearRects || width <= 0 || height <= 0) return;
  int32_t* r = n.clearRects[n.clearCount++];
  r[0] = x;
  r[1] = y;
  r[2] = width;
  r[3] = height;
}

namespace {

// Slot s's plate at its place on the current interface 49 would cover a
// title kept clear of in this paint.
bool isPlateBlocked(cGame& game, int32_t s) {
  const AchievementNotices& n = game.notices;
  if (n.clearPaint != game.frame.paintFrameCount) return false;
  const int32_t e = k_elNoticeSlot0 + s;
  // A free plate stands at its place.
  const int32_t x = n.slots[s].frames > 0 ? n.slots[s].targetX : getElementX(game, e);
  int32_t box[4];
  if (!getSpriteElementBox(game, -1, e, x, box)) return false;
  for (int32_t k = 0; k < n.clearCount; ++k) {
    const int32_t* r = n.clearRects[k];
    if (box[0] < r[0] + r[2] && r[0] < box[2] && box[1] < r[1] + r[3] && r[1] < box[3]) return true;
  }
  return false;
}

}  // namespace

void paintAchievementNotices(cGame& game) {
  CurrentInterface keep(game);
  selectInterface(game, k_ifAchievementNotices);
  if (game.interfaces.currentInterface != k_ifAchievementNotices) return;
  // A notice that has not come in yet and would cover a title takes a free
  // plate clear of it, or waits off the screen with its frames kept.
  bool held[k_noticeSlots] = {};
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = game.notices.slots[s];
    if (slot.frames <= 0 || !isPlateBlocked(game, s)) continue;
    for (int32_t t = 0; t < k_noticeSlots && slot.frames == k_noticeFrames; ++t) {
      NoticeSlot& free = game.notices.slots[t];
      if (free.frames > 0 || isPlateBlocked(game, t)) continue;
      free.frames = slot.frames;
      free.id = slot.id;
      free.targetX = getElementX(game, k_elNoticeSlot0 + t);
      setElementVisible(game, k_elNoticeSlot0 + t, true);
      setElementX(game, -1, k_elNoticeSlot0 + t, k_noticeStartX);
      slot.frames = 0;
      setElementVisible(game, k_elNoticeSlot0 + s, false);
      setElementX(game, -1, k_elNoticeSlot0 + s, slot.targetX);
    }
    if (slot.frames > 0) held[s] = true;
  }
  // Plates move first so that their texts go with them.
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    const NoticeSlot& slot = game.notices.slots[s];
    if (slot.frames <= 0) continue;
    const int32_t e = k_elNoticeSlot0 + s;
    int32_t x = getElementX(game, e);
    // In, it stays at its place until its last frames; one that waited
    // comes in then.
    if (held[s])
      x = k_noticeStartX;
    else if (slot.frames < kNoticeSlideOutBelow)
      x = std::min(x + k_noticeStep, k_noticeStartX);
    else
      x = std::max(x - k_noticeStep, slot.targetX);
    setElementX(game, -1, e, x);
  }
  paintInterface(game);
  for (int32_t s = 0; s < k_noticeSlots; ++s) {
    NoticeSlot& slot = game.notices.slots[s];
    if (slot.frames <= 0 || held[s]) continue;
    const int32_t x = getElementX(game, k_elNoticeSlot0 + s) + kTextOffset;
    const int32_t line = k_elNoticeLine0 + 2 * s, title = k_elNoticeTitle0 + 2 * s;
    setElementX(game, -1, line, x);
    setElementX(game, -1, title, x);
    drawElementText(game, line, k_textNoticeLine);
    drawElementText(game, title, k_textAchievementTitle0 + slot.id);
    slot.frames -= 1;
    if (slot.frames > 0) continue;
    if (slot.id >= 0 && slot.id < k_achievementCount) game.notices.shown &= ~(1u << slot.id);
    setElementVisible(game, k_elNoticeSlot0 + s, false);
    setElementX(game, -1, k_elNoticeSlot0 + s, slot.targetX);
  }
}

void updateAchievementPercentages(cGame& game) {
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t n = std::popcount((game.career.achievementMask >> (10 * c)) & kCategoryBits);
    game.notices.percent[c] = n * 100 / 10;
  }
}

void queueCompletionNotice(cGame& game, int32_t category) {
  if (category < 0 || category >= k_achievementCategories) return;
  // Each category is queued once; the queue has a place for each.
  for (int32_t c : game.notices.completionQueue)
    if (c == category) return;
  for (int32_t& c : game.notices.completionQueue)
    if (c < 0) {
      c = category;
      return;
    }
}

int32_t findCompletionNotice(cGame& game) {
  int32_t count = 0;
  for (int32_t i = 0; i < k_achievementCategories; ++i) {
    const int32_t c = game.notices.completionQueue[i];
    if (c < 0) continue;
    ++count;
    game.frontEnd.noticeDisplay = i;
    setInterfaceElementSprite(game, k_ifCompletionNotice, k_elCompletionBadge, getBadgeSlot(game, c));
  }
  return count;
}

bool hasCompletionNotice(cGame& game) { return findCompletionNotice(game) > 0 && !game.frontEnd.menusOverMatch; }

void updateCompletionNotice(cGame& game) {
  if (!game.keys.isPressed(k_keySelect)) return;
  if (game.frontEnd.noticeDisplay >= 0 && game.frontEnd.noticeDisplay < k_achievementCategories)
    game.notices.completionQueue[game.frontEnd.noticeDisplay] = -1;
  game.keys.lock(5);
  game.frontEnd.completionNoticeShown = 0;
}

void paintCompletionNotice(cGame& game) {
  if (findCompletionNotice(game) <= 0) return;
  if (game.frontEnd.noticeDisplay < 0 || game.frontEnd.noticeDisplay >= k_achievementCategories) return;
  const int32_t category = game.notices.completionQueue[game.frontEnd.noticeDisplay];
  CurrentInterface keep(game);
  selectInterface(game, k_ifCompletionNotice);
  if (game.interfaces.currentInterface != k_ifCompletionNotice) return;
  paintInterface(game);
  if (game.frame.paintFrameCount % kBlinkPeriod >= kBlinkPeriod / 2)
    drawElementText(game, k_elCompletionBlink, k_textCompletionBlink);
  drawElementText(game, k_elCompletionLine, k_textCompletionLine);
  drawElementText(game, k_elCompletionCategory, k_textCategoryName0 + category);
}

int32_t countCompletedCategories(const cGame& game) {
  // From the unlocked set itself: the percentages are only as recent as the
  // last unlock or visit of the categories screen.
  int32_t n = 0;
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    if (((game.career.achievementMask >> (10 * c)) & kCategoryBits) == kCategoryBits) ++n;
  return n;
}

int32_t getBadgeSlot(const cGame& game, int32_t category) {
  if (category < 0 || category >= k_achievementCategories) return k_slotBadge[0];
  // The match loading moves the badges of slots 8 and 9 up.
  const int32_t slot = k_slotBadge[category], moved = k_slotBadgeInMatch[category];
  return !game.loading.sprites[slot] && game.loading.sprites[moved] ? moved : slot;
}
