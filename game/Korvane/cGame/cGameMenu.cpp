// The menu list: set-up, entry flags, key handling, scrolling and painting
// into consecutive text elements of the current interface.
#include <algorithm>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"

namespace F = interfaceformat;

namespace {

constexpr int32_t kMaxEntries = 100;
constexpr uint32_t kHidden = 1;
constexpr uint32_t kSuffix = 2;
constexpr uint32_t kDisabled = 4;
constexpr uint32_t kNoRow = 8;
constexpr int32_t kSelectedPalette = 2;
constexpr int32_t kPulsePeriod = 64;
constexpr uint32_t kVeil = 0xaa000000;

}  // namespace

void initMenu(cGame& game, const uint32_t* table, int32_t listElement, int32_t rows, bool clearFlags) {
  game.menu.table = table;
  game.menu.listElement = listElement;
  game.menu.rows = rows;
  game.menu.selection = 0;
  game.menu.firstVisible = 0;
  if (clearFlags) clearMenuFlags(game);
}

void setMenuCount(cGame& game, int32_t n) { game.menu.count = std::clamp(n, 0, kMaxEntries); }

void clearMenuFlags(cGame& game) {
  std::fill(std::begin(game.menu.flags), std::end(game.menu.flags), 0u);
  game.menu.hiddenCount = 0;
}

void setMenuEntryFlagsIn(cGame& game, const uint32_t* table, uint32_t textId, uint32_t flags) {
  if (!table) table = game.menu.table;
  if (table)
    for (int32_t i = 0; i < game.menu.count; ++i)
      if (table[i] == textId) {
        game.menu.flags[i] = flags;
        break;
      }
  countHiddenMenuEntries(game);
}

uint32_t getMenuEntryFlags(const cGame& game, const uint32_t* table, uint32_t textId) {
  if (!table) table = game.menu.table;
  if (table)
    for (int32_t i = 0; i < game.menu.count; ++i)
      if (table[i] == textId) return game.menu.flags[i];
  return 0;
}

int32_t countHiddenMenuEntries(cGame& game) {
  int32_t n = 0;
  for (int32_t i = 0; i < game.menu.count; ++i)
    if (game.menu.flags[i] & kHidden) ++n;
  game.menu.hiddenCount = n;
  return n;
}

void selectMenuEntryById(cGame& game, uint32_t textId) {
  if (!game.menu.table) return;
  for (int32_t i = 0; i < game.menu.count; ++i)
    if (game.menu.table[i] == textId) {
      game.menu.selection = i;
      return;
    }
}

void scrollMenuToSelection(cGame& game) {
  MenuList& m = game.menu;
  if (m.selection < m.firstVisible) {
    m.firstVisible = std::max(m.selection, 0);
    return;
  }
  // Hidden entries count as if they all lay inside the window.
  if (m.rows >= 1 && m.selection >= m.firstVisible + m.rows + m.hiddenCount)
    m.firstVisible = m.selection - m.rows - m.hiddenCount + 1;
}

namespace {

// One step of the selection with wrapping over hidden entries. At most count
// steps: with every entry hidden the selection stays where it was.
void stepSelection(MenuList& m, int32_t direction) {
  int32_t s = m.selection;
  for (int32_t n = 0; n < m.count; ++n) {
    s += direction;
    if (s < 0) s = m.count - 1;
    if (s >= m.count) s = 0;
    if (!(m.flags[s] & kHidden)) {
      m.selection = s;
      return;
    }
  }
}

enum class MenuKey { None, Select, Back, Previous, Next };

MenuKey menuKey(const KeyState& keys, int32_t state) {
  if (keys.isPressed(k_keySelect)) return MenuKey::Select;
  if (keys.isPressed(k_keyRightSoft | k_keyBack)) return MenuKey::Back;
  const bool sideways = state == k_stateCoinToss;
  if (keys.isPressed(sideways ? k_keyLeft : k_keyUp)) return MenuKey::Previous;
  if (keys.isPressed(sideways ? k_keyRight : k_keyDown)) return MenuKey::Next;
  return MenuKey::None;
}

// The chosen entry's text id, or 0 when it cannot be chosen (or none is).
uint32_t choosable(const MenuList& m, int32_t state) {
  if (!m.table || m.selection < 0 || m.selection >= m.count) return 0;
  if ((m.flags[m.selection] & (kHidden | kDisabled)) || state == k_stateAchievementList) return 0;
  return m.table[m.selection];
}

}  // namespace

int32_t updateMenu(cGame& game) {
  switch (menuKey(game.keys, game.states.gameState)) {
    case MenuKey::Select: {
      const uint32_t id = choosable(game.menu, game.states.gameState);
      if (!id) return 0;
      if (game.states.gameState != k_stateOptions) playSound(game, 0, 0, 50, 100);
      return static_cast<int32_t>(id);
    }
    case MenuKey::Back:
      return -1;
    case MenuKey::Previous:
    case MenuKey::Next:
      stepSelection(game.menu, menuKey(game.keys, game.states.gameState) == MenuKey::Previous ? -1 : 1);
      scrollMenuToSelection(game);
      return 0;
    case MenuKey::None:
      break;
  }
  return 0;
}

