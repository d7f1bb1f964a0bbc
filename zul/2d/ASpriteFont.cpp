// ASprite as a proportional bitmap font: measuring, wrapping and drawing.
#include <cstring>

#include "zul/2d/ASprite.h"

namespace {
constexpr int kAnchorCentreX = 0x20, kAnchorRight = 0x40, kAnchorCentreY = 0x200, kAnchorBottom = 0x400;
constexpr int kAnchorAny = kAnchorCentreX | kAnchorRight | kAnchorCentreY | kAnchorBottom;
}  // namespace

int ASprite::mapChar(unsigned code) const { return charMap ? charMap[code & 0xFF] : charToGlyph(code & 0xFF); }

// A glyph past frame 0's glyphs, or whose module is not in the bank, is glyph 0.
int ASprite::glyphOf(int glyph, int* module) const {
  int count = static_cast<int>(glyphModule.size());
  if (glyph < 0 || glyph >= count) glyph = 0;
  int m = glyph < count ? glyphModule[glyph] : 0;
  if (m >= moduleCount) glyph = m = 0;
  *module = m;
  return glyph;
}

int ASprite::spaceAdvance() const { return moduleW8(0) + glyphX0(); }

int ASprite::glyphAdvance(int glyph) const {
  int m;
  glyph = glyphOf(glyph, &m);
  if (m == 0) return moduleW8(0) + glyphX0() + fontSpacing;
  return moduleW8(m) + glyphX[glyph] + glyphX0() + fontSpacing;
}

void ASprite::measureText(const char* text) {
  textWidth = 0;
  textHeight = moduleH8(0);
  int len = text ? static_cast<int>(std::strlen(text)) : 0;
  int start = textStart > 0 ? textStart : 0;
  int end = textEnd < 0 || textEnd > len ? len : textEnd;
  int line = 0, w = 0;
  lineWidths[0] = 0;
  for (int i = start; i < end; ++i) {
    int c = static_cast<signed char>(text[i]);
    if (c == 0x20) {
      w += spaceAdvance();
    } else if (c == 0x0A || c == 0x5E) {
      if (w > 0) w -= glyphX0();
      if (w > textWidth) textWidth = w;
      lineWidths[line] = w;
      if (line == kMaxLines - 1) return;  // no room for further lines
      ++line;
      lineWidths[line] = 0;
      textHeight += fontSpacing + moduleH8(0);
      w = 0;
    } else if (c < 0x21) {
      if (c == 0x01) {
        ++i;
      } else if (c == 0x02 && i + 1 < end) {
        ++i;
        w += glyphAdvance(static_cast<uint8_t>(text[i]));
      }
    } else {
      w += glyphAdvance(mapChar(static_cast<unsigned>(c)));
    }
  }
  if (w > textWidth) textWidth = w;
  if (w > 0) w -= glyphX0();
  lineWidths[line] = w;
}

int ASprite::measureWidth(const char* text) {
  measureText(text);
  return textWidth;
}

int16_t* ASprite::buildWrapTable(const char* text, int maxW, int) {
  int len = text ? static_cast<int>(std::strlen(text)) : 0;
  const uint8_t* s8 = reinterpret_cast<const uint8_t*>(text);
  int w = 0, ww = 0, s = 0, slot = 1;
  bool mayBreak = false;
  const int sp = spaceAdvance();
  auto store = [&](int end, int width) {
    if (slot + 1 > 2 * kMaxWrapLines) return false;
    wrapTable[slot++] = static_cast<int16_t>(end);
    wrapTable[slot++] = static_cast<int16_t>(width);
    return true;
  };
  bool full = false;
  int i = 0;
  while (i < len && !full) {
    int c = s8[i];
    int glyph = -1;
    if (c == 0x20) {
      w += sp;
      ww = 0;
      mayBreak = true;
      s = i;
      if (w > maxW) {
        mayBreak = false;
        for (int j = i; j >= 0 && s8[j] == 0x20; --j) w -= sp;
        while (s < len && s8[s] == 0x20) ++s;
        full = !store(s, w);
        w = 0;
        i = s;
        continue;
      }
    } else if (c == 0x0A) {
      full = !store(i, w);
      w = 0;
      ww = 0;
    } else if (c < 0x20) {
      if (c == 0x01) {
        ++i;
      } else if (c == 0x02 && i + 1 < len) {
        ++i;
        glyph = s8[i];
      }
    } else {
      glyph = mapChar(static_cast<unsigned>(c));
    }
    if (glyph >= 0) {
      int adv = glyphAdvance(glyph);
      ww += adv;
      w += adv;
      if (w > maxW && mayBreak) {
        mayBreak = false;
        for (int j = s; j >= 0 && s8[j] == 0x20; --j) w -= sp;
        full = !store(s + 1, w - ww);
        w = 0;
        i = s + 1;
        continue;
      }
    }
    ++i;
  }
  if (w != 0 && !full) store(len, w);
  wrapTable[0] = static_cast<int16_t>(slot / 2);
  return wrapTable;
}

