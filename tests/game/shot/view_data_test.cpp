// What the table view reads of the built data set after a match loading:
// every bank, frame, animation, palette, element and text it names.
#include <cmath>
#include <cstring>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tests/game/shot/SceneFixture.h"
#include "zul/2d/ASprite.h"

namespace {

using namespace shottest;
namespace F = interfaceformat;

bool hasFrame(ASprite* b, int f) { return b && f >= 0 && f < b->frameCount && b->getFrameModuleCount(f) > 0; }

TEST_F(SceneTest, DataSetHoldsWhatTheTableViewNames) {
  ASprite** m = game->loading.matchBanks;
  struct Balls {
    int bank, palettes;
  } balls[] = {{k_matchBankCueBall, 1}, {k_matchBankBalls1to8, k_ballPalettes}, {k_matchBankBalls9to15, k_stripePalettes}};
  for (const Balls& b : balls) {
    SCOPED_TRACE(b.bank);
    ASprite* s = m[b.bank];
    ASSERT_NE(s, nullptr);
    EXPECT_GE(s->paletteCount, b.palettes);
    ASSERT_GE(s->animCount, k_ballAnims);
    for (int a = 0; a < k_ballAnims; ++a) EXPECT_GT(s->getAnimFrameCount(a), 0) << a;
    // Pocket drops and panel slides end; the rest looks and still slots hold.
    for (int a : {1, 2, 3, 9, 13, 17}) EXPECT_GT(s->getAnimFrameTime(a, s->getAnimFrameCount(a) - 1), 0) << a;
    for (int a : {5, 6, 7, 18, 26}) EXPECT_EQ(s->getAnimFrameTime(a, s->getAnimFrameCount(a) - 1), 0) << a;
  }
  EXPECT_TRUE(hasFrame(m[k_matchBankShadow], k_frameShadow));
  ASSERT_NE(m[k_matchBankHand], nullptr);
  EXPECT_GT(m[k_matchBankHand]->getAnimFrameCount(0), 0);
  ASSERT_NE(m[k_matchBankEffect], nullptr);
  EXPECT_GT(m[k_matchBankEffect]->getAnimFrameCount(k_animHitSpark), 0);
  ASSERT_NE(m[k_matchBankThinking], nullptr);
  EXPECT_GT(m[k_matchBankThinking]->getAnimFrameCount(k_animThinking), 0);
  // The cue and the dots are read as raw colours by the rotation.
  for (int bank : {k_matchBankCue, k_matchBankGuideDots}) {
    ASprite* s = m[bank];
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->rawCache.size(), static_cast<size_t>(s->paletteCount));
    ASSERT_FALSE(s->rawCache[0].empty());
  }
  ASprite* cue = m[k_matchBankCue];
  const int w = cue->getModuleWidth(k_moduleCue), h = cue->getModuleHeight(k_moduleCue);
  EXPECT_LE(std::hypot(w, h), 181.0);
  EXPECT_EQ(cue->rawCache[0][k_moduleCue].size(), static_cast<size_t>(w * h));
  for (int f = 0; f < k_guideDotFrames; ++f) EXPECT_TRUE(hasFrame(m[k_matchBankGuideDots], f)) << f;
  // Every cue look has the same outline as the first.
  for (int look = 1; look < k_cueLooks; ++look) {
    ASSERT_EQ(loadBar(*game, k_archiveInGame), 1);
    ASprite* s = parseBank(*game, k_igEntryFirstCue + look);
    ASSERT_NE(s, nullptr) << look;
    EXPECT_EQ(s->getModuleWidth(0), w);
    EXPECT_EQ(s->getModuleHeight(0), h);
    delete s;
    unloadBar(*game);
  }

  // HUD frames, group icons and the table.
  ASprite* hud = game->loading.sprites[k_slotHud];
  for (int f = 0; f <= 18; ++f) EXPECT_TRUE(hasFrame(hud, f)) << f;
  for (int f : {20, 21, 22, 24, 25, 26, 27, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48,
                49, 50, 81, 82, 83, 84, 85, 86})
    EXPECT_TRUE(hasFrame(hud, f)) << f;
  for (int f = k_hudFrameTip; f < k_hudFrameTip + 6; ++f) EXPECT_TRUE(hasFrame(hud, f)) << f;
  ASprite* groups = game->loading.sprites[k_slotGroupIcons];
  for (int f = 0; f < k_groupIconFrames; ++f) EXPECT_TRUE(hasFrame(groups, f)) << f;
  ASSERT_NE(groups, nullptr);
  EXPECT_GE(groups->paletteCount, k_groupIconPalettes);
  EXPECT_TRUE(hasFrame(game->loading.sprites[k_slotTable], 0));
  EXPECT_GE(game->loading.sprites[k_slotTable]->paletteCount, 9);

  // Interface 56: the elements by type; a sprite's bank and frame exist
  // (the portraits' banks follow the characters).
  const int sprites[] = {9, 10, 11, 14, 16, 18, 19, 20, 24, 26, 27, 28, 30, 32, 33, 34, 35, 88, 89, 90, 91, 92, 94,
                         96, 97, 98, 124, 126, 128};
  auto checkSprite = [&](int i) {
    const int16_t* e = getInterfaceElement(*game, k_interfaceHud, i);
    ASSERT_NE(e, nullptr) << i;
    ASSERT_EQ(e[F::kWordType], F::kSprite) << i;
    const int slot = e[F::kWordParams + F::kSpriteBank];
    ASSERT_TRUE(slot >= 0 && slot < k_spriteSlotCount) << i;
    EXPECT_TRUE(hasFrame(game->loading.sprites[slot], e[F::kWordParams + F::kSpriteFrame])) << i;
  };
  for (int i : sprites) checkSprite(i);
  for (int i = k_elGaugeFrame0; i < k_elGaugeFill1 + 6; ++i) checkSprite(i);
  for (int i : {12, 13}) EXPECT_EQ(getInterfaceElement(*game, k_interfaceHud, i)[F::kWordType], F::kSprite) << i;
  for (int i : {21, 29, 101, 125, 127})
    EXPECT_EQ(getInterfaceElement(*game, k_interfaceHud, i)[F::kWordType], F::kText) << i;
  EXPECT_EQ(getInterfaceElement(*game, k_interfaceHud, k_elSpinBox)[F::kWordType], F::kRect);
  EXPECT_GT(getInterfaceElementWidth(*game, k_interfaceHud, k_elSpinBox), 0);
  EXPECT_GT(getInterfaceElementHeight(*game, k_interfaceHud, k_elSpinBox), 0);
  // The spin panel on the right for player 1 starts where the right button is.
  EXPECT_EQ(240 - getInterfaceElementWidth(*game, k_interfaceHud, k_elSpinBox), 168);

  // Texts and the prompt's glyphs.
  for (int t : {k_textMasseOn, k_textMasseOff}) {
    EXPECT_GT(getStringLength(*game, t), 0) << t;
    EXPECT_NE(std::strncmp(getStringData(*game, t), "Text", 4), 0) << t;
  }
  EXPECT_GT(getCStringWidth(*game, game->text.fonts[0], "MENU"), 20);
}

}  // namespace
