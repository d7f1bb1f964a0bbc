#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "windows_brew/WebRequest.h"

namespace {

// A body that hands out its chunks one read at a time, with "would block"
// between them, then the end (or an error).
class FakeBody : public WebBodySource {
 public:
  std::vector<std::string> chunks;
  bool errorAtEnd = false;
  std::size_t next = 0;
  bool blockNext = true;
  WebCallback* pending = nullptr;

  int32_t read(void* buffer, int32_t count) override {
    if (blockNext) {
      blockNext = false;
      return -2;
    }
    blockNext = true;
    if (next == chunks.size()) return errorAtEnd ? -1 : 0;
    const std::string& c = chunks[next++];
    int32_t n = static_cast<int32_t>(c.size()) < count ? static_cast<int32_t>(c.size()) : count;
    std::memcpy(buffer, c.data(), static_cast<std::size_t>(n));
    return n;
  }
  void whenReadable(WebCallback* cb) override { pending = cb; }
};

class FakeResponse : public WebResponse {
 public:
  WebResponseInfo info;
  int releases = 0;
  const WebResponseInfo* getInfo() override { return &info; }
  void release() override { ++releases; }
};

class FakeWeb : public WebInterface {
 public:
  FakeResponse* response = nullptr;
  std::string address;
  int releases = 0;
  WebCallback* callback = nullptr;
  void getResponse(WebResponse** out, WebCallback* cb, const char* a, const WebOption* options) override {
    *out = response;
    callback = cb;
    address = a;
    EXPECT_EQ(options[0].id, 0x20002u);
    EXPECT_EQ(options[1].id, 0x20003u);
    EXPECT_EQ(options[2].id, 0u);
  }
  void release() override { ++releases; }
};

// Drives the completion record until the body source stops asking.
void pump(FakeWeb& web, FakeBody& body) {
  WebCallback* cb = web.callback;
  for (int i = 0; i < 100 && cb; ++i) {
    body.pending = nullptr;
    cb->notifyFn(cb->notifyContext);
    cb = body.pending;
  }
}

TEST(WebRequest, QueryFailsWithoutInterfaceOrAddress) {
  WebRequest r(7, 64);
  EXPECT_TRUE(r.finished());
  r.query("");
  EXPECT_TRUE(r.failed());
  EXPECT_TRUE(r.finished());
  r.query("http://example.invalid/x");
  EXPECT_TRUE(r.failed());
  EXPECT_TRUE(r.finished());
  EXPECT_FALSE(r.inFlight());
  EXPECT_STREQ(r.queryText(), "http://example.invalid/x");
  EXPECT_EQ(r.owner(), 7u);
}

TEST(WebRequest, StatusCodesAndBodyCollection) {
  struct Case {
    int32_t code;
    bool errorAtEnd;
    bool failed;
    bool finished;
    const char* body;
  } cases[] = {{200, false, false, true, "hello world"},
               {302, false, false, true, "hello world"},
               {404, false, true, false, ""},
               {200, true, true, false, "hello world"}};
  for (const Case& c : cases) {
    FakeBody body;
    body.chunks = {"hello ", "world"};
    body.errorAtEnd = c.errorAtEnd;
    FakeResponse resp;
    resp.info = {c.code, &body};
    FakeWeb web;
    web.response = &resp;
    WebRequest r(1, 64);
    r.setWebInterface(&web);
    r.query("q");
    EXPECT_TRUE(r.inFlight());
    EXPECT_FALSE(r.finished());
    EXPECT_EQ(web.address, "q");
    pump(web, body);
    EXPECT_EQ(r.failed(), c.failed) << c.code;
    EXPECT_EQ(r.finished(), c.finished) << c.code;
    EXPECT_STREQ(r.body(), c.body) << c.code;
    // The end of the query releases both interfaces once.
    EXPECT_EQ(resp.releases, 1);
    EXPECT_EQ(web.releases, 1);
  }
}

TEST(WebRequest, AppendTruncatesAtCapacity) {
  WebRequest r(0, 8);
  EXPECT_EQ(r.append("abcdefghij", 10), 7);
  EXPECT_TRUE(r.truncated());
  EXPECT_STREQ(r.body(), "abcdefg");
  EXPECT_EQ(r.append("x", 1), 0);
  EXPECT_STREQ(r.body(), "abcdefg");
}

TEST(WebRequest, LongAddressIsBoundedAndTerminated) {
  std::string longAddress(3000, 'a');
  WebRequest r(0, 8);
  r.query(longAddress.c_str());
  EXPECT_EQ(std::strlen(r.queryText()), 1023u);
}

TEST(Tokenizer, SplitsOnSeparators) {
  Tokenizer t("a;b|c");
  EXPECT_STREQ(t.current(), "a");
  EXPECT_EQ(t.next(), 1);
  EXPECT_STREQ(t.current(), "b");
  EXPECT_EQ(t.next(), 1);
  EXPECT_STREQ(t.current(), "c");
  EXPECT_EQ(t.next(), 0);
  EXPECT_STREQ(t.current(), "");
  EXPECT_EQ(t.next(), 0);
  Tokenizer empty(nullptr);
  EXPECT_STREQ(empty.current(), "");
  EXPECT_EQ(empty.next(), 0);
  Tokenizer lines("x\r\ny\tz");
  std::vector<std::string> got{lines.current()};
  while (lines.next()) got.push_back(lines.current());
  EXPECT_EQ(got, (std::vector<std::string>{"x", "", "y", "z"}));
}

TEST(Presence, FormatFields) {
  PresenceRecord p;
  p.clear();
  std::strcpy(p.name, "Mira");
  p.values[2] = -5;
  char out[32];
  p.format(out, 0);
  EXPECT_STREQ(out, "Mira");
  p.format(out, 3);
  EXPECT_STREQ(out, "-5");
  p.format(out, 6);
  EXPECT_STREQ(out, "UNKNOWN");
  p.status = 'o';
  p.format(out, 6);
  EXPECT_STREQ(out, "ONLINE");
  std::strcpy(out, "keep");
  p.status = 'x';
  p.format(out, 6);
  EXPECT_STREQ(out, "keep");
  p.format(out, 9);
  EXPECT_STREQ(out, "?");
  PresencePair none;
  EXPECT_EQ(none.first, -1);
  EXPECT_EQ(none.second, 0);
  PresencePair swapped(3, 4);
  EXPECT_EQ(swapped.first, 4);
  EXPECT_EQ(swapped.second, 3);
}

class FakePart : public WebConnectionPart {
 public:
  int32_t result = 0;
  int releases = 0;
  int32_t open(int32_t, int32_t, void (*)(void*), int32_t) override { return result; }
  void release() override { ++releases; }
};
class FakeConnection : public WebConnection {
 public:
  int32_t state = 0;
  FakePart* part = nullptr;
  int releases = 0;
  int32_t option = -1;
  int32_t getState(int32_t) override { return state; }
  void setOption(int32_t o) override { option = o; }
  WebConnectionPart* getPart(int32_t) override { return part; }
  void release() override { ++releases; }
};

TEST(WebRequest, ProbeConnectionStates) {
  struct Case {
    int32_t state;
    bool withPart;
    int32_t openResult;
    int expect;
  } cases[] = {{1, true, 0, 1}, {4, true, -1, 0}, {1, false, 0, 0}, {2, false, 0, 1}, {3, false, 0, 0}, {9, false, 0, 0}};
  for (const Case& c : cases) {
    FakePart part;
    part.result = c.openResult;
    FakeConnection conn;
    conn.state = c.state;
    conn.part = c.withPart ? &part : nullptr;
    EXPECT_EQ(WebRequest::probeConnection(&conn), c.expect) << c.state;
    EXPECT_EQ(conn.option, 10);
    EXPECT_EQ(conn.releases, 1);
    if (c.withPart) {
      EXPECT_EQ(part.releases, 1);
    }
  }
}

}  // namespace