void ASprite::drawString(Graphics* g, const char* text, int x, int y, int anchor, int lastIndex) {
  textWidth = 0;
  if (!text) return;
  y -= glyphY.empty() ? 0 : glyphY[0];
  if (anchor & kAnchorAny) {
    measureText(text);
    textWidth = lineWidths[0];
    if (anchor & kAnchorRight) x -= textWidth;
    else if (anchor & kAnchorCentreX) x -= textWidth >> 1;
    if (anchor & kAnchorBottom) y -= textHeight;
    else if (anchor & kAnchorCentreY) y -= textHeight >> 1;
  }
  int saved = currentPalette;
  int px = x, py = y;
  int len = static_cast<int>(std::strlen(text));
  int start = textStart > 0 ? textStart : 0;
  int end = textEnd < 0 || textEnd > len ? len : textEnd;
  const uint8_t* s8 = reinterpret_cast<const uint8_t*>(text);
  int glyphCount = getFrameModuleCount(0);
  for (int i = start; i < end; ++i) {
    int c = s8[i];
    int glyph = -1;
    if (c == 0x20) {
      px += spaceAdvance();
    } else if (c == 0x0A) {
      px = x;
      py += fontSpacing + moduleH8(0);
    } else if (c == 0x01) {
      if (i + 1 < end) {
        int p = s8[++i];
        if (p == 0xFF) currentPalette = saved;
        else if (p < paletteCount) currentPalette = p;
      }
    } else if (c == 0x02) {
      if (i + 1 < end) glyph = s8[++i];
    } else if (c >= 0x21) {
      glyph = mapChar(static_cast<unsigned>(c));
    }
    if (glyph >= 0) {
      if (glyph < glyphCount) paintFrameModule(g, 0, glyph, px, py, 0);
      px += glyphAdvance(glyph);
      if (px - x > textWidth) textWidth = px - x;
    }
    if (lastIndex >= 0 && i >= lastIndex) break;
  }
  if (px - x > textWidth) textWidth = px - x;
  currentPalette = saved;
}

void ASprite::drawWrapped(Graphics* g, const char* text, const int16_t* table, int x, int y, int first, int count,
                          int anchor, int lastIndex) {
  if (!text || !table) return;
  int lines = table[0] > kMaxWrapLines ? kMaxWrapLines : table[0];
  if (first < 0) first = 0;
  int n = count;
  if (n < 0 || n > lines - first) n = lines - first;
  if (n <= 0) return;
  int len = static_cast<int>(std::strlen(text));
  int lh = fontSpacing + moduleH8(0);
  if (anchor & kAnchorBottom) y -= lh * (n - 1);
  else if (anchor & kAnchorCentreY) y -= (lh * (n - 1)) >> 1;
  int saved = currentPalette;
  for (int k = 0; k < n; ++k) {
    int line = first + k;
    int start = 0;
    if (line > 0) {
      start = table[1 + 2 * (line - 1)];
      if (start >= 0 && start < len && text[start] == 0x0A) ++start;
    }
    int end = table[1 + 2 * line], width = table[2 + 2 * line];
    textStart = start < 0 ? 0 : start;
    textEnd = end < 0 ? 0 : end;
    int lx = x, ly = y + k * lh;
    if (anchor & kAnchorRight) lx -= width;
    else if (anchor & kAnchorCentreX) lx -= width >> 1;
    if (anchor & kAnchorBottom) ly -= moduleH8(1);
    else if (anchor & kAnchorCentreY) ly -= moduleH8(1) >> 1;
    drawString(g, text, lx, ly, 0, lastIndex);
  }
  textStart = textEnd = -1;
  currentPalette = saved;
}

void ASprite::drawMultiline(Graphics* g, const char* text, int x, int y, int anchor) {
  if (!text) return;
  int len = static_cast<int>(std::strlen(text));
  int ends[kMaxMultilines];
  int lines = 0;
  for (int i = 0; i < len && lines < kMaxMultilines; ++i)
    if (text[i] == 0x0A || text[i] == 0x5E) ends[lines++] = i;
  if (lines < kMaxMultilines) ends[lines++] = len;
  int lh = fontSpacing + moduleH8(0);
  if (anchor & kAnchorBottom) y -= lh * (lines - 1);
  else if (anchor & kAnchorCentreY) y -= (lh * (lines - 1)) >> 1;
  for (int k = 0; k < lines; ++k) {
    textStart = k == 0 ? 0 : ends[k - 1] + 1;
    textEnd = ends[k];
    drawString(g, text, x, y + k * lh, anchor, -1);
  }
  textStart = textEnd = -1;
}

int ASprite::charToGlyph(int c) {
  if (c < 127) return c - 32;
  if (c >= 192 && c <= 221) c += 32;
  switch (c) {
    case 127: return 127;
    case 146: return 7;
    case 156: return 121;
    case 158: return 126;
    case 161: return 124;
    case 169: return 127;
    case 188: return 101;
    case 189: return 116;
    case 190: return 117;
    case 191: return 125;
    case 223: return 102;
    case 224: return 98;
    case 225: return 97;
    case 226: return 99;
    case 227: return 100;
    case 228: return 96;
    case 231: return 103;
    case 232: return 105;
    case 233: return 104;
    case 234: return 106;
    case 236: return 108;
    case 237: return 107;
    case 238: return 109;
    case 241: return 110;
    case 242: return 113;
    case 243: return 112;
    case 244: return 115;
    case 245: return 114;
    case 246: return 111;
    case 247: return 126;
    case 249: return 120;
    case 250: return 119;
    case 252: return 118;
    default: return 31;
  }
}
