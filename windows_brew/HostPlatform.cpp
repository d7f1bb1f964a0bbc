#include <cstring>

#include "wince/crt.h"
#include "wince/windows.h"
#include "windows_brew/ShellHost.h"

void hostExit(int code) { ceExit(code); }

int ShellHost::browseUrl(const char* address) {
  WCHAR wide[256];
  std::memset(wide, 0, sizeof wide);
  size_t n = address ? ceMbstowcs(wide, address, 255) : 0;
  if (n == 0 || n == static_cast<size_t>(-1)) return 10;
  wide[255] = 0;
  PROCESS_INFORMATION info;
  std::memset(&info, 0, sizeof info);
  CreateProcessW(u"\\windows\\iexplore.exe", wide, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
  return 0;
}
