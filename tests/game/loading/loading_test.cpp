// Loading states on the built data set: the start-up steps, the logo, the
// main-menu and match loading tables, the keep sets, the loading screens and
// the saved background; bad and missing archives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "../data/DataFixture.h"
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "tools/bar/BarWriter.h"
#include "windows_brew/OggSoundPlayer.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {

namespace F = interfaceformat;

bool built(const ASprite* b) { return !b->imageCache.empty() || !b->rgbImageCache.empty() || !b->rawCache.empty(); }
bool dataKept(const ASprite* b) { return !b->moduleData.empty(); }

uint16_t pixel(const MutableImage& image, int x, int y) {
  return static_cast<const uint16_t*>(image.getPixels())[y * image.getPitch() / 2 + x];
}
int red(uint16_t p) { return (p >> 11) << 3; }

class Loading : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/i.bar")) GTEST_SKIP() << "no data set";
    for (const auto& entry : std::filesystem::directory_iterator(data))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
    game = std::make_unique<cGame>(&screen);
    game->init();
  }
  void TearDown() override {
    game.reset();
    DataTest::TearDown();
  }
  // Frames until the state changes (at most limit); the frames run.
  int runUntilLeft(int32_t state, int limit = 400) {
    int frames = 0;
    while (game->states.gameState == state && frames < limit) {
      game->update(nullptr);
      ++frames;
    }
    return frames;
  }
  // Start-up loading and the logo, its wait cut short.
  void reachMainMenuLoading() {
    runUntilLeft(k_stateStart);
    ASSERT_EQ(runUntilLeft(k_stateLoadInit), 7);
    ASSERT_EQ(game->states.gameState, k_stateLogo);
    updateLogo(*game);
    game->loading.logoStartTime = game->frame.gameClock - 5000;
    updateLogo(*game);
    ASSERT_EQ(game->states.gameState, k_stateMainMenuLoading);
  }
  // Back pressed for this frame (past any key lock of a state change).
  void pressBack() {
    for (int i = 0; i < 3; ++i) game->keys.update();
    game->keys.onKeyDown(20);
    game->keys.update();
  }
  void releaseKeys() {
    game->keys.onKeyUp(20);
    game->keys.update();
  }
  void runSteps(int n) {
    for (int i = 0; i < n; ++i) updateMainMenuLoading(*game);
  }
  MutableImage screen{240, 320, 16};
};

TEST_F(Loading, StartUpFillsTheFontsBarAndBackground) {
  runUntilLeft(k_stateStart);
  EXPECT_EQ(runUntilLeft(k_stateLoadInit), 7);
  EXPECT_EQ(game->states.gameState, k_stateLogo);
  ASSERT_NE(game->text.fonts[0], nullptr);
  ASSERT_NE(game->text.fonts[1], nullptr);
  EXPECT_GE(game->text.charMapCount, 445);
  EXPECT_GT(game->loading.fontLineHeight[1], 8);
  EXPECT_NE(game->loading.logoBank, nullptr);
  EXPECT_NE(game->loading.unusedBank, nullptr);
  ASSERT_NE(game->loading.player, nullptr);
  EXPECT_EQ(game->loading.player->x, 120);
  EXPECT_EQ(game->loading.player->y, 160);
  ASSERT_NE(game->loading.savedBackground, nullptr);
  EXPECT_EQ(game->loading.savedBackground->getBitsPerPixel(), 16);
  EXPECT_EQ(game->frontEnd.backLayer, game->loading.savedBackgroundGraphics);
  EXPECT_TRUE(exists("save.sav"));
  EXPECT_EQ(game->files.bar.data, nullptr);  // closed again
}

TEST_F(Loading, LogoHoldsFourAndAHalfSecondsThenLoadsTheMenus) {
  runUntilLeft(k_stateStart);
  runUntilLeft(k_stateLoadInit);
  updateLogo(*game);
  ASSERT_NE(game->loading.logoPlayer, nullptr);
  EXPECT_EQ(game->loading.logoPlayer->getAnim(), 0);
  EXPECT_NE(game->loading.logoPlayer->flags & SpriteAnimPlayer::kHold, 0u);
  const uint32_t start = game->loading.logoStartTime;
  game->frame.gameClock = start + 4500;
  updateLogo(*game);
  EXPECT_EQ(game->states.gameState, k_stateLogo);
  game->frame.gameClock = start + 4501;
  updateLogo(*game);
  EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading);
  EXPECT_EQ(game->loading.logoBank, nullptr);
  for (int s : {0, 1, 2, 4, 6}) EXPECT_NE(game->loading.sprites[s], nullptr) << s;
  for (int s : {3, 5, 7}) EXPECT_EQ(game->loading.sprites[s], nullptr) << s;
  EXPECT_NE(game->files.record4, nullptr);
}

