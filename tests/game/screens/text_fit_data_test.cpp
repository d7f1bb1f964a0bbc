// Every text a screen outside the match draws into a text box fits it, in
// the built data set, measured by the game's own layout with the game's
// fonts: each line within the box's width and all of it on the box's one
// page (a paged box: a page for each page the text asks for). Numbers take
// the widest values the screens show; "%t" tags are filled as the screens
// fill them. And the sprites that stood on texts or at the edges keep off.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/interfaces/InterfaceFixture.h"
#include "zul/2d/ASprite.h"

namespace {

// A text as a screen builds it: an id with its "%t" tags filled by texts, or
// a fixed string; `number` is printed for every "%n".
struct Text {
  int id = 0;
  std::vector<int> tags;
  std::string fixed;
  int number = 0;
};
Text T(int id, int number = 0) { return {id, {}, "", number}; }
Text Tags(int id, std::vector<int> tags, int number = 0) { return {id, std::move(tags), "", number}; }
Text S(const char* fixed) { return {0, {}, fixed, 0}; }
std::vector<Text> Ids(int first, int last, int number = 0) {
  std::vector<Text> out;
  for (int id = first; id <= last; ++id) out.push_back(T(id, number));
  return out;
}

// Texts drawn into elements first..last of an interface (a list's rows take
// any of its entries).
struct Box {
  int interface, first, last;
  std::vector<Text> texts;
  bool paged = false;
};

constexpr int kMoney = 99999, kBetMost = 7500, kPercent = 100, kCount = 99;
const char* const kTouchName = "Touch character name to select";

class TextFitData : public InterfaceTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    InterfaceTest::SetUp();
    for (const char* name : {"interf.bar", "text.bar", "i.bar", "menu.bar"})
      std::filesystem::copy_file(std::string(data) + "/" + name, path(name));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    loadInterfaces(*game);
    unloadBar(*game);
    loadStrings(*game, 0);
    // The game's two fonts, as the start-up loads them, and the UI, seat and
    // small-head banks.
    ASSERT_EQ(loadBar(*game, "i.bar"), 1);
    delete[] game->text.charMap;
    game->text.charMap = getBarEntryCopy(*game, k_interfaceEntryCharMap);
    game->text.charMapCount = getBarEntrySize(*game, k_interfaceEntryCharMap) / 2;
    for (int f = 0; f < 2; ++f) {
      fonts[f].reset(makeBank(*game, k_interfaceEntryFont0 + f, k_buildAll, false, true));
      ASSERT_NE(fonts[f], nullptr);
      fonts[f]->setCharMap(game->text.charMap);
      game->text.fonts[f] = fonts[f].get();
    }
    unloadBar(*game);
    ASSERT_EQ(loadBar(*game, "menu.bar"), 1);
    for (int slot : {1, 3, 7}) {
      uiBanks[slot] = std::make_unique<ASprite>();
      const int32_t at = getBarEntryOffset(*game, slot), size = getBarEntrySize(*game, slot);
      ASSERT_GT(size, 0);
      ASSERT_TRUE(uiBanks[slot]->load(game->files.bar.data, static_cast<uint32_t>(at), static_cast<uint32_t>(size)));
    }
    unloadBar(*game);
  }
  void TearDown() override {
    if (game) game->text.fonts[0] = game->text.fonts[1] = nullptr;
    InterfaceTest::TearDown();
  }

  std::string build(const Text& t) {
    if (!t.fixed.empty()) return t.fixed;
    textBufferSetString(*game, t.id);
    for (int tag : t.tags) replaceTextTagWithText(*game, tag);
    return std::string(game->text.strings.work, static_cast<size_t>(game->text.strings.workLength));
  }

  // Empty when the text fits element `e` of interface `id`, else why not.
  std::string misfit(int id, int e, const Text& t, bool paged) {
    const int16_t* box = getInterfaceElement(*game, id, e);
    if (!box || box[F::kWordType] != F::kText) return "not a text box";
    const int w = box[F::kWordParams + F::kTextWidth], h = box[F::kWordParams + F::kTextHeight];
    const std::string s = build(t);
    if (s.empty()) return "no text";
    for (int i = 0; i < TextLayoutData::kParamCount; ++i) setTextParam(*game, i, t.number);
    game->text.layout.cacheKey = 0;
    const int pages = layoutText(*game, game->text.fonts, s.c_str(), 0, static_cast<int32_t>(s.size()),
                                 box[F::kWordParams + F::kTextFont], w, h);
    int parts = 1;
    for (size_t at = s.find("%j"); paged && at != std::string::npos; at = s.find("%j", at + 2)) ++parts;
    std::string why = pages == parts ? "" : std::to_string(pages) + " pages of " + std::to_string(h) + " px; ";
    for (int p = 0; p < std::min(pages, TextLayoutData::kMaxPages); ++p)
      if (game->text.layout.pages[p].widest > w)
        why += std::to_string(game->text.layout.pages[p].widest) + " px wide in " + std::to_string(w) + "; ";
    return why;
  }

  struct Rect {
    int x0, y0, x1, y1;  // x1, y1 exclusive
    bool meets(const Rect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    bool inside(const Rect& o) const { return x0 >= o.x0 && y0 >= o.y0 && x1 <= o.x1 && y1 <= o.y1; }
  };
  Rect text(int id, int e) {
    const int16_t* b = getInterfaceElement(*game, id, e);
    return {b[F::kWordX], b[F::kWordY], b[F::kWordX] + b[F::kWordParams + F::kTextWidth],
            b[F::kWordY] + b[F::kWordParams + F::kTextHeight]};
  }
  // The frame a sprite element paints (its frame, or its animation's first).
  Rect sprite(int id, int e, int frame = -1) {
    const int16_t* b = getInterfaceElement(*game, id, e);
    ASprite* bank = uiBanks[std::clamp<int>(b[F::kWordParams + F::kSpriteBank], 0, 7)].get();
    if (b[F::kWordType] != F::kSprite || !bank) {
      ADD_FAILURE() << "interface " << id << " element " << e << ": no sprite of a loaded bank";
      return {};
    }
    int32_t r[4] = {};
    const int anim = b[F::kWordParams + F::kSpriteAnim];
    if (frame < 0 && anim >= 0)
      bank->getAnimFrameRect(r, anim & ~F::kPlayModeBits, 0, b[F::kWordX], b[F::kWordY], 0);
    else
      bank->getFrameRect(r, frame >= 0 ? frame : b[F::kWordParams + F::kSpriteFrame], b[F::kWordX], b[F::kWordY], 0);
    return {std::min(r[0], r[2]), std::min(r[1], r[3]), std::max(r[0], r[2]), std::max(r[1], r[3])};
  }

  std::unique_ptr<ASprite> fonts[2], uiBanks[8];
};

