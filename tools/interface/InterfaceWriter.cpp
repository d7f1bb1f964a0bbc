#include "tools/interface/InterfaceWriter.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace interfacedata {

namespace f = interfaceformat;

namespace {

bool parseNumber(const std::string& word, long lo, long hi, long& out) {
  const char* s = word.c_str();
  const bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int base = 10;
  if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s += 2;
  }
  if (*s == '\0' || *s == '-' || *s == '+' || *s == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s, &end, base);
  if (errno != 0 || *end != '\0') return false;
  out = negative ? -v : v;
  return out >= lo && out <= hi;
}

// A key of an element line: the parameter it sets (-1 x, -2 y), the range of
// its numbers and the names it accepts.
struct Name {
  const char* word;
  long value;
};
struct Key {
  const char* name;
  int param;
  long lo, hi;
  std::vector<Name> names;
};

constexpr long kMin = -32768, kMax = 32767;

const std::vector<Key>& keysOf(int type) {
  static const std::vector<Key> sprite = {
      {"bank", f::kSpriteBank, 0, 149, {}},
      {"frame", f::kSpriteFrame, kMin, kMax, {{"hold", f::kFrameOnceHold}, {"vanish", f::kFrameOnceVanish}}},
      {"anim", f::kSpriteAnim, -1, 255, {{"none", -1}}},
      {"visible", f::kSpriteVisible, 0, 1, {}},
      {"layer", f::kSpriteLayer, 0, 1, {{"front", 0}, {"back", 1}}},
      {"dx", f::kSpriteDx, kMin, kMax, {}},
      {"dy", f::kSpriteDy, kMin, kMax, {}},
      {"delay", f::kSpriteDelay, 0, kMax, {}},
      {"duration", f::kSpriteDuration, -1, kMax, {{"auto", -1}}},
      {"timer", f::kSpriteTimer, 0, kMax, {}},
      {"palette", f::kSpritePalette, 0, 255, {}},
  };
  static const std::vector<Key> text = {
      {"width", f::kTextWidth, 0, kMax, {}},
      {"height", f::kTextHeight, 0, kMax, {}},
      {"valign", f::kTextVAlign, 0, 2, {{"top", 0}, {"middle", 1}, {"bottom", 2}}},
      {"halign", f::kTextHAlign, 0, 2, {{"left", 0}, {"centre", 1}, {"right", 2}}},
      {"font", f::kTextFont, 0, 7, {}},
      {"p5", f::kTextUnused, kMin, kMax, {}},
      {"palette", f::kTextPalette, 0, 255, {}},
      {"dx", f::kTextDx, kMin, kMax, {}},
      {"dy", f::kTextDy, kMin, kMax, {}},
      {"delay", f::kTextDelay, 0, kMax, {}},
      {"duration", f::kTextDuration, -1, kMax, {{"auto", -1}}},
      {"timer", f::kTextTimer, 0, kMax, {}},
  };
  static const std::vector<Key> rect = {
      {"width", f::kRectWidth, 0, kMax, {}},  {"height", f::kRectHeight, 0, kMax, {}},
      {"alpha", f::kRectAlpha, 0, 255, {}},   {"red", f::kRectRed, 0, 255, {}},
      {"green", f::kRectGreen, 0, 255, {}},   {"blue", f::kRectBlue, 0, 255, {}},
      {"visible", f::kRectVisible, 0, 1, {}}, {"layer", f::kRectLayer, 0, 1, {{"front", 0}, {"back", 1}}},
  };
  static const std::vector<Key> panel = {
      {"parallax", f::kPanelParallax, 0, 1, {}},
      {"seats", f::kPanelSeats, 0, 1, {}},
      {"shade", f::kPanelShade, 0, 255, {}},
      {"plain", f::kPanelPlain, 0, 1, {}},
  };
  static const std::vector<Key> none;
  switch (type) {
    case f::kSprite: return sprite;
    case f::kText: return text;
    case f::kRect: return rect;
    case f::kPanel: return panel;
    default: return none;
  }
}

// Keys that must be given.
bool isRequired(int type, const std::string& key) {
  if (type == f::kSprite) return key == "bank";
  if (type == f::kText || type == f::kRect) return key == "width" || key == "height";
  return false;
}

int typeOf(const std::string& word) {
  if (word == "sprite") return f::kSprite;
  if (word == "text") return f::kText;
  if (word == "rect") return f::kRect;
  if (word == "panel") return f::kPanel;
  return -1;
}

Element defaults(int type) {
  Element e;
  e.type = static_cast<uint8_t>(type);
  e.params.assign(static_cast<size_t>(f::paramsRead(type)), 0);
  if (type == f::kSprite) {
    e.params[f::kSpriteAnim] = -1;
    e.params[f::kSpriteVisible] = 1;
    e.params[f::kSpriteDuration] = -1;
  } else if (type == f::kText) {
    e.params[f::kTextDuration] = -1;
  } else if (type == f::kRect) {
    e.params[f::kRectAlpha] = 255;
    e.params[f::kRectVisible] = 1;
  }
  return e;
}

std::string mark(long n) {
  std::string s(1, '[');
  s += std::to_string(n);
  s += ']';
  return s;
}

// "[N]" -> N; false when the word is not of that form.
bool indexMark(const std::string& word, long& n) {
  if (word.size() < 3 || word.front() != '[' || word.back() != ']') return false;
  return parseNumber(word.substr(1, word.size() - 2), 0, 65535, n);
}

}  // namespace

std::vector<uint8_t> writeInterface(const Interface& elements, bool* ok) {
  std::vector<uint8_t> out;
  for (const Element& e : elements) {
    if (!bar::putRecord(out, e.type, e.x, e.y, e.params)) {
      if (ok) *ok = false;
      return {};
    }
  }
  if (ok) *ok = true;
  return out;
}

