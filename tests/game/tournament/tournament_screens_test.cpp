// The tournament screens on their own interfaces (compiled from the sources)
// and a hand-made row of pub seats: the choice, the field choice, the pick,
// its confirmation, the bracket and the prize.
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tests/game/screens/FrontEndFixture.h"

namespace {

namespace F = interfaceformat;

class TournamentScreens : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    std::vector<Interface> all(46);
    ASSERT_NO_FATAL_FAILURE(compileInterfaces(all, {"000-sound-question", "001-title", "002-main-menu", "003-question",
                                                    "006-options", "005-tournament-choice", "029-field-choice",
                                                    "030-tournament-pick", "031-field-confirm",
                                                    "044-tournament-bracket", "045-tournament-prize"}));
    // Ten seats 40 px apart.
    for (int s = 0; s < 10; ++s) all[k_interfacePubSeats].push_back(sprite(10 + 40 * s, 60, 0, 0, -1));
    load(all, 0);
    game->frame.frameTime = 100;
    game->career.progress.started = 1;
    game->match.gameType = k_gameTypeTournament;
  }
  void winOnly(std::initializer_list<int> characters) {
    for (uint8_t& w : game->career.progress.won) w = 0;
    for (int c : characters) game->career.progress.won[c] = 1;
  }
  int frameOf(int id, int i) { return getInterfaceElement(*game, id, i)[F::kWordParams + F::kSpriteFrame]; }
  bool shown(int id, int i) { return getInterfaceElement(*game, id, i)[F::kWordParams + F::kSpriteVisible] != 0; }
  uint32_t savedU32(int offset) {
    return uint32_t{savedByte(offset)} << 24 | uint32_t{savedByte(offset + 1)} << 16 |
           uint32_t{savedByte(offset + 2)} << 8 | savedByte(offset + 3);
  }
  Tournament& t() { return game->tournaments.draw; }
  // A bracket at a given round without playing one.
  void resumeBracket(int level, int round) {
    t().level = level;
    t().round = round;
    game->tournaments.bracketResumes = 1;
    start(k_stateTournamentStage);
  }
};

TEST_F(TournamentScreens, ChoiceVeilsTheBiggerTournamentsByWonCount) {
  struct Case {
    int won;
    bool fourVeiled, eightVeiled;
  };
  for (const Case& c : {Case{1, true, true}, Case{2, true, true}, Case{3, false, true}, Case{6, false, true},
                        Case{7, false, false}}) {
    for (uint8_t& w : game->career.progress.won) w = 0;
    for (int k = 0; k < c.won; ++k) game->career.progress.won[k] = 1;
    start(k_stateTournamentMenu);
    EXPECT_EQ((getMenuEntryFlags(*game, k_textTournamentFour) & 4) != 0, c.fourVeiled) << c.won;
    EXPECT_EQ((getMenuEntryFlags(*game, k_textTournamentEight) & 4) != 0, c.eightVeiled) << c.won;
    // The note and its padlocks show while a veiled row is highlighted.
    selectMenuEntryById(*game, k_textTournamentEight);
    frame();
    for (int e : {2, 3, 21, 22}) EXPECT_EQ(shown(5, e), c.eightVeiled) << c.won << " " << e;
    frame({kSelect});
    EXPECT_EQ(game->states.gameState, c.eightVeiled ? k_stateTournamentMenu : k_stateTournamentStage) << c.won;
  }
}

TEST_F(TournamentScreens, FieldChoiceIsOfferedWithEnoughWonCharacters) {
  struct Case {
    uint32_t entry;
    int won, level, next;
  };
  const Case cases[] = {{k_textTournamentDuel, 1, 2, k_stateTournamentStage},
                        {k_textTournamentDuel, 2, 2, k_stateTournamentFieldChoice},
                        {k_textTournamentFour, 3, 1, k_stateTournamentStage},
                        {k_textTournamentFour, 4, 1, k_stateTournamentFieldChoice},
                        {k_textTournamentEight, 9, 0, k_stateTournamentStage}};
  for (const Case& c : cases) {
    for (uint8_t& w : game->career.progress.won) w = 0;
    for (int k = 0; k < c.won; ++k) game->career.progress.won[k] = 1;
    t().round = 3;
    t().pickedCount = 2;
    start(k_stateTournamentMenu);
    choose(c.entry);
    EXPECT_EQ(game->states.gameState, c.next) << c.entry << " with " << c.won;
    EXPECT_EQ(t().level, c.level);
    EXPECT_EQ(t().round, -1);
    EXPECT_EQ(t().pickedCount, 0);
  }
  start(k_stateTournamentFieldChoice);
  choose(k_textPickField);
  EXPECT_EQ(game->states.gameState, k_stateTournamentCharacterSelect);
  start(k_stateTournamentFieldChoice);
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateTournamentMenu);
}

