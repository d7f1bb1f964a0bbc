// Writer of "misc.bar": entry 0 holds the computer opponent's 11 profiles,
// 50 bytes each: values 0-11 as little-endian u32 (negative values as two's
// complement), values 12 and 13 as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace profiles {

constexpr int kProfileCount = 11;
constexpr int kValueCount = 14;
constexpr int kRecordBytes = 50;

struct Profile {
  std::string name;
  int32_t values[kValueCount] = {};
};

// The entry bytes; empty with a message in *error when a byte value is out of range.
std::vector<uint8_t> writeProfiles(const std::vector<Profile>& rows, std::string* error = nullptr);
// The archive: the profile entry as entry 0; empty on an error.
std::vector<uint8_t> writeMiscArchive(const std::vector<Profile>& rows, std::string* error = nullptr);

// Parses the readable source: one profile a line, a name and 14 whole
// numbers; '#' starts a comment. Exactly 11 rows. False with a message.
bool parseSource(const std::string& source, std::vector<Profile>& rows, std::string* error);

}  // namespace profiles
