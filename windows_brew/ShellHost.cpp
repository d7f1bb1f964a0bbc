#include "windows_brew/ShellHost.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "wince/windows.h"
#include "windows_brew/HostFiles.h"
#include "windows_brew/OggSoundPlayer.h"
#include "zul/memory/Debug.h"

namespace {

ShellHost* s_shellHost = nullptr;
const AppletOps* s_appletOps = nullptr;

}  // namespace

void setAppletOps(const AppletOps* ops) { s_appletOps = ops; }
const AppletOps* getAppletOps() { return s_appletOps ? s_appletOps : getTestAppletOps(); }

ShellHost* getShellHost() { return s_shellHost; }

ShellHost::ShellHost(uint8_t* runningFlag) : m_runningFlag(runningFlag) {
  m_sound = new OggSoundPlayer();
  std::srand(GetTickCount());
  m_imaging = nullptr;
  s_shellHost = this;
}

ShellHost::~ShellHost() {
  delete m_sound;
  m_sound = nullptr;
  m_resources.close();
  if (s_shellHost == this) s_shellHost = nullptr;
}

// ---- applet control

int ShellHost::startApplet() {
  m_appletOps = getAppletOps();
  m_applet = m_appletOps->create ? m_appletOps->create() : nullptr;
  m_appletReleased = false;
  if (!m_applet) return 0;
  return m_appletOps->init ? m_appletOps->init(m_applet, 0) : 0;
}

void ShellHost::releaseApplet() {
  if (!m_applet || m_appletReleased) return;
  m_appletReleased = true;
  if (m_appletOps->release) m_appletOps->release(m_applet);
}

void ShellHost::runAppletFrame() {
  if (m_applet && m_appletOps->tick) m_appletOps->tick(m_applet);
}

void ShellHost::suspendApplet() {
  if (m_applet && m_appletOps->pause) m_appletOps->pause(m_applet);
}

void ShellHost::resumeApplet() {
  if (m_applet && m_appletOps->unpause) m_appletOps->unpause(m_applet);
}

GameServices* ShellHost::getGame() const {
  return m_applet && m_appletOps->getGame ? m_appletOps->getGame(m_applet) : nullptr;
}

bool ShellHost::isQuitRequested() const {
  return m_applet && m_appletOps->isQuitRequested && m_appletOps->isQuitRequested(m_applet);
}

void ShellHost::quit(int exitCode) {
  debugTrace("\n quit game");
  releaseApplet();
  // Nothing may keep playing, and the channels' volumes go back, before exit.
  if (m_sound) {
    m_sound->stopAll();
    delete m_sound;
    m_sound = nullptr;
  }
  hostExit(exitCode);
}

void ShellHost::keyPressed(int32_t) {}
void ShellHost::keyReleased(int32_t) {}
void ShellHost::keyCharacter(int32_t) {}

// ---- general services

void* ShellHost::allocZeroed(std::size_t size) { return std::calloc(size ? size : 1, 1); }

char* ShellHost::copyString(char* destination, const char* source) { return std::strcpy(destination, source); }

char* ShellHost::getRootPath(char* destination) const { return std::strcpy(destination, m_rootPath); }

void ShellHost::getRootPathWide(char16_t* destination) const {
  std::size_t i = 0;
  for (; m_rootPath[i]; ++i) destination[i] = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(m_rootPath[i])));
  destination[i] = 0;
}

bool ShellHost::setRootPath(const char* path) {
  if (!path || std::strlen(path) > static_cast<std::size_t>(kMaxPath)) return false;
  std::strcpy(m_rootPath, path);
  return true;
}

char16_t* ShellHost::toWide(const char* source, char16_t* destination, int32_t capacity) {
  for (int32_t i = 0; i < capacity; ++i) {
    destination[i] = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(source[i])));
    if (source[i] == 0) return destination;
  }
  return nullptr;
}

char* ShellHost::toNarrow(const char16_t* source, char* destination, int32_t capacity) {
  for (int32_t i = 0; i < capacity; ++i) {
    destination[i] = static_cast<char>(source[i] & 0xFF);
    if (source[i] == 0) return destination;
  }
  return nullptr;
}

int32_t ShellHost::wideLength(const char16_t* text) {
  int32_t n = 0;
  while (text[n]) ++n;
  return n;
}

char* ShellHost::toUpper(char* text) {
  for (char* p = text; *p; ++p) {
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  }
  return text;
}

char* ShellHost::duplicateString(const char* text) {
  std::size_t n = std::strlen(text);
  char* copy = new char[n + 1];
  std::memcpy(copy, text, n + 1);
  return copy;
}

void ShellHost::fillRandom(uint8_t* buffer, int32_t count) {
  for (int32_t i = 0; i < count; ++i) buffer[i] = static_cast<uint8_t>(std::rand() & 0xFF);
}

int32_t ShellHost::getFreeSpace() const {
  char16_t root[kMaxPath + 1];
  getRootPathWide(root);
  ULARGE_INTEGER free{};
  if (!GetDiskFreeSpaceExW(root, &free, nullptr, nullptr)) return 0;
  return free.QuadPart > static_cast<ULONGLONG>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(free.QuadPart);
}

// ---- files

ShellFile* ShellHost::openFile(const char* folder, const char* name, int32_t modeFlag) {
  const char* mode = "rb";
  if (modeFlag == 2 || modeFlag == 4) mode = "wb";
  else if (modeFlag == 8) mode = "ab";
  char path[kMaxPath + 1];
  // A path that does not fit opens nothing (the file shows as size 0).
  if (!joinPath(path, sizeof path, folder, name)) return new ShellFile(nullptr, mode);
  return new ShellFile(path, mode);
}

int ShellHost::testFile(const char* folder, const char* name) {
  char path[kMaxPath + 1];
  if (!joinPath(path, sizeof path, folder, name)) return 1;
  FILE* f = hostFileOpen(path, "rb");
  if (!f) return 1;
  std::fclose(f);
  return 0;
}

int ShellHost::releaseFile(ShellFile* file) {
  if (file) {
    file->close();
    delete file;
  }
  return 0;
}

int ShellHost::getFileSize(FILE* file, ShellFileInfo* info) { return ::getFileSize(file, info); }

// ---- resources

void ShellHost::openResourceFile(const char* name) { openResourceFile(m_rootPath, name); }

void ShellHost::openResourceFile(const char* folder, const char* name) {
  char path[kMaxPath + 1];
  if (!joinPath(path, sizeof path, folder, name)) {
    m_resources.close();
    return;
  }
  m_resources.open(path);
}

int32_t ShellHost::loadResourceString(uint32_t id, char* buffer, int32_t bufferSize) {
  const char* text = m_resources.getString(id);
  if (!text || !buffer || bufferSize <= 0) return 0;
  std::size_t n = std::strlen(text);
  if (n + 1 > static_cast<std::size_t>(bufferSize)) return 0;
  std::memcpy(buffer, text, n + 1);
  return static_cast<int32_t>(n);
}
