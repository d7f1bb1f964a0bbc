// The built data set, for the tests that read it: the folder KV_DATA_DIR
// names (CTest sets it to the build's). Without it a test skips, so that a
// test program run on its own still passes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testdata {

// KV_DATA_DIR when it names a folder that holds `file`, else empty.
inline std::string dataSet(const char* file = "interf.bar") {
  const char* dir = std::getenv("KV_DATA_DIR");
  if (!dir || !*dir) return {};
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::path(dir) / file, ec) ? std::string(dir) : std::string();
}

}  // namespace testdata

// Skips the test (in its body or its fixture's SetUp) without the data set;
// an optional argument names the file it needs (default "interf.bar").
#define SKIP_WITHOUT_DATA_SET(...)                                                \
  do {                                                                            \
    if (::testdata::dataSet(__VA_ARGS__).empty()) GTEST_SKIP() << "no data set"; \
  } while (0)
