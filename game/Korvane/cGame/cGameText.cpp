// Text drawing with the game's bitmap fonts: the '%' markup, UTF-8 codes,
// measuring, line and page layout, anchored runs, wrapped pages and the
// typewriter reveal.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/ASprite.h"

namespace {

using L = TextLayoutData;

int32_t spacingOf(const ASprite* f) { return f && !f->glyphX.empty() ? f->glyphX[0] : 0; }
int32_t offsetOf(const ASprite* f) { return f && !f->glyphY.empty() ? f->glyphY[0] : 0; }
int32_t lineHeightOf(const ASprite* f) { return f ? f->getFontHeight() : 0; }

// One '%' code: optional digits, the letter, and its own digits (k of %f, %p).
struct Markup {
  int32_t letter = 0;
  int32_t digits = -1;  // between '%' and the letter; -1 none
  int32_t argument = 0;
  bool hasArgument = false;
  int32_t length = 1;
};

Markup parseMarkup(const uint8_t* t, int32_t p, int32_t end) {
  Markup m;
  int32_t q = p + 1;
  while (q < end && t[q] >= '0' && t[q] <= '9') {
    m.digits = (m.digits < 0 ? 0 : m.digits) * 10 + (t[q] - '0');
    if (m.digits > 99) m.digits = 99;
    ++q;
  }
  if (q >= end) {
    m.length = q - p;
    return m;
  }
  m.letter = t[q++];
  if (m.letter == 'f' || m.letter == 'p' || m.letter == 'i') {
    while (q < end && t[q] >= '0' && t[q] <= '9') {
      m.argument = m.argument * 10 + (t[q] - '0');
      if (m.argument > 999) m.argument = 999;
      m.hasArgument = true;
      ++q;
    }
  } else if (m.letter == 'j' && q < end) {
    // The character after the break separates it from the next page and is skipped.
    q += (t[q] & 0xE0) == 0xC0 && q + 1 < end ? 2 : 1;
  }
  m.length = q - p;
  return m;
}

}  // namespace

int32_t decodeChar(const uint8_t* text, int32_t pos, int32_t end, int32_t* length) {
  int32_t code = text[pos];
  *length = 1;
  if ((code & 0xE0) == 0xC0 && pos + 1 < end) {
    code = (code & 0x1F) * 64 | (text[pos + 1] & 0x3F);
    *length = 2;
  }
  if (code >= 1040) code -= 659;
  if (code == 1025) code = 380;
  return code;
}

int32_t glyphFrame(const cGame& game, int32_t code) {
  if (!game.text.charMap || code < 0 || code >= game.text.charMapCount) return 0;
  return game.text.charMap[2 * code] | game.text.charMap[2 * code + 1] << 8;
}

namespace {
// Advance of a glyph frame: (right - left) - left + spacing.
int32_t frameAdvance(ASprite* f, int32_t frame) {
  if (!f) return 0;
  if (frame < 0 || frame >= f->frameCount) frame = 0;
  int32_t r[4] = {};
  if (f->frameCount > 0) f->computeFrameRect(r, frame, 0, 0, 0);
  return (r[2] - r[0]) - r[0] + spacingOf(f);
}
int32_t spaceAdvance(ASprite* f) {
  if (!f || f->frameCount <= 0) return spacingOf(f);
  int32_t r[4] = {};
  f->computeFrameRect(r, 0, 0, 0, 0);
  return r[2] - r[0] + spacingOf(f);
}
}  // namespace

int32_t formatNumber(cGame& game, int32_t value, int32_t radix, int32_t digits) {
  static const char kDigits[] = "0123456789abcdef";
  if (radix < 2 || radix > 16) radix = 10;
  const int32_t cap = static_cast<int32_t>(sizeof game.text.layout.digits) - 1;
  const bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  if (digits < 0) {
    digits = negative ? 1 : 0;
    uint32_t v = magnitude;
    do {
      ++digits;
      v /= static_cast<uint32_t>(radix);
    } while (v);
  }
  if (digits > cap) digits = cap;
  for (int32_t i = digits - 1; i >= 0; --i) {
    game.text.layout.digits[i] = kDigits[magnitude % static_cast<uint32_t>(radix)];
    magnitude /= static_cast<uint32_t>(radix);
  }
  if (negative && digits > 0) game.text.layout.digits[0] = '-';
  game.text.layout.digits[digits] = 0;
  return digits;
}

