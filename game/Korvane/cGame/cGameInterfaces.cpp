// Interfaces: the element lists of "interf.bar", their slide-in timers, the
// painting of sprite, rectangle and panel elements, text boxes, menu arrows
// and the soft-key labels.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/InterfaceParser.h"
#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/memory/Debug.h"

namespace F = interfaceformat;

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kSoftKeyCentre = 22;      // element whose middle centres a single label
constexpr int32_t kSoftKeyCentreWide = 31;  // the same with the wide message box
constexpr int32_t kBackgroundSlot = 0;      // bank drawn by plain panels
constexpr int32_t kUnshiftedElement = 8;    // painted without offset on the bracket screen
constexpr int32_t kLayoutWidth = 240;
constexpr int32_t kLayoutHeight = 378;

inline int16_t& param(int16_t* e, int32_t k) { return e[F::kWordParams + k]; }

int16_t clampTimer(int32_t v) { return static_cast<int16_t>(std::clamp(v, 0, 32767)); }

int32_t anchorOf(int32_t hAlign, int32_t vAlign) {
  static constexpr int32_t kH[] = {16, 32, 64};
  static constexpr int32_t kV[] = {0x100, 0x200, 0x400};
  int32_t flags = 0;
  if (hAlign >= 0 && hAlign <= 2) flags |= kH[hAlign];
  if (vAlign >= 0 && vAlign <= 2) flags |= kV[vAlign];
  return flags;
}

// Slots of the slide-in animation of a sprite or text element.
struct SlideSlots {
  int32_t dx, dy, delay, duration, timer;
};
constexpr SlideSlots kSpriteSlide = {F::kSpriteDx, F::kSpriteDy, F::kSpriteDelay, F::kSpriteDuration,
                                     F::kSpriteTimer};
constexpr SlideSlots kTextSlide = {F::kTextDx, F::kTextDy, F::kTextDelay, F::kTextDuration, F::kTextTimer};

const SlideSlots* slideSlotsOf(const int16_t* e) {
  if (e[F::kWordType] == F::kSprite) return &kSpriteSlide;
  if (e[F::kWordType] == F::kText) return &kTextSlide;
  return nullptr;
}

}  // namespace

// --- storage

void freeInterfaces(cGame& game) {
  for (int32_t id = 0; id < k_interfaceCount; ++id) {
    int16_t** elements = game.interfaces.lists[id];
    if (elements) {
      for (int32_t i = 0; i < game.interfaces.counts[id]; ++i) delete[] elements[i];
      delete[] elements;
      if (game.interfaces.currentElements == elements) {
        game.interfaces.currentElements = nullptr;
        game.interfaces.currentElementCount = 0;
      }
    }
    delete[] game.interfaces.paramCounts[id];
    game.interfaces.lists[id] = nullptr;
    game.interfaces.paramCounts[id] = nullptr;
    game.interfaces.counts[id] = 0;
  }
}

bool loadInterface(cGame& game, int32_t id, const uint8_t* data, int32_t size) {
  if (id < 0 || id >= k_interfaceCount) return false;
  int16_t** old = game.interfaces.lists[id];
  if (old) {
    for (int32_t i = 0; i < game.interfaces.counts[id]; ++i) delete[] old[i];
    delete[] old;
  }
  delete[] game.interfaces.paramCounts[id];
  const ParsedInterface parsed = parseInterface(id, data, size);
  game.interfaces.lists[id] = parsed.elements;
  game.interfaces.paramCounts[id] = parsed.paramCounts;
  game.interfaces.counts[id] = parsed.count;
  if (game.interfaces.currentInterface == id) {
    selectInterface(game, id);
  } else if (old && game.interfaces.currentElements == old) {
    game.interfaces.currentElements = nullptr;
    game.interfaces.currentElementCount = 0;
  }
  return parsed.whole;
}

void loadInterfaces(cGame& game) {
  const int32_t current = game.interfaces.currentInterface;
  freeInterfaces(game);
  const bool open = game.files.bar.data && game.files.bar.offsets;
  if (!open) debugTrace("interf.bar: not open; the interfaces are empty\n");
  for (int32_t id = 0; id < k_interfaceCount; ++id) {
    const int32_t offset = open ? getBarEntryOffset(game, id) : -1;
    const int32_t size = open ? getBarEntrySize(game, id) : -1;
    // An entry that is not there, or whose records do not fill it, is
    // damaged data the screens cannot do without.
    if (offset < 0 || size < 0 || offset > game.files.bar.size || size > game.files.bar.size - offset) {
      loadInterface(game, id, nullptr, 0);
      if (open) reportBadEntry(game, id);
    } else if (!loadInterface(game, id, game.files.bar.data + offset, size)) {
      reportBadEntry(game, id);
    }
  }
  // The current interface now lives in the rebuilt lists.
  if (current >= 0 && current < k_interfaceCount) selectInterface(game, current);
}

