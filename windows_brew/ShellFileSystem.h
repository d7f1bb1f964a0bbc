// The shell's files as the streams' file system (zul/io/FileSystem.h): names
// relative to the shell host's root folder, opened with the shell's flags.
// The program installs it at start-up (setFileSystem); it lives as long as
// the process and finds the shell host at each call, so it has no files
// while there is none.
#pragma once

#include "zul/io/FileSystem.h"

FileSystem& shellFileSystem();
