#include "windows_brew/OggSoundPlayer.h"

#include <tremor/ivorbiscodec.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "wince/crt.h"
#include "zul/memory/TrackedNew.h"

namespace {

const char kInstallFolder[] = "\\Program Files\\Pelloran\\Korvane\\";
std::u16string g_rootPath;

// Narrow path: each 16-bit unit cut to its low byte.
std::string narrowPath(const std::u16string& wide) {
  std::string out;
  out.reserve(wide.size());
  for (char16_t c : wide) out.push_back(static_cast<char>(c & 0xFF));
  return out;
}

std::u16string wideOf(const char* s) {
  std::u16string out;
  for (; *s; ++s) out.push_back(static_cast<unsigned char>(*s));
  return out;
}

std::u16string wideOf(const WCHAR* s) {
  std::u16string out;
  if (s)
    for (; *s; ++s) out.push_back(*s);
  return out;
}

// CRC-32 of an Ogg page: polynomial 0x04C11DB7, not reflected, starting
// at 0, over the page with its checksum field as zeros.
struct OggCrcTable {
  uint32_t entries[256];
  constexpr OggCrcTable() : entries() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int b = 0; b < 8; ++b) r = r & 0x80000000u ? r << 1 ^ 0x04C11DB7u : r << 1;
      entries[i] = r;
    }
  }
};
constexpr OggCrcTable kOggCrc;

uint32_t oggCrc(uint32_t crc, const uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) crc = crc << 8 ^ kOggCrc.entries[(crc >> 24 ^ p[i]) & 0xFF];
  return crc;
}

uint32_t le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// What the pages of a whole file say of its sound.
struct OggFacts {
  int channels = 0;
  long rate = 0;
  int64_t samples = -1;  // the last page's granule position
};

// The packets of a stream, their bytes one after another.
struct OggPackets {
  struct Packet {
    std::size_t at, size;
    int64_t granule;  // the page's, on the last packet that ends on it; else -1
    bool last;        // the stream's last
  };
  std::vector<uint8_t> bytes;
  std::vector<Packet> list;
};

std::string pageProblem(uint32_t page, const char* what) { return "is damaged: page " + std::to_string(page) + what; }