void selectInterface(cGame& game, int32_t id) {
  if (id < 0 || id >= k_interfaceCount) return;
  game.interfaces.currentElements = game.interfaces.lists[id];
  game.interfaces.currentElementCount = game.interfaces.counts[id];
  game.interfaces.currentInterface = id;
}

int16_t* getInterfaceElement(const cGame& game, int32_t id, int32_t i) {
  int16_t** elements = nullptr;
  int32_t count = 0;
  if (id == -1) {
    elements = game.interfaces.currentElements;
    count = game.interfaces.currentElementCount;
  } else if (id >= 0 && id < k_interfaceCount) {
    elements = game.interfaces.lists[id];
    count = game.interfaces.counts[id];
  }
  if (!elements || i < 0 || i >= count) return nullptr;
  return elements[i];
}

int32_t getInterfaceElementCount(const cGame& game, int32_t id) {
  if (id == -1) return game.interfaces.currentElements ? game.interfaces.currentElementCount : 0;
  return id >= 0 && id < k_interfaceCount ? game.interfaces.counts[id] : 0;
}

int32_t getElementParamCount(const cGame& game, int32_t id, int32_t i) {
  if (id == -1) id = game.interfaces.currentInterface;
  if (!getInterfaceElement(game, id, i) || !game.interfaces.paramCounts[id]) return 0;
  return game.interfaces.paramCounts[id][i];
}

// --- slide-in

namespace {

// The element count of an array: its interface's when it is one of the
// stored lists, else the current count.
int32_t countOf(int16_t** elements, int16_t** const* lists, const int32_t* counts, int32_t current) {
  for (int32_t id = 0; id < k_interfaceCount; ++id)
    if (lists[id] == elements) return counts[id];
  return current;
}

void armSlide(int16_t* e, const SlideSlots& s, bool arm) {
  int16_t& timer = param(e, s.timer);
  int16_t& duration = param(e, s.duration);
  if (!arm)
    timer = 0;
  else if (duration >= 0)
    timer = clampTimer(duration + param(e, s.delay));
  else if (param(e, s.dx) != 0 || param(e, s.dy) != 0) {
    duration = 1000;
    timer = clampTimer(1000 + param(e, s.delay));
  } else {
    duration = 0;
  }
}

}  // namespace

void armElementAnimations(cGame& game, int16_t** elements, bool arm) {
  if (!elements) return;
  const int32_t count =
      countOf(elements, game.interfaces.lists, game.interfaces.counts, game.interfaces.currentElementCount);
  for (int32_t i = 0; i < count; ++i) {
    int16_t* e = elements[i];
    if (!e) continue;
    if (e[F::kWordType] == F::kSprite && param(e, F::kSpriteAnim) >= 0) param(e, F::kSpriteFrame) = 0;
    if (!game.interfaces.interfaceAnimations) continue;
    if (const SlideSlots* s = slideSlotsOf(e)) armSlide(e, *s, arm);
  }
}

void startInterfaceAnimation(cGame& game) { armElementAnimations(game, game.interfaces.currentElements, true); }
void resetInterfaceAnimation(cGame& game, bool arm) {
  armElementAnimations(game, game.interfaces.currentElements, arm);
}
void startInterfaceAnimationById(cGame& game, int32_t id) {
  if (id >= 0 && id < k_interfaceCount) armElementAnimations(game, game.interfaces.lists[id], true);
}

void stopElementAnimations(cGame& game, int16_t** elements) {
  if (!elements) return;
  const int32_t count =
      countOf(elements, game.interfaces.lists, game.interfaces.counts, game.interfaces.currentElementCount);
  for (int32_t i = 0; i < count; ++i)
    if (int16_t* e = elements[i])
      if (const SlideSlots* s = slideSlotsOf(e)) param(e, s->timer) = 0;
}

