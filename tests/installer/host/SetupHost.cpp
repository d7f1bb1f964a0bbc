// Stand-in for the device's package installer: runs on the platform layer,
// opens a window, loads the setup library with dlopen and calls its exports
// in the installer's order. Command line: "install [FOLDER]" or
// "uninstall [FOLDER]". Prints each result, the messages its window got and
// the layer's record of the library's message boxes, process starts and
// deletions (newlines written as \n), one per line.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "installer/SetupLibrary.h"
#include "wince/crt.h"
#include "wince/layer.h"

namespace {

// The calls the library imports. Naming them here keeps them in this
// program's export table, where the library's references are bound.
[[gnu::used]] const void* const kProvidedCalls[] = {
    reinterpret_cast<const void*>(&MessageBoxW),   reinterpret_cast<const void*>(&CreateProcessW),
    reinterpret_cast<const void*>(&SendMessageW),  reinterpret_cast<const void*>(&FindFirstFileW),
    reinterpret_cast<const void*>(&FindNextFileW), reinterpret_cast<const void*>(&FindClose),
    reinterpret_cast<const void*>(&DeleteFileW),
};

LRESULT hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_QUIT)
    std::printf("window message 0x%x (%lld, %lld)\n", message, static_cast<long long>(wParam),
                static_cast<long long>(lParam));
  return DefWindowProcW(window, message, wParam, lParam);
}

void printLibraryCalls() {
  for (const std::string& entry : wince::callLog()) {
    if (entry.rfind("MessageBoxW(", 0) != 0 && entry.rfind("CreateProcessW(", 0) != 0 &&
        entry.rfind("DeleteFileW(", 0) != 0)
      continue;
    std::string line;
    for (char c : entry) line += c == '\n' ? std::string("\\n") : std::string(1, c);
    std::printf("%s\n", line.c_str());
  }
}

template <typename Fn>
Fn lookUp(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  std::string line = ceToUtf8(commandLine);
  size_t space = line.find(' ');
  std::string action = line.substr(0, space);
  std::u16string folder = space == std::string::npos ? std::u16string(u"\\Program Files\\Pelloran\\Korvane")
                                                     : ceFromUtf8(line.substr(space + 1));
  if (action != "install" && action != "uninstall") {
    std::fprintf(stderr, "usage: setup_host [layer options] install|uninstall [FOLDER]\n");
    return 2;
  }

  WNDCLASSW wc{};
  wc.lpfnWndProc = hostProc;
  wc.hInstance = instance;
  wc.lpszClassName = u"SetupHost";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, u"SetupHost", u"Package installer", WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                nullptr, instance, nullptr);
  ShowWindow(window, showCommand);

  void* library = dlopen(KV_SETUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "cannot load the setup library: %s\n", dlerror());
    return 3;
  }
  auto installInit = lookUp<InstallInitFn>(library, "Install_Init");
  auto installExit = lookUp<InstallExitFn>(library, "Install_Exit");
  auto uninstallInit = lookUp<UninstallInitFn>(library, "Uninstall_Init");
  auto uninstallExit = lookUp<UninstallExitFn>(library, "Uninstall_Exit");
  if (!installInit || !installExit || !uninstallInit || !uninstallExit) {
    std::fprintf(stderr, "the setup library lacks an export\n");
    dlclose(library);
    return 3;
  }

  if (action == "install") {
    std::printf("Install_Init = %d\n", installInit(window, TRUE, FALSE, folder.c_str()));
    // The package's files would be copied here.
    std::printf("Install_Exit = %d\n", installExit(window, folder.c_str(), 0, 0, 0, 0, 0));
  } else {
    std::printf("Uninstall_Init = %d\n", uninstallInit(window, folder.c_str()));
    // The package's files would be removed here.
    std::printf("Uninstall_Exit = %d\n", uninstallExit(window));
  }
  printLibraryCalls();
  std::fflush(stdout);
  dlclose(library);
  DestroyWindow(window);
  return 0;
}