TEST_F(TournamentScreens, PickCursorSkipsPickedSeatsBothWaysAndWrapsToSeatNine) {
  // Career character 9 with seven won: the rivals of slots 0-6 sit on seat
  // elements 2, 1, 0, 3, 4, 5 and, for character 6, on 9.
  game->career.progress.character = 9;
  winOnly({0, 1, 2, 3, 4, 5, 6});
  t().level = 1;
  start(k_stateTournamentCharacterSelect);
  EXPECT_EQ(game->pub.seatCharacter[9], 6);
  EXPECT_EQ(game->pub.seatCharacter[6], -1);
  EXPECT_EQ(t().cursorSeat, 0);
  EXPECT_EQ(t().cursorCharacter, 2);
  frame({kLeft});
  EXPECT_EQ(t().cursorSeat, 9) << "leftwards from seat 0";
  EXPECT_EQ(t().cursorCharacter, 6);
  frame({kRight});
  EXPECT_EQ(t().cursorSeat, 0);
  frame({kSelect});
  EXPECT_EQ(t().picked[0], 2);
  EXPECT_EQ(frameOf(30, k_pickSlotFour), k_headFrameCharacter0 + 2);
  EXPECT_EQ(t().cursorSeat, 1) << "on to the next seat";
  frame({kLeft});
  EXPECT_EQ(t().cursorSeat, 9) << "seat 0 is picked";
  frame({kRight});  // ignored while the pick blinks
  EXPECT_EQ(t().cursorSeat, 9);
  while (t().pickBlink >= 0) frame();
  frame({kRight});
  EXPECT_EQ(t().cursorSeat, 1) << "seat 0 skipped rightwards too";
  // With every seated rival but one picked the cursor stays on it.
  t().picked[1] = 1, t().picked[2] = 0, t().picked[3] = 3, t().picked[4] = 4, t().picked[5] = 5;
  t().pickedCount = 6;
  movePickCursor(*game, 1);
  EXPECT_EQ(t().cursorCharacter, 6);
  movePickCursor(*game, -1);
  EXPECT_EQ(t().cursorCharacter, 6);
}

TEST_F(TournamentScreens, PickBlinksSixHundredMillisecondsThenCountsAndBackDropsIt) {
  game->career.progress.character = 0;
  winOnly({9, 1, 2, 3});
  t().level = 1;
  start(k_stateTournamentCharacterSelect);
  frame({kSelect});
  std::vector<int> pickFrames;
  while (t().pickBlink >= 0) {
    EXPECT_EQ(t().pickedCount, 0);
    pickFrames.push_back(frameOf(30, k_pickSlotFour + 1));
    frame();
  }
  // 500, 400, 300, 200, 100 ms left: on (frame 1) while the rest mod 400 > 200.
  EXPECT_EQ(pickFrames, (std::vector<int>{0, 0, 1, 0, 0}));
  EXPECT_EQ(t().pickedCount, 1);
  frame({kBack});
  EXPECT_EQ(t().pickedCount, 0);
  EXPECT_EQ(frameOf(30, k_pickSlotFour), k_headFrameEmptyWinner);
  EXPECT_EQ(game->states.gameState, k_stateTournamentCharacterSelect);
  t().fieldComplete = 1;
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateTournamentFieldChoice);
  EXPECT_EQ(t().fieldComplete, 0);
  start(k_stateTournamentCharacterSelect);
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateTournamentMenu);
  // Back while a pick blinks drops that pick: the count and the list stay in step.
  start(k_stateTournamentCharacterSelect);
  frame({kSelect});
  while (t().pickBlink >= 0) frame();
  frame({kSelect});
  ASSERT_GE(t().pickBlink, 0);
  frame({kBack});
  EXPECT_EQ(t().pickBlink, -1);
  EXPECT_EQ(t().pickedCount, 1);
  EXPECT_EQ(frameOf(30, k_pickSlotFour + 4), k_headFrameEmptyWinner);
  EXPECT_EQ(game->states.gameState, k_stateTournamentCharacterSelect);
}