void updateInterfaceTimers(cGame& game) {
  if (!game.interfaces.interfaceAnimations || !game.interfaces.currentElements) return;
  for (int32_t i = 0; i < game.interfaces.currentElementCount; ++i)
    if (int16_t* e = game.interfaces.currentElements[i])
      if (const SlideSlots* s = slideSlotsOf(e)) {
        int16_t& timer = param(e, s->timer);
        timer = clampTimer(timer - game.frame.frameTime);
      }
}

// The element's slide offset now; also kept as the last slide offset.
static void slideOffset(cGame& game, int16_t* e, int32_t& ox, int32_t& oy) {
  ox = oy = 0;
  const SlideSlots* s = slideSlotsOf(e);
  if (s && game.interfaces.interfaceAnimations) {
    const int32_t t = param(e, s->timer), d = param(e, s->duration);
    if (t > d) {
      ox = param(e, s->dx);
      oy = param(e, s->dy);
    } else if (d > 0) {
      ox = param(e, s->dx) * t / d;
      oy = param(e, s->dy) * t / d;
    }
  }
  game.frontEnd.lastSlideX = ox;
  game.frontEnd.lastSlideY = oy;
}

// --- painting

void paintInterfaceAt(cGame& game, int32_t dx, int32_t dy, bool backLayerPass) {
  // A panel may paint other interfaces; this one is walked as it was.
  int16_t** elements = game.interfaces.currentElements;
  const int32_t count = game.interfaces.currentElementCount;
  if (!elements) return;
  for (int32_t i = 0; i < count; ++i) {
    int16_t* e = elements[i];
    if (!e) continue;
    switch (e[F::kWordType]) {
      case F::kSprite:
        if (param(e, F::kSpriteVisible) != 0) {
          const bool unshifted = game.states.gameState == k_stateTournamentStage && i == kUnshiftedElement;
          paintSpriteElementAt(game, i, unshifted ? 0 : dx, unshifted ? 0 : dy, backLayerPass);
        }
        break;
      case F::kRect:
        if (param(e, F::kRectVisible) != 0) paintRectElement(game, i, dx, dy, backLayerPass);
        break;
      case F::kPanel:
        if (backLayerPass && !game.frontEnd.loadingScreenUp) paintPanelElement(game, e);
        break;
      default:
        break;
    }
    // The panel's scenery restores this interface; keep walking it.
    game.interfaces.currentElements = elements;
    game.interfaces.currentElementCount = count;
  }
}

void paintPanelElement(cGame& game, int16_t* e) {
  if (game.frontEnd.paintingPubScenery) return;  // a panel inside the scenery would paint it again, without end
  const bool rulesOverMatch = game.states.gameState == k_stateRulesChoice && game.states.previousState != k_statePub &&
                              game.states.previousState != k_stateChallengeMenu &&
                              game.match.gameType != k_gameTypeTournament && game.match.gameType != k_gameTypeCareer;
  const bool questionFromMenu =
      game.states.gameState == k_stateQuestion &&
      (game.states.previousState == k_stateMainMenu || game.states.previousState == k_stateOptions);
  if (param(e, F::kPanelPlain) == 0 && !rulesOverMatch && !questionFromMenu) {
    int16_t** elements = game.interfaces.currentElements;
    const int32_t count = game.interfaces.currentElementCount, id = game.interfaces.currentInterface;
    game.frontEnd.paintingPubScenery = 1;
    paintPubScenery(game, e[F::kWordX], param(e, F::kPanelParallax) == 1, param(e, F::kPanelSeats) == 1,
                    param(e, F::kPanelShade));
    game.frontEnd.paintingPubScenery = 0;
    game.interfaces.currentElements = elements;
    game.interfaces.currentElementCount = count;
    game.interfaces.currentInterface = id;
    return;
  }
  if (!game.frontEnd.backLayer) return;
  if (ASprite* background = game.loading.sprites[kBackgroundSlot])
    background->paintFrame(game.frontEnd.backLayer, 0, 0, 0, 0);
  const int32_t shade = std::min<int32_t>(param(e, F::kPanelShade), 255);
  if (shade > 0)
    fillRectAlpha(game, game.frontEnd.backLayer, 0, 0, kLayoutWidth, kLayoutHeight, static_cast<uint32_t>(shade) << 24);
}

void paintInterfaceLayer(cGame& game, bool backLayerPass) { paintInterfaceAt(game, 0, 0, backLayerPass); }
void paintInterface(cGame& game) { paintInterfaceLayer(game, false); }

