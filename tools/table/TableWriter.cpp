#include "tools/table/TableWriter.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace tablelayout {

namespace {

bool parseInt16(const std::string& word, int16_t& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (errno != 0 || end == word.c_str() || *end != '\0' || v < -32768 || v > 32767) return false;
  out = static_cast<int16_t>(v);
  return true;
}

}  // namespace

std::vector<uint8_t> writeGroup(const Group& group, bool* ok) {
  std::vector<uint8_t> out;
  for (const Record& r : group) {
    if (!bar::putRecord(out, r.id, r.x, r.y, r.values)) {
      if (ok) *ok = false;
      return {};
    }
  }
  if (ok) *ok = true;
  return out;
}

std::vector<uint8_t> writeTable(const std::vector<Group>& groups) {
  std::vector<bar::Entry> entries;
  for (const Group& g : groups) {
    bool ok = false;
    entries.push_back(writeGroup(g, &ok));
    if (!ok) return {};
  }
  return bar::writeArchive(entries);
}

bool parseSource(const std::string& source, std::vector<Group>& groups, std::string* error) {
  groups.clear();
  std::istringstream in(source);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    if (w[0] == "group") {
      int16_t n = 0;
      if (w.size() != 2 || !parseInt16(w[1], n)) return fail("expected \"group N\"");
      if (n != static_cast<int>(groups.size())) return fail("groups must come in order from 0");
      groups.emplace_back();
      continue;
    }
    if (groups.empty()) return fail("record before the first group");
    if (w.size() < 2) return fail("a record needs x and y");
    if (w.size() - 2 > 255) return fail("more than 255 values");
    Group& g = groups.back();
    if (g.size() > 255) return fail("more than 256 records in a group");
    Record r;
    r.id = static_cast<uint8_t>(g.size());
    if (!parseInt16(w[0], r.x) || !parseInt16(w[1], r.y)) return fail("bad position");
    for (size_t i = 2; i < w.size(); ++i) {
      int16_t v = 0;
      if (!parseInt16(w[i], v)) return fail("bad value \"" + w[i] + "\"");
      r.values.push_back(v);
    }
    g.push_back(std::move(r));
  }
  return true;
}

}  // namespace tablelayout