// Walks every page of a file held in memory, first byte to last: each an
// Ogg page (version 0) whose header and body lie inside the file and whose
// checksum holds, one after another with nothing between, of one stream in
// sequence, the first starting it and only the last ending it; the first
// three packets are the Vorbis headers. Empty when all holds, else what is
// wrong ("is cut short: ...", "is damaged: ..."). With `packets`, every
// packet is gathered there.
std::string walkOggPages(const std::vector<uint8_t>& file, OggFacts& facts, OggPackets* packets = nullptr) {
  constexpr std::size_t kHeader = 27;
  const std::size_t size = file.size();
  // The first bytes of the three header packets, gathered across pages.
  uint8_t heads[3][30] = {};
  std::size_t headLength[3] = {};
  std::size_t packet = 0, packetStart = 0;
  bool inPacket = false, ended = false;
  uint32_t serial = 0, sequence = 0;
  std::size_t at = 0;
  if (packets) {
    packets->bytes.clear();
    packets->bytes.reserve(size);
    packets->list.clear();
  }
  for (uint32_t page = 0; at < size; ++page) {
    const uint8_t* p = file.data() + at;
    if (ended) return "is damaged: it goes on after its last page";
    const bool isPage = size - at >= 5 && std::memcmp(p, "OggS", 4) == 0 && p[4] == 0;
    if (!isPage && (size - at >= 5 || page == 0))
      return page == 0 ? "is damaged: it is not an Ogg Vorbis sound" : pageProblem(page, " is not an Ogg page");
    if (size - at < kHeader || size - at < kHeader + p[26]) return "is cut short: its last page is missing";
    const std::size_t segments = p[26];
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i) body += p[kHeader + i];
    const std::size_t length = kHeader + segments + body;
    if (length > size - at) return "is cut short: its last page is missing";
    if (oggPageChecksum(p, length) != le32(p + 22)) return pageProblem(page, " fails its checksum");
    const uint8_t flags = p[5];
    if (page == 0) {
      serial = le32(p + 14);
      sequence = le32(p + 18);
      if (!(flags & 0x02)) return "is damaged: it is not an Ogg Vorbis sound";
    } else if ((flags & 0x02) || le32(p + 14) != serial || le32(p + 18) != ++sequence) {
      return pageProblem(page, " is out of its place");
    }
    // A continued packet on a page that follows a finished one, or none on
    // one that should carry it on, is a page lost between.
    if (((flags & 0x01) != 0) != inPacket) return pageProblem(page, " is out of its place");
    int64_t granule = 0;
    for (int b = 7; b >= 0; --b) granule = granule << 8 | p[6 + b];
    const uint8_t* data = p + kHeader + segments;
    const std::size_t firstOnPage = packets ? packets->list.size() : 0;
    for (std::size_t i = 0; i < segments; ++i) {
      const std::size_t lace = p[kHeader + i];
      if (packet < 3) {
        const std::size_t take = std::min(lace, sizeof heads[0] - headLength[packet]);
        std::memcpy(heads[packet] + headLength[packet], data, take);
        headLength[packet] += take;
      }
      if (packets) packets->bytes.insert(packets->bytes.end(), data, data + lace);
      data += lace;
      inPacket = lace == 255;
      if (inPacket) continue;
      ++packet;
      if (packets) {
        packets->list.push_back({packetStart, packets->bytes.size() - packetStart, -1, false});
        packetStart = packets->bytes.size();
      }
    }
    ended = (flags & 0x04) != 0;
    if (packets && packets->list.size() > firstOnPage) {
      packets->list.back().granule = granule;
      packets->list.back().last = ended;
    }
    if (ended) facts.samples = granule;
    at += length;
  }
  if (at == 0 || !ended) return "is cut short: its last page is missing";
  static const char* kSignature = "vorbis";
  const uint8_t* id = heads[0];
  if (packet < 3 || headLength[0] < 30 || id[0] != 1 || std::memcmp(id + 1, kSignature, 6) != 0 || le32(id + 7) != 0 ||
      heads[1][0] != 3 || std::memcmp(heads[1] + 1, kSignature, 6) != 0 || heads[2][0] != 5 ||
      std::memcmp(heads[2] + 1, kSignature, 6) != 0)
    return "is damaged: it is not an Ogg Vorbis sound";
  facts.channels = id[11];
  facts.rate = static_cast<long>(le32(id + 12));
  return std::string();
}

// Reads a whole sound file (at most maxFile bytes) into `bytes`. Empty
// when it did, else what is wrong: a read that gives less than the file
// holds is an I/O error.
std::string readSoundFile(const char* path, int64_t maxFile, std::vector<uint8_t>& bytes) {
  constexpr int64_t kMiB = 1 << 20;
  auto megabytes = [](int64_t n) { return std::to_string((n + kMiB - 1) / kMiB) + " MB"; };
  const int kind = ceFileKind(path);
  if (kind == kCeFileNone) return "is missing";
  FILE* f = ceFopen(path, "rb");
  if (!f) return kind == kCeFileOther ? "is not a file" : "cannot be read";
  int64_t length = -1;
  if (::fseeko(f, 0, SEEK_END) == 0) length = ::ftello(f);
  std::string problem;
  if (length < 0 || ::fseeko(f, 0, SEEK_SET) != 0) {
    problem = "cannot be read";
  } else if (length == 0) {
    problem = "is empty";
  } else if (length > maxFile) {
    problem = "is too large: " + megabytes(length) + ", at most " + megabytes(maxFile);
  } else {
    bytes.resize(static_cast<std::size_t>(length));
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) problem = "cannot be read";
  }
  std::fclose(f);
  if (!problem.empty()) bytes.clear();
  return problem;
}

}  // namespace

// A Vorbis decoder kept from one sound to the next: a sound whose headers
// are those of the one before (the game's are all alike) starts over on its
// set-up, which is most of the cost of decoding a short sound.
struct OggDecoder {
  vorbis_info info{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};

  OggDecoder() { vorbis_info_init(&info); }
  ~OggDecoder() {
    clear();
    vorbis_info_clear(&info);
  }
  OggDecoder(const OggDecoder&) = delete;
  OggDecoder& operator=(const OggDecoder&) = delete;

