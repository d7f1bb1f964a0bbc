#include "wince/threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct CeThread {
  std::thread thread;
  std::mutex m;
  std::condition_variable done;
  bool finished = false;
  DWORD exitCode = 0;
};

namespace {
std::atomic<DWORD> g_nextThreadId{100};
}

HANDLE_THREAD CreateThread(void*, DWORD, LPTHREAD_START_ROUTINE start, void* parameter, DWORD flags,
                           DWORD* threadId) {
  if (!start || flags != 0) return nullptr;
  auto* t = new CeThread();
  if (threadId) *threadId = g_nextThreadId++;
  t->thread = std::thread([t, start, parameter] {
    DWORD code = start(parameter);
    std::lock_guard<std::mutex> g(t->m);
    t->exitCode = code;
    t->finished = true;
    t->done.notify_all();
  });
  return t;
}

DWORD WaitForSingleObject(HANDLE_THREAD t, DWORD ms) {
  if (!t) return WAIT_FAILED;
  std::unique_lock<std::mutex> lock(t->m);
  if (ms == INFINITE) {
    t->done.wait(lock, [t] { return t->finished; });
    return WAIT_OBJECT_0;
  }
  return t->done.wait_for(lock, std::chrono::milliseconds(ms), [t] { return t->finished; }) ? WAIT_OBJECT_0
                                                                                            : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE_THREAD t, DWORD* code) {
  if (!t || !code) return FALSE;
  std::lock_guard<std::mutex> g(t->m);
  *code = t->finished ? t->exitCode : 259;  // STILL_ACTIVE
  return TRUE;
}

BOOL CloseThreadHandle(HANDLE_THREAD t) {
  if (!t) return FALSE;
  bool finished;
  {
    std::lock_guard<std::mutex> g(t->m);
    finished = t->finished;
  }
  if (finished) {
    if (t->thread.joinable()) t->thread.join();
    delete t;
  } else {
    // The thread still uses its record: let it go and keep the record.
    t->thread.detach();
  }
  return TRUE;
}
