// The sound question, title, main menu, options and the yes/no question.
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tests/game/screens/FrontEndFixture.h"

namespace {

// The question each asker asks with an action code, as the table of
// answers below names them, with the texts and the panel the cases use;
// 4 and 12 no asker uses (a question without answers).
Question askedWith(int32_t action, int32_t returnState, int32_t panel) {
  const Question* asked = nullptr;
  switch (action) {
    case 0: asked = &k_questionExit; break;
    case 1: asked = &k_questionResetAll; break;
    case 2: asked = &k_questionQuitMatch; break;
    case 3: asked = &k_questionRestartMatch; break;
    case 5: asked = &k_questionBuyItem; break;
    case 6: asked = &k_questionTutorialOffer; break;
    case 7: asked = &k_questionEquipItem; break;
    case 8: asked = &k_questionChallengeDemo; break;
    case 9: asked = &k_questionPushOutOffer; break;
    case 10: asked = &k_questionPushOutPlay; break;
    case 11: asked = &k_questionSkipShots; break;
    case 14: asked = &k_questionQuitTournament; break;
    default: break;
  }
  Question q = asked ? *asked : Question{};
  EXPECT_TRUE(!asked || q.action == action) << action;
  q.title = q.body = 1;
  q.returnState = returnState;
  q.action = action;
  q.panel = panel;
  return q;
}

class FrontEnd : public FrontEndTest {
 protected:
  // Chooses a main-menu entry and runs frames until the slide has ended.
  void mainMenuChoose(uint32_t textId) {
    game->interfaces.interfaceAnimations = 0;
    game->frame.frameTime = 100;
    choose(textId);
    for (int i = 0; i < 40 && game->states.gameState == k_stateMainMenu; ++i) frame();
  }
};

TEST_F(FrontEnd, SoundQuestionAnswerIsKeptForTheRunAndShownInTheOptions) {
  struct Case {
    uint32_t answer;
    uint8_t sound;
    uint32_t shown;
  };
  for (const Case& c : {Case{k_textNo, 0, k_textOff}, Case{k_textYes, 1, k_textOn}}) {
    start(k_stateFirstRunQuestion);
    EXPECT_EQ(game->loading.soundQuestionAsked, 1);
    EXPECT_EQ(getMenuSelection(*game), -1);
    frame({kBack});  // no way back
    EXPECT_EQ(game->states.gameState, k_stateFirstRunQuestion);
    choose(c.answer);
    EXPECT_EQ(game->states.gameState, k_stateTitle);
    EXPECT_EQ(game->sound.enabled, c.sound);
    start(k_stateOptions);
    EXPECT_EQ(getMenuEntryFlags(*game, k_textOptionSound), 2u | c.shown << 16) << c.answer;
  }
}

TEST_F(FrontEnd, TitleGoesOnForSelectUnlessBackOrKey22) {
  struct Case {
    std::vector<int> keys;
    int32_t state;
  };
  const Case cases[] = {{{kDismiss}, k_stateMainMenu}, {{kSelect}, k_stateMainMenu}, {{kLeftSoft}, k_stateMainMenu},
                        {{kDismiss, kBack}, k_stateTitle}, {{kDismiss, 22}, k_stateTitle}, {{kBack}, k_stateTitle}};
  for (const Case& c : cases) {
    start(k_stateTitle);
    frame({});
    game->keys.lock(0);
    press(c.keys);
    game->updateCurrentState();
    EXPECT_EQ(game->states.gameState, c.state) << c.keys.size();
  }
}

TEST_F(FrontEnd, OptionsSoundOnRestartsTheMusicOutsideAMatchAndClicksOverOne) {
  for (const bool overMatch : {false, true}) {
    game->frontEnd.menusOverMatch = overMatch;
    start(k_stateOptions);
    game->sound.enabled = 0;
    takeSound();
    choose(k_textOptionSound);
    EXPECT_EQ(game->sound.enabled, 1);
    EXPECT_EQ(takeSound(), overMatch ? k_soundBreakHard : k_musicTitle) << overMatch;
    EXPECT_EQ(getMenuEntryFlags(*game, k_textOptionSound), 2u | k_textOn << 16);
    choose(k_textOptionSound);
    EXPECT_EQ(game->sound.enabled, 0);
    EXPECT_EQ(takeSound(), -1);
  }
}

TEST_F(FrontEnd, OptionTogglesWriteSettingsBytesOneAndTwo) {
  start(k_stateOptions);
  const uint8_t guide = game->career.option7, option8 = game->career.option8;
  choose(k_textOptionAimingGuide);
  EXPECT_EQ(savedByte(1), guide ? 0 : 1);
  EXPECT_EQ(getMenuEntryFlags(*game, k_textOptionAimingGuide), 2u | (guide ? k_textOff : k_textOn) << 16);
  choose(k_textOption8);
  EXPECT_EQ(savedByte(2), option8 ? 0 : 1);
  choose(k_textOptionAimingGuide);
  choose(k_textOption8);
  EXPECT_EQ(savedByte(1), guide);
  EXPECT_EQ(savedByte(2), option8);
}

TEST_F(FrontEnd, ResetQuestionAnswersReturnToTheOptions) {
  struct Case {
    int key;  // select on yes or no, or back
    uint32_t entry;
    bool reset;
  };
  for (const Case& c : {Case{kSelect, k_textYes, true}, Case{kSelect, k_textNo, false}, Case{kBack, 0, false}}) {
    start(k_stateOptions);
    game->career.option7 = 0;
    game->career.progress.money = 123;
    saveSettings(*game);
    choose(k_textResetAll);
    ASSERT_EQ(game->states.gameState, k_stateQuestion);
    EXPECT_EQ(getMenuSelection(*game), 1) << "opens on no";
    if (c.entry) selectMenuEntryById(*game, c.entry);
    frame({c.key});
    EXPECT_EQ(game->states.gameState, k_stateOptions);
    EXPECT_EQ(game->career.option7, c.reset ? 1 : 0);
    EXPECT_EQ(savedByte(1), c.reset ? 1 : 0);
    EXPECT_EQ(game->career.progress.money != 123u, c.reset);
  }
}

TEST_F(FrontEnd, OverAPausedMatchOptionsHideResetAndGoBackToTheInGameMenu) {
  game->frontEnd.menusOverMatch = 1;
  game->states.inGame = 1;
  game->states.stackDepth = 1;
  game->states.gameState = k_stateIGM;
  game->setInGameState(k_stateOptions);
  EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
  EXPECT_EQ(getMenuEntryFlags(*game, k_textResetAll), 1u);
  auto shown = [this](int32_t element) {
    const int16_t* e = getInterfaceElement(*game, k_interfaceOptions, element);
    return e && e[interfaceformat::kWordParams + interfaceformat::kSpriteVisible] != 0;
  };
  auto fifthButtonShown = [&shown] { return shown(k_optionsFifthRowButton); };
  auto arrowsShown = [&shown] { return shown(k_optionsArrowUp) || shown(k_optionsArrowDown); };
  EXPECT_FALSE(fifthButtonShown()) << "four rows: no empty fifth button";
  EXPECT_FALSE(arrowsShown()) << "nothing to scroll to";
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1) << "the paused match's stack stays";
  // Outside a match: the main menu.
  game->frontEnd.menusOverMatch = 0;
  start(k_stateOptions);
  EXPECT_EQ(getMenuEntryFlags(*game, k_textResetAll), 0u);
  EXPECT_TRUE(fifthButtonShown());
  EXPECT_TRUE(shown(k_optionsArrowUp) && shown(k_optionsArrowDown));
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
}

