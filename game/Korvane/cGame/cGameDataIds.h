// The data ids the code names: archives and their entries, fonts and sound
// ids. The game, the data tools and the data-set tests share them; each kind
// grows here as the code that uses it lands.
#pragma once

#include <cstdint>

// ---- archives
constexpr const char* k_archiveText = "text.bar";       // the text table
constexpr const char* k_archiveInterface = "i.bar";     // logo, character map, fonts

// "text.bar" entries.
constexpr int32_t k_textEntryStrings = 0;  // the strings, each ending in a zero byte
constexpr int32_t k_textEntryOffsets = 1;  // their end offsets

// "i.bar" entries.
constexpr int32_t k_interfaceEntryUnusedBank = 0;
constexpr int32_t k_interfaceEntryLogo = 1;
constexpr int32_t k_interfaceEntryCharMap = 2;  // u16 glyph frame per character code
constexpr int32_t k_interfaceEntryFont0 = 3;
constexpr int32_t k_interfaceEntryFont1 = 4;

// ---- fonts (the text drawing's font numbers)
constexpr int32_t k_font0 = 0;
constexpr int32_t k_font1 = 1;

// ---- sound ids: 0-10 effects, 11-14 music
constexpr int32_t k_soundBreakHard = 0;
constexpr int32_t k_soundClap = 1;
constexpr int32_t k_soundCushionMedium = 2;
constexpr int32_t k_soundHitHard = 3;
constexpr int32_t k_soundPocketMedium = 4;
constexpr int32_t k_soundStickHard = 5;
constexpr int32_t k_soundStickMiss = 6;
constexpr int32_t k_soundCash = 7;
constexpr int32_t k_soundCrowdAww = 8;
constexpr int32_t k_soundError = 9;
constexpr int32_t k_soundTally = 10;
constexpr int32_t k_musicTitle = 11;
constexpr int32_t k_musicStart = 12;
constexpr int32_t k_musicWin = 13;
constexpr int32_t k_musicLose = 14;
constexpr int32_t k_soundCount = 15;
constexpr int32_t k_firstMusicId = k_musicTitle;

// ---- menu sprite-bank slots (menu.bar entry n fills slot n)
constexpr int32_t k_slotBackground = 0;  // frame 0: the 240x320 menu background (plain panels)
constexpr int32_t k_slotUi = 1;          // the UI bank (alpha; kept in matches)
constexpr int32_t k_slotTitle = 2;       // frame 0: the 240x320 title picture
constexpr int32_t k_slotMarks = 4;       // main-menu marker and tick boxes

constexpr int32_t k_frameBackground = 0;
constexpr int32_t k_frameTitle = 0;

// UI bank (slot 1) frames and animations.
constexpr int32_t k_uiFrameNewBadge = 9;        // "new" badge beside a menu entry
constexpr int32_t k_uiFrameBackPressed = 14;    // back button (right soft key) while held
constexpr int32_t k_uiFrameButton = 15;         // main button (left soft key)
constexpr int32_t k_uiFrameButtonPressed = 16;  // main button while held
constexpr int32_t k_uiFrameBack = 17;           // back button
constexpr int32_t k_uiAnimArrowUp = 1;          // arrows; + 4 while their key is held
constexpr int32_t k_uiAnimArrowDown = 2;
constexpr int32_t k_uiAnimArrowLeft = 3;
constexpr int32_t k_uiAnimArrowRight = 4;
constexpr int32_t k_uiAnimArrowHeld = 4;        // added to an arrow's animation while held
constexpr int32_t k_uiFramePlate = 19;          // the panel plate, 224x200 (the question's)
constexpr int32_t k_uiFramePlateLow = 42;       // the same 124 high
constexpr int32_t k_uiFramePlateMenu = 43;      // 228 high
constexpr int32_t k_uiFramePlateTall = 44;      // 260 high
constexpr int32_t k_uiFrameSeatMark = 45;       // under the chosen stake seat
constexpr int32_t k_uiFrameMessageFirst = 30;   // message box parts 30-41 (3, 4 and 5 parts)
constexpr int32_t k_uiFrameMessageLast = 41;
constexpr int32_t k_uiFrameDialogFirst = 63;    // dialog triplets 63-104 (left, middle, right)
constexpr int32_t k_uiFrameDialogLast = 104;
constexpr int32_t k_uiFrameCount = 105;
constexpr int32_t k_uiAnimCount = 9;

// Marks bank (slot 4).
constexpr int32_t k_marksFrameMarker = 0;  // main-menu marker (its width is read)
constexpr int32_t k_marksAnimTickOff = 0;  // tick box, empty
constexpr int32_t k_marksAnimTickOn = 1;   // tick box, ticked

// ---- achievements: notices, completion notices and the two screens
// Interfaces.
constexpr int32_t k_ifAchievementMenu = 47;
constexpr int32_t k_ifAchievementList = 48;
constexpr int32_t k_ifAchievementNotices = 49;
constexpr int32_t k_ifCompletionNotice = 50;
// Interface 49: notice plates (sprites) 0-4; per slot s the text boxes
// 5 + 2s (the notice line) and 6 + 2s (the title).
constexpr int32_t k_elNoticeSlot0 = 0;
constexpr int32_t k_elNoticeLine0 = 5;
constexpr int32_t k_elNoticeTitle0 = 6;
// Interface 50: the blinking word, the line, the category name (text
// boxes) and the badge (sprite).
constexpr int32_t k_elCompletionBlink = 7;
constexpr int32_t k_elCompletionLine = 8;
constexpr int32_t k_elCompletionCategory = 10;
constexpr int32_t k_elCompletionBadge = 13;
// Interface 47 (categories): percentages 13-15 (text), ticks 22-24 and
// category frames 25-27 (sprites), menu rows 16-18 and the title 28 (text),
// back button 30 (sprite).
constexpr int32_t k_elCategoryPercent0 = 13;
constexpr int32_t k_elCategoryRow0 = 16;
constexpr int32_t k_elCategoryTick0 = 22;
constexpr int32_t k_elCategoryFrame0 = 25;
constexpr int32_t k_elCategoryTitle = 28;
constexpr int32_t k_elAchievementBack = 30;  // in interfaces 47 and 48
// Interface 48 (list): the description 10 and rows 11-15 (text), row ticks
// 22-26 and the badge 27 (sprites), the title 28 (text).
constexpr int32_t k_elListDescription = 10;
constexpr int32_t k_elListRow0 = 11;
constexpr int32_t k_elListTick0 = 22;
constexpr int32_t k_elListBadge = 27;
constexpr int32_t k_elListTitle = 28;
// Sprite-bank slots: the badges of categories 0, 1, 2 (menu.bar 8, 10, 9;
// during a match 8 and 9 live at 104 and 105) and the category frames (0
// incomplete, 1 incomplete selected, 2 complete, 3 complete selected). The
// ticks are the marks bank's tick boxes.
constexpr int32_t k_slotBadge[3] = {8, 10, 9};
constexpr int32_t k_slotBadgeInMatch[3] = {104, 10, 105};
constexpr int32_t k_slotCategoryFrames = 5;
constexpr int32_t k_frameCategoryIncomplete = 0;
constexpr int32_t k_frameCategoryComplete = 2;
// Texts.
constexpr int32_t k_textAchievementsTitle = 38;
constexpr int32_t k_textCategoryName0 = 322;    // + category
constexpr int32_t k_textPercent = 325;          // "%n%%"
constexpr int32_t k_textCategoryTitle0 = 326;   // + category
constexpr int32_t k_textNoticeLine = 329;
constexpr int32_t k_textAchievementTitle0 = 330;  // + id
constexpr int32_t k_textAchievementDesc0 = 360;   // + id
constexpr int32_t k_textCompletionBlink = 657;
constexpr int32_t k_textCompletionLine = 658;