TEST_F(TournamentScreens, ThreePicksCompleteTheFieldAndNoOnTheConfirmationDropsIt) {
  game->career.progress.character = 0;
  winOnly({9, 1, 2, 3});
  t().level = 1;
  start(k_stateTournamentCharacterSelect);
  for (int k = 0; k < 3; ++k) {
    frame({kSelect});
    while (t().pickBlink >= 0) frame();
  }
  ASSERT_EQ(game->states.gameState, k_stateTournamentFieldConfirm);
  EXPECT_EQ(t().fieldComplete, 1);
  game->updateCurrentState();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(frameOf(31, 25 + 4 * i), k_headFrameCharacter0 + t().picked[i]);
  EXPECT_FALSE(shown(31, 21));
  EXPECT_TRUE(shown(31, 34));
  choose(k_textNo);
  EXPECT_EQ(game->states.gameState, k_stateTournamentCharacterSelect);
  EXPECT_EQ(t().pickedCount, 0);
  EXPECT_EQ(frameOf(30, k_pickSlotFour + 4), k_headFrameEmptyWinner);
}

TEST_F(TournamentScreens, BracketRevealsOneEntryEveryThreeHundredMillisecondsBeforeSelectActs) {
  game->career.progress.character = 0;
  game->career.progress.counterC = 2;
  winOnly({9, 3});
  t().level = 2;
  t().round = -1;
  t().pickedCount = 0;
  start(k_stateTournamentStage);
  EXPECT_EQ(t().round, 0);
  EXPECT_EQ(game->career.progress.counterC, 0u) << "a new bracket resets the losses";
  const int rival = t().entries[2][1 - t().playerPosition];
  EXPECT_TRUE(rival == 9 || rival == 3);
  EXPECT_EQ(t().prize, rival == 9 ? 85 : 200);
  std::vector<int> revealedAt;
  for (int f = 1; f <= 12; ++f) {
    const int before = t().revealed;
    frame({kSelect});
    EXPECT_EQ(game->states.gameState, k_stateTournamentStage) << "frame " << f;
    if (t().revealed > before) revealedAt.push_back(f);
    if (t().revealed == 2) break;
  }
  EXPECT_EQ(revealedAt, (std::vector<int>{5, 9})) << "once the timer has passed 300 ms";
  EXPECT_EQ(frameOf(44, 21 + t().playerPosition), k_headFrameCharacter0);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateVersus);
  EXPECT_EQ(game->setup.opponentSlot, rival);
  EXPECT_EQ(game->setup.tableIndex, getHomeTable(*game, rival));
}

TEST_F(TournamentScreens, BracketBackAndRightSoftKeyBeforeAndAfterTheFirstRound) {
  struct Case {
    int level, round, won;
    uint8_t fieldComplete;
    int key, next;
  };
  const Case cases[] = {
      {2, 0, 2, 0, kBack, k_stateTournamentFieldChoice},
      {2, 0, 1, 0, kBack, k_stateTournamentMenu},
      {1, 0, 4, 0, kBack, k_stateTournamentFieldChoice},
      {1, 0, 3, 0, kBack, k_stateTournamentMenu},
      {0, 0, 9, 0, kBack, k_stateTournamentMenu},
      {0, 1, 9, 0, kBack, k_statePub},
      {1, 1, 4, 1, kBack, k_stateTournamentCharacterSelect},
      {1, 0, 4, 1, kRightSoft, k_stateTournamentMenu},
      {0, 1, 9, 0, kRightSoft, k_stateQuestion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "level " << c.level << " round " << c.round << " key " << c.key);
    for (uint8_t& w : game->career.progress.won) w = 0;
    for (int k = 0; k < c.won; ++k) game->career.progress.won[k] = 1;
    t().fieldComplete = c.fieldComplete;
    resumeBracket(c.level, c.round);
    EXPECT_TRUE(shown(k_interfaceBracket, k_bracketBack)) << "the corner that goes back shows its button";
    frame({c.key});
    EXPECT_EQ(game->states.gameState, c.next);
    if (c.key == kRightSoft && c.round < 1) {
      EXPECT_EQ(t().fieldComplete, 0);
    }
    if (c.next == k_stateTournamentCharacterSelect) {
      EXPECT_EQ(t().round, -1);
    }
    if (c.next == k_stateQuestion) {
      EXPECT_EQ(game->question.title, k_textQuitTournament);
      EXPECT_EQ(game->question.action, 14);
      EXPECT_EQ(game->question.returnState, k_stateTournamentStage);
    }
  }
  // The question's no and the versus screen's back (its button, the right
  // soft key, or the back key) return without a round.
  for (const int key : {kBack, kRightSoft}) {
    resumeBracket(0, 1);
    t().entries[1][0] = 0;
    game->states.previousState = k_stateTournamentStage;
    game->setState(k_stateVersus);
    game->updateCurrentState();
    frame({key});
    ASSERT_EQ(game->states.gameState, k_stateTournamentStage) << key;
    EXPECT_EQ(game->tournaments.bracketResumes, 1);
    game->updateCurrentState();
    EXPECT_EQ(t().round, 1) << "no round played";
    EXPECT_EQ(game->tournaments.bracketResumes, 0);
  }
}

