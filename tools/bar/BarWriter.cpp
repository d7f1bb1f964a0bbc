#include "tools/bar/BarWriter.h"

#include <fstream>
#include <iterator>

namespace bar {

namespace {
void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(std::vector<uint8_t>& out, int16_t v) {
  const uint16_t u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u & 0xFF));
  out.push_back(static_cast<uint8_t>(u >> 8));
}
}  // namespace

bool putRecord(std::vector<uint8_t>& out, uint8_t tag, int16_t x, int16_t y, const std::vector<int16_t>& values) {
  if (values.size() > 255) return false;
  out.push_back(tag);
  out.push_back(0);
  out.push_back(0);
  put16(out, x);
  put16(out, y);
  out.push_back(static_cast<uint8_t>(values.size()));
  for (int16_t v : values) put16(out, v);
  return true;
}

std::vector<uint8_t> packEntries(const std::vector<Entry>& entries) {
  const uint32_t n = static_cast<uint32_t>(entries.size() + 1);
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(n));
  out.push_back(static_cast<uint8_t>(n >> 8));
  uint32_t at = 0;
  put32(out, at);
  for (const Entry& e : entries) {
    at += static_cast<uint32_t>(e.size());
    put32(out, at);
  }
  for (const Entry& e : entries) out.insert(out.end(), e.begin(), e.end());
  return out;
}

std::vector<uint8_t> writeArchiveBytes(const std::vector<uint8_t>& unpacked, const LzmaWriterOptions& options) {
  std::vector<uint8_t> stream = lzmaAloneEncode(unpacked.data(), unpacked.size(), options);
  if (stream.empty()) return {};
  std::vector<uint8_t> out;
  put32(out, static_cast<uint32_t>(stream.size()));
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

std::vector<uint8_t> writeArchive(const std::vector<Entry>& entries, const LzmaWriterOptions& options) {
  return writeArchiveBytes(packEntries(entries), options);
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return !f.bad();
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

}  // namespace bar
