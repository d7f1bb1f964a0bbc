#include "tools/pack/PackWriter.h"

#include <fstream>
#include <iterator>

#include "tools/lzma/LzmaWriter.h"

namespace respack {

namespace {

void put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t get32(const Bytes& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

}  // namespace

bool isPacked(const Bytes& stored) { return stored.size() >= 4 && get32(stored, 0) == kPackedMagic; }

std::optional<Bytes> encodeEntry(const Bytes& data, bool allowPacking) {
  if (allowPacking && !data.empty()) {
    LzmaWriterOptions options;
    options.level = 9;
    options.dictSize = kPackedDictSize;
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    Bytes packed = lzmaAloneEncode(data.data(), data.size(), options);
    if (packed.size() < data.size() && isPacked(packed)) return packed;
  }
  if (isPacked(data)) return std::nullopt;
  return data;
}

std::optional<Bytes> writeIndex(const std::vector<Descriptor>& descriptors) {
  Bytes out;
  out.push_back(0);
  put32(out, static_cast<uint32_t>(descriptors.size()));
  for (const Descriptor& d : descriptors) {
    if (d.position > kMaxPosition || d.package > kMaxPackage) return std::nullopt;
    put32(out, d.position | d.package << 24);
  }
  return out;
}

Bytes writeData(const std::vector<Bytes>& storedEntries) {
  Bytes out;
  put32(out, 0);
  for (const Bytes& e : storedEntries) {
    put32(out, static_cast<uint32_t>(e.size()));
    out.insert(out.end(), e.begin(), e.end());
  }
  return out;
}

std::optional<Pack> writePack(const std::vector<Bytes>& resources, bool allowPacking, std::string* error) {
  std::vector<Bytes> stored;
  std::vector<Descriptor> descriptors;
  for (size_t i = 0; i < resources.size(); ++i) {
    std::optional<Bytes> e = encodeEntry(resources[i], allowPacking);
    if (!e) {
      if (error) *error = "resource " + std::to_string(i) + " starts like a packed entry";
      return std::nullopt;
    }
    stored.push_back(std::move(*e));
    descriptors.push_back({static_cast<uint32_t>(i), 0});
  }
  std::optional<Bytes> index = writeIndex(descriptors);
  if (!index) {
    if (error) *error = "too many resources";
    return std::nullopt;
  }
  return Pack{std::move(*index), writeData(stored)};
}

std::optional<std::vector<uint32_t>> readIndex(const Bytes& index) {
  if (index.size() < 5) return std::nullopt;
  const uint32_t n = get32(index, 1);
  if (n > (index.size() - 5) / 4) return std::nullopt;
  std::vector<uint32_t> out(n);
  for (uint32_t i = 0; i < n; ++i) out[i] = get32(index, 5 + 4 * size_t{i});
  return out;
}

std::optional<std::vector<Bytes>> readData(const Bytes& data) {
  if (data.size() < 4) return std::nullopt;
  std::vector<Bytes> out;
  size_t at = 4;
  while (at < data.size()) {
    if (data.size() - at < 4) return std::nullopt;
    const uint32_t s = get32(data, at);
    at += 4;
    if (s > data.size() - at) return std::nullopt;
    out.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + s));
    at += s;
  }
  return out;
}

std::optional<std::vector<Bytes>> readPack(const Pack& pack) {
  std::optional<std::vector<uint32_t>> index = readIndex(pack.index);
  std::optional<std::vector<Bytes>> entries = readData(pack.data);
  if (!index || !entries) return std::nullopt;
  std::vector<Bytes> out;
  for (uint32_t d : *index) {
    const uint32_t position = d & kMaxPosition;
    if (position >= entries->size()) return std::nullopt;
    out.push_back((*entries)[position]);
  }
  return out;
}

bool writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::optional<Bytes> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace respack
