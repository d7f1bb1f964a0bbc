#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "zul/memory/MemoryManager.h"

namespace {

struct TraceCapture {
  std::string text;
  TraceCapture() { setDebugTraceHook(&TraceCapture::hook, this); }
  ~TraceCapture() { setDebugTraceHook(nullptr, nullptr); }
  static void hook(const char* t, void* user) { static_cast<TraceCapture*>(user)->text += t; }
};

// The report files, written into memory.
struct FileCapture final : LogWriter {
  std::map<std::string, std::pair<char*, std::size_t>> files;
  FileCapture() { setLogWriter(this); }
  ~FileCapture() {
    setLogWriter(nullptr);
    for (auto& [name, file] : files) std::free(file.first);
  }
  std::FILE* openFile(const char* name) override {
    auto& file = files[name];
    return open_memstream(&file.first, &file.second);
  }
  void debugOutput(const char*) override {}
  std::string text(const char* name) { return std::string(files[name].first, files[name].second); }
};

TEST(MemoryManager, PeakRecordAndTotals) {
  CMemoryManager m;
  void* a = m.allocate(100, "a.cpp", 1, nullptr);
  void* b = m.allocate(50, "b.cpp", 2, nullptr);
  m.free(a);
  EXPECT_EQ(m.currentTotal(), 50);
  EXPECT_EQ(m.peakTotal(), 150);
  EXPECT_EQ(m.peakRecord().address, b);
  EXPECT_EQ(m.peakRecord().size, 50u);
  m.free(b);
  EXPECT_EQ(m.currentTotal(), 0);
  TraceCapture cap;  // the destructor's dump goes here
}

TEST(MemoryManager, AllocateZeroFills) {
  CMemoryManager m;
  auto* p = static_cast<unsigned char*>(m.allocate(64, "z.cpp", 3, nullptr));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);
  m.free(p);
  TraceCapture cap;
}

TEST(MemoryManager, LeakListsRootAndChildren) {
  CMemoryManager m;
  void* parent = m.allocate(8, "p.cpp", 10, nullptr);
  void* child = m.allocate(8, "c.cpp", 11, parent);
  void* gone = m.allocate(8, "g.cpp", 12, nullptr);
  void* orphan = m.allocate(8, "o.cpp", 13, gone);
  m.free(gone);
  TraceCapture cap;
  m.reportLeaks();
  const std::string& t = cap.text;
  auto rootStart = t.find("----------ROOT MEMORY LEAKS---------");
  auto rootEnd = t.find("----------END", rootStart);
  auto allStart = t.find("----------ALL MEMORY LEAKS----------");
  ASSERT_NE(rootStart, std::string::npos);
  ASSERT_NE(allStart, std::string::npos);
  std::string root = t.substr(rootStart, rootEnd - rootStart);
  std::string all = t.substr(allStart);
  EXPECT_NE(t.find("3 memory leaks:"), std::string::npos);
  EXPECT_NE(root.find("p.cpp(10)"), std::string::npos);
  EXPECT_EQ(root.find("c.cpp(11)"), std::string::npos);  // parent still live
  EXPECT_NE(root.find("o.cpp(13)"), std::string::npos);  // parent freed
  EXPECT_NE(all.find("c.cpp(11)"), std::string::npos);
  EXPECT_NE(all.find("o.cpp(13)"), std::string::npos);
  m.free(parent);
  m.free(child);
  m.free(orphan);
  cap.text.clear();
  m.reportLeaks();
  EXPECT_NE(cap.text.find("No memory leaks"), std::string::npos);
}

TEST(MemoryManager, UsageReportSiteOrder) {
  FileCapture out;
  CMemoryManager m;
  void* a = m.allocate(10, "x.cpp", 12, nullptr);
  void* b = m.allocate(20, "y.cpp", 30, nullptr);
  void* c = m.allocate(5, "y.cpp", 30, nullptr);
  m.writeUsageReport();
  EXPECT_EQ(out.text("memoryUsage.txt"),
            "M:       25 F:      2  L:30 F:y.cpp\n"
            "M:       10 F:      1  L:12 F:x.cpp\n"
            "---------------------\n"
            "Total: 35\n");
  m.free(a);
  m.free(b);
  m.free(c);
  TraceCapture cap;
}

TEST(MemoryManager, ReallocateCases) {
  CMemoryManager m;
  // Null is a fresh allocation.
  auto* p = static_cast<char*>(m.reallocate(nullptr, 4, "r.cpp", 1, nullptr));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(m.currentTotal(), 4);
  std::memcpy(p, "abc", 4);
  auto* q = static_cast<char*>(m.reallocate(p, 16, "r.cpp", 2, nullptr));
  EXPECT_STREQ(q, "abc");
  EXPECT_EQ(m.currentTotal(), 16);
  EXPECT_EQ(m.blocks().count(q), 1u);
  // Unknown blocks go to the plain heap, unrecorded.
  void* raw = std::malloc(8);
  void* raw2 = m.reallocate(raw, 32, "r.cpp", 3, nullptr);
  EXPECT_EQ(m.blocks().count(raw2), 0u);
  EXPECT_EQ(m.currentTotal(), 16);
  std::free(raw2);
  m.free(q);
  TraceCapture cap;
}

TEST(MemoryManager, TitleLineHasNoPadding) {
  MemoryLogTime t;
  t.year = 2007;
  t.month = 3;
  t.day = 5;
  t.hour = 9;
  t.minute = 4;
  t.second = 7;
  t.milliseconds = 12;
  EXPECT_EQ(memoryLogTitle(t), "Drummond Memory Usage Log 2007-3-5 9:4:7.12 GMT\n");
}

TEST(MemoryManager, GlobalManagerAndOperators) {
  CMemoryManager* g = getMemoryManager();
  ASSERT_NE(g, nullptr);
  int before = g->currentTotal();
  auto* p = new ("Widget", 42, nullptr) int[8];
  EXPECT_EQ(g->currentTotal(), before + 32);
  ASSERT_EQ(g->blocks().count(p), 1u);
  EXPECT_STREQ(g->blocks().at(p).file, "Widget");
  EXPECT_EQ(g->blocks().at(p).line, 42);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], 0);
  delete[] p;
  EXPECT_EQ(g->currentTotal(), before);
  // Plain new zero-fills and is not recorded.
  auto* s = new std::vector<int>(4);
  EXPECT_EQ(g->blocks().count(s), 0u);
  delete s;
}

TEST(DebugHelpers, IntToString) {
  struct Case {
    int value;
    int radix;
    const char* text;
  } cases[] = {{-120, 10, "-120"}, {0, 10, "0"}, {7, 2, "111"}, {2147483647, 10, "2147483647"},
               {-2147483647 - 1, 10, "-2147483648"}};
  for (const Case& c : cases) {
    char buf[40];
    EXPECT_STREQ(intToString(c.value, buf, c.radix), c.text);
  }
}

TEST(DebugHelpers, BaseNameAndCheck) {
  EXPECT_STREQ(baseName("c:\\src\\zul\\io\\Stream.cpp"), "Stream.cpp");
  EXPECT_STREQ(baseName("Stream"), "Stream");
  TraceCapture cap;
  EXPECT_TRUE(KV_CHECK(1 == 1, 10, "x"));
  EXPECT_FALSE(KV_CHECK(1 == 2, 36, "d:\\zul\\memory\\StackMemoryPool"));
  EXPECT_EQ(cap.text, "breakpoint failed: 36:StackMemoryPool");
}

}  // namespace
