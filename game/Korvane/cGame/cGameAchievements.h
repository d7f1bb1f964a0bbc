#pragma once

#include <cstdint>

class cGame;
class Graphics;

constexpr int32_t k_achievementCategories = 3;
constexpr int32_t k_noticeSlots = 5;
struct NoticeSlot {
  int32_t frames = 0;  // left; 0 = free
  int32_t id = -1;
  int32_t targetX = 0;  // the plate's authored x
};

void unlockAchievement(cGame& game, int32_t id);
// unlockAchievement is with the pool hooks above.
void clearAchievementNotices(cGame& game);
bool isAchievementNoticeShown(cGame& game);
int32_t countShownNotices(const cGame& game);
void paintAchievementNotices(cGame& game);
// A title painted this frame (a box over the table, a screen's result)
// that the notices keep clear of: a notice whose plate would cover it
// waits, or takes a free plate clear of it.
void keepNoticesClearOf(cGame& game, int32_t x, int32_t y, int32_t width, int32_t height);
void updateAchievementPercentages(cGame& game);
void queueCompletionNotice(cGame& game, int32_t category);
int32_t findCompletionNotice(cGame& game);
bool hasCompletionNotice(cGame& game);
void updateCompletionNotice(cGame& game);
void paintCompletionNotice(cGame& game);
int32_t countCompletedCategories(const cGame& game);
// The bank slot of a category's badge (where it lives now).
int32_t getBadgeSlot(const cGame& game, int32_t category);

struct AchievementNotices {
  static constexpr int32_t kClearRects = 4;
  uint32_t shown = 0;
  NoticeSlot slots[k_noticeSlots];
  int32_t percent[k_achievementCategories] = {};
  int32_t completionQueue[k_achievementCategories] = {-1, -1, -1};
  // The titles to keep clear of (x, y, width, height), set in the paint
  // whose count they carry.
  int32_t clearRects[kClearRects][4] = {};
  int32_t clearCount = 0;
  int32_t clearPaint = 0;
};

// Notices slide in over any screen, 20 pixels a frame from x 240, and stay
// 40 frames.
constexpr int32_t k_achievementCount = 30;
constexpr int32_t k_noticeFrames = 40;
constexpr int32_t k_noticeStep = 20;
constexpr int32_t k_noticeStartX = 240;
