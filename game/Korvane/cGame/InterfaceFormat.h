// The records of "interf.bar" and the words of an interface element in
// memory. Shared by the game, the interface compiler and the tests.
//
// Entry i of the archive is interface i: element records back to back up to
// the entry's end, each u8 type, two unused bytes, i16 x, i16 y, u8 n and n
// i16 parameters (little-endian). In memory an element is the words type, x,
// y, the parameters p0.., then two spare words.
#pragma once

#include <cstdint>

namespace interfaceformat {

constexpr int32_t kInterfaceCount = 69;
constexpr int32_t kRecordHeaderSize = 8;

// Element types.
constexpr int16_t kSprite = 0;
constexpr int16_t kText = 1;
constexpr int16_t kRect = 3;
constexpr int16_t kPanel = 4;

// Words of an element.
constexpr int32_t kWordType = 0;
constexpr int32_t kWordX = 1;
constexpr int32_t kWordY = 2;
constexpr int32_t kWordParams = 3;  // p0
constexpr int32_t kSpareWords = 2;  // after the parameters

// Sprite parameters.
enum SpriteParam : int32_t {
  kSpriteBank,      // slot in the game's table of sprite banks
  kSpriteFrame,     // frame, or the animation's next frame; -2 / -3 at load: play modes
  kSpriteAnim,      // -1 none; bits kPlayOnceHold / kPlayOnceVanish
  kSpriteVisible,   // 0 hidden
  kSpriteLayer,     // 0 current target, else back layer
  kSpriteDx,        // slide offset
  kSpriteDy,
  kSpriteDelay,     // ms at the full offset before moving
  kSpriteDuration,  // ms of the move; < 0: chosen when armed
  kSpriteTimer,     // ms left
  kSpritePalette,
  kSpriteParamCount
};

// Text box parameters.
enum TextParam : int32_t {
  kTextWidth,
  kTextHeight,
  kTextVAlign,  // 0 top, 1 middle, 2 bottom
  kTextHAlign,  // 0 left, 1 centre, 2 right
  kTextFont,
  kTextUnused,
  kTextPalette,
  kTextDx,
  kTextDy,
  kTextDelay,
  kTextDuration,
  kTextTimer,
  kTextParamCount
};

// Rectangle parameters (colour channels: low byte).
enum RectParam : int32_t {
  kRectWidth,
  kRectHeight,
  kRectAlpha,
  kRectRed,
  kRectGreen,
  kRectBlue,
  kRectVisible,
  kRectLayer,
  kRectParamCount
};

// Panel parameters; the element's x is the scenery scroll offset.
enum PanelParam : int32_t {
  kPanelParallax,  // first scenery switch (== 1)
  kPanelSeats,     // second scenery switch (== 1)
  kPanelShade,     // alpha of the black veil, 0-255
  kPanelPlain,     // non-zero: the plain background
  kPanelParamCount
};

// Play modes kept in the animation word of a sprite.
constexpr int16_t kPlayOnceHold = 0x200;    // file frame -2
constexpr int16_t kPlayOnceVanish = 0x400;  // file frame -3
constexpr int16_t kPlayModeBits = kPlayOnceHold | kPlayOnceVanish;
constexpr int16_t kFrameOnceHold = -2;
constexpr int16_t kFrameOnceVanish = -3;

// Parameters the code reads of an element of the type (0 for other types).
constexpr int32_t paramsRead(int32_t type) {
  return type == kSprite ? kSpriteParamCount
         : type == kText ? kTextParamCount
         : type == kRect ? kRectParamCount
         : type == kPanel ? kPanelParamCount
                          : 0;
}

// Every element is kept with at least this many parameter words (zero when
// the record has fewer), so a reader of any parameter stays inside it.
constexpr int32_t kMinStoredParams = kTextParamCount;

}  // namespace interfaceformat
