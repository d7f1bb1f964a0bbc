// Writer and reader of the resource pack: the index "info.bar" and the data
// file "data000.bar".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace respack {

using Bytes = std::vector<uint8_t>;

// First word (little-endian) of a packed entry: properties 0x5D (lc 3, lp 0,
// pb 2) and the low three bytes of an 8 MiB dictionary.
constexpr uint32_t kPackedMagic = 0x8000005D;
constexpr uint32_t kPackedDictSize = 8u << 20;
constexpr uint32_t kMaxPosition = 0xFFFFFF;
constexpr uint32_t kMaxPackage = 0x7F;

struct Descriptor {
  uint32_t position = 0;  // entry number in the data file
  uint32_t package = 0;   // kept in bits 24-30, read by nothing
};

// The stored form of one resource: an LZMA-alone stream (real unpacked size,
// dictionary 8 MiB) when that is smaller and allowed, else the bytes as they
// are. Nothing when raw bytes would read as packed (first word kPackedMagic).
std::optional<Bytes> encodeEntry(const Bytes& data, bool allowPacking = true);

// u8 0, u32 N, N descriptors (position | package << 24). Nothing when a
// position or package does not fit its bits.
std::optional<Bytes> writeIndex(const std::vector<Descriptor>& descriptors);
// u32 0, then per stored entry u32 S and S bytes.
Bytes writeData(const std::vector<Bytes>& storedEntries);

struct Pack {
  Bytes index;  // "info.bar"
  Bytes data;   // "data000.bar"
};

// Resource i at entry position i, package 0. Nothing when an entry cannot be
// stored; error says which.
std::optional<Pack> writePack(const std::vector<Bytes>& resources, bool allowPacking = true,
                              std::string* error = nullptr);

// Readers: nothing for a short or inconsistent file.
std::optional<std::vector<uint32_t>> readIndex(const Bytes& index);
std::optional<std::vector<Bytes>> readData(const Bytes& data);
// The stored bytes of each resource id of a pack (packed entries stay packed).
std::optional<std::vector<Bytes>> readPack(const Pack& pack);
bool isPacked(const Bytes& stored);

bool writeFile(const std::string& path, const Bytes& bytes);
std::optional<Bytes> readFile(const std::string& path);

}  // namespace respack