TEST_F(FrontEnd, MainMenuEntriesLeadToTheirScreens) {
  struct Case {
    uint32_t entry;
    uint8_t careerStarted;
    int32_t state, gameType;
  };
  const Case cases[] = {
      {k_textQuickMatch, 0, k_stateRulesChoice, k_gameTypeQuickMatch},
      {k_textCareer, 0, k_stateCareerCharacterSelect, k_gameTypeNone},
      {k_textCareer, 1, k_statePub, k_gameTypeNone},
      {k_textSingleMatch, 0, k_stateRulesChoice, k_gameTypeSingleMatch},
      {k_textOptions, 0, k_stateOptions, k_gameTypeNone},
      {k_textHelp, 0, k_stateHelpMenu, k_gameTypeNone},
      {k_textAbout, 0, k_stateAbout, k_gameTypeNone},
      {k_textExit, 0, k_stateQuestion, k_gameTypeNone},
  };
  for (const Case& c : cases) {
    game->career.progress.started = c.careerStarted;
    game->match.gameType = k_gameTypeCareer;
    start(k_stateMainMenu);
    EXPECT_EQ(game->match.gameType, k_gameTypeNone);
    mainMenuChoose(c.entry);
    EXPECT_EQ(game->states.gameState, c.state) << c.entry;
    EXPECT_EQ(game->match.gameType, c.gameType) << c.entry;
  }
  // The exit question: title 37, body 1, on the no entry.
  EXPECT_EQ(game->question.title, k_textExit);
  EXPECT_EQ(game->question.body, k_textQuestionBody);
  EXPECT_EQ(game->question.returnState, k_stateMainMenu);
  EXPECT_EQ(game->question.action, 0);
  EXPECT_EQ(game->question.panel, k_interfaceMainMenu);
  EXPECT_EQ(game->states.subState, k_subStateUpdate) << "set up in the frame that asked";
  EXPECT_EQ(getMenuSelection(*game), 1);
}