// ---- front-end interfaces and their elements
constexpr int32_t k_interfaceSoundQuestion = 0;
constexpr int32_t k_soundQuestionList = 4;    // rows 4-5
constexpr int32_t k_soundQuestionPrompt = 8;  // text 39
constexpr int32_t k_soundQuestionNote = 15;   // text 47

constexpr int32_t k_interfaceTitle = 1;
constexpr int32_t k_titlePrompt = 3;  // text 30, blinking
constexpr int32_t k_titleNote = 5;    // text 213

constexpr int32_t k_interfaceMainMenu = 2;
constexpr int32_t k_mainMenuList = 6;       // rows 6-12
constexpr int32_t k_mainMenuChosenRow = 8;  // the selected entry's row; it leaves when chosen
constexpr int32_t k_mainMenuHeader = 13;    // the list waits for its slide-in
constexpr int32_t k_mainMenuArrowDown = 16;
constexpr int32_t k_mainMenuArrowUp = 17;
constexpr int32_t k_mainMenuMarker = 19;

constexpr int32_t k_interfaceQuestion = 3;
constexpr int32_t k_questionBody = 8;
constexpr int32_t k_questionList = 9;  // rows 9-10
constexpr int32_t k_questionTitle = 16;
constexpr int32_t k_questionNoteBox = 17;   // 17-19, behind the note
constexpr int32_t k_questionNote = 20;      // text 680 / 693
constexpr int32_t k_questionItemMarks = 23;  // 23-25 (buying)
constexpr int32_t k_questionRatingBars = 26;  // 26-28 (buying)
constexpr int32_t k_questionCategories = 29;  // 29-31 (buying)

constexpr int32_t k_interfaceOptions = 6;
constexpr int32_t k_optionsArrowUp = 6;
constexpr int32_t k_optionsArrowDown = 7;
constexpr int32_t k_optionsList = 10;  // rows 10-14
constexpr int32_t k_optionsTitle = 20;
constexpr int32_t k_optionsBack = 21;
constexpr int32_t k_optionsFifthRowButton = 9;  // no fifth row over a paused match

// ---- front-end texts
constexpr int32_t k_textQuestionBody = 1;  // "Are you sure?"
constexpr int32_t k_textOptionSound = 5;
constexpr int32_t k_textOptionAimingGuide = 7;
constexpr int32_t k_textOption8 = 8;
constexpr int32_t k_textYes = 17;
constexpr int32_t k_textNo = 18;
constexpr int32_t k_textTouchPrompt = 30;  // the one prompt to touch the screen
constexpr int32_t k_textQuickMatch = 31;
constexpr int32_t k_textCareer = 32;
constexpr int32_t k_textSingleMatch = 33;
constexpr int32_t k_textOptions = 34;
constexpr int32_t k_textHelp = 35;
constexpr int32_t k_textAbout = 36;
constexpr int32_t k_textExit = 37;
constexpr int32_t k_textSoundPrompt = 39;
constexpr int32_t k_textResetAll = 40;
constexpr int32_t k_textOn = 44;
constexpr int32_t k_textOff = 45;
constexpr int32_t k_textSoundNote = 47;
constexpr int32_t k_textOptionsHelp = 196;
constexpr int32_t k_textTitleNote = 213;
constexpr int32_t k_textBuyBody = 113;        // two tags: the item's name, the price
constexpr int32_t k_textShopCategory0 = 403;  // 403-405
constexpr int32_t k_textShopItem0 = 406;      // 406-420, the item names
constexpr int32_t k_textMoney = 435;          // %n
constexpr int32_t k_textMoneyLost = 725;      // %n: an amount lost
constexpr int32_t k_textOption8Note = 680;
constexpr int32_t k_textTournamentNote = 693;
constexpr int32_t k_textCupKeptNote = 727;  // the quit question's note on a won cup

