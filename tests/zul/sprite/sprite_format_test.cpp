// Bank format: palette conversion, pixel encodings, parser bounds, writer round trips.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "SpriteTestUtil.h"
#include "zul/2d/SpriteBankFormat.h"
#include "zul/2d/cImg.h"

using namespace spritebank;
using spritetest::loadBank;

namespace {

TEST(SpriteBankFormat, PaletteConversion) {
  struct Case {
    uint16_t format;
    uint32_t entry;
    uint32_t argb;
    bool transparent;
  };
  const Case cases[] = {
      {kPal565, 0xF81F, 0x00F800F8, true},    {kPal565, 0x0000, 0xFF000000, false},
      {kPal565, 0xFFFF, 0xFFF8FCF8, false},   {kPal4444, 0xF0F0, 0xFF00FF00, false},
      {kPal4444, 0x8000, 0x88000000, true},   {kPal4444, 0xF123, 0xFF112233, false},
      {kPal1555, 0x7FFF, 0x00F8F8F8, false},  {kPal1555, 0xFC00, 0xFFF80000, false},
      {kPal8888, 0x80123456, 0x80123456, true}, {kPal8888, 0xFF123456, 0xFF123456, false},
  };
  for (const Case& c : cases) {
    bool t = false;
    EXPECT_EQ(paletteEntryToArgb(c.format, c.entry, t), c.argb) << std::hex << c.format << " " << c.entry;
    EXPECT_EQ(t, c.transparent) << std::hex << c.format << " " << c.entry;
  }
}

// The same values through a loaded bank, and the bank's transparency flag.
TEST(SpriteBankFormat, LoadedPalettes) {
  for (uint16_t format : {kPal565, kPal4444, kPal1555, kPal8888}) {
    Bank b;
    b.modules.push_back(Module::image(1, 1, {1}));
    b.paletteFormat = format;
    b.palettes = {{0xFF000000, 0xFF880000}};
    auto s = loadBank(b);
    ASSERT_EQ(s->paletteCount, 1);
    EXPECT_EQ(s->palettes[0][1], 0xFF880000u) << std::hex << format;
    EXPECT_EQ(s->hasTransparentColours, 0);
    b.palettes[0][0] = 0x00FF00FF;
    s = loadBank(b);
    EXPECT_EQ(s->hasTransparentColours, format == kPal1555 ? 0 : 1) << std::hex << format;
  }
}

TEST(SpriteBankFormat, PackedRunParams) {
  const int table[][3] = {{1, 0, 0}, {2, 1, 1}, {3, 3, 2}, {16, 15, 4}, {17, 31, 5}, {256, 255, 8}};
  for (const auto& t : table) {
    int mask, bits;
    packedRunParams(t[0], mask, bits);
    EXPECT_EQ(mask, t[1]) << t[0];
    EXPECT_EQ(bits, t[2]) << t[0];
  }
}

TEST(SpriteBankFormat, EncodingByteExamples) {
  struct Case {
    uint16_t enc;
    int colours;
    std::vector<uint8_t> data;
    std::vector<uint8_t> pixels;
  };
  const Case cases[] = {
      {kEncPackedRuns, 16, {0x35}, {5, 5, 5, 5}},
      {kEncPackedRuns, 2, {0x05}, {1, 1, 1}},
      {kEncPackedRuns, 256, {0x07, 0x09}, {7, 9}},
      {kEncRunsSingles, 256, {0x83, 0x07}, {7, 7, 7}},
      {kEncRunsSingles, 256, {0x05}, {5}},
      {kEncRunsSingles, 256, {0x80, 0x03, 0x02}, {2}},
      {kEncRunsLiterals, 256, {0x02, 0x09}, {9, 9}},
      {kEncRunsLiterals, 256, {0x82, 0x01, 0x02}, {1, 2}},
      {kEncRunsLiterals, 256, {0x00, 0x04, 0x01, 0x03}, {3}},
      {kEnc4Bit, 16, {0xAB, 0xC0}, {0xA, 0xB, 0xC}},
      {kEnc2Bit, 4, {0x1B}, {0, 1, 2, 3}},
      {kEnc1Bit, 2, {0xA0}, {1, 0, 1}},
      {kEnc8Bit, 256, {0xFE, 0x00}, {0xFE, 0x00}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out(c.pixels.size() + 8, 0xEE);
    EXPECT_EQ(decodeIndices(c.enc, c.data.data(), static_cast<uint32_t>(c.data.size()), c.colours, out.data(),
                            static_cast<int>(c.pixels.size())),
              DecodeResult::Ok)
        << std::hex << c.enc;
    out.resize(c.pixels.size());
    EXPECT_EQ(out, c.pixels) << std::hex << c.enc;
  }
}

TEST(SpriteBankFormat, MalformedModuleData) {
  struct Case {
    uint16_t enc;
    std::vector<uint8_t> data;
    int count;
  };
  const Case cases[] = {
      {kEncPackedRuns, {0xF5}, 4},            // run of 16 past 4 pixels
      {kEncPackedRuns, {0x05}, 4},            // block ends after 1 pixel
      {kEncRunsSingles, {0x85, 0x01}, 4},     // run past the end
      {kEncRunsSingles, {0x83}, 3},           // run without its index
      {kEncRunsLiterals, {0x85, 1, 2}, 5},    // literal string past the block
      {kEncRunsLiterals, {0x83, 1, 2, 3}, 2}, // literal string past the pixels
      {kEncRunsLiterals, {0x05}, 5},          // run without its index
      {kEnc4Bit, {0x12}, 3},                  // needs two bytes
      {kEnc8Bit, {1, 2}, 3},
  };
  for (const Case& c : cases) {
    uint8_t out[64];
    EXPECT_EQ(decodeIndices(c.enc, c.data.data(), static_cast<uint32_t>(c.data.size()), 16, out, c.count),
              DecodeResult::Malformed)
        << std::hex << c.enc;
  }
  uint8_t out[4];
  EXPECT_EQ(decodeIndices(0x1234, nullptr, 0, 16, out, 4), DecodeResult::UnknownEncoding);
}

// Every encoding the writer produces decodes back to the same indices.
TEST(SpriteBankWriter, EncodeDecodeRoundTrip) {
  std::mt19937 rng(7);
  for (uint16_t enc : kAllEncodings) {
    for (int colours : {1, 2, 3, 4, 16, 100, 256}) {
      for (int count : {1, 7, 64, 300, 4000}) {
        std::vector<uint8_t> px(count);
        int bpp = enc == kEnc4Bit ? 4 : enc == kEnc2Bit ? 2 : enc == kEnc1Bit ? 1 : 8;
        int limit = std::min(colours, 1 << bpp);
        for (int i = 0; i < count; ++i) px[i] = static_cast<uint8_t>((rng() % 3 == 0) ? rng() % limit : (i / 9) % limit);
        bool ok = false;
        std::vector<uint8_t> data = encodeIndices(enc, px.data(), count, colours, &ok);
        ASSERT_TRUE(ok) << std::hex << enc << std::dec << " " << colours;
        std::vector<uint8_t> back(count + 8);
        ASSERT_EQ(decodeIndices(enc, data.data(), static_cast<uint32_t>(data.size()), colours, back.data(), count),
                  DecodeResult::Ok);
        back.resize(count);
        EXPECT_EQ(back, px) << std::hex << enc << std::dec << " " << colours << " " << count;
      }
    }
  }
  bool ok = true;
  uint8_t big[] = {4};
  EXPECT_TRUE(encodeIndices(kEnc2Bit, big, 1, 256, &ok).empty());
  EXPECT_FALSE(ok);
}

// A bank of every module kind, frame-module form and animation, through
// every flag combination and encoding.
Bank richBank() {
  Bank b;
  b.header = 0x1234;
  b.modules.push_back(Module::image(4, 3, {0, 1, 1, 2, 3, 3, 3, 3, 1, 0, 2, 2}, -3, 5));
  b.modules.push_back(Module::filledRect(0x80FF0000, 10, 2));
  b.modules.push_back(Module::image(2, 2, {3, 2, 1, 0}, 100, -100));
  b.modules.push_back(Module::shadedRect(0xFF00FF00, 5, 6));
  b.modules.push_back(Module::image(5, 1, {1, 1, 1, 1, 1}));
  b.palettes = {{0x00FF00FF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, {0xFF000000, 0xFF111111, 0xFF222222, 0xFF333333}};
  b.frames.push_back({{{0, 1, 2, 0, 1}, {1, -5, 7, 3, 0}}});
  b.frames.push_back({{{2, 0, 0, 4, 0}}});
  b.frames.push_back({});
  b.frames.push_back({{{0, 0, 0, kFmNestedFrame, 0}, {4, 120, -120, 1, 1}}});
  b.anims.push_back({{{0, 2, 1, -1, 1}, {1, 3, -128, 127, 6}}});
  b.anims.push_back({});
  b.anims.push_back({{{3, 0, 0, 0, 0}}});
  return b;
}

void expectSameTables(const Bank& b, const ASprite& s, uint32_t flags) {
  ASSERT_EQ(s.moduleCount, static_cast<int>(b.modules.size()));
  EXPECT_EQ(s.flags, flags);
  for (size_t i = 0; i < b.modules.size(); ++i) {
    const Module& m = b.modules[i];
    EXPECT_EQ(s.moduleKind[i], m.kind);
    EXPECT_EQ(s.moduleWidth[i], m.width);
    EXPECT_EQ(s.moduleHeight[i], m.height);
    if (m.kind != kKindImage) {
      EXPECT_EQ(s.moduleColour[i], m.colour);
      EXPECT_EQ(s.moduleX[i], 0);
    } else if (flags & (kFlagPos8 | kFlagPos16)) {
      EXPECT_EQ(s.moduleX[i], m.x);
      EXPECT_EQ(s.moduleY[i], m.y);
    } else {
      EXPECT_EQ(s.moduleX[i], 0);
    }
  }
  int fm = 0;
  ASSERT_EQ(s.frameCount, static_cast<int>(b.frames.size()));
  for (size_t f = 0; f < b.frames.size(); ++f) {
    ASSERT_EQ(s.getFrameModuleCount(static_cast<int>(f)), static_cast<int>(b.frames[f].modules.size()));
    for (size_t n = 0; n < b.frames[f].modules.size(); ++n, ++fm) {
      const FrameModule& e = b.frames[f].modules[n];
      int fi = static_cast<int>(f), ni = static_cast<int>(n);
      EXPECT_EQ(s.getFrameModuleIndex(fi, ni), e.module);
      EXPECT_EQ(s.getFrameModuleX(fi, ni), e.x);
      EXPECT_EQ(s.getFrameModuleY(fi, ni), e.y);
      EXPECT_EQ(s.frameModules[fm * 4 + 3], e.flags);
      if ((flags & kFlagLongFrameModules) && (flags & kFlagFrameModulePalette)) {
        EXPECT_EQ(s.frameModulePalettes[fm], e.palette);
      }
    }
  }
  EXPECT_EQ(s.frameModulePalettes.empty(), !(flags & kFlagFrameModulePalette));
  ASSERT_EQ(s.animCount, static_cast<int>(b.anims.size()));
  for (size_t a = 0; a < b.anims.size(); ++a) {
    int ai = static_cast<int>(a);
    ASSERT_EQ(s.getAnimFrameCount(ai), static_cast<int>(b.anims[a].frames.size()));
    for (size_t n = 0; n < b.anims[a].frames.size(); ++n) {
      const AnimFrame& e = b.anims[a].frames[n];
      EXPECT_EQ(s.getAnimFrameIndex(ai, static_cast<int>(n)), e.frame);
      EXPECT_EQ(s.getAnimFrameTime(ai, static_cast<int>(n)), e.time);
      const uint8_t* rec = &s.animFrames[(s.animFirstFrame[a] + n) * 5];
      EXPECT_EQ(static_cast<int8_t>(rec[2]), e.x);
      EXPECT_EQ(static_cast<int8_t>(rec[3]), e.y);
      EXPECT_EQ(rec[4], e.flags);
    }
  }
}

TEST(SpriteBankWriter, RoundTripEveryFlagCombination) {
  spritetest::Screen screen;
  const uint32_t optional[] = {kFlagPos8, kFlagPos16, kFlagSize16, kFlagLongFrameModules, kFlagFrameModulePalette,
                               kFlagPixelData, kFlagNoModulePaint};
  const int encodings[] = {-1, kEncPackedRuns, kEncRunsSingles, kEncRunsLiterals, kEnc4Bit, kEnc2Bit, kEnc8Bit};
  int written = 0;
  for (uint32_t combo = 0; combo < (1u << 7); ++combo) {
    uint32_t flags = 0;
    for (int k = 0; k < 7; ++k)
      if (combo & (1u << k)) flags |= optional[k];
    for (int enc : encodings) {
      Bank b = richBank();
      b.flags = flags;
      b.encoding = enc;
      if (!(flags & kFlagPixelData)) b.palettes.clear();
      std::string error;
      std::vector<uint8_t> bytes = writeBank(b, &error);
      // Frames 0 and 3 carry palette bytes: only the long record with the palette flag holds them.
      bool expectOk = (flags & kFlagLongFrameModules) && (flags & kFlagFrameModulePalette);
      ASSERT_EQ(!bytes.empty(), expectOk) << std::hex << flags << " " << enc << " " << error;
      if (bytes.empty()) continue;
      ++written;
      ASprite s;
      ASSERT_TRUE(s.load(bytes.data(), 0, static_cast<uint32_t>(bytes.size()))) << std::hex << flags;
      expectSameTables(b, s, flags);
      if (!(flags & kFlagPixelData)) {
        EXPECT_EQ(s.paletteCount, 0);
        EXPECT_EQ(s.decodeModule(0), nullptr);
        continue;
      }
      EXPECT_EQ(s.encoding, enc < 0 ? chooseEncoding(b) : enc);
      for (int p = 0; p < 2; ++p) {
        s.setCurrentPalette(p);
        for (size_t m = 0; m < b.modules.size(); ++m) {
          uint32_t* px = s.decodeModule(static_cast<int>(m));
          if (b.modules[m].kind != kKindImage) {
            EXPECT_EQ(px, nullptr);
            continue;
          }
          ASSERT_NE(px, nullptr);
          for (size_t i = 0; i < b.modules[m].pixels.size(); ++i)
            EXPECT_EQ(px[i], b.palettes[p][b.modules[m].pixels[i]]) << m << " " << i;
        }
      }
    }
  }
  EXPECT_GT(written, 20);
}

TEST(SpriteBankWriter, MinimalFlagsAndSmallestEncoding) {
  Bank b = richBank();
  b.flags = b.minimalFlags();
  EXPECT_EQ(b.flags, kFlagPos8 | kFlagLongFrameModules | kFlagFrameModulePalette | kFlagPixelData);
  std::vector<uint8_t> best = writeBank(b);
  ASSERT_FALSE(best.empty());
  for (uint16_t enc : kAllEncodings) {
    Bank e = b;
    e.encoding = enc;
    std::vector<uint8_t> bytes = writeBank(e);
    if (!bytes.empty()) {
      EXPECT_LE(best.size(), bytes.size()) << std::hex << enc;
    }
  }
  // A large flat module packs best as long runs, two-colour noise as bits.
  Bank flat;
  flat.modules.push_back(Module::image(64, 64, std::vector<uint8_t>(4096, 3)));
  flat.palettes = {std::vector<uint32_t>(16, 0xFF000000)};
  EXPECT_EQ(chooseEncoding(flat), kEncRunsSingles);
  std::mt19937 rng(3);
  for (uint8_t& v : flat.modules[0].pixels) v = static_cast<uint8_t>(rng() & 1);
  EXPECT_EQ(chooseEncoding(flat), kEnc1Bit);
  // Short runs of 16 colours: packed runs.
  for (size_t i = 0; i < 4096; ++i) flat.modules[0].pixels[i] = static_cast<uint8_t>((i / 3) % 16);
  EXPECT_EQ(chooseEncoding(flat), kEncPackedRuns);
  Bank none;
  EXPECT_EQ(chooseEncoding(none), kEnc8Bit);
}

TEST(SpriteBankWriter, RefusesWhatTheFormatCannotHold) {
  struct Case {
    const char* what;
    Bank bank;
  };
  std::vector<Case> cases;
  Bank b;
  b.modules.push_back(Module::image(255, 1, std::vector<uint8_t>(255, 0)));  // width byte 0xFF first
  b.palettes = {{0xFF000000}};
  cases.push_back({"marker width", b});
  b.modules[0] = Module::image(1, 1, {0}, -1, 0);
  b.flags = kFlagPos8;
  cases.push_back({"marker x", b});
  b.flags = 0;
  b.modules[0] = Module::image(1, 1, {1});
  cases.push_back({"index past palette", b});
  b.modules[0] = Module::image(300, 1, std::vector<uint8_t>(300, 0));
  cases.push_back({"size without u16 flag", b});
  b.modules[0] = Module::image(2, 2, {0, 0, 0});
  cases.push_back({"pixel count", b});
  b.modules[0] = Module::image(1, 1, {0});
  b.frames.push_back({{{200, 0, 0, 0, 0}}});
  cases.push_back({"short record module", b});
  b.frames[0].modules[0] = {0, 0, 0, 0, 3};
  b.flags = kFlagLongFrameModules;
  cases.push_back({"palette byte without flag", b});
  for (Case& c : cases) {
    std::string error;
    EXPECT_TRUE(writeBank(c.bank, &error).empty()) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  // minimalFlags mends the first two by adding a position pair.
  Bank fix;
  fix.modules.push_back(Module::image(255, 1, std::vector<uint8_t>(255, 0)));
  fix.palettes = {{0xFF000000}};
  fix.flags = fix.minimalFlags();
  EXPECT_TRUE(fix.flags & kFlagPos8);
  EXPECT_FALSE(writeBank(fix).empty());
}

// Hand-made bytes: the forms the writer never emits.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(int x) {
    v.push_back(static_cast<uint8_t>(x));
    return *this;
  }
  Bytes& u16(int x) { return u8(x).u8(x >> 8); }
  Bytes& u32(uint32_t x) { return u16(static_cast<int>(x & 0xFFFF)).u16(static_cast<int>(x >> 16)); }
};

TEST(SpriteBankParser, ShortRecordModuleByte0x85) {
  Bytes b;
  b.u16(0).u32(0).u16(0);               // header, no modules
  b.u16(1).u8(0x85).u8(0xFE).u8(3).u8(0x10);  // one short frame module
  b.u16(1).u16(1).u16(0).u32(0);       // one frame
  b.u16(0).u16(0);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  EXPECT_EQ(s.frameModules[0], -123);
  EXPECT_EQ(s.frameModules[0] & 0xFFF, 3973);
  EXPECT_EQ(s.getFrameModuleIndex(0, 0), 0xFF85);
  EXPECT_EQ(s.getFrameModuleX(0, 0), -2);
  EXPECT_EQ(s.frameModules[3], 0x10);
}

TEST(SpriteBankParser, ColourCountZeroMeans256AndAnimByteIgnored) {
  Bytes b;
  b.u16(0).u32(kFlagPixelData).u16(1).u8(1).u8(1);  // one 1x1 image module
  b.u16(0).u16(0);
  b.u16(1).u8(0).u8(4).u8(0).u8(0).u8(0);  // one animation frame
  b.u16(1).u8(1).u8(9).u16(0);             // byte 1 = 9 is not a count
  b.u16(kPal8888).u8(1).u8(0);
  for (int i = 0; i < 256; ++i) b.u32(0xFF000000u | static_cast<uint32_t>(i));
  b.u16(kEnc8Bit).u16(1).u8(200);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  EXPECT_EQ(s.coloursPerPalette, 256);
  EXPECT_EQ(s.getAnimFrameCount(0), 1);
  EXPECT_EQ(s.getAnimFrameTime(0, 0), 4);
  uint32_t* px = s.decodeModule(0);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(px[0], 0xFF0000C8u);
}

TEST(SpriteBankParser, UnknownPaletteFormatConsumesNoEntries) {
  Bytes b;
  b.u16(0).u32(kFlagPixelData).u16(1).u8(1).u8(1);
  b.u16(0).u16(0).u16(0).u16(0);
  b.u16(0x1234).u8(2).u8(4);  // no entries follow
  b.u16(kEnc8Bit).u16(1).u8(3);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  EXPECT_EQ(s.paletteCount, 2);
  EXPECT_EQ(s.encoding, kEnc8Bit);
  uint32_t* px = s.decodeModule(0);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(px[0], 0u);
}

// A module decoded after a larger one of another bank: its own pixels only,
// all zero for an encoding the reader does not know.
TEST(SpriteBankParser, DecodeOverAnEarlierLargerModule) {
  spritetest::Screen screen;
  Bank big;
  big.modules.push_back(Module::image(64, 64, std::vector<uint8_t>(64 * 64, 1)));
  big.palettes = {{0xFF000000, 0xFF445566}};
  auto first = loadBank(big);
  struct Case {
    uint16_t encoding;
    uint32_t pixel;
  };
  const Case cases[] = {{kEnc8Bit, 0xFFABCDEF}, {0x7777, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    ASSERT_NE(first->decodeModule(0), nullptr);
    Bytes b;
    b.u16(0).u32(kFlagPixelData | kFlagSize16).u16(1);
    b.u16(3).u16(2);
    b.u16(0).u16(0).u16(0).u16(0);
    b.u16(kPal8888).u8(1).u8(1).u32(0xFFABCDEF);
    b.u16(c.encoding).u16(6).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0);
    ASprite s;
    ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
    const uint32_t* px = s.decodeModule(0);
    ASSERT_NE(px, nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(px[i], c.pixel) << i;
  }
}

// The cached 16-bit images of every palette are the 565 colours of the
// module's decoded ARGB pixels, in every encoding, indices past the palette
// included.
TEST(SpriteBankParser, CachedImagesMatchTheDecodedPixels) {
  spritetest::Screen screen;
  struct Case {
    uint16_t encoding;
    int colours;
    int maxIndex;  // indices drawn from 0..maxIndex
  };
  const Case cases[] = {{kEnc1Bit, 2, 1},        {kEnc2Bit, 4, 3},          {kEnc4Bit, 16, 15},
                        {kEnc8Bit, 256, 255},    {kEnc8Bit, 3, 2},          {kEncPackedRuns, 5, 4},
                        {kEncRunsSingles, 100, 99}, {kEncRunsLiterals, 200, 199}};
  std::mt19937 rng(7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    SCOPED_TRACE(c.colours);
    Bank b;
    for (int m = 0; m < 4; ++m) {
      const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 30);
      std::vector<uint8_t> px(static_cast<size_t>(w * h));
      // Runs of one index with single pixels between them.
      for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(i % 7 < 4 && i > 0 ? px[i - 1] : rng() % (c.maxIndex + 1));
      b.modules.push_back(Module::image(w, h, px));
    }
    b.palettes.assign(2, std::vector<uint32_t>(static_cast<size_t>(c.colours)));
    for (auto& pal : b.palettes)
      for (uint32_t& e : pal) e = 0xFF000000u | (rng() & 0xFFFFFF);
    b.encoding = c.encoding;
    auto s = loadBank(b);
    ASSERT_EQ(s->encoding, c.encoding);
    for (int p = 0; p < 2; ++p) {
      s->buildCacheImages(p, 0, -1, -1);
      ASSERT_EQ(s->getCurrentPalette(), 0);
      s->setCurrentPalette(p);
      for (int m = 0; m < s->moduleCount; ++m) {
        SCOPED_TRACE(m);
        const int count = s->getModuleWidth(m) * s->getModuleHeight(m);
        const uint32_t* argb = s->decodeModule(m);
        ASSERT_NE(argb, nullptr);
        const cImg* img = s->imageCache[static_cast<size_t>(p)][static_cast<size_t>(m)].get();
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->getWidth() * img->getHeight(), count);
        int wrong = 0;
        for (int k = 0; k < count; ++k) wrong += img->getPixels16()[k] != spritetest::rgb565(argb[k]);
        EXPECT_EQ(wrong, 0);
      }
      s->setCurrentPalette(0);
    }
  }
  // Indices past a two-colour palette are black.
  Bytes b;
  b.u16(0).u32(kFlagPixelData | kFlagSize16).u16(1);
  b.u16(4).u16(1);
  b.u16(0).u16(0).u16(0).u16(0);
  b.u16(kPal8888).u8(1).u8(2).u32(0xFF102030).u32(0xFFF0E0D0);
  b.u16(kEnc8Bit).u16(4).u8(1).u8(0).u8(2).u8(255);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  s.buildCacheImages(0, 0, -1, -1);
  const cImg* img = s.imageCache[0][0].get();
  ASSERT_NE(img, nullptr);
  const uint16_t want[] = {spritetest::rgb565(0xFFF0E0D0), spritetest::rgb565(0xFF102030), 0, 0};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(img->getPixels16()[k], want[k]) << k;
}

TEST(SpriteBankParser, LoadsAtAnOffsetWithinItsLength) {
  Bank bank = richBank();
  bank.flags = bank.minimalFlags();
  std::vector<uint8_t> bytes = writeBank(bank);
  std::vector<uint8_t> padded(7, 0xAA);
  padded.insert(padded.end(), bytes.begin(), bytes.end());
  padded.insert(padded.end(), 9, 0xBB);
  ASprite s;
  ASSERT_TRUE(s.load(padded.data(), 7, static_cast<uint32_t>(bytes.size())));
  expectSameTables(bank, s, bank.flags);
}

// Every truncation of a valid bank is refused without reading past the length.
TEST(SpriteBankParser, EveryTruncationIsRefused) {
  Bank bank = richBank();
  bank.flags = bank.minimalFlags();
  std::vector<uint8_t> bytes = writeBank(bank);
  for (size_t len = 0; len < bytes.size(); ++len) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(len));
    ASprite s;
    EXPECT_FALSE(s.load(cut.data(), 0, static_cast<uint32_t>(len))) << len;
    EXPECT_EQ(s.moduleCount, 0);
  }
}

