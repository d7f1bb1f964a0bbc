// The program entry: layer options, then WinMain.
#include <cstdio>

#include "wince/crt.h"
#include "wince/layer.h"

namespace wince {

int runProgram(int argc, char** argv) {
  Options options;
  std::vector<std::string> rest;
  std::string error;
  if (!parseOptions(argc, argv, options, rest, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
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
  return result;
}

}  // namespace wince
