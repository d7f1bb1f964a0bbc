// The message queue shown in the message boxes of the in-game interface, the
// centred dialog box, and the work-string helpers that fill message texts.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/ASprite.h"

namespace F = interfaceformat;

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kDefaultLife = 3000;
constexpr int32_t kDialogLife = 2000;
constexpr int32_t kDialogBank = 1;
constexpr int32_t kDialogLeft = 63, kDialogMiddle = 64, kDialogRight = 65;
constexpr int32_t kDialogStep = 3;
constexpr int32_t kDialogFramesEnd = 105;
constexpr int32_t kDialogCentreX = 120, kDialogCentreY = 160;
constexpr int32_t kMaxPartsWidth = 240;
constexpr int32_t kTitleAnchor = 0x120;
constexpr int32_t kBodyAnchor = 0x110;
constexpr int32_t kTextAnchor = 32;
constexpr int32_t kTextPalette = 1;
constexpr uint32_t kWideDismiss = 0x20000;

// Frame elements and text box of each message-box layout (3 paints as 2).
struct MessageLayout {
  int32_t frames[5];
  int32_t frameCount;
  int32_t textBox;
};
constexpr MessageLayout kLayouts[3] = {
    {{72, 73, 74}, 3, 75},
    {{76, 77, 78, 79}, 4, 80},
    {{81, 82, 83, 84, 85}, 5, 86},
};
constexpr int32_t kLayoutCount = 3;

void copyText(char* to, const char* from, int32_t size) {
  const size_t n = from ? strnlen(from, static_cast<size_t>(size - 1)) : 0;
  if (n) std::memcpy(to, from, n);
  std::memset(to + n, 0, static_cast<size_t>(size) - n);
}

int32_t textLength(const char* s, int32_t size) { return static_cast<int32_t>(strnlen(s, static_cast<size_t>(size))); }

}  // namespace

// ---- queue

void addMessageEx(cGame& game, int32_t kind, const char* str, int32_t life, int32_t extra) {
  MessageQueue& q = game.messages;
  if (q.count >= MessageQueue::kMax) return;
  const int32_t i = q.count++;
  q.kind[i] = kind;
  copyText(q.text[i], str, MessageQueue::kTextSize);
  q.life[i] = life < 0 ? kDefaultLife : life;
  q.extra[i] = extra;
  q.layout[i] = layoutMessage(game, i);
}

void addTextMessageEx(cGame& game, int32_t kind, int32_t textId, int32_t life, int32_t extra) {
  substitutePlayerNames(game, textId);
  addMessageEx(game, kind, game.text.strings.work, life, extra);
}

void removeMessage(cGame& game, int32_t i) {
  MessageQueue& q = game.messages;
  if (i < 0 || i >= q.count) return;
  for (int32_t k = i; k + 1 < q.count; ++k) {
    q.kind[k] = q.kind[k + 1];
    std::memcpy(q.text[k], q.text[k + 1], MessageQueue::kTextSize);
    q.life[k] = q.life[k + 1];
    q.layout[k] = q.layout[k + 1];
    q.extra[k] = q.extra[k + 1];
  }
  --q.count;
  std::memset(q.text[q.count], 0, MessageQueue::kTextSize);
}

bool isMessageQueued(cGame& game) { return game.messages.count > 0; }

void updateMessages(cGame& game) {
  if (game.states.gameState == k_stateMatchInit && game.states.subState == 0) return;
  MessageQueue& q = game.messages;
  if (q.count <= 0) {
    updateDialogBox(game);
    return;
  }
  const int32_t kind = q.kind[0];
  bool gone = false;
  if (kind == 1 || kind == 2)
    gone = game.keys.isPressed(k_keyDismiss) ||
           game.keys.isPressed(game.frontEnd.wideMessages ? kWideDismiss : k_keyRightSoft);
  if (!gone && (kind == 0 || kind == 2)) {
    q.life[0] -= game.frame.frameTime;
    gone = q.life[0] <= 0;
  }
  if (gone) {
    removeMessage(game, 0);
    game.frontEnd.noticeDisplay = -1;
  }
}

int32_t layoutMessage(cGame& game, int32_t i) {
  const MessageQueue& q = game.messages;
  if (i < 0 || i >= q.count || !game.text.fonts[0]) return kLayoutCount;
  const int32_t len = textLength(q.text[i], MessageQueue::kTextSize);
  for (int32_t k = 0; k < kLayoutCount; ++k) {
    const int16_t* box = getInterfaceElement(game, kHudInterface, kLayouts[k].textBox);
    if (!box || box[F::kWordType] != F::kText) continue;
    if (q.extra[i] != -1) setTextParam(game, 0, q.extra[i]);
    const int32_t pages = layoutText(game, game.text.fonts, q.text[i], 0, len, 0, box[F::kWordParams + F::kTextWidth],
                                     box[F::kWordParams + F::kTextHeight]);
    game.text.layout.cacheKey = 0;
    if (pages <= 1) return k;
  }
  return kLayoutCount;
}

