// The career hub on the built data set: the career character choice (150),
// the introduction (160) and the pub (110): its scroll, the wall's ring in
// the back layer, the seats of the beaten rivals, the pending unlocks and
// the spot actions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/data/DataFixture.h"
#include "tests/game/menus/MenuFixture.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/SpriteBankFormat.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

namespace F = interfaceformat;

class Pub : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/pub.bar")) GTEST_SKIP() << "no data set";
    for (const auto& entry : std::filesystem::directory_iterator(data))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
    game = std::make_unique<cGame>(&screen);
    game->init();
    for (int i = 0; i < 40 && game->states.gameState != k_stateLogo; ++i) game->update(nullptr);
    ASSERT_EQ(game->states.gameState, k_stateLogo);
    game->loading.firstLoad = 0;  // no sounds
    for (int step = 1; step < k_mainMenuLoadingSteps; ++step) runMainMenuLoadingStep(*game, step);
    game->sound.enabled = 0;
    game->frame.frameTime = 40;
    resetProgress(*game);
  }
  void TearDown() override {
    game.reset();
    DataTest::TearDown();
  }
  void start(int32_t state) {
    game->setState(state);
    game->keys.lock(0);
    game->updateCurrentState();
  }
  void frame(std::initializer_list<int> keys = {}) {
    if (game->keys.isLocked()) game->keys.lock(0);
    for (int k : keys) game->keys.onKeyDown(k);
    game->keys.update();
    for (int k : keys) game->keys.onKeyUp(k);
    game->updateCurrentState();
  }
  void paint() { game->paintCurrentState(screen.getGraphics()); }
  int pubX() const { return game->pub.scroll >> 8; }
  std::vector<uint8_t> saved() { return readBytes("save.sav"); }
  std::set<int> wonOf(const std::vector<uint8_t>& save) {
    std::set<int> won;
    for (int c = 0; c < 10; ++c)
      if (save.at(102 + static_cast<size_t>(c))) won.insert(c);
    return won;
  }
  // The ring of the back layer unrolled to the view: what the pub's paint copies.
  std::vector<uint16_t> unrolledRing() {
    MutableImage out(240, 320, 16);
    drawSavedBackgroundScrolled(*game, out.getGraphics(), game->pub.ringOffset / 256);
    const auto* p = static_cast<const uint16_t*>(out.getPixels());
    return std::vector<uint16_t>(p, p + 240 * 320);
  }
  // The wall painted afresh for view x into a scratch back layer.
  std::vector<uint16_t> freshWall(int x) {
    MutableImage scratch(240, 320, 16);
    Graphics* saved = game->frontEnd.backLayer;
    game->frontEnd.backLayer = scratch.getGraphics();
    paintPubWallColumns(*game, x, 240, 0);
    game->frontEnd.backLayer = saved;
    const auto* p = static_cast<const uint16_t*>(scratch.getPixels());
    return std::vector<uint16_t>(p, p + 240 * 320);
  }
  // Runs frames without keys until the view rests on its target (bounded).
  std::vector<int> scrollToRest(int limit = 200) {
    std::vector<int> xs;
    for (int i = 0; i < limit && game->pub.arrivedTime == 0; ++i) {
      frame();
      xs.push_back(pubX());
    }
    return xs;
  }
  MutableImage screen{240, 320, 16};
};

// ---- career character choice

TEST_F(Pub, CareerChoiceCyclesTheOrderAndLocksPastTheThird) {
  start(k_stateCareerCharacterSelect);
  struct Step {
    int key, index, character;
    bool locked;
  };
  const Step steps[] = {{kLeft, 9, 2, true},  {kRight, 0, 0, false}, {kRight, 1, 5, false}, {kRight, 2, 9, false},
                        {kRight, 3, 3, true}, {kLeft, 2, 9, false},  {kLeft, 1, 5, false}};
  for (const Step& s : steps) {
    frame({s.key});
    EXPECT_EQ(game->pub.careerChoiceIndex, s.index);
    EXPECT_EQ(game->career.progress.character, s.character);
    EXPECT_EQ(isElementVisible(*game, k_careerLockedPicture), s.locked) << s.index;
    EXPECT_EQ(isElementVisible(*game, k_careerPortrait), !s.locked) << s.index;
    EXPECT_EQ(getInterfaceElement(*game, -1, k_careerPortrait)[F::kWordParams + F::kSpriteBank], 13 + s.character);
  }
  // Select on a locked character does nothing.
  frame({kRight});
  frame({kRight});
  ASSERT_EQ(game->pub.careerChoiceIndex, 3);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateCareerCharacterSelect);
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
}

