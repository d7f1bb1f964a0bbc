#include "zul/sound/SSEDriver.h"

#include "zul/memory/Memory.h"

SSEDriver::SSEDriver() : m_device(new (kSource, 363, nullptr) SSEDeviceHolder) {}

SSEDriver::~SSEDriver() {
  stop(0, 0);
  release();
  delete m_engine;
  delete m_device;
}

SSEMixEngine* SSEDriver::createMixEngine(uint32_t sampleCount, uint32_t rate, uint32_t bits, uint32_t third) {
  delete m_engine;
  m_engine = new (kSource, 244, nullptr) SSEMixEngine(sampleCount, rate, bits, third);
  m_initialised = true;
  return m_engine;
}

void SSEDriver::ensureInitialised() {
  if (!m_device || !m_device->output) initialise();
}

void SSEDriver::start(int32_t a, int32_t b) {
  if (m_device && m_device->output) m_device->output->start(a, b);
  m_playing = true;
}

void SSEDriver::stop(int32_t a, int32_t b) {
  if (m_device && m_device->output) m_device->output->stop(a, b);
  m_playing = false;
}

void SSEDriver::release() {
  if (m_device) {
    memDeleteArray(m_device->buffer);
    m_device->buffer = nullptr;
    if (m_device->output) m_device->output->destroy();
    m_device->output = nullptr;
  }
  m_initialised = false;
}
