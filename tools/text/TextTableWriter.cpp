#include "tools/text/TextTableWriter.h"

#include <sstream>

namespace texttable {

std::vector<bar::Entry> buildEntries(const std::vector<std::string>& strings) {
  bar::Entry data, table;
  const size_t count = strings.size();
  table.push_back(static_cast<uint8_t>(count));
  table.push_back(static_cast<uint8_t>(count >> 8));
  for (size_t i = 0; i < count; ++i) {
    data.insert(data.end(), strings[i].begin(), strings[i].end());
    data.push_back(0);
    if (i + 1 < count) {
      table.push_back(static_cast<uint8_t>(data.size()));
      table.push_back(static_cast<uint8_t>(data.size() >> 8));
    }
  }
  return {data, table};
}

namespace {
// The game skips the one character after a page break ("%j", digits may
// stand between): it must be a space, or a letter of the text would go.
bool pageBreaksSpaced(const std::string& t) {
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '%') continue;
    size_t j = i + 1;
    if (j < t.size() && t[j] == '%') {
      i = j;
      continue;
    }
    while (j < t.size() && t[j] >= '0' && t[j] <= '9') ++j;
    if (j < t.size() && t[j] == 'j' && (j + 1 >= t.size() || t[j + 1] != ' ')) return false;
  }
  return true;
}
}  // namespace

bool parseSource(const std::string& source, std::vector<std::string>& strings, std::string* error) {
  std::istringstream in(source);
  std::string line;
  std::vector<bool> seen;
  int lineNo = 0;
  strings.clear();
  auto fail = [&](const std::string& what) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t p = line.find_first_not_of(" \t");
    if (p == std::string::npos || line[p] == '#') continue;
    size_t q = p;
    while (q < line.size() && line[q] >= '0' && line[q] <= '9') ++q;
    if (q == p || q - p > 5) return fail("expected an id");
    const size_t id = std::stoul(line.substr(p, q - p));
    if (id > 0xFFFE) return fail("id too large");
    if (q < line.size() && line[q] != ' ' && line[q] != '\t') return fail("expected a space after the id");
    std::string text = q < line.size() ? line.substr(q + 1) : std::string();
    if (!pageBreaksSpaced(text)) return fail("a page break (%j) is followed by a space");
    if (id >= strings.size()) {
      strings.resize(id + 1);
      seen.resize(id + 1);
    }
    if (seen[id]) return fail("id " + std::to_string(id) + " given twice");
    seen[id] = true;
    strings[id] = text;
  }
  return true;
}

}  // namespace texttable
