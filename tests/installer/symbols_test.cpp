// The library's dynamic symbol table: four exports by name, and imports of
// the platform calls and the C runtime only.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Symbol {
  char type;
  std::string name;
};

// nm's dynamic symbols, demangled.
std::vector<Symbol> dynamicSymbols(const char* which) {
  std::string command = std::string(KV_NM) + " -D -C " + which + " '" + KV_SETUP_LIBRARY + "'";
  std::vector<Symbol> out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[1024];
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::string line = buffer;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    // "<address> T name" or "                 U name"
    size_t type = line.find_first_not_of(" 0123456789abcdef");
    if (type == std::string::npos || type + 2 > line.size()) continue;
    out.push_back({line[type], line.substr(type + 2)});
  }
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

// The name without argument list and symbol version ("memcpy@GLIBC_2.14").
std::string callName(const std::string& demangled) {
  std::string name = demangled.substr(0, demangled.find('('));
  return name.substr(0, name.find('@'));
}

bool isRuntime(const std::string& name) {
  static const std::set<std::string> kRuntime = {
      "memcpy", "memset", "memmove", "__cxa_finalize", "__gmon_start__", "_ITM_deregisterTMCloneTable",
      "_ITM_registerTMCloneTable", "__stack_chk_fail"};
  static const char* const kSanitizerPrefixes[] = {"__asan_", "__ubsan_", "__sanitizer_", "__lsan_"};
  if (kRuntime.count(name)) return true;
  for (const char* prefix : kSanitizerPrefixes)
    if (name.rfind(prefix, 0) == 0) return true;
  return false;
}

TEST(SetupSymbols, ExportsExactlyTheFourEntryPoints) {
  std::set<std::string> names;
  for (const Symbol& s : dynamicSymbols("--defined-only")) {
    EXPECT_EQ(s.type, 'T') << s.name;
    names.insert(s.name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"Install_Exit", "Install_Init", "Uninstall_Exit", "Uninstall_Init"}));
}

TEST(SetupSymbols, ImportsOnlyThePlatformCallsAndTheRuntime) {
  const std::set<std::string> platform = {"MessageBoxW",   "CreateProcessW", "SendMessageW", "FindFirstFileW",
                                          "FindNextFileW", "FindClose",      "DeleteFileW"};
  std::set<std::string> imported;
  for (const Symbol& s : dynamicSymbols("--undefined-only")) {
    std::string name = callName(s.name);
    if (platform.count(name)) {
      imported.insert(name);
      continue;
    }
    EXPECT_TRUE(isRuntime(name)) << "unexpected import " << s.name;
  }
  EXPECT_EQ(imported, platform);
}

}  // namespace