void paintMessages(cGame& game, Graphics* g) {
  const MessageQueue& q = game.messages;
  if (q.count <= 0) {
    paintDialogBox(game, g);
    return;
  }
  if (!g) return;
  const MessageLayout& layout = kLayouts[std::clamp(q.layout[0], 0, kLayoutCount - 1)];
  // The frame parts are elements of the in-game interface, whatever is current.
  int16_t** const elements = game.interfaces.currentElements;
  const int32_t count = game.interfaces.currentElementCount, current = game.interfaces.currentInterface;
  selectInterface(game, kHudInterface);
  for (int32_t k = 0; k < layout.frameCount; ++k) paintSpriteElementTo(game, layout.frames[k], 0, 0, false, g);
  game.interfaces.currentElements = elements;
  game.interfaces.currentElementCount = count;
  game.interfaces.currentInterface = current;

  const int16_t* box = getInterfaceElement(game, kHudInterface, layout.textBox);
  ASprite* font = game.text.fonts[0];
  if (!box || box[F::kWordType] != F::kText || !font) return;
  const int32_t savedPalette = font->getCurrentPalette();
  if (q.extra[0] != -1) setTextParam(game, 0, q.extra[0]);
  game.text.layout.font = 0;
  drawWrappedTextPage(game, g, game.text.fonts, kTextPalette, q.text[0], 0,
                      textLength(q.text[0], MessageQueue::kTextSize), box[F::kWordX], box[F::kWordY],
                      box[F::kWordParams + F::kTextWidth], box[F::kWordParams + F::kTextHeight], 0, kTextAnchor);
  game.text.layout.cacheKey = 0;
  font->setCurrentPalette(savedPalette);
}

// ---- dialog box

void showDialogBox(cGame& game, int32_t kind, const char* title, const char* body) {
  DialogBox& d = game.dialog;
  d.kind = kind;
  copyText(d.title, title, DialogBox::kTextSize);
  copyText(d.body, kind == 2 ? body : nullptr, DialogBox::kTextSize);
  d.leftFrame = kDialogLeft;
  d.rightFrame = kDialogRight;
  d.middleFrame = kDialogMiddle;
  ASprite* font = game.text.fonts[0];
  const int32_t titleWidth = getCStringWidth(game, font, d.title);
  const int32_t titleHeight = getMeasuredTextHeight(game, font);
  int32_t bodyWidth = 0, bodyHeight = 0;
  if (kind == 2) {
    bodyWidth = getCStringWidth(game, font, d.body);
    bodyHeight = getMeasuredTextHeight(game, font);
  }
  ASprite* bank = game.loading.sprites[kDialogBank];
  auto frameWidth = [bank](int32_t f) { return bank && f < bank->frameCount ? std::max(bank->getFrameWidth(f), 0) : 0; };
  d.leftWidth = frameWidth(kDialogLeft);
  d.middleWidth = frameWidth(kDialogMiddle);
  const int32_t rightWidth = frameWidth(kDialogRight);
  // Enough middle parts to span the widest text, never wider than the screen.
  const int32_t textWidth = std::clamp(std::max(titleWidth, bodyWidth), 0, kMaxPartsWidth);
  d.middleParts = d.middleWidth > 0 ? (textWidth + d.middleWidth - 1) / d.middleWidth : 0;
  d.width = d.leftWidth + d.middleParts * d.middleWidth + rightWidth;
  const int32_t partsHeight = bank && kDialogMiddle < bank->frameCount ? bank->getFrameHeight(kDialogMiddle) : 0;
  d.height = std::max(titleHeight + bodyHeight, partsHeight);
  d.x = kDialogCentreX - d.width / 2;
  d.y = kDialogCentreY - d.height / 2;
  d.titleX = kDialogCentreX;
  d.titleY = d.y;
  d.bodyX = d.x + d.leftWidth;
  d.bodyY = d.y + titleHeight;
  d.life = kDialogLife;
  d.player = game.match.currentPlayer;
}

bool isDialogBoxOpen(cGame& game) { return game.dialog.life >= 0; }

int32_t updateDialogBox(cGame& game) {
  DialogBox& d = game.dialog;
  if (d.life < 0) return 0;
  // The life stops at 0: the box stays until dismissed.
  d.life = std::max(d.life - game.frame.frameTime, 0);
  const bool dismiss = game.frontEnd.wideMessages ? game.keys.isPressed(k_keyDismiss | k_keyRightSoft)
                                                  : game.keys.isPressed(k_keySelect);
  if (d.life < 1 && dismiss) {
    d.life = -1;
    return 0;
  }
  d.leftFrame += kDialogStep;
  d.middleFrame += kDialogStep;
  d.rightFrame += kDialogStep;
  if (d.leftFrame >= kDialogFramesEnd || d.middleFrame >= kDialogFramesEnd || d.rightFrame >= kDialogFramesEnd) {
    d.leftFrame = kDialogLeft;
    d.rightFrame = kDialogRight;
    d.middleFrame = kDialogMiddle;
  }
  return 1;
}

