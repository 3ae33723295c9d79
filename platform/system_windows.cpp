// SPDX-License-Identifier: GPL-3.0-or-later
// Windows names files in UTF-16, and its C library opens files in text mode
// unless told otherwise: names are converted from UTF-8 here, and files are
// opened binary.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstring>
#include <filesystem>

#include "platform/system.h"

namespace brz {

const char kPathSeparator = '\\';

std::string currentDirectory(std::error_code& error) {
  std::u8string name = std::filesystem::current_path(error).u8string();
  return std::string(name.begin(), name.end());
}

namespace {

// A UTF-8 name in UTF-16; false, with errno set, when it is no UTF-8.
bool wideName(const std::string& path, std::wstring& wide) {
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                   static_cast<int>(path.size()), nullptr, 0);
  if (length == 0 && !path.empty()) {
    errno = EILSEQ;
    return false;
  }
  wide.assign(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return true;
}

}  // namespace

std::string runTimeFileFault(const std::string& path, std::uint64_t& size) {
  std::wstring wide;
  struct _stat64 entry {};
  if (!wideName(path, wide) || ::_wstat64(wide.c_str(), &entry) != 0) return std::strerror(errno);
  size = static_cast<std::uint64_t>(entry.st_size);
  if (entry.st_mode & _S_IFREG) return "";
  if (entry.st_mode & _S_IFDIR) return "it is a directory";
  return "it is a device, not a file";
}

int openToRead(const std::string& path) {
  std::wstring wide;
  if (!wideName(path, wide)) return -1;
  return ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

}  // namespace brz
