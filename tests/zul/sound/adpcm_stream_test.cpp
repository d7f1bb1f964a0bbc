#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "sound/AdpcmSignals.h"
#include "sound/SoxTools.h"
#include "tools/sound/SampleWriter.h"
#include "zul/io/BufferStream.h"
#include "zul/sound/SSEAdpcmStream.h"

namespace {

// A memory stream whose reads stop short at a given offset.
class CutStream : public BufferStream {
 public:
  CutStream(std::vector<uint8_t>& bytes, int32_t cut)
      : BufferStream(kRead, static_cast<int32_t>(bytes.size()), bytes.data()), m_cut(cut) {}
  int32_t read(void* buffer, int32_t count) override {
    return BufferStream::read(buffer, std::max(0, std::min(count, m_cut - tell())));
  }

 private:
  int32_t m_cut;
};

// Serves byte vectors by id and counts the streams it has open.
struct FakeManager : ResourceManager {
  std::map<uint32_t, std::vector<uint8_t>> files;
  std::map<uint32_t, int32_t> cuts;
  std::vector<uint32_t> opened;
  int32_t live = 0;
  void* find(uint32_t) override { return nullptr; }
  void store(uint32_t, void*) override {}
  Stream* open(uint32_t id) override {
    auto it = files.find(id);
    if (it == files.end()) return nullptr;
    opened.push_back(id);
    ++live;
    auto& bytes = it->second;
    if (cuts.count(id)) return new CutStream(bytes, cuts[id]);
    return new BufferStream(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  }
  void close(Stream* s) override {
    if (!s) return;
    --live;
    delete s;
  }
};

struct Encoded {
  std::vector<uint8_t> nibbles;
  SSEAdpcmState initial;
  std::vector<int16_t> samples;  // our decoder over the nibbles
};

Encoded encode(size_t n, SSEAdpcmState initial = {}) {
  Encoded e{{}, initial, {}};
  SSEAdpcmState s = initial;
  e.nibbles = kvtools::encodeImaAdpcm(adpcmTestSignal(n, 11025), s);
  SSEAdpcmState d = initial;
  for (uint8_t b : e.nibbles) {
    e.samples.push_back(decodeAdpcmNibble(b & 15, d));
    e.samples.push_back(decodeAdpcmNibble(b >> 4, d));
  }
  return e;
}

// Everything the stream gives from its open on, pump by pump.
std::vector<int16_t> drain(SSEAdpcmStream& s, std::vector<uint32_t>* counts = nullptr, int maxPumps = 100) {
  std::vector<int16_t> out(s.output(), s.output() + s.decoded());
  if (counts) counts->push_back(s.decoded());
  for (int i = 0; i < maxPumps; ++i) {
    const uint32_t n = s.pump();
    if (counts) counts->push_back(n);
    if (n == 0) break;
    out.insert(out.end(), s.output(), s.output() + n);
  }
  return out;
}

TEST(SSEAdpcmStream, HeaderAndBlocks) {
  const Encoded e = encode(10000, {-300, 20, 0});
  FakeManager m;
  m.files[3] = kvtools::adpcmFile(11025, e.nibbles, e.initial, 1000);
  {
    SSEAdpcmStream s(&m);
    s.open(3);
    EXPECT_EQ(s.format(), 2);
    EXPECT_EQ(s.rate(), 11025u);
    EXPECT_EQ(s.total(), 5000u);
    EXPECT_EQ(s.loopStart(), 1000u);
    EXPECT_TRUE(s.isPlaying());
    EXPECT_TRUE(s.isActive());
    std::vector<uint32_t> counts;
    EXPECT_EQ(drain(s, &counts), e.samples);
    EXPECT_EQ(counts, (std::vector<uint32_t>{4096, 4096, 1808, 0}));
    EXPECT_TRUE(s.isEnded());
    EXPECT_FALSE(s.isActive());
    EXPECT_EQ(s.pump(), 0u);
  }
  EXPECT_EQ(m.live, 0);  // the destructor closes through the manager
}

// sox decodes the same nibbles in an IMA ADPCM WAV to the stream's samples
// plus one header sample per block.
TEST(SSEAdpcmStream, MatchesSox) {
  if (!soxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder dir("kv_sox_stream");
  const SSEAdpcmState starts[] = {{}, {2000, 40, 0}};
  for (const SSEAdpcmState& start : starts) {
    const Encoded e = encode(9000, start);
    writeFile(dir.path("s.wav"), kvtools::imaAdpcmWav(11025, e.nibbles, start, 256));
    ASSERT_TRUE(runSox(dir.path("s.wav") + " -t raw -e signed-integer -b 16 " + dir.path("s.raw")));
    FakeManager m;
    m.files[0] = kvtools::adpcmFile(11025, e.nibbles, start, 0);
    SSEAdpcmStream s(&m);
    s.open(0);
    EXPECT_EQ(drain(s), dropBlockHeaders(readFile(dir.path("s.raw")), 256));
  }
}

TEST(SSEAdpcmStream, NotDecoded) {
  const Encoded e = encode(100);
  auto good = kvtools::adpcmFile(8000, e.nibbles, e.initial, 0);
  auto notS = good;
  notS[0] = 'T';
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"first byte not S", notS},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 39)},
      {"one byte", {'S'}},
      {"empty", {}},
  };
  for (const Case& c : cases) {
    FakeManager m;
    m.files[1] = c.bytes;
    SSEAdpcmStream s(&m);
    s.open(1);
    EXPECT_EQ(s.decoded(), 0u) << c.what;
    EXPECT_EQ(s.pump(), 0u) << c.what;
    EXPECT_FALSE(s.isActive()) << c.what;
    EXPECT_NE(s.format(), 2) << c.what;
  }
  // A resource the manager cannot open.
  FakeManager m;
  SSEAdpcmStream s(&m);
  s.open(9);
  EXPECT_FALSE(s.isPlaying());
  EXPECT_EQ(s.pump(), 0u);
  SSEAdpcmStream none(nullptr);
  none.open(1);
  EXPECT_EQ(none.pump(), 0u);
}