// ---- the table view: in-game banks, their "ig.bar" entries, the HUD's
// frames and the elements of interface 56 it paints
constexpr const char* k_archiveInGame = "ig.bar";
// "ig.bar" entries.
constexpr int32_t k_igEntryHud = 0;              // slot 100, built with alpha
constexpr int32_t k_igEntryTable = 2;            // slot 102, a palette per table colour
constexpr int32_t k_igEntryBallAlpha = 24;       // alpha source of 25, 26, 27
constexpr int32_t k_igEntryBalls1to8 = 25;       // bank B
constexpr int32_t k_igEntryBalls9to15 = 26;      // bank C
constexpr int32_t k_igEntryCueBall = 27;         // bank A
constexpr int32_t k_igEntryShadowAlpha = 28;     // alpha source of 29
constexpr int32_t k_igEntryShadow = 29;          // bank D
constexpr int32_t k_igEntryHand = 30;            // bank E
constexpr int32_t k_igEntryCueAlpha = 31;        // alpha source of 32-37
constexpr int32_t k_igEntryFirstCue = 32;        // bank F: 32 + the equipped cue, 0-5
constexpr int32_t k_igEntrySpare = 38;           // bank G
constexpr int32_t k_igEntryThinking = 39;        // bank H
constexpr int32_t k_igEntryEffect = 40;          // bank I
constexpr int32_t k_igEntryGuideDots = 42;       // bank J
constexpr int32_t k_igEntryGuideDotAlpha = 43;   // alpha source of 42
constexpr int32_t k_cueLooks = 6;
// In-game banks A-J of the match loading.
constexpr int32_t k_matchBankCueBall = 0;
constexpr int32_t k_matchBankBalls1to8 = 1;
constexpr int32_t k_matchBankBalls9to15 = 2;
constexpr int32_t k_matchBankShadow = 3;
constexpr int32_t k_matchBankHand = 4;
constexpr int32_t k_matchBankCue = 5;
constexpr int32_t k_matchBankSpare = 6;
constexpr int32_t k_matchBankThinking = 7;
constexpr int32_t k_matchBankEffect = 8;
constexpr int32_t k_matchBankGuideDots = 9;
// Sprite slots of the HUD: the HUD bank, the table and the group icons (menu.bar 6).
constexpr int32_t k_slotHud = 100;
constexpr int32_t k_slotTable = 102;
constexpr int32_t k_slotGroupIcons = 6;
constexpr int32_t k_menuEntryGroupIcons = 6;
// Ball banks: 8 palettes (yellow, blue, red, purple, orange, green, maroon,
// black) for 1-8, 7 stripes for 9-15; animations 0 rolling, 1-3 pocket
// drops, 5-7 rest looks (6 and 7 airborne), 9-17 slides into panel slots
// 0-8 and 18-26 still in them.
constexpr int32_t k_ballPalettes = 8;
constexpr int32_t k_stripePalettes = 7;
constexpr int32_t k_ballAnims = 27;
constexpr int32_t k_frameShadow = 0;
constexpr int32_t k_moduleCue = 0;
constexpr int32_t k_guideDotFrames = 5;
constexpr int32_t k_animHitSpark = 3;
constexpr int32_t k_animThinking = 0;
// Group icons: frames 0 none, 1 stripe, 2 solid, 3 eight; palettes 0-8
// (lowest ball - 1).
constexpr int32_t k_groupIconFrames = 4;
constexpr int32_t k_groupIconPalettes = 9;
// HUD bank frames.
constexpr int32_t k_hudFrameGaugeBack = 0;    // + cue item 0-5
constexpr int32_t k_hudFrameGaugeFill = 6;    // + item
constexpr int32_t k_hudFrameGaugeFrame = 12;  // + item
constexpr int32_t k_hudFrameSpinPad = 22;     // 24-27: left, up, right, down lit
constexpr int32_t k_hudFrameSpinLeft = 24, k_hudFrameSpinUp = 25, k_hudFrameSpinRight = 26, k_hudFrameSpinDown = 27;
constexpr int32_t k_hudFrameAimFire = 31;     // 32 pressed
constexpr int32_t k_hudFramePowerFire = 33;   // 34 pressed
constexpr int32_t k_hudFramePlaceFire = 35;   // 36 pressed
constexpr int32_t k_hudFrameFineTurn = 37;    // 38 left pressed, 39 right pressed
constexpr int32_t k_hudFrameTip = 71;         // + guide item 0-5
constexpr int32_t k_hudFrameMasse = 81;       // 82 pressed
constexpr int32_t k_hudFrameHint = 83;        // 84 lit
constexpr int32_t k_hudFrameMenu = 85;        // 86 pressed
constexpr int32_t k_hudFrameBallView = 87;    // the ball view's frame and caption plates
constexpr int32_t k_hudFrameCount = 96;
// Interface 56 elements of the table view.
constexpr int32_t k_interfaceHud = 56;
constexpr int32_t k_elTable = 11;
constexpr int32_t k_elPortrait0 = 12;  // + player
constexpr int32_t k_elSpecialPortrait = 14;
constexpr int32_t k_elHudBar = 16, k_elHudBarAlt = 24;
constexpr int32_t k_elGroup0 = 18, k_elGroup0Alt = 26;  // + player
constexpr int32_t k_elPottedStart = 20, k_elPottedStartAlt = 28;
constexpr int32_t k_elShotsLeft = 21, k_elShotsLeftAlt = 29;
constexpr int32_t k_elHintButton = 30;
constexpr int32_t k_elMenuButton = 32;
constexpr int32_t k_elFireHint = 33, k_elTurnHint = 34, k_elSpinHint = 35;
constexpr int32_t k_elGaugeFrame0 = 36, k_elGaugeFrame1 = 42;  // + item
constexpr int32_t k_elGaugeBack0 = 48, k_elGaugeBack1 = 60;
constexpr int32_t k_elGaugeFill0 = 54, k_elGaugeFill1 = 66;
constexpr int32_t k_elSpinPanel = 88, k_elSpinEdgeLeft = 89, k_elMasseButton = 90, k_elSpinEdgeRight = 91;
constexpr int32_t k_elSpinTop = 92, k_elBallFace = 94, k_elTipMarker = 96, k_elTipMarkerMasse = 97;
constexpr int32_t k_elTipDot = 98, k_elSpinBox = 100, k_elMasseText = 101;
constexpr int32_t k_elTutorialBox = 124, k_elTutorialText = 125;
constexpr int32_t k_elTextBox = 126, k_elTextBoxText = 127, k_elTextBoxMore = 128;
// The small 3D ball view, player 0 (player 1: + 3): frame sprite, caption
// box, the 56 x 104 view box.
constexpr int32_t k_elBallViewFrame0 = 131, k_elBallViewCaption0 = 132, k_elBallViewBox0 = 133;
constexpr int32_t k_elBallViewFrame1 = 134, k_elBallViewCaption1 = 135, k_elBallViewBox1 = 136;
constexpr int32_t k_ballViewWidth = 56, k_ballViewHeight = 104;
// Texts.
constexpr int32_t k_textMasseOn = 508;
constexpr int32_t k_textMasseOff = 509;
constexpr int32_t k_textBallViewAbove = 668, k_textBallViewBelow = 669;
// The soft-key labels of the table: skip, the spin selector's back, back
// from the gauge, spin.
constexpr int32_t k_textSkip = 12, k_textSelectorBack = 13, k_textPowerBack = 24, k_textSpin = 29;

// ---- resource pack ids of the small 3D ball view
constexpr int32_t k_resBallTexture0 = 0;  // 0-15, one per ball slot
constexpr int32_t k_resTableModel = 16;
constexpr int32_t k_resHeldModel = 17;
constexpr int32_t k_resBallModel = 18;
constexpr int32_t k_resClothTexture0 = 20;  // + table index 0-8
constexpr int32_t k_tableCount = 9;

// ---- help, tutorial choice and about screens
constexpr int32_t k_interfaceHelpMenu = 7;
constexpr int32_t k_helpMenuArrowUp = 7;
constexpr int32_t k_helpMenuArrowDown = 8;
constexpr int32_t k_helpMenuList = 11;  // rows 11-14
constexpr int32_t k_helpMenuTitle = 20;
constexpr int32_t k_helpMenuBack = 21;

constexpr int32_t k_interfaceTutorialChoice = 8;
constexpr int32_t k_tutorialList = 8;   // rows 8-11
constexpr int32_t k_tutorialTick0 = 12;  // 12-15, one per visible row (bank k_slotMarks)
constexpr int32_t k_tutorialArrowUp = 21;
constexpr int32_t k_tutorialTitle = 22;
constexpr int32_t k_tutorialArrowDown = 23;
constexpr int32_t k_tutorialBack = 24;

constexpr int32_t k_interfaceHelpPage = 38;
constexpr int32_t k_helpPageBody = 5;
constexpr int32_t k_helpPageArrowUp = 11;
constexpr int32_t k_helpPageArrowDown = 12;
constexpr int32_t k_helpPageTitle = 13;
constexpr int32_t k_helpPageBack = 14;

constexpr int32_t k_interfaceAbout = 51;
constexpr int32_t k_aboutTitle = 7;
constexpr int32_t k_aboutArrowUp = 8;
constexpr int32_t k_aboutArrowDown = 9;
constexpr int32_t k_aboutView = 10;
constexpr int32_t k_aboutBack = 11;

