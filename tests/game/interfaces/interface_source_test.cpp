// The interface source compiler: element lines with their defaults, named
// values, raw records, index marks, padding, and the errors it reports.
#include <gtest/gtest.h>

#include "tools/interface/InterfaceWriter.h"

namespace {

namespace F = interfaceformat;
using interfacedata::Element;
using interfacedata::Interface;

Interface compile(const std::string& source) {
  Interface out;
  std::string error;
  EXPECT_TRUE(interfacedata::compileInterface(source, out, &error)) << error;
  return out;
}

TEST(InterfaceSource, ElementsDefaultsAndNamedValues) {
  const Interface in = compile(
      "# a comment\n"
      "\n"
      "sprite x=-5 y=7 bank=1 frame=hold anim=4 layer=back dx=-240 delay=0x10 palette=2  # trailing\n"
      "[1] text x=1 y=2 width=30 height=40 valign=bottom halign=centre font=1 p5=-9 duration=300\n"
      "rect width=4 height=5 alpha=128 red=255 green=1 blue=2 visible=0\n"
      "panel x=-120 parallax=1 seats=1 shade=90 plain=1\n"
      "raw 7 1 -1 3 -4\n"
      "raw 0 0 0\n"
      "sprite bank=149 frame=vanish anim=none duration=auto\n");
  ASSERT_EQ(in.size(), 7u);
  const Interface expected = {
      {0, -5, 7, {1, -2, 4, 1, 1, -240, 0, 16, -1, 0, 2}},
      {1, 1, 2, {30, 40, 2, 1, 1, -9, 0, 0, 0, 0, 300, 0}},
      {3, 0, 0, {4, 5, 128, 255, 1, 2, 0, 0}},
      {4, -120, 0, {1, 1, 90, 1}},
      {7, 1, -1, {3, -4}},
      {0, 0, 0, {}},
      {0, 0, 0, {149, -3, -1, 1, 0, 0, 0, 0, -1, 0, 0}},
  };
  EXPECT_EQ(in, expected);
  EXPECT_EQ(interfacedata::defaultRect().params, (std::vector<int16_t>{0, 0, 255, 0, 0, 0, 1, 0}));
  EXPECT_EQ(interfacedata::defaultText().params.size(), static_cast<size_t>(F::kTextParamCount));
}

TEST(InterfaceSource, PaddingAndIndexMarks) {
  const Interface in = compile("pad 3\n[3]\nsprite bank=0\npad 4\npad 6\n[6] text width=1 height=1\n");
  ASSERT_EQ(in.size(), 7u);
  for (int i : {0, 1, 2, 4, 5}) EXPECT_EQ(in[static_cast<size_t>(i)], interfacedata::placeholder()) << i;
  EXPECT_EQ(interfacedata::placeholder().params[F::kSpriteVisible], 0);
  EXPECT_EQ(in[6].type, F::kText);
}

TEST(InterfaceSource, Errors) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"sprite bank=1\n[2] sprite bank=1\n", "line 2: [2] asserted, but this is element 1"},
      {"[0]\n", "line 1: [0] asserted at the end, with no element"},
      {"[1\n", "line 1: bad index mark \"[1\""},
      {"[0] [0] sprite bank=1\n", "line 1: two index marks for one element"},
      {"button x=1\n", "line 1: unknown element type \"button\""},
      {"sprite bank=1 width=3\n", "line 1: unknown key \"width\" for sprite"},
      {"sprite bank=1 bank=2\n", "line 1: \"bank\" given twice"},
      {"sprite bank=1 x=1e3\n", "line 1: bad number \"1e3\" for x"},
      {"sprite bank=1 x=40000\n", "line 1: bad number \"40000\" for x"},
      {"sprite bank=150\n", "line 1: bad value \"150\" for bank (0 to 149)"},
      {"text width=1 height=1 valign=centre\n", "line 1: bad value \"centre\" for valign (0 to 2)"},
      {"rect width=1 height=1 red=256\n", "line 1: bad value \"256\" for red (0 to 255)"},
      {"sprite frame=1\n", "line 1: sprite needs bank="},
      {"text width=5\n", "line 1: text needs height="},
      {"sprite bank\n", "line 1: expected key=value, got \"bank\""},
      {"pad\n", "line 1: expected \"pad N\""},
      {"pad 2\npad 1\n", "line 2: pad 1 but 2 elements already"},
      {"[1] pad 2\n", "line 1: an index mark cannot stand before pad"},
      {"raw 0 1\n", "line 1: expected \"raw T x y [p...]\""},
      {"raw 256 0 0\n", "line 1: bad type \"256\""},
      {"raw 0 0 0 --1\n", "line 1: bad number \"--1\""},
      {"raw 0 0 0 0x\n", "line 1: bad number \"0x\""},
  };
  for (const Case& c : cases) {
    Interface out;
    std::string error;
    EXPECT_FALSE(interfacedata::compileInterface(c.source, out, &error)) << c.source;
    EXPECT_EQ(error, c.error) << c.source;
  }
}

TEST(InterfaceSource, WriterBytesAndFileNames) {
  const std::vector<uint8_t> bytes = interfacedata::writeInterface({{3, -2, 0x1234, {1, -1}}, {9, 0, 0, {}}});
  const std::vector<uint8_t> expected = {3, 0, 0, 0xFE, 0xFF, 0x34, 0x12, 2, 1, 0, 0xFF, 0xFF,
                                         9, 0, 0, 0,    0,    0,    0,    0};
  EXPECT_EQ(bytes, expected);
  bool ok = true;
  EXPECT_TRUE(interfacedata::writeInterface({{0, 0, 0, std::vector<int16_t>(256)}}, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(interfacedata::writeInterfaces(std::vector<Interface>(70)).empty());
  struct Name {
    const char* file;
    int number;
  };
  const Name names[] = {{"assets/interfaces/056-hud.txt", 56}, {"000-a.txt", 0},  {"068-x.txt", 68},
                        {"069-x.txt", -1},                     {"56-hud.txt", -1}, {"056_hud.txt", -1},
                        {"056-.txt", -1},                      {"056-hud.md", -1}, {"0a6-hud.txt", -1}};
  for (const Name& n : names) EXPECT_EQ(interfacedata::interfaceNumberOf(n.file), n.number) << n.file;
}

}  // namespace
