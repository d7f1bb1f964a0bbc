// The setup library: after installation it offers to start the game, after
// removal it offers to delete the saved data left in the install folder.
// Its platform calls are left unresolved and bound to the program that
// loads it, as the device's installer provides them.
#include <cstring>

#include "installer/SetupLibrary.h"

namespace {

constexpr size_t kPathUnits = MAX_PATH;

constexpr WCHAR kCaption[] = u"Korvane";
constexpr WCHAR kInstallFolder[] = u"\\Program Files\\Pelloran\\Korvane\\";
constexpr WCHAR kProgramFile[] = u"Korvane.exe";
constexpr WCHAR kLaunchQuestion[] = u"Game installed.\nDo you want to launch it?";
constexpr WCHAR kLaunchFailed[] = u"Could not launch the game.\nPlease launch it from Games folder.";
constexpr WCHAR kRemoveQuestion[] = u"Do you want to remove your saved data?";
constexpr WCHAR kSavePattern[] = u"*.sav";
constexpr WCHAR kSecondSave[] = u"rms_game";

constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION;  // 0x24
constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION;     // 0x30

template <size_t N>
constexpr size_t units(const WCHAR (&)[N]) {
  return N;
}

// Length of text, looking at no more than limit units.
size_t boundedLength(const WCHAR* text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n]) ++n;
  return n;
}

// out := folder + name, in a zero-filled path buffer. name is read within
// nameUnits units. False, with out left empty, when name has no terminator
// there or the join and its terminator do not fit the buffer.
bool joinPath(WCHAR (&out)[kPathUnits], const WCHAR* folder, size_t folderUnits, const WCHAR* name,
              size_t nameUnits) {
  std::memset(out, 0, sizeof out);
  size_t a = boundedLength(folder, folderUnits);
  size_t b = boundedLength(name, nameUnits);
  if (a == folderUnits || b == nameUnits || a + b >= kPathUnits) return false;
  std::memcpy(out, folder, a * sizeof(WCHAR));
  std::memcpy(out + a, name, b * sizeof(WCHAR));
  return true;
}

template <size_t N>
bool joinPath(WCHAR (&out)[kPathUnits], const WCHAR (&name)[N]) {
  return joinPath(out, kInstallFolder, units(kInstallFolder), name, N);
}

bool isOpen(HANDLE search) { return search != INVALID_HANDLE_VALUE && search != nullptr; }

// Deletes install folder + name for every file the search finds; names
// whose path would not fit a path buffer are skipped.
void deleteMatches(const WCHAR* pattern) {
  WIN32_FIND_DATAW found;
  std::memset(&found, 0, sizeof found);
  HANDLE search = FindFirstFileW(pattern, &found);
  if (!isOpen(search)) return;
  do {
    WCHAR path[kPathUnits];
    if (joinPath(path, kInstallFolder, units(kInstallFolder), found.cFileName, units(found.cFileName)))
      DeleteFileW(path);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

extern "C" {

int Install_Init(HWND, BOOL, BOOL, LPCWSTR) { return kSetupContinue; }

// One function behind both init exports; it reads none of its arguments,
// so the shorter argument list is harmless.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
#endif
int Uninstall_Init(HWND, LPCWSTR) __attribute__((alias("Install_Init")));
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

int Install_Exit(HWND parent, LPCWSTR, WORD, WORD, WORD, WORD, WORD) {
  if (MessageBoxW(parent, kLaunchQuestion, kCaption, kQuestionStyle) != IDYES) return kSetupDone;
  // The game always starts from the fixed install folder, wherever the
  // package was put.
  WCHAR program[kPathUnits];
  joinPath(program, kProgramFile);
  if (!CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, nullptr))
    MessageBoxW(parent, kLaunchFailed, kCaption, kErrorStyle);
  SendMessageW(parent, WM_QUIT, 0, 0);
  return kSetupDone;
}

int Uninstall_Exit(HWND parent) {
  if (MessageBoxW(parent, kRemoveQuestion, kCaption, kQuestionStyle) != IDYES) return kSetupDone;
  WCHAR pattern[kPathUnits];
  if (joinPath(pattern, kSavePattern)) deleteMatches(pattern);
  if (joinPath(pattern, kSecondSave)) {
    WIN32_FIND_DATAW found;
    std::memset(&found, 0, sizeof found);
    HANDLE search = FindFirstFileW(pattern, &found);
    if (isOpen(search)) {
      DeleteFileW(pattern);
      FindClose(search);
    }
  }
  return kSetupDone;
}

}  // extern "C"
