#include <algorithm>
#include <cstring>
#include <random>

#include "../../zul/memory/TraceCapture.h"
#include "DataFixture.h"
#include "game/GameResourceManager/GameResourceManager.h"
#include "tools/pack/PackWriter.h"
#include "zul/memory/MemoryManager.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

using respack::Bytes;

// Bytes that pack well, or noise that does not.
Bytes sample(size_t n, unsigned seed, bool compressible) {
  std::mt19937 rng(seed);
  Bytes out(n);
  for (size_t i = 0; i < n; ++i)
    out[i] = compressible ? static_cast<uint8_t>("pocket cushion rail "[(i + seed) % 20]) : static_cast<uint8_t>(rng());
  return out;
}

void put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Live tracked blocks allocated by the manager.
int managerBlocks() {
  int n = 0;
  for (const auto& [address, block] : getMemoryManager()->blocks())
    if (std::strcmp(block.file, GameResourceManager::kSource) == 0) ++n;
  return n;
}

class ResourcePack : public DataTest {
 protected:
  void writePack(const respack::Pack& pack) {
    writeBytes("info.bar", pack.index);
    writeBytes("data000.bar", pack.data);
  }
  void writeResources(const std::vector<Bytes>& resources) { writePack(*respack::writePack(resources)); }
  // The bytes served for id, or nothing when open refuses.
  std::optional<Bytes> served(uint32_t id) {
    Stream* s = m.open(id);
    if (!s) return std::nullopt;
    auto* bs = static_cast<BufferStream*>(s);
    Bytes out(bs->getData(), bs->getData() + bs->getLength());
    EXPECT_TRUE(s->isOpen());
    m.close(s);
    return out;
  }
  GameResourceManager m;
};

TEST_F(ResourcePack, DescriptorNamesAnEntryPositionAndIgnoresThePackage) {
  std::vector<Bytes> entries;
  for (int i = 0; i < 7; ++i) entries.push_back(Bytes(static_cast<size_t>(3 + i), static_cast<uint8_t>('a' + i)));
  writePack(respack::Pack{*respack::writeIndex({{5, 2}, {0, 0}, {6, 127}}), respack::writeData(entries)});
  ASSERT_TRUE(m.loadIndex());
  EXPECT_EQ(m.getCount(), 3u);
  EXPECT_EQ(m.getPackage(0), 2u);
  EXPECT_EQ(m.getIndex(0), 5u);
  EXPECT_EQ(m.getPackage(2), 127u);
  EXPECT_EQ(m.getIndex(2), 6u);
  EXPECT_EQ(served(0), entries[5]);
  EXPECT_EQ(served(1), entries[0]);
  EXPECT_EQ(served(2), entries[6]);
}

