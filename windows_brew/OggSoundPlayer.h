// The sound player: Ogg Vorbis files decoded whole to 16-bit PCM at load time,
// played on four waveOut channels, once or looping.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "wince/mmsystem.h"
#include "wince/threads.h"

class OggSoundPlayer;
struct OggDecoder;

// One per playing channel; lives in the header's user field until the
// completion routine deletes it.
struct PlaybackContext {
  std::atomic<uint8_t> loop{0};
  int32_t channel = 0;
  OggSoundPlayer* player = nullptr;
  std::atomic<uint8_t> stopping{0};
};

class OggSoundPlayer {
 public:
  static constexpr int kChannels = 4;
  static constexpr int kReadChunk = 8192;
  static constexpr int kRootReadChunk = 4096;
  // PCM handed to a channel starts this far in and leaves this much unplayed.
  static constexpr uint32_t kLeadIn = 44;
  static constexpr uint32_t kUnplayed = 444;
  // Larger sound files, or sounds that decode to more PCM, are refused: the
  // game's longest piece is a small part of either.
  static constexpr int64_t kMaxFileBytes = 8 << 20;
  static constexpr int64_t kMaxPcmBytes = 16 << 20;

  OggSoundPlayer();
  ~OggSoundPlayer();
  OggSoundPlayer(const OggSoundPlayer&) = delete;
  OggSoundPlayer& operator=(const OggSoundPlayer&) = delete;

  uint8_t** setCapacity(int count);
  int play(int id, int loop);
  void stop(int id);
  void stopAll();
  int isAnyPlaying() const;
  int isPlaying(int id) const;
  int findFreeChannel();
  void freeChannel(int channel);
  void setVolume(int percent);
  void changeVolume(int delta);
  void applyVolume(uint32_t packed);
  uint32_t getVolume() const { return m_volume; }
  void restoreVolumes();
  int supportsVolume(UINT device);
  void closeAll();

  // Inspection (tests and the loaders).
  int loadedCount() const { return m_loadedCount; }
  int capacity() const { return m_capacity; }
  uint32_t slotSize(int slot) const;
  const uint8_t* slotData(int slot) const;
  const WAVEFORMATEX& format() const { return m_format; }
  bool channelsOpen() const { return m_channelsOpen != 0; }
  int volumePercent() const { return m_volumePercent; }
  int playingId(int channel);
  HWAVEOUT channelHandle(int channel) const { return m_handles[channel]; }
  WAVEHDR* channelHeader(int channel);

 private:
  friend int getOggSounds(OggSoundPlayer*, const WCHAR* const*, int, int);
  friend int getOggSoundsFromRoot(OggSoundPlayer*, const WCHAR* const*, int, int);
  friend void waveOutDoneCallback(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

  void openChannels(bool fromRoot);
  // Takes pcm (a block of the memory tracker's, or null) as the slot's.
  void adoptSlot(int slot, uint8_t* pcm, uint32_t size);
  void setFormat(int channels, long rate);
  void stopChannels(int id, bool all);
  void waitUntilFree(int channel);

  int32_t m_channelsOpen = 0;
  int32_t m_loadedCount = 0;
  int32_t m_capacity = 0;
  uint32_t* m_sizes = nullptr;
  uint8_t** m_data = nullptr;
  uint32_t m_volume = 0;
  int32_t m_volumePercent = 0;
  HWAVEOUT m_handles[kChannels] = {};
  WAVEHDR* m_headers[kChannels] = {};
  uint32_t m_savedVolumes[kChannels] = {};
  int32_t m_playingIds[kChannels] = {-1, -1, -1, -1};
  uint8_t m_ownsData = 0;
  // The decoder, kept from one load to the next (main thread only).
  std::unique_ptr<OggDecoder> m_decoder;
  WAVEFORMATEX m_format{};
  bool m_formatSet = false;
  // Guards the channel slots against the completion routine; never held
  // while waiting for the audio thread.
  mutable std::mutex m_lock;
};

// Loads `count` files from the install folder into the slots from the loaded
// count on, opening the channels if needed. Returns the number decoded.
int getOggSounds(OggSoundPlayer* player, const WCHAR* const* names, int count, int installFolderFlag);
// Reloads the whole table from the shell's root path.
int getOggSoundsFromRoot(OggSoundPlayer* player, const WCHAR* const* names, int count, int rootPathFlag);
// The completion routine given to waveOutOpen.
void waveOutDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

// Looks a sound file over without decoding it: it is there, is a file of at
// most maxFile bytes that reads whole, every page of it is an Ogg page whose
// checksum holds, in its place from the stream's first page to its last,
// the stream starts with the Vorbis headers, has one or two channels at a
// usable rate, and decodes to at most maxPcm bytes. Empty when it will do,
// else what is wrong with it, said of the file ("is too large: ...",
// "cannot be read" for a read that fails).
std::string checkOggFile(const char* path, int64_t maxFile = OggSoundPlayer::kMaxFileBytes,
                         int64_t maxPcm = OggSoundPlayer::kMaxPcmBytes);
// The same for a sound of the install folder, where getOggSounds looks.
std::string checkOggSound(const WCHAR* name);
// The checksum an Ogg page of `length` bytes (header and body) carries in
// its bytes 22-25 (those bytes count as zeros).
uint32_t oggPageChecksum(const uint8_t* page, std::size_t length);

// Where the root-path loader finds its files (the shell's root path, wide).
// Set by the shell; tests may point it elsewhere.
void setSoundRootPath(const WCHAR* root);

// Decodes a whole file on a worker thread.
class OggLoaderThread {
 public:
  OggLoaderThread() = default;
  virtual ~OggLoaderThread() = default;
  virtual void run();

  HANDLE_THREAD start();
  static DWORD threadEntry(void* object);

  uint32_t m_spare = 0;
  HANDLE_THREAD m_thread = nullptr;
  DWORD m_threadId = 0;
  int32_t m_pauseMs = 0;
  WAVEFORMATEX* m_format = nullptr;
  WAVEHDR* m_header = nullptr;
  char m_path[260] = {};
  int32_t m_totalBytes = 0;
  std::atomic<int32_t> m_done{0};
  int32_t m_result = 0;
};