constexpr int32_t k_textRuleSet0 = 41;  // 41-43: eight-ball, UK eight-ball, nine-ball
constexpr int32_t k_textHelpControls = 49;
constexpr int32_t k_textHelpRules = 50;
constexpr int32_t k_textHelpMoney = 51;
constexpr int32_t k_textHelpTitle = 52;
constexpr int32_t k_textHelpTutorial = 53;
constexpr int32_t k_textTutorialTitle = 54;
constexpr int32_t k_textLesson0 = 55;           // 55-59
constexpr int32_t k_textHelpControlsBody = 180;
constexpr int32_t k_textRulesTitle0 = 181;      // 181, 183, 185: titles; 182, 184, 186: bodies
constexpr int32_t k_textHelpMoneyBody = 188;    // four "%t" tags for amounts
constexpr int32_t k_textCreditsFirst = 214;     // drawn as the product name
constexpr int32_t k_textVersion = 215;          // "Version ", the version follows
constexpr int32_t k_textCreditsLast = 320;

// The help menu's entries and, after them, the seven characters the match
// set-up screens cycle through: one list read from two places.
constexpr uint32_t k_helpAndCharacterTable[11] = {49, 50, 51, 53, 0, 1, 2, 3, 4, 5, 6};
constexpr int32_t k_helpMenuCount = 4;
constexpr const uint32_t* k_characterCycleTable = k_helpAndCharacterTable + 4;

// ---- career hub: the career character choice (150), the introduction
// (160) and the pub (110)
constexpr int32_t k_interfaceCareerIntro = 15;
constexpr int32_t k_introText = 2;       // text 115, paged
constexpr int32_t k_introNextPage = 5;   // sprite
constexpr int32_t k_introBack = 7;       // sprite

constexpr int32_t k_interfaceCareerCharacter = 17;
constexpr int32_t k_careerLockedPicture = 2;   // sprite, frame = career character
constexpr int32_t k_careerPortrait = 3;        // sprite, bank = portrait of the character
constexpr int32_t k_careerTableName = 9;       // text 77 + table
constexpr int32_t k_careerTableNote = 10;      // text 86 + table
constexpr int32_t k_careerTableLine = 11;      // text 96 + table
constexpr int32_t k_careerName = 16;           // sprite, frame = career character
constexpr int32_t k_careerTitle = 21;          // text 4
constexpr int32_t k_careerLockMark0 = 24;      // sprites 24-26
constexpr int32_t k_careerLockedNote = 27;     // text 489
constexpr int32_t k_careerHint = 28;           // text box of the touch hint
constexpr int32_t k_careerBack = 29;           // sprite

// The pub scene: 20 the back wall (back layer, painted by x range) and the
// spot positions, 21 the room's objects, 22-25 the parallax layers, 26 the
// seats, 27 the captions.
constexpr int32_t k_interfacePubWall = 20;
constexpr int32_t k_interfacePubRoom = 21;
constexpr int32_t k_interfacePubParallax0 = 22;  // 22-25
constexpr int32_t k_interfacePubSeats = 26;
constexpr int32_t k_interfacePubCaptions = 27;
constexpr int32_t k_pubSpotElement0 = 41;       // interface 20, elements 41-46: x = scroll of spots 0-5
constexpr int32_t k_pubSpotCount = 6;
constexpr int32_t k_pubSeatCount = 10;          // interface 26, elements 0-9
constexpr int32_t k_pubVeil = 1;                // interface 27: box of the veil
constexpr int32_t k_pubSpotNote = 3;            // text 66 + spot
constexpr int32_t k_pubSpotTitle = 12;          // the spot's text
constexpr int32_t k_pubBack = 13;               // sprite
constexpr int32_t k_pubArrowLeft = 14;          // sprite
constexpr int32_t k_pubArrowRight = 15;         // sprite
// Glowing objects of each spot (interface, element).
constexpr int32_t k_pubRoomBoard = 5, k_pubRoomTrophies = 6, k_pubRoomTable = 1, k_pubRoomDoor = 7;
constexpr int32_t k_pubRoomCounter0 = 23;       // 23-25
constexpr int32_t k_pubRoomKeptShared = 3;      // shares the kept bank of 5 and 6
constexpr int32_t k_pubParallaxBoard = 3;       // interface 25
// Sprite-bank slots of the pub (pub.bar entry n fills slot 26 + n).
constexpr const char* k_archivePub = "pub.bar";
constexpr int32_t k_slotPubFirst = 26;
constexpr int32_t k_pubWallFrames = 9;          // sections, side walls, window, back bar, poster, clock, rug, cues
constexpr int32_t k_pubSpotFrames = 9;          // table, dartboard, board, trophies, door, shelves, counter, till, easel
constexpr int32_t k_pubRoomFrames = 6;          // table, stool, bar counter, lamp, shop sign, bench
constexpr int32_t k_pubNearFrames = 4;          // chair back, plant, lamp, pillar
constexpr int32_t k_careerLockFrames = 13;      // locked characters 0-9, padlock, two chains
constexpr int32_t k_slotPubWall = 26;
constexpr int32_t k_slotPubSpots = 27;          // the spot objects (kept: they glow)
constexpr int32_t k_slotPubRoom = 28;
constexpr int32_t k_slotPubNear = 29;           // parallax pieces
constexpr int32_t k_slotCareerLocks = 45;       // locked pictures 0-9, lock marks 10-12
constexpr int32_t k_pubGlowColour = 0x868683;   // pixels of this colour glow
// Texts.
constexpr int32_t k_textCareerTitle = 4;
constexpr int32_t k_textPubSpot0 = 61;          // 61-65 with 38: the spot names
constexpr int32_t k_textPubSpotNote0 = 66;      // 66-71
constexpr int32_t k_textTableName0 = 77;        // 77-85
constexpr int32_t k_textTableNote0 = 86;        // 86-94
constexpr int32_t k_textTableLine0 = 96;        // 96-104
constexpr int32_t k_textCareerIntro = 115;
constexpr int32_t k_textCareerLocked = 489;
constexpr int32_t k_textCareerUnlockHint = 728;  // how a locked character opens

