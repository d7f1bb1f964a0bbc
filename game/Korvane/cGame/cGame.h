// The game object: every screen, the match in play, the loaded resources and
// the per-frame loop. Its methods are grouped by topic into the cGame*.cpp
// files of this folder and of the folders beside it.
#pragma once

#include <cstdint>

#include "game/GameResourceManager/GameResourceManager.h"
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "game/Korvane/cGame/KeyState.h"
#include "game/Korvane/cGame/MenuList.h"
#include "game/Korvane/cGame/MessageQueue.h"
#include "game/Korvane/cGame/Random.h"
#include "game/Korvane/cGame/cGameAchievements.h"
#include "game/Korvane/cGame/cGameBallView.h"
#include "game/Korvane/cGame/cGameChallenge.h"
#include "game/Korvane/cGame/cGameData.h"
#include "game/Korvane/cGame/cGameEffects.h"
#include "game/Korvane/cGame/cGameEngine.h"
#include "game/Korvane/cGame/cGameFrontEnd.h"
#include "game/Korvane/cGame/cGameInterfaces.h"
#include "game/Korvane/cGame/cGameLoading.h"
#include "game/Korvane/cGame/cGameMenu.h"
#include "game/Korvane/cGame/cGameMessages.h"
#include "game/Korvane/cGame/cGamePool.h"
#include "game/Korvane/cGame/cGamePoolHooks.h"
#include "game/Korvane/cGame/cGameResources.h"
#include "game/Korvane/cGame/cGameSave.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameSound.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGame/cGameTable.h"
#include "game/Korvane/cGame/cGameText.h"
#include "game/Korvane/cGame/cGameTutorial.h"
#include "game/Korvane/cGamePlay/MatchSetup.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "game/Korvane/cGamePlay/RuleState.h"
#include "game/Korvane/cGamePlay/Tournament.h"
#include "game/Korvane/cGameInterfaces/Achievements.h"
#include "game/Korvane/cGameInterfaces/Challenges.h"
#include "game/Korvane/cGameInterfaces/Help.h"
#include "game/Korvane/cGameInterfaces/InGameMenu.h"
#include "game/Korvane/cGameInterfaces/Loading.h"
#include "game/Korvane/cGameInterfaces/MainMenu.h"
#include "game/Korvane/cGameInterfaces/MatchResult.h"
#include "game/Korvane/cGameInterfaces/MatchSetup.h"
#include "game/Korvane/cGameInterfaces/Options.h"
#include "game/Korvane/cGameInterfaces/Pub.h"
#include "game/Korvane/cGameInterfaces/Question.h"
#include "game/Korvane/cGameInterfaces/Shop.h"
#include "game/Korvane/cGameInterfaces/SoundQuestion.h"
#include "game/Korvane/cGameInterfaces/Title.h"
#include "game/Korvane/cGameInterfaces/Tournament.h"
#include "platform/brew/GameBase.h"
#include "zul/2d/SpriteServices.h"
#include "zul/3d/Camera.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"
#include "zul/lm/Vector2.h"

class ASprite;
class Graphics;
class MutableImage;
class GL3DASEFileResource;

class cGame : public GameBase {
 public:
  explicit cGame(MutableImage* image);
  ~cGame() override;

  // GameBase operations.
  void init() override;
  void resume(int32_t value) override;
  void suspend(int32_t value) override;
  void update(Graphics* graphics) override;
  void keyPressed(int32_t keyIndex) override;
  void keyReleased(int32_t keyIndex) override;

  // State machine.
  int32_t setState(int32_t state);
  int32_t getState() const { return this->states.gameState; }
  void setInGameState(int32_t state);
  void changeInGameState(int32_t state, bool runInit, bool runLeave);
  void pushState(int32_t state);
  void popState();
  void updateCurrentState();
  void paintCurrentState(Graphics* graphics);
  void resetClip(Graphics* graphics);
  // Tests and tools may run the machine on their own screens.
  void setScreenTables(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame);

