// Loading "interf.bar": whole records, play-mode bits, short records padded,
// the current interface across a reload, selection, accessors on wrong
// types and indices, and the writer -> loader -> writer round trip.
#include "InterfaceFixture.h"

namespace {

// The elements of interface id as the writer takes them back.
Interface readBack(cGame& g, int32_t id) {
  Interface out;
  for (int32_t i = 0; i < getInterfaceElementCount(g, id); ++i) {
    const int16_t* e = getInterfaceElement(g, id, i);
    Element r;
    r.type = static_cast<uint8_t>(e[F::kWordType]);
    r.x = e[F::kWordX];
    r.y = e[F::kWordY];
    for (int32_t k = 0; k < getElementParamCount(g, id, i); ++k) r.params.push_back(e[F::kWordParams + k]);
    out.push_back(r);
  }
  return out;
}

TEST_F(InterfaceTest, EntriesCountWholeRecordsOnly) {
  const Element empty = {9, -3, 400, {}};  // n = 0: 8 bytes
  const std::vector<uint8_t> one = interfacedata::writeInterface({empty});
  ASSERT_EQ(one.size(), 8u);
  struct Case {
    std::vector<uint8_t> bytes;
    int32_t count;
  };
  std::vector<uint8_t> two = interfacedata::writeInterface({sprite(1, 2, 1, 0, -1), empty});
  std::vector<uint8_t> cut = two;
  cut.pop_back();  // the n = 0 record loses a byte
  std::vector<uint8_t> tail = one;
  tail.insert(tail.end(), {0, 0, 0, 0, 0, 0, 0, 3, 1, 0});  // claims 3 parameters, has half of one
  const Case cases[] = {{{}, 0}, {one, 1}, {two, 2}, {cut, 1}, {tail, 1}, {{0, 0, 0}, 0}};
  for (const Case& c : cases) {
    loadInterface(*game, 5, c.bytes.data(), static_cast<int32_t>(c.bytes.size()));
    EXPECT_EQ(getInterfaceElementCount(*game, 5), c.count);
    EXPECT_NE(game->interfaces.lists[5], nullptr);  // an empty interface still has its array
  }
  loadInterface(*game, 5, one.data(), 8);
  const int16_t* e = element(0, 5);
  EXPECT_EQ(e[F::kWordType], 9);
  EXPECT_EQ(e[F::kWordX], -3);
  EXPECT_EQ(e[F::kWordY], 400);
  EXPECT_EQ(getElementParamCount(*game, 5, 0), 0);
}

TEST_F(InterfaceTest, PlayModesFromTheFileFrame) {
  struct Case {
    int frame, anim, storedAnim;
  };
  const Case cases[] = {{-2, 4, 4 | 0x200}, {-3, 4, 4 | 0x400}, {-2, -1, -1}, {-3, 0, 0x400}, {-1, 4, 4}, {5, 4, 4}};
  Interface in;
  for (const Case& c : cases) in.push_back(sprite(0, 0, 1, c.frame, c.anim));
  loadOne(in);
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    EXPECT_EQ(p(i, F::kSpriteAnim), cases[i].storedAnim) << i;
    EXPECT_EQ(p(i, F::kSpriteFrame), cases[i].frame) << i;
    EXPECT_EQ(getInterfaceElementAnim(*game, -1, i), cases[i].anim) << i;  // without the mode bits
  }
}

TEST_F(InterfaceTest, ShortRecordsArePaddedWithZeros) {
  // Each type with fewer parameters than it reads, and one with none at all.
  const Interface in = {{0, 1, 2, {1, 3, -1, 1}}, {1, 0, 0, {50}}, {3, 0, 0, {}}, {4, 0, 0, {7}}, {2, 0, 0, {}}};
  loadOne(in);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(getElementParamCount(*game, -1, i), static_cast<int32_t>(in[static_cast<size_t>(i)].params.size()));
    for (int k = static_cast<int>(in[static_cast<size_t>(i)].params.size()); k < F::kMinStoredParams; ++k)
      EXPECT_EQ(p(i, k), 0) << i << " p" << k;
  }
  EXPECT_EQ(p(0, F::kSpriteFrame), 3);
  // Everything that reads them stays inside the elements.
  startInterfaceAnimation(*game);
  updateInterfaceTimers(*game);
  paintInterfaceLayer(*game, false);
  paintInterfaceLayer(*game, true);
  EXPECT_EQ(frameAt(1, 2), 3);
  drawElementString(*game, 1, "ab");
  EXPECT_EQ(getElementFont(*game, 3), 0);
}

