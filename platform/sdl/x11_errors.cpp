// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/x11_errors.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef __unix__
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace brz::sdl {

#ifdef __unix__
std::string waylandAbsence(const char* name) {
  if (std::getenv("WAYLAND_SOCKET")) return {};  // handed over already connected
  std::string path = name;
  if (!path.starts_with('/')) {
    const char* directory = std::getenv("XDG_RUNTIME_DIR");
    if (!directory || !*directory) return "XDG_RUNTIME_DIR, where its socket would be, is not set";
    path = std::string(directory) + "/" + path;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return "the path of its socket is too long";
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return std::strerror(errno);
  bool answers = ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  int reason = errno;
  ::close(socket);
  return answers ? ""
                 : std::string("no Wayland compositor answers there: ") + std::strerror(reason);
}
#else
std::string waylandAbsence(const char*) {
  return {};
}
#endif

#ifdef BRIZZLET_X11
namespace {

XErrorHandler previous = nullptr;

// A request on a window that is gone fails with BadWindow or BadDrawable,
// which Xlib's default handler makes fatal. It happens in a clean run: SDL
// wakes its event wait by sending an event to one of its windows over a
// second connection, and when that window is destroyed just then (a message
// box answered, every window at the end) the server may take the destruction
// first. It happens when another client destroys a game window, until the
// game has seen that and ended. Either way the request had nothing left to
// act on, so nothing is lost: those errors are ignored, any other goes on to
// the handler before.
int onXError(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  return previous ? previous(display, error) : 0;
}

}  // namespace

void installXErrorHandler() {
  if (!previous) previous = XSetErrorHandler(onXError);
}

void watchWindowDestruction() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool destroyedFromOutside(const SDL_Event& event, SDL_Window* window) {
  if (event.type != SDL_SYSWMEVENT || !window || event.syswm.msg->subsystem != SDL_SYSWM_X11)
    return false;
  const XEvent& x = event.syswm.msg->msg.x11.event;
  if (x.type != DestroyNotify) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
         info.info.x11.window == x.xdestroywindow.window;
}

bool xServerAnswers(const char* name) {
  Display* display = XOpenDisplay(name);
  if (display) XCloseDisplay(display);
  return display != nullptr;
}
#else
bool xServerAnswers(const char*) {
  return true;
}
void installXErrorHandler() {}
void watchWindowDestruction() {}
bool destroyedFromOutside(const SDL_Event&, SDL_Window*) {
  return false;
}
#endif

}  // namespace brz::sdl
