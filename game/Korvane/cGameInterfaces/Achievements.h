// The achievement screens' record: the categories (250) and the list of one
// category (260).
#pragma once

#include <cstdint>

struct AchievementScreens {
  int32_t selectedCategory = 0;
  uint32_t listTexts[10] = {};
  int32_t listTitle = 0;
  int32_t descriptionBase = 0;
  int32_t listFirst = 0;  // the first visible row as last seen
};

class cGame;
class Graphics;

// achievement screens (cGameInterfaces/Achievements.cpp): the
// categories (250) and the list of one category (260).
void updateAchievementCategories(cGame& game);
void paintAchievementCategories(cGame& game, Graphics* g);
void updateAchievementList(cGame& game);
void paintAchievementList(cGame& game, Graphics* g);
void setCategoryTicks(cGame& game);
void setCategoryFrames(cGame& game);
void markUnlockedRows(cGame& game);
void buildAchievementListTexts(cGame& game);