TEST_F(Pub, CareerChoiceMarksTheStartingRivalAndASecondChoiceStartsAfresh) {
  struct Case {
    int rights, character, rival;
  };
  for (const Case& c : {Case{0, 0, 9}, Case{1, 5, 0}, Case{2, 9, 0}}) {
    resetProgress(*game);
    start(k_stateCareerCharacterSelect);
    for (int i = 0; i < c.rights; ++i) frame({kRight});
    frame({kSelect});
    ASSERT_EQ(game->states.gameState, k_stateCareerIntro) << c.character;
    const std::vector<uint8_t> save = saved();
    EXPECT_EQ(static_cast<int8_t>(save.at(101)), c.character);
    EXPECT_EQ(wonOf(save), std::set<int>{c.rival}) << c.character;
  }
  // Back from the introduction, a second choice clears the first one's rival.
  resetProgress(*game);
  start(k_stateCareerCharacterSelect);
  frame({kSelect});  // character 0: 9 beaten
  start(k_stateCareerIntro);
  frame({kRightSoft});
  ASSERT_EQ(game->states.gameState, k_stateCareerCharacterSelect);
  game->updateCurrentState();
  frame({kRight});
  frame({kSelect});  // character 5: 0 beaten
  EXPECT_EQ(wonOf(saved()), std::set<int>{0});
}

// ---- introduction

TEST_F(Pub, IntroductionPagesThenTheLastSelectStartsTheCareerAtSpotTwo) {
  game->career.pubSpot = 5;
  start(k_stateCareerIntro);
  const int pages = game->pub.introPageCount;
  ASSERT_GE(pages, 2);
  for (int p = 1; p < pages; ++p) {
    EXPECT_TRUE(isElementVisible(*game, k_introNextPage));
    frame({p % 2 ? kSelect : kDown});
    EXPECT_EQ(game->pub.introPage, p);
    EXPECT_EQ(game->keys.lockCount(), 5);
  }
  EXPECT_FALSE(isElementVisible(*game, k_introNextPage));
  frame({kDown});  // does nothing on the last page
  EXPECT_EQ(game->states.gameState, k_stateCareerIntro);
  EXPECT_EQ(saved().at(100), 0);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_statePub);
  EXPECT_EQ(saved().at(100), 1);
  EXPECT_EQ(game->frontEnd.touchPrompt, 0);
  game->updateCurrentState();
  EXPECT_EQ(game->career.pubSpot, 2);
  EXPECT_EQ(pubX(), getInterfaceElementX(*game, k_interfacePubWall, k_pubSpotElement0 + 2));
}

// ---- the pub

