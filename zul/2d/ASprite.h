// A loaded sprite bank: modules, frames, animations and palettes, module
// decoding and caches, painting, rectangles and the bitmap-font operations.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "zul/2d/SpriteBankFormat.h"

class Graphics;
class RgbImage;
class cImg;
struct SpriteServices;

class ASprite {
 public:
  static constexpr int kMaxRemapTables = 8;
  static constexpr int kMaxLines = 20;      // measured line widths
  static constexpr int kMaxWrapLines = 50;  // lines of a wrap table
  static constexpr int kMaxMultilines = 100;
  static constexpr int kMaxFrameDepth = 8;  // nesting of frames inside frames
  static constexpr uint32_t kNoPendingColour = 0xFFFFFFFF;

  ASprite();
  ~ASprite();
  ASprite(const ASprite&) = delete;
  ASprite& operator=(const ASprite&) = delete;

  // Parses a bank from bytes[offset, offset + length). False (and an empty
  // bank) when the data is malformed.
  bool load(const uint8_t* bytes, uint32_t offset, uint32_t length);

  // False when an image module of the range has pixel data that does not
  // decode (it is left out of the cache).
  bool buildCacheImagesWithAlpha(int palette, int firstModule, int lastModule, int allocOnly, ASprite* alphaBank);
  bool buildCacheImages(int palette, int firstModule, int lastModule, int allocOnly);
  // Whether every image module's pixel data decodes (a bank without pixel
  // data or palettes has none to decode).
  bool imageModulesDecode() const;
  void freeModuleData();
  void freeModuleDataAndOffsets();
  void setRemapTable(int table, const uint8_t* pairs, int byteCount);

  // w*h ARGB pixels of the module in the shared decode buffer, or null;
  // `malformed` is set when its pixel data does not decode.
  uint32_t* decodeModule(int module);
  uint32_t* decodeModule(int module, bool& malformed);
  void setCurrentPalette(int palette);

  void paintModule(Graphics* g, int module, int x, int y, int flags);
  void paintFrameModule(Graphics* g, int frame, int n, int x, int y, int flags);
  void paintFrame(Graphics* g, int frame, int x, int y, int flags);
  void paintAnimFrame(Graphics* g, int anim, int n, int x, int y, int flags);
  void paintShadedRect(Graphics* g, int x, int y, int w, int h, uint32_t top, uint32_t bottom);
  void paintModuleEffect(Graphics* g, int module, int x, int y, int flags);

  int getModuleWidth(int module) const;
  int getModuleHeight(int module) const;
  int getFontHeight() const { return getModuleHeight(0) & 0xFF; }
  int getFontSpacing() const { return fontSpacing; }
  int getCurrentPalette() const { return currentPalette; }
  void setCharMap(const uint8_t* map) { charMap = map; }
  int getFrameModuleCount(int frame) const;
  int getFrameModuleIndex(int frame, int n) const;
  int getFrameModuleX(int frame, int n) const;
  int getFrameModuleY(int frame, int n) const;
  int getFrameModuleWidth(int frame, int n) const;
  int getFrameModuleHeight(int frame, int n) const;
  int getAnimFrameCount(int anim) const;
  int getAnimFrameIndex(int anim, int n) const;
  int getAnimFrameTime(int anim, int n) const;
  int getFrameWidth(int frame);
  int getFrameHeight(int frame);
  int getAnimWidth(int anim);
  int getAnimHeight(int anim);

  void getModuleRect(int32_t* rect, int module, int x, int y) const;
  void getFrameModuleRect(int32_t* rect, int frame, int n) const;
  void getFrameModulesBounds(int32_t* rect, int frame) const;
  void computeFrameRect(int32_t* rect, int frame, int x, int y, int flags, int hotspotX = 0, int hotspotY = 0) const;
  void getFrameRect(int32_t* rect, int frame, int x, int y, int flags) const;
  void getAnimFrameRect(int32_t* rect, int anim, int n, int x, int y, int flags, int hotspotX = 0,
                        int hotspotY = 0) const;