  // 3D view placement.
  void setViewPair(int32_t a, int32_t b) {
    ballView.viewPair[0] = b;
    ballView.viewPair[1] = a;
  }
  void setViewRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    ballView.viewRect[0] = x;
    ballView.viewRect[1] = y;
    ballView.viewRect[2] = w;
    ballView.viewRect[3] = h;
  }

  // What the host and the applet use (cGameServices.cpp).
  TouchMode touchMode() const override;
  void updateKeys() override { this->keys.update(); }
  bool isAnyKeyPressed() const override { return this->keys.isAnyPressed(); }
  bool isKeyPressed(uint32_t mask) const override { return this->keys.isPressed(mask); }
  bool isSoundEnabled() const override { return this->sound.enabled != 0; }
  int32_t currentSoundId() const override { return this->sound.currentId; }
  int32_t stopAllSounds() override;
  bool isAnySoundPlaying() override;
  void stopCurrentElementAnimations() override { stopElementAnimations(*this, this->interfaces.currentElements); }
  const char* fatalError() const override { return this->files.fatalError[0] ? this->files.fatalError : nullptr; }
  // Sound control: ids 0-10 effects, 11-14 music.
  int32_t getCurrentSound() const { return this->sound.currentId; }
  void pauseMusic() {}
  void resumeMusic() {}
  void vibrate(int32_t /*milliseconds*/) {}
  void setVibrationTime(int32_t ms) { this->sound.vibrationTime = ms; }
  void onSoundsStopped() {}
  // The host's player decodes each sound whole when it is loaded, keeps it
  // loaded for the run and plays it as decoded: volume, pitch and pan are
  // its own, and there is no vibration motor to drive.
  void updateSound() {}
  void stopVibration() {}
  void setSoundVolume(int32_t /*volume*/) {}
  void setMusicVolume(int32_t /*volume*/) {}
  void setVibrationStrength(int32_t /*strength*/) {}
  void freeSound(int32_t /*id*/) {}
  void setSoundPitch(int32_t /*id*/, int32_t /*pitch*/) {}
  void setSoundPan(int32_t /*id*/, int32_t /*left*/, int32_t /*right*/) {}
  // One sound plays at a time, and it plays once.
  static int32_t getMaxSimultaneousSounds() { return 1; }
  static int32_t getSoundLoopCount() { return 0; }

  // --- renderer: texture table, scratch pool (the game's), EGL handles
  EngineServices engine;

  // --- resources: the pack, reached by the 3D layer through its services

  // --- keys
  KeyState keys;

  // --- work buffers

  // --- view rectangle
  // --- 3D view (cGameBallView.cpp)
  BallView ballView;

  // --- frame
  FrameClock frame;

  // --- screen effects and small drawing routines (cGameEffects.cpp).
  // Filter pixels are 0x00RRGGBB; strengths are in 1/128.
  // An alpha byte of 0 paints nothing.
  // Row filters over n pixels.
  // Swings between two 0x00RRGGBB values with |sin| of the paint count.
  Effects effects;

  // --- touch: the fields are GameServices' (written by the host's touch glue)

  // --- state
  StateMachine states;
  FrontEndState frontEnd;

  // --- interfaces (cGameInterfaces.cpp): the element lists of "interf.bar".
  // Element i of interface id; id -1 is the current interface. Accessors
  // given a bad id or index, or an element of another type, do nothing
  // (readers return 0).
  // Message queue and dialog box state the soft keys read.
  InterfaceSet interfaces;
  // Drawing targets: the back layer (the saved background's; null until it
  // exists) and the current target (the paint target; the screen outside a paint).
  Graphics* currentTarget() { return this->frontEnd.paintTarget ? this->frontEnd.paintTarget : getGraphics(); }

  // --- menu list (cGameMenu.cpp). Rows are consecutive text elements of
  // the current interface from the list element. The update gives 0 (nothing),
  // -1 (back) or the chosen entry's text id.
  void setMenuRows(const uint32_t* table, int32_t listElement, int32_t rows) {
    initMenu(*this, table, listElement, rows, true);
  }
  int32_t getMenuCount() const { return this->menu.count; }
  int32_t getMenuSelection() const { return this->menu.selection; }
  int32_t getMenuVisibleRows() const { return this->menu.rows; }
  int32_t getMenuFirstVisible() const { return this->menu.firstVisible; }
  void setMenuCentring(bool on) { this->menu.centred = on ? 1 : 0; }

  // --- front-end screen pattern (cGameFrontEnd.cpp; how to use: cGameFrontEnd.h)
  // First frame: capture over a match, interface, slide-in, menu, back
  // layer, music, selection -1, running sub-state.

  // --- loading (cGameLoadInit.cpp, cGameMainMenuLoading.cpp,
  // cGameGameLoading.cpp; the logo in cGameInterfaces/): one step a frame.
  static constexpr int32_t k_loadInitSteps = 7;
  static constexpr int32_t k_mainMenuLoadingSteps = 45;
  static constexpr int32_t k_gameLoadingSteps = 40;
  // How a bank is built: k_buildAll palettes, k_buildNone (parsed only), or a palette.
  static constexpr int32_t k_buildAll = -1;
  static constexpr int32_t k_buildNone = -2;
  // A bank from entry of the open archive, or null (reported) when the
  // archive, the entry or its bytes are bad. Alpha marks it translucent.
  // The profile of the computer player of a match of the game type against
  // the character, by the rival's rank: 0 the weakest, 10 the strongest;
  // -1 when both players are human.
  // The same, scrolled left by n pixels with wrap-around (16-bit images).
  LoadingState loading;
  // Set by later screens; the match loading reads them.
  // Challenge demonstration hooks of the turn flow (cGameChallenge.cpp) and
  // the tutorial's checks (cGameTutorial.cpp).

  // --- menu
  MenuList menu;
  int32_t savedMenuSelection = 0;

  // --- message queue and dialog box (cGameMessages.cpp)
  void clearMessages() { this->messages.count = 0; }
  // Work-string helpers: "%t" is replaced at its first place only.
  MessageQueue messages;
  DialogBox dialog;

  // --- question (cGameInterfaces/Question.cpp): the yes/no screen and its
  // record. The action code says what a yes (17), a no (18) or back does;
  // the panel interface lends its panel so the question looks like its caller.
  QuestionScreen question;
  // Effects of the actions that belong to other topics: the shop's purchase
  // (cGameInterfaces/ShopItems.cpp), the tutorial (cGameTutorial.cpp), the
  // challenge demonstration (cGameChallenge.cpp), the push-out answers of the
  // turn flow (cGamePool.cpp).
  // --- shop operations (cGameInterfaces/ShopItems.cpp): equipped levels,
  // rating bars. Items 0-14: category item / 5, level item % 5 + 1.
  // --- shop screens (cGameInterfaces/Shop.cpp): the shop (270), the item
  // bought (330) and the two-page explanation (430); their record.
  ShopScreen shop;
  uint8_t bracketResumes = 0;  // the tournament bracket picks up where it was

  // --- start-up screens, main menu and options (cGameInterfaces/): the
  // sound question (30), the title (40), the main menu (50), the options (70)
  // The entry the main menu shows on a row when its list starts at first
  // (indexes wrap, hidden entries take no row); -1 when no entry is shown.
  MainMenuScreen mainMenu;
  uint8_t igmEntry199Shown = 0;

  // --- sound
  SoundState sound;

  // --- match: its set-up and the player at the table, read by the rules
  // and the opponent in place
  MatchSetup match;
  int32_t& currentPlayer = match.currentPlayer;
  int32_t& gameType = match.gameType;

  // --- turn and match flow (cGamePool.cpp, cGamePoolPaint.cpp): the match
  // states 500-820, the screens over a match, the HUD slide, the frame end
  bool isComputerPlayer(int32_t player) const {
    return player >= 0 && player < 2 && playerProfile[player] != -1;
  }
  bool isComputerAtTable() const { return isComputerPlayer(currentPlayer); }
  // Soft keys of the table: right soft (0x20000 with the alternative layout)
  // and the menu key (0x40000 with it).
  // A box over the table that a key closes: a waiting message or the dialog.
  // Touches on the table go to it, and a key it takes does nothing else.
  // Ball in hand: the allowed area of the current placement, a free place in
  // it, and the cue ball back in play wherever it lay.
  // Queues what the lag is for and how it is played, at its first shot.
  // The match loading read a table and, when a computer plays, its profiles.
  // Rules operations the flow calls.
  void assignGroups(int32_t solidsPlayer, int32_t stripesPlayer);
  void switchPlayer();
  TurnFlow turn;
  // What the table scene shows.
  // Tests: called with the state and step before each match step runs.
  void (*m_matchStepHook)(cGame& game, int32_t state, int32_t step) = nullptr;
  // Tournament losses (career counter C), losses by rival class (counters D
  // and E) and frames won against profile 0 without its pot (the settings'
  // achievement counter) live in the save records.

  // --- table set-up (cGameTable.cpp): the physics world built from
  // "table.bar", the frame starts, the ball looks, the pocketed-ball lists
  // Ball looks for the rule set, the rack's layout and its jitter.
  void setBallRollFrames() { m_world.setBallRollFrames(); }
  void jitterRack() { m_world.jitterRack(); }
  void onUnusedSpritesFreed() {}
  void rotateAim(Q14 angle) { m_world.shot.rotateAim(angle); }
  // --- physics and the strike (cGamePhysics.cpp)
  void physicsStep(PhysicalObject* list, int32_t T) { m_world.physicsStep(list, T); }
  void physicsStepBalls(int32_t T) { m_world.physicsStepBalls(T); }
  int32_t findEarliestContact(PhysicalObject* list, int32_t T, bool prepare, bool testCushions, bool collect) {
    return m_world.findEarliestContact(list, T, prepare, testCushions, collect);
  }
  int32_t previewStep(PhysicalObject* list, int32_t T, bool testCushions) {
    return m_world.previewStep(list, T, testCushions);
  }
  bool isBallPlacementBlocked(const PhysicalObject& ball) const { return m_world.isBallPlacementBlocked(ball); }
  void copyBallsToShadows() { m_world.copyBallsToShadows(); }
  static Q14 frictionRoot(Q14 v, Q14 d) { return PhysicsWorld::frictionRoot(v, d); }
  void recordShotEvent(PhysicalObject* a, PhysicalObject* b) { m_world.shot.recordEvent(a, b); }
  void setShadowFullSpeed() { m_world.setShadowFullSpeed(); }
  // Hooks of the pool classes.
  void onContact(PhysicalObject* first, PhysicalObject* second);
  // Shot rules: the stroke's reset, the graph, its look-ahead and the outcome.
  void beginStroke();
  void runShotRules();
  uint32_t lookAheadShotRules();
  void Rules_Apply();
  bool checkBallsOffTable();
  void respotBalls();
  void showGroupsMessage();
  void startChallengeRules();
  // The game's side of the rules: a new rack, the pocketed-ball displays,
  // messages, dialogs, the group icons, the hit spark and the characters.
  void rackAgain();
  void handOverPottedBalls(int32_t from, int32_t to, uint32_t keepMask);
  void setGroupIconLook(int32_t element, int32_t frame, int32_t palette);
  int32_t getPlayerCharacter(int32_t player) const;
  // The frame start both share: player 0 on a broken, closed table, the
  // rules in `mode`, the layout placed (none when `hasLayout` is false).
  PhysicsWorld m_world;
  TableLayout m_tableLayout;
  RuleState m_rules;
  cGamePoolHooks m_poolHooks{*this};
  // --- computer opponent (cGameAI.cpp): the profiles of "misc.bar" and the
  // think machine for the player at the table. A turn: resetAI, then
  // updateAI(aiState(), kThinkUpdate, frameDone) each frame until aiState()
  // is kThinkDone; aiPassed() then tells a pass from a shot.
  void initAI();
  void freeAI();
  void releaseAI();
  void updateAI(int32_t state, int32_t event, bool frameDone);
  void resetAI();
  int32_t aiState() const { return m_ai.state; }
  bool aiPassed() const { return m_ai.giveUp != 0; }
  void searchAIShot(int32_t steps);
  // A cue-ball spot in the kitchen; returns the side drawn.
  int32_t randomBreakSpot(Vector2& out);
  // The break position of a player's profile (values 9 and 10).
  Vector2 getAIBreakPosition(int32_t player) const;
  void useLoaderProfiles();
  void useOwnProfiles();
  void fillProfileTable();
  OpponentState m_ai;
  // --- small 3D ball view (cGameBallView.cpp)
  // Mode -1: the pocket camera; any other: the follow camera. Places the
  // camera and draws the table; false when no camera could be placed.
  // Plays the current shot out on the shadows; the ball (table index) that
  // comes closest to a pocket, or -1.
  // Camera point over the table (view units), angles (Q14 degrees).
  TableView table;
  uint8_t& altPanelLayout = match.altPanelLayout;
  int32_t opponentSlot = 0;  // career rival slot; 10 is the special rival
  int32_t& challengeNumber = match.challengeNumber;
  int32_t& lessonNumber = match.lessonNumber;

  // --- challenges (cGameChallenge.cpp): the prize of each place within a
  // category, the stored demonstration's current shot and its words.
  static constexpr int32_t k_challengePrizes[8] = {50, 75, 100, 125, 150, 175, 200, 250};
  ChallengeState challenges;
  // The state word of a challenge (low 2 bits 0 locked, 1 open, 2 won; the
  // failed attempts above them); a number out of range gives a scratch word.

  // --- challenge screens (cGameInterfaces/Challenges.cpp): the categories

  // --- tutorial (cGameTutorial.cpp): the lesson's set-up, its coach's
  // messages and text box, and what follows a lesson's shot.
  TutorialState tutorial;

  // --- achievements (cGameAchievements.cpp; the unlocked set is the saved
  // m_achievementMask). Notices slide in over any screen; a category that
  // reaches 100 percent queues a completion notice.
  static constexpr int32_t k_achievementCount = 30;
  static constexpr int32_t k_noticeFrames = 40;
  static constexpr int32_t k_noticeStep = 20;
  static constexpr int32_t k_noticeStartX = 240;
  // unlockAchievement is with the pool hooks above.
  // The bank slot of a category's badge (where it lives now).
  AchievementNotices notices;
  // The completion notice shown is m_noticeDisplay (the interrupt notice's
  // word): an index into m_completionQueue.

  // --- achievement screens (cGameInterfaces/Achievements.cpp): the
  // categories (250) and the list of one category (260).
  AchievementScreens achievementScreens;

  // --- help and about screens (cGameInterfaces/Help.cpp): the help menu
  // (120), a help text page by page (240), the tutorial choice (130) and the
  // scrolling credits (290).
  // The help body of subject 51 with its amounts filled in.
  HelpScreens help;

  // --- shot input (cGameShotInput.cpp): aiming by stylus, keys and target
  // balls, the cue-tip point, the shot defaults and the ball in hand
  // Gauge swing speed by the equipped cue (shop category 2).
  static constexpr int32_t k_cuePowerRates[6] = {250, 215, 180, 145, 110, 85};

  // --- table view (cGameTableView.cpp, cGameAimGuide.cpp): balls and
  // shadows, the aim guide, the rotated cue, the gauge, the spin selector,
  // the HUD and the player panels; the ball frame and the shot skip
  static constexpr int32_t k_skipFrameCap = 20000;
  // Runs the physics preview of the aim into the guide cache.
  void drawGuideLineSolid(Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb) {
    drawGuideLine(*this, g, x1, y1, x2, y2, rgb, true);
  }
  // Module of a bank turned by angle (Q14 degrees) and drawn at (x, y):
  // centred, or lying behind the point along the angle. False (nothing
  // drawn) when the turned box does not fit the scratch buffer.
  // One physics frame of the balls; true when nothing moved.
  // The object-ball line colour of a ball under the current rule set.

  // --- save: m_noSpaceState is GameServices'

  // --- sprite-bank scratch shared by every bank. The option bytes and the
  // screen graphics live in the services record that the banks read.

  // --- random

  // --- version

  // --- flags

  // --- data files: named archives, save file, text table, text drawing
  // Named archives (forwarded to m_archives).
  // The reader owns the buffer from now on; reads past size give 0.
  // An archive is unpacked whole when it opens: no entry waits to be
  // preloaded, and nothing is left to unpack.
  void preloadBarEntry(int32_t /*entry*/) {}
  static int32_t getBarBytesToUnpack() { return 0; }
  DataFiles files;

  // Save file "save.sav".
  // A save that could not be read or written: the player is told as for
  // short storage (the notice, then saving stays off for the run).
  // Every write rewrites the whole file at once: nothing waits to be flushed
  // or synced.
  void flushSaveFile() {}
  void syncSaveRecord(int32_t /*id*/) {}
  // The records as the game holds them, into a zeroed 100-byte slot.
  // Free storage in bytes (the shell's figure unless a test sets one).
  CareerRecord career;
  // Settings bytes 21-24: the career-complete screen was shown, the tutorial-exit
  // flag, the special rival is open, the first quick match is still to come.

  // Text table "text.bar", work string and scratch rings.
  // One text table serves every language: the same copy, the same id.
  static int32_t getLocalisedStringId(int32_t id) { return id; }
  void resetLanguage() { this->text.strings.language = 0; }
  static const char* getLanguageCode() { return "EN"; }
  TextState text;

  // Makes map (size bytes, a new[] block the game then owns) the character
  // map of the game and its fonts; one too short for the 256 codes is
  // refused (freed, false) and the fonts go without.

  // --- stylus mapping (cGameStylus.cpp): touches become this frame's keys
  // True when the pen-down (pen-up) point lies in the layout rectangle; a
  // hit sets the pointer-hit byte, and with consume removes the point.
  // The pen-down test under a second name.
  bool isPointerDownIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
    return isPointerPressedIn(*this, x, y, w, h, consume);
  }
  // Stake screen: applies the stake level (touching a level calls it).
  StylusState stylus;
  // Read by the mapping, set by the screens and the match.
  MatchSetupScreens setup;
  int32_t igmInvisibleOptions = 0;    // hidden rows of the in-game menu
  int32_t& ruleSet = match.ruleSet;
  int32_t (&playerProfile)[2] = match.playerProfile;

  // --- match set-up (cGameInterfaces/MatchSetup.cpp) and match start
  // (cGameInterfaces/MatchStart.cpp).
  // The character cycle of the choice screens: one step up (+1) or down (-1).
  // Stake level of a rival slot (the special rival plays at the top level).
  // The bet's limits: the level's minimum and maximum, cut to the money.

  // --- career hub (cGameInterfaces/Pub.cpp): the career character choice
  // (150), the introduction (160) and the pub (110), a wide scene scrolled
  // between six spots with the beaten rivals seated in it.
  // Scroll position of a spot (pixels).
  // Opens the screen of a pending unlock; false when none is pending.
  // The glow amount of the current spot's objects at a paint count.
  PubScreen pub;
  uint8_t touchPrompt = 0;

  // --- tournaments (cGameInterfaces/Tournament.cpp: the choice 140, the
  // field choice 410, the opponent pick 190 and its confirmation 420;
  // cGameInterfaces/TournamentBracket.cpp: the bracket 200 and the prize
  // 390). The draw itself is cGamePlay/Tournament.h.
  // A won cup's prize into the money, saved; however the bracket is left.
  // Picks dropped, the pick screen's slots laid out again for the level.
  // The cursor to the next seat (+1) or the previous one (-1) that holds an
  // unpicked character; it stays when there is none.
  Tournament tournament;

  // --- in-game menus (cGameInterfaces/InGameMenu.cpp): the in-game menu
  // (300), the cheat menu (310) and the question menu (380) pushed over a
  // match; the retry question (320), the career post-match menu (360) and the
  // tutorial end (400) in cGameInterfaces/AfterMatchMenus.cpp.
  static const uint32_t k_igmMenuItems[5];
  static const uint32_t k_cheatMenuItems[5];
  static const uint32_t k_postMatchMenuItems[4];
  static const uint32_t k_postMatchDescriptions[4];
  static constexpr int32_t k_cheatNoticeLife = 3000;
  void goToQuestionMenu(int32_t title, int32_t body, int32_t action, int32_t returnState) {
    enterQuestionMenu(*this, title, body, action, returnState, false);
  }
  // The state under the in-game menu (the top of the stack), or -1.
  int32_t stateUnderMenu() const {
    return this->states.stackDepth > 0 ? this->states.stateStack[this->states.stackDepth - 1] : -1;
  }
  InGameMenus inGameMenus;

  // --- match result and career progression (cGameInterfaces/MatchResult.cpp:
  // the after-match screen 280 and the unlock check; cGameInterfaces/Unlocks.cpp:
  // the announcements 340 and 350, the special rival and the career end 440).
  static constexpr int32_t k_resultLineMs = 1900;
  static constexpr int32_t k_resultCountMs = 1400;
  // The value a score line shows now (counting up while it is the current line).
  MatchResultScreens matchResult;

  const cGameScreenTable* frontEndScreens;
  const cGameScreenTable* inGameScreens;
};

// The roster: rivals by career character and slot, home tables by
// character, stake prices and bet maximums by stake level, coin faces by
// result animation.
extern const uint8_t k_rivalRoster[10][9];
extern const uint8_t k_characterHomeTable[10];
extern const int32_t k_stakePrices[8];
extern const int32_t k_betMaximums[8];
extern const int32_t k_coinFaces[4];
// The career hub: the career character order, the side of each character's
// starting rival, the text of each pub spot and the seat order.
extern const int32_t k_careerCharacterOrder[10];
extern const uint8_t k_startingRivalSide[10];
extern const int32_t k_pubSpots[6];
extern const int32_t k_pubSeats[10];

// The running game (through the applet's bridge), or null; the second
// name gives the same.
cGame* getGame();
cGame* getGameInstance();
// The running game's resource manager, or null.
GameResourceManager* getResourceManager();
