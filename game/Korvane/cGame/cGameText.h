#pragma once

#include <cstdint>

#include "game/Korvane/cGame/cGameData.h"

class ASprite;
class cGame;
class Graphics;

// Work-string helpers: "%t" is replaced at its first place only.
void loadTextToBuffer(cGame& game, int32_t textId);
// Text table "text.bar", work string and scratch rings.
void loadStrings(cGame& game, int32_t language);
int32_t getStringOffset(const cGame& game, int32_t id);
int32_t getStringLength(const cGame& game, int32_t id);
const char* getStringData(const cGame& game, int32_t id);
// One text table serves every language: the same copy, the same id.
char* getStringCopy(cGame& game, int32_t id);
char* getStringCopy(cGame& game, int32_t id, int32_t /*language*/);
void textBufferSet(cGame& game, const char* text);
void textBufferSetString(cGame& game, int32_t id);
void textBufferAppendString(cGame& game, int32_t id);
void textBufferAppend(cGame& game, const char* text);
void textBufferAppendChars(cGame& game, const char* chars, int32_t first, int32_t n);
char* textBufferCopy(cGame& game);
char* getTempBuffer(cGame& game);
char* getMessageBuffer(cGame& game);
int32_t* getTempVectorSlot(cGame& game);
void freeStrings(cGame& game);
int32_t decodeChar(const uint8_t* text, int32_t pos, int32_t end, int32_t* length);
int32_t glyphFrame(const cGame& game, int32_t code);
int32_t formatNumber(cGame& game, int32_t value, int32_t radix, int32_t digits);
void setTextParam(cGame& game, int32_t index, int32_t value);
void drawChars(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font,
               int32_t x, int32_t y, int32_t anchor);
void drawCString(cGame& game, Graphics* g, ASprite** fonts, const char* text, int32_t font, int32_t x, int32_t y,
                 int32_t anchor);
void drawString(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                int32_t anchor);
void drawAnchoredText(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count,
                      int32_t x, int32_t y, int32_t anchor);
void drawTextRun(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t x,
                 int32_t y);
int32_t measureText(cGame& game, ASprite* font, const char* chars, int32_t first, int32_t count);
int32_t getStringWidth(cGame& game, ASprite* font, int32_t id);
int32_t getCStringWidth(cGame& game, ASprite* font, const char* text);
int32_t getCharsWidth(cGame& game, ASprite* font, const char* chars, int32_t first, int32_t count);
int32_t getMeasuredTextHeight(const cGame& game, ASprite* font);
int32_t layoutTextLines(cGame& game, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t w,
                        int32_t h, int32_t pageLimit);
void resetLayout(cGame& game, ASprite** fonts, int32_t font);
int32_t layoutText(cGame& game, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font,
                   int32_t w, int32_t h);
int32_t layoutString(cGame& game, ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h);
bool drawWrappedString(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                       int32_t w, int32_t h, int32_t page, int32_t flags);
bool drawWrappedTextPage(cGame& game, Graphics* g, ASprite** fonts, int32_t palette, const char* chars, int32_t first,
                         int32_t count, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags);
int32_t getStringPageHeight(cGame& game, ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h, int32_t page);
int32_t drawStringReveal(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                         int32_t w, int32_t h, int32_t page, int32_t flags, int32_t step, int32_t mode);
int32_t drawTextReveal(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count,
                       int32_t font, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags,
                       int32_t step, int32_t mode);

struct TextState {
  TextTableData strings;
  // Text markup and drawing (fonts are sprite banks indexed by font number).
  ASprite* fonts[TextLayoutData::kMaxFonts] = {};
  uint8_t* charMap = nullptr;  // 16-bit glyph frames by character code
  int32_t charMapCount = 0;
  TextLayoutData layout;
};

int32_t getLocalisedStringId(int32_t id);
void resetLanguage(cGame& game);
const char* getLanguageCode();
