// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit asks of the operating system. Each system has its file
// beside this one (system_posix.cpp, system_windows.cpp), chosen by the
// build. File names are UTF-8 on every system.
#pragma once

#include <string>
#include <system_error>

namespace brz {

// The separator between a directory and a name in it: '/', or '\' on Windows.
extern const char kPathSeparator;

// The directory the program was started in; "" with the reason in error.
std::string currentDirectory(std::error_code& error);

// Opens a file to read its bytes exactly as they are, with read() and
// close(): the descriptor, or -1 with the reason in errno.
int openToRead(const std::string& path);

}  // namespace brz
