// The career's money, purchases and equipment. Only these operations change
// them; money stays within 0..k_careerMoneyMax and is read as an int32_t.
// None of them saves: the caller saves the progress record after a change.
#pragma once

#include <cstdint>

class cGame;

constexpr int32_t k_careerMoney0 = 1000;  // a new career's money
constexpr int32_t k_careerMoneyMax = INT32_MAX;

int32_t getCareerMoney(const cGame& game);
// Adds a gain or, when negative, takes a loss; the sum is held in range.
void addCareerMoney(cGame& game, int64_t amount);
void setCareerMoney(cGame& game, int64_t money);

// Items 0-14: category item / 5, level item % 5 + 1.
bool isItemBought(const cGame& game, int32_t item);
bool isItemEquipped(const cGame& game, int32_t item);
// The item's level in its category and the saved mask of the three levels.
void equipItem(cGame& game, int32_t item);
// Equipped, paid for and marked bought.
void buyItem(cGame& game, int32_t item, int32_t price);
// Levels 0-5 per category from the saved mask; a category with no bit set
// keeps the level it had.
void updateEquippedItems(cGame& game);
void resetEquippedItems(cGame& game);  // all three levels 5, the mask kept