TEST_F(Loading, LogoPaintShowsTheLogoAndItsLine) {
  runUntilLeft(k_stateStart);
  runUntilLeft(k_stateLoadInit);
  updateLogo(*game);
  for (int i = 0; i < 40; ++i) paintLogo(*game, screen.getGraphics());
  int lit = 0, text = 0;
  for (int y = 120; y < 180; ++y)
    for (int x = 40; x < 210; ++x) lit += pixel(screen, x, y) != 0;
  for (int y = 209; y < 209 + game->loading.fontLineHeight[1]; ++y)
    for (int x = 0; x < 240; ++x) text += pixel(screen, x, y) != 0;
  EXPECT_GT(lit, 2000);
  EXPECT_GT(text, 50);
  EXPECT_EQ(pixel(screen, 2, 2), 0);
}

// Slots 0-68 after 5, 10 and 20 main-menu steps: filled or not, built or
// not, raw data kept or not.
TEST_F(Loading, MainMenuStepsFillTheSlotsAsTheirRowsSay) {
  reachMainMenuLoading();
  runSteps(1);  // entry and step 0
  struct Row {
    int first, last;
    bool builtIfFree, keepAlways;
    bool pubOrMap;  // kept banks keep their data (pub: built; map: unbuilt)
    bool mapRule;
  };
  const Row rows[] = {
      {0, 12, true, false, false, false},  {13, 23, true, false, false, false}, {24, 24, true, true, false, false},
      {25, 25, false, true, false, false}, {26, 39, true, false, true, false},  {40, 41, false, true, false, false},
      {42, 46, true, false, true, false},  {47, 47, false, true, false, false},  {48, 59, true, false, true, true},
      {60, 68, false, true, false, false},
  };
  struct Point {
    int steps, filledUpTo;
  };
  for (const Point p : {Point{6, -1}, Point{11, 18}, Point{21, 68}}) {
    runSteps(p.steps - game->loading.step);
    ASSERT_EQ(game->loading.step, p.steps);
    for (const Row& r : rows)
      for (int s = r.first; s <= r.last; ++s) {
        const ASprite* b = game->loading.sprites[s];
        if (s > p.filledUpTo) {
          const bool fromLogo = s == 0 || s == 1 || s == 2 || s == 4 || s == 6;
          EXPECT_EQ(b != nullptr, fromLogo) << "step " << p.steps << " slot " << s;
          continue;
        }
        ASSERT_NE(b, nullptr) << s;
        const bool kept = r.pubOrMap && isSpriteKept(*game, s);
        const bool expectBuilt = r.builtIfFree && !(kept && r.mapRule);
        EXPECT_EQ(built(b), expectBuilt) << "slot " << s;
        EXPECT_EQ(dataKept(b), r.keepAlways || kept) << "slot " << s;
      }
  }
  EXPECT_TRUE(getInterfaceElementCount(*game, 58) >= 3);
}

TEST_F(Loading, MainMenuLoadingWaitsForTheStepsAndTheAnimationAndLoadsSoundsOnce) {
  reachMainMenuLoading();
  int frames = runUntilLeft(k_stateMainMenuLoading);
  const ASprite* bar = game->loading.bank;
  ASSERT_NE(bar, nullptr);
  int animTicks = 0;
  for (int i = 0; i < bar->getAnimFrameCount(0); ++i) animTicks += bar->getAnimFrameTime(0, i);
  // The frame of the last step already advances the animation.
  EXPECT_GE(frames, 45 + animTicks - 1);
  EXPECT_EQ(game->states.gameState, k_stateFirstRunQuestion);
  EXPECT_EQ(game->loading.firstLoad, 0);
  EXPECT_EQ(game->frontEnd.loadingScreenUp, 0);
  OggSoundPlayer* sounds = shell->soundPlayer();
  ASSERT_NE(sounds, nullptr);
  const int loaded = sounds->loadedCount();
  EXPECT_EQ(loaded, 15);
  // Second loading: the menu again, no sound work; answered question: menu.
  game->loading.soundQuestionAsked = 1;
  game->setState(k_stateMainMenuLoading);
  runUntilLeft(k_stateMainMenuLoading);
  EXPECT_EQ(sounds->loadedCount(), loaded);
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
}

