// Start-up, options and the backend choice.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "wince/mmsystem.h"
#include "wince/src/internal.h"

namespace wince {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

std::string envOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

bool parseNumber(const std::string& text, long long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && end && *end == 0;
}

bool parseList(const std::string& text, std::vector<long long>& out, bool answers) {
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    long long v;
    if (answers) {
      static const std::pair<const char*, int> kNames[] = {{"ok", IDOK},         {"cancel", IDCANCEL},
                                                           {"abort", IDABORT},   {"retry", IDRETRY},
                                                           {"ignore", IDIGNORE}, {"yes", IDYES},
                                                           {"no", IDNO}};
      bool named = false;
      for (auto& [name, id] : kNames)
        if (item == name) {
          out.push_back(id);
          named = true;
        }
      if (named) continue;
    }
    if (!parseNumber(item, v) || v < 0) return false;
    out.push_back(v);
  }
  return !out.empty();
}

// Creates a folder the run writes to (and its parents) when it is missing.
bool makeFolder(const std::string& dir, const char* what, std::string* error) {
  if (dir.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!ec && std::filesystem::is_directory(dir, ec)) return true;
  if (error) *error = std::string(what) + ": cannot create folder " + quoteInput(dir) + (ec ? ": " + ec.message() : "");
  return false;
}

}  // namespace

Backend& backend() { return *state().backend; }
bool isSdlBackend() { return state().kind == BackendKind::Sdl; }
bool isHeadlessBackend() { return state().kind == BackendKind::Headless; }
BackendKind activeBackend() { return state().kind; }

void reset(bool virtualClock) {
  State& s = state();
  std::unique_ptr<Backend> old;
  {
    Lock lock(s.mutex);
    old = std::move(s.backend);
    s.backend = makeHeadlessBackend();
    s.kind = BackendKind::Headless;
    s.classes.clear();
    s.windows.clear();
    s.dcs.clear();
    s.active = nullptr;
    s.focus = nullptr;
    s.queue.clear();
    s.quitPosted = false;
    s.quitCode = 0;
    s.screen.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
    s.frames = 0;
    s.frameLimit = 0;
    s.frameLimitHit = false;
    s.backgroundMicros = 0;
    s.lastPollMicros = 0;
    s.captureDir.clear();
    s.captureFrames.clear();
    s.frameHook = nullptr;
    s.orientation = DMDO_0;
    s.powerState = VideoPowerOn;
    s.platformType = u"PocketPC";
    s.versionMajor = 5;
    s.versionMinor = 2;
    s.messageBoxAnswers.clear();
    s.diskFree = -1;
    s.script.clear();
    s.scriptNext = 0;
    s.stylusDown = false;
    s.callLog.clear();
    s.debugOutput.clear();
    s.dataDir = envOr("KV_DATA_DIR", ".");
    s.writeDir = envOr("KV_WRITE_DIR", ".");
    s.virtualClock = virtualClock;
    s.virtualMicros = 0;
    s.pollQuantum = 33334;
    s.counterFrequency = 1000000;
    s.timeBase = SYSTEMTIME{2026, 1, 4, 1, 0, 0, 0, 0};
    s.readFaultName.clear();
    s.readFaultAfter = 0;
    s.failureCode = 0;
    s.exitHook = nullptr;
    s.createProcessHook = nullptr;
  }
  old.reset();
  ceAudioSetMode(CeAudioMode::Headless);
}

bool start(const Options& o, std::string* error) {
  State& s = state();
  std::function<void(int)> exitHook;
  std::function<BOOL(const std::u16string&, const std::u16string&)> processHook;
  std::string faultName;
  uint64_t faultAfter = 0;
  {
    Lock lock(s.mutex);
    exitHook = s.exitHook;
    processHook = s.createProcessHook;
    faultName = s.readFaultName;
    faultAfter = s.readFaultAfter;
  }
  reset();
  {
    Lock lock(s.mutex);
    s.exitHook = std::move(exitHook);
    s.createProcessHook = std::move(processHook);
    s.readFaultName = std::move(faultName);
    s.readFaultAfter = faultAfter;
  }
  {
    Lock lock(s.mutex);
    if (!o.dataDir.empty()) s.dataDir = o.dataDir;
    if (!o.writeDir.empty()) s.writeDir = o.writeDir;
    s.captureDir = o.captureDir;
    s.captureFrames = o.captureFrames;
    s.frameLimit = o.frames;
    s.orientation = o.orientation;
    s.messageBoxAnswers.assign(o.messageBoxAnswers.begin(), o.messageBoxAnswers.end());
  }
  if (!makeFolder(o.captureDir, "--capture", error) || !makeFolder(o.writeDir, "--write", error)) return false;
  // The data set is read, never made: a folder that is not there is named
  // here rather than as each of its files missing.
  if (std::error_code ec; !o.dataDir.empty() && !std::filesystem::is_directory(o.dataDir, ec)) {
    if (error) *error = "--data: no folder " + quoteInput(o.dataDir);
    return false;
  }
  if (!o.scriptPath.empty() && !loadScript(o.scriptPath, error)) return false;
  BackendKind kind = o.backend;
  std::string sdlError;
  std::unique_ptr<Backend> sdl;
  if (kind == BackendKind::Auto) {
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    if ((x && *x) || (wl && *wl)) sdl = makeSdlBackend(o.scale, &sdlError);
    kind = sdl ? BackendKind::Sdl : BackendKind::Headless;
  } else if (kind == BackendKind::Sdl) {
    sdl = makeSdlBackend(o.scale, &sdlError);
    if (!sdl) {
      if (error) *error = "SDL backend: " + sdlError;
      return false;
    }
  }
  std::unique_ptr<Backend> old;
  {
    Lock lock(s.mutex);
    if (kind == BackendKind::Sdl) {
      old = std::move(s.backend);
      s.backend = std::move(sdl);
      s.kind = BackendKind::Sdl;
      s.virtualClock = false;
    }
  }
  ceAudioSetMode(kind == BackendKind::Sdl ? CeAudioMode::Sdl : CeAudioMode::Headless);
  return true;
}

