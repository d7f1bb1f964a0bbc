#include "zul/sound/SSEAdpcmStream.h"

#include <algorithm>

#include "zul/memory/Debug.h"

SSEAdpcmStream::SSEAdpcmStream(ResourceManager* manager) : m_manager(manager) {}

SSEAdpcmStream::~SSEAdpcmStream() { closeStream(); }

void SSEAdpcmStream::closeStream() {
  if (m_stream && m_manager) m_manager->close(m_stream);
  m_stream = nullptr;
}

void SSEAdpcmStream::clearState() {
  m_total = m_position = m_rate = 0;
  m_format = 0;
  m_ended = false;
  m_decoded = 0;
  m_initial = m_current = m_loopState = SSEAdpcmState{};
  m_byteCounter = 0;
  m_loopStart = 0;
}

bool SSEAdpcmStream::begin(uint32_t id) {
  closeStream();
  m_stream = m_manager ? m_manager->open(id) : nullptr;
  if (!m_stream) {
    clearState();
    m_playing = m_active = false;
    return false;
  }
  clearState();
  reset();
  m_playing = true;
  return true;
}

void SSEAdpcmStream::open(uint32_t id) {
  if (!begin(id)) return;
  // A stream that can be decoded is active until it runs out.
  m_active = m_format == kFormatAdpcm;
  pump();
}

void SSEAdpcmStream::request(uint32_t id) {
  if (m_active) {
    m_pendingId = id;
  } else {
    open(id);
  }
}

void SSEAdpcmStream::reset() {
  if (!m_stream) {
    m_playing = m_active = false;
    return;
  }
  uint8_t first[4] = {};
  m_stream->seek(0, Stream::kSeekStart);  // wherever an earlier block left it
  const int32_t got = m_stream->read(first, 4);
  m_stream->seek(0, Stream::kSeekStart);
  m_volume = 127;
  m_playing = false;
  m_dataOffset = kHeaderSize;
  m_active = false;
  m_ended = false;
  m_format = 0;
  if (got < 1 || first[0] != 'S') return;
  uint8_t state[4] = {};
  if (m_stream->read(m_header, sizeof m_header) != static_cast<int32_t>(sizeof m_header) ||
      m_stream->read(state, 4) != 4) {
    debugTrace("ADPCM stream: header cut short\n");
    return;
  }
  m_format = kFormatAdpcm;
  m_initial.predictor = static_cast<int16_t>(static_cast<uint16_t>(state[0] | state[1] << 8));
  m_initial.index = std::min<uint8_t>(state[2], 88);
  m_initial.reserved = state[3];
  m_rate = static_cast<uint32_t>(m_header[26] | m_header[27] << 8);
  m_position = 0;
  m_total = static_cast<uint32_t>(m_header[20]) | static_cast<uint32_t>(m_header[21]) << 8 |
            static_cast<uint32_t>(m_header[22]) << 16 | static_cast<uint32_t>(m_header[23]) << 24;
  // Only the bytes the resource holds are decoded.
  m_stream->seek(0, Stream::kSeekEnd);
  const int32_t size = m_stream->tell();
  m_stream->seek(static_cast<int32_t>(m_dataOffset), Stream::kSeekStart);
  if (size >= static_cast<int32_t>(kHeaderSize)) {
    m_total = std::min<uint32_t>(m_total, static_cast<uint32_t>(size) - kHeaderSize);
  }
  m_current = m_initial;
  m_loopStart = static_cast<uint32_t>(m_header[30] | m_header[31] << 8) * 4;
  if (m_loopStart >= m_total) m_loopStart = 0;
  m_byteCounter = 0;
  m_rateCopy = m_rate;
  m_totalCopy = m_total;
}

void SSEAdpcmStream::stop() {
  m_ended = true;
  m_active = false;
  m_playing = false;
  if (m_stream) m_stream->seek(static_cast<int32_t>(m_dataOffset), Stream::kSeekStart);
  m_current = m_initial;
  m_decoded = 0;
}

uint32_t SSEAdpcmStream::pump() {
  if (m_ended && m_pendingId != kNoPending) {
    const uint32_t id = m_pendingId;
    m_pendingId = kNoPending;
    if (begin(id)) {
      m_active = true;
      m_ended = false;
    }
  }
  if (m_stream && !m_ended && m_format == kFormatAdpcm) return 2 * refill();
  m_active = false;
  return 0;
}

uint32_t SSEAdpcmStream::refill() {
  if (!m_stream || m_position >= m_total) {
    m_active = false;
    return 0;
  }
  const uint32_t n = std::min(kInputSize, m_total - m_position);
  const int32_t read = m_stream->read(m_input, static_cast<int32_t>(n));
  const uint32_t got = read > 0 ? static_cast<uint32_t>(read) : 0;
  decode(got);
  m_decoded = 2 * got;
  m_position += got;
  if (got < n) {
    debugTrace("ADPCM stream: read %u of %u bytes\n", got, n);
    m_ended = true;
  } else if (m_position >= m_total) {
    if (m_loop) {
      m_position = m_loopStart;
      m_stream->seek(static_cast<int32_t>(m_dataOffset + m_loopStart), Stream::kSeekStart);
      m_byteCounter = m_loopStart;
      m_current = m_loopState;
    } else {
      // A requested stream starts at the next pump.
      m_ended = true;
    }
  }
  return got;
}

void SSEAdpcmStream::decode(uint32_t count) {
  count = std::min(count, kInputSize);
  for (uint32_t i = 0; i < count; ++i) {
    if (m_byteCounter == m_loopStart) m_loopState = m_current;
    m_output[2 * i] = decodeAdpcmNibble(m_input[i] & 15, m_current);
    m_output[2 * i + 1] = decodeAdpcmNibble(m_input[i] >> 4, m_current);
    m_byteCounter += 1;
  }
}
