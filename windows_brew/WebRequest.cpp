#include "windows_brew/WebRequest.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

WebRequest::WebRequest(uint32_t owner, int32_t capacity) : m_owner(owner) {
  m_callback.notifyFn = &WebRequest::onResponse;
  m_callback.notifyContext = this;
  m_capacity = capacity > 0 ? capacity : 1;
  m_body = static_cast<char*>(std::malloc(static_cast<std::size_t>(m_capacity)));
  m_query = static_cast<char*>(std::malloc(kQueryCapacity));
  reset();
}

WebRequest::~WebRequest() {
  cancel();
  std::free(m_body);
  std::free(m_query);
}

void WebRequest::reset() {
  if (m_query) std::memset(m_query, 0, kQueryCapacity);
  if (m_body) std::memset(m_body, 0, static_cast<std::size_t>(m_capacity));
  m_reserved = 0;
  m_write = m_body;
  m_truncated = 0;
  m_finished = 1;
  m_inFlight = 0;
  m_failed = 0;
  cancel();
}

void WebRequest::fail(const char*) {
  m_failed = 1;
  m_finished = 1;
  cancel();
}

void WebRequest::cancel() {
  if (m_callback.cancelFn) m_callback.cancelFn(&m_callback);
  if (m_response) {
    m_response->release();
    m_response = nullptr;
  }
  if (m_web) {
    m_web->release();
    m_web = nullptr;
  }
}

void WebRequest::query(const char* address) {
  // The web interface survives the reset that starts a query.
  WebInterface* web = m_web;
  m_web = nullptr;
  reset();
  m_web = web;
  if (!address || !*address) {
    fail("No query made!");
    return;
  }
  // Bounded copy that always leaves a terminator.
  std::strncpy(m_query, address, kQueryCapacity - 1);
  m_query[kQueryCapacity - 1] = 0;
  if (!m_web) {
    fail("IWeb creation failed.");
    return;
  }
  const WebOption options[] = {{0x20002, this},
                               {0x20003, reinterpret_cast<const void*>(&WebRequest::onHeader)},
                               {0, nullptr}};
  m_web->getResponse(&m_response, &m_callback, m_query, options);
  m_finished = 0;
  m_inFlight = 1;
}

int32_t WebRequest::append(const char* bytes, int32_t n) {
  int32_t used = static_cast<int32_t>(m_write - m_body);
  int32_t room = m_capacity - used - 1;
  if (room < 0) room = 0;
  if (n < 0) n = 0;
  if (room >= n && room != 0) {
    std::memcpy(m_write, bytes, static_cast<std::size_t>(n));
    m_write += n;
    *m_write = 0;
    return n;
  }
  m_truncated = 1;
  std::memcpy(m_write, bytes, static_cast<std::size_t>(room));
  m_write += room;
  *m_write = 0;
  return room;
}

void WebRequest::onResponse(void* context) {
  auto* r = static_cast<WebRequest*>(context);
  if (!r->m_response) return;
  const WebResponseInfo* info = r->m_response->getInfo();
  if (!info) return;
  if (info->code < 200 || info->code > 399) {
    r->m_failed = 1;
    r->cancel();
    return;
  }
  if (!info->body) return;
  char local[128];
  int32_t n = info->body->read(local, sizeof local);
  if (n == -2) {
    info->body->whenReadable(&r->m_callback);
    return;
  }
  if (n > 0) {
    r->append(local, n);
    info->body->whenReadable(&r->m_callback);
    return;
  }
  if (n == 0) {
    r->m_finished = 1;
    r->cancel();
    return;
  }
  r->m_failed = 1;
  r->cancel();
}

void WebRequest::onHeader(void*) {}
void WebRequest::onStatus(void*) {}

int WebRequest::probeConnection(WebConnection* c) {
  if (!c) return 0;
  int32_t state = c->getState(0);
  c->setOption(10);
  int result = 0;
  if (state == 1 || state == 4) {
    if (WebConnectionPart* part = c->getPart(1)) {
      int32_t opened = part->open(0, 0, &WebRequest::onStatus, 1);
      part->release();
      result = opened != -1 ? 1 : 0;
    }
  } else if (state == 2) {
    result = 1;
  }
  c->release();
  return result;
}

Tokenizer::Tokenizer(const char* text) {
  if (!text) return;
  std::size_t n = std::strlen(text);
  m_text = static_cast<char*>(std::malloc(n + 1));
  std::memcpy(m_text, text, n + 1);
  m_length = static_cast<int32_t>(n);
  m_current = m_text;
  m_rest = m_text;
  next();
}

Tokenizer::~Tokenizer() { std::free(m_text); }

int Tokenizer::next() {
  if (!m_current || !m_rest) {
    m_current = nullptr;
    m_rest = nullptr;
    return 0;
  }
  m_current = m_rest;
  char* end = m_text + m_length;
  char* stop = std::strpbrk(m_current, ";|\r\n\t");
  if (stop) {
    *stop = 0;
    m_rest = stop + 1;
  } else {
    // The last token: the next call ends the walk.
    m_rest = nullptr;
    (void)end;
  }
  return 1;
}

void PresenceRecord::clear() {
  name[0] = 0;
  for (int32_t& v : values) v = 0;
  status = 'n';
}

void PresenceRecord::format(char* destination, int index) const {
  if (index == 0) {
    std::sprintf(destination, "%s", name);
  } else if (index >= 1 && index <= 5) {
    std::sprintf(destination, "%i", values[index - 1]);
  } else if (index == 6) {
    const char* text = nullptr;
    switch (status) {
      case 'f': text = "OFFLINE"; break;
      case 'n': text = "UNKNOWN"; break;
      case 'o': text = "ONLINE"; break;
      case 'p': text = "PLAYING"; break;
      case 's': text = "IN-SESSION"; break;
      default: break;
    }
    if (text) std::sprintf(destination, "%s", text);
  } else {
    std::sprintf(destination, "?");
  }
}