// ---- the shop (270), the item bought (330) and the shop explanation (430)
constexpr int32_t k_interfaceShop = 40;
constexpr int32_t k_interfaceItemBought = 41;
constexpr int32_t k_interfaceShopExplanation = 42;
// Interface 40. The detail panel's elements move up by the distance of
// element 27 over element 62 (41 closed, 0 open).
constexpr int32_t k_shopItemMark0 = 6;        // 6-20: item + 6 marks the selection (sprites)
constexpr int32_t k_shopPanelTop = 27;
constexpr int32_t k_shopCategoryText = 28;    // 403 + category
constexpr int32_t k_shopOtherCategoryText = 29;  // 29-30, while fully open
constexpr int32_t k_shopPriceText = 31;       // 421
constexpr int32_t k_shopItemName = 32;        // 406 + item
constexpr int32_t k_shopSetText = 33;         // 440 / 441
constexpr int32_t k_shopItemPicture = 34;     // sprite, frame = item
constexpr int32_t k_shopMoneyText = 35;       // 105
constexpr int32_t k_shopTitle = 36;           // 64
constexpr int32_t k_shopHidden0 = 38;         // 38-41, always hidden (sprites)
constexpr int32_t k_shopErrorText = 42;       // 111
constexpr int32_t k_shopErrorBox0 = 43;       // 43-49 (sprites)
constexpr int32_t k_shopBoughtMark = 50;      // sprite
constexpr int32_t k_shopOpenExtra0 = 52;      // 52-53, shown while fully open (sprites)
constexpr int32_t k_shopOwnedBanner = 57;     // 422 on the banner
constexpr int32_t k_shopRatingBar = 58;       // 58-60: selected category, others
constexpr int32_t k_shopPanelStop = 62;
constexpr int32_t k_shopSelectButton = 63;    // sprite, frames 15 / 16 pressed
constexpr int32_t k_shopArrow0 = 64;          // 64-67 (sprites)
constexpr int32_t k_shopBack = 68;            // back button, UI frames 17 / 14
// Interface 41.
constexpr int32_t k_itemBoughtText = 5;       // 504
constexpr int32_t k_itemBoughtPicture = 8;    // sprite, frame = item
// Interface 42.
constexpr int32_t k_explanationFirst0 = 1;    // 1-2: first page (sprites)
constexpr int32_t k_explanationSecond0 = 3;   // 3-8: second page (sprites)
constexpr int32_t k_explanationText1 = 9;     // 438
constexpr int32_t k_explanationText2 = 10;    // 439
constexpr int32_t k_explanationSetText = 11;  // 440
constexpr int32_t k_explanationBack = 15;     // back button, UI frames 17 / 14
// Banks: the item pictures (menu.bar 11, two palettes: 1 the lit buttons)
// and the owned banner's ends and middle (pub.bar 20 in slot 46).
constexpr int32_t k_slotShopItems = 11;
constexpr int32_t k_menuEntryShopItems = 11;
constexpr int32_t k_shopItemFrames = 15;      // frames 0-14, the items
constexpr int32_t k_shopFrameSelect = 15;
constexpr int32_t k_shopFrameSelectPressed = 16;
constexpr int32_t k_shopItemPalettes = 2;
constexpr int32_t k_slotShopBanner = 46;
constexpr int32_t k_pubEntryShopBanner = 20;
constexpr int32_t k_bannerFrameLeft = 26;
constexpr int32_t k_bannerFrameRight = 27;
constexpr int32_t k_bannerFrameMiddle = 28;  // tiled every 12 pixels
constexpr int32_t k_bannerTileStep = 12;
// Texts.
constexpr int32_t k_textShopTitle = 64;
constexpr int32_t k_textShopMoneyLine = 105;  // "%t": the money
constexpr int32_t k_textBuyQuestion = 110;
constexpr int32_t k_textNotEnoughMoney = 111;
constexpr int32_t k_textEquipQuestion = 112;
constexpr int32_t k_textShopPriceLine = 421;  // "%t": the price
constexpr int32_t k_textOwned = 422;
constexpr int32_t k_textEquipped = 726;  // the owned item in use
constexpr int32_t k_textShopExplanation1 = 438;
constexpr int32_t k_textShopExplanation2 = 439;
constexpr int32_t k_textMatchedSet = 440;
constexpr int32_t k_textNoMatchedSet = 441;
constexpr int32_t k_textItemBought = 504;

// ---- in-game menus, the match result and the career's announcements
constexpr int32_t k_interfaceIGM = 9;  // also the panel of the match's questions
constexpr int32_t k_igmPanel = 0;
constexpr int32_t k_igmList = 10;  // rows 10-14
constexpr int32_t k_igmArrowUp = 20;
constexpr int32_t k_igmTitle = 21;
constexpr int32_t k_igmArrowDown = 22;

constexpr int32_t k_interfaceCheatMenu = 10;
constexpr int32_t k_cheatList = 6;  // rows 6-9
constexpr int32_t k_cheatArrowUp = 16;
constexpr int32_t k_cheatTitle = 17;
constexpr int32_t k_cheatArrowDown = 18;

constexpr int32_t k_interfaceCareerSecondPage = 12;
constexpr int32_t k_careerSecondText = 7;

constexpr int32_t k_interfaceCareerComplete = 28;
constexpr int32_t k_careerEndPortrait = 13;
constexpr int32_t k_careerLight0 = 21;  // lights 21-32
constexpr int32_t k_careerText = 33;
constexpr int32_t k_careerPrompt = 34;
constexpr int32_t k_careerBlink = 35;
constexpr int32_t k_careerHidden = 36;
// Marks bank (slot 4) frames 11-13: the three phases of a light.
constexpr int32_t k_lightFrame0 = 11;
constexpr int32_t k_lightFrames = 3;

constexpr int32_t k_interfaceMatchResult = 43;
constexpr int32_t k_resultHeader = 4;
constexpr int32_t k_resultLabel0 = 5;  // 5-8
constexpr int32_t k_resultMoneyBeforeLabel = 9;
constexpr int32_t k_resultTotalLabel = 10;
constexpr int32_t k_resultBetLabel = 11;
constexpr int32_t k_resultBetResultLabel = 12;
constexpr int32_t k_resultPoints0 = 13;  // 13-16
constexpr int32_t k_resultCount0 = 17;   // 17-20
constexpr int32_t k_resultMoneyBefore = 21;
constexpr int32_t k_resultTotal = 22;
constexpr int32_t k_resultBet = 23;
constexpr int32_t k_resultBetResult = 24;
constexpr int32_t k_resultTotalsHeader = 25;
constexpr int32_t k_resultMoneyLabel = 26;
constexpr int32_t k_resultPrompt = 27;
constexpr int32_t k_resultMoney = 28;
constexpr int32_t k_resultTitle = 37;

constexpr int32_t k_interfaceRetry = 52;
constexpr int32_t k_retryTitle = 7;
constexpr int32_t k_retryList = 8;  // rows 8-9
constexpr int32_t k_retryArrowUp = 15;
constexpr int32_t k_retryArrowDown = 16;
constexpr int32_t k_retryNoteBox = 17;  // 17-19, tournaments only
constexpr int32_t k_retryNote = 20;
constexpr int32_t k_retryBody = 21;

// Interfaces 53 (a challenge, or the special rival) and 54 (a character).
constexpr int32_t k_interfaceChallengeUnlocked = 53;
constexpr int32_t k_interfaceCharacterUnlocked = 54;
constexpr int32_t k_unlockText = 4;  // paged
constexpr int32_t k_unlockShared = 5;
constexpr int32_t k_unlockLine = 6;
constexpr int32_t k_unlockMorePages = 9;
constexpr int32_t k_unlockPortrait = 10;  // interface 54
constexpr int32_t k_unlockButton = 11;

