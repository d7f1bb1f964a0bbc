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
#include "game/Korvane/cGamePlay/Opponent.h"
#include "game/Korvane/cGamePlay/RuleState.h"
#include "game/Korvane/cGamePlay/Tournament.h"
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
  int32_t getState() const { return s_gameState; }
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
    m_viewPair[0] = b;
    m_viewPair[1] = a;
  }
  void setViewRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    m_viewRect[0] = x;
    m_viewRect[1] = y;
    m_viewRect[2] = w;
    m_viewRect[3] = h;
  }

  // What the host and the applet use (cGameServices.cpp).
  TouchMode touchMode() const override;
  void updateKeys() override { m_keys.update(); }
  bool isAnyKeyPressed() const override { return m_keys.isAnyPressed(); }
  bool isKeyPressed(uint32_t mask) const override { return m_keys.isPressed(mask); }
  bool isSoundEnabled() const override { return m_soundEnabled != 0; }
  int32_t currentSoundId() const override { return m_currentSoundId; }
  int32_t stopAllSounds() override;
  bool isAnySoundPlaying() override;
  void stopCurrentElementAnimations() override { stopElementAnimations(*this, m_currentElements); }
  const char* fatalError() const override { return m_fatalError[0] ? m_fatalError : nullptr; }
  // Sound control: ids 0-10 effects, 11-14 music.
  int32_t getCurrentSound() const { return m_currentSoundId; }
  void pauseMusic() {}
  void resumeMusic() {}
  void vibrate(int32_t /*milliseconds*/) {}
  void setVibrationTime(int32_t ms) { m_vibrationTime = ms; }
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
  GlRenderer m_renderer;

  // --- resources: the pack, reached by the 3D layer through its services
  GameResourceManager m_resources;
  GL3DServices m_3dServices;

  // --- keys
  KeyState m_keys;

  // --- work buffers
  int32_t m_workWords[2] = {};
  char m_textBuffer[32768] = {};
  uint32_t m_rowBuffer[8192] = {};

  // --- view rectangle
  int32_t m_viewPair[2] = {};
  int32_t m_viewRect[4] = {};  // x, y, w, h of the 3D view
  // --- 3D view: the camera, 100 more that nothing uses, the view distance
  Camera m_camera;
  Camera m_cameras[100];
  Q14 m_viewDistance3D = 0;

  // --- frame
  int32_t m_waitCounter = 0;
  uint32_t m_gameClock = 0;
  int32_t m_frontEndFrameCount = 0;
  int32_t m_paintFrameCount = 0;
  int32_t m_frameTime = 0;
  int32_t m_frameSpare = 0;
  uint32_t m_lastTick = 0;

  // --- screen effects and small drawing routines (cGameEffects.cpp).
  // Filter pixels are 0x00RRGGBB; strengths are in 1/128.
  struct ScreenFade {
    int32_t direction = 0;  // 0 fades in from black, else out to black
    int32_t length = 0;     // ms; 0 or -1 = off
    int32_t elapsed = 0;    // ms
  };
  static constexpr int32_t kBandBufferPixels = 32768;
  static constexpr int32_t kGlowBufferPixels = 10240;
  // An alpha byte of 0 paints nothing.
  // Row filters over n pixels.
  // Swings between two 0x00RRGGBB values with |sin| of the paint count.
  ScreenFade m_fade;
  uint32_t m_bandBuffer[kBandBufferPixels] = {};
  uint32_t m_glowBuffer[kGlowBufferPixels] = {};
  uint32_t m_pixelPair[2] = {};
  uint8_t m_drawSuppressed = 0;     // the small drawing routines draw nothing
  uint8_t m_alphaBars = 0;          // gradient rows as blended pixel rows
  uint8_t m_glowNoWriteBack = 0;    // glow computes but does not write
  uint8_t m_paintingOffscreen32 = 0;  // glow works on the band as it stands

  // --- touch: the fields are GameServices' (written by the host's touch glue)

  // --- state
  int32_t s_gameState = k_stateNone;
  int32_t m_subState = 0;
  int32_t m_stateSpare = 0;
  int32_t m_previousState = 0;
  int32_t m_inGame = 0;
  uint32_t m_stateEntryTime = 0;
  int32_t m_lastSlideX = 0;
  int32_t m_lastSlideY = 0;
  uint8_t m_screenFlags[4] = {};
  int32_t m_redrawCounters[2] = {};
  int32_t m_stateStack[k_stateStackSize] = {};
  int32_t m_stackDepth = 0;
  Graphics* m_paintTarget = nullptr;
  uint8_t m_secondBufferOn = 0;
  MutableImage* m_secondBufferImage = nullptr;
  Graphics* m_secondBufferGraphics = nullptr;
  uint8_t m_completionNoticeShown = 0;

  // --- interfaces (cGameInterfaces.cpp): the element lists of "interf.bar".
  // Element i of interface id; id -1 is the current interface. Accessors
  // given a bad id or index, or an element of another type, do nothing
  // (readers return 0).
  static constexpr int32_t k_interfaceCount = 69;
  static constexpr int32_t k_spriteSlotCount = 150;
  // Message queue and dialog box state the soft keys read.
  int16_t** m_interfaces[k_interfaceCount] = {};
  int32_t m_interfaceCounts[k_interfaceCount] = {};
  uint8_t* m_interfaceParamCounts[k_interfaceCount] = {};
  int16_t** m_currentElements = nullptr;
  int32_t m_currentElementCount = 0;
  int32_t m_currentInterface = -1;
  // The game's sprite banks (filled and emptied by the loading steps).
  ASprite* m_sprites[k_spriteSlotCount] = {};
  // Drawing targets: the back layer (the saved background's; null until it
  // exists) and the current target (the paint target; the screen outside a paint).
  Graphics* m_backLayer = nullptr;
  Graphics* currentTarget() { return m_paintTarget ? m_paintTarget : getGraphics(); }
  uint8_t m_loadingScreenUp = 0;
  uint8_t m_leftHanded = 0;      // soft-key labels swap sides
  uint8_t m_wideMessages = 0;    // the message box of element 31
  uint8_t m_singleSoftKey = 0;
  uint8_t m_matchPaused = 0;
  uint8_t m_noticePending = 0;   // of the interrupt notice
  int32_t m_noticeDisplay = 0;
  uint8_t m_paintingPubScenery = 0;

  // --- menu list (cGameMenu.cpp). Rows are consecutive text elements of
  // the current interface from the list element. The update gives 0 (nothing),
  // -1 (back) or the chosen entry's text id.
  void setMenuRows(const uint32_t* table, int32_t listElement, int32_t rows) {
    initMenu(*this, table, listElement, rows, true);
  }
  int32_t getMenuCount() const { return m_menu.count; }
  int32_t getMenuSelection() const { return m_menu.selection; }
  int32_t getMenuVisibleRows() const { return m_menu.rows; }
  int32_t getMenuFirstVisible() const { return m_menu.firstVisible; }
  void setMenuCentring(bool on) { m_menu.centred = on ? 1 : 0; }

  // --- front-end screen pattern (cGameFrontEnd.cpp; how to use: cGameFrontEnd.h)
  // First frame: capture over a match, interface, slide-in, menu, back
  // layer, music, selection -1, running sub-state.

  // --- loading (cGameLoadInit.cpp, cGameMainMenuLoading.cpp,
  // cGameGameLoading.cpp; the logo in cGameInterfaces/): one step a frame.
  static constexpr int32_t k_matchBankCount = 10;  // in-game banks A-J
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
  int32_t s_loadingStep = 0;
  int32_t m_loadingStepCount = 0;
  ASprite* m_matchBanks[k_matchBankCount] = {};
  SpriteAnimPlayer* m_matchPlayerH = nullptr;  // on bank H at (120, 0)
  SpriteAnimPlayer* m_matchPlayerI = nullptr;  // on bank I at (0, 0), inactive
  int32_t m_fontLineHeight[2] = {};
  ASprite* m_loadingBank = nullptr;
  SpriteAnimPlayer* m_loadingPlayer = nullptr;
  ASprite* m_logoBank = nullptr;
  SpriteAnimPlayer* m_logoPlayer = nullptr;
  uint32_t m_logoStartTime = 0;
  ASprite* m_unusedBank = nullptr;  // i.bar 0: parsed, never drawn
  MutableImage* m_savedBackground = nullptr;
  Graphics* m_savedBackgroundGraphics = nullptr;
  int32_t m_pendingReturnState = -1;
  uint8_t m_pendingSetByMatchLoading = 0;
  uint8_t m_firstLoad = 1;
  uint8_t m_soundQuestionAsked = 0;
  int32_t m_loadingHint = 0;
  uint8_t m_quitRequested = 0;  // the host was asked to quit (back on the first loading, the exit question)
  // Set by later screens; the match loading reads them.
  int32_t m_chosenCharacter[2] = {};  // characters picked for types 0 and 1
  int32_t m_playerCharacter[2] = {};  // characters of the match's players
  int32_t m_chosenRival = 0;           // rival character of other types
  int32_t m_rivalIndex = 0;            // career rival in the roster, 0-9
  int32_t m_tableIndex = 0;            // T, 0-8
  uint8_t m_matchDisplayFlag = 0;
  uint8_t m_matchAchievementFlag = 0;
  // Challenge demonstration hooks of the turn flow (cGameChallenge.cpp) and
  // the tutorial's checks (cGameTutorial.cpp).

  // --- menu
  MenuList m_menu;
  int32_t m_savedMenuSelection = 0;

  // --- message queue and dialog box (cGameMessages.cpp)
  void clearMessages() { m_messages.count = 0; }
  // Work-string helpers: "%t" is replaced at its first place only.
  MessageQueue m_messages;
  DialogBox m_dialog;

  // --- question (cGameInterfaces/Question.cpp): the yes/no screen and its
  // record. The action code says what a yes (17), a no (18) or back does;
  // the panel interface lends its panel so the question looks like its caller.
  QuestionScreen question;
  uint8_t m_menusOverMatch = 0;
  // Effects of the actions that belong to other topics: the shop's purchase
  // (cGameInterfaces/ShopItems.cpp), the tutorial (cGameTutorial.cpp), the
  // challenge demonstration (cGameChallenge.cpp), the push-out answers of the
  // turn flow (cGamePool.cpp).
  // --- shop operations (cGameInterfaces/ShopItems.cpp): equipped levels,
  // rating bars. Items 0-14: category item / 5, level item % 5 + 1.
  // --- shop screens (cGameInterfaces/Shop.cpp): the shop (270), the item
  // bought (330) and the two-page explanation (430); their record.
  ShopScreen shop;
  uint8_t m_challengeEnded = 0;         // the challenge's result is decided
  uint8_t m_bracketResumes = 0;         // the tournament bracket picks up where it was

  // --- start-up screens, main menu and options (cGameInterfaces/): the
  // sound question (30), the title (40), the main menu (50), the options (70)
  // The entry the main menu shows on a row when its list starts at first
  // (indexes wrap, hidden entries take no row); -1 when no entry is shown.
  MainMenuScreen mainMenu;
  uint8_t m_igmEntry199Shown = 0;

  // --- sound
  uint8_t m_soundEnabled = 0;
  int32_t m_currentSoundId = -1;
  int32_t m_currentMusicId = -1;
  int32_t m_lastSoundId = -1;
  uint32_t m_soundStartTime = 0;
  int32_t m_vibrationTime = 0;

  // --- match
  int32_t currentPlayer = 0;
  int32_t gameType = -1;

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
  int32_t leftSoftKeyText = -1;
  uint8_t touchHint = 0;
  uint32_t ballNumbersUntil = 0;
  uint8_t showBallNumbers = 0;
  uint8_t textBoxOn = 0;
  int32_t textBoxText = -1;
  int32_t textBoxPage = 0;
  uint8_t textBoxMorePages = 0;
  int32_t computerSkipCount = 0;
  uint8_t missNoticeArmed = 0;
  uint8_t missNoticeShown = 0;
  // What the table scene shows.
  uint8_t powerBarShown = 0;
  uint8_t cueShown = 0;
  uint8_t aimGuideShown = 0;
  uint8_t handShown = 0;
  uint8_t thinkingShown = 0;
  uint8_t spinSelectorShown = 0;
  uint8_t skipHintShown = 0;
  uint8_t hudHidden = 0;          // a screen over the match hides the HUD
  uint8_t menuRequest = 0;        // the stylus mapping asks for the in-game menu
  uint8_t backFromPower = 0;      // aiming again after leaving the power gauge
  uint8_t messageDone = 0;        // the last pushed message box was closed
  uint8_t messagePlayer = 0;      // the player a pushed message speaks for
  int32_t messageText = -1;       // text of the next pushed message box
  uint8_t coinTossPending = 0;
  uint8_t pushOutExplained = 0;
  uint8_t tutorialStarted = 0;
  uint8_t challengeDemo = 0;      // a challenge demonstration plays the shots
  uint8_t tutorialTextBoxOpen = 0;
  int32_t tutorialTextId = -1;
  uint8_t tutorialAwaitsTitle = 0;
  uint8_t computerPassed = 0;     // the computer passed after a push-out
  uint8_t missFlag = 0;
  uint8_t prizeShown = 0;
  uint32_t prizeTime = 0;
  int32_t betPosition = 0;        // 0 minimum bet, 1 between, 2 maximum
  Vector2 aiSpot{0, 0};           // where the computer put the cue ball in hand
  uint8_t aiPlacingDone = 0;
  // Tests: called with the state and step before each match step runs.
  void (*m_matchStepHook)(cGame& game, int32_t state, int32_t step) = nullptr;
  int32_t m_placementReturns = 0;  // a blocked computer placement went back to the break position
  Vector2 m_lastHand{0, 0};
  uint8_t m_skippedShot = 0;
  uint8_t m_fastThinking = 0;     // tests: the thinking animation does not hold the turn
  int32_t textBoxPages = 1;
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
  // think machine for the player at the table. A turn: updateAI(0, 0, false)
  // (or resetAI), then updateAI(aiState(), 1, frameDone) each frame until
  // aiState() is -1; aiPassed() then tells a pass from a shot.
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
  struct PottedBalls {
    static constexpr int32_t kMax = 9;
    int32_t count = 0;
    int32_t balls[kMax] = {};
    SpriteAnimPlayer* players[kMax] = {};
  } m_potted[2];
  ASprite* m_poolBanks[k_poolBankCount] = {};
  // --- small 3D ball view (cGameBallView.cpp)
  // Mode -1: the pocket camera; any other: the follow camera. Places the
  // camera and draws the table; false when no camera could be placed.
  // Plays the current shot out on the shadows; the ball (table index) that
  // comes closest to a pocket, or -1.
  int32_t ballViewCount = 0;
  GL3DTexture* m_tableTexture = nullptr;
  GL3DTexture* m_ballTextures[16] = {};
  ManagedResource<GL3DASEFileResource>* m_tableModel = nullptr;
  ManagedResource<GL3DASEFileResource>* m_ballModel = nullptr;
  ManagedResource<GL3DASEFileResource>* m_heldModel = nullptr;
  MutableImage* m_renderImage = nullptr;
  int32_t predictedSlot = -1;
  int32_t potCountdown = -1;
  int32_t followedSlot = 0;
  int32_t m_viewBox[4] = {};
  // Camera point over the table (view units), angles (Q14 degrees).
  int32_t m_ballCameraX = 0, m_ballCameraY = 0;
  Q14 m_ballYaw = 0, m_ballPitch = 0, m_ballRoll = 0;
  int32_t potTarget[2] = {};
  struct BallViewSlots {
    static constexpr int32_t kCount = 32;
    uint8_t visible[kCount] = {};
    Q14 directionX[kCount] = {};
    Q14 directionY[kCount] = {};
    int32_t number[kCount] = {};
    int32_t x[kCount] = {};  // view units
    int32_t y[kCount] = {};
  } m_ballSlots;
  uint8_t ballViewOpen = 0;
  int32_t panelX = 67;
  int32_t hudHint = -1;
  int32_t panelExpression[2] = {-1, -1};
  uint32_t matchStartTime = 0;
  uint8_t altPanelLayout = 0;
  int32_t opponentSlot = 0;  // career rival slot; 10 is the special rival
  int32_t challengeNumber = 0;
  int32_t lessonNumber = 0;

  // --- challenges (cGameChallenge.cpp): the prize of each place within a
  // category, the stored demonstration's current shot and its words.
  static constexpr int32_t k_challengePrizes[8] = {50, 75, 100, 125, 150, 175, 200, 250};
  int32_t s_challengeDemoCurrentShot = 0;
  // The state word of a challenge (low 2 bits 0 locked, 1 open, 2 won; the
  // failed attempts above them); a number out of range gives a scratch word.
  int32_t challengeCategory = 0;    // 0-3, chosen on the categories screen
  int32_t challengeDemoTimer = 0;   // ms of the demonstration's current step
  int32_t m_scratchChallengeState = 0;

  // --- challenge screens (cGameInterfaces/Challenges.cpp): the categories
  // (170) and the eight challenges of one category (180).
  int32_t m_challengeListFirst = 0;  // the first visible row as last seen

  // --- tutorial (cGameTutorial.cpp): the lesson's set-up, its coach's
  // messages and text box, and what follows a lesson's shot.
  int32_t tutorialTarget = -1;      // the ball whose aim is still to be reached, -1 none
  int32_t tutorialTextPage = 0;
  int32_t tutorialTextPages = 1;
  uint8_t tutorialTextMorePages = 0;
  int32_t m_savedGameType = -1;     // the match the tutorial was started from
  int32_t m_savedRuleSet = 0;

  // --- achievements (cGameAchievements.cpp; the unlocked set is the saved
  // m_achievementMask). Notices slide in over any screen; a category that
  // reaches 100 percent queues a completion notice.
  static constexpr int32_t k_achievementCount = 30;
  static constexpr int32_t k_achievementCategories = 3;
  static constexpr int32_t k_noticeSlots = 5;
  static constexpr int32_t k_noticeFrames = 40;
  static constexpr int32_t k_noticeStep = 20;
  static constexpr int32_t k_noticeStartX = 240;
  // unlockAchievement is with the pool hooks above.
  // The bank slot of a category's badge (where it lives now).
  struct NoticeSlot {
    int32_t frames = 0;   // left; 0 = free
    int32_t id = -1;
    int32_t targetX = 0;  // the plate's authored x
  };
  uint32_t m_achievementShown = 0;
  NoticeSlot m_noticeSlots[k_noticeSlots];
  int32_t m_achievementPercent[k_achievementCategories] = {};
  int32_t m_completionQueue[k_achievementCategories] = {-1, -1, -1};
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
  struct AimGuide {
    static constexpr int32_t kMaxPoints = 150;
    static constexpr int32_t kMaxSteps = 4000;  // preview steps of one guide
    int32_t points[2 * kMaxPoints] = {};
    int32_t pointWords = 0;  // two a point
    int32_t ghostX = 0, ghostY = 0;
    int32_t cueEndX = 0, cueEndY = 0;
    int32_t objectBall = -1;  // ball number hit first, -1 none
    int32_t objectX = 0, objectY = 0;
    int32_t objectEndX = 0, objectEndY = 0;
    uint32_t firstContactType = 0;  // 0 none
    uint8_t hasContact = 0;
    int32_t previewRuns = 0;  // previews run so far
    // The view's offset the points were taken at: the table view slides
    // between the players' sides, and the guide is drawn shifted with it.
    int32_t originX = 0, originY = 0;
  };
  static constexpr int32_t k_rotateScratchPixels = 32768;  // 128 KB of ARGB
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
  AimGuide m_guide;
  uint32_t m_rotateScratch[k_rotateScratchPixels] = {};
  uint32_t panelExpressionTime[2] = {};
  uint8_t panelRedraw = 1;
  int32_t hudOffset = 0;        // x of the HUD interface: 0 for player 0, -61 for player 1
  uint8_t ballHighlight = 0;    // the last group ball or lowest ball gets a ring
  uint8_t cueBallOnly = 0;      // only the cue ball and its shadow are drawn
  uint8_t handDragActive = 0;   // the ball in hand follows the pen and is not drawn on the table

  // --- save: m_noSpaceState is GameServices'

  // --- sprite-bank scratch shared by every bank. The option bytes and the
  // screen graphics live in the services record that the banks read.
  uint32_t m_decodeBuffer[SpriteServices::kDecodeBufferWords] = {};
  int32_t m_sharedRect[4] = {};
  SpriteServices m_spriteServices;

  // --- random
  Random* m_random = nullptr;

  // --- version
  char m_version[10] = {};

  // --- flags
  // m_interrupted is GameServices'
  uint8_t m_suspended = 0;
  uint8_t m_interfaceAnimations = 0;

  // --- data files: named archives, save file, text table, text drawing
  // Named archives (forwarded to m_archives).
  // The reader owns the buffer from now on; reads past size give 0.
  // An archive is unpacked whole when it opens: no entry waits to be
  // preloaded, and nothing is left to unpack.
  void preloadBarEntry(int32_t /*entry*/) {}
  static int32_t getBarBytesToUnpack() { return 0; }
  // An entry of the open archive that is missing or that its reader refused.
  char m_fatalError[200] = {};
  cGameResources m_archives;             // the ".bar" reader
  BarArchive& m_bar = m_archives.m_bar;   // its open archive
  FieldReader m_reader;
  uint8_t* m_workBuffer = nullptr;  // 32,768 bytes on demand

  // Save file "save.sav".
  // A save that could not be read or written: the player is told as for
  // short storage (the notice, then saving stays off for the run).
  // Every write rewrites the whole file at once: nothing waits to be flushed
  // or synced.
  void flushSaveFile() {}
  void syncSaveRecord(int32_t /*id*/) {}
  // The records as the game holds them, into a zeroed 100-byte slot.
  // Free storage in bytes (the shell's figure unless a test sets one).
  uint8_t* m_saveImage = nullptr;
  uint8_t m_saveHeld = 0, m_saveWanted = 0;
  uint8_t* m_record4 = nullptr;
  int32_t m_freeSpaceOverride = -1;
  uint8_t m_option6 = 0, m_option7 = 0, m_option8 = 0;
  uint8_t m_characterAvailable[10] = {};
  uint32_t m_achievementMask = 0;
  uint32_t m_achievementCounter = 0;
  // Settings bytes 21-24: the career-complete screen was shown, the tutorial-exit
  // flag, the special rival is open, the first quick match is still to come.
  uint8_t careerCompleteShown = 0, m_tutorialLeft = 0, specialRivalOpen = 0, m_firstQuickMatch = 0;
  struct CareerProgress {
    uint8_t started = 0;
    int32_t character = 0;
    uint8_t won[10] = {};
    int32_t challengeStates[4][8] = {};
    uint32_t money = 0, boughtMask = 0;
    uint8_t shopExplanationPending = 0;
    uint32_t equippedMask = 0, counterA = 0;
    uint8_t flagB = 0;
    uint32_t counterC = 0, counterD = 0, counterE = 0;
    uint8_t specialRivalBeaten = 0;
    // A career win's unlocks wait here until their screens have been shown:
    // the beaten rival slot + 1 (1-8) and the beaten slot (0-7).
    int32_t pendingUnlockSlot = 0, pendingChallengeIndex = 0;
    uint8_t pendingCharacterUnlock = 0, pendingChallengeUnlock = 0;  // bytes 183, 184
  } m_career;
  int32_t m_equippedLevel[3] = {};
  int32_t m_pubSpot = 0;

  // Text table "text.bar", work string and scratch rings.
  // One text table serves every language: the same copy, the same id.
  static int32_t getLocalisedStringId(int32_t id) { return id; }
  void resetLanguage() { m_text.language = 0; }
  static const char* getLanguageCode() { return "EN"; }
  TextTableData m_text;

  // Text markup and drawing (fonts are sprite banks indexed by font number).
  ASprite* m_fonts[TextLayoutData::kMaxFonts] = {};
  // Makes map (size bytes, a new[] block the game then owns) the character
  // map of the game and its fonts; one too short for the 256 codes is
  // refused (freed, false) and the fonts go without.
  uint8_t* m_charMap = nullptr;  // 16-bit glyph frames by character code
  int32_t m_charMapCount = 0;
  TextLayoutData m_layout;

  // --- stylus mapping (cGameStylus.cpp): touches become this frame's keys
  // True when the pen-down (pen-up) point lies in the layout rectangle; a
  // hit sets the pointer-hit byte, and with consume removes the point.
  // The pen-down test under a second name.
  bool isPointerDownIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
    return isPointerPressedIn(*this, x, y, w, h, consume);
  }
  // Stake screen: applies the stake level (touching a level calls it).
  uint8_t m_pointerHit = 0;
  uint8_t m_leftSoftHighlight = 0;
  uint8_t m_fireHighlight = 0;
  uint8_t m_leftArrowHighlight = 0;
  uint8_t m_rightArrowHighlight = 0;
  uint8_t m_upArrowHighlight = 0;
  uint8_t m_downArrowHighlight = 0;
  uint8_t m_rightSoftHighlight = 0;
  uint8_t m_spinButtonHighlight = 0;
  uint32_t m_delayedSelectTime = 0;  // rule-set choice: when a row was touched
  int32_t m_messageTime = -1;        // when the message box opened; -1 after a confirm
  // Read by the mapping, set by the screens and the match.
  int32_t stakeLevel = 0;             // 0-7
  int32_t previousStakeLevel = -1;
  int32_t skippedSeat = 0;            // stake picture left out for the career character
  int32_t breakChoiceView = 0;        // 0 menu, 1 looking at the table
  int32_t igmInvisibleOptions = 0;    // hidden rows of the in-game menu
  uint8_t spinButtonHidden = 0;
  uint8_t spinArrowsLocked = 0;
  int32_t cueAimAngle = 0;            // Q14 degrees, as last drawn with the cue
  int32_t cueScreenX = 0;
  int32_t cueScreenY = 0;
  int32_t ruleSet = 0;                // 1 = UK
  int32_t playerProfile[2] = {-1, -1};  // computer profile of each player, -1 human
  uint8_t ballInHandInD = 0;
  int32_t handX = 0;                  // Q14 table units of the ball in hand
  int32_t handY = 0;

  // --- match set-up (cGameInterfaces/MatchSetup.cpp) and match start
  // (cGameInterfaces/MatchStart.cpp).
  // The character cycle of the choice screens: one step up (+1) or down (-1).
  // Stake level of a rival slot (the special rival plays at the top level).
  // The bet's limits: the level's minimum and maximum, cut to the money.
  int32_t nextTable = 1, previousTable = 8;
  uint8_t fromHelp = 0;               // the rule-set choice came from help
  int32_t helpSubject = 0;
  uint8_t rivalMatch = 0;             // the next career match is the rival match
  uint8_t stakeUp = 0;                // the next stake screen starts one level up
  uint8_t stakeNoticeShown = 0;       // not enough money for the stake
  int32_t m_stakeHighlight[4] = {};
  int32_t m_stakeSeats[8] = {};
  int32_t currentBet = 0;
  int32_t tossPhase = 0;              // 0 choosing, 1 spinning
  int32_t tossCall = 0;               // 0 the first coin, 1 the second
  int32_t tossFrames = 0;

  // --- career hub (cGameInterfaces/Pub.cpp): the career character choice
  // (150), the introduction (160) and the pub (110), a wide scene scrolled
  // between six spots with the beaten rivals seated in it.
  // Scroll position of a spot (pixels).
  // Opens the screen of a pending unlock; false when none is pending.
  // The glow amount of the current spot's objects at a paint count.
  PubScreen pub;
  uint8_t m_touchPrompt = 0;

  // --- tournaments (cGameInterfaces/Tournament.cpp: the choice 140, the
  // field choice 410, the opponent pick 190 and its confirmation 420;
  // cGameInterfaces/TournamentBracket.cpp: the bracket 200 and the prize
  // 390). The draw itself is cGamePlay/Tournament.h.
  // A won cup's prize into the money, saved; however the bracket is left.
  // Picks dropped, the pick screen's slots laid out again for the level.
  // The cursor to the next seat (+1) or the previous one (-1) that holds an
  // unpicked character; it stays when there is none.
  Tournament m_tournament;

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
  int32_t stateUnderMenu() const { return m_stackDepth > 0 ? m_stateStack[m_stackDepth - 1] : -1; }
  InGameMenus inGameMenus;

  // --- match result and career progression (cGameInterfaces/MatchResult.cpp:
  // the after-match screen 280 and the unlock check; cGameInterfaces/Unlocks.cpp:
  // the announcements 340 and 350, the special rival and the career end 440).
  static constexpr int32_t k_resultLineMs = 1900;
  static constexpr int32_t k_resultCountMs = 1400;
  // The value a score line shows now (counting up while it is the current line).
  MatchResultScreens matchResult;

  const cGameScreenTable* m_frontEndScreens;
  const cGameScreenTable* m_inGameScreens;
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
