// The game object: an index of the game's topics. It keeps what is its own
// (the host's entries, the state machine and its stack, the frame loop) and
// one member per topic. Each topic's record and operations are declared in
// the topic's header (included below) and defined in its files: the
// screens under cGameInterfaces/, the rest in cGame*.cpp of this folder.
#pragma once

#include <cstdint>

#include "game/GameResourceManager/GameResourceManager.h"
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/Random.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "game/Korvane/cGame/KeyState.h"
#include "game/Korvane/cGame/MenuList.h"
#include "game/Korvane/cGame/MessageQueue.h"
#include "game/Korvane/cGame/cGameAI.h"
#include "game/Korvane/cGame/cGameAchievements.h"
#include "game/Korvane/cGame/cGameBallView.h"
#include "game/Korvane/cGame/cGameCareer.h"
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
#include "game/Korvane/cGame/cGameRules.h"
#include "game/Korvane/cGame/cGameSave.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameSound.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGame/cGameTable.h"
#include "game/Korvane/cGame/cGameText.h"
#include "game/Korvane/cGame/cGameTutorial.h"
#include "game/Korvane/cGame/cGameTypes.h"
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
#include "game/Korvane/cGamePlay/MatchSetup.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "game/Korvane/cGamePlay/RuleState.h"
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

  // GameBase operations: start-up, the host's resume and suspend, one frame
  // (cGame.cpp), the keys.
  void init() override;
  void resume(int32_t value) override;
  void suspend(int32_t value) override;
  void update(Graphics* graphics) override;
  void keyPressed(int32_t keyIndex) override;
  void keyReleased(int32_t keyIndex) override;

  // State machine (cGameStateMachine.cpp): each state is a screen's row of
  // the front-end or in-game table; a state is left (destroy), entered
  // (init) and then updated and painted every frame.
  int32_t setState(int32_t state);
  int32_t getState() const { return states.gameState; }
  void setInGameState(int32_t state);
  void changeInGameState(int32_t state, bool runInit, bool runLeave);
  void pushState(int32_t state);
  void popState();
  void updateCurrentState();
  void paintCurrentState(Graphics* graphics);
  void resetClip(Graphics* graphics);
  // Tests and tools may run the machine on their own screens.
  void setScreenTables(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame);

  // What the host and the applet read (cGameServices.cpp, cGameSound.cpp).
  TouchMode touchMode() const override;
  void updateKeys() override { keys.update(); }
  bool isAnyKeyPressed() const override { return keys.isAnyPressed(); }
  bool isKeyPressed(uint32_t mask) const override { return keys.isPressed(mask); }
  bool isSoundEnabled() const override { return sound.enabled != 0; }
  int32_t currentSoundId() const override { return sound.currentId; }
  int32_t stopAllSounds() override;
  bool isAnySoundPlaying() override;
  void stopCurrentElementAnimations() override { stopElementAnimations(*this, interfaces.currentElements); }
  const char* fatalError() const override { return files.fatalError[0] ? files.fatalError : nullptr; }

  // --- the frame and the machine's state (cGameStates.h)
  FrameClock frame;
  StateMachine states;
  const cGameScreenTable* frontEndScreens;
  const cGameScreenTable* inGameScreens;

  // --- what the engine lends (cGameEngine.h), the data files and the save
  // (cGameResources.h, cGameSave.h), the keys
  EngineServices engine;
  DataFiles files;
  KeyState keys;

  // --- drawing and sound: screen effects (cGameEffects.h), text
  // (cGameText.h), the interfaces of "interf.bar" (cGameInterfaces.h), the
  // front-end screen pattern (cGameFrontEnd.h), menus (cGameMenu.h),
  // messages and the dialog (cGameMessages.h), the touch mapping
  // (cGameStylus.h), sound control (cGameSound.h), loading (cGameLoading.h)
  Effects effects;
  TextState text;
  InterfaceSet interfaces;
  FrontEndState frontEnd;
  MenuList menu;
  MessageQueue messages;
  DialogBox dialog;
  StylusState stylus;
  SoundState sound;
  LoadingState loading;

  // --- the match: its set-up, read in place by the rules and the opponent
  // (cGamePlay/MatchSetup.h); the turn flow (cGamePool.h); the physics world
  // and table (cGameTable.h); the rules (cGameRules.h) and the computer
  // opponent (cGameAI.h); the table view and the 3D ball view
  // (cGameTable.h, cGameBallView.h); challenges and the tutorial
  MatchSetup match;
  TurnFlow turn;
  PhysicsWorld world;
  TableLayout tableLayout;
  RuleState rules;
  cGamePoolHooks poolHooks{*this};
  OpponentState opponent;
  TableView table;
  BallView ballView;
  ChallengeState challenges;
  TutorialState tutorial;

  // --- career and progress (cGameSave.h) and achievements
  // (cGameAchievements.h)
  CareerRecord career;
  AchievementNotices notices;

  // --- the screens (cGameInterfaces/): each screen's record beside its rows
  MainMenuScreen mainMenu;
  QuestionScreen question;
  ShopScreen shop;
  HelpScreens help;
  AchievementScreens achievementScreens;
  MatchSetupScreens setup;
  PubScreen pub;
  TournamentScreens tournaments;
  InGameMenus inGameMenus;
  MatchResultScreens matchResult;
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
