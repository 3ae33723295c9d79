// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the front end does differently by system: starting SDL's video on
// the system's display, and waiting on it. display_posix.cpp (X11 or
// Wayland), display_windows.cpp and display_web.cpp (a browser's page),
// chosen by the build; the two desktops share display_desktop.cpp.
union SDL_Event;
struct SDL_Rect;
struct SDL_Window;

namespace brz::sdl {

// Starts SDL's video; false, with the reason said in one line on stderr,
// when there is no display to show the game on. Call after the front end's
// hints are set.
bool startVideo();

// Whether the display has room for one window only, the page's canvas: the
// game's windows then share it as one screen (SingleScreen).
bool oneWindowOnly();

// Whether the system shows a window's icon anywhere: a browser's page has
// its own, and the game's would be decoded for nothing.
bool showsWindowIcons();

// The screen the game's windows are laid out on, in pixels, false when SDL
// cannot tell: the first display's bounds on a desktop, the page's viewport
// in device pixels in a browser. Needs SDL's video up.
bool displayBounds(SDL_Rect& bounds);

// The room a window may take on that screen (the desktop's, less its
// panels); false when a window may take any size.
bool windowRoom(SDL_Rect& room);

// The whole-number scale the windows are drawn at unless one is asked for:
// the display's density over 96 dpi on a desktop, the page's device pixels
// to a CSS pixel in a browser.
int displayScale();

// Whether the display shows pixels straight from the program's memory, in
// bytes R, G, B, A (opaque): a browser's canvas does. SDL's window surface
// there is converted a pixel at a time in JavaScript, the whole of it at
// every frame, into a copy of its own. A desktop shows SDL's.
bool showsRgba();

// Shows `rect` of `pixels`, rows of `pitch` bytes as large as the window, in
// it, where showsRgba().
void showRgba(SDL_Window* window, const void* pixels, int pitch, const SDL_Rect& rect);

// Whether the sound may begin, once the first frame is drawn: on a desktop
// at once. A page shows what was drawn only at the browser's next animation
// frame, which opening the audio device and making the music's first block
// would hold up; and it fetches the music's rendering apart from the game's
// other files, so that the game starts without waiting for it. There the
// sound begins once the first frame is shown and the rendering is in (or
// failed to come), and the page wakes the game's wait when it may.
bool soundMayBegin();

// Waits up to `ms` milliseconds (for ever if negative) for an event, as
// SDL_WaitEventTimeout does; true when one came, in `event`.
bool waitEvent(SDL_Event& event, int ms);

// The front end's last word, as the game ends with `status`: what run()
// returns.
int leave(int status);

}  // namespace brz::sdl