void paintDialogBox(cGame& game, Graphics* g) {
  const DialogBox& d = game.dialog;
  if (d.life < 0 || !g) return;
  keepNoticesClearOf(game, d.x, d.y, d.width, d.height);
  if (ASprite* bank = game.loading.sprites[kDialogBank]) {
    auto paint = [&](int32_t frame, int32_t x) {
      if (frame >= 0 && frame < bank->frameCount) bank->paintFrame(g, frame, x, d.y, 0);
    };
    paint(d.leftFrame, d.x);
    for (int32_t k = 0; k < d.middleParts; ++k) paint(d.middleFrame, d.x + d.leftWidth + k * d.middleWidth);
    paint(d.rightFrame, d.x + d.leftWidth + d.middleParts * d.middleWidth);
  }
  drawCString(game, g, game.text.fonts, d.title, 0, d.titleX, d.titleY, kTitleAnchor);
  if (d.kind == 2) drawCString(game, g, game.text.fonts, d.body, 0, d.bodyX, d.bodyY, kBodyAnchor);
}

// ---- work string

namespace {
// Replaces the tag at position at (of tagLength bytes) with n bytes.
void replaceAt(TextTableData& t, int32_t at, int32_t tagLength, const char* with, int32_t n) {
  const int32_t tail = t.workLength - at - tagLength;
  n = std::clamp(n, 0, TextTableData::kWorkSize - 1 - at - tail);
  std::memmove(t.work + at + n, t.work + at + tagLength, static_cast<size_t>(tail));
  if (n) std::memcpy(t.work + at, with, static_cast<size_t>(n));
  t.workLength = at + n + tail;
  std::memset(t.work + t.workLength, 0, static_cast<size_t>(TextTableData::kWorkSize - t.workLength));
}

int32_t findTag(const TextTableData& t, const char* tag, int32_t from) {
  if (from < 0 || from >= t.workLength) return -1;
  const char* p = std::search(t.work + from, t.work + t.workLength, tag, tag + 2);
  return p == t.work + t.workLength ? -1 : static_cast<int32_t>(p - t.work);
}
}  // namespace

void replaceTextTagWithString(cGame& game, const char* str) {
  const int32_t at = findTag(game.text.strings, "%t", 0);
  if (at >= 0) replaceAt(game.text.strings, at, 2, str, str ? static_cast<int32_t>(std::strlen(str)) : 0);
}

void replaceTextTagWithText(cGame& game, int32_t textId) {
  const int32_t at = findTag(game.text.strings, "%t", 0);
  if (at >= 0) replaceAt(game.text.strings, at, 2, getStringData(game, textId), getStringLength(game, textId));
}

// ---- the rules' words during a match

// A rule message: the text with the players' names, a character's name in
// its first "%t" and a group's name in the next; queued as kind 2.
void queueRuleMessage(cGame& game, int32_t text, int32_t nameText, int32_t groupText) {
  if (text < 0) return;
  substitutePlayerNames(game, text);
  if (nameText >= 0) replaceTextTagWithText(game, nameText);
  if (groupText >= 0) replaceTextTagWithText(game, groupText);
  addMessageEx(game, 2, game.text.strings.work, -1, -1);
}

// A rule dialog: its title, and for kind 2 the body with a number (when
// there is one) in its first "%t".
void showRuleDialog(cGame& game, int32_t kind, int32_t title, int32_t bodyText, int32_t number) {
  if (title < 0) return;
  char titleText[DialogBox::kTextSize];
  substitutePlayerNames(game, title);
  copyText(titleText, game.text.strings.work, DialogBox::kTextSize);
  char body[DialogBox::kTextSize] = {};
  if (kind == 2 && bodyText >= 0) {
    substitutePlayerNames(game, bodyText);
    if (number >= 0) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%d", static_cast<int>(number));
      replaceTextTagWithString(game, digits);
    }
    copyText(body, game.text.strings.work, DialogBox::kTextSize);
  }
  showDialogBox(game, kind, titleText, body);
}

void substitutePlayerNames(cGame& game, int32_t textId) {
  textBufferSetString(game, textId);
  static constexpr const char* kTags[2] = {"$a", "$b"};
  for (int32_t player = 0; player < 2; ++player) {
    const char* name = getPlayerName(game, player);
    const int32_t n = name ? static_cast<int32_t>(std::strlen(name)) : 0;
    for (int32_t at = findTag(game.text.strings, kTags[player], 0); at >= 0;
         at = findTag(game.text.strings, kTags[player], at + n))
      replaceAt(game.text.strings, at, 2, name, n);
  }
}
void addMessage(cGame& game, int32_t kind, const char* str, int32_t life) { addMessageEx(game, kind, str, life, -1); }
void addTextMessage(cGame& game, int32_t kind, int32_t textId, int32_t life) {
  addTextMessageEx(game, kind, textId, life, -1);
}

void clearMessages(cGame& game) { game.messages.count = 0; }
