// Writer of the text table "text.bar": entry 0 holds every string with a 0
// byte after it, entry 1 the string count and the end offsets of all strings
// but the last.
#pragma once

#include <string>
#include <vector>

#include "tools/bar/BarWriter.h"

namespace texttable {

std::vector<bar::Entry> buildEntries(const std::vector<std::string>& strings);

// Parses the readable source: one "<id> <text>" per line (UTF-8; the text runs
// to the end of the line, "\n" stays the two characters of a line break),
// '#' lines and blank lines ignored. Ids without a line are empty strings.
// False with a message in *error on a bad or repeated id, or on a page break
// ("%j") without the space after it that the game skips.
bool parseSource(const std::string& source, std::vector<std::string>& strings, std::string* error);

}  // namespace texttable