void stop() {
  State& s = state();
  std::unique_ptr<Backend> old;
  {
    Lock lock(s.mutex);
    if (s.kind != BackendKind::Sdl) return;
    old = std::move(s.backend);
    s.backend = makeHeadlessBackend();
    s.kind = BackendKind::Headless;
  }
}

std::string usage(const char* program) {
  return std::string("usage: ") + (program && *program ? program : "korvane") +
         " [options]\n"
         "  --backend=sdl|headless   SDL2 window (the default with a display) or headless\n"
         "  --data DIR               the data folder (it must exist)\n"
         "  --write DIR              where the save file and logs go (made when missing)\n"
         "  --scale N                SDL: window scale, 1 to 16 (0: the largest that fits)\n"
         "  --frames N               stop after N frames (N of 1 or more)\n"
         "  --capture DIR            headless: write frames as PNG into DIR (made when missing)\n"
         "  --capture-frames N,M,..  headless: only these frames (default: every frame)\n"
         "  --script FILE            a stylus script\n"
         "  --msgbox ANSWERS         headless: message-box answers (ok, cancel, yes, no, ... or ids)\n"
         "  --orientation 0|1|2|4    headless: display orientation at start\n"
         "  -h, --help               this text\n";
}

std::string quoteInput(std::string_view text, size_t limit) {
  const bool cut = text.size() > limit;
  std::string out;
  out.reserve(limit + 32);
  out += '\'';
  out.append(cut ? text.substr(0, limit > 3 ? limit - 3 : 0) : text);
  if (cut) out.append("...");
  out += '\'';
  if (cut) out.append(" (").append(std::to_string(text.size())).append(" characters)");
  return out;
}

bool parseOptions(int argc, char** argv, Options& out, std::vector<std::string>& rest, std::string& error) {
  rest.clear();
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string name = arg, value;
    bool hasValue = false;
    if (arg.rfind("--", 0) == 0) {
      if (size_t eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        hasValue = true;
      }
    }
    if (arg == "-h" || arg == "--help") {
      out.help = true;
      continue;
    }
    static const char* kKnown[] = {"--backend", "--data",   "--frames", "--capture",     "--capture-frames",
                                   "--script",  "--msgbox", "--scale",  "--orientation", "--write"};
    bool known = false;
    for (const char* k : kKnown) known = known || name == k;
    if (!known && arg.rfind("--", 0) == 0) {
      error = "unknown option " + quoteInput(name) +
              " (options: --backend, --data, --write, --scale, --frames, --capture, --capture-frames, --script, "
              "--msgbox, --orientation, --help)";
      return false;
    }
    if (!known) {
      rest.push_back(arg);
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    long long n = 0;
    std::vector<long long> list;
    if (name == "--backend") {
      if (value == "sdl")
        out.backend = BackendKind::Sdl;
      else if (value == "headless")
        out.backend = BackendKind::Headless;
      else if (value == "auto")
        out.backend = BackendKind::Auto;
      else {
        error = "--backend is sdl or headless, not " + quoteInput(value);
        return false;
      }
    } else if (name == "--data") {
      out.dataDir = value;
    } else if (name == "--write") {
      out.writeDir = value;
    } else if (name == "--capture") {
      out.captureDir = value;
    } else if (name == "--script") {
      out.scriptPath = value;
    } else if (name == "--frames") {
      // 0 would mean no limit at all: a run that never ends by itself.
      if (!parseNumber(value, n) || n < 1) {
        error = "--frames takes a count of 1 or more, not " + quoteInput(value);
        return false;
      }
      out.frames = static_cast<uint64_t>(n);
    } else if (name == "--scale") {
      if (!parseNumber(value, n) || n < 0 || n > 16) {
        error = "--scale takes 0 to 16";
        return false;
      }
      out.scale = static_cast<int>(n);
    } else if (name == "--orientation") {
      if (!parseNumber(value, n) || (n != 0 && n != 1 && n != 2 && n != 4)) {
        error = "--orientation is 0, 1, 2 or 4";
        return false;
      }
      out.orientation = static_cast<DWORD>(n);
    } else if (name == "--capture-frames") {
      if (!parseList(value, list, false)) {
        error = "--capture-frames takes frame numbers N,M,...";
        return false;
      }
      for (long long f : list) out.captureFrames.push_back(static_cast<uint64_t>(f));
    } else if (name == "--msgbox") {
      if (!parseList(value, list, true)) {
        error = "--msgbox takes answers (ids or ok, cancel, yes, no, ...)";
        return false;
      }
      for (long long a : list) out.messageBoxAnswers.push_back(static_cast<int>(a));
    }
  }
  return true;
}

}  // namespace wince
