// Art recipes drawn into banks and read back through the bank reader.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>

#include "tests/zul/sprite/SpriteTestUtil.h"
#include "tools/art/ArtBank.h"
#include "zul/2d/RgbImage.h"

namespace {

using spritetest::rgb565;

art::BuiltBank build(const std::string& text) {
  return art::buildBank(art::expandRecipe(art::parseRecipe(text, "test.art")));
}

std::unique_ptr<ASprite> load(const std::vector<uint8_t>& bytes) {
  auto s = std::make_unique<ASprite>();
  EXPECT_TRUE(s->load(bytes.data(), 0, static_cast<uint32_t>(bytes.size())));
  return s;
}

// The error text of a recipe that must not build ("" when it builds).
std::string buildError(const std::string& text) {
  try {
    build(text);
  } catch (const art::ArtError& e) {
    return e.what();
  }
  return "";
}

TEST(ArtBank, RectanglePaintsItsPixelsInEveryPalette) {
  const char* recipe =
      "colour felt #2E7D32\n"
      "variant felt=#1565C0\n"
      "variant #2E7D32=#C62828\n"
      "frame 0 12 8 hotspot 2 1\n"
      "  rect 3 2 5 4 fill=felt\n"
      "end\n"
      "anim 0\n"
      "  0 1\n"
      "end\n";
  art::BuiltBank b = build(recipe);
  spritetest::Screen screen;
  auto s = load(b.bytes);
  ASSERT_EQ(s->paletteCount, 3);
  const uint32_t colours[] = {0xFF2E7D32, 0xFF1565C0, 0xFFC62828};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    s->buildCacheImages(p, 0, -1, -1);
    s->setCurrentPalette(p);
    screen.fill(0x1234);
    s->paintFrame(screen.g(), 0, 50, 60, 0);
    // The hotspot (2, 1) lands on (50, 60): the rectangle covers 51..55 x 61..64.
    for (int y = 55; y < 75; ++y)
      for (int x = 45; x < 65; ++x) {
        bool inside = x >= 51 && x < 56 && y >= 61 && y < 65;
        ASSERT_EQ(screen.at(x, y), inside ? rgb565(colours[p]) : 0x1234) << x << "," << y;
      }
  }
}

TEST(ArtBank, FullScreenGradientIsCutIntoStripsAndPaintsAsQuantised) {
  const char* recipe =
      "frame 0 240 320\n"
      "  rect 0 0 240 320 fill=linear(0,0,240,320,#FF0000,#00FF00@0.4,#0000FF)\n"
      "  circle 120 160 60 fill=radial(120,160,0,60,#FFFFFF,#000000)\n"
      "end\n";
  art::Sheet sheet = art::expandRecipe(art::parseRecipe(recipe, "g.art"));
  art::BuiltBank b = art::buildBank(sheet);
  // Ten strips of 240 x 34 (the last one 14 rows), each within the decode buffer.
  ASSERT_EQ(b.bank.modules.size(), 10u);
  for (const auto& m : b.bank.modules) EXPECT_LE(m.width * m.height, art::kMaxTilePixels);
  EXPECT_EQ(b.bank.modules[0].height, 34);
  EXPECT_EQ(b.bank.modules[9].height, 320 - 9 * 34);

  art::Picture render = art::renderFrame(sheet, sheet.frames[0], 0);
  art::Quantised q = art::quantise({{render}});
  ASSERT_LE(q.palettes[0].size(), 256u);
  spritetest::Screen screen;
  auto s = load(b.bytes);
  s->buildCacheImages(0, 0, -1, -1);
  s->paintFrame(screen.g(), 0, 0, 0, 0);
  int worst = 0;
  for (int y = 0; y < 320; ++y)
    for (int x = 0; x < 240; ++x) {
      size_t i = static_cast<size_t>(y * 240 + x);
      uint32_t want = q.palettes[0][q.indices[0][i]];
      ASSERT_EQ(screen.at(x, y), rgb565(want)) << x << "," << y;
      for (int sh : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((want >> sh) & 0xFF) - static_cast<int>((render.argb[i] >> sh) & 0xFF)));
    }
  EXPECT_LE(worst, 24);  // the quantised picture stays close to the drawing
}