void paintSpriteElement(cGame& game, int32_t i, bool backLayerPass) {
  paintSpriteElementAltPalette(game, i, 0, 0, backLayerPass, nullptr, false);
}
void paintSpriteElementAt(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass) {
  paintSpriteElementAltPalette(game, i, dx, dy, backLayerPass, nullptr, false);
}
void paintSpriteElementTo(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target) {
  paintSpriteElementAltPalette(game, i, dx, dy, backLayerPass, target, false);
}

void paintSpriteElementAltPalette(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target,
                                  bool forcePalette1) {
  int16_t* e = getInterfaceElement(game, -1, i);
  if (!e || e[F::kWordType] != F::kSprite) return;
  Graphics* g = target;
  if (!g) {
    const bool backLayer = param(e, F::kSpriteLayer) != 0;
    if (backLayer != backLayerPass) return;
    g = backLayer ? game.frontEnd.backLayer : currentTarget(game);
  }
  if (!g) return;
  int32_t sx = 0, sy = 0;
  slideOffset(game, e, sx, sy);
  const int32_t x = e[F::kWordX] + dx + sx, y = e[F::kWordY] + dy + sy;
  const int32_t slot = param(e, F::kSpriteBank);
  ASprite* bank = slot >= 0 && slot < k_spriteSlotCount ? game.loading.sprites[slot] : nullptr;
  if (!bank) return;
  bank->setCurrentPalette(forcePalette1 ? 1 : param(e, F::kSpritePalette));
  int16_t& frame = param(e, F::kSpriteFrame);
  const int32_t anim = param(e, F::kSpriteAnim);
  if (anim < 0 && frame >= 0) {
    if (frame < bank->frameCount) bank->paintFrame(g, frame, x, y, 0);
    return;
  }
  const int32_t mode = anim >= 0 ? anim & F::kPlayModeBits : 0;
  const int32_t a = anim >= 0 ? anim & ~F::kPlayModeBits : anim;
  const int32_t f = std::max<int32_t>(frame, 0);
  const int32_t n = bank->getAnimFrameCount(a);
  if (n <= 0) return;
  if (mode & F::kPlayOnceVanish) {
    if (f < n - 1) {
      bank->paintAnimFrame(g, a, f, x, y, 0);
      frame = static_cast<int16_t>(f + 1);
    }
  } else if (mode & F::kPlayOnceHold) {
    if (f < n) bank->paintAnimFrame(g, a, f, x, y, 0);
    if (f < n - 1) frame = static_cast<int16_t>(f + 1);
  } else {
    if (f < n) bank->paintAnimFrame(g, a, f, x, y, 0);
    frame = static_cast<int16_t>((f + 1) % n);
  }
}

void paintRectElement(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass) {
  int16_t* e = getInterfaceElement(game, -1, i);
  if (!e || e[F::kWordType] != F::kRect) return;
  const bool backLayer = param(e, F::kRectLayer) != 0;
  if (backLayer != backLayerPass) return;
  Graphics* g = backLayer ? game.frontEnd.backLayer : currentTarget(game);
  if (!g) return;
  auto channel = [&](int32_t k) { return static_cast<uint32_t>(param(e, k)) & 0xFF; };
  const uint32_t argb = channel(F::kRectAlpha) << 24 | channel(F::kRectRed) << 16 | channel(F::kRectGreen) << 8 |
                        channel(F::kRectBlue);
  fillRectAlpha(game, g, e[F::kWordX] + dx, e[F::kWordY] + dy, param(e, F::kRectWidth), param(e, F::kRectHeight), argb);
}

// --- accessors

namespace {

int16_t* spriteOnly(int16_t* e) { return e && e[F::kWordType] == F::kSprite ? e : nullptr; }

}  // namespace

