// Running sox as the outside reference in tests.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline bool soxAvailable() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

inline bool runSox(const std::string& args) { return std::system(("sox " + args + " 2>/dev/null").c_str()) == 0; }

inline std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A folder of its own for one test, removed afterwards.
struct TempFolder {
  std::filesystem::path dir;
  explicit TempFolder(const std::string& name)
      : dir(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string path(const std::string& file) const { return (dir / file).string(); }
};
