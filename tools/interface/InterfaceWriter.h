// Writer of the interface archive "interf.bar" (entry i = interface i, a run
// of element records; see game/Korvane/cGame/InterfaceFormat.h) and the
// compiler of its readable source (assets/interfaces/README.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tools/bar/BarWriter.h"

namespace interfacedata {

using interfaceformat::kInterfaceCount;

struct Element {
  uint8_t type = 0;
  int16_t x = 0, y = 0;
  std::vector<int16_t> params;  // at most 255
  bool operator==(const Element&) const = default;
};
using Interface = std::vector<Element>;

// The entry bytes of one interface (the two unused bytes of a record are 0);
// empty with *ok = false when an element has more than 255 parameters.
std::vector<uint8_t> writeInterface(const Interface& elements, bool* ok = nullptr);
// The archive of interfaces 0..kInterfaceCount-1; a missing interface is an
// empty entry. Empty on an error or when more than kInterfaceCount are given.
std::vector<uint8_t> writeInterfaces(const std::vector<Interface>& interfaces);

// The hidden element that "pad" writes.
Element placeholder();
// Elements with every parameter at its default.
Element defaultSprite();
Element defaultText();
Element defaultRect();
Element defaultPanel();

// Compiles the source of one interface. False with "line N: why" in *error.
bool compileInterface(const std::string& source, Interface& out, std::string* error);

// The interface number of a source file name "NNN-name.txt" (any folder
// before it); -1 when the name does not have that form or NNN is not below
// kInterfaceCount.
int interfaceNumberOf(const std::string& fileName);

}  // namespace interfacedata
