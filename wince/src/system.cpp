// Display settings, escapes, system information, message boxes, the shell
// calls made for show, COM, processes and threads.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "wince/aygshell.h"
#include "wince/crt.h"
#include "wince/gx.h"
#include "wince/src/internal.h"

extern char** environ;

namespace {

using wince::logCall;
using wince::state;
using wince::State;

std::string num(long long v) { return std::to_string(v); }

// Kernel objects behind HANDLE.
struct KernelObject {
  pid_t pid = 0;
};

std::mutex g_objectsMutex;
std::vector<KernelObject*>& objects() {
  static auto* v = new std::vector<KernelObject*>;
  return *v;
}

KernelObject* findObject(HANDLE h) {
  std::lock_guard<std::mutex> lock(g_objectsMutex);
  for (KernelObject* o : objects())
    if (o == h) return o;
  return nullptr;
}

HANDLE addObject(KernelObject* o) {
  std::lock_guard<std::mutex> lock(g_objectsMutex);
  objects().push_back(o);
  return o;
}

int defaultAnswer(UINT type) {
  int buttons[3];
  int count;
  switch (type & 0xF) {
    case MB_OKCANCEL: buttons[0] = IDOK, buttons[1] = IDCANCEL, count = 2; break;
    case MB_ABORTRETRYIGNORE: buttons[0] = IDABORT, buttons[1] = IDRETRY, buttons[2] = IDIGNORE, count = 3; break;
    case MB_YESNOCANCEL: buttons[0] = IDYES, buttons[1] = IDNO, buttons[2] = IDCANCEL, count = 3; break;
    case MB_YESNO: buttons[0] = IDYES, buttons[1] = IDNO, count = 2; break;
    case MB_RETRYCANCEL: buttons[0] = IDRETRY, buttons[1] = IDCANCEL, count = 2; break;
    default: buttons[0] = IDOK, count = 1; break;
  }
  int def = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
  return buttons[def < count ? def : 0];
}

bool isExecutable(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The Linux program behind a CE program path.
std::string programFor(const std::u16string& cePath) {
  std::string narrow = ceToUtf8(cePath);
  std::string lower;
  for (char c : narrow) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  std::string module = KV_CE_MODULE_PATH;
  std::string moduleLower;
  for (char c : module) moduleLower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == moduleLower || lower == "korvane.exe") {
    if (const char* p = std::getenv("KV_PROGRAM"); p && *p) return p;
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
      self[n] = 0;
      std::string exe = self;
      std::string base = exe.substr(exe.find_last_of('/') + 1);
      if (base == "korvane") return exe;
    }
    return {};
  }
  std::string mapped = ceMapPath(narrow.c_str(), false);
  return isExecutable(mapped) ? mapped : std::string();
}

}  // namespace

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return wince::kScreenWidth;
    case SM_CYSCREEN: return wince::kScreenHeight;
    default: return 0;
  }
}

LONG ChangeDisplaySettingsEx(LPCWSTR, DEVMODEW* mode, HWND, DWORD flags, LPVOID) {
  if (!mode) return DISP_CHANGE_BADPARAM;
  State& s = state();
  if (!(mode->dmFields & DM_DISPLAYORIENTATION)) {
    logCall("ChangeDisplaySettingsEx(" + num(mode->dmFields) + ", " + num(flags) + ")");
    return DISP_CHANGE_SUCCESSFUL;
  }
  if (flags & CDS_TEST) {
    mode->dmDisplayOrientation = s.orientation;
    return DISP_CHANGE_SUCCESSFUL;
  }
  DWORD o = mode->dmDisplayOrientation;
  logCall("ChangeDisplaySettingsEx(orientation " + num(o) + ", " + num(flags) + ")");
  if (o != DMDO_0 && o != DMDO_90 && o != DMDO_180 && o != DMDO_270) return DISP_CHANGE_BADMODE;
  s.orientation = o;
  return DISP_CHANGE_SUCCESSFUL;
}