constexpr int32_t k_interfacePostMatch = 55;
constexpr int32_t k_postMatchArrowUp = 14;
constexpr int32_t k_postMatchTitle = 15;
constexpr int32_t k_postMatchArrowDown = 16;
constexpr int32_t k_postMatchList = 17;  // rows 17-20
constexpr int32_t k_postMatchDescription = 23;
constexpr int32_t k_postMatchPrompt = 24;
constexpr int32_t k_postMatchBack = 25;

constexpr int32_t k_interfaceContinue = 57;
constexpr int32_t k_continueText = 7;
constexpr int32_t k_continueButton = 8;

// Texts.
constexpr int32_t k_textCareerSecondPage = 11;
constexpr int32_t k_textSoftBack = 13;
constexpr int32_t k_textSoftOk = 14;
constexpr int32_t k_textTutorialDone = 60;
constexpr int32_t k_textQuitMatchTitle = 65;
constexpr int32_t k_textQuitToMenuNote = 71;
constexpr int32_t k_textChallengeUnlocked = 166;
constexpr int32_t k_textRestartMatch = 193;
constexpr int32_t k_textIGMRestart = 194;
constexpr int32_t k_textIGMOptions = 195;
constexpr int32_t k_textQuitMatch = 197;
constexpr int32_t k_textIGMTitle = 198;
constexpr int32_t k_textCheatMenu = 199;  // no table holds it
constexpr int32_t k_textResume = 200;
constexpr int32_t k_textCheatTitle = 201;
constexpr int32_t k_textCheatWin = 202;
constexpr int32_t k_textCheatLose = 203;
constexpr int32_t k_textCheatCharacters = 204;
constexpr int32_t k_textCheatEverything = 205;
constexpr int32_t k_textCheatAchievements = 206;
constexpr int32_t k_textCharacterUnlocked = 390;
constexpr int32_t k_textResultTitle = 423;
constexpr int32_t k_textResultHeader = 424;
constexpr int32_t k_textResultLabel0 = 425;  // 425-428
constexpr int32_t k_textResultTotals = 429;
constexpr int32_t k_textResultMoneyBefore = 430;
constexpr int32_t k_textResultBet = 431;
constexpr int32_t k_textResultTotal = 432;
constexpr int32_t k_textResultBetResult = 433;
constexpr int32_t k_textResultMoney = 434;
constexpr int32_t k_textCount = 437;
constexpr int32_t k_textShotsLeft = 436;  // "%n": a challenge's shots left
// What a rival says at the table, three lines by character: the greeting,
// the rival's win, the rival's loss.
constexpr int32_t k_textRivalGreeting0 = 442;
constexpr int32_t k_textRivalWon0 = 443;
constexpr int32_t k_textRivalLost0 = 444;
constexpr int32_t k_textRivalLineStride = 3;
constexpr int32_t k_textChallengeIntro0 = 545;  // + challenge, 545-576
constexpr int32_t k_textComputerPasses = 677;
// The questions the match asks over the table.
constexpr int32_t k_textTutorialOffer = 649;  // under the tutorial's title
constexpr int32_t k_textPushOutTitle = 674;
constexpr int32_t k_textPushOutOffer = 675;
constexpr int32_t k_textPushOutPlay = 676;  // the opponent pushed out
constexpr int32_t k_textSkipShotsTitle = 678;
constexpr int32_t k_textSkipShotsQuestion = 679;
constexpr int32_t k_textPushOutRule = 691;
constexpr int32_t k_textRetryTitle = 475;
constexpr int32_t k_textRetryBody = 476;
constexpr int32_t k_textChallengeUnlockedPages = 477;
constexpr int32_t k_textCharacterUnlockedPage0 = 478;  // + character, 478-487
constexpr int32_t k_textUnlockShared = 488;
constexpr int32_t k_textPostMatchTitle = 499;
constexpr int32_t k_textVisitShop = 500;
constexpr int32_t k_textPlayChallenges = 501;
constexpr int32_t k_textAnotherMatch = 502;
constexpr int32_t k_textVisitShopNote = 670;
constexpr int32_t k_textAnotherMatchNote = 671;
constexpr int32_t k_textPlayChallengesNote = 672;
constexpr int32_t k_textTutorialEnd = 673;
constexpr int32_t k_textRetriesLeft = 690;
constexpr int32_t k_textCareerComplete = 692;  // "%t": the money
constexpr int32_t k_textSpecialRivalPages = 704;
constexpr int32_t k_textSpecialRivalOpened = 705;
constexpr int32_t k_textRetryTutorial = 721;
constexpr int32_t k_textTutorialDeclined = 723;  // 400 after "no" to the tutorial offer
constexpr int32_t k_textRetryChallenge = 724;    // 320's body after a challenge
// ---- tournaments: the choice (5), the field choice (29), the opponent pick
// (30 over the pub's seats, 26), the confirmation (31), the bracket (44) and
// the prize (45)
constexpr int32_t k_interfaceTournamentMenu = 5;
constexpr int32_t k_tournamentMenuVeil0 = 2;       // 2, 3, 21, 22: shown while a veiled entry is selected
constexpr int32_t k_tournamentMenuVeil1 = 3;
constexpr int32_t k_tournamentMenuList = 9;        // rows 9-11
constexpr int32_t k_tournamentMenuArrowUp = 16;
constexpr int32_t k_tournamentMenuTitle = 17;
constexpr int32_t k_tournamentMenuArrowDown = 18;
constexpr int32_t k_tournamentMenuNote = 19;
constexpr int32_t k_tournamentMenuVeil2 = 21;
constexpr int32_t k_tournamentMenuVeil3 = 22;
constexpr int32_t k_tournamentMenuBack = 23;

constexpr int32_t k_interfaceFieldChoice = 29;
constexpr int32_t k_fieldChoiceList = 7;  // rows 7-8
constexpr int32_t k_fieldChoiceTitle = 17;
constexpr int32_t k_fieldChoiceBack = 18;

constexpr int32_t k_interfaceTournamentPick = 30;
constexpr int32_t k_pickCursorName = 8;           // name frame of the cursor character
constexpr int32_t k_pickTitle = 12;               // text 681 + level position
constexpr int32_t k_pickPrompt = 13;
constexpr int32_t k_pickSlotDuel = 14;            // level 2: slot, mark, name
constexpr int32_t k_pickSlotFour = 18;            // level 1: slots 18, 22, 26 (+1 mark, +2 name)
constexpr int32_t k_pickSlotStride = 4;
constexpr int32_t k_pickBack = 30;

constexpr int32_t k_interfaceFieldConfirm = 31;
constexpr int32_t k_confirmQuestion = 6;          // text 685
constexpr int32_t k_confirmList = 7;              // rows 7-8
constexpr int32_t k_confirmTitle = 20;            // text 684
constexpr int32_t k_confirmDuelFirst = 21;        // 21-22 shown at level 2, the portrait at 21
constexpr int32_t k_confirmFourFirst = 25;        // 25-34 shown at level 1, portraits at 25, 29, 33
constexpr int32_t k_confirmFourLast = 34;

