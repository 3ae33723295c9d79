#include "platform/sdl/x11_errors.h"

#include <SDL.h>

#include <cstring>

#ifdef BRIZZLET_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#endif

namespace brz::sdl {

#ifdef BRIZZLET_X11
namespace {

XErrorHandler previous = nullptr;

// SDL wakes its event wait by sending an event to one of its windows over a
// second X connection. When that window is destroyed just then (a message box
// answered, every window at the end), the server may take the destruction
// first and answer the wake-up with BadWindow, which Xlib's default handler
// makes fatal. Nothing is lost with it: that one error is ignored, any other
// goes on to the handler before.
int onXError(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return previous ? previous(display, error) : 0;
}

}  // namespace

void tolerateLostWakeups() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0 && !previous) previous = XSetErrorHandler(onXError);
}
#else
void tolerateLostWakeups() {}
#endif

}  // namespace brz::sdl