// Question actions: where yes, no and back lead, in game or not, and what
// they change.
TEST_F(FrontEnd, QuestionActionTable) {
  enum Answer { kYesAnswer, kNoAnswer, kBackAnswer };
  struct Case {
    int32_t action;
    Answer answer;
    bool inGame;
    int32_t state;
    int32_t inGameAfter;
  };
  const Case cases[] = {
      {0, kNoAnswer, false, k_stateMainMenu, 0},
      {0, kBackAnswer, false, k_stateMainMenu, 0},
      {0, kNoAnswer, true, k_stateIGM, 1},
      {1, kYesAnswer, false, k_stateOptions, 0},
      {2, kYesAnswer, true, k_stateMainMenuLoading, 0},
      {2, kNoAnswer, true, k_stateIGM, 1},
      {3, kYesAnswer, true, k_stateMatchInit, 1},
      {3, kBackAnswer, true, k_stateIGM, 1},
      {5, kYesAnswer, false, k_stateItemBought, 0},
      {5, kNoAnswer, false, k_stateShop, 0},
      {6, kYesAnswer, true, k_stateMatchInit, 1},
      {6, kNoAnswer, true, k_stateContinue, 1},
      {6, kBackAnswer, true, k_stateIGM, 1},  // the in-game menu over the question
      {7, kYesAnswer, false, k_stateShop, 0},
      {8, kYesAnswer, true, k_stateMatchInit, 1},
      {8, kNoAnswer, true, k_stateInGameQuestion, 1},
      {8, kBackAnswer, true, k_stateIGM, 1},  // the in-game menu over the question
      {9, kYesAnswer, true, k_stateBallsMoving, 1},
      {9, kNoAnswer, true, k_stateBallsMoving, 1},
      {9, kBackAnswer, true, k_stateIGM, 1},  // the in-game menu over the question
      {10, kYesAnswer, true, k_stateBallsMoving, 1},
      {10, kNoAnswer, true, k_stateBallsMoving, 1},
      {10, kBackAnswer, true, k_stateIGM, 1},  // the in-game menu over the question
      {11, kYesAnswer, true, k_stateAfterShot, 1},
      {11, kNoAnswer, true, k_stateAfterShot, 1},
      {11, kBackAnswer, true, k_stateIGM, 1},  // the in-game menu over the question
      {14, kYesAnswer, false, k_stateTournamentMenu, 0},
      {14, kNoAnswer, false, k_stateTournamentStage, 0},
      {14, kBackAnswer, false, k_stateTournamentStage, 0},
      {14, kBackAnswer, true, k_stateIGM, 1},
      {4, kYesAnswer, false, k_stateShop, 0},  // unknown: back where it came from
      {12, kYesAnswer, true, k_stateIGM, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "action " << c.action << " answer " << c.answer << " in game " << c.inGame);
    game->frontEnd.menusOverMatch = c.inGame;
    game->question.pendingAction = -1;
    game->tournaments.bracketResumes = 0;
    game->rules = RuleState();
    game->rules.pushOutAvailable = game->rules.pushOutAnswered = 1;
    game->match.currentPlayer = 0;
    game->career.option8 = c.answer == kYesAnswer ? 0 : 1;
    game->match.gameType = k_gameTypeSingleMatch;
    int32_t returnState = c.action == 5 || c.action == 7 || c.action == 4 ? k_stateShop : k_stateMainMenu;
    if (c.inGame) {
      // A match with the balls moving under the menu.
      start(k_stateMainMenu);
      game->setInGameState(k_stateBallsMoving);
      game->states.stateStack[0] = k_stateBallsMoving;
      game->states.stackDepth = 1;
      game->states.gameState = k_stateIGM;
      returnState = k_stateIGM;
      if (c.action == 6) returnState = k_stateContinue;
      if (c.action == 11) returnState = k_stateAfterShot;
    } else {
      start(returnState);
    }
    openQuestion(*game, askedWith(c.action, returnState, 9), -1);
    ASSERT_EQ(game->states.gameState, k_stateQuestion);
    EXPECT_EQ(game->states.inGame, c.inGame ? 1 : 0);
    if (c.answer == kBackAnswer) {
      frame({kBack});
    } else {
      choose(c.answer == kYesAnswer ? k_textYes : k_textNo);
    }
    if (c.state == k_stateMatchInit) {
      // A new match runs on from 500 to the first state that waits.
      EXPECT_GE(game->states.gameState, k_stateMatchInit);
      EXPECT_LT(game->states.gameState, 900);
    } else {
      EXPECT_EQ(game->states.gameState, c.state);
    }
    EXPECT_EQ(game->states.inGame, c.inGameAfter);
    const bool remembered = c.answer == kBackAnswer && c.action >= 6 && c.action != 7 && c.action <= 11;
    EXPECT_EQ(game->question.pendingAction, remembered ? c.action : -1);
    if (c.action == 9 && c.answer != kBackAnswer) {
      EXPECT_EQ(game->rules.pushOutShot, c.answer == kYesAnswer ? 1 : 0);
      EXPECT_EQ(game->rules.pushOutAvailable, 0);
    }
    if (c.action == 10 && c.answer != kBackAnswer) {
      EXPECT_EQ(game->rules.pushOutAnswered, 0);
      EXPECT_EQ(game->match.currentPlayer, c.answer == kNoAnswer ? 1 : 0) << "no passes the table";
    }
    if (c.action == 11 && c.answer != kBackAnswer) {
      EXPECT_EQ(game->career.option8, c.answer == kYesAnswer ? 1 : 0);
      EXPECT_EQ(savedByte(2), c.answer == kYesAnswer ? 1 : 0);
    }
    if (c.action == 14 && c.state == k_stateTournamentStage) {
      EXPECT_EQ(game->tournaments.bracketResumes, 1);
    }
    if (c.action == 6 && c.answer == kYesAnswer) {
      EXPECT_EQ(game->match.gameType, k_gameTypeTutorial);
    }
    if (c.action == 2 || c.action == 3) {
      EXPECT_EQ(game->frontEnd.menusOverMatch, c.answer == kYesAnswer ? 0 : 1);
    }
  }
}

