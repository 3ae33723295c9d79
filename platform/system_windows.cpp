// SPDX-License-Identifier: GPL-3.0-or-later
// Windows names files in UTF-16, and its C library opens files in text mode
// unless told otherwise: names are converted from UTF-8 here, and files are
// opened binary.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/system.h"

namespace brz {

namespace {

std::string utf8Of(const std::filesystem::path& path) {
  std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

// The stream has somewhere to go: a console, a file or a pipe.
bool sent(DWORD stream) {
  HANDLE handle = GetStdHandle(stream);
  return handle && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

const char kPathSeparator = '\\';

std::string currentDirectory(std::error_code& error) {
  return utf8Of(std::filesystem::current_path(error));
}

std::string programDirectory(std::error_code& error) {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD got = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (got == 0) {
      error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
      return {};
    }
    // A name that filled the room may have been cut short.
    if (got < name.size()) {
      name.resize(got);
      break;
    }
    name.resize(name.size() * 2);
  }
  error.clear();
  return utf8Of(std::filesystem::path(name).parent_path());
}

std::string gameDirectory(std::error_code& error) {
  return programDirectory(error);
}

std::vector<std::string> commandLineArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(utf8Of(std::filesystem::path(words[i])));
  LocalFree(words);
  return arguments;
}

void useStartingConsole() {
  bool out = sent(STD_OUTPUT_HANDLE), err = sent(STD_ERROR_HANDLE);
  if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
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

// Windows' times are too coarse, and its "change" time is the creation, to
// tell a rewritten file from the one read: no stamp.
std::string runTimeFileFault(const std::string& path, FileStamp& stamp) {
  std::wstring wide;
  struct _stat64 entry {};
  if (!wideName(path, wide) || ::_wstat64(wide.c_str(), &entry) != 0) return std::strerror(errno);
  stamp = {.size = static_cast<std::uint64_t>(entry.st_size)};
  if (entry.st_mode & _S_IFREG) return "";
  if (entry.st_mode & _S_IFDIR) return "it is a directory";
  return "it is a device, not a file";
}

int openToRead(const std::string& path) {
  std::wstring wide;
  if (!wideName(path, wide)) return -1;
  return ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

// Binary, so a file written here has the same line ends as one written on
// Linux, and _O_EXCL, which the C library's fopen modes cannot ask for.
std::FILE* createNewFile(const std::string& path) {
  std::wstring wide;
  if (!wideName(path, wide)) return nullptr;
  int file = ::_wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                      _S_IREAD | _S_IWRITE);
  if (file < 0) return nullptr;
  std::FILE* stream = ::_fdopen(file, "wb");
  if (!stream) ::_close(file);
  return stream;
}

}  // namespace brz
