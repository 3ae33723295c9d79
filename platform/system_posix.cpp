// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/system.h"

namespace brz {

const char kPathSeparator = '/';

std::string currentDirectory(std::error_code& error) {
  return std::filesystem::current_path(error).string();
}

std::string programDirectory(std::error_code& error) {
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
}

std::string gameDirectory(std::error_code& error) {
  return currentDirectory(error);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void useStartingConsole() {}

std::string runTimeFileFault(const std::string& path, FileStamp& stamp) {
  struct stat entry {};
  if (::stat(path.c_str(), &entry) != 0) return std::strerror(errno);
  auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
  stamp = {.known = true,
           .device = static_cast<std::uint64_t>(entry.st_dev),
           .inode = static_cast<std::uint64_t>(entry.st_ino),
           .size = static_cast<std::uint64_t>(entry.st_size),
           .modifiedNs = ns(entry.st_mtim),
           .changedNs = ns(entry.st_ctim)};
  if (S_ISREG(entry.st_mode)) return "";
  if (S_ISDIR(entry.st_mode)) return "it is a directory";
  if (S_ISFIFO(entry.st_mode)) return "it is a named pipe, not a file";
  if (S_ISSOCK(entry.st_mode)) return "it is a socket, not a file";
  return "it is a device, not a file";
}

int openToRead(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

std::FILE* createNewFile(const std::string& path) {
  return std::fopen(path.c_str(), "wx");
}

}  // namespace brz