TEST_F(Pub, ScrollEasesToEachSpotWithoutOvershootEndingInSinglePixels) {
  game->career.pubSpot = 2;
  start(k_statePub);
  std::vector<int> spotX;
  for (int s = 0; s < k_pubSpotCount; ++s) spotX.push_back(getPubSpotX(*game, s));
  ASSERT_EQ(pubX(), spotX[2]);
  // A tenth of the distance a frame, in 1/256 pixel: 22.0, 19.8, 17.8 pixels.
  frame({kRight});
  std::vector<int> first = {pubX()};
  for (int x : scrollToRest()) first.push_back(x);
  ASSERT_GE(first.size(), 3u);
  EXPECT_EQ(first[0], spotX[2] + 22);
  EXPECT_EQ(first[1], spotX[2] + 41);
  EXPECT_EQ(first[2], spotX[2] + 59);
  struct Leg {
    int key, presses, to;
  };
  for (const Leg& leg : {Leg{kRight, 2, 5}, Leg{kLeft, 3, 2}}) {
    SCOPED_TRACE(leg.to);
    const int from = pubX();
    std::vector<int> xs;
    for (int i = 0; i < leg.presses; ++i) {
      frame({leg.key});
      xs.push_back(pubX());
    }
    EXPECT_EQ(game->career.pubSpot, leg.to);
    for (int x : scrollToRest()) xs.push_back(x);
    const int way = spotX[static_cast<size_t>(leg.to)] > from ? 1 : -1;
    int last = from;
    for (int x : xs) {
      EXPECT_GE((x - last) * way, 0);                                   // never back
      EXPECT_LE((x - spotX[static_cast<size_t>(leg.to)]) * way, 0);     // never past
      last = x;
    }
    ASSERT_GE(xs.size(), 6u);
    EXPECT_EQ(xs.back(), spotX[static_cast<size_t>(leg.to)]);
    // The last steps are one pixel each (the last frame is the rest).
    for (size_t i = xs.size() - 4; i < xs.size() - 1; ++i) EXPECT_EQ((xs[i] - xs[i - 1]) * way, 1) << i;
  }
  // At either end the arrows stop.
  game->career.pubSpot = 5;
  frame({kRight});
  EXPECT_EQ(game->career.pubSpot, 5);
  game->career.pubSpot = 0;
  frame({kLeft});
  EXPECT_EQ(game->career.pubSpot, 0);
  // A spot from elsewhere is kept within the six.
  for (auto [given, kept] : {std::pair{9, 5}, std::pair{-3, 0}}) {
    game->career.pubSpot = given;
    start(k_statePub);
    EXPECT_EQ(game->career.pubSpot, kept);
    EXPECT_EQ(pubX(), spotX[static_cast<size_t>(kept)]);
  }
}

TEST_F(Pub, SelectActsOnlyOnceTheViewHasRestedAFrame) {
  game->career.pubSpot = 2;
  start(k_statePub);
  frame({kSelect});  // arrived this very frame: not yet rested
  EXPECT_EQ(game->states.gameState, k_statePub);
  frame({kRight});
  frame();
  frame({kSelect});  // scrolling
  EXPECT_EQ(game->states.gameState, k_statePub);
  scrollToRest();
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateChallengeMenu);
  EXPECT_EQ(game->match.gameType, k_gameTypeChallenge);
  // The other spots' actions.
  struct Action {
    int spot, state, gameType;
    uint8_t shopExplanation;
  };
  for (const Action& a : {Action{0, k_stateRulesChoice, 2, 0}, Action{1, k_stateAchievementMenu, -1, 0},
                          Action{2, k_stateRulesChoice, 3, 0}, Action{4, k_stateShopExplanation, -1, 1},
                          Action{4, k_stateShop, -1, 0}, Action{5, k_stateMainMenu, -1, 0}}) {
    game->career.pubSpot = a.spot;
    game->match.gameType = k_gameTypeNone;
    game->career.progress.shopExplanationPending = a.shopExplanation;
    game->setup.rivalMatch = 1;
    game->tournaments.draw.pickedCount = 3;
    start(k_statePub);
    frame();
    frame({kSelect});
    EXPECT_EQ(game->states.gameState, a.state) << a.spot;
    EXPECT_EQ(game->match.gameType, a.gameType) << a.spot;
    if (a.spot == 2) {
      EXPECT_EQ(game->setup.rivalMatch, 0);
    }
    if (a.spot == 0) {
      EXPECT_EQ(game->tournaments.draw.pickedCount, 0);
    }
  }
  game->career.pubSpot = 3;
  start(k_statePub);
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
}

