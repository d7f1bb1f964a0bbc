// Resources by numeric id: an abstract manager that finds, opens and closes
// them and remembers the object built from each, and the shared records that
// get<T> and release<T> count.
#pragma once

#include <cstdint>

#include "zul/io/Stream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

template <class T>
class ManagedResource;

class ResourceManager {
 public:
  static constexpr const char* kSource = "zul/resourcemanager";

  ResourceManager() = default;
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  // The object last stored for id, or null.
  virtual void* find(uint32_t id) = 0;
  // A new stream at the start of the resource's bytes (in-place readable), or
  // null when the resource cannot be read.
  virtual Stream* open(uint32_t id) = 0;
  // Destroys a stream made by open; null is ignored.
  virtual void close(Stream* stream) = 0;
  virtual ~ResourceManager();
  // Remembers object for id; null forgets it.
  virtual void store(uint32_t id, void* object) = 0;

  // The shared record of id, loaded on first use: null when the resource
  // cannot be opened, allocated or loaded (nothing is stored then).
  template <class T>
  ManagedResource<T>* get(uint32_t id);
  // Drops one reference; the last one forgets, destroys and closes. Null is
  // ignored.
  template <class T>
  void release(ManagedResource<T>* record);
};

// T first, so that a record pointer is a T pointer; then the bookkeeping.
// Each T has a loader found by argument lookup:
//   bool loadManagedResource(ManagedResource<T>* record, ResourceManager& manager, Stream& stream);
// which returns whether the object was built.
template <class T>
class ManagedResource : public T {
 public:
  static constexpr uint32_t kGuard = 0x41524553;  // "SERA" in memory

  ManagedResource(Stream* s, uint32_t resourceId) : stream(s), id(resourceId) {}
  // Closes the stream (freeing its loaded bytes); the stream object itself
  // is destroyed by the manager afterwards.
  ~ManagedResource() override {
    KV_CHECK(guard == kGuard, 43, ResourceManager::kSource);
    if (stream) stream->close();
    stream = nullptr;
  }

  uint32_t guard = kGuard;
  Stream* stream = nullptr;
  uint32_t id = 0;
  int32_t refCount = 0;
};

template <class T>
ManagedResource<T>* ResourceManager::get(uint32_t id) {
  auto* record = static_cast<ManagedResource<T>*>(find(id));
  if (!record) {
    Stream* s = open(id);
    if (!s) {
      debugTrace("resource %u: cannot be opened\n", id);
      return nullptr;
    }
    record = new (kSource, 138, nullptr) ManagedResource<T>(s, id);
    if (!record) {
      debugTrace("resource %u: no memory for its record\n", id);
      close(s);
      return nullptr;
    }
    const bool loaded = loadManagedResource(record, *this, *s);
    KV_CHECK(record->guard == ManagedResource<T>::kGuard, 52, kSource);
    if (!loaded) {
      debugTrace("resource %u: not loaded\n", id);
      delete record;
      close(s);
      return nullptr;
    }
    store(id, record);
  }
  record->refCount += 1;
  return record;
}

template <class T>
void ResourceManager::release(ManagedResource<T>* record) {
  if (!record) return;
  KV_CHECK(record->guard == ManagedResource<T>::kGuard, 197, kSource);
  record->refCount -= 1;
  if (record->refCount == 0) {
    Stream* s = record->stream;
    store(record->id, nullptr);
    delete record;
    close(s);
  }
}