TEST_F(Loading, BackQuitsOnTheFirstLoadingAndLaterDropsThePendingState) {
  reachMainMenuLoading();
  updateMainMenuLoading(*game);
  pressBack();
  updateMainMenuLoading(*game);
  EXPECT_EQ(game->loading.quitRequested, 1);
  // A later loading with a pending state from elsewhere: back clears it.
  game->loading.quitRequested = 0;
  game->loading.firstLoad = 0;
  game->loading.pendingReturnState = k_statePub;
  game->loading.pendingSetByMatchLoading = 0;
  updateMainMenuLoading(*game);
  EXPECT_EQ(game->loading.pendingReturnState, -1);
  EXPECT_EQ(game->loading.quitRequested, 0);
  // Set by a cancelled match loading: kept.
  game->loading.pendingReturnState = k_stateTutorialChoice;
  game->loading.pendingSetByMatchLoading = 1;
  updateMainMenuLoading(*game);
  EXPECT_EQ(game->loading.pendingReturnState, k_stateTutorialChoice);
}

// A match loaded to its end: slots 100-110, banks A-J and both players; back
// instead returns to the screen before the match.
TEST_F(Loading, MatchLoadingFillsTheMatchBanksAndStartsTheMatch) {
  reachMainMenuLoading();
  runUntilLeft(k_stateMainMenuLoading);
  game->match.gameType = k_gameTypeQuickMatch;
  game->setup.chosenCharacter[0] = 2;
  game->setup.chosenCharacter[1] = 7;
  game->setup.tableIndex = 4;
  game->career.equippedLevel[1] = 3;
  ASprite* badge8 = game->loading.sprites[8];
  enterGameLoading(*game);
  for (int i = 0; i < 41; ++i) updateGameLoading(*game);
  EXPECT_EQ(game->loading.step, 40);
  for (int s = 100; s <= 110; ++s) EXPECT_EQ(game->loading.sprites[s] != nullptr, s != 103) << s;
  EXPECT_EQ(game->loading.sprites[104], badge8);
  EXPECT_EQ(game->loading.sprites[8], nullptr);
  EXPECT_TRUE(dataKept(game->loading.sprites[101]));
  EXPECT_TRUE(dataKept(game->loading.sprites[102]));
  EXPECT_FALSE(dataKept(game->loading.sprites[100]));
  EXPECT_EQ(game->loading.sprites[102]->getCurrentPalette(), 4);
  for (int b = 0; b < k_matchBankCount; ++b) EXPECT_NE(game->loading.matchBanks[b], nullptr) << b;
  EXPECT_EQ(game->loading.matchBanks[5]->effectMode, 6);
  EXPECT_EQ(game->loading.matchBanks[9]->effectMode, 6);
  ASSERT_NE(game->loading.matchPlayerH, nullptr);
  EXPECT_EQ(game->loading.matchPlayerH->x, 120);
  EXPECT_EQ(game->loading.matchPlayerH->y, 0);
  ASSERT_NE(game->loading.matchPlayerI, nullptr);
  EXPECT_EQ(game->loading.matchPlayerI->active, 0);
  // A hard hit starts the spark at the ball, from its first frame, every time.
  for (int hit = 0; hit < 2; ++hit) {
    restartHitSpark(*game, 50 + hit, 60);
    EXPECT_EQ(game->loading.matchPlayerI->active, 1);
    EXPECT_EQ(game->loading.matchPlayerI->getAnim(), k_animHitSpark);
    EXPECT_EQ(game->loading.matchPlayerI->x, 50 + hit);
    EXPECT_EQ(game->loading.matchPlayerI->y, 60);
    EXPECT_FALSE(game->loading.matchPlayerI->isAnimOver());
    for (int f = 0; f < 3; ++f) game->loading.matchPlayerI->update();
  }
  game->loading.matchPlayerI->active = 0;
  EXPECT_EQ(getPoolBank(*game, k_poolBankBalls1to8), game->loading.matchBanks[1]);
  // Portraits of the two chosen characters stay, the others went.
  for (int c = 0; c <= 10; ++c) EXPECT_EQ(game->loading.sprites[13 + c] != nullptr, c == 2 || c == 7) << c;
  for (int i = 0; i < 200 && !game->states.inGame; ++i) game->update(nullptr);
  EXPECT_EQ(game->states.inGame, 1);
  // The new match runs on to the opponent's introduction.
  EXPECT_EQ(game->states.previousState, k_stateStartDispatch);
  EXPECT_EQ(game->states.gameState, k_stateOpponentIntro);
  EXPECT_EQ(game->setup.playerCharacter[0], 2);
  EXPECT_EQ(game->setup.playerCharacter[1], 7);
  EXPECT_EQ(game->match.playerProfile[0], -1);
  EXPECT_EQ(game->match.playerProfile[1], 8);  // character 7, eighth of the ten rivals by rank
  // The menus again: the match banks are released, slot 1 stays.
  game->setState(k_stateMainMenuLoading);
  runSteps(2);
  for (int b = 0; b < k_matchBankCount; ++b) EXPECT_EQ(game->loading.matchBanks[b], nullptr) << b;
  for (int s = 0; s < k_spriteSlotCount; ++s) EXPECT_EQ(game->loading.sprites[s] != nullptr, s == 1) << s;
}