void setTextParam(cGame& game, int32_t index, int32_t value) {
  if (index >= 0 && index < L::kParamCount) game.text.layout.params[index] = value;
}

namespace {
int32_t nextParam(TextLayoutData& l) {
  const int32_t v = l.param < L::kParamCount ? l.params[l.param] : 0;
  if (l.param < 255) ++l.param;
  return v;
}
}  // namespace

// ---- drawing

void drawTextRun(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t x,
                 int32_t y) {
  if (!fonts || !chars || count <= 0 || game.text.layout.font >= L::kMaxFonts) return;
  ASprite* font = fonts[game.text.layout.font];
  if (!font) return;
  const uint8_t* t = reinterpret_cast<const uint8_t*>(chars);
  const int32_t end = first + count;
  const int32_t x0 = x;
  y -= offsetOf(font);
  for (int32_t p = first; p < end;) {
    int32_t len;
    const int32_t code = decodeChar(t, p, end, &len);
    if (code == 32 || code == 10) {
      x += spaceAdvance(font);
    } else if (code == '\\' && p + 1 < end && t[p + 1] == 'n') {
      x = x0;
      len = 2;
    } else if (code == '%') {
      Markup m = parseMarkup(t, p, end);
      len = m.length;
      if (m.letter == 'n') {
        const int32_t n = formatNumber(game, nextParam(game.text.layout), 10, m.digits);
        bool leading = m.digits >= 0;
        for (int32_t i = 0; i < n; ++i) {
          const int32_t frame = glyphFrame(game, static_cast<uint8_t>(game.text.layout.digits[i]));
          if (leading && game.text.layout.digits[i] == '0' && i < n - 1) {
            x += frameAdvance(font, glyphFrame(game, '0'));
            continue;
          }
          leading = false;
          if (g && frame < font->frameCount) font->paintFrame(g, frame, x, y, 0);
          x += frameAdvance(font, frame);
        }
      } else if (m.letter == 'i') {
        if (!m.hasArgument) nextParam(game.text.layout);
      } else if (m.letter == 'f') {
        if (m.argument < L::kMaxFonts && fonts[m.argument]) {
          const int32_t old = lineHeightOf(font);
          font->textWidth = x;
          game.text.layout.font = static_cast<uint8_t>(m.argument);
          font = fonts[m.argument];
          font->setCurrentPalette(0);
          game.text.layout.palette = 0;
          y += old - lineHeightOf(font);
        }
      } else if (m.letter == 'p') {
        if (m.argument < font->paletteCount) {
          font->setCurrentPalette(m.argument);
          game.text.layout.palette = static_cast<uint8_t>(m.argument);
        }
      } else if (m.letter == '%') {
        const int32_t frame = glyphFrame(game, '%');
        if (g && frame < font->frameCount) font->paintFrame(g, frame, x, y, 0);
        x += frameAdvance(font, frame);
      }
    } else if (code >= 33) {
      const int32_t frame = glyphFrame(game, code);
      if (g && frame < font->frameCount) font->paintFrame(g, frame, x, y, 0);
      x += frameAdvance(font, frame);
    }
    p += len;
  }
  font->textWidth = x;
}

void drawAnchoredText(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count,
                      int32_t x, int32_t y, int32_t anchor) {
  if (!fonts || game.text.layout.font >= L::kMaxFonts || !fonts[game.text.layout.font]) return;
  if (anchor & (64 | 32 | 0x400 | 0x200)) {
    const uint8_t font = game.text.layout.font, palette = game.text.layout.palette;
    game.text.layout.line = 0;
    game.text.layout.page = 0;
    game.text.layout.param = 0;
    layoutTextLines(game, fonts, chars, first, count, 240, 320, 0);
    const int32_t last = game.text.layout.lineCount > 0 ? game.text.layout.lineCount - 1 : 0;
    const int32_t width = game.text.layout.lines[last].width;
    game.text.layout.font = font;
    game.text.layout.palette = palette;
    game.text.layout.param = 0;
    game.text.layout.line = 0;
    game.text.layout.page = 0;
    game.text.layout.cacheKey = 0;
    if (anchor & 64)
      x -= width;
    else if (anchor & 32)
      x -= width >> 1;
    const int32_t lh = lineHeightOf(fonts[font]);
    if (anchor & 0x400)
      y -= lh;
    else if (anchor & 0x200)
      y -= lh >> 1;
  }
  drawTextRun(game, g, fonts, chars, first, count, x, y);
}