  // Ready for a stream with these three header packets; false when they do
  // not decode.
  bool prepare(const ogg_packet (&headers)[3]) {
    auto same = [](const std::vector<uint8_t>& kept, const ogg_packet& op) {
      return kept.size() == static_cast<std::size_t>(op.bytes) && std::memcmp(kept.data(), op.packet, kept.size()) == 0;
    };
    if (ready_ && same(identity_, headers[0]) && same(setup_, headers[2])) return vorbis_synthesis_restart(&dsp) == 0;
    clear();
    vorbis_info_clear(&info);
    vorbis_info_init(&info);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    bool ok = true;
    for (const ogg_packet& h : headers)
      ok = ok && vorbis_synthesis_headerin(&info, &comment, const_cast<ogg_packet*>(&h)) == 0;
    vorbis_comment_clear(&comment);
    if (!ok || vorbis_synthesis_init(&dsp, &info) != 0) return false;
    vorbis_block_init(&dsp, &block);
    ready_ = true;
    identity_.assign(headers[0].packet, headers[0].packet + headers[0].bytes);
    setup_.assign(headers[2].packet, headers[2].packet + headers[2].bytes);
    return true;
  }

 private:
  void clear() {
    if (ready_) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    ready_ = false;
  }
  bool ready_ = false;
  std::vector<uint8_t> identity_, setup_;
};

namespace {

// Where a decoded sound goes: a buffer of the bytes its stream states, from
// the caller's allocator.
struct PcmBuffer {
  uint8_t* (*allocate)(std::size_t bytes);
  void (*release)(uint8_t* data);
  uint8_t* data = nullptr;
  std::size_t size = 0;
};

ogg_packet packetOf(OggPackets& packets, std::size_t i) {
  const OggPackets::Packet& k = packets.list[i];
  ogg_packet op{};
  op.packet = packets.bytes.data() + k.at;
  op.bytes = static_cast<long>(k.size);
  op.b_o_s = i == 0;
  op.e_o_s = k.last;
  op.granulepos = k.granule;
  op.packetno = static_cast<ogg_int64_t>(i);
  return op;
}

// Decodes a whole file into pcm; false (and nothing kept) when it cannot be
// read, is larger than the player takes, any of its pages is damaged or
// missing, or its data does not decode, or gives more than the stream
// states. Output goes in pieces of at most `chunk` bytes, each followed by
// the pause.
bool decodeFile(const std::string& path, int chunk, PcmBuffer& pcm, int* channels, long* rate,
                OggDecoder* decoder = nullptr, int32_t pauseMs = 0, int32_t* total = nullptr) {
  std::vector<uint8_t> bytes;
  OggFacts facts;
  OggPackets packets;
  if (!readSoundFile(path.c_str(), OggSoundPlayer::kMaxFileBytes, bytes).empty() ||
      !walkOggPages(bytes, facts, &packets).empty())
    return false;
  OggDecoder own;
  OggDecoder& d = decoder ? *decoder : own;
  ogg_packet headers[3] = {packetOf(packets, 0), packetOf(packets, 1), packetOf(packets, 2)};
  if (!d.prepare(headers)) return false;
  *channels = d.info.channels;
  *rate = d.info.rate;
  const int64_t frameBytes = 2 * int64_t{d.info.channels};
  if (d.info.channels < 1 || facts.samples <= 0 || facts.samples > OggSoundPlayer::kMaxPcmBytes / frameBytes)
    return false;
  const std::size_t want = static_cast<std::size_t>(facts.samples * frameBytes);
  uint8_t* out = pcm.allocate(want);
  if (!out) return false;
  std::size_t have = 0;
  bool ok = true;
  for (std::size_t i = 3; i < packets.list.size() && ok; ++i) {
    ogg_packet op = packetOf(packets, i);
    // A packet that does not decode is damage (skipping it would leave the
    // sound short).
    if (vorbis_synthesis(&d.block, &op) != 0 || vorbis_synthesis_blockin(&d.dsp, &d.block) != 0) {
      ok = false;
      break;
    }
    ogg_int32_t** planes = nullptr;
    for (int n; ok && (n = vorbis_synthesis_pcmout(&d.dsp, &planes)) > 0;) {
      const int piece = std::min(n, std::max(1, static_cast<int>(chunk / frameBytes)));
      if (static_cast<std::size_t>(piece * frameBytes) > want - have) {
        ok = false;
        break;
      }
      // Interleaved 16-bit samples of the decoder's fixed point, clipped.
      auto* to = reinterpret_cast<int16_t*>(out + have);
      for (int c = 0; c < d.info.channels; ++c) {
        const ogg_int32_t* from = planes[c];
        for (int k = 0; k < piece; ++k) {
          const ogg_int32_t v = from[k] >> 9;
          to[k * d.info.channels + c] = static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
        }
      }
      vorbis_synthesis_read(&d.dsp, piece);
      have += static_cast<std::size_t>(piece * frameBytes);
      if (total) *total += static_cast<int32_t>(piece * frameBytes);
      if (pauseMs >= 1) Sleep(static_cast<DWORD>(pauseMs));
    }
  }
  if (ok && have > 0) {
    pcm.data = out;
    pcm.size = have;
    return true;
  }
  pcm.release(out);
  return false;
}

// Slots hold their PCM in the memory tracker's blocks, like the game's own
// resources.
uint8_t* newSlotData(std::size_t bytes) { return new ("OggSoundPlayer", __LINE__, nullptr) uint8_t[bytes]; }
void deleteSlotData(uint8_t* data) { delete[] data; }

// Held while a completion reaches its player and while a closing player
// lets go of the buffers the device still holds.
std::mutex& handOverLock() {
  static std::mutex m;
  return m;
}

void printResult(MMRESULT r) {
  std::printf("\n");
  switch (r) {
    case MMSYSERR_NOERROR: std::printf("MMSYSERR_NOERROR"); break;
    case MMSYSERR_INVALHANDLE: std::printf("MMSYSERR_INVALHANDLE"); break;
    case MMSYSERR_NODRIVER: std::printf("MMSYSERR_NODRIVER"); break;
    case MMSYSERR_NOMEM: std::printf("MMSYSERR_NOMEM"); break;
    default: std::printf("UNKNOW ERROR"); break;
  }
}

}  // namespace