TEST_F(Pub, TheWallRingRepaintedByStripsEqualsAFreshWallAcrossTheWrap) {
  int wraps = 0;
  for (int from : {2, 0}) {
    game->career.pubSpot = from;
    start(k_statePub);
    ASSERT_EQ(unrolledRing(), freshWall(pubX()));
    for (int leg = 0; leg < 3; ++leg) {
      frame({kRight});
      int guard = 0;
      do {
        const int ring = game->pub.ringOffset;
        frame();
        if (game->pub.ringOffset < ring && game->pub.speed > 0) ++wraps;
        ASSERT_EQ(unrolledRing(), freshWall(pubX())) << "x " << pubX();
      } while (game->pub.arrivedTime == 0 && ++guard < 200);
    }
    // and back to the left
    for (int leg = 0; leg < 3; ++leg) {
      frame({kLeft});
      int guard = 0;
      do {
        frame();
        ASSERT_EQ(unrolledRing(), freshWall(pubX())) << "x " << pubX();
      } while (game->pub.arrivedTime == 0 && ++guard < 200);
    }
  }
  EXPECT_GE(wraps, 2);
}

TEST_F(Pub, SeatsShowTheBeatenRivalsWithCharacterSixOnSeatNine) {
  struct Case {
    int career;
    std::vector<int> won;
    std::vector<std::pair<int, int>> seats;  // element, character
  };
  const Case cases[] = {
      {0, {9}, {{2, 9}}},
      {0, {1, 9}, {{2, 9}, {1, 1}}},
      {0, {1, 2, 3, 4, 5, 6, 9}, {{2, 9}, {1, 1}, {0, 2}, {3, 3}, {4, 4}, {5, 5}, {9, 6}}},
      {3, {0, 1, 2, 4, 5, 9, 6}, {{2, 0}, {1, 1}, {0, 2}, {3, 4}, {4, 5}, {5, 9}, {9, 6}}},
      // Ten marked won (the career character too): the nine rivals, no more.
      {0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {{2, 9}, {1, 1}, {0, 2}, {3, 3}, {4, 4}, {5, 5}, {9, 6}, {7, 7}, {6, 8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.won.size());
    game->career.progress.character = c.career;
    for (uint8_t& w : game->career.progress.won) w = 0;
    for (int w : c.won) game->career.progress.won[w] = 1;
    start(k_statePub);
    std::vector<int> expected(10, -1);
    for (auto [e, ch] : c.seats) expected[static_cast<size_t>(e)] = ch;
    for (int e = 0; e < 10; ++e) {
      const int16_t* el = getInterfaceElement(*game, k_interfacePubSeats, e);
      ASSERT_NE(el, nullptr);
      EXPECT_EQ(el[F::kWordParams + F::kSpriteVisible] != 0, expected[static_cast<size_t>(e)] >= 0) << e;
      EXPECT_EQ(game->pub.seatCharacter[e], expected[static_cast<size_t>(e)]) << e;
      if (expected[static_cast<size_t>(e)] >= 0) {
        EXPECT_EQ(el[F::kWordParams + F::kSpriteBank], 13 + expected[static_cast<size_t>(e)]) << e;
        EXPECT_EQ(game->pub.seatOf[expected[static_cast<size_t>(e)]], e);
      }
    }
  }
}

TEST_F(Pub, PendingUnlocksOpenTheirScreensUnlessAlreadyDone) {
  struct Case {
    uint8_t challengePending;
    uint32_t challenge;
    int openCategory;  // -1 none
    uint8_t characterPending;
    uint32_t slot;
    bool available;
    int state;
  };
  const Case cases[] = {
      {1, 2, -1, 0, 0, false, k_stateChallengeUnlocked},
      {1, 2, 3, 0, 0, false, k_statePub},           // already open in a category: dropped
      {1, 2, 3, 1, 4, false, k_stateCharacterUnlocked},
      {0, 0, -1, 1, 4, true, k_statePub},           // already available: dropped
      {1, 99, -1, 1, 0x80000000u, false, k_statePub},  // out of range: nothing to unlock
  };
  for (const Case& c : cases) {
    resetProgress(*game);
    for (uint8_t& a : game->career.characterAvailable) a = 0;
    game->career.progress.pendingChallengeUnlock = c.challengePending;
    game->career.progress.pendingChallengeIndex = c.challenge;
    for (auto& category : game->career.progress.challengeStates) category[2] = 0;
    if (c.openCategory >= 0) game->career.progress.challengeStates[c.openCategory][2] = 1;
    game->career.progress.pendingCharacterUnlock = c.characterPending;
    game->career.progress.pendingUnlockSlot = c.slot;
    if (c.available) game->career.characterAvailable[c.slot] = 1;
    start(k_statePub);
    EXPECT_EQ(game->states.gameState, c.state) << c.challenge << " " << c.slot;
    if (c.state == k_statePub) {
      EXPECT_EQ(game->career.progress.pendingChallengeUnlock, 0);
      EXPECT_EQ(game->career.progress.pendingCharacterUnlock, 0);
    }
  }
}

TEST_F(Pub, EveryGlowingObjectIsInAKeptBankThatHoldsTheGlowColour) {
  struct Object {
    int interfaceId, element;
  };
  const Object objects[] = {{k_interfacePubRoom, k_pubRoomBoard},      {k_interfacePubRoom, k_pubRoomTrophies},
                            {k_interfacePubRoom, k_pubRoomTable},      {k_interfacePubParallax0 + 3, k_pubParallaxBoard},
                            {k_interfacePubRoom, k_pubRoomCounter0},   {k_interfacePubRoom, k_pubRoomCounter0 + 1},
                            {k_interfacePubRoom, k_pubRoomCounter0 + 2}, {k_interfacePubRoom, k_pubRoomDoor}};
  const int shared =
      getInterfaceElement(*game, k_interfacePubRoom, k_pubRoomKeptShared)[F::kWordParams + F::kSpriteBank];
  for (const Object& o : objects) {
    SCOPED_TRACE(std::to_string(o.interfaceId) + " " + std::to_string(o.element));
    const int16_t* e = getInterfaceElement(*game, o.interfaceId, o.element);
    ASSERT_NE(e, nullptr);
    const int slot = e[F::kWordParams + F::kSpriteBank];
    if (o.element == k_pubRoomBoard || o.element == k_pubRoomTrophies) {
      EXPECT_EQ(slot, shared);
    }
    EXPECT_TRUE(isSpriteKept(*game, slot));
    ASSERT_NE(game->loading.sprites[slot], nullptr);
    const ASprite& bank = *game->loading.sprites[slot];
    EXPECT_FALSE(bank.moduleData.empty());
    EXPECT_EQ(bank.encoding, spritebank::kEnc8Bit);
    ASSERT_FALSE(bank.palettes.empty());
    bool found = false;
    for (uint32_t c : bank.palettes[0]) found = found || (c & 0xFFFFFF) == static_cast<uint32_t>(k_pubGlowColour);
    EXPECT_TRUE(found);
  }
}

// A touch on the middle of a spot's touch area lands on the object that glows there.
TEST_F(Pub, EachSpotsTouchAreaLiesOnItsObject) {
  struct Spot {
    int x, y, w, h;  // touch area on the screen
    int interfaceId, element;
  };
  const Spot spots[] = {{88, 106, 122, 34, k_interfacePubRoom, k_pubRoomBoard},
                        {78, 112, 81, 102, k_interfacePubRoom, k_pubRoomTrophies},
                        {80, 112, 93, 67, k_interfacePubRoom, k_pubRoomTable},
                        {94, 141, 101, 140, k_interfacePubParallax0 + 3, k_pubParallaxBoard},
                        {22, 86, 184, 120, k_interfacePubRoom, k_pubRoomCounter0},
                        {194, 80, 44, 213, k_interfacePubRoom, k_pubRoomDoor}};
  constexpr int64_t kFactor25 = 124416;  // the nearest layer's parallax, 1/65536
  for (int s = 0; s < k_pubSpotCount; ++s) {
    SCOPED_TRACE(s);
    const Spot& t = spots[s];
    const int scroll = getPubSpotX(*game, s);
    const int offset = t.interfaceId == k_interfacePubRoom ? scroll : static_cast<int>((scroll * kFactor25) >> 16);
    const int16_t* e = getInterfaceElement(*game, t.interfaceId, t.element);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(game->loading.sprites[e[F::kWordParams + F::kSpriteBank]], nullptr);
    int32_t r[4];
    game->loading.sprites[e[F::kWordParams + F::kSpriteBank]]->getFrameRect(r, e[F::kWordParams + F::kSpriteFrame],
                                                                            e[F::kWordX] - offset, e[F::kWordY], 0);
    const int cx = t.x + t.w / 2, cy = t.y + t.h / 2;
    EXPECT_TRUE(cx >= r[0] && cx < r[2] && cy >= r[1] && cy < r[3])
        << cx << "," << cy << " in " << r[0] << "," << r[1] << "-" << r[2] << "," << r[3];
  }
}

// The scenery backdrop is the pub as it stands, without the captions.
TEST_F(Pub, TheSceneryBackdropIsThePubWithoutItsCaptions) {
  for (uint8_t& w : game->career.progress.won) w = 1;
  game->career.pubSpot = 4;
  start(k_statePub);
  frame();
  const int x = pubX();
  game->pub.targetX = x + 100;  // no glow in this paint
  paint();
  const auto* p = static_cast<const uint16_t*>(screen.getPixels());
  const std::vector<uint16_t> pub(p, p + 240 * 320);
  auto scenery = [&](int shade) {
    MutableImage out(240, 320, 16);
    Graphics* saved = game->frontEnd.backLayer;
    game->frontEnd.backLayer = out.getGraphics();
    paintPubScenery(*game, x, true, true, shade);
    game->frontEnd.backLayer = saved;
    const auto* q = static_cast<const uint16_t*>(out.getPixels());
    return std::vector<uint16_t>(q, q + 240 * 320);
  };
  const std::vector<uint16_t> plain = scenery(0), dark = scenery(0x80);
  auto caption = [](int px, int py) {
    return py < 70 || (py >= 139 && py < 194 && (px < 40 || px >= 200)) || (py >= 284 && px >= 195);
  };
  int compared = 0, darker = 0;
  for (int py = 0; py < 320; ++py)
    for (int px = 0; px < 240; ++px) {
      if (caption(px, py)) continue;
      const size_t i = static_cast<size_t>(py * 240 + px);
      ASSERT_EQ(plain[i], pub[i]) << px << "," << py;
      ++compared;
      darker += ((dark[i] >> 11) < (plain[i] >> 11) || ((dark[i] >> 5) & 63) < ((plain[i] >> 5) & 63)) ? 1 : 0;
    }
  EXPECT_GT(compared, 50000);
  EXPECT_GT(darker, compared * 9 / 10);
}

TEST_F(Pub, TheSpotGlowsOnlyAtRest) {
  EXPECT_EQ(pubGlowAmount(0), 0);
  EXPECT_EQ(pubGlowAmount(8), 220);  // 90 degrees
  EXPECT_EQ(pubGlowAmount(4), 155);  // 45 degrees
  game->career.pubSpot = 2;
  start(k_statePub);
  frame();
  // The table's rim: its glow colour in the bank, green once glowing.
  const int16_t* table = getInterfaceElement(*game, k_interfacePubRoom, k_pubRoomTable);
  ASSERT_NE(table, nullptr);
  const int tx = table[F::kWordX] - pubX(), ty = table[F::kWordY];
  auto rimGreen = [&] {
    const auto* p = static_cast<const uint16_t*>(screen.getPixels());
    int green = 0;
    for (int y = ty; y < ty + 50; ++y)
      for (int x = std::max(0, tx); x < std::min(240, tx + 106); ++x) {
        const uint16_t c = p[y * 240 + x];
        if (((c >> 5) & 63) > 2 * ((c >> 11) & 31) + 12 && ((c >> 5) & 63) > 40) ++green;
      }
    return green;
  };
  game->frame.paintFrameCount = 7;  // the next paint counts 8: the glow's peak
  paint();
  const int resting = rimGreen();
  EXPECT_GT(resting, 100);
  frame({kRight});
  frame();
  game->frame.paintFrameCount = 7;
  paint();
  EXPECT_LT(rimGreen(), resting / 4);
}

}  // namespace