TEST_F(TextFitData, EveryScreenTextFitsItsBox) {
  std::vector<Box> boxes = {
      // Sound question, title, main menu, question, options, help, tutorial choice, help page, about.
      {0, 8, 8, {T(39)}}, {0, 15, 15, {T(47)}}, {0, 4, 5, {T(17), T(18)}}, {1, 3, 3, {T(30)}}, {1, 5, 5, {T(213)}},
      {2, 6, 12, Ids(31, 37)},
      {3, 16, 16, {T(37), T(40), T(54), T(64), T(65), T(193), T(634), T(674), T(678), T(694)}},
      {3, 8, 8, {T(1), T(110), T(112), T(635), T(649), T(675), T(676), T(679)}},
      {3, 20, 20, {T(680), T(693), T(727)}}, {3, 9, 10, {T(17), T(18)}}, {3, 29, 31, Ids(403, 405)},
      {6, 10, 14, {T(40), T(196)}}, {6, 20, 20, {T(34)}},
      {7, 11, 14, {T(49), T(50), T(51), T(53)}}, {7, 20, 20, {T(52)}}, {8, 8, 11, Ids(55, 59)}, {8, 22, 22, {T(54)}},
      {38, 13, 13, {T(49), T(51), T(181), T(183), T(185)}}, {38, 5, 5, {T(180), T(182), T(184), T(186)}, true},
      {51, 7, 7, {T(36)}},
      // Match set-up, career start, match loading, match start.
      {4, 8, 10, Ids(41, 43)}, {4, 23, 23, {T(48)}}, {16, 21, 21, {T(2), T(3), T(4)}}, {16, 22, 22, {S(kTouchName)}},
      {17, 21, 21, {T(4)}}, {17, 9, 9, Ids(77, 85)}, {17, 10, 10, Ids(86, 94)}, {17, 11, 11, Ids(96, 104)},
      {17, 27, 27, {T(489)}}, {17, 28, 28, {S(kTouchName), T(728)}}, {18, 8, 8, {T(4)}}, {19, 14, 14, {T(30)}},
      {15, 2, 2, {T(115)}, true}, {33, 11, 11, {T(155)}}, {33, 5, 5, Ids(157, 164)},
      {33, 6, 6, {Tags(207, {435}, 500)}}, {33, 7, 7, {T(156)}}, {34, 4, 4, {T(165)}}, {35, 6, 6, Ids(96, 104)},
      {58, 0, 0, {T(708)}}, {58, 1, 1, Ids(709, 717)},
      {11, 4, 4, {T(209)}}, {11, 6, 6, {T(210)}}, {11, 8, 8, {T(211)}}, {11, 10, 10, {T(208)}},
      {11, 5, 5, {T(435, kBetMost)}}, {11, 7, 7, {T(435, kBetMost)}}, {11, 9, 9, {T(435, kMoney)}},
      {11, 11, 11, {T(435, kBetMost)}}, {13, 7, 7, {T(652), T(654)}}, {13, 8, 9, {T(27), T(28)}},
      {14, 8, 8, {T(656)}}, {14, 9, 11, {T(25), T(26), T(655)}},
      // Pub, challenges, tournaments.
      {27, 12, 12, {T(61), T(38), T(62), T(63), T(64), T(65)}}, {27, 3, 3, Ids(66, 71)},
      {37, 8, 12, {T(116), T(117), T(118), T(119), T(706)}}, {37, 25, 25, {T(120)}}, {37, 29, 29, {T(707), T(165)}},
      {36, 6, 9, Ids(121, 152)}, {36, 20, 20, {T(153)}}, {36, 25, 25, {T(154, 7), Tags(689, {435}, 250)}},
      {36, 26, 26, {T(30)}}, {36, 27, 27, {T(718), T(719, kCount), S("Change Page")}},
      {5, 9, 11, Ids(72, 74)}, {5, 17, 17, {T(75)}}, {5, 19, 19, {T(76)}},
      {29, 7, 8, {T(687), T(688)}}, {29, 17, 17, {T(686)}},
      {30, 12, 12, Ids(681, 683)}, {30, 13, 13, {S(kTouchName)}},
      {31, 20, 20, {T(684)}}, {31, 6, 6, {T(685)}}, {31, 7, 8, {T(17), T(18)}},
      {44, 5, 5, Ids(189, 192)}, {44, 6, 6, {T(30)}}, {44, 85, 85, {T(650)}}, {44, 87, 87, {T(651)}},
      {44, 86, 86, {T(435, kMoney)}}, {44, 88, 88, {T(435, kMoney)}},
      {45, 11, 11, {T(61)}}, {45, 12, 12, {T(657)}}, {45, 13, 13, {T(30)}}, {45, 14, 14, {T(650)}},
      {45, 15, 15, {T(651)}}, {45, 18, 19, {T(435, kMoney)}},
      // Shop, achievements, unlocks, career end.
      {40, 36, 36, {T(64)}}, {40, 42, 42, {T(111)}}, {40, 28, 30, Ids(403, 405)},
      {40, 31, 31, {Tags(421, {435}, 15000)}}, {40, 35, 35, {Tags(105, {435}, kMoney)}}, {40, 32, 32, Ids(406, 420)},
      {40, 33, 33, {T(440), T(441)}}, {40, 57, 57, {T(422), T(726)}}, {41, 5, 5, {T(504)}},
      {42, 9, 9, {T(438)}}, {42, 10, 10, {T(439)}}, {42, 11, 11, {T(440)}},
      {47, 28, 28, {T(38)}}, {47, 13, 15, {T(325, kPercent)}}, {47, 16, 18, Ids(322, 324)},
      {48, 11, 15, Ids(330, 359)}, {48, 28, 28, Ids(326, 328, kPercent)}, {48, 10, 10, Ids(360, 389)},
      {48, 10, 10, {S("Change Page")}}, {49, 5, 5, {T(329)}}, {49, 6, 6, Ids(330, 359)},
      {50, 7, 7, {T(657)}}, {50, 8, 8, {T(658)}}, {50, 10, 10, Ids(322, 324)},
      {53, 4, 4, {T(477, 8), T(704)}, true}, {53, 5, 5, {T(488)}}, {53, 6, 6, {T(166), T(705)}},
      {54, 4, 4, Ids(478, 487, 8), true}, {54, 5, 5, {T(488)}}, {54, 6, 6, {T(390)}},
      {28, 33, 33, {Tags(692, {435}, kMoney)}}, {28, 34, 34, {T(30)}}, {28, 35, 35, {T(657)}},
      // Over a match: the menus, the questions after it, the results.
      {9, 10, 14, {T(200), T(194), T(195), T(197), T(37)}}, {9, 21, 21, {T(198)}},
      {10, 6, 9, Ids(202, 206)}, {10, 17, 17, {T(201)}},
      {52, 7, 7, {T(475)}}, {52, 21, 21, {T(476), T(721), T(k_textRetryChallenge)}}, {52, 20, 20, {T(690, 3)}},
      {52, 8, 9, {T(17), T(18)}},
      {55, 15, 15, {T(499)}}, {55, 17, 20, {T(502), T(500), T(501), T(197)}},
      {55, 23, 23, {T(671), T(670), T(672), T(71)}}, {55, 24, 24, {T(30)}},
      {57, 7, 7, {T(673), T(k_textTutorialDeclined)}},
      {43, 37, 37, {T(423)}}, {43, 4, 4, {T(424)}}, {43, 5, 7, Ids(425, 427)}, {43, 8, 8, {T(428)}},
      {43, 25, 25, {T(429)}}, {43, 9, 9, {T(430)}}, {43, 10, 10, {T(432)}}, {43, 11, 11, {T(431)}},
      // The coach's messages (the lessons' failures and aims, the challenges) and the lessons' box.
      {56, 127, 127, {T(523), T(528), T(529), T(530), T(533), T(538), T(544)}}, {56, 127, 127, Ids(545, 648)},
      {56, 125, 125, {T(526), T(531), T(536)}},
      {43, 12, 12, {T(433)}}, {43, 26, 26, {T(434)}}, {43, 13, 16, {T(435, kMoney)}}, {43, 17, 20, {T(437, kCount)}},
      {43, 21, 24, {T(435, kMoney), T(725, kBetMost)}}, {43, 28, 28, {T(435, kMoney)}}, {43, 27, 27, {T(30)}},
  };
  // The table choice's name and note through their template.
  Box table{35, 5, 5, {}};
  for (int t = 0; t < 9; ++t) table.texts.push_back(Tags(95, {77 + t, 86 + t}));
  boxes.push_back(table);
  // The pick's name slots, the one of a duel and the three of a four-player field.
  for (int e : {16, 20, 24, 28}) {
    boxes.push_back({30, e, e, Ids(391, 400)});
    boxes.push_back({30, e, e, {T(402)}});
  }
  // The options' rows with their on/off word, as the list draws them.
  for (int entry : {5, 7, 8})
    for (int word : {44, 45}) {
      textBufferSetString(*game, entry);
      textBufferAppend(*game, " ");
      textBufferAppendString(*game, word);
      boxes.push_back(
          {6, 10, 14, {{0, {}, std::string(game->text.strings.work, size_t(game->text.strings.workLength)), 0}}});
    }
  for (const Box& b : boxes)
    for (int e = b.first; e <= b.last; ++e)
      for (const Text& t : b.texts) {
        const std::string why = misfit(b.interface, e, t, b.paged);
        EXPECT_TRUE(why.empty()) << "interface " << b.interface << " element " << e << " \"" << build(t)
                                 << "\": " << why;
      }
}

