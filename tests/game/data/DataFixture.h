// A game object over a shell whose root is a fresh temporary folder, which
// is also the layer's writable folder: what the game writes or asks of its
// storage does not depend on the folder the tests run in.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameTypes.h"
#include "wince/layer.h"
#include "windows_brew/ShellHost.h"

class DataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("kv_data_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    previousWriteDir = wince::writeDir();
    wince::setWriteDir(dir.string());
    shell = std::make_unique<ShellHost>(&running);
    ASSERT_TRUE(shell->setRootPath((dir.string() + "/").c_str()));
    game = std::make_unique<cGame>(nullptr);
  }
  void TearDown() override {
    game.reset();
    shell.reset();
    if (dir.empty()) return;  // SetUp did not run
    wince::setWriteDir(previousWriteDir);
    std::filesystem::remove_all(dir);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> readBytes(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

  std::filesystem::path dir;
  std::string previousWriteDir;
  uint8_t running = 1;
  std::unique_ptr<ShellHost> shell;
  std::unique_ptr<cGame> game;
};