int32_t getElementX(cGame& game, int32_t i) { return getInterfaceElementX(game, -1, i); }
int32_t getInterfaceElementX(cGame& game, int32_t id, int32_t i) {
  const int16_t* e = getInterfaceElement(game, id, i);
  return e ? e[F::kWordX] : 0;
}
int32_t getElementY(cGame& game, int32_t i) { return getInterfaceElementY(game, -1, i); }
int32_t getInterfaceElementY(cGame& game, int32_t id, int32_t i) {
  const int16_t* e = getInterfaceElement(game, id, i);
  return e ? e[F::kWordY] : 0;
}
void setElementX(cGame& game, int32_t id, int32_t i, int32_t v) {
  if (int16_t* e = getInterfaceElement(game, id, i)) e[F::kWordX] = static_cast<int16_t>(v);
}
void setElementY(cGame& game, int32_t id, int32_t i, int32_t v) {
  if (int16_t* e = getInterfaceElement(game, id, i)) e[F::kWordY] = static_cast<int16_t>(v);
}
int32_t getElementWidth(cGame& game, int32_t i) { return getInterfaceElementWidth(game, -1, i); }
int32_t getInterfaceElementWidth(cGame& game, int32_t id, int32_t i) {
  int16_t* e = getInterfaceElement(game, id, i);
  return e ? param(e, 0) : 0;
}
int32_t getElementHeight(cGame& game, int32_t i) { return getInterfaceElementHeight(game, -1, i); }
int32_t getInterfaceElementHeight(cGame& game, int32_t id, int32_t i) {
  int16_t* e = getInterfaceElement(game, id, i);
  return e ? param(e, 1) : 0;
}
bool getSpriteElementBox(cGame& game, int32_t id, int32_t i, int32_t x, int32_t box[4]) {
  int16_t* e = spriteOnly(getInterfaceElement(game, id, i));
  if (!e) return false;
  const int32_t slot = param(e, F::kSpriteBank), frame = param(e, F::kSpriteFrame);
  ASprite* bank = slot >= 0 && slot < k_spriteSlotCount ? game.loading.sprites[slot] : nullptr;
  if (!bank || frame < 0 || frame >= bank->frameCount) return false;
  bank->getFrameRect(box, frame, x, e[F::kWordY], 0);
  return true;
}
int32_t getElementFont(cGame& game, int32_t i) { return getInterfaceElementFont(game, -1, i); }
int32_t getInterfaceElementFont(cGame& game, int32_t id, int32_t i) {
  int16_t* e = getInterfaceElement(game, id, i);
  return e ? param(e, F::kTextFont) : 0;
}
void setElementVisible(cGame& game, int32_t i, bool on) { setInterfaceElementVisible(game, -1, i, on); }
void setInterfaceElementVisible(cGame& game, int32_t id, int32_t i, bool on) {
  if (int16_t* e = spriteOnly(getInterfaceElement(game, id, i))) param(e, F::kSpriteVisible) = on ? 1 : 0;
}
bool isElementVisible(cGame& game, int32_t i) {
  int16_t* e = getInterfaceElement(game, -1, i);
  return e && param(e, F::kSpriteVisible) != 0;
}
int32_t getInterfaceElementAnim(cGame& game, int32_t id, int32_t i) {
  int16_t* e = spriteOnly(getInterfaceElement(game, id, i));
  if (!e) return -1;
  const int32_t a = param(e, F::kSpriteAnim);
  return a >= 0 ? a & ~F::kPlayModeBits : a;
}
void setElementFrame(cGame& game, int32_t i, int32_t frame) { setInterfaceElementFrame(game, -1, i, frame); }
void setInterfaceElementFrame(cGame& game, int32_t id, int32_t i, int32_t frame) {
  if (int16_t* e = spriteOnly(getInterfaceElement(game, id, i))) {
    param(e, F::kSpriteFrame) = static_cast<int16_t>(frame);
    param(e, F::kSpriteAnim) = -1;
  }
}
void setElementAnim(cGame& game, int32_t i, int32_t anim) { setInterfaceElementAnim(game, -1, i, anim); }
void setInterfaceElementAnim(cGame& game, int32_t id, int32_t i, int32_t anim) {
  if (int16_t* e = spriteOnly(getInterfaceElement(game, id, i))) {
    int16_t& a = param(e, F::kSpriteAnim);
    // A play mode lives in the bits of an animation number; -1 has none.
    const int32_t mode = a >= 0 ? a & F::kPlayModeBits : 0;
    a = static_cast<int16_t>(anim >= 0 ? anim | mode : anim);
  }
}
void setElementPalette(cGame& game, int32_t i, int32_t palette) { setInterfaceElementPalette(game, -1, i, palette); }
void setInterfaceElementPalette(cGame& game, int32_t id, int32_t i, int32_t palette) {
  int16_t* e = getInterfaceElement(game, id, i);
  if (!e) return;
  if (e[F::kWordType] == F::kText)
    param(e, F::kTextPalette) = static_cast<int16_t>(palette);
  else if (e[F::kWordType] == F::kSprite)
    param(e, F::kSpritePalette) = static_cast<int16_t>(palette);
}
void setInterfaceElementSprite(cGame& game, int32_t id, int32_t i, int32_t bank) {
  if (int16_t* e = spriteOnly(getInterfaceElement(game, id, i))) param(e, F::kSpriteBank) = static_cast<int16_t>(bank);
}

