// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>

#include <filesystem>

#include "platform/system.h"

namespace brz {

const char kPathSeparator = '/';

std::string currentDirectory(std::error_code& error) {
  return std::filesystem::current_path(error).string();
}

int openToRead(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace brz
