// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit asks of the operating system. Each system has its file
// beside this one (system_posix.cpp, system_windows.cpp), chosen by the
// build. File names are UTF-8 on every system.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace brz {

// The separator between a directory and a name in it: '/', or '\' on Windows.
extern const char kPathSeparator;

// The directory the program was started in; "" with the reason in error.
std::string currentDirectory(std::error_code& error);

// The directory that holds the running program; "" with the reason in error.
std::string programDirectory(std::error_code& error);

// Where the game finds its run-time files, the Path of its directory list
// box: on Windows the program's own folder, which is what the player unzipped
// and double-clicked in, wherever a shortcut or a prompt starts it; elsewhere
// the directory it was started in, where its launcher starts it.
std::string gameDirectory(std::error_code& error);

// The program's arguments after its name, in UTF-8: Windows hands main()
// them in the system's code page, which cannot name every file.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// A program with no console of its own (the game on Windows, which opens
// none when double-clicked) writes its messages to the console it was
// started from, if there is one and they are not sent elsewhere already.
// Elsewhere a program always has its standard streams: nothing to do.
void useStartingConsole();
// What a file's entry tells of its contents without reading them. Any write
// sets the times, so a file whose stamp is the same as before still holds
// the bytes read before, provided both its times were then already past:
// two writes within one tick of the file system's clock can leave every
// field as it was. `known` is false where the system gives no stamp to go
// by; the file is then read at every load.
struct FileStamp {
  bool known = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedNs = 0, changedNs = 0;  // since the epoch
  bool operator==(const FileStamp&) const = default;
};
// Why a run-time file (a picture, a sound, the music) cannot be read as one,
// from what its path names, before it is opened; "" for a regular file, its
// stamp then in `stamp`. A named pipe would hold the reader until someone
// writes to it, and a device such as /dev/zero never ends.
std::string runTimeFileFault(const std::string& path, FileStamp& stamp);
// The same, with only the file's size.
inline std::string runTimeFileFault(const std::string& path, std::uint64_t& size) {
  FileStamp stamp;
  std::string fault = runTimeFileFault(path, stamp);
  size = stamp.size;
  return fault;
}

// Opens a file to read its bytes exactly as they are, with read() and
// close(): the descriptor, or -1 with the reason in errno. Never waits:
// should a named pipe have taken a file's place since it was looked at, its
// reads end at once.
int openToRead(const std::string& path);

// Reads the whole of a run-time file into `bytes`: "" when it did, else why
// not, in plain words (`tooLong` for a file of more than `most` bytes, which
// is read no further), `bytes` then empty.
std::string readRunTimeFile(const std::string& path, std::string& bytes, std::uint64_t most,
                            const std::string& tooLong);

// Creates the file at `path` for writing, only if nothing is there: the
// stream, or null with the reason in errno.
std::FILE* createNewFile(const std::string& path);

// A UTF-8 file name as the standard library's files and streams take it.
inline std::filesystem::path filePath(std::string_view name) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

}  // namespace brz