void drawChars(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font,
               int32_t x, int32_t y, int32_t anchor) {
  if (font < 0 || font >= L::kMaxFonts) return;
  game.text.layout.line = 0;
  game.text.layout.page = 0;
  game.text.layout.param = 0;
  game.text.layout.font = static_cast<uint8_t>(font);
  if (fonts && fonts[font]) game.text.layout.palette = static_cast<uint8_t>(fonts[font]->getCurrentPalette());
  drawAnchoredText(game, g, fonts, chars, first, count, x, y, anchor);
}

void drawCString(cGame& game, Graphics* g, ASprite** fonts, const char* text, int32_t font, int32_t x, int32_t y,
                 int32_t anchor) {
  if (text) drawChars(game, g, fonts, text, 0, static_cast<int32_t>(std::strlen(text)), font, x, y, anchor);
}

void drawString(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                int32_t anchor) {
  drawChars(game, g, fonts, getStringData(game, id), 0, getStringLength(game, id), font, x, y, anchor);
}

// ---- measuring

int32_t measureText(cGame& game, ASprite* font, const char* chars, int32_t first, int32_t count) {
  if (!font || !chars) return 0;
  const uint8_t* t = reinterpret_cast<const uint8_t*>(chars);
  const int32_t spacing = spacingOf(font), lh = lineHeightOf(font);
  int32_t x = 0, height = lh;
  const int32_t end = first + count;
  for (int32_t p = first; p < end;) {
    int32_t len;
    const int32_t code = decodeChar(t, p, end, &len);
    if (code >= 33) {
      x += frameAdvance(font, glyphFrame(game, code));
    } else if (code == 32) {
      x += font->getModuleWidth(0) + spacing;
    } else if (code == 10) {
      x = 0;
      height += font->getFontSpacing() + lh;
    }
    p += len;
  }
  font->textHeight = height;
  return x - spacing;
}

int32_t getCharsWidth(cGame& game, ASprite* font, const char* chars, int32_t first, int32_t count) {
  return measureText(game, font, chars, first, count);
}
int32_t getCStringWidth(cGame& game, ASprite* font, const char* text) {
  return text ? measureText(game, font, text, 0, static_cast<int32_t>(std::strlen(text))) : 0;
}
int32_t getStringWidth(cGame& game, ASprite* font, int32_t id) {
  return measureText(game, font, getStringData(game, id), 0, getStringLength(game, id));
}
int32_t getMeasuredTextHeight(const cGame& /*game*/, ASprite* font) { return font ? font->textHeight : 0; }

// ---- layout

void resetLayout(cGame& game, ASprite** fonts, int32_t font) {
  game.text.layout.line = 0;
  game.text.layout.page = 0;
  game.text.layout.param = 0;
  game.text.layout.lineCount = 0;
  game.text.layout.pageCount = 0;
  if (font >= 0 && font < L::kMaxFonts) game.text.layout.font = static_cast<uint8_t>(font);
  ASprite* f = fonts ? fonts[game.text.layout.font] : nullptr;
  game.text.layout.palette = f ? static_cast<uint8_t>(f->getCurrentPalette()) : 0;
  game.text.layout.lineSpacing = f ? f->getFontSpacing() : 0;
}