TEST(SpriteBankParser, RefusesTablesPastTheirSections) {
  // A frame whose frame modules run past the frame-module table.
  Bytes f;
  f.u16(0).u32(0).u16(0).u16(1).u8(0).u8(0).u8(0).u8(0);
  f.u16(1).u16(2).u16(0).u32(0).u16(0).u16(0);
  ASprite s;
  EXPECT_FALSE(s.load(f.v.data(), 0, static_cast<uint32_t>(f.v.size())));
  // An animation whose frames run past the animation-frame table.
  Bytes a;
  a.u16(0).u32(0).u16(0).u16(0).u16(0);
  a.u16(1).u8(0).u8(1).u8(0).u8(0).u8(0);
  a.u16(1).u8(2).u8(0).u16(0);
  EXPECT_FALSE(s.load(a.v.data(), 0, static_cast<uint32_t>(a.v.size())));
  // A negative first animation frame.
  Bytes n;
  n.u16(0).u32(0).u16(0).u16(0).u16(0);
  n.u16(1).u8(0).u8(1).u8(0).u8(0).u8(0);
  n.u16(1).u8(1).u8(0).u16(0xFFFF);
  EXPECT_FALSE(s.load(n.v.data(), 0, static_cast<uint32_t>(n.v.size())));
  EXPECT_FALSE(s.load(nullptr, 0, 0));
}

