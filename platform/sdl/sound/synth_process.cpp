// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/synth_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

extern char** environ;

namespace brz::sdl {

namespace {

// Where brizzlet-synth is, or "".
std::string synthPath() {
  char self[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "";
  std::string dir(self, static_cast<size_t>(length));
  dir.erase(dir.rfind('/'));
  for (std::string path : {dir + "/brizzlet-synth", dir + "/../brizzlet-synth"})
    if (::access(path.c_str(), X_OK) == 0) return path;
  return "";
}

// The synthesizer's process, read as it writes the piece.
class SynthProcess : public PieceSource {
 public:
  SynthProcess() = default;
  ~SynthProcess() override {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    stop();
  }
  SynthProcess(const SynthProcess&) = delete;
  SynthProcess& operator=(const SynthProcess&) = delete;

  // Why the piece cannot be made, or "".
  std::string start(const std::string& bytes, const std::string& soundFonts, int rate);

  size_t maxFrames() const override { return maxFrames_; }
  size_t render(std::int16_t* block, size_t frames) override;
  bool over() const override { return over_; }
  size_t length() const override { return over_ ? length_ : written_; }

 private:
  // Reads exactly `bytes` bytes; false at the end of the output, or on an
  // error.
  bool take(void* into, size_t bytes);
  // Waits for the process to end; why it did not end well, or "".
  std::string stop();
  // Where the output ends before the piece: what is written is all there is.
  void cutShort() {
    over_ = true;
    length_ = written_;
    std::string why = stop();
    std::fprintf(stderr, "brizzlet: the music stops short: %s\n",
                 why.empty() ? "the synthesizer's output ends early" : why.c_str());
  }

  pid_t pid_ = -1;
  int output_ = -1;
  size_t maxFrames_ = 0;
  size_t written_ = 0;
  size_t length_ = 0;
  size_t blockLeft_ = 0;  // frames of the block being read
  bool over_ = false;
};

std::string SynthProcess::start(const std::string& bytes, const std::string& soundFonts, int rate) {
  std::string path = synthPath();
  if (path.empty()) return "cannot find brizzlet-synth next to the program";
  // The file's bytes in memory, for the synthesizer's standard input.
  int midi = ::memfd_create("brizzlet-midi", MFD_CLOEXEC);
  if (midi < 0) return std::string("cannot start the synthesizer: ") + std::strerror(errno);
  bool written = ::write(midi, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                 ::lseek(midi, 0, SEEK_SET) == 0;
  int pipe[2] = {-1, -1};
  if (!written || ::pipe2(pipe, O_CLOEXEC) != 0) {
    int error = errno;
    ::close(midi);
    return std::string("cannot start the synthesizer: ") + std::strerror(error);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, midi, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // None of the game's own: its display's connection would outlive it.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // It starts with no signal blocked or ignored, whatever the game's own
  // are: a write to a game that is gone ends it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string rateText = std::to_string(rate);
  char* argv[] = {path.data(), rateText.data(), const_cast<char*>(soundFonts.c_str()), nullptr};
  int spawned = ::posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(midi);
  ::close(pipe[1]);
  output_ = pipe[0];
  if (spawned != 0) {
    pid_ = -1;
    return std::string("cannot start the synthesizer: ") + std::strerror(spawned);
  }
  std::uint32_t kind = 0;
  std::uint64_t frames = 0;
  if (take(&kind, sizeof kind) && kind == kSynthPiece && take(&frames, sizeof frames)) {
    maxFrames_ = static_cast<size_t>(frames);
    return "";
  }
  std::string fault;
  if (kind == kSynthFault) {
    char text[512];
    for (ssize_t got; (got = ::read(output_, text, sizeof text)) > 0;)
      fault.append(text, static_cast<size_t>(got));
  }
  std::string why = stop();
  if (!fault.empty()) return fault;
  return why.empty() ? "the synthesizer said nothing" : why;
}

size_t SynthProcess::render(std::int16_t* block, size_t frames) {
  if (over_) return 0;
  if (blockLeft_ == 0) {
    std::uint32_t count = 0;
    if (!take(&count, sizeof count)) {
      cutShort();
      return 0;
    }
    if (count == 0) {
      std::uint64_t length = 0;
      if (!take(&length, sizeof length)) {
        cutShort();
        return 0;
      }
      over_ = true;
      length_ = std::min(static_cast<size_t>(length), written_);
      stop();
      return 0;
    }
    blockLeft_ = count;
  }
  frames = std::min(frames, blockLeft_);
  if (!take(block, frames * sizeof block[0] * 2)) {
    cutShort();
    return 0;
  }
  blockLeft_ -= frames;
  written_ += frames;
  return frames;
}

bool SynthProcess::take(void* into, size_t bytes) {
  char* at = static_cast<char*>(into);
  while (bytes > 0) {
    ssize_t got = ::read(output_, at, bytes);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    bytes -= static_cast<size_t>(got);
  }
  return true;
}

std::string SynthProcess::stop() {
  if (output_ >= 0) ::close(output_);
  output_ = -1;
  if (pid_ <= 0) return "";
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  if (WIFSIGNALED(status))
    return std::string("the synthesizer stopped: ") + strsignal(WTERMSIG(status));
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    return "the synthesizer ended with status " + std::to_string(WEXITSTATUS(status));
  return "";
}

}  // namespace

std::unique_ptr<PieceSource> synthesizeApart(const std::string& bytes,
                                             const std::string& soundFonts, int rate,
                                             std::string& fault) {
  auto process = std::make_unique<SynthProcess>();
  fault = process->start(bytes, soundFonts, rate);
  if (!fault.empty()) return nullptr;
  return process;
}

}  // namespace brz::sdl