TEST_F(Loading, CancelledMatchLoadingReturnsToTheScreenBefore) {
  reachMainMenuLoading();
  runUntilLeft(k_stateMainMenuLoading);
  struct Case {
    int32_t from, back;
  } cases[] = {{k_stateTutorialChoice, k_stateTutorialChoice},
               {k_stateChallengeList, k_stateChallengeList},
               {k_stateMainMenu, k_stateVersus}};
  for (const Case& c : cases) {
    game->setState(c.from);
    game->match.gameType = k_gameTypeTutorial;
    enterGameLoading(*game);
    for (int i = 0; i < 4; ++i) updateGameLoading(*game);
    pressBack();
    updateGameLoading(*game);
    releaseKeys();
    EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading);
    EXPECT_EQ(game->loading.pendingReturnState, c.back);
    runUntilLeft(k_stateMainMenuLoading);
    EXPECT_EQ(game->states.gameState, c.back) << c.from;
    EXPECT_EQ(game->loading.pendingReturnState, -1);
  }
}

// Half the steps fill half of frame 13: gold before the middle, the groove
// after the bright end.
TEST_F(Loading, HalfTheStepsFillHalfTheBar) {
  runUntilLeft(k_stateStart);
  runUntilLeft(k_stateLoadInit);
  ASprite* bar = game->loading.bank;
  ASSERT_NE(bar, nullptr);
  const int x0 = 120 + bar->getFrameModuleX(13, 0), w = bar->getFrameWidth(13);
  const int capHalf = bar->getFrameWidth(14) / 2 + 1;
  Graphics* g = screen.getGraphics();
  for (int step : {0, 20, 40}) {
    g->setColor(0xFF000000);
    g->fillRect(0, 0, 240, 320);
    game->loading.step = step;
    game->loading.stepCount = 40;
    paintLoadingBar(*game, g, 160);
    const int edge = x0 + w * step / 40;
    if (step > 0) {
      EXPECT_GT(red(pixel(screen, edge - capHalf - 2, 160)), 150) << step;
    }
    if (step < 40) {
      EXPECT_LT(red(pixel(screen, edge + capHalf + 2, 160)), 100) << step;
    }
  }
}

TEST_F(Loading, LoadingHintNeverRepeats) {
  for (uint32_t seed : {1u, 77u, 123456u, 0xDEADBEEFu}) {
    for (int32_t last = 0; last <= 8; ++last) {
      Random copy;
      copy.setSeed(seed);
      const int32_t r = copy.nextInt(0, 9);
      game->engine.random->setSeed(seed);
      game->loading.hint = last;
      pickLoadingHint(*game);
      EXPECT_EQ(game->loading.hint, r == last ? (r + 1) % 8 : r);
      EXPECT_NE(game->loading.hint, last);
      EXPECT_LE(game->loading.hint, 8);
    }
  }
}