void setSoundRootPath(const WCHAR* root) { g_rootPath = wideOf(root); }

std::string checkOggFile(const char* path, int64_t maxFile, int64_t maxPcm) {
  constexpr int64_t kMiB = 1 << 20;
  auto megabytes = [](int64_t bytes) { return std::to_string((bytes + kMiB - 1) / kMiB) + " MB"; };
  // Every page is looked over (shape and checksum) and the stream's headers
  // and length are read from them; the decoder itself runs when the sound
  // loads.
  std::vector<uint8_t> bytes;
  std::string problem = readSoundFile(path, maxFile, bytes);
  OggFacts facts;
  if (problem.empty()) problem = walkOggPages(bytes, facts);
  if (!problem.empty()) return problem;
  if (facts.channels < 1 || facts.channels > 2 || facts.rate < 1000 || facts.rate > 192000)
    return "is damaged: it is not a sound this game plays";
  if (facts.samples < 0) return "is damaged: its length cannot be read";
  if (facts.samples > maxPcm / (2 * facts.channels))
    return "is too large: it decodes to " + megabytes(facts.samples * 2 * facts.channels) + ", at most " +
           megabytes(maxPcm);
  return std::string();
}

uint32_t oggPageChecksum(const uint8_t* page, std::size_t length) {
  static const uint8_t kZeros[4] = {};
  if (length < 26) return 0;
  uint32_t crc = oggCrc(0, page, 22);
  crc = oggCrc(crc, kZeros, 4);
  return oggCrc(crc, page + 26, length - 26);
}

std::string checkOggSound(const WCHAR* name) {
  return checkOggFile(narrowPath(wideOf(kInstallFolder) + wideOf(name)).c_str());
}

OggSoundPlayer::OggSoundPlayer() = default;

OggSoundPlayer::~OggSoundPlayer() {
  restoreVolumes();
  closeAll();
}

