// The game object: every screen, the match in play, the loaded resources and
// the per-frame loop. Its methods are grouped by topic into the cGame*.cpp
// files of this folder and of the folders beside it.
#pragma once

#include <cstdint>

#include "game/GameResourceManager/GameResourceManager.h"
#include "game/Korvane/cGame/KeyState.h"
#include "game/Korvane/cGame/MenuList.h"
#include "game/Korvane/cGame/MessageQueue.h"
#include "game/Korvane/cGame/Random.h"
#include "game/Korvane/cGame/cGameData.h"
#include "game/Korvane/cGame/cGameFrontEnd.h"
#include "game/Korvane/cGame/cGameResources.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGamePoolHooks.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "game/Korvane/cGamePlay/MatchSetup.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "game/Korvane/cGamePlay/RuleState.h"
#include "game/Korvane/cGamePlay/Tournament.h"
#include "game/Korvane/cGameInterfaces/Achievements.h"
#include "game/Korvane/cGameInterfaces/Help.h"
#include "game/Korvane/cGameInterfaces/InGameMenu.h"
#include "game/Korvane/cGameInterfaces/MainMenu.h"
#include "game/Korvane/cGameInterfaces/MatchResult.h"
#include "game/Korvane/cGameInterfaces/Pub.h"
#include "game/Korvane/cGameInterfaces/Question.h"
#include "game/Korvane/cGameInterfaces/Shop.h"
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

  // Entries of other topics that the frame step, the state machine and init
  // call: the stylus mapping (cGameStylus.cpp), the match's update and paint
  // (cGamePool.cpp, cGamePoolPaint.cpp), start-up loading (cGameLoadInit.cpp),
  // the in-game menu (cGameInterfaces/InGameMenu.cpp), music
  // (cGameSoundControl.cpp), the resource pack index (cGame.cpp) and the
  // table's objects (cGameTable.cpp).
  void mapPointerToKeys();
  void mapScreenTouches();
  void updateInGame();
  void paintInGame(Graphics* target);
  bool updateLoadInit();
  bool isMatchOnHold();
  void playMusic(int32_t id);
  void loadResourceIndex();
  void createGameObjects();
  void releaseGameObjects();

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
  // The 56 x 104 view at (x, y): viewport, projection (60 degrees, aspect
  // aspectW / aspectH, near 163, far 400.0) and view distance 30.0.
  void setViewport3D(int32_t x, int32_t y, int32_t aspectW, int32_t aspectH);
  // Camera at (a1, a3, -a2) with angles (a5, a4 - 90, a6); its view goes onto
  // the current GL matrix and the renderer draws with it.
  void lookAt3D(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6);

  // What the host and the applet use (cGameServices.cpp).
  TouchMode touchMode() const override;
  void updateKeys() override { m_keys.update(); }
  bool isAnyKeyPressed() const override { return m_keys.isAnyPressed(); }
  bool isKeyPressed(uint32_t mask) const override { return m_keys.isPressed(mask); }
  bool isSoundEnabled() const override { return m_soundEnabled != 0; }
  int32_t currentSoundId() const override { return m_currentSoundId; }
  int32_t stopAllSounds() override;
  bool isAnySoundPlaying() override;
  void stopCurrentElementAnimations() override { stopElementAnimations(m_currentElements); }
  const char* fatalError() const override { return m_fatalError[0] ? m_fatalError : nullptr; }
  // Sound control: ids 0-10 effects, 11-14 music.
  void initSound();
  void loadSound(int32_t id);
  static const char16_t* getSoundFileName(int32_t id);
  int32_t playSound(int32_t id, int32_t loop, int32_t volume, int32_t volume2);
  void startSound(int32_t id, int32_t loop, int32_t volume, int32_t volume2);
  bool isSoundPlaying(int32_t id);
  int32_t getCurrentSound() const { return m_currentSoundId; }
  void pauseMusic() {}
  void resumeMusic() {}
  void vibrate(int32_t /*milliseconds*/) {}
  void setVibrationTime(int32_t ms) { m_vibrationTime = ms; }
  void requestImpactVibration(int32_t strength);
  void updateVibration();
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
  void resetEffects();
  void startFade(int32_t length, int32_t direction);
  void stopFade();
  bool updateFade();
  void paintFade(Graphics* g);
  void paintFadeRect(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h);
  // An alpha byte of 0 paints nothing.
  void fillRectAlpha(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb);
  void glowArea(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strengthH, int32_t strengthV,
                int32_t gain);
  void glowPixels(int32_t w, int32_t h, uint32_t* pixels, int32_t strengthH, int32_t strengthV, int32_t gain);
  void greyArea(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strength);
  void blurArea(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, bool rightward, int32_t strength);
  // Row filters over n pixels.
  static void filterGrey(uint32_t* pixels, int32_t n, int32_t s);
  static void filterSmoothLeft(uint32_t* pixels, int32_t n, int32_t s);
  static void filterSmoothRight(uint32_t* pixels, int32_t n, int32_t s);
  static void filterSmoothGrey(uint32_t* pixels, int32_t n, int32_t s1, int32_t s2);
  static void filterWarmBrighten(uint32_t* pixels, int32_t n, int32_t s);
  static void filterYellowBrighten(uint32_t* pixels, int32_t n, int32_t s);
  static void filterBrighten(uint32_t* pixels, int32_t n, int32_t s);
  static void filterBrightenSmooth(uint32_t* pixels, int32_t n, int32_t s);
  // Swings between two 0x00RRGGBB values with |sin| of the paint count.
  uint32_t pulse(int32_t period, uint32_t from, uint32_t to) const;
  uint32_t pulseColour(int32_t period, uint32_t rgbA, uint32_t rgbB) const { return pulse(period, rgbA, rgbB); }
  void drawAlphaPixel(Graphics* g, int32_t x, int32_t y, uint32_t rgb, int32_t alpha);
  void drawSmoothLine(Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb);
  void drawSmoothLineAlpha(Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb,
                           int32_t alpha1, int32_t alpha2);
  void drawSmoothCircle(Graphics* g, int32_t cx, int32_t cy, int32_t r, uint32_t rgb);
  void drawGradientColumn(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgbTop,
                          uint32_t rgbBottom, int32_t step);
  void drawGradientBar(Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb1, uint32_t rgb2);
  static int32_t easeTowards(int32_t current, int32_t target, int32_t rate);
  static int32_t isqrt(int32_t x);
  static Vector2 rotateVector(const Vector2& v, int32_t angle);  // Q14 degrees
  static int32_t angleDifference(int32_t a, int32_t b);
  static int32_t wrapAngle(int32_t a);
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
  void loadInterfaces();
  // Builds interface id from the records of one entry (whole records only).
  // False when the records do not fill the entry (what is left is damaged).
  bool loadInterface(int32_t id, const uint8_t* data, int32_t size);
  void freeInterfaces();
  void selectInterface(int32_t id);
  int16_t* getInterfaceElement(int32_t id, int32_t i) const;
  int32_t getInterfaceElementCount(int32_t id) const;
  // Parameters of the element's record in the file (it keeps at least as
  // many as its type reads).
  int32_t getElementParamCount(int32_t id, int32_t i) const;
  void armElementAnimations(int16_t** elements, bool arm);
  void startInterfaceAnimation();
  void resetInterfaceAnimation(bool arm);
  void startInterfaceAnimationById(int32_t id);
  // Clears the slide-in timers of the sprite and text elements of an array.
  void stopElementAnimations(int16_t** elements);
  void updateInterfaceTimers();
  void paintInterfaceAt(int32_t dx, int32_t dy, bool backLayerPass);
  void paintInterfaceLayer(bool backLayerPass);
  void paintInterface();
  void paintSpriteElementTo(int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target);
  void paintSpriteElement(int32_t i, bool backLayerPass);
  void paintSpriteElementAt(int32_t i, int32_t dx, int32_t dy, bool backLayerPass);
  void paintSpriteElementAltPalette(int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target,
                                    bool forcePalette1);
  void paintRectElement(int32_t i, int32_t dx, int32_t dy, bool backLayerPass);
  void paintPanelElement(int16_t* e);
  int32_t getElementX(int32_t i);
  int32_t getInterfaceElementX(int32_t id, int32_t i);
  int32_t getElementY(int32_t i);
  int32_t getInterfaceElementY(int32_t id, int32_t i);
  void setElementX(int32_t id, int32_t i, int32_t v);
  void setElementY(int32_t id, int32_t i, int32_t v);
  int32_t getElementWidth(int32_t i);
  int32_t getInterfaceElementWidth(int32_t id, int32_t i);
  int32_t getElementHeight(int32_t i);
  int32_t getInterfaceElementHeight(int32_t id, int32_t i);
  int32_t getElementFont(int32_t i);
  int32_t getInterfaceElementFont(int32_t id, int32_t i);
  void setElementVisible(int32_t i, bool on);
  void setInterfaceElementVisible(int32_t id, int32_t i, bool on);
  bool isElementVisible(int32_t i);
  int32_t getInterfaceElementAnim(int32_t id, int32_t i);
  void setElementFrame(int32_t i, int32_t frame);
  void setInterfaceElementFrame(int32_t id, int32_t i, int32_t frame);
  void setElementAnim(int32_t i, int32_t anim);
  void setInterfaceElementAnim(int32_t id, int32_t i, int32_t anim);
  void setElementPalette(int32_t i, int32_t palette);
  void setInterfaceElementSprite(int32_t id, int32_t i, int32_t bank);
  void copyInterfacePanel(int32_t from, int32_t to);
  int32_t getElementAlignFlags(int32_t i);
  // Text boxes: str null draws text id textId; -1 for font, palette or
  // hAlignOverride takes the element's own. True on the last page.
  bool paintTextElement(int32_t i, int32_t font, const char* str, int32_t len, int32_t textId, int32_t dx,
                        int32_t dy, int32_t palette, int32_t extraFlag, int32_t hAlignOverride);
  bool drawElementText(int32_t i, int32_t textId);
  bool drawElementTextFlags(int32_t i, int32_t textId, int32_t flag);
  bool drawElementString(int32_t i, const char* str);
  bool drawElementStringFlags(int32_t i, const char* str, int32_t flag);
  bool drawElementStringLen(int32_t i, const char* str, int32_t len, int32_t palette);
  bool drawElementStringStyled(int32_t i, const char* str, int32_t len, int32_t palette, int32_t hAlign);
  bool drawElementTextRaw(int32_t i, const char* str, int32_t len, int32_t textId, int32_t dx, int32_t dy,
                          int32_t palette);
  bool drawElementTextWithFont(int32_t i, int32_t font, const char* str, int32_t len, int32_t textId, int32_t dx,
                               int32_t dy, int32_t palette, int32_t flag);
  // Lays text id out in the element's box (nothing painted): the page count.
  int32_t drawElementWrappedText(int32_t i, int32_t textId);
  void updateMenuArrows(int32_t a, int32_t b, bool horizontal);
  // Shows the scroll arrows of the current list only where it has more rows.
  void showMenuScrollArrows(int32_t up, int32_t down);
  void paintSoftKeys(int32_t leftTextId, int32_t rightTextId);
  void paintSoftKeysAt(int32_t leftTextId, int32_t rightTextId, int32_t y);
  // Message queue and dialog box state the soft keys read.
  bool isMessageQueued();
  bool isDialogBoxOpen();
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
  void initMenu(const uint32_t* table, int32_t listElement, int32_t rows, bool clearFlags);
  void setMenu(const uint32_t* table, int32_t listElement) { initMenu(table, listElement, -1, true); }
  void setMenuRows(const uint32_t* table, int32_t listElement, int32_t rows) {
    initMenu(table, listElement, rows, true);
  }
  void setMenuCount(int32_t n);  // 0-100
  int32_t getMenuCount() const { return m_menu.count; }
  void clearMenuFlags();
  void setMenuEntryFlags(uint32_t textId, uint32_t flags) { setMenuEntryFlagsIn(nullptr, textId, flags); }
  void setMenuEntryFlagsIn(const uint32_t* table, uint32_t textId, uint32_t flags);
  uint32_t getMenuEntryFlags(uint32_t textId) const { return getMenuEntryFlags(nullptr, textId); }
  uint32_t getMenuEntryFlags(const uint32_t* table, uint32_t textId) const;
  int32_t countHiddenMenuEntries();
  void selectMenuEntryById(uint32_t textId);
  int32_t getMenuSelection() const { return m_menu.selection; }
  int32_t getMenuVisibleRows() const { return m_menu.rows; }
  int32_t getMenuFirstVisible() const { return m_menu.firstVisible; }
  void setMenuCentring(bool on) { m_menu.centred = on ? 1 : 0; }
  int32_t updateMenu();
  int32_t updateMenuSmooth();
  void scrollMenuToSelection();
  void paintMenu();

  // --- front-end screen pattern (cGameFrontEnd.cpp; how to use: cGameFrontEnd.h)
  // First frame: capture over a match, interface, slide-in, menu, back
  // layer, music, selection -1, running sub-state.
  void setUpScreen(const FrontEndScreen& screen);
  // Every frame: the slide-in timers, then the list (0 nothing, -1 back, the
  // chosen text id); 0 without a list or when runMenu is false.
  int32_t updateScreen(bool runMenu = true);
  // Back button (right soft key) frames 14 / 17 and the left button 16 / 15
  // by the touch highlights; -1 for a screen without one.
  void setButtonFrames(int32_t backButton, int32_t leftButton);
  // Saved background, the buttons' frames and the front layer.
  void paintScreen(Graphics* g, int32_t backButton, int32_t leftButton);
  // Blinking texts show for the second half of every second of game time.
  bool isBlinkOn() const;
  // setInGameState over a match (the paused match's stack stays), else setState.
  void goToScreen(int32_t state);

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
  ASprite* makeBank(int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource = nullptr);
  ASprite* parseBank(int32_t entry);
  void buildBank(ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource);
  void fillSprite(int32_t slot, int32_t entry, int32_t build, bool alpha, bool freeData);
  void freeSprite(int32_t slot);
  void freeSprites();
  void freeMatchBanks();
  void updateMainMenuLoading();
  void paintMainMenuLoading(Graphics* g);
  void updateGameLoading();
  void paintGameLoading(Graphics* g);
  void runMainMenuLoadingStep(int32_t step);
  void runGameLoadingStep(int32_t step);
  bool isLoadingAnimationOver() const;
  bool isSpriteKept(int32_t slot);
  void freeUnusedSpritesForMatch();
  void freeMatchResources();
  void startMatch(int32_t type, int32_t character0, int32_t character1);
  // The profile of the computer player of a match of the game type against
  // the character, by the rival's rank: 0 the weakest, 10 the strongest;
  // -1 when both players are human.
  int32_t getOpponentProfile(int32_t type, int32_t character);
  void pickLoadingHint();
  void paintLoadingBar(Graphics* g, int32_t y);
  void paintMainMenuLoadingScreen(Graphics* g);
  void paintGameLoadingScreen(Graphics* g);
  void enterGameLoading();
  void captureTableBackground();
  // The saved background over the target's image (only what both hold).
  void drawSavedBackground(Graphics* g);
  // The same, scrolled left by n pixels with wrap-around (16-bit images).
  void drawSavedBackgroundScrolled(Graphics* g, int32_t n);
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
  // The table scene (cGamePoolPaint.cpp) and the rival of a career slot
  // (cGameInterfaces/MatchSetup.cpp).
  void paintTableScene(Graphics* g);
  // Challenge demonstration hooks of the turn flow (cGameChallenge.cpp) and
  // the tutorial's checks (cGameTutorial.cpp).
  void updateChallengeDemoAim();
  void updateChallengeDemoPower();
  void updateChallengeDemoSpin();
  void setChallengeDemoAim();
  void setChallengeDemoSpin();
  Q14 getChallengeDemoPower();
  void updateChallengeAfterShot();
  void checkTutorialAimTarget();
  void checkTutorialShotResult();
  void onTutorialAimInverted();
  void onTutorialMasse();
  bool tutorialSpinLocked();
  bool tutorialMasseLocked();
  void openTutorialSpinText();
  void updateTutorialTextBox();
  void clearTutorialWait();
  void returnFromTutorial();
  int32_t getTutorialLessonText(int32_t word);

  // --- menu
  MenuList m_menu;
  int32_t m_savedMenuSelection = 0;

  // --- message queue and dialog box (cGameMessages.cpp)
  void addMessageEx(int32_t kind, const char* str, int32_t life, int32_t extra);
  void addMessage(int32_t kind, const char* str, int32_t life) { addMessageEx(kind, str, life, -1); }
  void addTextMessageEx(int32_t kind, int32_t textId, int32_t life, int32_t extra);
  void addTextMessage(int32_t kind, int32_t textId, int32_t life) { addTextMessageEx(kind, textId, life, -1); }
  void removeMessage(int32_t i);
  void clearMessages() { m_messages.count = 0; }
  void updateMessages();
  void paintMessages(Graphics* g);
  int32_t layoutMessage(int32_t i);
  void showDialogBox(int32_t kind, const char* title, const char* body);
  int32_t updateDialogBox();
  void paintDialogBox(Graphics* g);
  // Work-string helpers: "%t" is replaced at its first place only.
  void loadTextToBuffer(int32_t textId) { textBufferSetString(textId); }
  void replaceTextTagWithString(const char* str);
  void replaceTextTagWithText(int32_t textId);
  void substitutePlayerNames(int32_t textId);
  const char* getPlayerName(int32_t player);
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
  void startTutorial(int32_t lesson);
  void launchChallengeDemo();
  void answerPushOutOffer(bool take);   // action 9
  void answerPushOutPlay();             // action 10
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

  // --- match: its set-up and the player at the table, read by the rules
  // and the opponent in place
  MatchSetup match;
  int32_t& currentPlayer = match.currentPlayer;
  int32_t& gameType = match.gameType;

  // --- turn and match flow (cGamePool.cpp, cGamePoolPaint.cpp): the match
  // states 500-820, the screens over a match, the HUD slide, the frame end
  void chooseNextTurnState();
  void slideHudPanel();
  bool isTopRivalOfClassA();
  bool isTopRivalOfClassB();
  bool isComputerPlayer(int32_t player) const {
    return player >= 0 && player < 2 && playerProfile[player] != -1;
  }
  bool isComputerAtTable() const { return isComputerPlayer(currentPlayer); }
  // Soft keys of the table: right soft (0x20000 with the alternative layout)
  // and the menu key (0x40000 with it).
  uint32_t rightSoftMask() const;
  uint32_t menuSoftMask() const;
  bool isHudAtTarget() const;
  // A message of the queue waits to be dismissed by a key.
  bool isMessageWaiting() const;
  // A box over the table that a key closes: a waiting message or the dialog.
  // Touches on the table go to it, and a key it takes does nothing else.
  bool isBoxOverTable() const;
  bool isScratchHoldRunning() const;
  // Ball in hand: the allowed area of the current placement, a free place in
  // it, and the cue ball back in play wherever it lay.
  bool isInHandArea(const Vector2& p) const;
  bool isInHandAreaUnrestricted(const Vector2& p) const;
  bool isPlaceFree(const PhysicalObject& ball) const;
  bool findFreePlace(PhysicalObject& ball, Q14 x, Q14 y);
  void returnCueBallToPlay();
  void startBallInHand();
  void placeSecondLagBall();
  void runMatchStep(int32_t state, int32_t step);
  // Queues what the lag is for and how it is played, at its first shot.
  void announceLag();
  void startNewMatch();
  // The match loading read a table and, when a computer plays, its profiles.
  bool isMatchDataLoaded() const;
  void startDispatch();
  void updateOpponentIntro();
  void updateStroke();
  void startBallsMoving();
  void enterAfterShot();
  void updateComputerShot();
  void startThinking();
  bool isThinkingOver() const;
  // A message box pushed over the current state, speaking for a player.
  void showMessageBox(int32_t player, int32_t textId);
  // The row of a screen run over the match (in-game table first).
  const cGameScreen* findMatchScreen(int32_t state) const;
  // Rules operations the flow calls.
  void assignGroups(int32_t solidsPlayer, int32_t stripesPlayer);
  void switchPlayer();
  void updateFrameWon();
  void updateResultLines();
  void updateAfterShot();
  void updateBallsMoving();
  void updateAiming();
  void updatePower();
  void updateSpin();
  void updateComputerBallInHand();
  void updateBallInHand();
  void enterFrameWon();
  void enterResultLines();
  void leaveBallsMoving();
  void openTextBox(int32_t textId);
  void paintTextBox(Graphics* g);
  void paintBallNumbers(Graphics* g);
  void paintTouchHint(Graphics* g);
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
  void loadTable();
  void loadTableGroup(int32_t group);
  void createTableObject(int32_t group, int32_t record, int32_t kind);
  void freeTable();
  void resetMatchState();
  void initFrame(bool newMatch);
  void initRack();
  void initLag();
  // Ball looks for the rule set, the rack's layout and its jitter.
  void rackBalls();
  void placeBalls();
  void setBallSprites();
  void setBallSpritesUK();
  void prepareFirstShot();
  void setBallRollFrames() { m_world.setBallRollFrames(); }
  void jitterRack() { m_world.jitterRack(); }
  void addPottedBall(int32_t ball, int32_t player);
  void clearPottedBallLists();
  int32_t getPlayerGroup(int32_t player) const;
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
  int32_t getMaxPower() const;
  void strikeCueBall(PhysicalObject* ball, bool preview);
  void recordShotEvent(PhysicalObject* a, PhysicalObject* b) { m_world.shot.recordEvent(a, b); }
  void setShadowFullSpeed() { m_world.setShadowFullSpeed(); }
  void aimAtBall(int32_t n, bool force = false);
  // Hooks of the pool classes.
  void onContact(PhysicalObject* first, PhysicalObject* second);
  void unlockAchievement(int32_t id);
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
  void queueRuleMessage(int32_t text, int32_t nameText, int32_t groupText);
  void showRuleDialog(int32_t kind, int32_t title, int32_t bodyText, int32_t number);
  void setGroupIconLook(int32_t element, int32_t frame, int32_t palette);
  void restartHitSpark(int32_t x, int32_t y);
  int32_t getPlayerCharacter(int32_t player) const;
  bool isJumpOverEightWatched() const;
  // The bank a table look is made on (null when it is not loaded).
  ASprite* getPoolBank(int32_t bank) const;
  // Frame starts of the challenge and tutorial modes.
  void startChallenge();
  void startTutorialLesson();
  // The frame start both share: player 0 on a broken, closed table, the
  // rules in `mode`, the layout placed (none when `hasLayout` is false).
  void startScriptedFrame(int32_t mode, bool hasLayout);
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
  struct PottedBalls {
    static constexpr int32_t kMax = 9;
    int32_t count = 0;
    int32_t balls[kMax] = {};
    SpriteAnimPlayer* players[kMax] = {};
  } m_potted[2];
  ASprite* m_poolBanks[k_poolBankCount] = {};
  // --- small 3D ball view (cGameBallView.cpp)
  void init3D();
  void load3DView();
  void unload3DView();
  void releaseBallViewData();
  void resetBallView();
  void placeBallView(int32_t layout);
  void blit3D();
  void blit3DRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t flag);
  void blit3DFullScreen(int32_t flag);
  void flush3D();
  static Q14 tableToViewX(Q14 x);
  static Q14 tableToViewY(Q14 y);
  // The per-frame paint of the view under the panel of the player on turn.
  void paintBallView(Graphics* g);
  // Mode -1: the pocket camera; any other: the follow camera. Places the
  // camera and draws the table; false when no camera could be placed.
  bool updateBallViewCamera(int32_t mode);
  void updateBallViewSlots();
  void drawBallViewBalls();
  void drawBallViewSlot(int32_t slot, int32_t mode);
  // Plays the current shot out on the shadows; the ball (table index) that
  // comes closest to a pocket, or -1.
  int32_t predictPottedBall();
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
  uint8_t& altPanelLayout = match.altPanelLayout;
  int32_t opponentSlot = 0;  // career rival slot; 10 is the special rival
  int32_t& challengeNumber = match.challengeNumber;
  int32_t& lessonNumber = match.lessonNumber;

  // --- challenges (cGameChallenge.cpp): the prize of each place within a
  // category, the stored demonstration's current shot and its words.
  static constexpr int32_t k_challengePrizes[8] = {50, 75, 100, 125, 150, 175, 200, 250};
  int32_t s_challengeDemoCurrentShot = 0;
  int32_t getChallengeDemoShotValue(int32_t word) const;
  int32_t getChallengeDemoShotCount() const;
  // The state word of a challenge (low 2 bits 0 locked, 1 open, 2 won; the
  // failed attempts above them); a number out of range gives a scratch word.
  int32_t& challengeState(int32_t challenge);
  int32_t countWonChallenges() const;
  bool isHalfChallengesWon() const;
  bool isAllChallengesWon() const;
  int32_t challengeCategory = 0;    // 0-3, chosen on the categories screen
  int32_t challengeDemoTimer = 0;   // ms of the demonstration's current step
  int32_t m_scratchChallengeState = 0;

  // --- challenge screens (cGameInterfaces/Challenges.cpp): the categories
  // (170) and the eight challenges of one category (180).
  int32_t m_challengeListFirst = 0;  // the first visible row as last seen

  // --- tutorial (cGameTutorial.cpp): the lesson's set-up, its coach's
  // messages and text box, and what follows a lesson's shot.
  void checkTutorialComboAim();
  void openTutorialMasseText();
  void openTutorialTextBox(int32_t textId);
  void showTutorialMessage(int32_t textId, bool coach);
  void paintTutorialTextBox(Graphics* g);
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
  void clearAchievementNotices();
  bool isAchievementNoticeShown();
  int32_t countShownNotices() const;
  void paintAchievementNotices();
  void updateAchievementPercentages();
  void queueCompletionNotice(int32_t category);
  int32_t findCompletionNotice();
  bool hasCompletionNotice();
  void updateCompletionNotice();
  void paintCompletionNotice();
  int32_t countCompletedCategories() const;
  // The bank slot of a category's badge (where it lives now).
  int32_t getBadgeSlot(int32_t category) const;
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
  // Aims from the cue ball at the pen-down point of the table area (whole
  // degrees); 1 when it did.
  int32_t aimAtStylus();
  // The aiming keys of one frame (right, left, the two fine keys, the
  // half-turn key, previous and next target). The four turning keys turn by
  // 1.5 or 0.5 times the turn step and then raise it by 0.25 degrees (to 50
  // at most); a frame without them puts it back to 0.25. True when a key acted.
  bool turnAimByKeys();
  // The current player's legal object balls sorted by angle from the cue ball.
  void buildTargetBallList();
  // Steps the chosen target entry and aims at its ball; withError turns the
  // aim by up to 12 degrees either way.
  void aimAtNextTargetBall(int32_t step, bool withError);
  // Moves the cue-tip point, kept within 10.0 of the centre.
  void moveEnglishPoint(Q14 dx, Q14 dy);
  // Defaults at the start of every aim.
  void resetShot();
  // Moves the shot's hand object by this frame's direction keys within the
  // allowed area; 1 when a key moved it.
  int32_t moveCueBallInHand();
  // Pulls a point of the ball-in-hand area into the D (UK).
  static void clampIntoD(Vector2& p);

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
  void paintAimGuide(Graphics* g);
  // Runs the physics preview of the aim into the guide cache.
  void computeAimGuide();
  void drawGuideLine(Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, bool solid);
  void drawGuideLineSolid(Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb) {
    drawGuideLine(g, x1, y1, x2, y2, rgb, true);
  }
  void paintPowerBar();
  void paintTableBalls(Graphics* g);
  void paintBall(Graphics* g, PhysicalObject* ball);
  void paintBallInHandArea(Graphics* g);
  void paintInGameHud(Graphics* g);
  // The text of what the key at the bottom right does in this state (the
  // spin selector, back from the gauge, the skip), -1 when it does nothing.
  int32_t rightKeyLabel() const;
  // Module of a bank turned by angle (Q14 degrees) and drawn at (x, y):
  // centred, or lying behind the point along the angle. False (nothing
  // drawn) when the turned box does not fit the scratch buffer.
  bool paintRotatedFrame(Graphics* g, ASprite* bank, int32_t module, int32_t x, int32_t y, Q14 angle,
                         bool anchorAtEnd);
  void setPlayerExpression(int32_t player, int32_t frame);
  void paintPlayerPanels(Graphics* g);
  void paintSpinSelector(Graphics* g);
  // One physics frame of the balls; true when nothing moved.
  bool updateBalls();
  bool updateShadowBalls();
  // Runs the shot to its end at once (bounded by k_skipFrameCap frames).
  void skipShot();
  // The object-ball line colour of a ball under the current rule set.
  uint32_t guideBallColour(int32_t ball) const;
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
  int32_t loadBar(const char* name);
  void unloadBar();
  int32_t getBarEntryOffset(int32_t entry) const;
  int32_t getBarEntrySize(int32_t entry) const;
  // A new buffer (delete[]) with the entry's bytes; null for a bad index or size 0.
  uint8_t* getBarEntryCopy(int32_t entry) const;
  // The reader owns the buffer from now on; reads past size give 0.
  void setReadBuffer(uint8_t* buffer, int32_t size);
  void freeReadBuffer();
  void skipBytes(int32_t n);
  uint32_t readByte();
  uint32_t readShort();
  uint32_t readInt();
  float readFloat();
  void loadRawFile(const char* name);
  void allocWorkBuffer();
  void freeWorkBuffer();
  // An archive is unpacked whole when it opens: no entry waits to be
  // preloaded, and nothing is left to unpack.
  void preloadBarEntry(int32_t /*entry*/) {}
  static int32_t getBarBytesToUnpack() { return 0; }
  // Missing or damaged data (cGameDataCheck.cpp). The start-up check: every
  // data file is there, each archive unpacks whole with a sound entry table
  // and the entries the game reads, the resource pack's index and entries
  // hold together, and each sound opens within its bounds. False, with the
  // first problem reported, when anything fails.
  bool checkDataFiles();
  // Records what the game cannot go on without, "<file> <what>" (the first
  // report stands); the host tells the player and ends the program.
  void reportDataError(const char* file, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // An entry of the open archive that is missing or that its reader refused.
  void reportBadEntry(int32_t entry);
  char m_fatalError[200] = {};
  cGameResources m_archives;             // the ".bar" reader
  BarArchive& m_bar = m_archives.m_bar;   // its open archive
  FieldReader m_reader;
  uint8_t* m_workBuffer = nullptr;  // 32,768 bytes on demand

  // Save file "save.sav".
  uint8_t* readSaveRecord(int32_t id);
  void writeSaveRecord(int32_t id, const uint8_t* data);
  void createSaveFile();
  // The image of the records the game holds, made when there is none.
  bool makeSaveImage();
  // A save that could not be read or written: the player is told as for
  // short storage (the notice, then saving stays off for the run).
  void reportSaveFailure();
  void loadSettings();
  void saveSettings();
  void resetSettings();
  void loadProgress();
  void saveProgress();
  void resetProgress();
  // Every write rewrites the whole file at once: nothing waits to be flushed
  // or synced.
  void flushSaveFile() {}
  void syncSaveRecord(int32_t /*id*/) {}
  // The records as the game holds them, into a zeroed 100-byte slot.
  void encodeSettings(uint8_t* record) const;
  void encodeProgress(uint8_t* record) const;
  // While held, writes only note that they were asked for; the release
  // writes both records at once (a new file is then written once, whole).
  void holdSaves(bool hold);
  // Free storage in bytes (the shell's figure unless a test sets one).
  int32_t getFreeStorage() const;
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
  void loadStrings(int32_t language);
  int32_t getStringOffset(int32_t id) const;
  int32_t getStringLength(int32_t id) const;
  const char* getStringData(int32_t id) const;
  char* getStringCopy(int32_t id);
  // One text table serves every language: the same copy, the same id.
  char* getStringCopy(int32_t id, int32_t /*language*/) { return getStringCopy(id); }
  static int32_t getLocalisedStringId(int32_t id) { return id; }
  void textBufferSet(const char* text);
  void textBufferSetString(int32_t id);
  void textBufferAppendString(int32_t id);
  void textBufferAppend(const char* text);
  void textBufferAppendChars(const char* chars, int32_t first, int32_t n);
  char* textBufferCopy();
  char* getTempBuffer();
  char* getMessageBuffer();
  int32_t* getTempVectorSlot();
  void resetLanguage() { m_text.language = 0; }
  static const char* getLanguageCode() { return "EN"; }
  void freeStrings();
  TextTableData m_text;

  // Text markup and drawing (fonts are sprite banks indexed by font number).
  ASprite* m_fonts[TextLayoutData::kMaxFonts] = {};
  // Makes map (size bytes, a new[] block the game then owns) the character
  // map of the game and its fonts; one too short for the 256 codes is
  // refused (freed, false) and the fonts go without.
  bool takeCharMap(uint8_t* map, int32_t size);
  uint8_t* m_charMap = nullptr;  // 16-bit glyph frames by character code
  int32_t m_charMapCount = 0;
  TextLayoutData m_layout;
  static int32_t decodeChar(const uint8_t* text, int32_t pos, int32_t end, int32_t* length);
  int32_t glyphFrame(int32_t code) const;
  int32_t formatNumber(int32_t value, int32_t radix, int32_t digits);
  void setTextParam(int32_t index, int32_t value);
  void drawChars(Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font,
                 int32_t x, int32_t y, int32_t anchor);
  void drawCString(Graphics* g, ASprite** fonts, const char* text, int32_t font, int32_t x, int32_t y,
                   int32_t anchor);
  void drawString(Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y, int32_t anchor);
  void drawAnchoredText(Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t x,
                        int32_t y, int32_t anchor);
  void drawTextRun(Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t x,
                   int32_t y);
  int32_t measureText(ASprite* font, const char* chars, int32_t first, int32_t count);
  int32_t getStringWidth(ASprite* font, int32_t id);
  int32_t getCStringWidth(ASprite* font, const char* text);
  int32_t getCharsWidth(ASprite* font, const char* chars, int32_t first, int32_t count);
  int32_t getMeasuredTextHeight(ASprite* font) const;
  int32_t layoutTextLines(ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t w, int32_t h,
                          int32_t pageLimit);
  void resetLayout(ASprite** fonts, int32_t font);
  int32_t layoutText(ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font, int32_t w,
                     int32_t h);
  int32_t layoutString(ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h);
  bool drawWrappedString(Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y, int32_t w,
                         int32_t h, int32_t page, int32_t flags);
  bool drawWrappedTextPage(Graphics* g, ASprite** fonts, int32_t palette, const char* chars, int32_t first,
                           int32_t count, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags);
  int32_t getStringPageHeight(ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h, int32_t page);
  int32_t drawStringReveal(Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y, int32_t w,
                           int32_t h, int32_t page, int32_t flags, int32_t step, int32_t mode);
  int32_t drawTextReveal(Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count,
                         int32_t font, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags,
                         int32_t step, int32_t mode);
  void releaseDataFiles();

  // --- stylus mapping (cGameStylus.cpp): touches become this frame's keys
  // True when the pen-down (pen-up) point lies in the layout rectangle; a
  // hit sets the pointer-hit byte, and with consume removes the point.
  bool isPointerPressedIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume);
  bool isPointerReleasedIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume);
  // The pen-down test under a second name.
  bool isPointerDownIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
    return isPointerPressedIn(x, y, w, h, consume);
  }
  // Which side of the cue line, as last drawn, a screen point lies on.
  bool isPointOnCueSide(int32_t x, int32_t y) const;
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
  int32_t& ruleSet = match.ruleSet;
  int32_t (&playerProfile)[2] = match.playerProfile;
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

 private:
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
#include "game/Korvane/cGameInterfaces/Challenges.h"
#include "game/Korvane/cGameInterfaces/Loading.h"
#include "game/Korvane/cGameInterfaces/MatchSetup.h"
#include "game/Korvane/cGameInterfaces/Options.h"
#include "game/Korvane/cGameInterfaces/SoundQuestion.h"
#include "game/Korvane/cGameInterfaces/Title.h"
#include "game/Korvane/cGameInterfaces/Tournament.h"
