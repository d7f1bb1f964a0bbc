// libFuzzer target: parse a sprite bank and exercise decoding, caching,
// painting, rectangles and the font on whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteAnimPlayer.h"
#include "zul/2d/SpriteServices.h"
#include "zul/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  static MutableImage* screen = new MutableImage(96, 96, 16);
  static SpriteServices* services = [] {
    auto* s = new SpriteServices();
    s->decodeBuffer = new uint32_t[SpriteServices::kDecodeBufferWords];
    s->sharedRect = new int32_t[4];
    s->screenGraphics = screen->getGraphics();
    s->backBufferGraphics = screen->getGraphics();
    s->effectReadBack = 1;
    return s;
  }();
  setSpriteServices(services);
  Graphics* g = screen->getGraphics();

  // The input is also read at an offset inside a larger buffer.
  std::vector<uint8_t> copy(data, data + size);
  ASprite s;
  if (!s.load(copy.data(), 0, static_cast<uint32_t>(copy.size()))) return 0;
  for (int p = 0; p < s.paletteCount && p < 4; ++p) {
    s.setCurrentPalette(p);
    for (int m = 0; m < s.moduleCount && m < 64; ++m) s.decodeModule(m);
  }
  s.setCurrentPalette(0);
  static const uint8_t pairs[] = {0, 0, 1, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0, 0};
  s.setRemapTable(1, pairs, sizeof pairs);
  s.buildCacheImages(0, 0, -1, -1);
  int32_t rect[4];
  for (int f = 0; f < s.frameCount && f < 32; ++f) {
    for (int fl = 0; fl < 8; ++fl) s.paintFrame(g, f, 40, 40, fl);
    s.computeFrameRect(rect, f, 10, 10, 3, 2, 2);
    s.getFrameWidth(f);
  }
  for (int a = 0; a < s.animCount && a < 16; ++a) {
    s.getAnimWidth(a);
    s.getAnimHeight(a);
    SpriteAnimPlayer player(&s, 30, 30, nullptr);
    player.setAnim(a);
    player.flags = SpriteAnimPlayer::kLoop;
    for (int t = 0; t < 8; ++t) {
      player.update();
      player.paint(g);
      player.computeScreenRect();
    }
  }
  s.remapSelection = 1;
  for (int m = 0; m < s.moduleCount && m < 64; ++m) s.paintModule(g, m, 20, 20, m & 7);
  s.remapSelection = -1;
  for (int mode : {1, 2, 3, 4, 5, 7, 8}) {
    s.effectMode = mode;
    s.effectParam1 = 0x80;
    s.effectParam2 = 200;
    for (int f = 0; f < s.frameCount && f < 8; ++f) s.paintFrame(g, f, 50, 50, 1);
  }
  s.effectMode = 0;
  static const char text[] = "Ab c\x01\x01" "d\x02\x05" "e\n^\x80\xFF" "fgh ijk lmn";
  s.measureText(text);
  int16_t* table = s.buildWrapTable(text, 20, 0);
  s.drawWrapped(g, text, table, 60, 60, 0, -1, 0x40 | 0x400);
  s.drawMultiline(g, text, 10, 80, 0x20 | 0x200);
  s.drawString(g, text, 0, 0, 0, 7);
  return 0;
}