uint8_t** OggSoundPlayer::setCapacity(int count) {
  if (m_data || m_sizes) closeAll();
  if (count < 0) count = 0;
  m_loadedCount = 0;
  m_channelsOpen = 0;
  m_capacity = count;
  m_sizes = new uint32_t[static_cast<std::size_t>(count)]();
  m_data = new uint8_t*[static_cast<std::size_t>(count)]();
  return m_data;
}

uint32_t OggSoundPlayer::slotSize(int slot) const {
  return m_sizes && slot >= 0 && slot < m_capacity ? m_sizes[slot] : 0;
}

const uint8_t* OggSoundPlayer::slotData(int slot) const {
  return m_data && slot >= 0 && slot < m_capacity ? m_data[slot] : nullptr;
}

void OggSoundPlayer::adoptSlot(int slot, uint8_t* pcm, uint32_t size) {
  if (!m_data || slot < 0 || slot >= m_capacity) {
    deleteSlotData(pcm);
    return;
  }
  delete[] m_data[slot];
  m_data[slot] = pcm;
  m_sizes[slot] = pcm ? size : 0;
}

void OggSoundPlayer::setFormat(int channels, long rate) {
  m_format.wFormatTag = WAVE_FORMAT_PCM;
  m_format.nChannels = static_cast<WORD>(channels);
  m_format.nSamplesPerSec = static_cast<DWORD>(rate);
  m_format.wBitsPerSample = 16;
  m_format.nBlockAlign = static_cast<WORD>(channels * 2);
  m_format.nAvgBytesPerSec = static_cast<DWORD>(rate) * m_format.nBlockAlign;
  m_format.cbSize = 18;
  m_formatSet = true;
}

void OggSoundPlayer::openChannels(bool fromRoot) {
  auto fail = [&](const char* what, MMRESULT r) {
    if (fromRoot) {
      std::printf("\n");
      std::printf("FAIL\n");
      std::printf("\n");
      std::printf(what, r);
    } else {
      std::printf("\n");
      std::printf(what, r);
    }
  };
  bool all = true;
  for (int c = 0; c < kChannels; ++c) {
    if (m_handles[c]) continue;  // already open
    HWAVEOUT h = nullptr;
    MMRESULT r = waveOutOpen(&h, WAVE_MAPPER, &m_format, reinterpret_cast<DWORD_PTR>(&waveOutDoneCallback), 0,
                             CALLBACK_FUNCTION);
    if (r != MMSYSERR_NOERROR) {
      fail(fromRoot ? "getOggSounds: waveOutOpen error: %d" : "\n FAIL getOggSounds: waveOutOpen error: %d", r);
      all = false;
      continue;
    }
    {
      std::lock_guard<std::mutex> g(m_lock);
      m_handles[c] = h;
      m_headers[c] = nullptr;
    }
    DWORD v = 0;
    MMRESULT vr = waveOutGetVolume(h, &v);
    if (vr != MMSYSERR_NOERROR) {
      fail(fromRoot ? "getOggSounds: waveOutGetVolume error: %d" : "\nFAIL getOggSounds: waveOutGetVolume error: %d",
           vr);
    } else {
      m_savedVolumes[c] = v;
    }
  }
  // Only a complete set counts as open; a later load retries the rest.
  if (!fromRoot && all) m_channelsOpen = 1;
}

int getOggSounds(OggSoundPlayer* p, const WCHAR* const* names, int count, int installFolderFlag) {
  p->m_ownsData = 1;
  const bool firstCall = p->m_loadedCount == 0;
  int decoded = 0;
  for (int i = 0; i < count; ++i) {
    int slot = p->m_loadedCount + i;
    std::u16string wide = installFolderFlag ? wideOf(kInstallFolder) : std::u16string();
    wide += wideOf(names[i]);
    std::string path = narrowPath(wide);
    std::printf("\n");
    std::printf("getOggSounds Openning %s", path.c_str());
    PcmBuffer pcm{newSlotData, deleteSlotData};
    int channels = 0;
    long rate = 0;
    if (!p->m_decoder) p->m_decoder = std::make_unique<OggDecoder>();
    if (!installFolderFlag || !decodeFile(path, OggSoundPlayer::kReadChunk, pcm, &channels, &rate, p->m_decoder.get())) {
      std::printf("\n");
      std::printf("\nFAIL getOggSounds: Cannot open ogg file %s", path.c_str());
      p->adoptSlot(slot, nullptr, 0);
      continue;
    }
    // The first call's files set the format; later calls only while none
    // has been set yet (the first file may be missing).
    if ((firstCall || !p->m_formatSet) && channels > 0 && rate > 0) p->setFormat(channels, rate);
    p->adoptSlot(slot, pcm.data, static_cast<uint32_t>(pcm.size));
    ++decoded;
  }
  p->m_loadedCount += count;
  if (!p->m_channelsOpen) {
    if (waveOutGetNumDevs() == 0) {
      std::printf("\n");
      std::printf("\nFAIL getOggSounds: No wave out device present.");
      return decoded;
    }
    if (p->m_formatSet) p->openChannels(false);
  }
  p->m_volume = 0xFFFFFFFFu;
  p->m_volumePercent = 100;
  p->applyVolume(0xFFFFFFFFu);
  return decoded;
}