// The tournament note's padlocks, the pick's back button and the stake
// screen's seat marks lie on no text; the pick's names stand apart; the
// question's rows stay inside its plate's inner line; no stake seat or mark
// touches the screen's edge.
TEST_F(TextFitData, SpritesKeepOffTextsAndInsideTheScreen) {
  const struct {
    int interface, sprite;
    std::vector<int> texts;
  } clears[] = {{5, 2, {19}},  {5, 3, {19}},  {5, 22, {19}},          {30, 30, {16, 20, 24, 28}},
                {33, 16, {5, 6, 7}}, {33, 20, {5, 6, 7}}, {33, 24, {5, 6, 7}}};
  for (const auto& c : clears)
    for (int t : c.texts)
      EXPECT_FALSE(sprite(c.interface, c.sprite).meets(text(c.interface, t)))
          << "interface " << c.interface << ": sprite " << c.sprite << " on text " << t;
  // Names side by side: the boxes apart and every name 4 px in from both sides.
  EXPECT_FALSE(text(30, 20).meets(text(30, 24)));
  EXPECT_FALSE(text(30, 24).meets(text(30, 28)));
  for (int e : {20, 24, 28})
    for (int id : {391, 392, 393, 394, 395, 396, 397, 398, 399, 400, 402}) {
      layoutString(*game, game->text.fonts, id, getInterfaceElementFont(*game, 30, e), 1000, 100);
      game->text.layout.cacheKey = 0;
      EXPECT_LE(game->text.layout.pages[0].widest, getInterfaceElementWidth(*game, 30, e) - 8) << e << " text " << id;
    }
  const Rect plate = sprite(3, 1);
  for (int row : {2, 3})
    EXPECT_TRUE(sprite(3, row).inside({plate.x0 + 6, plate.y0 + 6, plate.x1 - 6, plate.y1 - 6})) << "row " << row;
  const Rect visible{1, 1, 239, 319};
  for (int seat = 0; seat < 9; ++seat) {
    for (int frame : {k_seatFrameLocked, k_seatFrameOpen})
      EXPECT_TRUE(sprite(32, k_stakeSeat0 + seat, frame).inside(visible)) << "seat " << seat;
    EXPECT_TRUE(sprite(32, k_stakeMark0 + seat).inside(visible)) << "seat mark " << seat;
    EXPECT_TRUE(sprite(33, k_stakeListMark0 + seat).inside(visible)) << "list mark " << seat;
  }
}

}  // namespace