  // Bitmap font.
  void measureText(const char* text);
  int measureWidth(const char* text);
  int16_t* buildWrapTable(const char* text, int maxWidth, int unused);
  int16_t* wrapText(const char* text, int maxWidth) { return buildWrapTable(text, maxWidth, 0); }
  void drawString(Graphics* g, const char* text, int x, int y, int anchor, int lastIndex = -1);
  void drawWrapped(Graphics* g, const char* text, const int16_t* table, int x, int y, int firstLine, int lineCount,
                   int anchor, int lastIndex = -1);
  void drawMultiline(Graphics* g, const char* text, int x, int y, int anchor);
  static int charToGlyph(int code);

  // Fields (the game reads and writes several of these directly).
  uint8_t usesRgbImages = 0;
  uint8_t reserved = 0;
  uint8_t hasTransparentColours = 0;
  int32_t lineWidths[kMaxLines] = {};
  int16_t wrapTable[2 * kMaxWrapLines + 2] = {};
  uint32_t flags = 0;
  std::vector<int16_t> moduleX, moduleY;
  std::vector<uint16_t> moduleWidth, moduleHeight;
  int32_t moduleCount = 0;
  std::vector<uint8_t> moduleKind;
  std::vector<uint32_t> moduleColour;
  uint32_t pendingColour = kNoPendingColour;
  std::vector<int16_t> frameModules;         // F x (module, x, y, flags)
  std::vector<int16_t> frameModulePalettes;  // F entries, only with the palette flag
  int32_t effectMode = 0;
  int32_t effectParam1 = 0, effectParam2 = 0, effectParam3 = 0;
  int32_t frameCount = 0;
  std::vector<uint16_t> frameModuleCount, frameFirstModule;
  std::vector<uint8_t> glyphModule;
  std::vector<int16_t> glyphX, glyphY;
  int32_t frameModuleTotal = 0;
  int32_t paletteCount = 0, coloursPerPalette = 0;
  std::vector<std::vector<uint32_t>> palettes;  // ARGB
  const uint8_t* charMap = nullptr;             // not owned
  std::vector<std::vector<std::unique_ptr<cImg>>> imageCache;  // [palette][module]
  std::vector<std::vector<std::vector<uint32_t>>> rawCache;    // [palette][module] ARGB copies
  std::vector<std::unique_ptr<RgbImage[]>> rgbImageCache;      // [palette] -> M images
  int32_t textHeight = 0, textWidth = 0;
  std::vector<uint8_t> animLength;
  std::vector<uint16_t> animFirstFrame;
  std::vector<uint8_t> animFrames;  // A x 5 raw bytes
  int32_t fontSpacing = 0;
  int32_t currentPalette = 0;
  int32_t animCount = 0, animFrameCount = 0;
  std::vector<std::vector<int16_t>> remapTables;  // kMaxRemapTables entries once used
  int32_t remapSelection = -1;
  uint16_t encoding = 0;
  int32_t runMask = 0, runBits = 0;
  std::vector<uint8_t> moduleData;
  std::vector<uint32_t> moduleDataOffset;
  std::vector<uint16_t> moduleDataLength;
  int32_t textStart = -1, textEnd = -1;
  int32_t* sharedRect = nullptr;  // the game's, not owned
  int32_t hasAltSizes = 0;
  std::vector<uint16_t> altWidth, altHeight;
  SpriteServices* game = nullptr;

 private:
  // Extent of an animation along x (axis 0) or y (axis 1).
  int getAnimExtent(int anim, int axis);
  void clear();
  void paintFrameAt(Graphics* g, int frame, int x, int y, int flags, int depth);
  void paintFrameModuleAt(Graphics* g, int frame, int n, int x, int y, int flags, int depth);
  bool touchesClip(Graphics* g, int x, int y, int w, int h) const;
  const int16_t* frameModuleRecord(int frame, int n) const;
  const uint8_t* animFrameRecord(int anim, int n) const;
  int moduleW8(int module) const { return getModuleWidth(module) & 0xFF; }
  int moduleH8(int module) const { return getModuleHeight(module) & 0xFF; }
  int glyphOf(int glyph, int* module) const;
  int glyphAdvance(int glyph) const;
  int spaceAdvance() const;
  int glyphX0() const { return glyphX.empty() ? 0 : glyphX[0]; }
  int mapChar(unsigned code) const;
};