int getOggSoundsFromRoot(OggSoundPlayer* p, const WCHAR* const* names, int count, int rootPathFlag) {
  p->m_ownsData = 1;
  if (p->m_data || p->m_sizes) p->closeAll();
  p->m_capacity = count < 0 ? 0 : count;
  p->m_sizes = new uint32_t[static_cast<std::size_t>(p->m_capacity)]();
  p->m_data = new uint8_t*[static_cast<std::size_t>(p->m_capacity)]();
  auto fail = [](const char* what, const char* arg) {
    std::printf("\n");
    std::printf("FAIL\n");
    std::printf("\n");
    std::printf(what, arg);
  };
  int decoded = 0;
  for (int i = 0; i < count; ++i) {
    std::u16string wide = rootPathFlag ? g_rootPath : std::u16string();
    wide += wideOf(names[i]);
    std::string path = narrowPath(wide);
    PcmBuffer pcm{newSlotData, deleteSlotData};
    int channels = 0;
    long rate = 0;
    if (!p->m_decoder) p->m_decoder = std::make_unique<OggDecoder>();
    if (!rootPathFlag ||
        !decodeFile(path, OggSoundPlayer::kRootReadChunk, pcm, &channels, &rate, p->m_decoder.get())) {
      fail("getOggSounds: Cannot open ogg file %s", path.c_str());
      p->adoptSlot(i, nullptr, 0);
      continue;
    }
    if ((i == 0 || !p->m_formatSet) && channels > 0 && rate > 0) p->setFormat(channels, rate);
    p->adoptSlot(i, pcm.data, static_cast<uint32_t>(pcm.size));
    ++decoded;
  }
  if (waveOutGetNumDevs() == 0) {
    fail("getOggSounds: No wave out device present.%s", "");
    return decoded;
  }
  if (p->m_formatSet) p->openChannels(true);
  p->m_volume = 0xFFFFFFFFu;
  p->m_volumePercent = 100;
  p->applyVolume(0xFFFFFFFFu);
  return decoded;
}

int OggSoundPlayer::findFreeChannel() {
  for (int c = 0; c < kChannels; ++c)
    if (m_handles[c] && !m_headers[c]) return c;
  return -1;
}

void OggSoundPlayer::freeChannel(int channel) {
  if (channel < 0 || channel >= kChannels) return;
  WAVEHDR* h;
  {
    std::lock_guard<std::mutex> g(m_lock);
    h = m_headers[channel];
    if (!h) return;
    m_headers[channel] = nullptr;
    m_playingIds[channel] = -1;
  }
  delete h;
}

