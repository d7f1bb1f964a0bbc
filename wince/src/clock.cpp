// Clocks: real time until the headless backend switches to the virtual clock.
#include <chrono>
#include <ctime>
#include <thread>
#include <utility>

#include "wince/mmsystem.h"
#include "wince/src/internal.h"

namespace wince {

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();

struct Listener {
  int id;
  ClockListener fn;
  void* user;
};
std::mutex g_listenerMutex;
std::vector<Listener>& listeners() {
  static auto* l = new std::vector<Listener>;
  return *l;
}
int g_nextListener = 1;

// Days from 1970-01-01 to the given civil date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromMillis(int64_t ms, SYSTEMTIME* out) {
  int64_t days = ms / 86400000;
  int64_t rest = ms % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --days;
  }
  int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
  out->wYear = static_cast<WORD>(y);
  out->wMonth = static_cast<WORD>(m);
  out->wDay = static_cast<WORD>(d);
  out->wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  out->wHour = static_cast<WORD>(rest / 3600000);
  out->wMinute = static_cast<WORD>(rest / 60000 % 60);
  out->wSecond = static_cast<WORD>(rest / 1000 % 60);
  out->wMilliseconds = static_cast<WORD>(rest % 1000);
}
}  // namespace

uint64_t realMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - g_start).count());
}

uint64_t nowMicros() {
  State& s = state();
  return s.virtualClock ? s.virtualMicros.load() : realMicros();
}

bool isVirtualClock() { return state().virtualClock; }

void advanceClock(uint64_t micros) {
  State& s = state();
  if (!s.virtualClock) return;
  uint64_t now = s.virtualMicros.fetch_add(micros) + micros;
  notifyClockListeners(now);
}

void setPollQuantum(uint64_t micros) { state().pollQuantum = micros; }

void setCounterFrequency(uint64_t hz) { state().counterFrequency = hz; }

void setSystemTimeBase(const SYSTEMTIME& base) { state().timeBase = base; }

int addClockListener(ClockListener listener, void* user) {
  std::lock_guard<std::mutex> lock(g_listenerMutex);
  int id = g_nextListener++;
  listeners().push_back({id, listener, user});
  return id;
}

void removeClockListener(int id) {
  std::lock_guard<std::mutex> lock(g_listenerMutex);
  auto& l = listeners();
  for (auto it = l.begin(); it != l.end(); ++it)
    if (it->id == id) {
      l.erase(it);
      return;
    }
}

void notifyClockListeners(uint64_t now) {
  std::vector<Listener> copy;
  {
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    copy = listeners();
  }
  for (const Listener& l : copy) l.fn(now, l.user);
}

}  // namespace wince

DWORD GetTickCount() { return static_cast<DWORD>(wince::nowMicros() / 1000); }

void GetSystemTime(SYSTEMTIME* out) {
  if (!out) return;
  wince::State& s = wince::state();
  if (s.virtualClock) {
    const SYSTEMTIME& b = s.timeBase;
    int64_t baseMs = wince::daysFromCivil(b.wYear, b.wMonth, b.wDay) * 86400000 +
                     ((b.wHour * 60 + b.wMinute) * 60 + b.wSecond) * 1000 + b.wMilliseconds;
    wince::civilFromMillis(baseMs + static_cast<int64_t>(s.virtualMicros.load() / 1000), out);
    return;
  }
  auto now = std::chrono::system_clock::now();
  int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  wince::civilFromMillis(ms, out);
}

void GetLocalTime(SYSTEMTIME* out) { GetSystemTime(out); }

BOOL QueryPerformanceFrequency(LARGE_INTEGER* out) {
  uint64_t hz = wince::state().counterFrequency;
  if (!out || hz == 0) return FALSE;
  out->QuadPart = static_cast<LONGLONG>(hz);
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* out) {
  uint64_t hz = wince::state().counterFrequency;
  if (!out || hz == 0) return FALSE;
  unsigned __int128 counts = static_cast<unsigned __int128>(wince::nowMicros()) * hz / 1000000u;
  out->QuadPart = static_cast<LONGLONG>(counts);
  return TRUE;
}

void Sleep(DWORD ms) {
  if (wince::state().virtualClock) {
    wince::advanceClock(static_cast<uint64_t>(ms) * 1000);
    // Buffers due by the new time are completed before the sleeper goes on,
    // so headless runs stay deterministic.
    ceAudioSync();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
