// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a run-time file whole, the same on every system: its checks are
// the system's (system_posix.cpp, system_windows.cpp).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system.h"

namespace brz {

std::string readRunTimeFile(const std::string& path, std::string& bytes, std::uint64_t most,
                            const std::string& tooLong) {
  bytes.clear();
  std::uint64_t size = 0;
  if (std::string fault = runTimeFileFault(path, size); !fault.empty()) return fault;
  if (size > most) return tooLong;
  int file = openToRead(path);
  if (file < 0) return std::strerror(errno);
  // The size looked at is a guess: the file may grow or shrink meanwhile.
  bytes.resize(static_cast<size_t>(size) + 1);
  size_t have = 0;
  int reason = 0;
  for (;;) {
    if (have == bytes.size())
      bytes.resize(static_cast<size_t>(std::min<std::uint64_t>(have * 2, most + 1)));
    ssize_t got = ::read(file, bytes.data() + have, bytes.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) reason = errno;
    if (got <= 0) break;
    have += static_cast<size_t>(got);
    if (have > most) break;
  }
  ::close(file);
  bytes.resize(have);
  std::string fault = reason        ? std::strerror(reason)
                      : have > most ? tooLong
                      : have == 0   ? "the file is empty"
                                    : "";
  if (!fault.empty()) bytes.clear();
  return fault;
}

}  // namespace brz
