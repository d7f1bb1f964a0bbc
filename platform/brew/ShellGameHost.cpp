#include "platform/brew/ShellGameHost.h"

#include <cstdio>

#include "platform/brew/GameHost.h"
#include "windows_brew/HostFiles.h"
#include "windows_brew/OggSoundPlayer.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/TickCount.h"
#include "zul/memory/Debug.h"

namespace {

GameHost::FileKind kindOf(HostFileKind kind) {
  return kind == HostFileKind::Regular ? GameHost::FileKind::Regular
         : kind == HostFileKind::None  ? GameHost::FileKind::None
                                       : GameHost::FileKind::Other;
}

// The path of a file of the game's folder; false without a shell or when it
// does not fit.
bool pathOf(const char* name, char (&path)[ShellHost::kMaxPath + 1]) {
  ShellHost* shell = getShellHost();
  return shell && joinPath(path, sizeof path, shell->rootPath(), name);
}

OggSoundPlayer* player() {
  ShellHost* shell = getShellHost();
  return shell ? shell->soundPlayer() : nullptr;
}

class ShellGameHost final : public GameHost {
 public:
  uint32_t tickCount() override { return getTickCount(); }

  bool isQuitting() override {
    ShellHost* shell = getShellHost();
    return shell && shell->isQuitRequested();
  }

  FileKind dataFileKind(const char* name) override {
    char path[ShellHost::kMaxPath + 1];
    return pathOf(name, path) ? kindOf(hostFileKind(path)) : FileKind::None;
  }

  int64_t dataFileLength(const char* name) override {
    ShellHost* shell = getShellHost();
    if (!shell) return -1;
    ShellFile* f = shell->openFile(shell->rootPath(), name, 1);
    const int64_t length = f && f->isOpen() ? f->length() : -1;
    shell->releaseFile(f);
    return length;
  }

  FileKind savedFileKind(const char* name) override {
    char path[ShellHost::kMaxPath + 1];
    return pathOf(name, path) ? kindOf(hostFileKindWritten(path)) : FileKind::None;
  }

  bool readSavedFile(const char* name, uint8_t* buffer, int32_t capacity, int64_t* length) override {
    *length = -1;
    char path[ShellHost::kMaxPath + 1];
    if (!pathOf(name, path)) return false;
    FILE* f = hostFileOpenWritten(path, "rb");
    if (!f) return false;
    *length = 0;
    if (::fseeko(f, 0, SEEK_END) == 0) *length = ::ftello(f);
    bool read = false;
    if (*length > 0 && capacity >= 0 && ::fseeko(f, 0, SEEK_SET) == 0) {
      const size_t want = static_cast<size_t>(*length < capacity ? *length : capacity);
      read = std::fread(buffer, 1, want, f) == want;
    }
    std::fclose(f);
    return read;
  }

  bool writeSavedFile(const char* name, const uint8_t* data, int32_t size) override {
    ShellHost* shell = getShellHost();
    if (!shell) return false;
    // The shell's write mode stages the image, commits it to the disk and
    // only then replaces the file.
    ShellFile* f = shell->openFile(shell->rootPath(), name, 2);
    bool ok = f && f->isOpen() && f->write(data, size) == size;
    ok = f && f->close() == 0 && ok;
    shell->releaseFile(f);
    if (!ok) debugTrace("save file: write failed\n");
    return ok;
  }

  void removeStaleStaging(const char* name) override {
    char path[ShellHost::kMaxPath + 1];
    if (pathOf(name, path)) hostFileRemoveStaleStaging(path);
  }

  int32_t freeStorage() override {
    ShellHost* shell = getShellHost();
    return shell ? shell->getFreeSpace() : 0;
  }

  bool hasSoundPlayer() override { return player() != nullptr; }

  void setSoundSlots(int32_t count) override {
    if (OggSoundPlayer* p = player()) p->setCapacity(count);
  }

  bool loadSound(const char16_t* name) override {
    OggSoundPlayer* p = player();
    const WCHAR* names[1] = {name};
    return p && getOggSounds(p, names, 1, 1) == 1;
  }

  void playSound(int32_t slot, int32_t loop) override {
    if (OggSoundPlayer* p = player()) p->play(slot, loop);
  }

  void stopAllSounds() override {
    if (OggSoundPlayer* p = player()) p->stopAll();
  }

  bool isAnySoundPlaying() override {
    OggSoundPlayer* p = player();
    return p && p->isAnyPlaying() != 0;
  }

  std::string checkSoundFile(const char16_t* name) override { return checkOggSound(name); }
};

}  // namespace

GameHost& shellGameHost() {
  static ShellGameHost host;
  return host;
}