TEST(ArtBank, SharedTilesAndExactColours) {
  // Two identical strips and a frame drawn twice share their modules; empty
  // strips are dropped. Three colours come out exactly.
  const char* recipe =
      "antialias off\n"
      "repeat k 0..1\n"
      "  frame k 240 102\n"
      "    rect 0 0 240 68 fill=#FF8000\n"
      "  end\n"
      "end\n"
      "frame 2 30 10\n"
      "  rect 0 0 10 10 fill=#102030\n"
      "  rect 10 0 10 10 fill=#405060\n"
      "  rect 20 0 10 10 fill=#708090\n"
      "end\n";
  art::BuiltBank b = build(recipe);
  ASSERT_EQ(b.bank.modules.size(), 2u);
  ASSERT_EQ(b.bank.frames[0].modules.size(), 2u);
  EXPECT_EQ(b.bank.frames[0].modules[0].module, 0);
  EXPECT_EQ(b.bank.frames[0].modules[1].module, 0);
  EXPECT_EQ(b.bank.frames[0].modules[1].y, 34);
  EXPECT_EQ(b.bank.frames[1].modules.size(), 2u);
  std::set<uint32_t> colours(b.bank.palettes[0].begin(), b.bank.palettes[0].end());
  EXPECT_EQ(colours, (std::set<uint32_t>{art::kTransparent, 0xFFFF8000, 0xFF102030, 0xFF405060, 0xFF708090}));
  spritetest::Screen screen;
  auto s = load(b.bytes);
  s->buildCacheImages(0, 0, -1, -1);
  s->paintFrame(screen.g(), 2, 0, 0, 0);
  EXPECT_EQ(screen.at(5, 5), rgb565(0xFF102030));
  EXPECT_EQ(screen.at(15, 5), rgb565(0xFF405060));
  EXPECT_EQ(screen.at(25, 9), rgb565(0xFF708090));
  // Wholly opaque art uses index 0 for a colour and keeps its modules.
  art::BuiltBank opaque = build("frame 0 4 3\n  rect 0 0 4 3 fill=#FFFFFF\nend\n");
  ASSERT_EQ(opaque.bank.modules.size(), 1u);
  EXPECT_EQ(opaque.bank.palettes[0], std::vector<uint32_t>{0xFFFFFFFF});
}

TEST(ArtBank, VariantsRecolourEdgesToo) {
  // Anti-aliased edges follow the replaced colour: every palette is the
  // drawing made with its own colours, indices shared.
  const char* recipe =
      "colour ball #FFFFFF\n"
      "variant ball=#FF0000\n"
      "variant ball=#0000FF\n"
      "frame 0 20 20\n"
      "  circle 10 10 7.3 fill=ball\n"
      "end\n";
  art::Sheet sheet = art::expandRecipe(art::parseRecipe(recipe, "v.art"));
  art::BuiltBank b = art::buildBank(sheet);
  ASSERT_EQ(b.bank.palettes.size(), 3u);
  for (size_t i = 1; i < b.bank.palettes[0].size(); ++i) {
    uint32_t white = b.bank.palettes[0][i], red = b.bank.palettes[1][i], blue = b.bank.palettes[2][i];
    EXPECT_EQ(white >> 24, 0xFFu);  // no alpha flag: edges are drawn or not
    EXPECT_EQ(red, 0xFFFF0000u);
    EXPECT_EQ(blue, 0xFF0000FFu);
  }
  // A fixed palette keeps its order; variants replace its entries.
  art::BuiltBank f = build(
      "antialias off\ncolour a #112233\npalette fixed #000000 a #FFFFFF\nvariant a=#445566\n"
      "frame 0 4 1\n  rect 1 0 1 1 fill=a\n  rect 2 0 1 1 fill=#FFFFFF\nend\n");
  EXPECT_EQ(f.bank.palettes[0], (std::vector<uint32_t>{art::kTransparent, 0xFF000000, 0xFF112233, 0xFFFFFFFF}));
  EXPECT_EQ(f.bank.palettes[1], (std::vector<uint32_t>{art::kTransparent, 0xFF000000, 0xFF445566, 0xFFFFFFFF}));
  EXPECT_EQ(f.bank.modules[0].pixels, (std::vector<uint8_t>{0, 2, 3, 0}));
}

TEST(ArtBank, AlphaSourceGivesTheDrawingsAlpha) {
  const char* recipe =
      "alpha\n"
      "antialias off\n"
      "frame 0 40 10\n"
      "  rect 0 0 10 10 fill=#FF000080\n"
      "  rect 10 0 10 10 fill=#00FF0011\n"
      "  rect 20 0 10 10 fill=#0000FFFF\n"
      "  rect 30 0 10 10 fill=#FFFFFF01\n"
      "end\n";
  art::BuiltBank b = build(recipe);
  art::BuiltBank a = art::buildAlphaSource(b);
  spritetest::Screen screen;
  auto bank = load(b.bytes);
  auto alpha = load(a.bytes);
  EXPECT_EQ(alpha->encoding, spritebank::kEnc8Bit);
  ASSERT_EQ(alpha->moduleCount, bank->moduleCount);
  bank->buildCacheImagesWithAlpha(0, 0, -1, -1, alpha.get());
  ASSERT_TRUE(bank->usesRgbImages);
  const RgbImage& img = bank->rgbImageCache[0][0];
  ASSERT_EQ(img.getWidth(), 40);
  const uint32_t* px = static_cast<const uint32_t*>(img.getPixels());
  const int want[] = {0x80, 0x11, 0xFF, 0x01};
  for (int r = 0; r < 4; ++r) {
    int got = static_cast<int>(px[r * 10 + 5] >> 24);
    EXPECT_LE(std::abs(got - want[r]), 2) << r;  // one step of 255/127
  }
  // Every alpha level survives within one step.
  for (int v = 0; v < 256; ++v)
    EXPECT_LE(std::abs(static_cast<int>(art::alphaEntry(art::alphaIndex(v)) & 0xFF) - v), 2) << v;
}

