// Texts, sounds and achievements the shot rules name.
#pragma once

#include <cstdint>

namespace ruleids {

// Outcome bits of a shot.
enum ShotOutcomeFlags : uint32_t {
  k_outReRack = 0x1,
  k_outTurnPasses = 0x2,
  k_outWin = 0x8,
  k_outLose = 0x10,
  k_outNoWinner = 0x20,
  k_outCueFoul = 0x40,
  k_outGroups = 0x80,
  k_outGroupsStripes = 0x100,
  k_outShowMessage = 0x200,
  k_outShowSecond = 0x400,
  k_outLagGoesOn = 0x800,
  k_outCueOffTable = 0x1000,
  k_outScored = 0x2000,
  k_outFoul = 0x4000,
  k_outBreakAgain = 0x8000,
  k_outClearJump = 0x10000,
  k_outNewLowest = 0x20000,
  k_outUkFoul = 0x40000,
};
constexpr uint32_t k_outAllBits = 0x7FFFB;

// Sounds.
constexpr int32_t k_soundClap = 1;
constexpr int32_t k_soundCushion = 2;
constexpr int32_t k_soundHitHard = 3;
constexpr int32_t k_soundPocket = 4;
constexpr int32_t k_soundCrowdAww = 8;

// Texts.
constexpr int32_t k_textGroupRed = 25;
constexpr int32_t k_textGroupYellow = 26;
constexpr int32_t k_textCueOffTable = 168;
constexpr int32_t k_textBadBreak = 169;
constexpr int32_t k_textEightOnBreak = 170;
constexpr int32_t k_textFoul = 171;
constexpr int32_t k_textThreeFouls = 172;
constexpr int32_t k_textCueOffTableNext = 174;
constexpr int32_t k_textReRack = 176;
constexpr int32_t k_textReRackOther = 178;
constexpr int32_t k_textThreeFoulsLoses = 179;
constexpr int32_t k_textFirstName = 391;  // + character 0-10
constexpr int32_t k_textSolidsP2 = 490;
constexpr int32_t k_textSolidsP1 = 491;
constexpr int32_t k_textYouStripes = 494;
constexpr int32_t k_textYouSolids = 495;
constexpr int32_t k_textUkYouPlay = 496;
constexpr int32_t k_textUkRivalPlays = 497;
constexpr int32_t k_textUkNamePlays = 498;
constexpr int32_t k_textLagWon = 512;
constexpr int32_t k_textLagWonRival = 513;
constexpr int32_t k_textLagTie = 514;
constexpr int32_t k_textLagBad = 515;
constexpr int32_t k_textLagBreaks = 517;
constexpr int32_t k_textLagAgain = 518;
constexpr int32_t k_textLagRetake = 519;
constexpr int32_t k_textCuePotted = 636;
constexpr int32_t k_textCueLeftTable = 637;
constexpr int32_t k_textPotEveryShot = 640;
constexpr int32_t k_textWrongPocket = 646;
constexpr int32_t k_textNoCushion = 647;
constexpr int32_t k_textWrongContact = 648;
constexpr int32_t k_textBonus1 = 659;  // 659-662 by bonus points
constexpr int32_t k_textMultiPot = 663;
constexpr int32_t k_textStreak = 664;
constexpr int32_t k_textBankPot = 665;
constexpr int32_t k_textComboPot = 666;
constexpr int32_t k_textScratchTitle = 667;

// Every text id the rules may show, for the data check.
constexpr int32_t k_ruleTexts[] = {25,  26,  168, 169, 170, 171, 172, 174, 176, 178, 179, 391, 392, 393, 394, 395,
                                   396, 397, 398, 399, 400, 401, 490, 491, 494, 495, 496, 497, 498, 512, 513, 514,
                                   515, 517, 518, 519, 636, 637, 638, 639, 640, 641, 642, 643, 644, 645, 646, 647,
                                   648, 659, 660, 661, 662, 663, 664, 665, 666, 667};

// Achievements.
constexpr int32_t k_achBankHit = 0;
constexpr int32_t k_achJump = 2;
constexpr int32_t k_achSamePocket = 5;
constexpr int32_t k_achDrawPot = 6;
constexpr int32_t k_achOwnHits = 7;
constexpr int32_t k_achBreakPot = 9;
constexpr int32_t k_achStreak2 = 10;
constexpr int32_t k_achSidePot = 11;
constexpr int32_t k_achDoublePot = 16;
constexpr int32_t k_achCushionPot = 18;
constexpr int32_t k_achCombo = 20;
constexpr int32_t k_achievement_fullSet = 21;
constexpr int32_t k_achStreak3 = 25;
constexpr int32_t k_achTriplePot = 28;

}  // namespace ruleids
