// Stylus scripts: parsing and delivery of due events.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "wince/src/internal.h"

namespace wince {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

bool toInt(const std::string& text, long long& out) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    out = std::stoll(text, &used, 0);
  } catch (...) {
    return false;
  }
  return used == text.size();
}

}  // namespace

bool parseScript(std::string_view text, std::vector<ScriptEvent>& out, std::string* error) {
  std::vector<ScriptEvent> events;
  std::istringstream in{std::string(text)};
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "script line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    long long t;
    if (!toInt(w[0], t) || t < 0 || t > 0xFFFFFFFFll) return fail("bad time " + quoteInput(w[0]));
    if (w.size() < 2) return fail("missing event");
    const std::string& name = w[1];
    std::vector<long long> args;
    for (size_t i = 2; i < w.size(); ++i) {
      long long v;
      if (!toInt(w[i], v) || v < -32768 || v > 65535) return fail("bad number " + quoteInput(w[i]));
      args.push_back(v);
    }
    ScriptEvent e;
    e.timeMs = static_cast<uint32_t>(t);
    auto need = [&](size_t n) { return args.size() == n; };
    if (name == "down" || name == "move" || name == "up" || name == "tap") {
      if (!need(2) || args[0] > 32767 || args[1] > 32767) return fail(name + " takes X Y");
      e.x = static_cast<int>(args[0]);
      e.y = static_cast<int>(args[1]);
      e.kind = name == "move" ? ScriptEvent::Move : name == "up" ? ScriptEvent::Up : ScriptEvent::Down;
      events.push_back(e);
      if (name == "tap") {
        e.kind = ScriptEvent::Up;
        events.push_back(e);
      }
    } else if (name == "orientation" || name == "focus" || name == "keydown" || name == "keyup") {
      if (!need(1)) return fail(name + " takes one value");
      e.value = static_cast<int>(args[0]);
      e.kind = name == "orientation" ? ScriptEvent::Orientation
               : name == "focus"     ? ScriptEvent::Focus
               : name == "keydown"   ? ScriptEvent::KeyDown
                                     : ScriptEvent::KeyUp;
      if (e.kind == ScriptEvent::Orientation && e.value != 0 && e.value != 1 && e.value != 2 && e.value != 4)
        return fail("orientation is 0, 1, 2 or 4");
      events.push_back(e);
    } else if (name == "close") {
      if (!need(0)) return fail("close takes nothing");
      e.kind = ScriptEvent::Close;
      events.push_back(e);
    } else {
      return fail("unknown event " + quoteInput(name));
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.timeMs < b.timeMs; });
  out = std::move(events);
  return true;
}

bool loadScript(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "cannot read script " + quoteInput(path) + ": " + why;
    return false;
  };
  // A folder opens as an empty stream and a pipe waits for its other end:
  // only a regular file is a script.
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(st)) return fail("no such file");
  if (std::filesystem::is_directory(st)) return fail("it is a folder");
  if (!std::filesystem::is_regular_file(st)) return fail("it is not a file");
  std::ifstream f(path, std::ios::binary);
  if (!f) return fail("it does not open");
  std::stringstream text;
  text << f.rdbuf();
  if (f.bad()) return fail("reading it failed");
  std::vector<ScriptEvent> events;
  if (!parseScript(text.str(), events, error)) return false;
  setScript(std::move(events));
  return true;
}

void setScript(std::vector<ScriptEvent> events) {
  State& s = state();
  Lock lock(s.mutex);
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.timeMs < b.timeMs; });
  s.script = std::move(events);
  s.scriptNext = 0;
  s.stylusDown = false;
}

bool scriptPending() {
  bool any = false;
  nextScriptTime(any);
  return any;
}

uint32_t nextScriptTime(bool& any) {
  State& s = state();
  Lock lock(s.mutex);
  any = s.scriptNext < s.script.size();
  return any ? s.script[s.scriptNext].timeMs : 0;
}

void deliverScript(uint32_t nowMs, const std::function<void(const ScriptEvent&)>& stylus) {
  State& s = state();
  for (;;) {
    ScriptEvent e;
    {
      Lock lock(s.mutex);
      if (s.scriptNext >= s.script.size() || s.script[s.scriptNext].timeMs > nowMs) return;
      e = s.script[s.scriptNext++];
    }
    if (e.kind == ScriptEvent::Down || e.kind == ScriptEvent::Move || e.kind == ScriptEvent::Up)
      stylus(e);
    else
      applyScriptEvent(e);
  }
}

// Events other than the stylus, the same on every backend.
void applyScriptEvent(const ScriptEvent& e) {
  State& s = state();
  switch (e.kind) {
    case ScriptEvent::Orientation:
      s.orientation = static_cast<DWORD>(e.value);
      break;
    case ScriptEvent::Focus:
      if (e.value) {
        if (HWND w = mainWindow()) {
          if (w->minimised || !w->visible) {
            std::lock_guard<std::recursive_mutex> lock(s.mutex);
            w->minimised = false;
          }
          activateWindow(w);
        }
      } else {
        deactivateApp();
      }
      break;
    case ScriptEvent::Close:
      if (HWND w = mainWindow()) PostMessageW(w, WM_CLOSE, 0, 0);
      break;
    case ScriptEvent::KeyDown:
      postInput(WM_KEYDOWN, static_cast<WPARAM>(e.value), 1);
      break;
    case ScriptEvent::KeyUp:
      postInput(WM_KEYUP, static_cast<WPARAM>(e.value), static_cast<LPARAM>(0xC0000001u));
      break;
    default:
      break;
  }
}

}  // namespace wince