TEST(ArtBank, QuantisingKeepsVisibilityAndTheColourKey) {
  // Many colours, some translucent, some transparent, and pure magenta (the
  // 16-bit key): no visible pixel may come out transparent, or the reverse.
  art::Picture p;
  p.width = 64;
  p.height = 64;
  for (int i = 0; i < 64 * 64; ++i) {
    uint32_t a = i % 7 == 0 ? 0 : static_cast<uint32_t>(1 + (i * 37) % 255);
    uint32_t c = a << 24 | static_cast<uint32_t>((i * 2654435761u) & 0xFFFFFF);
    if (i % 11 == 0) c = 0xFFFF00FF;
    p.argb.push_back(c);
  }
  art::Quantised q = art::quantise({{p}});
  ASSERT_LE(q.palettes[0].size(), 256u);
  EXPECT_EQ(q.palettes[0][0], art::kTransparent);
  for (size_t i = 0; i < p.argb.size(); ++i) {
    bool visible = (p.argb[i] >> 24) != 0;
    uint32_t got = q.palettes[0][q.indices[0][i]];
    ASSERT_EQ(q.indices[0][i] != 0, visible) << i;
    ASSERT_EQ((got >> 24) != 0, visible) << i;
    if (visible) {
      ASSERT_NE(rgb565(got), 0xF81F) << i;
    }
  }
}

TEST(ArtBank, QuantisingKeepsVisibilityInEveryPalette) {
  // Forty palettes that each hide other pixels, with too many colours to
  // keep: a pixel is visible in a palette exactly when its drawing shows it there.
  const int P = 40, N = 600;
  std::vector<std::vector<art::Picture>> pics(P);
  for (int p = 0; p < P; ++p) {
    art::Picture pic;
    pic.width = N;
    pic.height = 1;
    for (int i = 0; i < N; ++i) {
      bool shown = (i + p) % 3 != 0 && i % 50 != 0;
      pic.argb.push_back(shown ? 0xFF000000u | static_cast<uint32_t>(i * 977 + p * 131) : 0u);
    }
    pics[static_cast<size_t>(p)].push_back(pic);
  }
  art::Quantised q = art::quantise(pics);
  for (int p = 0; p < P; ++p) {
    ASSERT_LE(q.palettes[static_cast<size_t>(p)].size(), 256u);
    for (int i = 0; i < N; ++i) {
      uint32_t got = q.palettes[static_cast<size_t>(p)][q.indices[0][static_cast<size_t>(i)]];
      ASSERT_EQ((got >> 24) != 0, (pics[static_cast<size_t>(p)][0].argb[static_cast<size_t>(i)] >> 24) != 0) << p << " " << i;
    }
  }
  for (int i = 0; i < N; ++i) EXPECT_EQ(q.indices[0][static_cast<size_t>(i)] == 0, i % 50 == 0) << i;
}

TEST(ArtBank, SameRecipeSameBytes) {
  const char* recipe =
      "frame 0 100 30\n"
      "  rect 1 1 98 28 r=8 fill=linear(0,0,0,30,#FFD54F,#FF8F00) stroke=#5D4037 width=1.5\n"
      "  text 50 15 \"Play {3*4}\" size=12 font=bold align=centre valign=middle fill=#3E2723\n"
      "end\n";
  EXPECT_EQ(build(recipe).bytes, build(recipe).bytes);
}

