#include "tools/misc/ProfileWriter.h"

#include <sstream>

#include "tools/bar/BarWriter.h"

namespace profiles {

namespace {

bool fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

std::vector<uint8_t> writeProfiles(const std::vector<Profile>& rows, std::string* error) {
  std::vector<uint8_t> out;
  for (const Profile& p : rows) {
    for (int k = 0; k < 12; ++k) {
      const uint32_t v = static_cast<uint32_t>(p.values[k]);
      for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(v >> (8 * b)));
    }
    for (int k = 12; k < kValueCount; ++k) {
      if (p.values[k] < 0 || p.values[k] > 255) {
        fail(error, p.name + ": value " + std::to_string(k) + " is not a byte");
        return {};
      }
      out.push_back(static_cast<uint8_t>(p.values[k]));
    }
  }
  return out;
}

std::vector<uint8_t> writeMiscArchive(const std::vector<Profile>& rows, std::string* error) {
  std::vector<uint8_t> entry = writeProfiles(rows, error);
  if (entry.empty()) return {};
  return bar::writeArchive({entry});
}

bool parseSource(const std::string& source, std::vector<Profile>& rows, std::string* error) {
  rows.clear();
  std::istringstream lines(source);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    Profile p;
    if (!(in >> p.name)) continue;
    for (int k = 0; k < kValueCount; ++k) {
      long long v = 0;
      if (!(in >> v) || v < INT32_MIN || v > INT32_MAX)
        return fail(error, "line " + std::to_string(number) + ": " + std::to_string(kValueCount) +
                               " whole numbers expected after the name");
      p.values[k] = static_cast<int32_t>(v);
    }
    std::string extra;
    if (in >> extra) return fail(error, "line " + std::to_string(number) + ": more than 14 values");
    rows.push_back(p);
  }
  if (static_cast<int>(rows.size()) != kProfileCount)
    return fail(error, std::to_string(rows.size()) + " profiles, " + std::to_string(kProfileCount) + " expected");
  return true;
}

}  // namespace profiles
