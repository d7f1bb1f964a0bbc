#include <cstdlib>
#include <cwchar>

#include "windows_brew/ShellHost.h"

void hostExit(int code) { std::exit(code); }

int ShellHost::browseUrl(const char* address) {
  if (!address || !*address) return 10;
  return 0;
}