int ExtEscape(HDC, int escape, int inSize, LPCSTR in, int outSize, LPSTR out) {
  State& s = state();
  switch (escape) {
    case QUERYESCSUPPORT: {
      DWORD asked = 0;
      if (!in || inSize < static_cast<int>(sizeof asked)) return 0;
      std::memcpy(&asked, in, sizeof asked);
      logCall("ExtEscape(QUERYESCSUPPORT, " + num(asked) + ")");
      return asked == QUERYESCSUPPORT || asked == SETPOWERMANAGEMENT || asked == GETPOWERMANAGEMENT ? 1 : 0;
    }
    case GETPOWERMANAGEMENT: {
      logCall("ExtEscape(GETPOWERMANAGEMENT)");
      if (!out || outSize < static_cast<int>(sizeof(VIDEO_POWER_MANAGEMENT))) return -1;
      VIDEO_POWER_MANAGEMENT p{sizeof(VIDEO_POWER_MANAGEMENT), 1, s.powerState};
      std::memcpy(out, &p, sizeof p);
      return 1;
    }
    case SETPOWERMANAGEMENT: {
      if (!in || inSize < static_cast<int>(sizeof(VIDEO_POWER_MANAGEMENT))) return -1;
      VIDEO_POWER_MANAGEMENT p;
      std::memcpy(&p, in, sizeof p);
      logCall("ExtEscape(SETPOWERMANAGEMENT, " + num(p.PowerState) + ")");
      s.powerState = p.PowerState;
      return 1;
    }
    default:
      logCall("ExtEscape(" + num(escape) + ")");
      return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT) {
  State& s = state();
  logCall("SystemParametersInfoW(" + num(action) + ", " + num(param) + ")");
  if (action == SPI_GETPLATFORMTYPE || action == SPI_GETOEMINFO) {
    std::u16string text = action == SPI_GETPLATFORMTYPE ? s.platformType : u"Korvane Linux";
    size_t units = param / sizeof(WCHAR);
    if (!data || units < text.size() + 1) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(data, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
  if (!info) return FALSE;
  State& s = state();
  DWORD size = info->dwOSVersionInfoSize;
  *info = OSVERSIONINFOW{};
  info->dwOSVersionInfoSize = size;
  info->dwMajorVersion = s.versionMajor;
  info->dwMinorVersion = s.versionMinor;
  info->dwBuildNumber = 1700;
  info->dwPlatformId = VER_PLATFORM_WIN32_CE;
  return TRUE;
}

DWORD GetModuleFileNameW(HMODULE, LPWSTR buffer, DWORD size) {
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::u16string path = ceFromUtf8(KV_CE_MODULE_PATH);
  if (path.size() < size) {
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(path.size());
  }
  std::memcpy(buffer, path.c_str(), (size - 1) * sizeof(WCHAR));
  buffer[size - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

HMODULE GetModuleHandleW(LPCWSTR) {
  static int module;
  return reinterpret_cast<HMODULE>(&module);
}

int MessageBoxW(HWND window, LPCWSTR text, LPCWSTR caption, UINT type) {
  State& s = state();
  int answer = 0;
  bool scripted = false;
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (s.kind != wince::BackendKind::Sdl && !s.messageBoxAnswers.empty()) {
      answer = s.messageBoxAnswers.front();
      s.messageBoxAnswers.pop_front();
      scripted = true;
    }
  }
  // Headless: the box goes to standard error, whoever answers it.
  if (s.kind != wince::BackendKind::Sdl)
    std::fprintf(stderr, "%s: %s\n", ceToUtf8(caption ? caption : u"").c_str(), ceToUtf8(text ? text : u"").c_str());
  if (!scripted) {
    answer = s.backend->messageBox(ceToUtf8(text ? text : u""), ceToUtf8(caption ? caption : u""), type);
    if (answer == 0) answer = defaultAnswer(type);
  }
  logCall("MessageBoxW(" + wince::describeWindow(window) + ", " + wince::quoted(text) + ", " +
          wince::quoted(caption) + ", " + num(type) + ") = " + num(answer));
  return answer;
}

namespace wince {
int defaultMessageBoxAnswer(UINT type) { return defaultAnswer(type); }
}  // namespace wince

BOOL SHFullScreen(HWND window, DWORD state) {
  logCall("SHFullScreen(" + wince::describeWindow(window) + ", " + num(state) + ")");
  return TRUE;
}

BOOL SHOrdinal21(HWND window, DWORD value) {
  logCall("SHOrdinal21(" + wince::describeWindow(window) + ", " + num(value) + ")");
  return TRUE;
}

int GXOpenInput() {
  logCall("GXOpenInput()");
  return 1;
}

int GXCloseInput() {
  logCall("GXCloseInput()");
  return 1;
}

HRESULT CoInitializeEx(LPVOID, DWORD flags) {
  logCall("CoInitializeEx(" + num(flags) + ")");
  return S_OK;
}

void CoUninitialize() { logCall("CoUninitialize()"); }

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION info) {
  State& s = state();
  std::u16string app = application ? application : u"";
  std::u16string cmd = commandLine ? commandLine : u"";
  std::function<BOOL(const std::u16string&, const std::u16string&)> hook;
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    hook = s.createProcessHook;
  }
  BOOL ok = FALSE;
  pid_t pid = 0;
  if (hook) {
    ok = hook(app, cmd);
  } else {
    std::string program = programFor(app);
    if (!program.empty()) {
      std::string arg = ceToUtf8(cmd);
      std::vector<char*> argv{program.data()};
      if (!arg.empty()) argv.push_back(arg.data());
      argv.push_back(nullptr);
      ok = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? TRUE : FALSE;
    }
    if (!ok) SetLastError(ERROR_FILE_NOT_FOUND);
  }
  logCall("CreateProcessW(" + wince::quoted(application) + ", " + wince::quoted(commandLine) + ") = " + num(ok));
  if (ok && info) {
    auto* process = new KernelObject{};
    process->pid = pid;
    info->hProcess = addObject(process);
    info->hThread = nullptr;
    info->dwProcessId = static_cast<DWORD>(pid);
    info->dwThreadId = 0;
  }
  return ok;
}

BOOL CloseHandle(HANDLE handle) {
  KernelObject* o = findObject(handle);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(g_objectsMutex);
  auto& v = objects();
  v.erase(std::find(v.begin(), v.end(), o));
  delete o;
  return TRUE;
}

DWORD GetCurrentThreadId() {
  return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}
