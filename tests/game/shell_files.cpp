// The game's tests run as the program does: the shell's files are the
// streams' file system (each test's ShellHost gives its root folder).
#include "windows_brew/ShellFileSystem.h"

namespace {
const bool g_installed = (setFileSystem(&shellFileSystem()), true);
}  // namespace