TEST(SSEAdpcmStream, TotalsPastTheBytesAndShortReads) {
  const Encoded e = encode(3000);  // 1500 bytes
  FakeManager m;
  // Total claims far more than the resource holds: only what is there.
  auto claimed = kvtools::adpcmFile(8000, e.nibbles, e.initial, 0);
  claimed[22] = 0x10;
  m.files[1] = claimed;
  // Reads stop at byte 40 + 1000.
  m.files[2] = kvtools::adpcmFile(8000, e.nibbles, e.initial, 0);
  m.cuts[2] = 1040;
  SSEAdpcmStream s(&m);
  s.open(1);
  EXPECT_EQ(s.total(), 1500u);
  EXPECT_EQ(drain(s), e.samples);
  s.setLoop(true);
  s.open(2);
  std::vector<uint32_t> counts;
  const auto cut = drain(s, &counts);
  EXPECT_EQ(counts, (std::vector<uint32_t>{2000, 0}));
  EXPECT_EQ(cut, std::vector<int16_t>(e.samples.begin(), e.samples.begin() + 2000));
  EXPECT_TRUE(s.isEnded());
  EXPECT_EQ(m.live, 1);
}

TEST(SSEAdpcmStream, Looping) {
  const Encoded e = encode(6000);  // 3000 bytes: blocks of 2048 and 952
  struct Case {
    uint32_t loopStart, used;  // as written; as used
  };
  const Case cases[] = {{1000, 1000}, {0, 0}, {2048, 2048}, {2996, 2996}, {3000, 0}, {4000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loopStart);
    FakeManager m;
    m.files[5] = kvtools::adpcmFile(8000, e.nibbles, e.initial, c.loopStart);
    SSEAdpcmStream s(&m);
    s.setLoop(true);
    s.open(5);
    EXPECT_EQ(s.loopStart(), c.used);
    const auto got = drain(s, nullptr, 9);
    // First pass whole, then the part from the loop start again and again.
    std::vector<int16_t> want = e.samples;
    while (want.size() < got.size()) want.insert(want.end(), e.samples.begin() + 2 * c.used, e.samples.end());
    want.resize(got.size());
    EXPECT_GE(got.size(), e.samples.size() + 2 * (3000 - c.used));
    EXPECT_EQ(got, want);
    EXPECT_FALSE(s.isEnded());
  }
}

TEST(SSEAdpcmStream, RequestSwitchesAtTheEnd) {
  const Encoded a = encode(5000), b = encode(3000, {100, 10, 0});
  FakeManager m;
  m.files[1] = kvtools::adpcmFile(8000, a.nibbles, a.initial, 0);
  m.files[2] = kvtools::adpcmFile(8000, b.nibbles, b.initial, 0);
  SSEAdpcmStream s(&m);
  s.request(1);  // nothing active: opens at once
  EXPECT_EQ(m.opened, (std::vector<uint32_t>{1}));
  s.request(2);
  EXPECT_EQ(s.pendingId(), 2u);
  EXPECT_EQ(m.opened, (std::vector<uint32_t>{1}));
  // All of the first, then all of the second; the request is used once.
  std::vector<uint32_t> counts;
  std::vector<int16_t> want = a.samples;
  want.insert(want.end(), b.samples.begin(), b.samples.end());
  EXPECT_EQ(drain(s, &counts), want);
  EXPECT_EQ(counts, (std::vector<uint32_t>{4096, 904, 3000, 0}));
  EXPECT_EQ(m.opened, (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(s.pendingId(), SSEAdpcmStream::kNoPending);
  EXPECT_EQ(s.pump(), 0u);
  EXPECT_EQ(m.live, 1);
  // Once ended and inactive, a request opens at once.
  s.request(1);
  EXPECT_EQ(m.opened, (std::vector<uint32_t>{1, 2, 1}));
  EXPECT_EQ(s.decoded(), 4096u);
  EXPECT_EQ(m.live, 1);
}

TEST(SSEAdpcmStream, StopAndReset) {
  const Encoded a = encode(5000), b = encode(600);
  FakeManager m;
  m.files[1] = kvtools::adpcmFile(8000, a.nibbles, a.initial, 0);
  m.files[2] = kvtools::adpcmFile(8000, b.nibbles, b.initial, 0);
  SSEAdpcmStream s(&m);
  s.open(1);
  s.stop();
  EXPECT_TRUE(s.isEnded());
  EXPECT_FALSE(s.isPlaying());
  EXPECT_FALSE(s.isActive());
  EXPECT_EQ(s.decoded(), 0u);
  EXPECT_EQ(s.pump(), 0u);
  // reset goes back to the start of the same resource.
  s.reset();
  EXPECT_FALSE(s.isEnded());
  EXPECT_EQ(s.position(), 0u);
  EXPECT_EQ(drain(s), std::vector<int16_t>(a.samples.begin(), a.samples.end()));
  // A request made while active is taken after a stop.
  s.open(1);
  s.request(2);
  s.stop();
  EXPECT_EQ(s.pump(), 600u);
  EXPECT_EQ(std::vector<int16_t>(s.output(), s.output() + 600), b.samples);
}

}  // namespace
