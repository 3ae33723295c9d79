// The game: no command line, no settings. It starts at the menu window and
// reads its music, sounds and magazine pictures from the directory it is
// started in.
#include "assets/layout_pictures.h"
#include "menu/start.h"
#include "platform/sdl/frontend.h"

int main() {
  return brz::sdl::run({.layoutPictures = brz::assets::layoutPicture, .start = brz::startBrizzlet});
}