TEST(SpriteBankParser, BadModuleDataIsNotDecoded) {
  spritetest::Screen screen;
  // Module 0 has a run past its pixels, module 1 indices past the palette,
  // module 2 is above the decode buffer's 8192 pixels.
  Bytes b;
  b.u16(0).u32(kFlagPixelData | kFlagSize16).u16(3);
  b.u16(2).u16(1).u16(2).u16(1).u16(128).u16(65);
  b.u16(0).u16(0).u16(0).u16(0);
  b.u16(kPal8888).u8(1).u8(2).u32(0xFF111111).u32(0xFF222222);
  b.u16(kEncRunsSingles);
  b.u16(2).u8(0x83).u8(1);
  b.u16(2).u8(1).u8(7);
  b.u16(2).u8(0x80 + 127).u8(0);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  EXPECT_EQ(s.decodeModule(0), nullptr);
  uint32_t* px = s.decodeModule(1);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(px[0], 0xFF222222u);
  EXPECT_EQ(px[1], 0u);  // index 7 of a two-colour palette: transparent
  EXPECT_EQ(s.decodeModule(2), nullptr);
  EXPECT_EQ(s.decodeModule(-1), nullptr);
  EXPECT_EQ(s.decodeModule(3), nullptr);
}

TEST(SpriteBankParser, RandomCorruptionNeverCrashes) {
  spritetest::Screen screen;
  Bank bank = richBank();
  bank.flags = bank.minimalFlags();
  std::vector<uint8_t> bytes = writeBank(bank);
  std::mt19937 rng(99);
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> v = bytes;
    int hits = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < hits; ++k) v[rng() % v.size()] = static_cast<uint8_t>(rng());
    ASprite s;
    if (!s.load(v.data(), 0, static_cast<uint32_t>(v.size()))) continue;
    for (int m = 0; m < s.moduleCount; ++m) s.decodeModule(m);
    s.buildCacheImages(0, 0, -1, -1);
    for (int f = 0; f < s.frameCount; ++f) s.paintFrame(screen.g(), f, 50, 50, static_cast<int>(rng() % 8));
    for (int a = 0; a < s.animCount; ++a)
      for (int n = 0; n < s.getAnimFrameCount(a); ++n) s.paintAnimFrame(screen.g(), a, n, 20, 20, 0);
  }
}

}  // namespace

namespace {

// Sizes whose product passes 32 bits are neither decoded nor painted.
TEST(SpriteBankParser, HugeModuleSizes) {
  spritetest::Screen screen;
  Bytes b;
  b.u16(0).u32(kFlagPixelData | kFlagSize16).u16(1).u16(0xFF00).u16(0xFFFF);
  b.u16(1).u8(0).u8(0).u8(0).u8(0);
  b.u16(1).u16(1).u16(0).u32(0).u16(0).u16(0);
  b.u16(kPal8888).u8(1).u8(1).u32(0xFFFFFFFF);
  b.u16(kEnc8Bit).u16(1).u8(0);
  ASprite s;
  ASSERT_TRUE(s.load(b.v.data(), 0, static_cast<uint32_t>(b.v.size())));
  EXPECT_EQ(s.decodeModule(0), nullptr);
  s.buildCacheImages(0, 0, -1, -1);
  s.paintFrame(screen.g(), 0, 0, 0, 0);
  s.effectMode = 4;
  s.paintFrame(screen.g(), 0, 0, 0, 0);
  EXPECT_EQ(screen.at(0, 0), 0);
}

}  // namespace
