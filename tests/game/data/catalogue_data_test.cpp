// Every id of the data-id catalogue exists in the built data set: archive
// entries, bank frames, animations and palettes, interface elements of the
// type the code reads, texts with real wording, and the sound files.
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/data/DataFixture.h"
#include "zul/2d/ASprite.h"

namespace {

namespace F = interfaceformat;
constexpr const char* kMenu = "menu.bar";
constexpr int kAny = -1;

class CatalogueData : public DataTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    DataTest::SetUp();
    dataDir = data;
    for (const auto& f : std::filesystem::directory_iterator(dataDir))
      std::filesystem::copy_file(f.path(), path(f.path().filename().string()));
  }
  std::unique_ptr<ASprite> bank(const char* archive, int entry) {
    if (loadBar(*game, archive) != 1) return nullptr;
    std::unique_ptr<ASprite> b(parseBank(*game, entry));
    unloadBar(*game);
    return b;
  }
  std::string dataDir;
};

TEST_F(CatalogueData, BanksHoldTheirFramesAnimationsAndPalettes) {
  struct Bank {
    const char* archive;
    int entry, firstFrame, lastFrame, firstAnim, lastAnim, palettes;
  };
  const int none = -1;
  const Bank banks[] = {
      {k_archiveInterface, k_interfaceEntryLogo, 0, 0, none, none, 1},
      {k_archiveInterface, k_interfaceEntryFont0 + k_font0, none, none, none, none, 1},
      {k_archiveInterface, k_interfaceEntryFont0 + k_font1, none, none, none, none, 1},
      {kMenu, k_slotBackground, k_frameBackground, k_frameBackground, none, none, 1},
      {kMenu, k_slotUi, k_uiFrameNewBadge, k_uiFrameNewBadge, k_uiAnimArrowUp, k_uiAnimArrowRight + k_uiAnimArrowHeld, 1},
      {kMenu, k_slotUi, k_uiFrameBackPressed, k_uiFrameBack, none, none, 1},
      {kMenu, k_slotUi, k_uiFrameMessageFirst, k_uiFrameMessageLast, none, none, 1},
      {kMenu, k_slotUi, k_uiFrameDialogFirst, k_uiFrameDialogLast, 0, k_uiAnimCount - 1, 1},
      {kMenu, k_slotUi, k_uiFrameListRow, k_uiFrameNotePlate, none, none, 1},
      {kMenu, k_slotUi, k_uiFramePlate, k_uiFramePlate, none, none, 1},
      {kMenu, k_slotUi, k_uiFramePlateLow, k_uiFrameSeatMark, none, none, 1},
      {kMenu, k_slotTitle, k_frameTitle, k_frameTitle, none, none, 1},
      {kMenu, k_slotMarks, k_marksFrameMarker, k_marksFrameMarker, k_marksAnimTickOff, k_marksAnimTickOn, 1},
      {kMenu, k_slotMarks, k_lightFrame0, k_lightFrame0 + k_lightFrames - 1, none, none, 1},
      {kMenu, k_slotCategoryFrames, k_frameCategoryIncomplete, k_frameCategoryComplete + 1, none, none, 1},
      {kMenu, k_slotBadge[0], 0, 0, none, none, 1},
      {kMenu, k_slotBadge[1], 0, 0, none, none, 1},
      {kMenu, k_slotBadge[2], 0, 0, none, none, 1},
      {kMenu, k_menuEntryGroupIcons, 0, k_groupIconFrames - 1, none, none, k_groupIconPalettes},
      {k_archiveInGame, k_igEntryHud, k_hudFrameGaugeBack, k_hudFrameGaugeFrame + k_cueLooks - 1, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameSpinPad, k_hudFrameSpinPad, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameSpinLeft, k_hudFrameSpinDown, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameAimFire, k_hudFrameFineTurn + 2, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameTip, k_hudFrameTip + k_cueLooks - 1, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameMasse, k_hudFrameMenu + 1, none, none, 1},
      {k_archiveInGame, k_igEntryHud, k_hudFrameBallView, k_hudFrameBallView, none, none, 1},
      {k_archiveInGame, k_igEntryTable, 0, 0, none, none, 9},
      {k_archiveInGame, k_igEntryBallAlpha, none, none, none, none, 1},
      {k_archiveInGame, k_igEntryCueBall, none, none, 0, k_ballAnims - 1, 1},
      {k_archiveInGame, k_igEntryBalls1to8, none, none, 0, k_ballAnims - 1, k_ballPalettes},
      {k_archiveInGame, k_igEntryBalls9to15, none, none, 0, k_ballAnims - 1, k_stripePalettes},
      {k_archiveInGame, k_igEntryShadowAlpha, none, none, none, none, 1},
      {k_archiveInGame, k_igEntryShadow, k_frameShadow, k_frameShadow, none, none, 1},
      {k_archiveInGame, k_igEntryHand, none, none, 0, 0, 1},
      {k_archiveInGame, k_igEntryCueAlpha, none, none, none, none, 1},
      {k_archiveInGame, k_igEntrySpare, none, none, none, none, 1},
      {k_archiveInGame, k_igEntryThinking, none, none, k_animThinking, k_animThinking, 1},
      {k_archiveInGame, k_igEntryEffect, none, none, k_animHitSpark, k_animHitSpark, 1},
      {k_archiveInGame, k_igEntryGuideDots, 0, k_guideDotFrames - 1, none, none, 1},
      {k_archiveInGame, k_igEntryGuideDotAlpha, none, none, none, none, 1},
      {kMenu, k_menuEntryShopItems, 0, k_shopFrameSelectPressed, none, none, k_shopItemPalettes},
      {"pub.bar", k_pubEntryShopBanner, k_bannerFrameLeft, k_bannerFrameMiddle, none, none, 1},
      {k_archivePub, k_slotPubWall - k_slotPubFirst, 0, k_pubWallFrames - 1, none, none, 1},
      {k_archivePub, k_slotPubSpots - k_slotPubFirst, 0, k_pubSpotFrames - 1, none, none, 1},
      {k_archivePub, k_slotPubRoom - k_slotPubFirst, 0, k_pubRoomFrames - 1, none, none, 1},
      {k_archivePub, k_slotPubNear - k_slotPubFirst, 0, k_pubNearFrames - 1, none, none, 1},
      {k_archivePub, k_slotCareerLocks - k_slotPubFirst, 0, k_careerLockFrames - 1, none, none, 1},
      {kMenu, k_slotSmallHeads, k_headFrameLightOff, k_headFrameLightOn, none, none, 1},
      {kMenu, k_slotSmallHeads, k_headFrameCharacter0, k_headFrameOut, none, none, 1},
      {kMenu, k_slotMatchArt, k_seatFrameLocked, k_frameVersusMark, 0, k_coinSpinAnims - 1, 1},
      {kMenu, k_slotMatchArt, k_softFrameLeft, k_softFrameRightPressed, none, none, 1},
      {kMenu, k_slotRulePictures, 0, 2, none, none, 1},
      {kMenu, k_slotRulePictures, k_rulePictureNone, k_rulePictureNone, none, none, 1},
      {"chr.bar", k_chrEntryNames, 0, k_specialCharacter, none, none, 1},
      {"map.bar", k_mapEntryStakeGlow, 0, k_stakeSeatCount - 1, none, none, 1},
  };
  for (const Bank& b : banks) {
    SCOPED_TRACE(std::string(b.archive) + " entry " + std::to_string(b.entry));
    std::unique_ptr<ASprite> s = bank(b.archive, b.entry);
    ASSERT_NE(s, nullptr);
    EXPECT_GE(s->paletteCount, b.palettes);
    if (b.firstFrame != none) {
      ASSERT_GT(s->frameCount, b.lastFrame);
      for (int f = b.firstFrame; f <= b.lastFrame; ++f) EXPECT_GT(s->getFrameModuleCount(f), 0) << "frame " << f;
    }
    if (b.firstAnim != none) {
      ASSERT_GT(s->animCount, b.lastAnim);
      for (int a = b.firstAnim; a <= b.lastAnim; ++a) EXPECT_GT(s->getAnimFrameCount(a), 0) << "anim " << a;
    }
  }
  // Portraits and seated figures of characters 0-10, the table plans.
  for (int c = 0; c <= k_specialCharacter; ++c) {
    std::unique_ptr<ASprite> p = bank("chr.bar", c);
    ASSERT_NE(p, nullptr) << c;
    ASSERT_GT(p->frameCount, k_seatedFrame) << c;
    EXPECT_GT(p->getFrameModuleCount(k_portraitFrame), 0) << c;
    EXPECT_GT(p->getFrameModuleCount(k_seatedFrame), 0) << c;
  }
  for (int t = 0; t < k_tableCount; ++t) {
    std::unique_ptr<ASprite> p = bank("map.bar", k_mapEntryTablePlan0 + t);
    ASSERT_NE(p, nullptr) << t;
    EXPECT_GT(p->getFrameModuleCount(0), 0) << t;
  }
  // The counts the code sizes its tables by.
  EXPECT_GE(bank(kMenu, k_slotUi)->frameCount, k_uiFrameCount);
  EXPECT_GE(bank(kMenu, k_slotUi)->animCount, k_uiAnimCount);
  for (int look = 0; look < k_cueLooks; ++look) {
    std::unique_ptr<ASprite> cue = bank(k_archiveInGame, k_igEntryFirstCue + look);
    ASSERT_NE(cue, nullptr) << look;
    ASSERT_GT(cue->moduleCount, k_moduleCue) << look;
    EXPECT_GT(cue->getModuleWidth(k_moduleCue), 0) << look;
  }
  // The text table and the character map are plain entries.
  for (auto [archive, entry] : {std::pair{k_archiveText, k_textEntryStrings}, std::pair{k_archiveText, k_textEntryOffsets},
                                std::pair{k_archiveInterface, k_interfaceEntryCharMap}}) {
    ASSERT_EQ(loadBar(*game, archive), 1) << archive;
    EXPECT_GT(getBarEntrySize(*game, entry), 0) << archive << " " << entry;
    unloadBar(*game);
  }
}