int32_t layoutTextLines(cGame& game, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t w,
                        int32_t h, int32_t pageLimit) {
  TextLayoutData& l = game.text.layout;
  if (!fonts || !chars || l.font >= L::kMaxFonts || !fonts[l.font]) {
    l.lineCount = l.pageCount = 0;
    return first;
  }
  if (pageLimit >= L::kMaxPages) pageLimit = L::kMaxPages - 1;
  const uint8_t* t = reinterpret_cast<const uint8_t*>(chars);
  const int32_t end = first + (count > 0 ? count : 0);
  auto heightOf = [&](int32_t f) { return f < L::kMaxFonts ? lineHeightOf(fonts[f]) : 0; };
  auto cur = [&]() { return fonts[l.font]; };

  l.line = 0;
  l.page = 0;
  l.lineCount = 0;
  l.pages[0] = {first, 0, 0, 0, l.font, l.palette, l.param};
  l.lines[0] = {end, end, 0, l.font};
  int32_t lineStartFont = l.font, lineStartPalette = l.palette, lineStartParam = l.param;
  int32_t width = 0, lh = heightOf(l.font);
  int32_t wrap = -1, wrapWidth = 0, wrapFont = 0, wrapParam = 0;
  bool stopped = false;

  // Ends the current line at `at`; the next one starts at `next`.
  auto endLine = [&](int32_t at, int32_t next) {
    L::Line& line = l.lines[l.line];
    line.end = at;
    line.next = next;
    line.width = width - spacingOf(cur());
    L::Page& page = l.pages[l.page];
    if (page.firstLine == l.line) {
      page.height = lh;
      page.widest = line.width;
    } else if (page.height + l.lineSpacing + lh <= h) {
      page.height += l.lineSpacing + lh;
      if (line.width > page.widest) page.widest = line.width;
    } else if (l.page + 1 < L::kMaxPages + 1) {
      const int32_t start = l.line > 0 ? l.lines[l.line - 1].next : first;
      ++l.page;
      l.pages[l.page] = {start, l.line, lh, line.width, lineStartFont, lineStartPalette, lineStartParam};
    }
    l.lineCount = l.line + 1;
    if (l.page > pageLimit || l.line + 1 >= L::kMaxLines) {
      stopped = true;
      return;
    }
    ++l.line;
    l.lines[l.line] = {end, end, 0, l.font};
    width = 0;
    wrap = -1;
    lh = heightOf(l.font);
    lineStartFont = l.font;
    lineStartPalette = l.palette;
    lineStartParam = l.param;
  };

  int32_t p = first;
  while (p < end && !stopped) {
    int32_t len;
    const int32_t code = decodeChar(t, p, end, &len);
    bool glyphLike = false;
    if (code == 32) {
      wrap = p;
      wrapWidth = width;
      wrapFont = l.lines[l.line].font;
      wrapParam = l.param;
      width += spaceAdvance(cur());
    } else if (code == 10) {
      endLine(p, p + 1);
      p += 1;
      continue;
    } else if (code == '\\' && p + 1 < end && t[p + 1] == 'n') {
      endLine(p, p + 2);
      p += 2;
      continue;
    } else if (code == '%') {
      Markup m = parseMarkup(t, p, end);
      len = m.length;
      glyphLike = true;
      const int32_t zero = frameAdvance(cur(), glyphFrame(game, '0'));
      if (m.digits > 0) width += m.digits * zero;
      if (m.letter == 'n') {
        const int32_t v = nextParam(l);
        if (m.digits < 0) {
          const int32_t n = formatNumber(game, v, 10, -1);
          for (int32_t i = 0; i < n; ++i)
            width += frameAdvance(cur(), glyphFrame(game, static_cast<uint8_t>(l.digits[i])));
        }
      } else if (m.letter == 'i') {
        if (!m.hasArgument) nextParam(l);
      } else if (m.letter == 'f') {
        if (m.argument < L::kMaxFonts && fonts[m.argument]) {
          l.font = static_cast<uint8_t>(m.argument);
          l.palette = 0;
          const int32_t nh = heightOf(l.font);
          if (nh > heightOf(l.lines[l.line].font)) l.lines[l.line].font = l.font;
          lh = nh > lh ? nh : lh;
        }
      } else if (m.letter == 'p') {
        if (m.argument < cur()->paletteCount) l.palette = static_cast<uint8_t>(m.argument);
      } else if (m.letter == '%') {
        width += frameAdvance(cur(), glyphFrame(game, '%'));
      } else if (m.letter == 'j') {
        endLine(p, p + len);
        if (stopped) break;
        if (l.page + 1 <= L::kMaxPages) {
          ++l.page;
          l.pages[l.page] = {p + len, l.line, 0, 0, l.font, l.palette, l.param};
          if (l.page > pageLimit) stopped = true;
        }
        p += len;
        continue;
      }
    } else if (code >= 33) {
      width += frameAdvance(cur(), glyphFrame(game, code));
      glyphLike = true;
    }
    if (glyphLike && width > w && wrap >= 0) {
      width = wrapWidth;
      l.lines[l.line].font = wrapFont;
      l.param = static_cast<uint8_t>(wrapParam);
      const int32_t at = wrap;
      endLine(at, at + 1);
      p = at + 1;
      continue;
    }
    p += len;
  }
  if (!stopped) {
    const int32_t lineStart = l.line > 0 ? l.lines[l.line - 1].next : first;
    if (lineStart < end || l.line == 0) {
      const int32_t limit = pageLimit;
      pageLimit = L::kMaxPages;  // closing the last line never stops
      endLine(end, end);
      pageLimit = limit;
      l.line = l.lineCount - 1;
    }
    // The entry after the last page starts at the end of the text.
    if (l.page + 1 <= L::kMaxPages) l.pages[l.page + 1] = {end, l.lineCount, 0, 0, l.font, l.palette, l.param};
  }
  l.pageCount = l.page + 1;
  return p;
}

