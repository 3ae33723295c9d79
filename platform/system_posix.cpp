// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>

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

int openToRead(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace brz