constexpr int32_t k_interfaceBracket = 44;
constexpr int32_t k_bracketTitle = 5;
constexpr int32_t k_bracketPrompt = 6;
constexpr int32_t k_bracketBack = 8;              // painted without the shift
constexpr int32_t k_bracketEntry[4] = {9, 17, 21, 23};   // first entry element of each stage
constexpr int32_t k_bracketLight[3] = {24, 32, 36};      // first pair light of the 8-, 4- and 2-stage
constexpr int32_t k_bracketLinesEight = 40;       // 40-55
constexpr int32_t k_bracketLinesFour = 57;        // 57-64
constexpr int32_t k_bracketCentreFour = 83;       // x and width centre the 4-player bracket
constexpr int32_t k_bracketCentreDuel = 84;       // and the 2-player one
constexpr int32_t k_bracketPrizeLabel = 85;
constexpr int32_t k_bracketPrize = 86;
constexpr int32_t k_bracketMoneyLabel = 87;
constexpr int32_t k_bracketMoney = 88;

constexpr int32_t k_interfaceTournamentPrize = 45;
constexpr int32_t k_prizePortrait = 10;
constexpr int32_t k_prizeTitle = 11;
constexpr int32_t k_prizeBlink = 12;
constexpr int32_t k_prizePrompt = 13;
constexpr int32_t k_prizePrizeLabel = 14;
constexpr int32_t k_prizeMoneyLabel = 15;
constexpr int32_t k_prizePrize = 18;
constexpr int32_t k_prizeMoney = 19;

// Small-head bank (menu.bar 7, slot 7).
constexpr int32_t k_slotSmallHeads = 7;
constexpr int32_t k_headFrameLightOff = 0;        // pair light and pick mark
constexpr int32_t k_headFrameLightOn = 1;
constexpr int32_t k_headFrameCharacter0 = 14;     // + character 0-9
constexpr int32_t k_headFrameEmpty = 26;
constexpr int32_t k_headFrameEmptyWinner = 27;    // also the empty pick slot
constexpr int32_t k_headFrameOut = 28;
constexpr int32_t k_slotPortrait0 = 13;           // + character: portraits (frame 0)
constexpr int32_t k_slotCharacterNames = 24;      // frame = character

// Texts.
constexpr int32_t k_textTournaments = 61;
constexpr int32_t k_textTournamentDuel = 72;      // 72, 73, 74: 2, 4 and 8 players
constexpr int32_t k_textTournamentFour = 73;
constexpr int32_t k_textTournamentEight = 74;
constexpr int32_t k_textTournamentTitle = 75;
constexpr int32_t k_textTournamentVeiled = 76;
constexpr int32_t k_textStageTitle0 = 189;        // + stage: 189-192
constexpr int32_t k_textCharacterName0 = 391;     // + character
constexpr int32_t k_textEmptySlot = 402;
constexpr int32_t k_textPrizeLabel = 650;
constexpr int32_t k_textMoneyLabel = 651;
constexpr int32_t k_textPickTitle0 = 681;         // + 0 level 2, 1 level 1, 2 level 0
constexpr int32_t k_textConfirmTitle = 684;
constexpr int32_t k_textConfirmQuestion = 685;
constexpr int32_t k_textFieldChoiceTitle = 686;
constexpr int32_t k_textPickField = 687;
constexpr int32_t k_textRandomField = 688;
constexpr int32_t k_textQuitTournament = 694;
// ---- match set-up and match start screens
// Sprite-bank slots.
constexpr int32_t k_slotMatchArt = 3;        // menu.bar 3 (alpha; kept in matches): seats, coins, soft keys
constexpr int32_t k_slotRulePictures = 12;   // menu.bar 12 (kept in matches)
constexpr int32_t k_slotNames = 24;          // chr.bar 11: frame = character
constexpr int32_t k_slotTablePlan0 = 50;     // + table 0-8 (map.bar 3-11)
constexpr int32_t k_slotStakeGlow = 59;      // map.bar 12, kept: frame = seat, green parts glow
constexpr int32_t k_slotTablePicture0 = 60;  // + table 0-8 (loc.bar 0-8, parsed only)
constexpr int32_t k_chrEntryNames = 11;
constexpr int32_t k_mapEntryTablePlan0 = 3;
constexpr int32_t k_mapEntryStakeGlow = 12;
constexpr int32_t k_characterCount = 10;     // 0-9; 10 is the special opponent
constexpr int32_t k_specialCharacter = 10;
constexpr int32_t k_stakeLevelCount = 8;
constexpr int32_t k_stakeSeatCount = 9;
// Portrait banks: frame 0 the portrait, 1 the figure seated in the pub.
constexpr int32_t k_portraitFrame = 0, k_seatedFrame = 1;
// Match art (slot 3): the stake seats, the coin faces and the spin's looks,
// the versus mark, the soft-key plates (normal, pressed).
constexpr int32_t k_seatFrameLocked = 0, k_seatFrameOpen = 1;
constexpr int32_t k_coinFrameFace0 = 2, k_coinFrameFace1 = 3;  // face 0 heads, 1 tails
constexpr int32_t k_coinFrameLast = 6;                         // 4-6 the turning coin
constexpr int32_t k_frameVersusMark = 7;
constexpr int32_t k_softFrameLeft = 83, k_softFrameLeftPressed = 84;
constexpr int32_t k_softFrameRight = 85, k_softFrameRightPressed = 86;
constexpr int32_t k_coinSpinAnims = 4;        // animation a ends on face k_coinFaces[a]
// Rule pictures (slot 12): frame = rule set 0-2, 4 none.
constexpr int32_t k_rulePictureNone = 4;