int32_t layoutText(cGame& game, ASprite** fonts, const char* chars, int32_t first, int32_t count, int32_t font,
                   int32_t w, int32_t h) {
  resetLayout(game, fonts, font);
  layoutTextLines(game, fonts, chars, first, count, w, h, L::kMaxPages - 1);
  return game.text.layout.pageCount;
}

int32_t layoutString(cGame& game, ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h) {
  if (id != 0 && id == game.text.layout.cacheKey) return game.text.layout.pageCount;
  const int32_t pages = layoutText(game, fonts, getStringData(game, id), 0, getStringLength(game, id), font, w, h);
  game.text.layout.cacheKey = id;
  return pages;
}

bool drawWrappedTextPage(cGame& game, Graphics* g, ASprite** fonts, int32_t palette, const char* chars, int32_t first,
                         int32_t count, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags) {
  TextLayoutData& l = game.text.layout;
  if (!fonts || !chars || l.font >= L::kMaxFonts || !fonts[l.font] || page < 0 || page >= L::kMaxPages) return true;
  const uint8_t savedFont = l.font, savedParam = l.param;
  if (palette >= 0 && palette < fonts[l.font]->paletteCount) fonts[l.font]->setCurrentPalette(palette);
  resetLayout(game, fonts, l.font);
  layoutTextLines(game, fonts, chars, first, count, w, h, page);
  const int32_t end = first + (count > 0 ? count : 0);
  if (page > l.page) {
    l.font = savedFont;
    l.param = savedParam;
    return true;
  }
  const L::Page& pg = l.pages[page];
  if (!(flags & 0x100)) y += (flags & 0x400) ? h - pg.height : (h - pg.height) / 2;
  l.font = static_cast<uint8_t>(pg.font);
  l.param = static_cast<uint8_t>(pg.param);
  const int32_t lastLine = (page < l.page ? l.pages[page + 1].firstLine : l.lineCount) - 1;
  for (int32_t i = pg.firstLine; i <= lastLine && i < l.lineCount; ++i) {
    const L::Line& line = l.lines[i];
    const int32_t start = i == pg.firstLine ? pg.start : l.lines[i - 1].next;
    int32_t lx = x;
    if (flags & 64)
      lx = x + w - line.width;
    else if (flags & 32)
      lx = x + (w - line.width) / 2;
    const int32_t tall = lineHeightOf(fonts[line.font]);
    if (line.end > start)
      drawTextRun(game, g, fonts, chars, start, line.end - start, lx, y + tall - lineHeightOf(fonts[l.font]));
    if (i < lastLine) y += l.lineSpacing + tall;
  }
  const bool last = page + 1 > l.page + 1 || l.pages[page + 1].start >= end;
  l.font = savedFont;
  l.param = savedParam;
  return last;
}

bool drawWrappedString(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                       int32_t w, int32_t h, int32_t page, int32_t flags) {
  if (font < 0 || font >= L::kMaxFonts) return true;
  game.text.layout.font = static_cast<uint8_t>(font);
  game.text.layout.cacheKey = id;
  return drawWrappedTextPage(game, g, fonts, -1, getStringData(game, id), 0, getStringLength(game, id), x, y, w, h,
                             page, flags);
}