int OggSoundPlayer::play(int id, int loop) {
  int c;
  {
    std::lock_guard<std::mutex> g(m_lock);
    c = findFreeChannel();
  }
  if (c < 0) {
    // Every channel busy: free them all through the device (reset, the
    // completion routine deletes each header), and play nothing.
    stopChannels(-1, true);
    for (int i = 0; i < kChannels; ++i) waitUntilFree(i);
    return 1;
  }
  // An empty or too short slot has nothing to play.
  if (id < 0 || id >= m_capacity || !m_data || !m_data[id] || m_sizes[id] <= kUnplayed) return 0;

  auto* hdr = new WAVEHDR();
  auto* ctx = new PlaybackContext();
  ctx->loop = static_cast<uint8_t>(loop & 0xFF);
  ctx->channel = c;
  ctx->player = this;
  hdr->lpData = reinterpret_cast<char*>(m_data[id] + kLeadIn);
  hdr->dwBufferLength = m_sizes[id] - kUnplayed;
  hdr->dwUser = reinterpret_cast<DWORD_PTR>(ctx);
  {
    std::lock_guard<std::mutex> g(m_lock);
    m_headers[c] = hdr;
    m_playingIds[c] = id;
  }
  MMRESULT r = waveOutPrepareHeader(m_handles[c], hdr, sizeof(WAVEHDR));
  printResult(r);
  if (r == MMSYSERR_NOERROR) {
    if (waveOutWrite(m_handles[c], hdr, sizeof(WAVEHDR)) == MMSYSERR_NOERROR) return 1;
    waveOutUnprepareHeader(m_handles[c], hdr, sizeof(WAVEHDR));
  }
  // A failed prepare or write gives the channel back at once.
  freeChannel(c);
  delete ctx;
  return 0;
}

void OggSoundPlayer::stopChannels(int id, bool all) {
  for (int c = 0; c < kChannels; ++c) {
    HWAVEOUT h = nullptr;
    {
      std::lock_guard<std::mutex> g(m_lock);
      WAVEHDR* hdr = m_headers[c];
      if (!hdr) continue;
      if (!all && m_playingIds[c] != id) continue;
      auto* ctx = reinterpret_cast<PlaybackContext*>(hdr->dwUser);
      ctx->loop = 0;
      ctx->stopping = 1;
      m_playingIds[c] = -1;
      h = m_handles[c];
    }
    if (h) waveOutReset(h);
  }
}

void OggSoundPlayer::stop(int id) { stopChannels(id, false); }

void OggSoundPlayer::stopAll() { stopChannels(-1, true); }

void OggSoundPlayer::waitUntilFree(int channel) {
  // The audio thread returns reset buffers within a few milliseconds.
  for (int i = 0; i < 2000; ++i) {
    {
      std::lock_guard<std::mutex> g(m_lock);
      if (!m_headers[channel]) return;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(250));
  }
}

int OggSoundPlayer::isAnyPlaying() const {
  std::lock_guard<std::mutex> g(m_lock);
  for (int c = 0; c < kChannels; ++c)
    if (m_headers[c]) return 1;
  return 0;
}

int OggSoundPlayer::isPlaying(int id) const {
  std::lock_guard<std::mutex> g(m_lock);
  for (int c = 0; c < kChannels; ++c)
    if (m_playingIds[c] == id && m_headers[c]) return 1;
  return 0;
}

int OggSoundPlayer::playingId(int channel) {
  std::lock_guard<std::mutex> g(m_lock);
  return channel >= 0 && channel < kChannels ? m_playingIds[channel] : -1;
}

WAVEHDR* OggSoundPlayer::channelHeader(int channel) {
  std::lock_guard<std::mutex> g(m_lock);
  return channel >= 0 && channel < kChannels ? m_headers[channel] : nullptr;
}

void OggSoundPlayer::setVolume(int percent) {
  uint32_t side = static_cast<uint32_t>(percent) * 65535u / 100u;
  applyVolume(side << 16 | side);
}

void OggSoundPlayer::changeVolume(int delta) {
  int v = m_volumePercent + delta;
  if (v < 0) v = 0;
  if (v > 100) v = 100;
  m_volumePercent = v;
  setVolume(v);
}

void OggSoundPlayer::applyVolume(uint32_t packed) {
  m_volume = packed;
  for (int c = 0; c < kChannels; ++c) {
    HWAVEOUT h;
    {
      std::lock_guard<std::mutex> g(m_lock);
      if (m_playingIds[c] == -1 && m_headers[c]) continue;
      h = m_handles[c];
    }
    if (h) waveOutSetVolume(h, packed);
  }
}

void OggSoundPlayer::restoreVolumes() {
  for (int c = 0; c < kChannels; ++c)
    if (m_handles[c]) waveOutSetVolume(m_handles[c], m_savedVolumes[c]);
}