TEST(ArtBank, RecipeErrorsNameTheirLine) {
  struct Case {
    std::string recipe;
    const char* where;
    const char* message;
  };
  const Case cases[] = {
      {"frame 0 4 4\n  blob 1 2\nend\n", "test.art:2:", "unknown operation 'blob'"},
      {"repeat k 0..256\n  frame k 1 k+1\n    rect 0 0 1 k+1 fill=#FFFFFF\n  end\nend\n", "test.art:2:",
       "at most 256 modules"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nanim 0\n  256 1\nend\n", "test.art:5:", "frames 0-255"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nanim 0\n  0 0\nend\n", "test.art:5:", "1-255"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nanim 0\n  0 hold\n  0 4\nend\n", "test.art:5:",
       "last frame"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nanim 0\n  3 4\nend\n", "test.art:5:", "not defined"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nanim 1\n  0 4\nend\n", "test.art:4:", "animation 0 is missing"},
      {"antialias off\npalette fixed #000000\nframe 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\n", "test.art:3:",
       "not in the fixed palette (line 2)"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\nend\nframe 0 2 2\nend\n", "test.art:4:", "defined twice"},
      {"frame 0 4 4\n  rect 0 0 4 fill=#FFFFFF\nend\n", "test.art:2:", "takes 4 argument"},
      {"frame 0 4 4\n  rect 0 0 4 4\nend\n", "test.art:2:", "needs fill= or stroke="},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=nope\nend\n", "test.art:2:", "unknown colour 'nope'"},
      {"frame 0 4 4\n  rect 0 0 4/0 4 fill=#FFF\nend\n", "test.art:2:", "division by zero"},
      {"frame 0 4 4\n  use missing\nend\n", "test.art:2:", "unknown group"},
      {"group g\n  use g\nend\nframe 0 4 4\n  use g\nend\n", "test.art:2:", "nested too deeply"},
      {"frame 0 4 4\n  rect 0 0 4 4 fill=#FFFFFF\n", "test.art:1:", "not closed"},
      {"frame 0.5 4 4\nend\n", "test.art:1:", "whole number"},
      {"frame 0 4 4\n  text 0 0 \"abc size=9 fill=#FFFFFF\nend\n", "test.art:2:", "unterminated string"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recipe);
    std::string e = buildError(c.recipe);
    EXPECT_NE(e.find(c.where), std::string::npos) << e;
    EXPECT_NE(e.find(c.message), std::string::npos) << e;
  }
  // 255 variants make 256 palettes, one more than the format counts.
  std::string many = "colour c #000000\n";
  for (int i = 0; i < 255; ++i) many += "variant c=#FFFFFF\n";
  many += "frame 0 1 1\n  rect 0 0 1 1 fill=c\nend\n";
  EXPECT_NE(buildError(many).find("at most 255 palettes"), std::string::npos);
}

TEST(ArtRecipe, ExpressionsAndLoops) {
  const std::map<std::string, double> vars = {{"k", 3}, {"w", 240}};
  const std::pair<const char*, double> cases[] = {
      {"1+2*3", 7}, {"(1+2)*3", 9}, {"-k+10", 7}, {"w/2-k", 117}, {"7%4", 3}, {"min(4,k,9)", 3},
      {"max(1,2)", 2}, {"floor(7/2)", 3}, {"round(2.5)", 3}, {"abs(-4)", 4}, {"cos(180)", -1}, {"sqrt(16)", 4},
  };
  for (const auto& [text, want] : cases) EXPECT_NEAR(art::evalExpression(text, vars, "x", 1), want, 1e-9) << text;
  // A reveal: frame k draws k + 1 bars; groups follow the use offset.
  art::Sheet s = art::expandRecipe(art::parseRecipe(
      "group bar\n  rect 0 0 4 10 fill=#FFFFFF\nend\n"
      "repeat k 0..2\n  frame 10+k 20 10\n    repeat i 0..k\n      use bar i*5 0\n    end\n  end\nend\n"
      "anim 0\n  repeat k 0..2\n    10+k 2 k -1\n  end\n  12 hold\nend\n",
      "r.art"));
  ASSERT_EQ(s.frames.size(), 3u);
  EXPECT_EQ(s.frames[2].index, 12);
  ASSERT_EQ(s.frames[2].ops.size(), 3u);
  EXPECT_EQ(s.frames[2].ops[2].nums[0], 10);
  ASSERT_EQ(s.anims[0].frames.size(), 4u);
  EXPECT_EQ(s.anims[0].frames[1].dx, 1);
  EXPECT_EQ(s.anims[0].frames[3].time, 0);
  bool ok = false;
  EXPECT_EQ(art::parseColourLiteral("#11223344", &ok), 0x44112233u);
  EXPECT_TRUE(ok);
}

}  // namespace

namespace {

// The examples of the recipe guide build.
TEST(ArtRecipe, GuideExamplesBuild) {
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/assets/art/README.md");
  ASSERT_TRUE(in);
  std::string line, block;
  int examples = 0;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!inside && line == "```art") {
      inside = true;
      block.clear();
    } else if (inside && line == "```") {
      inside = false;
      ++examples;
      EXPECT_NO_THROW(build(block)) << block;
    } else if (inside) {
      block += line + "\n";
    }
  }
  EXPECT_GE(examples, 1);
}

}  // namespace