TEST_F(InterfaceTest, RoundTripWriterLoaderWriter) {
  std::vector<Interface> all(69);
  all[0] = {sprite(-5, 7, 1, -2, 4), text(1, 2, 30, 40, 2, 1), {3, 9, 8, {10, 20, 128, 1, 2, 3, 1, 0}},
            {4, -120, 0, {1, 0, 90, 0}}, {7, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
            {0, 0, 0, {}}};
  all[56] = {interfacedata::placeholder(), interfacedata::defaultPanel()};
  all[68] = {text(0, 0, 1, 1)};
  const std::vector<uint8_t> first = interfacedata::writeInterfaces(all);
  load(all);
  std::vector<Interface> readAgain(69);
  for (int32_t id = 0; id < 69; ++id) readAgain[static_cast<size_t>(id)] = readBack(*game, id);
  // The loader set the play-mode bit of the -2 sprite; the file keeps it clear.
  readAgain[0][0].params[F::kSpriteAnim] = 4;
  EXPECT_EQ(readAgain, all);
  EXPECT_EQ(interfacedata::writeInterfaces(readAgain), first);
}

TEST_F(InterfaceTest, NoArchiveGivesEmptyInterfacesAndReloadKeepsTheCurrentOne) {
  load({{}, {sprite(0, 0, 1, 0, -1), sprite(3, 4, 1, 1, -1)}}, 1);
  EXPECT_EQ(game->interfaces.currentInterface, 1);
  EXPECT_EQ(game->interfaces.currentElementCount, 2);
  // Rebuilt from a new archive: the current interface is the rebuilt one.
  writeBytes("interf.bar", interfacedata::writeInterfaces({{}, {sprite(9, 9, 1, 0, -1)}}));
  ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
  loadInterfaces(*game);
  EXPECT_EQ(game->interfaces.currentElements, game->interfaces.lists[1]);
  EXPECT_EQ(game->interfaces.currentElementCount, 1);
  EXPECT_EQ(getElementX(*game, 0), 9);
  unloadBar(*game);
  loadInterfaces(*game);  // nothing open
  for (int32_t id = 0; id < 69; ++id) EXPECT_EQ(getInterfaceElementCount(*game, id), 0);
  EXPECT_EQ(game->interfaces.currentElementCount, 0);
  paintInterface(*game);
}

TEST_F(InterfaceTest, SelectionAndAccessorsIgnoreBadIdsIndicesAndTypes) {
  load({{sprite(1, 2, 1, 3, -1), text(5, 6, 70, 80), {3, 0, 0, {11, 12, 0, 5, 0, 0, 1, 0}}}, {}});
  for (int32_t bad : {-2, 69, 1000}) {
    selectInterface(*game, bad);
    EXPECT_EQ(game->interfaces.currentInterface, 0);
  }
  for (int32_t i : {-1, 3, 100}) {
    EXPECT_EQ(getElementX(*game, i), 0);
    EXPECT_EQ(getInterfaceElementY(*game, 0, i), 0);
    EXPECT_EQ(getElementWidth(*game, i), 0);
    EXPECT_EQ(getInterfaceElementAnim(*game, 0, i), -1);
    EXPECT_FALSE(isElementVisible(*game, i));
    setElementX(*game, 0, i, 5);
    setElementFrame(*game, i, 2);
    setElementAnim(*game, i, 2);
    setElementVisible(*game, i, false);
    setElementPalette(*game, i, 1);
    setInterfaceElementSprite(*game, 0, i, 3);
    paintSpriteElement(*game, i, false);
    paintRectElement(*game, i, 0, 0, false);
    EXPECT_FALSE(drawElementText(*game, i, 0));
  }
  EXPECT_EQ(getInterfaceElementX(*game, 70, 0), 0);
  EXPECT_EQ(getInterfaceElementX(*game, -1, 0), 1);  // -1 is the current interface
  setElementX(*game, -1, 0, 44);
  setElementY(*game, 0, 1, -7);
  EXPECT_EQ(getElementX(*game, 0), 44);
  EXPECT_EQ(getInterfaceElementY(*game, 0, 1), -7);
  EXPECT_EQ(getInterfaceElementWidth(*game, 0, 1), 70);
  EXPECT_EQ(getElementHeight(*game, 2), 12);
  // Sprite-only setters leave a text box and a rectangle alone.
  for (int32_t i : {1, 2}) {
    int16_t before[17];
    std::memcpy(before, element(i), sizeof before);
    setElementFrame(*game, i, 9);
    setElementAnim(*game, i, 9);
    setElementVisible(*game, i, false);
    setInterfaceElementSprite(*game, -1, i, 9);
    EXPECT_EQ(std::memcmp(before, element(i), sizeof before), 0) << i;
    EXPECT_EQ(getInterfaceElementAnim(*game, -1, i), -1);
  }
  EXPECT_TRUE(isElementVisible(*game, 2));  // p3 of any type
  setElementPalette(*game, 1, 2);
  setElementPalette(*game, 0, 1);
  EXPECT_EQ(p(1, F::kTextPalette), 2);
  EXPECT_EQ(p(0, F::kSpritePalette), 1);
}

TEST_F(InterfaceTest, AnimationSettersKeepThePlayMode) {
  loadOne({sprite(0, 0, 1, -2, 4), sprite(0, 0, 1, -3, 1), sprite(0, 0, 1, 2, -1)});
  struct Case {
    int32_t element, anim, stored;
  };
  const Case cases[] = {{0, 2, 2 | 0x200}, {1, 3, 3 | 0x400}, {2, 4, 4}, {0, -1, -1}, {0, 1, 1}};
  for (const Case& c : cases) {
    setElementAnim(*game, c.element, c.anim);
    EXPECT_EQ(p(c.element, F::kSpriteAnim), c.stored);
    EXPECT_EQ(getInterfaceElementAnim(*game, -1, c.element), c.anim);
  }
  setInterfaceElementFrame(*game, 0, 1, 6);  // a frame stops the animation
  EXPECT_EQ(p(1, F::kSpriteFrame), 6);
  EXPECT_EQ(p(1, F::kSpriteAnim), -1);
}

TEST_F(InterfaceTest, CopyInterfacePanel) {
  const Element panelA = {4, -300, 12, {1, 1, 77, 0}};
  const Element panelB = {4, 0, 0, {0, 0, 0, 1}};
  load({{sprite(0, 0, 1, 0, -1), panelA}, {text(0, 0, 1, 1), panelB, panelA}, {sprite(0, 0, 1, 0, -1)}});
  copyInterfacePanel(*game, 2, 1);  // no panel in the source
  copyInterfacePanel(*game, 0, 2);  // none in the target
  EXPECT_EQ(element(1, 1)[F::kWordX], 0);
  copyInterfacePanel(*game, 0, 1);
  const int16_t* to = element(1, 1);
  EXPECT_EQ(to[F::kWordX], -300);
  EXPECT_EQ(to[F::kWordY], 12);
  EXPECT_EQ(to[F::kWordParams + F::kPanelParallax], 1);
  EXPECT_EQ(to[F::kWordParams + F::kPanelSeats], 1);
  EXPECT_EQ(to[F::kWordParams + F::kPanelShade], 77);
  EXPECT_EQ(to[F::kWordParams + F::kPanelPlain], 1);  // p3 is not copied
  EXPECT_EQ(element(2, 1)[F::kWordX], -300);           // only the first panel of the target
  copyInterfacePanel(*game, -5, 70);
}

}  // namespace