std::vector<uint8_t> writeInterfaces(const std::vector<Interface>& interfaces) {
  if (interfaces.size() > static_cast<size_t>(kInterfaceCount)) return {};
  std::vector<bar::Entry> entries(static_cast<size_t>(kInterfaceCount));
  for (size_t i = 0; i < interfaces.size(); ++i) {
    bool ok = false;
    entries[i] = writeInterface(interfaces[i], &ok);
    if (!ok) return {};
  }
  return bar::writeArchive(entries);
}

Element placeholder() {
  Element e = defaults(f::kSprite);
  e.params[f::kSpriteVisible] = 0;
  e.params[f::kSpriteDuration] = 0;
  return e;
}
Element defaultSprite() { return defaults(f::kSprite); }
Element defaultText() { return defaults(f::kText); }
Element defaultRect() { return defaults(f::kRect); }
Element defaultPanel() { return defaults(f::kPanel); }

bool compileInterface(const std::string& source, Interface& out, std::string* error) {
  out.clear();
  std::istringstream in(source);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  long expected = -1;  // index asserted by a "[N]" for the next element
  auto add = [&](Element e) {
    if (expected >= 0 && static_cast<size_t>(expected) != out.size())
      return fail(mark(expected) + " asserted, but this is element " + std::to_string(out.size()));
    expected = -1;
    out.push_back(std::move(e));
    return true;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    size_t at = 0;
    long index = 0;
    if (indexMark(w[0], index)) {
      if (expected >= 0) return fail("two index marks for one element");
      expected = index;
      at = 1;
      if (w.size() == 1) continue;
    } else if (w[0].front() == '[') {
      return fail("bad index mark \"" + w[0] + "\"");
    }
    if (indexMark(w[at], index) || (at == 0 && expected >= 0 && w[at].front() == '['))
      return fail("two index marks for one element");
    const std::string& verb = w[at];
    if (verb == "pad") {
      long n = 0;
      if (w.size() != at + 2 || !parseNumber(w[at + 1], 0, 65535, n)) return fail("expected \"pad N\"");
      if (expected >= 0) return fail("an index mark cannot stand before pad");
      if (static_cast<size_t>(n) < out.size())
        return fail("pad " + std::to_string(n) + " but " + std::to_string(out.size()) + " elements already");
      while (out.size() < static_cast<size_t>(n)) out.push_back(placeholder());
      continue;
    }
    if (verb == "raw") {
      if (w.size() < at + 4) return fail("expected \"raw T x y [p...]\"");
      if (w.size() - (at + 4) > 255) return fail("more than 255 parameters");
      Element e;
      long v = 0;
      if (!parseNumber(w[at + 1], 0, 255, v)) return fail("bad type \"" + w[at + 1] + "\"");
      e.type = static_cast<uint8_t>(v);
      for (size_t i = at + 2; i < w.size(); ++i) {
        if (!parseNumber(w[i], kMin, kMax, v)) return fail("bad number \"" + w[i] + "\"");
        if (i == at + 2)
          e.x = static_cast<int16_t>(v);
        else if (i == at + 3)
          e.y = static_cast<int16_t>(v);
        else
          e.params.push_back(static_cast<int16_t>(v));
      }
      if (!add(std::move(e))) return false;
      continue;
    }
    const int type = typeOf(verb);
    if (type < 0) return fail("unknown element type \"" + verb + "\"");
    Element e = defaults(type);
    const std::vector<Key>& keys = keysOf(type);
    std::vector<std::string> given;
    for (size_t i = at + 1; i < w.size(); ++i) {
      const size_t eq = w[i].find('=');
      if (eq == std::string::npos || eq == 0) return fail("expected key=value, got \"" + w[i] + "\"");
      const std::string key = w[i].substr(0, eq), value = w[i].substr(eq + 1);
      for (const std::string& g : given)
        if (g == key) return fail("\"" + key + "\" given twice");
      given.push_back(key);
      long v = 0;
      if (key == "x" || key == "y") {
        if (!parseNumber(value, kMin, kMax, v)) return fail("bad number \"" + value + "\" for " + key);
        (key == "x" ? e.x : e.y) = static_cast<int16_t>(v);
        continue;
      }
      const Key* k = nullptr;
      for (const Key& c : keys)
        if (key == c.name) k = &c;
      if (!k) return fail("unknown key \"" + key + "\" for " + verb);
      bool named = false;
      for (const Name& n : k->names)
        if (value == n.word) {
          v = n.value;
          named = true;
        }
      if (!named && !parseNumber(value, k->lo, k->hi, v))
        return fail("bad value \"" + value + "\" for " + key + " (" + std::to_string(k->lo) + " to " +
                    std::to_string(k->hi) + ")");
      e.params[static_cast<size_t>(k->param)] = static_cast<int16_t>(v);
    }
    for (const Key& k : keys) {
      if (!isRequired(type, k.name)) continue;
      bool found = false;
      for (const std::string& g : given) found = found || g == k.name;
      if (!found) return fail(verb + " needs " + k.name + "=");
    }
    if (!add(std::move(e))) return false;
  }
  if (expected >= 0) return fail(mark(expected) + " asserted at the end, with no element");
  return true;
}

int interfaceNumberOf(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  if (base.size() < 9 || base[3] != '-' || base.compare(base.size() - 4, 4, ".txt") != 0) return -1;
  int n = 0;
  for (int i = 0; i < 3; ++i) {
    if (base[static_cast<size_t>(i)] < '0' || base[static_cast<size_t>(i)] > '9') return -1;
    n = n * 10 + (base[static_cast<size_t>(i)] - '0');
  }
  return n < kInterfaceCount ? n : -1;
}

}  // namespace interfacedata
