#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "memory/TraceCapture.h"
#include "zul/io/BufferStream.h"
#include "zul/resourcemanager/ResourceManager.h"

namespace {

// A resource that reads one int from its stream.
struct Thing {
  virtual ~Thing() { ++destroyed; }
  int32_t value = -1;
  static int destroyed;
};
int Thing::destroyed = 0;

enum class LoadMode { Ok, Fail, BreakGuard };
LoadMode g_mode = LoadMode::Ok;
int g_loads = 0;

}  // namespace

bool loadManagedResource(ManagedResource<Thing>* record, ResourceManager&, Stream& stream) {
  ++g_loads;
  record->value = stream.readInt();
  if (g_mode == LoadMode::BreakGuard) record->guard = 0;
  return g_mode != LoadMode::Fail;
}

namespace {

// Records every call; streams hold the id as their one int.
class RecordingManager : public ResourceManager {
 public:
  std::map<uint32_t, void*> stored;
  std::vector<std::string> calls;
  std::vector<int32_t> payload;
  int opens = 0, closes = 0, closedWhileOpen = 0;
  bool openFails = false;

  void* find(uint32_t id) override {
    calls.push_back("find " + std::to_string(id));
    auto it = stored.find(id);
    return it == stored.end() ? nullptr : it->second;
  }
  Stream* open(uint32_t id) override {
    calls.push_back("open " + std::to_string(id));
    if (openFails) return nullptr;
    ++opens;
    payload.push_back(static_cast<int32_t>(id * 10));
    return new BufferStream(BufferStream::kRead, 4, &payload.back());
  }
  void close(Stream* s) override {
    calls.push_back(s ? "close" : "close null");
    if (!s) return;
    ++closes;
    if (s->isOpen()) ++closedWhileOpen;
    delete s;
  }
  void store(uint32_t id, void* object) override {
    calls.push_back(std::string("store ") + std::to_string(id) + (object ? " object" : " null"));
    if (object)
      stored[id] = object;
    else
      stored.erase(id);
  }
};

struct ResourceManagerTest : ::testing::Test {
  RecordingManager m;
  void SetUp() override {
    g_mode = LoadMode::Ok;
    g_loads = 0;
    Thing::destroyed = 0;
    m.payload.reserve(16);  // the streams read the payload in place
  }
};

TEST_F(ResourceManagerTest, SharedUntilTheLastRelease) {
  TraceCapture cap;
  ManagedResource<Thing>* a = m.get<Thing>(7);
  ManagedResource<Thing>* b = m.get<Thing>(7);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(static_cast<Thing*>(a), static_cast<void*>(a));  // the record is the object
  EXPECT_EQ(a->value, 70);
  EXPECT_EQ(a->refCount, 2);
  EXPECT_EQ(a->id, 7u);
  EXPECT_EQ(a->guard, 0x41524553u);
  EXPECT_EQ(std::memcmp(&a->guard, "SERA", 4), 0);
  EXPECT_EQ(m.opens, 1);
  EXPECT_EQ(g_loads, 1);
  EXPECT_EQ(m.stored.size(), 1u);
  EXPECT_EQ(m.calls, (std::vector<std::string>{"find 7", "open 7", "store 7 object", "find 7"}));

  m.calls.clear();
  m.release(a);
  EXPECT_EQ(m.calls.size(), 0u);
  EXPECT_EQ(Thing::destroyed, 0);
  EXPECT_EQ(m.find(7), a);

  m.calls.clear();
  m.release(b);
  EXPECT_EQ(m.calls, (std::vector<std::string>{"store 7 null", "close"}));
  EXPECT_EQ(Thing::destroyed, 1);
  EXPECT_EQ(m.closes, 1);
  EXPECT_EQ(m.closedWhileOpen, 0);  // the record closed it before the manager destroyed it
  EXPECT_EQ(m.find(7), nullptr);

  ManagedResource<Thing>* c = m.get<Thing>(7);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(m.opens, 2);
  EXPECT_EQ(g_loads, 2);
  EXPECT_EQ(c->refCount, 1);
  m.release(c);
  EXPECT_EQ(cap.text, "");
}

TEST_F(ResourceManagerTest, ReleaseOfNullDoesNothing) {
  TraceCapture cap;
  m.release<Thing>(nullptr);
  EXPECT_TRUE(m.calls.empty());
  EXPECT_EQ(cap.text, "");
}

TEST_F(ResourceManagerTest, FailuresStoreNothing) {
  const struct {
    const char* name;
    bool openFails;
    LoadMode mode;
    int loads, closes;
  } cases[] = {
      {"open fails", true, LoadMode::Ok, 0, 0},
      {"loader fails", false, LoadMode::Fail, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingManager rm;
    rm.payload.reserve(16);
    rm.openFails = c.openFails;
    g_mode = c.mode;
    g_loads = 0;
    Thing::destroyed = 0;
    TraceCapture cap;
    EXPECT_EQ(rm.get<Thing>(3), nullptr);
    EXPECT_TRUE(rm.stored.empty());
    EXPECT_EQ(g_loads, c.loads);
    EXPECT_EQ(rm.closes, c.closes);
    EXPECT_EQ(rm.closedWhileOpen, 0);
    EXPECT_EQ(Thing::destroyed, c.loads);
    EXPECT_TRUE(cap.has("resource 3:"));
    EXPECT_EQ(cap.text.find("breakpoint"), std::string::npos);
  }
}

TEST_F(ResourceManagerTest, GuardReports) {
  {
    // A loader that writes over the guard: reported after loading; the
    // release and the destructor see the broken guard too.
    g_mode = LoadMode::BreakGuard;
    TraceCapture cap;
    ManagedResource<Thing>* r = m.get<Thing>(1);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(cap.reported(52, "zul/resourcemanager"));
    EXPECT_FALSE(cap.reported(197, "zul/resourcemanager"));
    m.release(r);
    EXPECT_TRUE(cap.reported(197, "zul/resourcemanager"));
    EXPECT_TRUE(cap.reported(43, "zul/resourcemanager"));
    EXPECT_EQ(m.closes, 1);
  }
  {
    // Broken after loading, while shared: each release reports, the last
    // one also in the destructor.
    g_mode = LoadMode::Ok;
    ManagedResource<Thing>* r = m.get<Thing>(2);
    m.get<Thing>(2);
    TraceCapture cap;
    r->guard = 0x12345678;
    m.release(r);
    EXPECT_TRUE(cap.reported(197, "zul/resourcemanager"));
    EXPECT_FALSE(cap.reported(43, "zul/resourcemanager"));
    cap.clear();
    m.release(r);
    EXPECT_TRUE(cap.reported(197, "zul/resourcemanager"));
    EXPECT_TRUE(cap.reported(43, "zul/resourcemanager"));
    EXPECT_TRUE(m.stored.empty());
  }
}

}  // namespace
