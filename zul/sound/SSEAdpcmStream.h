// Streams a mono IMA ADPCM 'S' file from a game resource in blocks of up to
// 2048 bytes, decoding each block to 16-bit samples.
//
// File (little-endian): 'S' at 0; u32 total ADPCM bytes at 20; u16 rate at
// 26; u16 loop start / 4 at 30; i16 initial predictor at 36; u8 initial step
// index at 38; two 4-bit codes per byte from 40, low nibble first.
#pragma once

#include <cstdint>

#include "zul/io/Stream.h"
#include "zul/resourcemanager/ResourceManager.h"
#include "zul/sound/SSEAdpcmDecoder.h"

class SSEAdpcmStream {
 public:
  static constexpr uint32_t kNoPending = UINT32_MAX;
  static constexpr uint32_t kInputSize = 2048;
  static constexpr uint32_t kOutputSize = 8192;
  static constexpr uint32_t kHeaderSize = 40;
  static constexpr uint16_t kFormatAdpcm = 2;

  explicit SSEAdpcmStream(ResourceManager* manager);
  virtual ~SSEAdpcmStream();
  SSEAdpcmStream(const SSEAdpcmStream&) = delete;
  SSEAdpcmStream& operator=(const SSEAdpcmStream&) = delete;

  // Closes the current stream, opens resource id and decodes its first block.
  void open(uint32_t id);
  // While a stream is active, id follows it once it ends; else it opens now.
  void request(uint32_t id);
  // Back to the start of the resource; reads the header of an 'S' file.
  void reset();
  void stop();
  // Samples decoded into output() by the next block; 0 once the stream ended
  // (a requested stream then starts at the next call).
  uint32_t pump();
  // Reads and decodes one block; bytes consumed.
  uint32_t refill();
  // Decodes count bytes of input into output.
  void decode(uint32_t count);

  void setLoop(bool loop) { m_loop = loop; }
  const int16_t* output() const { return m_output; }
  uint32_t decoded() const { return m_decoded; }
  bool isPlaying() const { return m_playing; }
  bool isActive() const { return m_active; }
  bool isEnded() const { return m_ended; }
  uint16_t format() const { return m_format; }
  uint32_t rate() const { return m_rate; }
  uint32_t total() const { return m_total; }
  uint32_t position() const { return m_position; }
  uint32_t loopStart() const { return m_loopStart; }
  uint32_t pendingId() const { return m_pendingId; }
  const SSEAdpcmState& currentState() const { return m_current; }

 private:
  void closeStream();
  // Opens id and reads its header, without decoding; false when there is no
  // stream.
  bool begin(uint32_t id);
  void clearState();

  ResourceManager* m_manager;
  uint32_t m_total = 0;
  uint32_t m_position = 0;
  uint32_t m_rate = 0;
  uint16_t m_format = 0;
  uint32_t m_pendingId = kNoPending;
  Stream* m_stream = nullptr;
  bool m_ended = false;
  bool m_loop = false;
  int16_t m_output[kOutputSize] = {};
  uint32_t m_decoded = 0;
  uint8_t m_input[kInputSize] = {};
  uint8_t m_header[36] = {};
  SSEAdpcmState m_initial;
  SSEAdpcmState m_current;
  SSEAdpcmState m_loopState;
  uint32_t m_dataOffset = kHeaderSize;
  uint32_t m_byteCounter = 0;
  bool m_playing = false;
  bool m_active = false;
  uint16_t m_volume = 127;
  uint32_t m_rateCopy = 0;
  uint32_t m_loopStart = 0;
  uint32_t m_totalCopy = 0;
};