TEST_F(TournamentScreens, HoldingTheCupUnlocksTheLevelsAchievementAndPaysThePrize) {
  struct Case {
    int level, achievement, key, next;
    uint8_t fieldComplete;
  };
  // Back pays too, a picked field's cup included (it does not go back to the pick).
  for (const Case& c : {Case{2, 8, kSelect, k_stateTournamentPrize, 0}, Case{1, 17, kSelect, k_stateTournamentPrize, 1},
                        Case{0, 23, kBack, k_stateMainMenu, 0}, Case{1, 17, kBack, k_stateMainMenu, 1}}) {
    SCOPED_TRACE(c.level);
    t().fieldComplete = c.fieldComplete;
    game->career.achievementMask = 0;
    game->career.progress.money = 1000;
    game->career.progress.character = 4;
    t().entries[3][0] = 4;
    t().prize = 450;
    resumeBracket(c.level, 3 - c.level);
    EXPECT_EQ(game->career.achievementMask, 1u << c.achievement);
    // The winner is revealed first (one entry), then select or back pays.
    while (t().revealed < 1) frame();
    EXPECT_EQ(frameOf(44, 23), k_headFrameCharacter0 + 4);
    frame({c.key});
    EXPECT_EQ(game->states.gameState, c.next);
    EXPECT_EQ(game->career.progress.money, 1450u);
    EXPECT_EQ(savedU32(144), 1450u) << "saved";
  }
}

// Quitting a won bracket through its question pays the cup too, and only
// once, and shows the prize screen first; no returns to the bracket, whose
// select then pays on the prize screen.
TEST_F(TournamentScreens, QuittingAWonBracketPaysThePrizeOnce) {
  struct Case {
    uint32_t answer;
    int next;
    uint32_t money;
  };
  for (const Case& c : {Case{k_textYes, k_stateTournamentPrize, 1450}, Case{k_textNo, k_stateTournamentStage, 1000}}) {
    SCOPED_TRACE(c.answer);
    game->career.progress.money = 1000;
    game->career.progress.character = 4;
    t().entries[3][0] = 4;
    t().prize = 450;
    resumeBracket(0, 3);
    while (t().revealed < 1) frame();
    frame({kRightSoft});
    ASSERT_EQ(game->states.gameState, k_stateQuestion);
    choose(c.answer);
    EXPECT_EQ(game->states.gameState, c.next);
    EXPECT_EQ(game->career.progress.money, c.money);
    if (c.answer == k_textYes) {
      EXPECT_EQ(savedU32(144), 1450u) << "saved";
    }
    if (c.next != k_stateTournamentStage) continue;
    game->updateCurrentState();
    while (t().revealed < 1) frame();
    frame({kSelect});
    EXPECT_EQ(game->states.gameState, k_stateTournamentPrize);
    EXPECT_EQ(game->career.progress.money, 1450u);
  }
}

TEST_F(TournamentScreens, PrizeScreenUnlocksTheRivalMatchOnceEveryCategoryIsComplete) {
  for (const uint32_t mask : {0x1FFFFFFFu, 0x3FFFFFFFu}) {
    game->career.specialRivalOpen = 0;
    game->career.achievementMask = mask;
    start(k_stateTournamentPrize);
    const bool all = mask == 0x3FFFFFFFu;
    EXPECT_EQ(game->career.specialRivalOpen, all ? 1 : 0);
    EXPECT_EQ(savedByte(23), all ? 1 : 0);
    frame({kBack});
    EXPECT_EQ(game->states.gameState, k_statePub);
  }
}

TEST_F(TournamentScreens, LossesReadFromTheFileStayWithinThree) {
  for (const uint32_t stored : {0u, 2u, 3u, 7u, 0xFFFFFFFFu}) {
    game->career.progress.counterC = stored;
    saveProgress(*game);
    game->career.progress.counterC = 99;
    loadProgress(*game);
    EXPECT_EQ(game->career.progress.counterC, std::min(stored, 3u)) << stored;
  }
}

}  // namespace
