// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace brz::sdl {

// The audio and MIDI libraries print their own diagnostics on stderr (ALSA's
// search for a device, FluidSynth's and libinstpatch's view of a file), many
// lines for one fault, in their words. While one of their calls runs, stderr
// goes to /dev/null; the game then says what failed, once, in its own line.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
#ifdef _WIN32
    int null = open("NUL", O_WRONLY);
#else
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
#endif
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace brz::sdl
