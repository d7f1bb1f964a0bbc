#include "platform_fake.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace fake {
namespace {

const std::u16string kFolder = u"\\Program Files\\Pelloran\\Korvane\\";

struct Search {
  int index;                         // into Platform::closes
  std::vector<std::u16string> names;
  size_t next = 0;
};

std::vector<std::unique_ptr<Search>>& searches() {
  static std::vector<std::unique_ptr<Search>> all;
  return all;
}

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool equalNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// "*suffix" or an exact name, ignoring case.
bool matches(std::u16string_view mask, std::u16string_view name) {
  if (!mask.empty() && mask[0] == u'*') {
    std::u16string_view suffix = mask.substr(1);
    return name.size() >= suffix.size() && equalNoCase(name.substr(name.size() - suffix.size()), suffix);
  }
  return equalNoCase(mask, name);
}

void fillRecord(const std::u16string& name, WIN32_FIND_DATAW* data) {
  std::memset(data, 0, sizeof *data);
  data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  size_t n = std::min(name.size(), kRecordUnits);
  std::memcpy(data->cFileName, name.data(), n * sizeof(WCHAR));
}

Search* openSearch(HANDLE handle) {
  for (auto& s : searches())
    if (s.get() == handle && platform().closes[static_cast<size_t>(s->index)] == 0) return s.get();
  return nullptr;
}

std::u16string text(const WCHAR* s) { return s ? std::u16string(s) : std::u16string(); }

}  // namespace

Platform& platform() {
  static Platform p;
  return p;
}

void reset() {
  platform() = Platform{};
  searches().clear();
}

}  // namespace fake

using fake::platform;

int MessageBoxW(HWND window, LPCWSTR text, LPCWSTR caption, UINT type) {
  fake::Platform& p = platform();
  p.calls.push_back("MessageBoxW");
  p.boxes.push_back({window, fake::text(text), fake::text(caption), type});
  size_t asked = p.boxes.size() - 1;
  return asked < p.answers.size() ? p.answers[asked] : IDNO;
}

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION processInformation) {
  fake::Platform& p = platform();
  p.calls.push_back("CreateProcessW");
  p.starts.push_back({fake::text(application), application == nullptr, commandLine == nullptr,
                      processAttributes == nullptr, threadAttributes == nullptr, inheritHandles == FALSE,
                      creationFlags == 0, environment == nullptr, currentDirectory == nullptr,
                      startupInfo == nullptr, processInformation == nullptr});
  return p.startResult;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  fake::Platform& p = platform();
  p.calls.push_back("SendMessageW");
  p.messages.push_back({window, message, wParam, lParam});
  return 0;
}

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  fake::Platform& p = platform();
  p.calls.push_back("FindFirstFileW");
  std::u16string full = fake::text(pattern);
  p.patterns.push_back(full);
  if (!data || !p.folderExists || full.size() < fake::kFolder.size() ||
      !fake::equalNoCase(std::u16string_view(full).substr(0, fake::kFolder.size()), fake::kFolder))
    return INVALID_HANDLE_VALUE;
  std::u16string_view mask = std::u16string_view(full).substr(fake::kFolder.size());
  auto search = std::make_unique<fake::Search>();
  for (const std::u16string& name : p.folder)
    if (fake::matches(mask, name)) search->names.push_back(name);
  if (search->names.empty()) return INVALID_HANDLE_VALUE;
  search->index = p.searchesOpened++;
  p.closes.push_back(0);
  fake::fillRecord(search->names[0], data);
  search->next = 1;
  HANDLE handle = search.get();
  fake::searches().push_back(std::move(search));
  return handle;
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
  fake::Platform& p = platform();
  p.calls.push_back("FindNextFileW");
  fake::Search* s = fake::openSearch(find);
  if (!s || !data) {
    ++p.badHandleUses;
    return FALSE;
  }
  if (s->next >= s->names.size()) return FALSE;
  fake::fillRecord(s->names[s->next++], data);
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  fake::Platform& p = platform();
  p.calls.push_back("FindClose");
  for (auto& s : fake::searches())
    if (s.get() == find) {
      ++p.closes[static_cast<size_t>(s->index)];
      return p.closes[static_cast<size_t>(s->index)] == 1;
    }
  ++p.badHandleUses;
  return FALSE;
}

BOOL DeleteFileW(LPCWSTR path) {
  fake::Platform& p = platform();
  p.calls.push_back("DeleteFileW");
  std::u16string full = fake::text(path);
  p.deletions.push_back(full);
  std::u16string name = full.substr(std::min(full.size(), fake::kFolder.size()));
  return p.undeletable.count(name) ? FALSE : TRUE;
}