int32_t getStringPageHeight(cGame& game, ASprite** fonts, int32_t id, int32_t font, int32_t w, int32_t h,
                            int32_t page) {
  if (page < 0 || page >= L::kMaxPages) return 0;
  if (id != game.text.layout.cacheKey || page >= game.text.layout.pageCount) {
    resetLayout(game, fonts, font);
    layoutTextLines(game, fonts, getStringData(game, id), 0, getStringLength(game, id), w, h, L::kMaxPages - 1);
    game.text.layout.cacheKey = id;
  }
  return page < game.text.layout.pageCount ? game.text.layout.pages[page].height : 0;
}

int32_t drawTextReveal(cGame& game, Graphics* g, ASprite** fonts, const char* chars, int32_t first, int32_t count,
                       int32_t font, int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t flags,
                       int32_t step, int32_t mode) {
  TextLayoutData& l = game.text.layout;
  if (!fonts || !chars || font < 0 || font >= L::kMaxFonts || !fonts[font] || page < 0 || page >= L::kMaxPages)
    return 3;
  l.font = static_cast<uint8_t>(font);
  resetLayout(game, fonts, font);
  layoutTextLines(game, fonts, chars, first, count, w, h, page);
  const int32_t end = first + (count > 0 ? count : 0);
  if (page > l.page) return 3;
  const L::Page& pg = l.pages[page];
  const int32_t lastLine = (page < l.page ? l.pages[page + 1].firstLine : l.lineCount) - 1;
  const int32_t pageEnd = lastLine >= pg.firstLine ? l.lines[lastLine].end : pg.start;
  if (mode & 1) l.reveal = pg.start + step;
  if (mode & 2) l.reveal = pageEnd;
  const int32_t centred = y + (h - pg.height) / 2;
  int32_t top = centred;
  if (mode & 4) {
    top = y + pg.height / 2 + (h - pg.height) / 2;
    for (int32_t i = pg.firstLine; i <= lastLine; ++i) {
      const int32_t start = i == pg.firstLine ? pg.start : l.lines[i - 1].next;
      if (l.reveal >= start) top -= l.lineSpacing + lineHeightOf(fonts[l.lines[i].font]);
    }
    if (top < centred) top = centred;
  }
  l.font = static_cast<uint8_t>(pg.font);
  l.param = static_cast<uint8_t>(pg.param);
  if (pg.palette < fonts[l.font]->paletteCount) fonts[l.font]->setCurrentPalette(pg.palette);
  int32_t ly = top;
  for (int32_t i = pg.firstLine; i <= lastLine; ++i) {
    const L::Line& line = l.lines[i];
    const int32_t start = i == pg.firstLine ? pg.start : l.lines[i - 1].next;
    if (l.reveal <= start) break;
    int32_t lx = x;
    if (flags & 64)
      lx = x + w - line.width;
    else if (flags & 32)
      lx = x + (w - line.width) / 2;
    const int32_t stop = l.reveal < line.end ? l.reveal : line.end;
    const int32_t tall = lineHeightOf(fonts[line.font]);
    if (stop > start)
      drawTextRun(game, g, fonts, chars, start, stop - start, lx, ly + tall - lineHeightOf(fonts[l.font]));
    ly += l.lineSpacing + tall;
  }
  int32_t result = 0;
  l.reveal += step;
  if (l.reveal >= pageEnd) {
    l.reveal = pageEnd;
    result |= 2;
  }
  if (page + 1 > l.page + 1 || l.pages[page + 1].start >= end) result |= 1;
  l.font = static_cast<uint8_t>(font);
  l.param = 0;
  return result;
}

int32_t drawStringReveal(cGame& game, Graphics* g, ASprite** fonts, int32_t id, int32_t font, int32_t x, int32_t y,
                         int32_t w, int32_t h, int32_t page, int32_t flags, int32_t step, int32_t mode) {
  game.text.layout.cacheKey = id;
  return drawTextReveal(game, g, fonts, getStringData(game, id), 0, getStringLength(game, id), font, x, y, w, h, page,
                        flags, step, mode);
}
void loadTextToBuffer(cGame& game, int32_t textId) { textBufferSetString(game, textId); }
char* getStringCopy(cGame& game, int32_t id, int32_t /*language*/) { return getStringCopy(game, id); }

int32_t getLocalisedStringId(int32_t id) { return id; }
void resetLanguage(cGame& game) { game.text.strings.language = 0; }
const char* getLanguageCode() { return "EN"; }