TEST_F(Loading, SavedBackgroundCopiesAndScrolls) {
  game->loading.savedBackground = new MutableImage(240, 320, 16);
  auto* bg = static_cast<uint16_t*>(game->loading.savedBackground->getPixels());
  const int bgPitch = game->loading.savedBackground->getPitch() / 2;
  for (int y = 0; y < 320; ++y)
    for (int x = 0; x < 240; ++x) bg[y * bgPitch + x] = static_cast<uint16_t>(x * 131 + y * 7);
  MutableImage copy(240, 320, 16);
  drawSavedBackground(*game, copy.getGraphics());
  for (int n : {0, 1, 100, 239, 240, 481, -1}) {
    drawSavedBackgroundScrolled(*game, screen.getGraphics(), n);
    const int shift = ((n % 240) + 240) % 240;
    for (int y : {0, 151, 319})
      for (int x : {0, 1, 120, 238, 239})
        ASSERT_EQ(pixel(screen, x, y), bg[y * bgPitch + (x + shift) % 240]) << n << " " << x << "," << y;
    if (n == 0) {
      for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(pixel(screen, x, y), pixel(copy, x, y));
    }
  }
  // A smaller screen gets what both hold; without a background nothing changes.
  MutableImage small(100, 50, 16);
  drawSavedBackground(*game, small.getGraphics());
  EXPECT_EQ(pixel(small, 99, 49), bg[49 * bgPitch + 99]);
  delete game->loading.savedBackground;
  game->loading.savedBackground = nullptr;
  small.getGraphics()->setColor(0xFF0000FF);
  small.getGraphics()->fillRect(0, 0, 100, 50);
  const uint16_t blue = pixel(small, 99, 49);
  drawSavedBackground(*game, small.getGraphics());
  drawSavedBackgroundScrolled(*game, small.getGraphics(), 5);
  EXPECT_EQ(pixel(small, 99, 49), blue);
}

// Banks a match keeps, by game type.
TEST_F(Loading, UnusedSpritesForMatchKeepTheSetOfTheGameType) {
  struct Case {
    int32_t type, c0, c1, career, rival, rivalIndex;
    std::set<int> portraits;
  } cases[] = {
      // Career rivals come from the roster row of the career character (1: slots 3, 4 and 8 are 4, 5 and 8).
      {k_gameTypeQuickMatch, 2, 7, 0, 0, 0, {2, 7}},   {k_gameTypeSingleMatch, 4, 4, 9, 9, 0, {4}},
      {k_gameTypeCareer, 0, 0, 1, 0, 3, {1, 4, 5}},    {k_gameTypeCareer, 0, 0, 1, 0, 8, {1, 8}},
      {k_gameTypeTournament, 0, 0, 5, 10, 0, {5, 10}}, {k_gameTypeQuickMatch, -3, 99, 0, 0, 0, {0, 10}},
  };
  for (const Case& c : cases) {
    for (int s = 0; s < k_spriteSlotCount; ++s) {
      delete game->loading.sprites[s];
      game->loading.sprites[s] = new ASprite();
    }
    game->match.gameType = c.type;
    game->setup.chosenCharacter[0] = c.c0;
    game->setup.chosenCharacter[1] = c.c1;
    game->career.progress.character = c.career;
    game->setup.chosenRival = c.rival;
    game->setup.rivalIndex = c.rivalIndex;
    freeUnusedSpritesForMatch(*game);
    std::set<int> keep = {0, 1, 2, 3, 6, 8, 9, 10, 12, 24, 28};
    for (int p : c.portraits) keep.insert(13 + p);
    for (int s = 0; s < k_spriteSlotCount; ++s)
      EXPECT_EQ(game->loading.sprites[s] != nullptr, keep.count(s) == 1) << "type " << c.type << " slot " << s;
  }
}