TEST_F(CatalogueData, InterfaceElementsOfTheTypesTheCodeReads) {
  ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
  loadInterfaces(*game);
  unloadBar(*game);
  struct Need {
    int id, first, last, type;
  };
  const int S = F::kSprite, T = F::kText, R = F::kRect;
  const Need needs[] = {
      {k_interfaceSoundQuestion, k_soundQuestionList, k_soundQuestionList + 1, T},
      {k_interfaceSoundQuestion, k_soundQuestionPrompt, k_soundQuestionPrompt, T},
      {k_interfaceSoundQuestion, k_soundQuestionNote, k_soundQuestionNote, T},
      {k_interfaceTitle, k_titlePrompt, k_titlePrompt, T},
      {k_interfaceTitle, k_titleNote, k_titleNote, T},
      {k_interfaceMainMenu, k_mainMenuList, k_mainMenuList + 6, T},
      {k_interfaceMainMenu, k_mainMenuChosenRow, k_mainMenuChosenRow, T},
      {k_interfaceMainMenu, k_mainMenuHeader, k_mainMenuHeader, kAny},
      {k_interfaceMainMenu, k_mainMenuArrowDown, k_mainMenuArrowDown, S},
      {k_interfaceMainMenu, k_mainMenuArrowUp, k_mainMenuArrowUp, S},
      {k_interfaceMainMenu, k_mainMenuMarker, k_mainMenuMarker, S},
      {k_interfaceQuestion, k_questionBody, k_questionBody, T},
      {k_interfaceQuestion, k_questionList, k_questionList + 1, T},
      {k_interfaceQuestion, k_questionTitle, k_questionTitle, T},
      {k_interfaceQuestion, k_questionNoteBox, k_questionNoteBox + 2, kAny},
      {k_interfaceQuestion, k_questionNote, k_questionNote, T},
      {k_interfaceQuestion, k_questionItemMarks, k_questionItemMarks + 2, kAny},
      {k_interfaceQuestion, k_questionRatingBars, k_questionRatingBars + 2, kAny},
      {k_interfaceQuestion, k_questionCategories, k_questionCategories + 2, T},
      {k_interfaceOptions, k_optionsArrowUp, k_optionsArrowUp, S},
      {k_interfaceOptions, k_optionsArrowDown, k_optionsArrowDown, S},
      {k_interfaceOptions, k_optionsList, k_optionsList + 4, T},
      {k_interfaceOptions, k_optionsTitle, k_optionsTitle, T},
      {k_interfaceOptions, k_optionsBack, k_optionsBack, S},
      {k_interfaceOptions, k_optionsFifthRowButton, k_optionsFifthRowButton, S},
      {k_ifAchievementMenu, k_elCategoryPercent0, k_elCategoryPercent0 + 2, T},
      {k_ifAchievementMenu, k_elCategoryRow0, k_elCategoryRow0 + 2, T},
      {k_ifAchievementMenu, k_elCategoryTick0, k_elCategoryTick0 + 2, S},
      {k_ifAchievementMenu, k_elCategoryFrame0, k_elCategoryFrame0 + 2, S},
      {k_ifAchievementMenu, k_elCategoryTitle, k_elCategoryTitle, T},
      {k_ifAchievementMenu, k_elAchievementBack, k_elAchievementBack, S},
      {k_ifAchievementList, k_elListDescription, k_elListDescription, T},
      {k_ifAchievementList, k_elListRow0, k_elListRow0 + 4, T},
      {k_ifAchievementList, k_elListTick0, k_elListTick0 + 4, S},
      {k_ifAchievementList, k_elListBadge, k_elListBadge, S},
      {k_ifAchievementList, k_elListTitle, k_elListTitle, T},
      {k_ifAchievementList, k_elAchievementBack, k_elAchievementBack, S},
      {k_ifAchievementNotices, k_elNoticeSlot0, k_elNoticeSlot0 + 4, S},
      {k_ifAchievementNotices, k_elNoticeLine0, k_elNoticeTitle0 + 8, T},
      {k_ifCompletionNotice, k_elCompletionBlink, k_elCompletionLine, T},
      {k_ifCompletionNotice, k_elCompletionCategory, k_elCompletionCategory, T},
      {k_ifCompletionNotice, k_elCompletionBadge, k_elCompletionBadge, S},
      {k_interfaceHud, k_elTable, k_elTable, S},
      {k_interfaceHud, k_elPortrait0, k_elPortrait0 + 1, S},
      {k_interfaceHud, k_elSpecialPortrait, k_elSpecialPortrait, S},
      {k_interfaceHud, k_elHudBar, k_elHudBar, S},
      {k_interfaceHud, k_elHudBarAlt, k_elHudBarAlt, S},
      {k_interfaceHud, k_elGroup0, k_elGroup0 + 1, S},
      {k_interfaceHud, k_elGroup0Alt, k_elGroup0Alt + 1, S},
      {k_interfaceHud, k_elPottedStart, k_elPottedStart, S},
      {k_interfaceHud, k_elPottedStartAlt, k_elPottedStartAlt, S},
      {k_interfaceHud, k_elShotsLeft, k_elShotsLeft, T},
      {k_interfaceHud, k_elShotsLeftAlt, k_elShotsLeftAlt, T},
      {k_interfaceHud, k_elHintButton, k_elHintButton, S},
      {k_interfaceHud, k_elMenuButton, k_elMenuButton, S},
      {k_interfaceHud, k_elFireHint, k_elSpinHint, S},
      {k_interfaceHud, k_elGaugeFrame0, k_elGaugeFrame1 + k_cueLooks - 1, S},
      {k_interfaceHud, k_elGaugeBack0, k_elGaugeBack0 + k_cueLooks - 1, S},
      {k_interfaceHud, k_elGaugeFill0, k_elGaugeFill0 + k_cueLooks - 1, S},
      {k_interfaceHud, k_elGaugeBack1, k_elGaugeBack1 + k_cueLooks - 1, S},
      {k_interfaceHud, k_elGaugeFill1, k_elGaugeFill1 + k_cueLooks - 1, S},
      {k_interfaceHud, k_elSpinPanel, k_elSpinEdgeRight, S},
      {k_interfaceHud, k_elMasseButton, k_elMasseButton, S},
      {k_interfaceHud, k_elSpinTop, k_elSpinTop, S},
      {k_interfaceHud, k_elBallFace, k_elBallFace, S},
      {k_interfaceHud, k_elTipMarker, k_elTipMarkerMasse, S},
      {k_interfaceHud, k_elTipDot, k_elTipDot, S},
      {k_interfaceHud, k_elSpinBox, k_elSpinBox, R},
      {k_interfaceHud, k_elMasseText, k_elMasseText, T},
      {k_interfaceHud, k_elTutorialBox, k_elTutorialBox, S},
      {k_interfaceHud, k_elTutorialText, k_elTutorialText, T},
      {k_interfaceHud, k_elTextBox, k_elTextBox, S},
      {k_interfaceCareerIntro, k_introText, k_introText, T},
      {k_interfaceCareerIntro, k_introNextPage, k_introNextPage, S},
      {k_interfaceCareerIntro, k_introBack, k_introBack, S},
      {k_interfaceCareerCharacter, k_careerLockedPicture, k_careerPortrait, S},
      {k_interfaceCareerCharacter, k_careerTableName, k_careerTableLine, T},
      {k_interfaceCareerCharacter, k_careerName, k_careerName, S},
      {k_interfaceCareerCharacter, k_careerTitle, k_careerTitle, T},
      {k_interfaceCareerCharacter, k_careerLockMark0, k_careerLockMark0 + 2, S},
      {k_interfaceCareerCharacter, k_careerLockedNote, k_careerHint, T},
      {k_interfaceCareerCharacter, k_careerBack, k_careerBack, S},
      {k_interfacePubWall, k_pubSpotElement0, k_pubSpotElement0 + k_pubSpotCount - 1, kAny},
      {k_interfacePubRoom, k_pubRoomTable, k_pubRoomTable, S},
      {k_interfacePubRoom, k_pubRoomKeptShared, k_pubRoomKeptShared, S},
      {k_interfacePubRoom, k_pubRoomBoard, k_pubRoomDoor, S},
      {k_interfacePubRoom, k_pubRoomCounter0, k_pubRoomCounter0 + 2, S},
      {k_interfacePubParallax0 + 3, k_pubParallaxBoard, k_pubParallaxBoard, S},
      {k_interfacePubSeats, 0, k_pubSeatCount - 1, S},
      {k_interfacePubCaptions, k_pubVeil, k_pubVeil, T},
      {k_interfacePubCaptions, k_pubSpotNote, k_pubSpotNote, T},
      {k_interfacePubCaptions, k_pubSpotTitle, k_pubSpotTitle, T},
      {k_interfacePubCaptions, k_pubBack, k_pubArrowRight, S},
      {k_ifRulesChoice, k_rulesArrowUp, k_rulesArrowDown, S},
      {k_ifRulesChoice, k_rulesList, k_rulesList + 2, T},
      {k_ifRulesChoice, k_rulesPlate0, k_rulesPicture, S},
      {k_ifRulesChoice, k_rulesBack, k_rulesBack, S},
      {k_ifRulesChoice, k_rulesTitle, k_rulesTitle, T},
      {k_ifCharacterChoice, k_charPlayerPortrait, k_charOpponentPortrait + 1, S},
      {k_ifCharacterChoice, 7, 8, S},
      {k_ifCharacterChoice, 10, 12, S},
      {k_ifCharacterChoice, 14, k_charPlayerName, S},
      {k_ifCharacterChoice, 9, 9, kAny},
      {k_ifCharacterChoice, 13, 13, kAny},
      {k_ifCharacterChoice, k_charOpponentName, k_charOpponentName, S},
      {k_ifCharacterChoice, k_charTitle, k_charHint, T},
      {k_ifCharacterChoice, k_charBack, k_charBack, S},
      {k_ifCareerPair, k_pairTitle, k_pairTitle, T},
      {k_ifCareerPair, 9, 10, kAny},
      {k_ifCareerPair, 15, 16, kAny},
      {k_ifVersus, k_versusPortraitLeft, k_versusPortraitRight, S},
      {k_ifVersus, k_versusNameLeft, k_versusNameRight, S},
      {k_ifVersus, k_versusPrompt, k_versusPrompt, T},
      {k_ifVersus, k_versusBack, k_versusBack, S},
      {k_ifStakeChoice, k_stakeGlow, k_stakePlay, S},
      {k_ifStakeChoice, k_stakeMark0, k_stakeMark0 + k_stakeSeatCount - 1, S},
      {k_ifStakeChoice, k_stakeHighlight, k_stakeHighlight, R},
      {k_ifStakeDetails, k_stakeRival, k_stakeRival, S},
      {k_ifStakeDetails, k_stakeLevelName, k_stakeLocked, T},
      {k_ifStakeDetails, k_stakeTitle, k_stakeTitle, T},
      {k_ifStakeDetails, k_stakeListMark0, k_stakeBack, S},
      {k_ifStakeNotice, k_stakeNoticeText, k_stakeNoticeText, T},
      {k_ifTableChoice, k_tablePicture, k_tablePicture, S},
      {k_ifTableChoice, k_tableNext, k_tablePrevious, S},
      {k_ifTableChoice, k_tableName, k_tableExtra, T},
      {k_ifTableChoice, k_tableArrowLeft, k_tableArrowRight, S},
      {k_ifTableChoice, k_tablePlan, k_tablePlan, S},
      {k_ifTableChoice, k_tableBack, k_tablePlay, S},
      {k_ifBet, k_betMinimumLabel, k_betLabel + 1, T},
      {k_ifBet, k_betMore, k_betSoftRight, S},
      {k_ifCoinToss, k_tossPrompt, k_tossList + 1, T},
      {k_ifCoinToss, k_tossCoin0, k_tossSpin, S},
      {k_ifBreakChoice, k_breakPrompt, k_breakList + 2, T},
      {k_ifBreakChoice, k_breakBack, k_breakBack, S},
      {k_interfaceHud, k_elTextBoxText, k_elTextBoxText, T},
      {k_interfaceHud, k_elTextBoxMore, k_elTextBoxMore, S},
      {k_interfaceHud, k_elBallViewFrame0, k_elBallViewFrame0, S},
      {k_interfaceHud, k_elBallViewCaption0, k_elBallViewBox0, T},
      {k_interfaceHud, k_elBallViewFrame1, k_elBallViewFrame1, S},
      {k_interfaceHud, k_elBallViewCaption1, k_elBallViewBox1, T},
      {k_interfaceShop, 0, 0, F::kPanel},  // the buy question borrows it
      {k_interfaceShop, k_shopItemMark0, k_shopItemMark0 + 14, S},
      {k_interfaceShop, k_shopPanelTop, k_shopPanelTop, kAny},
      {k_interfaceShop, k_shopCategoryText, k_shopSetText, T},
      {k_interfaceShop, k_shopItemPicture, k_shopItemPicture, S},
      {k_interfaceShop, k_shopMoneyText, k_shopTitle, T},
      {k_interfaceShop, k_shopHidden0, k_shopHidden0 + 3, kAny},
      {k_interfaceShop, k_shopErrorText, k_shopErrorText, T},
      {k_interfaceShop, k_shopErrorBox0, k_shopBoughtMark, S},
      {k_interfaceShop, k_shopOpenExtra0, k_shopOpenExtra0 + 1, S},
      {k_interfaceShop, k_shopOwnedBanner, k_shopRatingBar + 2, T},
      {k_interfaceShop, k_shopPanelStop, k_shopPanelStop, kAny},
      {k_interfaceShop, k_shopSelectButton, k_shopBack, S},
      {k_interfaceItemBought, k_itemBoughtText, k_itemBoughtText, T},
      {k_interfaceItemBought, k_itemBoughtPicture, k_itemBoughtPicture, S},
      {k_interfaceShopExplanation, k_explanationFirst0, k_explanationSecond0 + 5, S},
      {k_interfaceShopExplanation, k_explanationText1, k_explanationSetText, T},
      {k_interfaceShopExplanation, k_explanationBack, k_explanationBack, S},
      {k_interfaceIGM, k_igmPanel, k_igmPanel, F::kPanel},
      {k_interfaceIGM, k_igmList, k_igmList + 4, T},
      {k_interfaceIGM, k_igmArrowUp, k_igmArrowUp, S},
      {k_interfaceIGM, k_igmTitle, k_igmTitle, T},
      {k_interfaceIGM, k_igmArrowDown, k_igmArrowDown, S},
      {k_interfaceCheatMenu, k_cheatList, k_cheatList + 3, T},
      {k_interfaceCheatMenu, k_cheatArrowUp, k_cheatArrowUp, S},
      {k_interfaceCheatMenu, k_cheatTitle, k_cheatTitle, T},
      {k_interfaceCheatMenu, k_cheatArrowDown, k_cheatArrowDown, S},
      {k_interfaceCareerSecondPage, k_careerSecondText, k_careerSecondText, T},
      {k_interfaceCareerComplete, k_careerEndPortrait, k_careerEndPortrait, S},
      {k_interfaceCareerComplete, k_careerLight0, k_careerLight0 + 11, S},
      {k_interfaceCareerComplete, k_careerText, k_careerBlink, T},
      {k_interfaceCareerComplete, k_careerHidden, k_careerHidden, S},
      {k_interfaceMatchResult, k_resultHeader, k_resultMoney, T},
      {k_interfaceMatchResult, k_resultTitle, k_resultTitle, T},
      {k_interfaceRetry, k_retryTitle, k_retryList + 1, T},
      {k_interfaceRetry, k_retryArrowUp, k_retryNoteBox + 2, S},
      {k_interfaceRetry, k_retryNote, k_retryBody, T},
      {k_interfaceChallengeUnlocked, k_unlockText, k_unlockLine, T},
      {k_interfaceChallengeUnlocked, k_unlockMorePages, k_unlockMorePages, S},
      {k_interfaceChallengeUnlocked, k_unlockButton, k_unlockButton, S},
      {k_interfaceCharacterUnlocked, k_unlockText, k_unlockLine, T},
      {k_interfaceCharacterUnlocked, k_unlockMorePages, k_unlockButton, S},
      {k_interfacePostMatch, k_postMatchArrowUp, k_postMatchArrowUp, S},
      {k_interfacePostMatch, k_postMatchTitle, k_postMatchTitle, T},
      {k_interfacePostMatch, k_postMatchArrowDown, k_postMatchArrowDown, S},
      {k_interfacePostMatch, k_postMatchList, k_postMatchList + 3, T},
      {k_interfacePostMatch, k_postMatchDescription, k_postMatchPrompt, T},
      {k_interfacePostMatch, k_postMatchBack, k_postMatchBack, S},
      {k_interfaceContinue, k_continueText, k_continueText, T},
      {k_interfaceContinue, k_continueButton, k_continueButton, S},
      {k_interfaceTournamentMenu, k_tournamentMenuVeil0, k_tournamentMenuVeil1, S},
      {k_interfaceTournamentMenu, k_tournamentMenuList, k_tournamentMenuList + 2, T},
      {k_interfaceTournamentMenu, k_tournamentMenuArrowUp, k_tournamentMenuArrowUp, S},
      {k_interfaceTournamentMenu, k_tournamentMenuTitle, k_tournamentMenuTitle, T},
      {k_interfaceTournamentMenu, k_tournamentMenuArrowDown, k_tournamentMenuArrowDown, S},
      {k_interfaceTournamentMenu, k_tournamentMenuNote, k_tournamentMenuNote, T},
      {k_interfaceTournamentMenu, k_tournamentMenuVeil2, k_tournamentMenuBack, S},
      {k_interfaceFieldChoice, k_fieldChoiceList, k_fieldChoiceList + 1, T},
      {k_interfaceFieldChoice, k_fieldChoiceTitle, k_fieldChoiceTitle, T},
      {k_interfaceFieldChoice, k_fieldChoiceBack, k_fieldChoiceBack, S},
      {k_interfaceTournamentPick, k_pickCursorName, k_pickCursorName, S},
      {k_interfaceTournamentPick, k_pickTitle, k_pickPrompt, T},
      {k_interfaceTournamentPick, k_pickSlotDuel, k_pickSlotDuel + 1, S},
      {k_interfaceTournamentPick, k_pickSlotDuel + 2, k_pickSlotDuel + 2, T},
      {k_interfaceTournamentPick, k_pickSlotFour, k_pickSlotFour + 1, S},
      {k_interfaceTournamentPick, k_pickSlotFour + 2, k_pickSlotFour + 2, T},
      {k_interfaceTournamentPick, k_pickSlotFour + 4, k_pickSlotFour + 5, S},
      {k_interfaceTournamentPick, k_pickSlotFour + 6, k_pickSlotFour + 6, T},
      {k_interfaceTournamentPick, k_pickSlotFour + 8, k_pickSlotFour + 9, S},
      {k_interfaceTournamentPick, k_pickSlotFour + 10, k_pickSlotFour + 10, T},
      {k_interfaceTournamentPick, k_pickBack, k_pickBack, S},
      {k_interfaceFieldConfirm, k_confirmQuestion, k_confirmList + 1, T},
      {k_interfaceFieldConfirm, k_confirmTitle, k_confirmTitle, T},
      {k_interfaceFieldConfirm, k_confirmDuelFirst, k_confirmDuelFirst, S},
      {k_interfaceFieldConfirm, k_confirmFourFirst, k_confirmFourFirst, S},
      {k_interfaceFieldConfirm, k_confirmFourFirst + 4, k_confirmFourFirst + 4, S},
      {k_interfaceFieldConfirm, k_confirmFourFirst + 8, k_confirmFourLast, kAny},
      {k_interfaceBracket, 0, 0, F::kPanel},
      {k_interfaceBracket, k_bracketTitle, k_bracketPrompt, T},
      {k_interfaceBracket, k_bracketBack, k_bracketBack, S},
      {k_interfaceBracket, k_bracketEntry[0], k_bracketLight[2] + 1, S},
      {k_interfaceBracket, k_bracketLinesEight, k_bracketLinesEight + 15, S},
      {k_interfaceBracket, k_bracketLinesFour, k_bracketLinesFour + 7, S},
      {k_interfaceBracket, k_bracketCentreFour, k_bracketCentreDuel, T},
      {k_interfaceBracket, k_bracketPrizeLabel, k_bracketMoney, T},
      {k_interfaceTournamentPrize, k_prizePortrait, k_prizePortrait, S},
      {k_interfaceTournamentPrize, k_prizeTitle, k_prizeMoneyLabel, T},
      {k_interfaceTournamentPrize, k_prizePrize, k_prizeMoney, T},
      {k_ifChallengeMenu, k_challengeMenuList, k_challengeMenuList + 4, T},
      {k_ifChallengeMenu, k_challengeMenuComplete0, k_challengeMenuRivalMark, S},
      {k_ifChallengeMenu, k_challengeMenuArrowUp, k_challengeMenuArrowDown, S},
      {k_ifChallengeMenu, k_challengeMenuTitle, k_challengeMenuTitle, T},
      {k_ifChallengeMenu, k_challengeMenuNote0, k_challengeMenuNote0 + 2, S},
      {k_ifChallengeMenu, k_challengeMenuNote, k_challengeMenuNote, T},
      {k_ifChallengeMenu, k_challengeMenuBack, k_challengeMenuBack, S},
      {k_ifChallengeList, k_challengeListRows, k_challengeListRows + 3, T},
      {k_ifChallengeList, k_challengeListMark0, k_challengeListMark0 + 3, S},
      {k_ifChallengeList, k_challengeListPage, k_challengeListPage, S},
      {k_ifChallengeList, k_challengeListTitle, k_challengeListTitle, T},
      {k_ifChallengeList, k_challengeListPageLabel, k_challengeListPageLabel, S},
      {k_ifChallengeList, k_challengeListInfo0, k_challengeListInfo0 + 2, S},
      {k_ifChallengeList, k_challengeListInfo, k_challengeListDetail, T},
      {k_ifChallengeList, k_challengeListBack, k_challengeListBack, S},
  };
  for (const Need& n : needs)
    for (int i = n.first; i <= n.last; ++i) {
      SCOPED_TRACE("interface " + std::to_string(n.id) + " element " + std::to_string(i));
      ASSERT_LT(i, getInterfaceElementCount(*game, n.id));
      const int16_t* e = getInterfaceElement(*game, n.id, i);
      ASSERT_NE(e, nullptr);
      if (n.type == kAny) continue;
      EXPECT_EQ(e[F::kWordType], n.type);
      EXPECT_GE(getElementParamCount(*game, n.id, i), F::paramsRead(n.type));
    }
  // The ball view's boxes are the size of its picture, on screen with either
  // panel offset (67 for player 0, 6 for player 1), at one height.
  for (auto [box, panelX] : {std::pair{k_elBallViewBox0, 67}, std::pair{k_elBallViewBox1, 6}}) {
    SCOPED_TRACE(box);
    EXPECT_EQ(getInterfaceElementWidth(*game, k_interfaceHud, box), k_ballViewWidth);
    EXPECT_EQ(getInterfaceElementHeight(*game, k_interfaceHud, box), k_ballViewHeight);
    const int32_t x = getInterfaceElementX(*game, k_interfaceHud, box) + panelX;
    EXPECT_GE(x, 0);
    EXPECT_LE(x + k_ballViewWidth, 240);
    EXPECT_EQ(getInterfaceElementY(*game, k_interfaceHud, box),
              getInterfaceElementY(*game, k_interfaceHud, k_elBallViewBox0));
  }
}

