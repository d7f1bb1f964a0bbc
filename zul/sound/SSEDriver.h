// Owner of one mix engine and of the output device it would play through.
#pragma once

#include <cstdint>

#include "zul/sound/SSEMixEngine.h"

// The output object behind the driver's device (no platform one is made).
class SSEOutputDevice {
 public:
  // Gives the object up; it must not be used afterwards.
  virtual void destroy() = 0;
  virtual void start(int32_t a, int32_t b) = 0;
  virtual void stop(int32_t a, int32_t b) = 0;

 protected:
  ~SSEOutputDevice() = default;
};

struct SSEDeviceHolder {
  SSEOutputDevice* output = nullptr;
  void* buffer = nullptr;  // tracked block, freed on release
  uint32_t word = 0;
};

class SSEDriver {
 public:
  static constexpr const char* kSource = "SSEDriver";

  SSEDriver();
  virtual ~SSEDriver();
  SSEDriver(const SSEDriver&) = delete;
  SSEDriver& operator=(const SSEDriver&) = delete;

  // A new engine kept by the driver (an earlier one is deleted); null when it
  // cannot be allocated.
  SSEMixEngine* createMixEngine(uint32_t sampleCount, uint32_t rate, uint32_t bits, uint32_t third);
  void initialise() { m_initialised = true; }
  void ensureInitialised();
  void start(int32_t a, int32_t b);
  void stop(int32_t a, int32_t b);
  // Frees the device buffer and destroys the output object.
  void release();

  SSEDeviceHolder* device() const { return m_device; }
  SSEMixEngine* mixEngine() const { return m_engine; }
  bool isPlaying() const { return m_playing; }
  bool isInitialised() const { return m_initialised; }

 private:
  SSEDeviceHolder* m_device = nullptr;
  SSEMixEngine* m_engine = nullptr;
  bool m_playing = false;
  bool m_initialised = false;
};
