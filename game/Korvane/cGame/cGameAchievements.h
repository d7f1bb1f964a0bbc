#pragma once

#include <cstdint>

class cGame;
class Graphics;

void unlockAchievement(cGame& game, int32_t id);
void clearAchievementNotices(cGame& game);
bool isAchievementNoticeShown(cGame& game);
int32_t countShownNotices(const cGame& game);
void paintAchievementNotices(cGame& game);
void updateAchievementPercentages(cGame& game);
void queueCompletionNotice(cGame& game, int32_t category);
int32_t findCompletionNotice(cGame& game);
bool hasCompletionNotice(cGame& game);
void updateCompletionNotice(cGame& game);
void paintCompletionNotice(cGame& game);
int32_t countCompletedCategories(const cGame& game);
int32_t getBadgeSlot(const cGame& game, int32_t category);
