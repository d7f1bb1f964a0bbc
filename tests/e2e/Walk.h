// A walk through the whole program by touch: a readable step file (one
// touch a line, each after a wait, with what it taps and why) turned into the
// headless backend's stylus script, and the checks a run leaves behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace walk {

namespace fs = std::filesystem;

// Step lines are "+WAIT what X Y  # why": WAIT ms of the virtual clock after
// the previous step, then a stylus "down", "up" or "move" at (X, Y). "press X Y"
// is a down and, 100 ms later, an up at the same place (a touch the game sees
// held for a few frames). Blank lines and comments are skipped. Returns the
// script, or an empty string with `error` set.
inline std::string toScript(const std::string& steps, std::string* error = nullptr) {
  std::istringstream in(steps);
  std::ostringstream out;
  std::string line;
  uint64_t t = 0;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string wait, what;
    int x = 0, y = 0;
    if (!(words >> wait)) continue;
    if (wait.size() < 2 || wait[0] != '+' || !(words >> what >> x >> y)) {
      if (error) *error = "step line " + std::to_string(lineNo) + ": want '+WAIT what X Y'";
      return {};
    }
    t += std::stoull(wait.substr(1));
    if (what == "press") {
      out << t << " down " << x << ' ' << y << '\n';
      t += 100;
      out << t << " up " << x << ' ' << y << '\n';
    } else if (what == "down" || what == "up" || what == "move") {
      out << t << ' ' << what << ' ' << x << ' ' << y << '\n';
    } else {
      if (error) *error = "step line " + std::to_string(lineNo) + ": unknown touch '" + what + "'";
      return {};
    }
  }
  return out.str();
}

inline std::string readFile(const fs::path& file) {
  std::ifstream f(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The states of a run as numbers, from its "states 5 10 ..." line.
inline std::vector<int> parseStates(const std::string& line) {
  std::vector<int> states;
  std::istringstream in(line);
  std::string word;
  in >> word;
  for (int s; in >> s;) states.push_back(s);
  return states;
}

}  // namespace walk