// Interface 4: the rule-set choice.
constexpr int32_t k_ifRulesChoice = 4;
constexpr int32_t k_rulesArrowUp = 6, k_rulesArrowDown = 7;
constexpr int32_t k_rulesList = 8;          // rows 8-10
constexpr int32_t k_rulesPlate0 = 14;       // 14-16 plates, 17 the picture: outside a match only
constexpr int32_t k_rulesPicture = 17;
constexpr int32_t k_rulesBack = 22, k_rulesTitle = 23;
// Interface 16: the two characters of a single match.
constexpr int32_t k_ifCharacterChoice = 16;
constexpr int32_t k_charPlayerPortrait = 2, k_charOpponentPortrait = 4;
constexpr int32_t k_charPlayerName = 15, k_charOpponentName = 20;
constexpr int32_t k_charTitle = 21, k_charHint = 22, k_charBack = 25;
// Interface 18: the career character pair.
constexpr int32_t k_ifCareerPair = 18;
constexpr int32_t k_pairTitle = 8;
// Interface 19: face to face.
constexpr int32_t k_ifVersus = 19;
constexpr int32_t k_versusPortraitLeft = 1, k_versusPortraitRight = 2;
constexpr int32_t k_versusNameLeft = 12, k_versusNameRight = 13, k_versusPrompt = 14;
constexpr int32_t k_versusBack = 15;
// Interface 32-34: the career stake (levels and pictures, details, notice).
constexpr int32_t k_ifStakeChoice = 32, k_ifStakeDetails = 33, k_ifStakeNotice = 34;
constexpr int32_t k_stakeGlow = 2;         // frame = seat of the level
constexpr int32_t k_stakeSeat0 = 3;        // + seat 0-8
constexpr int32_t k_stakePlay = 12;
constexpr int32_t k_stakeMark0 = 13;       // + seat
constexpr int32_t k_stakeHighlight = 23;   // x, y, width, height read
constexpr int32_t k_stakeRival = 2;        // interface 33
constexpr int32_t k_stakeLevelName = 5, k_stakePrice = 6, k_stakeLocked = 7, k_stakeTitle = 11;
constexpr int32_t k_stakeListMark0 = 16;   // + seat
constexpr int32_t k_stakeBack = 25;
constexpr int32_t k_stakeNoticeText = 4;   // interface 34
// Interface 35: the table choice.
constexpr int32_t k_ifTableChoice = 35;
constexpr int32_t k_tablePicture = 0, k_tableNext = 3, k_tablePrevious = 4;
constexpr int32_t k_tableName = 5, k_tableExtra = 6;
constexpr int32_t k_tableArrowLeft = 11, k_tableArrowRight = 12;
constexpr int32_t k_tablePlan = 18, k_tableBack = 22, k_tablePlay = 23;
// Interface 11: the career bet.
constexpr int32_t k_ifBet = 11;
constexpr int32_t k_betMinimumLabel = 4, k_betMaximumLabel = 6, k_betMoneyLabel = 8, k_betLabel = 10;  // value at + 1
constexpr int32_t k_betMore = 16, k_betLess = 17, k_betSoftLeft = 18, k_betSoftRight = 19;
// Interface 13: the coin toss.
constexpr int32_t k_ifCoinToss = 13;
constexpr int32_t k_tossPrompt = 7, k_tossList = 8;  // rows 8-9
constexpr int32_t k_tossCoin0 = 10, k_tossCoin1 = 11, k_tossSpin = 12;
// Interface 14: the UK break choice.
constexpr int32_t k_ifBreakChoice = 14;
constexpr int32_t k_breakPrompt = 8, k_breakList = 9;  // rows 9-11
constexpr int32_t k_breakBack = 12;
// Texts.
constexpr int32_t k_textChoosePlayer = 2, k_textChooseOpponent = 3, k_textChooseCharacter = 4;
constexpr int32_t k_textReds = 25, k_textYellows = 26, k_textTails = 27, k_textHeads = 28;
constexpr int32_t k_textRulesTitle = 48;
constexpr int32_t k_textTableHeading = 95;    // two tags: name (k_textTableName0), note (k_textTableNote0)
constexpr int32_t k_textStakeTitle = 155, k_textStakeLocked = 156;
constexpr int32_t k_textStakeName0 = 157;     // + level
constexpr int32_t k_textStakeNotice = 165;
constexpr int32_t k_textStakeEntry = 207;     // tag: the price (text 435)
constexpr int32_t k_textBet = 208, k_textBetMinimum = 209, k_textBetMaximum = 210, k_textBetMoney = 211;
constexpr int32_t k_textTossPrompt = 652, k_textTossDone = 653, k_textTossSpinning = 654;
constexpr int32_t k_textViewTable = 655, k_textChooseGroup = 656;
// ---- challenge screens: the categories (interface 37) and the list of
// one category (interface 36)
// UI bank frames of these screens: a list row, a padlock, a note plate.
constexpr int32_t k_uiFrameListRow = 56;
constexpr int32_t k_uiFramePadlock = 57;
constexpr int32_t k_uiFrameNotePlate = 58;
constexpr int32_t k_ifChallengeMenu = 37;
constexpr int32_t k_challengeMenuList = 8;         // rows 8-12: the four categories and the rival match
constexpr int32_t k_challengeMenuComplete0 = 13;   // 13-16: a category's completion mark (marks bank)
constexpr int32_t k_challengeMenuRivalMark = 17;   // the rival beaten
constexpr int32_t k_challengeMenuArrowUp = 23;
constexpr int32_t k_challengeMenuArrowDown = 24;
constexpr int32_t k_challengeMenuTitle = 25;
constexpr int32_t k_challengeMenuNote0 = 26;       // 26-28: shown with the note of a veiled entry
constexpr int32_t k_challengeMenuNote = 29;        // text 707
constexpr int32_t k_challengeMenuBack = 30;

constexpr int32_t k_ifChallengeList = 36;
constexpr int32_t k_challengeListRows = 6;         // rows 6-9
constexpr int32_t k_challengeListMark0 = 10;       // 10-13: a row's open or won mark (marks bank)
constexpr int32_t k_challengeListPage = 19;        // the page button, hidden while a tap awaits confirmation
constexpr int32_t k_challengeListTitle = 20;
constexpr int32_t k_challengeListPageLabel = 21;   // hidden with the page button
constexpr int32_t k_challengeListInfo0 = 22;       // 22-24: the plate behind the two info lines
constexpr int32_t k_challengeListInfo = 25;        // the prize, or the locked note
constexpr int32_t k_challengeListConfirm = 26;     // "Touch screen to continue"
constexpr int32_t k_challengeListDetail = 27;      // the failed attempts, the locked line or "Change Page"
constexpr int32_t k_challengeListBack = 29;

constexpr int32_t k_textChallengeCategory0 = 116;  // 116-119
constexpr int32_t k_textChallengeMenuTitle = 120;
constexpr int32_t k_textChallengeName0 = 121;      // 121-152, by challenge
constexpr int32_t k_textChallengeListTitle = 153;
constexpr int32_t k_textChallengeLocked = 154;
constexpr int32_t k_textChallengeFailedLater0 = 577;  // 577-608, by challenge: after 3 to 5 failures
constexpr int32_t k_textChallengeWon0 = 609;          // 609-619, challenge mod 11
constexpr int32_t k_textChallengeFailed0 = 621;       // 621-631, challenge mod 11: the first failures
constexpr int32_t k_textChallengeFailedOften = 633;   // after 6 failures or more
constexpr int32_t k_textDemoTitle = 634;
constexpr int32_t k_textDemoQuestion = 635;
constexpr int32_t k_textPrize = 689;                  // "%t": the amount (text 435)
constexpr int32_t k_textRivalMatch = 706;
constexpr int32_t k_textRivalLocked = 707;
constexpr int32_t k_textMatchLoadingTitle = 708;
constexpr int32_t k_textLoadingHint0 = 709;  // hints 0-8: 709-717
constexpr int32_t k_textChallengeLockedLine = 718;
constexpr int32_t k_textFailedAttempts = 719;         // %n

// ---- tutorial lessons: titles 55-59, then per lesson the intro, the aim
// reached, the spin / masse / combination text (not lesson 0), passed and
// failed (543 is not used)
constexpr int32_t k_textLessonFirst = 520;
constexpr int32_t k_textLessonLast = 544;
