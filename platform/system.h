// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit asks of the operating system. Each system has its file
// beside this one (system_posix.cpp, system_windows.cpp), chosen by the
// build. File names are UTF-8 on every system.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace brz {

// The separator between a directory and a name in it: '/', or '\' on Windows.
extern const char kPathSeparator;

// The directory the program was started in; "" with the reason in error.
std::string currentDirectory(std::error_code& error);

// Why a run-time file (a picture, a sound, the music) cannot be read as one,
// from what its path names, before it is opened; "" for a regular file, its
// size then in `size`. A named pipe would hold the reader until someone
// writes to it, and a device such as /dev/zero never ends.
std::string runTimeFileFault(const std::string& path, std::uint64_t& size);

// Opens a file to read its bytes exactly as they are, with read() and
// close(): the descriptor, or -1 with the reason in errno. Never waits:
// should a named pipe have taken a file's place since it was looked at, its
// reads end at once.
int openToRead(const std::string& path);

}  // namespace brz
