// The program entry: layer options, then WinMain.
#include <cstdio>

#include "wince/crt.h"
#include "wince/layer.h"
#include "wince/src/internal.h"

namespace wince {

int runProgram(int argc, char** argv, bool optionsOnly) {
  Options options;
  std::vector<std::string> rest;
  std::string error;
  if (!parseOptions(argc, argv, options, rest, error)) {
    std::fprintf(stderr, "%s (see --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(usage(argc > 0 ? argv[0] : nullptr).c_str(), stdout);
    return 0;
  }
  if (optionsOnly && !rest.empty()) {
    std::fprintf(stderr, "unexpected argument %s: the program takes options only (see --help)\n",
                 quoteInput(rest.front()).c_str());
    return 2;
  }
#ifdef KV_DEFAULT_DATA_DIR
  if (options.dataDir.empty() && !std::getenv("KV_DATA_DIR")) options.dataDir = KV_DEFAULT_DATA_DIR;
#endif
  if (!start(options, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::string line;
  for (const std::string& a : rest) {
    if (!line.empty()) line += ' ';
    line += a;
  }
  std::u16string commandLine = ceFromUtf8(line);
  static int instance;
  int result = WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine.data(), SW_SHOW);
  stop();
  {
    State& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (result == 0 && s.failureCode) result = s.failureCode;
  }
  return result;
}

}  // namespace wince