TEST_F(CatalogueData, TextsHaveRealWording) {
  loadStrings(*game, 0);
  struct Range {
    int first, last;
  };
  const Range ranges[] = {
      {k_textQuestionBody, k_textQuestionBody},
      {k_textOptionSound, k_textOptionSound},
      {k_textOptionAimingGuide, k_textOptionAimingGuide},
      {k_textOption8, k_textOption8},
      {k_textYes, k_textYes},
      {k_textNo, k_textNo},
      {k_textTouchPrompt, k_textTouchPrompt},
      {k_textQuickMatch, k_textQuickMatch},
      {k_textCareer, k_textCareer},
      {k_textSingleMatch, k_textSingleMatch},
      {k_textOptions, k_textOptions},
      {k_textHelp, k_textHelp},
      {k_textAbout, k_textAbout},
      {k_textExit, k_textExit},
      {k_textAchievementsTitle, k_textAchievementsTitle},
      {k_textSoundPrompt, k_textSoundPrompt},
      {k_textResetAll, k_textResetAll},
      {k_textOn, k_textOn},
      {k_textOff, k_textOff},
      {k_textSoundNote, k_textSoundNote},
      {k_textBuyBody, k_textBuyBody},
      {k_textOptionsHelp, k_textOptionsHelp},
      {k_textTitleNote, k_textTitleNote},
      {k_textCategoryName0, k_textCategoryName0 + 2},
      {k_textPercent, k_textPercent},
      {k_textCategoryTitle0, k_textCategoryTitle0 + 2},
      {k_textNoticeLine, k_textNoticeLine},
      {k_textAchievementTitle0, k_textAchievementTitle0 + k_achievementCount - 1},
      {k_textAchievementDesc0, k_textAchievementDesc0 + k_achievementCount - 1},
      {k_textShopCategory0, k_textShopCategory0 + 2},
      {k_textMoney, k_textMoney},
      {k_textMasseOn, k_textMasseOff},
      {k_textCompletionBlink, k_textCompletionLine},
      {k_textOption8Note, k_textOption8Note},
      {k_textTutorialOffer, k_textTutorialOffer},
      {k_textPushOutTitle, k_textPushOutPlay},
      {k_textSkipShotsTitle, k_textSkipShotsQuestion},
      {k_textTournamentNote, k_textTournamentNote},
      {k_textBallViewAbove, k_textBallViewBelow},
      {k_textShopTitle, k_textShopTitle},
      {k_textShopMoneyLine, k_textShopMoneyLine},
      {k_textBuyQuestion, k_textEquipQuestion},
      {k_textShopItem0, k_textShopItem0 + 14},
      {k_textShopPriceLine, k_textOwned},
      {k_textShopExplanation1, k_textNoMatchedSet},
      {k_textItemBought, k_textItemBought},
      {k_textCareerTitle, k_textCareerTitle},
      {k_textPubSpot0, k_textPubSpot0 + 4},
      {k_textPubSpotNote0, k_textPubSpotNote0 + 5},
      {k_textTableName0, k_textTableName0 + 8},
      {k_textTableNote0, k_textTableNote0 + 8},
      {k_textTableLine0, k_textTableLine0 + 8},
      {k_textCareerIntro, k_textCareerIntro},
      {k_textCareerLocked, k_textCareerLocked},
      {k_textCareerSecondPage, k_textSoftOk},
      {k_textTutorialDone, k_textTutorialDone},
      {k_textQuitMatchTitle, k_textQuitMatchTitle},
      {k_textQuitToMenuNote, k_textQuitToMenuNote},
      {k_textChallengeUnlocked, k_textChallengeUnlocked},
      {k_textRestartMatch, k_textCheatAchievements},
      {k_textCharacterUnlocked, k_textCharacterUnlocked},
      {k_textResultTitle, k_textResultMoney},
      {k_textCount, k_textCount},
      {k_textShotsLeft, k_textShotsLeft},
      {k_textRivalGreeting0, k_textRivalLost0 + k_textRivalLineStride * 10},
      {k_textChallengeIntro0, k_textChallengeIntro0 + 31},
      {k_textComputerPasses, k_textComputerPasses},
      {k_textPushOutRule, k_textPushOutRule},
      {k_textRetryTitle, k_textUnlockShared},
      {k_textPostMatchTitle, k_textAnotherMatch},
      {k_textVisitShopNote, k_textTutorialEnd},
      {k_textRetriesLeft, k_textRetriesLeft},
      {k_textCareerComplete, k_textCareerComplete},
      {k_textSpecialRivalPages, k_textSpecialRivalOpened},
      {k_textRetryTutorial, k_textRetryTutorial},
      {k_textTutorialDeclined, k_textRetryChallenge},
      {k_textYes, k_textNo},
      {k_textTournaments, k_textTournaments},
      {k_textTournamentDuel, k_textTournamentVeiled},
      {k_textStageTitle0, k_textStageTitle0 + 3},
      {k_textCharacterName0, k_textCharacterName0 + 9},
      {k_textEmptySlot, k_textEmptySlot},
      {k_textPrizeLabel, k_textMoneyLabel},
      {k_textCompletionBlink, k_textCompletionBlink},
      {k_textPickTitle0, k_textRandomField},
      {k_textQuitTournament, k_textQuitTournament},
      {k_textChoosePlayer, k_textChooseCharacter},
      {k_textReds, k_textHeads},
      {k_textRuleSet0, k_textRuleSet0 + 2},
      {k_textRulesTitle, k_textRulesTitle},
      {k_textTableName0, k_textTableLine0 + k_tableCount - 1},
      {k_textStakeTitle, k_textStakeNotice},
      {k_textStakeEntry, k_textBetMoney},
      {k_textTossPrompt, k_textChooseGroup},
      {k_textLesson0, k_textLesson0 + 4},
      {k_textChallengeCategory0, k_textChallengeLocked},
      {k_textLessonFirst, k_textLessonLast},
      {k_textChallengeFailedLater0, k_textChallengeFailedOften},
      {k_textDemoTitle, k_textDemoQuestion},
      {k_textPrize, k_textPrize},
      {k_textRivalMatch, k_textRivalLocked},
      {k_textMatchLoadingTitle, k_textLoadingHint0 + 8},
      {k_textChallengeLockedLine, k_textFailedAttempts},
  };
  // An id the source leaves out is built as an empty string; a stand-in
  // reads "Text <id>".
  auto placeholder = [](const std::string& t) {
    return t.size() > 5 && t.compare(0, 5, "Text ") == 0 &&
           t.find_first_not_of("0123456789", 5) == std::string::npos;
  };
  for (const Range& r : ranges)
    for (int id = r.first; id <= r.last; ++id) {
      ASSERT_GT(getStringLength(*game, id), 0) << id;
      const std::string text(getStringData(*game, id), static_cast<size_t>(getStringLength(*game, id)));
      EXPECT_FALSE(placeholder(text)) << id << ": " << text;
    }
}

TEST_F(CatalogueData, EverySoundIdHasItsFile) {
  for (int id = k_soundBreakHard; id <= k_musicLose; ++id) {
    const char16_t* name = getSoundFileName(id);
    ASSERT_NE(name, nullptr) << id;
    std::string file;
    for (const char16_t* c = name; *c; ++c) file.push_back(static_cast<char>(*c));
    EXPECT_GT(std::filesystem::file_size(dataDir + "/" + file), 0u) << id << " " << file;
  }
  EXPECT_EQ(getSoundFileName(k_soundCount), nullptr);
}

}  // namespace
