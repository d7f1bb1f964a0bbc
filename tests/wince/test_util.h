// Helpers shared by the layer tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "wince/layer.h"
#include "wince/windows.h"

namespace wince_test {

// A fresh temporary folder, removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "wince_test_XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Records every message a window procedure receives.
struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Received>& received();
LRESULT recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND makeWindow(const char16_t* className = u"Korvane", const char16_t* title = u"Korvane",
                DWORD style = WS_VISIBLE);
std::vector<UINT> messagesOf(const std::vector<Received>& list);

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wince::reset();
    received().clear();
  }
  void TearDown() override { wince::reset(false); }
};

}  // namespace wince_test
