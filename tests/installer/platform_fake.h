// A recording fake of the seven platform calls the setup library imports.
// This test program defines them itself (and exports them), so the library
// loaded with dlopen binds to these instead of the platform layer.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "wince/windows.h"

namespace fake {

struct MessageBox {
  HWND window;
  std::u16string text;
  std::u16string caption;
  UINT style;
};

// Every argument of a process start; true for the ones given as null/0.
struct ProcessStart {
  std::u16string program;
  bool programNull;
  bool commandLineNull, processAttributesNull, threadAttributesNull, noInheritance, noFlags, environmentNull,
      currentFolderNull, startupInfoNull, processInfoNull;
};

struct Message {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct Platform {
  // What the calls answer.
  std::vector<int> answers;             // message-box answers in order; then IDNO
  BOOL startResult = TRUE;              // process start
  bool folderExists = true;             // the install folder
  std::vector<std::u16string> folder;   // its entries, in find order
  std::set<std::u16string> undeletable; // names whose deletion fails

  // What was called, in order: "MessageBoxW", "CreateProcessW", ...
  std::vector<std::string> calls;
  std::vector<MessageBox> boxes;
  std::vector<ProcessStart> starts;
  std::vector<Message> messages;
  std::vector<std::u16string> patterns;   // searches
  std::vector<std::u16string> deletions;  // paths given to DeleteFileW
  int searchesOpened = 0;
  std::vector<int> closes;  // per opened search, how often it was closed
  int badHandleUses = 0;    // next/close on a handle that is not an open search
};

// Fresh state for each test.
Platform& platform();
void reset();

// Units of a name as the fake's find record holds it: at most MAX_PATH, with
// the terminator only when it fits.
constexpr size_t kRecordUnits = MAX_PATH;

}  // namespace fake
