// A walk through the whole program by touch: a readable step file (one
// touch a line, each after a wait, with what it taps and why), handed to the
// headless backend's stylus script piece by piece as the game reaches the
// screens the steps wait for.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "wince/layer.h"
#include "wince/windows.h"

namespace walk {

namespace fs = std::filesystem;

enum class ScriptEventKind { Down, Up, Move };

// A walk file, one instruction a line ("#" starts a comment):
//   +WAIT what X Y        a touch WAIT ms after the one before: "down", "up",
//                         "move", or "press" (down, and 100 ms later up)
//   at STATE              the touches after it wait until the game is in
//                         STATE (and every touch before has been made)
//   each STATE.. until STOP..  the touches up to "end" are made each time
//   ...                   the game is in one of the STATEs with nothing left
//   end                   to deliver, until it reaches one of the STOPs;
//                         "520h" is state 520 with the human player at the
//                         table
struct Touch {
  uint32_t wait = 0;
  ScriptEventKind kind = ScriptEventKind::Down;
  int x = 0, y = 0;
};
struct Step {
  enum Kind { Touches, At, Each } kind = Touches;
  std::vector<std::pair<int, bool>> states;  // a state, and whether the human must be at the table
  std::vector<int> until;  // any of these ends a repeat
  std::vector<Touch> touches;
  bool matches(int state, bool humanAtTable) const {
    for (const auto& [s, human] : states)
      if (s == state && (!human || humanAtTable)) return true;
    return false;
  }
};

inline bool parseState(const std::string& word, int& state, bool& human) {
  if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0]))) return false;
  size_t used = 0;
  state = std::stoi(word, &used);
  human = used < word.size() && word.substr(used) == "h";
  return used == word.size() || human;
}

// Parses a walk; false with `error` set on a bad line.
inline bool parse(const std::string& text, std::vector<Step>& out, std::string* error = nullptr) {
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  bool inEach = false;
  auto fail = [&](const std::string& why) {
    if (error) *error = "walk line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  auto touches = [&]() -> std::vector<Touch>& {
    if (inEach) return out.back().touches;
    if (out.empty() || out.back().kind != Step::Touches) out.push_back(Step{});
    return out.back().touches;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    if (w[0] == "at" || w[0] == "each") {
      if (inEach) return fail("no \"end\" before \"" + w[0] + "\"");
      Step step;
      step.kind = w[0] == "at" ? Step::At : Step::Each;
      size_t i = 1;
      for (; i < w.size() && w[i] != "until"; ++i) {
        int state = 0;
        bool human = false;
        if (!parseState(w[i], state, human)) return fail("not a state: '" + w[i] + "'");
        step.states.emplace_back(state, human);
      }
      if (step.states.empty()) return fail("want a state after " + w[0]);
      if (step.kind == Step::Each) {
        for (size_t k = i + 1; k < w.size(); ++k) {
          int state = 0;
          bool h = false;
          if (!parseState(w[k], state, h) || h) return fail("not a state to stop at: '" + w[k] + "'");
          step.until.push_back(state);
        }
        if (i == w.size() || step.until.empty()) return fail("want 'each STATE.. until STOP..'");
        inEach = true;
      } else if (step.states.size() != 1 || i != w.size()) {
        return fail("want 'at STATE'");
      }
      out.push_back(step);
    } else if (w[0] == "end") {
      if (!inEach) return fail("\"end\" without \"each\"");
      inEach = false;
    } else {
      if (w.size() != 4 || w[0].size() < 2 || w[0][0] != '+') return fail("want '+WAIT what X Y'");
      Touch t;
      t.wait = static_cast<uint32_t>(std::stoul(w[0].substr(1)));
      t.x = std::stoi(w[2]);
      t.y = std::stoi(w[3]);
      if (w[1] == "press") {
        t.kind = ScriptEventKind::Down;
        touches().push_back(t);
        t.wait = 100;
        t.kind = ScriptEventKind::Up;
      } else if (w[1] == "down" || w[1] == "up" || w[1] == "move") {
        t.kind = w[1] == "down" ? ScriptEventKind::Down : w[1] == "up" ? ScriptEventKind::Up : ScriptEventKind::Move;
      } else {
        return fail("unknown touch '" + w[1] + "'");
      }
      touches().push_back(t);
    }
  }
  if (inEach) return fail("\"each\" without \"end\"");
  return true;
}

// Plays a parsed walk into a running program: call frame() after every frame
// with the game's state; it hands the stylus script its next touches.
class Runner {
 public:
  explicit Runner(std::vector<Step> steps) : m_steps(std::move(steps)) {}

  // True once every step has been made.
  bool done() const { return m_next >= m_steps.size() && !pending(); }

  void frame(int state, bool humanAtTable) {
    while (m_next < m_steps.size()) {
      const Step& step = m_steps[m_next];
      // A repeat ends when its screen comes, dropping what it still had to touch.
      if (step.kind == Step::Each && std::find(step.until.begin(), step.until.end(), state) != step.until.end()) {
        wince::setScript({});
        ++m_next;
        continue;
      }
      if (pending()) return;
      const bool here = step.matches(state, humanAtTable);
      if (step.kind == Step::Touches) {
        schedule(step.touches);
        ++m_next;
      } else if (step.kind == Step::At) {
        if (!here) return;
        ++m_next;
      } else {
        if (here) schedule(step.touches);
        return;
      }
    }
  }

 private:
  static bool pending() { return wince::scriptPending(); }
  void schedule(const std::vector<Touch>& touches) {
    std::vector<wince::ScriptEvent> events;
    uint32_t t = GetTickCount();
    for (const Touch& touch : touches) {
      t += touch.wait;
      wince::ScriptEvent e;
      e.timeMs = t;
      e.kind = touch.kind == ScriptEventKind::Down ? wince::ScriptEvent::Down
               : touch.kind == ScriptEventKind::Up ? wince::ScriptEvent::Up
                                                   : wince::ScriptEvent::Move;
      e.x = touch.x;
      e.y = touch.y;
      events.push_back(e);
    }
    wince::setScript(std::move(events));
  }

  std::vector<Step> m_steps;
  size_t m_next = 0;
};

inline std::string readFile(const fs::path& file);

// The walk of the source tree's tests/e2e/walk.txt.
inline std::vector<Step> theWalk(std::string* error = nullptr) {
  std::vector<Step> steps;
  if (!parse(readFile(fs::path(KV_SOURCE_DIR) / "tests/e2e/walk.txt"), steps, error)) steps.clear();
  return steps;
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
