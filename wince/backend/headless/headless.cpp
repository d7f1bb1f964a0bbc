// Headless backend: virtual clock, scripted stylus, frames kept in memory.
#include "wince/src/internal.h"

namespace wince {

namespace {

class HeadlessBackend : public Backend {
 public:
  BackendKind kind() const override { return BackendKind::Headless; }

  void pump() override {
    deliverScript(GetTickCount(), [](const ScriptEvent& e) {
      State& s = state();
      LPARAM at = MAKELPARAM(e.x, e.y);
      bool down;
      {
        std::lock_guard<std::recursive_mutex> lock(s.mutex);
        down = s.stylusDown;
        if (e.kind == ScriptEvent::Down) s.stylusDown = true;
        if (e.kind == ScriptEvent::Up) s.stylusDown = false;
      }
      if (e.kind == ScriptEvent::Down)
        postInput(WM_LBUTTONDOWN, MK_LBUTTON, at);
      else if (e.kind == ScriptEvent::Move && down)
        postInput(WM_MOUSEMOVE, MK_LBUTTON, at);
      else if (e.kind == ScriptEvent::Up && down)
        postInput(WM_LBUTTONUP, 0, at);
    });
  }

  bool wait(uint32_t) override {
    bool any = false;
    uint32_t next = nextScriptTime(any);
    if (!any) return false;
    uint64_t now = nowMicros();
    uint64_t at = static_cast<uint64_t>(next) * 1000;
    advanceClock(at > now ? at - now : 0);
    return true;
  }

  void idlePoll() override { advanceClock(state().pollQuantum); }
  void present(const uint16_t*) override {}
  bool showsFrames() const override { return false; }
  void windowState(bool, bool) override {}
  int messageBox(const std::string&, const std::string&, UINT) override { return 0; }
  void windowCreated(const std::string&) override {}
};

}  // namespace

std::unique_ptr<Backend> makeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace wince
