// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace brz {

// The game's run-time files (its pictures, sounds and music) are read whole.
// What the path names is looked at first, before the file is opened: a named
// pipe would hold the reader until someone writes to it, and a device such as
// /dev/zero never ends. Returns why the path is not a file to read, or ""
// with the file's size in `size`.
inline std::string runTimeFileFault(const std::string& path, std::uint64_t& size) {
  struct stat entry {};
  if (::stat(path.c_str(), &entry) != 0) return std::strerror(errno);
  size = static_cast<std::uint64_t>(entry.st_size);
  if (S_ISREG(entry.st_mode)) return "";
  if (S_ISDIR(entry.st_mode)) return "it is a directory";
  if (S_ISFIFO(entry.st_mode)) return "it is a named pipe, not a file";
  if (S_ISSOCK(entry.st_mode)) return "it is a socket, not a file";
  return "it is a device, not a file";
}

// Opens a run-time file to read. Never waits: should a named pipe have taken
// the file's place since it was looked at, its reads end at once instead.
inline int openRunTimeFile(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

}  // namespace brz