TEST_F(Loading, KeptSpritesAreTheBanksOfTheNamedSpriteElements) {
  auto sprite = [](int bank) {
    std::vector<uint8_t> out;
    bar::putRecord(out, 0, 0, 0, {static_cast<int16_t>(bank), 0, -1, 1, 0, 0, 0, 0, 0, 0, 0});
    return out;
  };
  std::vector<uint8_t> i21;
  for (int e = 0; e <= 25; ++e) {
    std::vector<uint8_t> r = sprite(e == 3 ? 31 : e == 24 ? 50 : 140);
    i21.insert(i21.end(), r.begin(), r.end());
  }
  loadInterface(*game, 21, i21.data(), static_cast<int32_t>(i21.size()));
  std::vector<uint8_t> i25;
  bar::putRecord(i25, 0, 0, 0, {33, 0, -1, 1, 0, 0, 0, 0, 0, 0, 0});
  bar::putRecord(i25, 1, 0, 0, {44, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // a text box, not a sprite
  bar::putRecord(i25, 1, 0, 0, {44, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  bar::putRecord(i25, 1, 0, 0, {44, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  loadInterface(*game, 25, i25.data(), static_cast<int32_t>(i25.size()));
  for (int s : {31, 50, 140}) EXPECT_TRUE(isSpriteKept(*game, s)) << s;
  for (int s : {33, 44, 0, 2, 149}) EXPECT_FALSE(isSpriteKept(*game, s)) << s;  // 32 missing, 25:3 a text box
}

// Missing archives leave empty slots; nothing hangs without a loading bank.
TEST_F(Loading, MissingAndDamagedArchivesLeaveSlotsEmpty) {
  for (const char* name : {"i.bar", "menu.bar", "chr.bar", "pub.bar", "map.bar", "loc.bar", "interf.bar", "ig.bar"})
    std::filesystem::remove(path(name));
  // A damaged menu.bar: entries that are no sprite banks, or cut short.
  writeBytes("menu.bar", bar::writeArchive({{1, 2, 3}, {}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}));
  runUntilLeft(k_stateStart);
  EXPECT_EQ(runUntilLeft(k_stateLoadInit), 7);
  EXPECT_EQ(game->loading.bank, nullptr);
  EXPECT_EQ(game->text.fonts[0], nullptr);
  updateLogo(*game);
  game->loading.logoStartTime = game->frame.gameClock - 5000;
  updateLogo(*game);
  ASSERT_EQ(game->states.gameState, k_stateMainMenuLoading);
  EXPECT_LE(runUntilLeft(k_stateMainMenuLoading), 60);
  EXPECT_EQ(game->states.gameState, k_stateFirstRunQuestion);
  for (int s = 0; s < k_spriteSlotCount; ++s) EXPECT_EQ(game->loading.sprites[s], nullptr) << s;
  game->match.gameType = k_gameTypeQuickMatch;
  game->setup.tableIndex = 12;  // out of range: table 8
  enterGameLoading(*game);
  EXPECT_LE(runUntilLeft(k_stateGameLoading), 60);
  EXPECT_EQ(game->states.inGame, 1);
}

// Every entry the loading tables read is a sprite bank in the built data,
// with the frames, animations, palettes, elements and texts the code names.
TEST_F(Loading, BuiltDataHoldsEverythingTheLoadingNames) {
  struct Archive {
    const char* name;
    std::vector<int> entries;
  };
  std::vector<int> ig;
  for (int e = 0; e <= 43; ++e)
    if (e != 41) ig.push_back(e);
  const Archive archives[] = {
      {"i.bar", {0, 1, 3, 4, 6}},
      {"menu.bar", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"chr.bar", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"pub.bar", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
      {"map.bar", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"loc.bar", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"ig.bar", ig},
  };
  for (const Archive& a : archives) {
    ASSERT_EQ(loadBar(*game, a.name), 1) << a.name;
    for (int e : a.entries) {
      ASprite* bank = parseBank(*game, e);
      ASSERT_NE(bank, nullptr) << a.name << " " << e;
      if (std::string(a.name) == "i.bar" && e == 6) {
        EXPECT_GT(bank->frameCount, 14);
        for (int f : {12, 13, 14}) EXPECT_GT(bank->getFrameModuleCount(f), 0) << f;
        ASSERT_GE(bank->animCount, 1);
        EXPECT_GE(bank->getAnimFrameCount(0), 8);
        for (int i = 0; i < bank->getAnimFrameCount(0); ++i) EXPECT_GE(bank->getAnimFrameTime(0, i), 1);
      }
      if (std::string(a.name) == "i.bar" && e == 1) {
        EXPECT_GE(bank->animCount, 1);
      }
      if (std::string(a.name) == "ig.bar" && e == 2) {
        EXPECT_GE(bank->paletteCount, 9);
      }
      delete bank;
    }
  }
  for (const char* other : {"text.bar", "interf.bar", "table.bar"}) EXPECT_TRUE(exists(other)) << other;
  ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
  loadInterfaces(*game);
  unloadBar(*game);
  for (int e : {0, 1}) {
    const int16_t* el = getInterfaceElement(*game, 58, e);
    ASSERT_NE(el, nullptr) << e;
    EXPECT_EQ(el[F::kWordType], F::kText) << e;
  }
  EXPECT_GT(getInterfaceElementHeight(*game, 58, 2), 0);
  loadStrings(*game, 0);
  std::vector<int> texts = {46, 708, 720};
  for (int t = 709; t <= 717; ++t) texts.push_back(t);
  for (int t : texts) EXPECT_GT(getStringLength(*game, t), 3) << t;
}

}  // namespace
