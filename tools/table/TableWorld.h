// A physics world on the table of a layout source: the source parsed and
// written as the game's entries, read back and built as the game builds it.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "tools/table/TableWriter.h"

namespace tablelayout {

inline bool buildTableWorld(const TableLayout& layout, PhysicsWorld& world);

// False when the source cannot be read or parsed, or builds no table.
inline bool buildTableWorld(const std::string& sourcePath, TableLayout& layout, PhysicsWorld& world) {
  std::ifstream in(sourcePath);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  std::vector<Group> groups;
  std::string error;
  if (!parseSource(text.str(), groups, &error)) return false;
  layout.clear();
  for (size_t g = 0; g < groups.size() && g < static_cast<size_t>(TableLayout::kGroups); ++g) {
    const std::vector<uint8_t> bytes = writeGroup(groups[g]);
    layout.groups[g].parse(bytes.data(), static_cast<int32_t>(bytes.size()));
  }
  return buildTableWorld(layout, world);
}

// The table of parsed groups, built as the game builds it.
inline bool buildTableWorld(const TableLayout& layout, PhysicsWorld& world) {
  if (!layout.isComplete()) return false;
  world.deleteCushionAndPockets();
  for (int32_t r = 0; r < TableLayout::kPocketCount; ++r)
    world.createTableObject(layout.groups[TableLayout::kPockets], r, PhysicsWorld::kKindPocket);
  for (int32_t r = 0; r < TableLayout::kCushionPoints; ++r)
    world.createTableObject(layout.groups[TableLayout::kCushions], r, PhysicsWorld::kKindCushion);
  for (int32_t b = 0; b < TableLayout::kBallCount; ++b)
    world.createTableObject(layout.groups[TableLayout::kEightBallRack], b, b);
  return world.lineCount + world.secondLineCount == PhysicsWorld::kLineSlots &&
         world.jawCount == PhysicsWorld::kJawSlots;
}

}  // namespace tablelayout