void copyInterfacePanel(cGame& game, int32_t from, int32_t to) {
  auto firstPanel = [&](int32_t id) -> int16_t* {
    for (int32_t i = 0; i < getInterfaceElementCount(game, id); ++i) {
      int16_t* e = getInterfaceElement(game, id, i);
      if (e && e[F::kWordType] == F::kPanel) return e;
    }
    return nullptr;
  };
  int16_t* source = firstPanel(from);
  int16_t* target = firstPanel(to);
  if (!source || !target || source == target) return;
  target[F::kWordX] = source[F::kWordX];
  target[F::kWordY] = source[F::kWordY];
  for (int32_t k = F::kPanelParallax; k <= F::kPanelShade; ++k) param(target, k) = param(source, k);
}

int32_t getElementAlignFlags(cGame& game, int32_t i) {
  int16_t* e = getInterfaceElement(game, -1, i);
  return e ? anchorOf(param(e, F::kTextHAlign), param(e, F::kTextVAlign)) : 0;
}

// --- text boxes

bool paintTextElement(cGame& game, int32_t i, int32_t font, const char* str, int32_t len, int32_t textId, int32_t dx,
                      int32_t dy, int32_t palette, int32_t extraFlag, int32_t hAlignOverride) {
  int16_t* e = getInterfaceElement(game, -1, i);
  Graphics* g = currentTarget(game);
  if (!e || e[F::kWordType] != F::kText || !g) return false;
  if (font == -1) font = param(e, F::kTextFont);
  if (palette == -1) palette = param(e, F::kTextPalette);
  if (hAlignOverride == -1) hAlignOverride = param(e, F::kTextHAlign);
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !game.text.fonts[font]) return false;
  int32_t sx = 0, sy = 0;
  slideOffset(game, e, sx, sy);
  const int32_t x = e[F::kWordX] + dx + sx, y = e[F::kWordY] + dy + sy;
  const int32_t w = param(e, F::kTextWidth), h = param(e, F::kTextHeight);
  const int32_t cx = g->getClipX(), cy = g->getClipY(), cw = g->getClipWidth(), ch = g->getClipHeight();
  if (x > cx + cw || x + w < cx || y > cy + ch || y + h < cy) return false;
  const int32_t left = std::max(x, cx), top = std::max(y, cy);
  const int32_t right = std::min(x + w, cx + cw), bottom = std::min(y + h, cy + ch);
  // Two rows above the box stay visible for accents.
  g->setClip(left, top - 2, right - left, bottom - top + 2);
  const int32_t flags = anchorOf(hAlignOverride, param(e, F::kTextVAlign)) | extraFlag;
  ASprite* bank = game.text.fonts[font];
  if (palette >= 0) bank->setCurrentPalette(palette);
  bool last;
  if (str) {
    game.text.layout.font = static_cast<uint8_t>(font);
    last = drawWrappedTextPage(game, g, game.text.fonts, -1, str, 0, std::max(len, 0), x, y, w, h, 0, flags);
  } else {
    last = drawWrappedString(game, g, game.text.fonts, textId, font, x, y, w, h, 0, flags);
  }
  g->setClip(cx, cy, cw, ch);
  bank->setCurrentPalette(0);
  return last;
}