int32_t updateMenuSmooth(cGame& game) {
  // The window goes back to the start of the page it shows (a page button
  // may have turned it).
  const int32_t rows = game.menu.rows;
  const int32_t pageStart = rows >= 1 ? std::max(game.menu.firstVisible, 0) / rows * rows : 0;
  const int32_t shownFrom = game.menu.centred ? game.menu.count / 2 : pageStart;
  const MenuKey key = menuKey(game.keys, game.states.gameState);
  if (key == MenuKey::Select) {
    const uint32_t id = choosable(game.menu, game.states.gameState);
    if (id) {
      playSound(game, 0, 0, 50, 100);
      return static_cast<int32_t>(id);
    }
  } else if (key == MenuKey::Back) {
    return -1;
  } else if (key != MenuKey::None) {
    stepSelection(game.menu, key == MenuKey::Previous ? -1 : 1);
  }
  game.menu.firstVisible = shownFrom;
  return 0;
}

void showMenuScrollArrows(cGame& game, int32_t up, int32_t down) {
  const MenuList& m = game.menu;
  bool above = false, below = false;
  if (m.table && m.rows >= 1) {
    int32_t shown = 0;
    for (int32_t i = 0; i < m.count; ++i) {
      if (m.flags[i] & (kHidden | kNoRow)) continue;
      if (i < m.firstVisible)
        above = true;
      else if (++shown > m.rows)
        below = true;
    }
  }
  setElementVisible(game, up, above);
  setElementVisible(game, down, below);
}

void paintMenu(cGame& game) {
  const MenuList& m = game.menu;
  if (!m.table) return;
  Graphics* g = currentTarget(game);
  const int32_t rows = m.rows < 0 ? m.count : m.rows;
  const int32_t first = std::max(m.firstVisible, 0);
  int32_t e = m.listElement;
  for (int32_t i = first; i < m.count && e < m.listElement + rows; ++i) {
    const uint32_t flags = m.flags[i];
    if (flags & (kHidden | kNoRow)) continue;
    textBufferSetString(game, static_cast<int32_t>(m.table[i]));
    if (flags & kSuffix) {
      textBufferAppend(game, " ");
      textBufferAppendString(game, static_cast<int32_t>(flags >> 16));
    }
    const bool selected = i == m.selection;
    drawElementStringLen(game, e, game.text.strings.work, game.text.strings.workLength,
                         selected ? kSelectedPalette : 0);
    const int16_t* box = getInterfaceElement(game, -1, e);
    if (box && box[F::kWordType] == F::kText) {
      const int32_t x = box[F::kWordX], y = box[F::kWordY];
      const int32_t w = box[F::kWordParams + F::kTextWidth], h = box[F::kWordParams + F::kTextHeight];
      if (selected && box[F::kWordParams + F::kTextFont] != 0 &&
          (box[F::kWordParams + F::kTextTimer] < 1 || !game.interfaces.interfaceAnimations))
        glowArea(game, g, x + game.frontEnd.lastSlideX, y + game.frontEnd.lastSlideY, w, h,
                 static_cast<int32_t>(pulse(game, kPulsePeriod, 0, 100)),
                 static_cast<int32_t>(pulse(game, kPulsePeriod, 0, 80)),
                 static_cast<int32_t>(pulse(game, kPulsePeriod, 10, 25)));
      if (flags & kDisabled) fillRectAlpha(game, g, x, y, w, h, kVeil);
    }
    ++e;
  }
}
void setMenu(cGame& game, const uint32_t* table, int32_t listElement) { initMenu(game, table, listElement, -1, true); }
void setMenuEntryFlags(cGame& game, uint32_t textId, uint32_t flags) {
  setMenuEntryFlagsIn(game, nullptr, textId, flags);
}
uint32_t getMenuEntryFlags(const cGame& game, uint32_t textId) { return getMenuEntryFlags(game, nullptr, textId); }

void setMenuRows(cGame& game, const uint32_t* table, int32_t listElement, int32_t rows) {
  initMenu(game, table, listElement, rows, true);
}
int32_t getMenuCount(const cGame& game) { return game.menu.count; }
int32_t getMenuSelection(const cGame& game) { return game.menu.selection; }
int32_t getMenuVisibleRows(const cGame& game) { return game.menu.rows; }
int32_t getMenuFirstVisible(const cGame& game) { return game.menu.firstVisible; }
void setMenuCentring(cGame& game, bool on) { game.menu.centred = on ? 1 : 0; }
