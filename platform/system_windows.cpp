// SPDX-License-Identifier: GPL-3.0-or-later
// Windows names files in UTF-16, and its C library opens files in text mode
// unless told otherwise: names are converted from UTF-8 here, and files are
// opened binary.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <filesystem>

#include "platform/system.h"

namespace brz {

const char kPathSeparator = '\\';

std::string currentDirectory(std::error_code& error) {
  std::u8string name = std::filesystem::current_path(error).u8string();
  return std::string(name.begin(), name.end());
}

int openToRead(const std::string& path) {
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                   static_cast<int>(path.size()), nullptr, 0);
  if (length == 0 && !path.empty()) {
    errno = EILSEQ;
    return -1;
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

}  // namespace brz