int OggSoundPlayer::supportsVolume(UINT device) {
  WAVEOUTCAPSW caps{};
  if (waveOutGetDevCaps(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return 0;
  return (caps.dwSupport & WAVECAPS_VOLUME) ? 1 : 0;
}

void OggSoundPlayer::closeAll() {
  // Reset first so the device gives every buffer back before it is freed.
  stopAll();
  for (int c = 0; c < kChannels; ++c) {
    if (!m_handles[c]) continue;
    waitUntilFree(c);
    {
      // Not returned in time: the reset's completion is still on its way and
      // frees the buffer when it comes, without this player.
      std::lock_guard<std::mutex> o(handOverLock());
      std::lock_guard<std::mutex> g(m_lock);
      if (WAVEHDR* h = m_headers[c]) reinterpret_cast<PlaybackContext*>(h->dwUser)->player = nullptr;
      m_headers[c] = nullptr;
      m_playingIds[c] = -1;
    }
    if (waveOutClose(m_handles[c]) == MMSYSERR_NOERROR) m_handles[c] = nullptr;
  }
  m_channelsOpen = 0;
  // Loaded sounds are ours: a new capacity or reload frees the old ones.
  if (m_ownsData && m_data)
    for (int i = 0; i < m_capacity; ++i) {
      delete[] m_data[i];
      m_data[i] = nullptr;
    }
  delete[] m_data;
  m_data = nullptr;
  delete[] m_sizes;
  m_sizes = nullptr;
}

void waveOutDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR) {
  if (message != WOM_DONE) return;
  auto* hdr = reinterpret_cast<WAVEHDR*>(param1);
  auto* ctx = reinterpret_cast<PlaybackContext*>(hdr->dwUser);
  if (!ctx) return;
  // The player may close while this buffer is on its way back.
  std::lock_guard<std::mutex> o(handOverLock());
  if (!ctx->player) {
    delete ctx;
    delete hdr;
    return;
  }
  if (ctx->loop) {
    waveOutWrite(device, hdr, sizeof(WAVEHDR));
    return;
  }
  hdr->dwFlags |= WHDR_DONE;
  if (!ctx->stopping) waveOutUnprepareHeader(device, hdr, sizeof(WAVEHDR));
  ctx->stopping = 0;
  ctx->player->freeChannel(ctx->channel);
  delete ctx;
}

HANDLE_THREAD OggLoaderThread::start() {
  m_thread = CreateThread(nullptr, 0, &OggLoaderThread::threadEntry, this, 0, &m_threadId);
  return m_thread;
}

DWORD OggLoaderThread::threadEntry(void* object) {
  if (!object) return 0xFFFFFFFFu;
  static_cast<OggLoaderThread*>(object)->run();
  return 0;
}

void OggLoaderThread::run() {
  if (!m_format || !m_header) {
    m_result = -2;
    m_done = 1;
    return;
  }
  std::memset(m_format, 0, sizeof(WAVEFORMATEX));
  std::memset(m_header, 0, sizeof(WAVEHDR));
  // The header's buffer belongs to the caller once filled.
  PcmBuffer pcm{[](std::size_t bytes) { return reinterpret_cast<uint8_t*>(new char[bytes]); },
                [](uint8_t* data) { delete[] reinterpret_cast<char*>(data); }};
  int channels = 0;
  long rate = 0;
  m_path[sizeof m_path - 1] = 0;
  if (!decodeFile(m_path, OggSoundPlayer::kReadChunk, pcm, &channels, &rate, nullptr, m_pauseMs, &m_totalBytes)) {
    m_result = -1;
    m_done = 1;
    return;
  }
  m_format->wFormatTag = WAVE_FORMAT_PCM;
  m_format->nChannels = static_cast<WORD>(channels);
  m_format->nSamplesPerSec = static_cast<DWORD>(rate);
  m_format->nBlockAlign = static_cast<WORD>(channels * 2);
  m_format->nAvgBytesPerSec = static_cast<DWORD>(rate) * m_format->nBlockAlign;
  m_format->wBitsPerSample = 16;
  m_format->cbSize = 18;
  m_header->dwBufferLength = static_cast<DWORD>(pcm.size);
  m_header->lpData = reinterpret_cast<char*>(pcm.data);
  m_result = 0;
  m_done = 1;
}
