// Fuzzes the command-line parser: each input is a command line, its
// arguments separated by zero bytes or line ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "wince/layer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words{"korvane"};
  std::string word;
  for (size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == 0 || data[i] == '\n') {
      words.push_back(word);
      word.clear();
    } else {
      word.push_back(static_cast<char>(data[i]));
    }
  }
  if (words.size() > 64) return 0;
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  wince::Options options;
  std::vector<std::string> rest;
  std::string error;
  const bool ok = wince::parseOptions(static_cast<int>(argv.size()), argv.data(), options, rest, error);
  // A refused line says why.
  if (!ok && error.empty()) __builtin_trap();
  return 0;
}