TEST_F(FrontEnd, ExitYesQuitsAndMarksALeftTutorial) {
  for (const int32_t type : {1, 5}) {
    game->tutorial.left = 0;
    game->loading.quitRequested = 0;
    start(k_stateMainMenu);
    game->match.gameType = type;
    openQuestion(*game, k_questionExit, k_textNo);
    choose(k_textYes);
    EXPECT_EQ(game->states.gameState, k_stateNone);
    EXPECT_EQ(game->loading.quitRequested, 1);
    EXPECT_EQ(savedByte(22), type == 5 ? 1 : 0) << type;
  }
}

TEST_F(FrontEnd, QuestionLooksFollowTheAction) {
  struct Case {
    int32_t action, gameType;
    bool marks, box;
  };
  const Case cases[] = {{0, k_gameTypeSingleMatch, false, false}, {0, k_gameTypeTournament, false, true},
                        {2, k_gameTypeTournament, false, true},   {5, k_gameTypeCareer, true, true},
                        {11, k_gameTypeSingleMatch, false, true}, {14, k_gameTypeTournament, false, true},
                        {1, k_gameTypeTournament, false, false}};
  for (const Case& c : cases) {
    start(k_stateMainMenu);
    game->match.gameType = c.gameType;
    openQuestion(*game, askedWith(c.action, k_stateMainMenu, k_interfaceMainMenu));
    game->paintCurrentState(screen->g());
    EXPECT_EQ(isElementVisible(*game, k_questionItemMarks), c.marks) << c.action;
    EXPECT_EQ(isElementVisible(*game, k_questionNoteBox), c.box) << c.action << " " << c.gameType;
    EXPECT_EQ(getMenuSelection(*game), -1);
  }
}

TEST_F(FrontEnd, ResetSelectionFlagClearsTheSelectionOnTheNextFrame) {
  start(k_stateMainMenu);
  openQuestion(*game, askedWith(0, k_stateMainMenu, k_interfaceMainMenu), k_textNo);
  EXPECT_EQ(getMenuSelection(*game), 1);
  game->question.resetSelection = 1;
  frame();
  EXPECT_EQ(getMenuSelection(*game), -1);
  EXPECT_EQ(game->question.resetSelection, 0);
}

}  // namespace
