#include "windows_brew/OggSoundPlayer.h"

#include <tremor/ivorbisfile.h>

#include <chrono>
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

// Length of an open file (the position goes back to the start); -1 when it
// cannot be told.
long lengthOf(FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long n = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  return n;
}

// Decodes a whole file; false when it cannot be opened, is larger than the
// player takes, or its data stops decoding, has a gap or gives another
// length than the stream states.
bool decodeFile(const std::string& path, int chunk, std::vector<uint8_t>* pcm, int* channels, long* rate,
                int32_t pauseMs = 0, int32_t* total = nullptr) {
  FILE* f = ceFopen(path.c_str(), "rb");
  if (!f) return false;
  const long length = lengthOf(f);
  OggVorbis_File vf;
  if (length < 0 || length > OggSoundPlayer::kMaxFileBytes || ov_open(f, &vf, nullptr, 0) < 0) {
    std::fclose(f);
    return false;
  }
  vorbis_info* vi = ov_info(&vf, -1);
  *channels = vi ? vi->channels : 0;
  *rate = vi ? vi->rate : 0;
  // What the stream's last page says it holds: a page lost on the way
  // leaves less.
  const ogg_int64_t samples = ov_pcm_total(&vf, -1);
  std::vector<char> buffer(static_cast<std::size_t>(chunk));
  int section = 0;
  bool ok = true;
  for (;;) {
    long n = ov_read(&vf, buffer.data(), chunk, &section);
    // A hole is a page that failed its check or went missing: damage.
    if (n < 0 || static_cast<int64_t>(pcm->size()) + n > OggSoundPlayer::kMaxPcmBytes) ok = false;
    if (n <= 0 || !ok) break;
    pcm->insert(pcm->end(), buffer.begin(), buffer.begin() + n);
    if (total) *total += static_cast<int32_t>(n);
    if (pauseMs >= 1) Sleep(static_cast<DWORD>(pauseMs));
  }
  ov_clear(&vf);
  if (pcm->empty() || (samples >= 0 && static_cast<int64_t>(pcm->size()) != samples * 2 * *channels)) ok = false;
  if (!ok) pcm->clear();
  return ok;
}

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

namespace {

// Whether the file ends with the last page of its stream: an Ogg page
// ("OggS", version 0, the end-of-stream flag) that ends where the file does.
// A file cut short ends inside a page or after one that is not the last.
bool endsWithLastPage(FILE* f, long length) {
  constexpr long kMaxPage = 27 + 255 + 255 * 255;
  const long tail = length < kMaxPage ? length : kMaxPage;
  std::vector<uint8_t> bytes(static_cast<std::size_t>(tail));
  if (std::fseek(f, length - tail, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    std::fseek(f, 0, SEEK_SET);
    return false;
  }
  std::fseek(f, 0, SEEK_SET);
  for (long at = tail - 27; at >= 0; --at) {
    const uint8_t* p = bytes.data() + at;
    if (std::memcmp(p, "OggS", 4) != 0 || p[4] != 0) continue;
    const long segments = p[26];
    if (at + 27 + segments > tail) continue;
    long size = 27 + segments;
    for (long i = 0; i < segments; ++i) size += p[27 + i];
    if (at + size == tail) return (p[5] & 0x04) != 0;
  }
  return false;
}

}  // namespace

std::string checkOggFile(const char* path, int64_t maxFile, int64_t maxPcm) {
  constexpr int64_t kMiB = 1 << 20;
  auto megabytes = [](int64_t bytes) { return std::to_string((bytes + kMiB - 1) / kMiB) + " MB"; };
  const int kind = ceFileKind(path);
  if (kind == kCeFileNone) return "is missing";
  FILE* f = ceFopen(path, "rb");
  if (!f) return kind == kCeFileOther ? "is not a file" : "cannot be read";
  const long length = lengthOf(f);
  if (length == 0) {
    std::fclose(f);
    return "is empty";
  }
  if (length < 0 || length > maxFile) {
    std::fclose(f);
    return "is too large: " + megabytes(length) + ", at most " + megabytes(maxFile);
  }
  if (!endsWithLastPage(f, length)) {
    std::fclose(f);
    return "is cut short: its last page is missing";
  }
  OggVorbis_File vf;
  if (ov_open(f, &vf, nullptr, 0) < 0) {
    std::fclose(f);
    return "is damaged: it is not an Ogg Vorbis sound";
  }
  std::string problem;
  const vorbis_info* vi = ov_info(&vf, -1);
  const ogg_int64_t samples = ov_pcm_total(&vf, -1);
  if (!vi || vi->channels < 1 || vi->channels > 2 || vi->rate < 1000 || vi->rate > 192000) {
    problem = "is damaged: it is not a sound this game plays";
  } else if (samples < 0) {
    problem = "is damaged: its length cannot be read";
  } else if (samples > maxPcm / (2 * vi->channels)) {
    problem = "is too large: it decodes to " + megabytes(samples * 2 * vi->channels) + ", at most " + megabytes(maxPcm);
  }
  ov_clear(&vf);
  return problem;
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

void OggSoundPlayer::storeSlot(int slot, const uint8_t* pcm, uint32_t size) {
  if (!m_data || slot < 0 || slot >= m_capacity) return;
  delete[] m_data[slot];
  m_data[slot] = nullptr;
  m_sizes[slot] = 0;
  if (!pcm) return;
  // Recorded by the memory tracker, like the game's own resources.
  m_data[slot] = new ("OggSoundPlayer", __LINE__, nullptr) uint8_t[size ? size : 1];
  if (!m_data[slot]) return;
  std::memcpy(m_data[slot], pcm, size);
  m_sizes[slot] = size;
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
    std::vector<uint8_t> pcm;
    int channels = 0;
    long rate = 0;
    if (!installFolderFlag || !decodeFile(path, OggSoundPlayer::kReadChunk, &pcm, &channels, &rate)) {
      std::printf("\n");
      std::printf("\nFAIL getOggSounds: Cannot open ogg file %s", path.c_str());
      p->storeSlot(slot, nullptr, 0);
      continue;
    }
    // The first call's files set the format; later calls only while none
    // has been set yet (the first file may be missing).
    if ((firstCall || !p->m_formatSet) && channels > 0 && rate > 0) p->setFormat(channels, rate);
    p->storeSlot(slot, pcm.data(), static_cast<uint32_t>(pcm.size()));
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
    std::vector<uint8_t> pcm;
    int channels = 0;
    long rate = 0;
    if (!rootPathFlag || !decodeFile(path, OggSoundPlayer::kRootReadChunk, &pcm, &channels, &rate)) {
      fail("getOggSounds: Cannot open ogg file %s", path.c_str());
      p->storeSlot(i, nullptr, 0);
      continue;
    }
    if ((i == 0 || !p->m_formatSet) && channels > 0 && rate > 0) p->setFormat(channels, rate);
    p->storeSlot(i, pcm.data(), static_cast<uint32_t>(pcm.size()));
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
  std::vector<uint8_t> pcm;
  int channels = 0;
  long rate = 0;
  m_path[sizeof m_path - 1] = 0;
  if (!decodeFile(m_path, OggSoundPlayer::kReadChunk, &pcm, &channels, &rate, m_pauseMs, &m_totalBytes)) {
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
  m_header->dwBufferLength = static_cast<DWORD>(pcm.size());
  m_header->lpData = new char[pcm.size() ? pcm.size() : 1];
  std::memcpy(m_header->lpData, pcm.data(), pcm.size());
  m_result = 0;
  m_done = 1;
}
