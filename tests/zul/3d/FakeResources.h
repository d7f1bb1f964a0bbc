// A resource manager over fixed bytes per id, served as in-place memory
// streams, counting opens and closes.
#pragma once

#include <list>
#include <map>
#include <vector>

#include "zul/io/BufferStream.h"
#include "zul/resourcemanager/ResourceManager.h"

class FakeResources : public ResourceManager {
 public:
  using Bytes = std::vector<uint8_t>;
  std::map<uint32_t, Bytes> files;
  std::map<uint32_t, void*> stored;
  std::list<Bytes> openBytes;
  int opens = 0, closes = 0;

  void* find(uint32_t id) override { return stored.count(id) ? stored[id] : nullptr; }
  Stream* open(uint32_t id) override {
    if (!files.count(id)) return nullptr;
    ++opens;
    openBytes.push_back(files[id]);
    return new BufferStream(BufferStream::kRead, static_cast<int32_t>(openBytes.back().size()), openBytes.back().data());
  }
  void close(Stream* s) override {
    if (!s) return;
    ++closes;
    delete s;
  }
  void store(uint32_t id, void* object) override {
    if (object)
      stored[id] = object;
    else
      stored.erase(id);
  }
};
