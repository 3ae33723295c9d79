// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/x11_errors.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>

namespace brz::sdl {

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