bool drawElementText(cGame& game, int32_t i, int32_t textId) {
  return paintTextElement(game, i, -1, nullptr, 0, textId, 0, 0, -1, 0, -1);
}
bool drawElementTextFlags(cGame& game, int32_t i, int32_t textId, int32_t flag) {
  return paintTextElement(game, i, -1, nullptr, 0, textId, 0, 0, -1, flag, -1);
}
bool drawElementString(cGame& game, int32_t i, const char* str) { return drawElementStringFlags(game, i, str, 0); }
bool drawElementStringFlags(cGame& game, int32_t i, const char* str, int32_t flag) {
  if (!str) return false;
  return paintTextElement(game, i, -1, str, static_cast<int32_t>(std::strlen(str)), 0, 0, 0, -1, flag, -1);
}
bool drawElementStringLen(cGame& game, int32_t i, const char* str, int32_t len, int32_t palette) {
  return drawElementStringStyled(game, i, str, len, palette, -1);
}
bool drawElementStringStyled(cGame& game, int32_t i, const char* str, int32_t len, int32_t palette, int32_t hAlign) {
  if (!str) return false;
  return paintTextElement(game, i, -1, str, len, 0, 0, 0, palette, 0, hAlign);
}
bool drawElementTextRaw(cGame& game, int32_t i, const char* str, int32_t len, int32_t textId, int32_t dx, int32_t dy,
                        int32_t palette) {
  return paintTextElement(game, i, -1, str, len, textId, dx, dy, palette, 0, -1);
}
bool drawElementTextWithFont(cGame& game, int32_t i, int32_t font, const char* str, int32_t len, int32_t textId,
                             int32_t dx, int32_t dy, int32_t palette, int32_t flag) {
  return paintTextElement(game, i, font, str, len, textId, dx, dy, palette, flag, -1);
}

int32_t drawElementWrappedText(cGame& game, int32_t i, int32_t textId) {
  int16_t* e = getInterfaceElement(game, -1, i);
  if (!e) return 0;
  const int32_t font = param(e, F::kTextFont);
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !game.text.fonts[font]) return 0;
  return layoutString(game, game.text.fonts, textId, font, param(e, F::kTextWidth), param(e, F::kTextHeight));
}

// --- arrows and soft keys

void updateMenuArrows(cGame& game, int32_t a, int32_t b, bool horizontal) {
  constexpr uint32_t kLeft = 4128, kRight = 16512, kUp = 2056, kDown = 8704;
  if (horizontal) {
    setElementAnim(game, a, game.keys.isHeld(kLeft) ? 7 : 3);
    setElementAnim(game, b, game.keys.isHeld(kRight) ? 8 : 4);
  } else {
    setElementAnim(game, a, game.keys.isHeld(kUp) ? 5 : 1);
    setElementAnim(game, b, game.keys.isHeld(kDown) ? 6 : 2);
  }
}

void paintSoftKeys(cGame& game, int32_t leftTextId, int32_t rightTextId) {
  ASprite* font = game.text.fonts[0];
  paintSoftKeysAt(game, leftTextId, rightTextId, 313 - (font ? font->getFontHeight() : 0));
}

void paintSoftKeysAt(cGame& game, int32_t leftTextId, int32_t rightTextId, int32_t y) {
  ASprite* font = game.text.fonts[0];
  Graphics* g = currentTarget(game);
  const bool notice = hasCompletionNotice(game);
  if (notice && game.frontEnd.noticePending) game.frontEnd.noticeDisplay = 12;
  if (!font || !g) return;
  const int32_t savedPalette = font->getCurrentPalette();
  font->setCurrentPalette(1);
  const int32_t s = game.states.gameState;
  const bool single = leftTextId == 29 || leftTextId == 12 || leftTextId == 24 || notice ||
                      game.frontEnd.singleSoftKey ||
                      (game.states.inGame == 1 && !game.frontEnd.matchPaused &&
                       (s == k_stateOpponentIntro || s == k_stateResultLines || s == k_stateMessageBox ||
                        isMessageQueued(game) || isDialogBoxOpen(game)));
  int16_t* box = single ? getInterfaceElement(game, kHudInterface,
                                              game.frontEnd.wideMessages ? kSoftKeyCentreWide : kSoftKeyCentre)
                        : nullptr;
  if (box && (box[F::kWordType] == F::kText || box[F::kWordType] == F::kRect)) {
    if (leftTextId >= 0) drawString(game, g, game.text.fonts, leftTextId, 0, box[F::kWordX] + param(box, 0) / 2, y, 32);
  } else {
    // Without the centring element the labels keep to the sides.
    const bool swap = game.frontEnd.leftHanded != 0;
    if (leftTextId >= 0) drawString(game, g, game.text.fonts, leftTextId, 0, swap ? 238 : 1, y, swap ? 64 : 16);
    if (rightTextId >= 0) drawString(game, g, game.text.fonts, rightTextId, 0, swap ? 1 : 238, y, swap ? 16 : 64);
  }
  font->setCurrentPalette(savedPalette);
}