TEST_F(ResourcePack, PackedEntriesAreUnpackedOthersServedRaw) {
  const Bytes big = sample(50000, 3, true);
  const Bytes nearMagic = {0x5D, 0x00, 0x00, 0x81, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  const Bytes noise = sample(300, 4, false);
  const std::vector<Bytes> resources = {big, nearMagic, noise, {}, {0x5D}};
  const respack::Pack pack = *respack::writePack(resources);
  const std::vector<Bytes> stored = *respack::readPack(pack);
  ASSERT_EQ(stored.size(), resources.size());
  // Only the big entry is smaller packed; it carries 5D 00 00 80, 8 MiB and
  // its real size.
  ASSERT_TRUE(respack::isPacked(stored[0]));
  EXPECT_EQ(Bytes(stored[0].begin(), stored[0].begin() + 13),
            (Bytes{0x5D, 0x00, 0x00, 0x80, 0x00, 0x50, 0xC3, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  for (size_t i = 1; i < resources.size(); ++i) EXPECT_EQ(stored[i], resources[i]) << i;

  writePack(pack);
  ASSERT_TRUE(m.loadIndex());
  setStackMemoryPool(nullptr);  // without the game's pool the manager borrows one
  TraceCapture cap;
  for (size_t i = 0; i < resources.size(); ++i) EXPECT_EQ(served(static_cast<uint32_t>(i)), resources[i]) << i;
  EXPECT_FALSE(cap.has("breakpoint"));
  EXPECT_FALSE(cap.has("data000.bar:"));
  EXPECT_EQ(getStackMemoryPool(), nullptr);  // the borrowed pool is gone again
}

TEST_F(ResourcePack, WriterRefusesRawBytesThatReadAsPacked) {
  const Bytes magic = {0x5D, 0x00, 0x00, 0x80, 7};
  EXPECT_FALSE(respack::encodeEntry(magic, false));
  EXPECT_FALSE(respack::encodeEntry(magic, true));  // too short to pack smaller
  EXPECT_FALSE(respack::writePack({{1}, magic}));
  EXPECT_FALSE(respack::writeIndex({{0x1000000, 0}}));
  EXPECT_FALSE(respack::writeIndex({{0, 128}}));
  EXPECT_TRUE(respack::writeIndex({{0xFFFFFF, 127}}));
}

TEST_F(ResourcePack, FortyEntriesAtShuffledPositions) {
  std::mt19937 rng(38);
  std::vector<Bytes> resources;
  for (unsigned i = 0; i < 40; ++i) resources.push_back(sample(rng() % 3000, i, i % 3 == 0));
  std::vector<uint32_t> position(40);
  for (uint32_t i = 0; i < 40; ++i) position[i] = i;
  std::shuffle(position.begin(), position.end(), rng);
  std::vector<Bytes> entries(40);
  std::vector<respack::Descriptor> descriptors;
  for (uint32_t id = 0; id < 40; ++id) {
    entries[position[id]] = *respack::encodeEntry(resources[id]);
    descriptors.push_back({position[id], id % 4});
  }
  const respack::Pack pack{*respack::writeIndex(descriptors), respack::writeData(entries)};
  EXPECT_EQ(respack::readPack(pack)->at(7), entries[position[7]]);
  writePack(pack);
  ASSERT_TRUE(m.loadIndex());
  // Unpacking uses the game's pool when one is registered.
  StackMemoryPool pool(30720, nullptr);
  setStackMemoryPool(&pool);
  const int32_t free = pool.getFreeSize();
  int packed = 0;
  for (uint32_t id = 0; id < 40; ++id) {
    packed += respack::isPacked(entries[position[id]]);
    EXPECT_EQ(served(id), resources[id]) << id;
  }
  EXPECT_GT(packed, 5);
  EXPECT_EQ(pool.getFreeSize(), free);
  setStackMemoryPool(nullptr);
  EXPECT_EQ(managerBlocks(), 1);  // the table
}

TEST_F(ResourcePack, StreamOwnsItsBufferAndFreesItOnce) {
  writeResources({Bytes{1, 2, 3, 4, 5}});
  ASSERT_TRUE(m.loadIndex());
  const int table = managerBlocks();
  Stream* s = m.open(0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(managerBlocks(), table + 2);  // the stream and its bytes
  EXPECT_EQ(s->readInt(), 0x04030201);
  s->close();
  EXPECT_EQ(managerBlocks(), table + 1);
  EXPECT_FALSE(s->isOpen());
  s->close();  // a second close frees nothing more
  m.close(s);
  EXPECT_EQ(managerBlocks(), table);
  m.close(nullptr);

  GameResourceStream direct;
  EXPECT_TRUE(m.loadResource(&direct, 0));
  EXPECT_EQ(direct.getLength(), 5);
  EXPECT_EQ(managerBlocks(), table + 1);
  // No running game: loading by id alone finds no manager.
  GameResourceStream byId(0);
  EXPECT_FALSE(byId.isOpen());
  EXPECT_FALSE(byId.load(0));
}

TEST_F(ResourcePack, FindAndStoreStayInsideTheTable) {
  writeResources({Bytes{1}, Bytes{2}});
  ASSERT_TRUE(m.loadIndex());
  int object = 0;
  m.store(1, &object);
  EXPECT_EQ(m.find(1), &object);
  EXPECT_EQ(m.find(0), nullptr);
  m.store(2, &object);
  m.store(0xFFFFFFFF, &object);
  EXPECT_EQ(m.find(2), nullptr);
  EXPECT_EQ(m.find(0xFFFFFFFF), nullptr);
  EXPECT_EQ(m.open(2), nullptr);
  m.store(1, nullptr);
  EXPECT_EQ(m.find(1), nullptr);
}

TEST_F(ResourcePack, MaskedSizeAndPackedWord) {
  const struct {
    uint32_t value;
    bool header;
    uint32_t expect;
  } sizes[] = {{0, false, 0},           {0, true, 4},           {0xFFFFFFFF, false, 0x3FFFFFFF},
               {0xFFFFFFFF, true, 0x40000003}, {0xC0000010, true, 0x14}, {0x12345678, false, 0x12345678}};
  for (const auto& c : sizes) EXPECT_EQ(GameResourceManager::maskedSize(c.value, c.header), c.expect) << c.value;
  EXPECT_TRUE(GameResourceManager::isCompressed(0x8000005D));
  EXPECT_FALSE(GameResourceManager::isCompressed(0x0000005D));
  EXPECT_FALSE(GameResourceManager::isCompressed(0x8000015D));
}

TEST_F(ResourcePack, MissingFiles) {
  TraceCapture cap;
  EXPECT_FALSE(m.loadIndex());
  EXPECT_TRUE(cap.has("info.bar: not found"));
  EXPECT_EQ(m.getCount(), 0u);
  EXPECT_EQ(m.open(0), nullptr);
  EXPECT_EQ(m.find(0), nullptr);
  m.store(0, &cap);
  EXPECT_EQ(m.find(0), nullptr);

  writeBytes("info.bar", *respack::writeIndex({{0, 0}}));
  ASSERT_TRUE(m.loadIndex());
  cap.clear();
  EXPECT_EQ(m.open(0), nullptr);
  EXPECT_TRUE(cap.has("data000.bar: not found"));
  EXPECT_EQ(managerBlocks(), 1);
}

TEST_F(ResourcePack, BadFilesAreRefused) {
  const Bytes big = sample(20000, 9, true);
  const Bytes packedBig = *respack::encodeEntry(big);
  ASSERT_TRUE(respack::isPacked(packedBig));
  auto withU = [&](uint32_t u) {
    Bytes b = packedBig;
    put32(b, 5, u);
    return b;
  };
  Bytes corrupt = packedBig;
  for (size_t i = 20; i < 60; ++i) corrupt[i] ^= 0x5A;
  Bytes highHalf = packedBig;
  highHalf[9] = 1;
  const Bytes goodIndex = *respack::writeIndex({{0, 0}, {1, 0}});
  const Bytes twoEntries = respack::writeData({Bytes{1, 2}, packedBig});
  auto cutData = [&](size_t n) { return Bytes(twoEntries.begin(), twoEntries.begin() + static_cast<std::ptrdiff_t>(n)); };
  Bytes skipPastEnd = twoEntries;
  put32(skipPastEnd, 4, 0x7FFFFFF0);  // entry 0 claims more than the file holds
  Bytes countTooBig = goodIndex;
  put32(countTooBig, 1, 3);
  Bytes hugeCount = goodIndex;
  put32(hugeCount, 1, 0x40000001);

  const struct {
    const char* name;
    Bytes index, data;
    bool indexLoads;
    uint32_t id;
  } cases[] = {
      {"id at the count", goodIndex, twoEntries, true, 2},
      {"count beyond the index file", countTooBig, twoEntries, false, 0},
      {"count that would wrap", hugeCount, twoEntries, false, 0},
      {"index shorter than its count field", {0, 1, 0}, twoEntries, false, 0},
      {"data file without its first word", goodIndex, {0, 0}, true, 0},
      {"entry size cut", goodIndex, cutData(6), true, 0},
      {"entry bytes cut", goodIndex, cutData(9), true, 0},
      {"skipped entry past the end", goodIndex, skipPastEnd, true, 1},
      {"packed entry cut", goodIndex, cutData(twoEntries.size() - 1), true, 1},
      {"unpacked size above 64 MiB", goodIndex, respack::writeData({{}, withU((64u << 20) + 1)}), true, 1},
      {"unpacked size one more than produced", goodIndex,
       respack::writeData({{}, withU(static_cast<uint32_t>(big.size() + 1))}), true, 1},
      {"decoder error", goodIndex, respack::writeData({{}, corrupt}), true, 1},
      {"packed header cut", goodIndex, respack::writeData({{}, Bytes(packedBig.begin(), packedBig.begin() + 12)}), true,
       1},
      {"high half of the size set", goodIndex, respack::writeData({{}, highHalf}), true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes("info.bar", c.index);
    writeBytes("data000.bar", c.data);
    GameResourceManager bad;
    EXPECT_EQ(bad.loadIndex(), c.indexLoads);
    const int blocks = managerBlocks();
    EXPECT_EQ(bad.open(c.id), nullptr);
    GameResourceStream s;
    EXPECT_FALSE(bad.loadResource(&s, c.id));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(s.getLength(), 0);
    EXPECT_EQ(managerBlocks(), blocks);  // a failed load frees its buffer
  }
  // The same files with the good sizes load.
  writeBytes("info.bar", goodIndex);
  writeBytes("data000.bar", twoEntries);
  ASSERT_TRUE(m.loadIndex());
  EXPECT_EQ(served(1), big);
}

// The shared records on top of the pack: one load per id while in use.
struct Blob {
  virtual ~Blob() = default;
  const uint8_t* bytes = nullptr;
};

}  // namespace

bool loadManagedResource(ManagedResource<Blob>* record, ResourceManager&, Stream& stream) {
  record->bytes = static_cast<BufferStream&>(stream).skip(2);
  return record->bytes != nullptr;
}

namespace {

TEST_F(ResourcePack, SharedRecordsOverThePack) {
  writeResources({Bytes{9, 8, 7}, Bytes{1}});
  ASSERT_TRUE(m.loadIndex());
  ManagedResource<Blob>* a = m.get<Blob>(0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(m.get<Blob>(0), a);
  EXPECT_EQ(m.find(0), a);
  EXPECT_EQ(a->bytes[1], 8);  // read in place from the stream's buffer
  EXPECT_EQ(m.get<Blob>(1), nullptr);  // too short for its loader
  EXPECT_EQ(m.find(1), nullptr);
  EXPECT_EQ(m.get<Blob>(5), nullptr);
  m.release(a);
  m.release(a);
  EXPECT_EQ(m.find(0), nullptr);
  EXPECT_EQ(managerBlocks(), 1);
}

}  // namespace

#include "gles/GlContext.h"
#include "zul/3d/GL3DTexture.h"

namespace {

// The data set's pack: every texture id loads as a 565 texture of its size;
// the ids between them are empty entries.
TEST_F(ResourcePack, DataSetPack) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/info.bar")) GTEST_SKIP() << "no data set";
  for (const char* name : {"info.bar", "data000.bar"})
    std::filesystem::copy_file(std::string(data) + "/" + name, path(name));
  ASSERT_TRUE(m.loadIndex());
  ASSERT_GE(m.getCount(), 30u);
  GlContext gl;
  setCurrentGlContext(&gl);
  GL3DServices services{&m};
  setGL3DServices(&services);
  {
    GL3DTextureManager textures;
    for (int32_t id = 0; id < 30; ++id) {
      SCOPED_TRACE(id);
      if (id >= 16 && id <= 18) continue;  // models
      GL3DTexture* t = textures.getTexture(id);
      ASSERT_NE(t, nullptr);
      const TextureObject& o = gl.m_textures[t->getName()];
      EXPECT_EQ(o.size, id == 29 ? 32 : 64);
      EXPECT_EQ(o.mode, kTexelRgb565);
      EXPECT_EQ(t->getFlags(), 0u);
    }
    // Ball 8 is dark, ball 0 light; cloth 20 is green.
    auto texel = [&](int32_t id, int32_t i) { return gl.m_textures[textures.getTexture(id)->getName()].texels[i]; };
    const uint16_t black = texel(8, 32 * 64), white = texel(0, 32 * 64), cloth = texel(20, 100);
    EXPECT_LT(black >> 11, 4);
    EXPECT_GT(white >> 11, 26);
    EXPECT_GT((cloth >> 5) & 63, 2 * (cloth >> 11));
    textures.releaseAll();
  }
  setGL3DServices(nullptr);
  setCurrentGlContext(nullptr);
  EXPECT_EQ(managerBlocks(), 1);
}

}  // namespace
