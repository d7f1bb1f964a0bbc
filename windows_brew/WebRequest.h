// One web query at a time in the shell's asynchronous style, a line tokenizer
// for the returned text, and presence records.
#pragma once

#include <cstdint>

// Completion record handed to the web interface and its body source.
struct WebCallback {
  void* link = nullptr;
  void* reserved = nullptr;
  void (*cancelFn)(WebCallback*) = nullptr;
  void* cancelData = nullptr;
  void (*notifyFn)(void*) = nullptr;
  void* notifyContext = nullptr;
  void* reserved2 = nullptr;
};

// The shell's web interfaces. Nothing in the program provides them; tests do.
class WebBodySource {
 public:
  virtual ~WebBodySource() = default;
  // Bytes read, 0 at the end, -1 on error, -2 when it would block.
  virtual int32_t read(void* buffer, int32_t count) = 0;
  // Calls the record's notify function again once more bytes are readable.
  virtual void whenReadable(WebCallback* callback) = 0;
};

struct WebResponseInfo {
  int32_t code = 0;
  WebBodySource* body = nullptr;
};

class WebResponse {
 public:
  virtual ~WebResponse() = default;
  virtual const WebResponseInfo* getInfo() = 0;
  virtual void release() = 0;
};

struct WebOption {
  uint32_t id;
  const void* value;
};

class WebInterface {
 public:
  virtual ~WebInterface() = default;
  virtual void getResponse(WebResponse** response, WebCallback* callback, const char* address,
                           const WebOption* options) = 0;
  virtual void release() = 0;
};

class WebConnectionPart {
 public:
  virtual ~WebConnectionPart() = default;
  virtual int32_t open(int32_t a, int32_t b, void (*status)(void*), int32_t flags) = 0;
  virtual void release() = 0;
};

class WebConnection {
 public:
  virtual ~WebConnection() = default;
  virtual int32_t getState(int32_t which) = 0;
  virtual void setOption(int32_t option) = 0;
  virtual WebConnectionPart* getPart(int32_t which) = 0;
  virtual void release() = 0;
};

class WebRequest {
 public:
  static constexpr int32_t kQueryCapacity = 1024;

  WebRequest(uint32_t owner, int32_t capacity);
  ~WebRequest();
  WebRequest(const WebRequest&) = delete;
  WebRequest& operator=(const WebRequest&) = delete;

  void query(const char* address);
  void fail(const char* message);
  void reset();
  int32_t append(const char* bytes, int32_t count);
  void cancel();
  static void onResponse(void* request);
  static void onHeader(void* request);
  static void onStatus(void* request);
  static int probeConnection(WebConnection* connection);

  void setWebInterface(WebInterface* web) { m_web = web; }
  const char* body() const { return m_body; }
  const char* queryText() const { return m_query; }
  int32_t bodyLength() const { return static_cast<int32_t>(m_write - m_body); }
  bool truncated() const { return m_truncated != 0; }
  bool failed() const { return m_failed != 0; }
  bool finished() const { return m_finished != 0; }
  bool inFlight() const { return m_inFlight != 0; }
  uint32_t owner() const { return m_owner; }
  WebCallback* completion() { return &m_callback; }

 private:
  uint32_t m_owner;
  WebInterface* m_web = nullptr;
  WebResponse* m_response = nullptr;
  WebCallback m_callback;
  uint8_t m_inFlight = 0;
  char* m_query = nullptr;
  char* m_body = nullptr;
  int32_t m_capacity = 0;
  int32_t m_reserved = 0;
  char* m_write = nullptr;
  uint8_t m_truncated = 0;
  uint8_t m_failed = 0;
  uint8_t m_finished = 1;
};

class Tokenizer {
 public:
  explicit Tokenizer(const char* text);
  ~Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  int next();
  const char* current() const { return m_current ? m_current : ""; }

 private:
  char* m_text = nullptr;
  int32_t m_length = 0;
  char* m_current = nullptr;
  char* m_rest = nullptr;
};

struct PresenceRecord {
  char name[20];
  int32_t values[5];
  char status;

  void clear();
  // Writes field 0..6 into destination ("?" for another index).
  void format(char* destination, int index) const;
};

struct PresencePair {
  int32_t first = -1;
  int32_t second = 0;
  PresencePair() = default;
  PresencePair(int32_t a, int32_t b) : first(b), second(a) {}
};
