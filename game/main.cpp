// The game: it starts at the menu window and reads its music, sounds and
// magazine pictures from the directory it is started in. The only options
// record a session.
#include <cstdio>
#include <string>
#include <string_view>

#include "assets/layout_pictures.h"
#include "menu/start.h"
#include "platform/sdl/frontend.h"

namespace {

constexpr const char* kUsage =
    "usage: brizzlet [--record FILE]\n"
    "  --record FILE   write the session to FILE as a scenario that brizzlet-script replays\n"
    "  --help          show this help\n";

}  // namespace

int main(int argc, char** argv) {
  brz::sdl::Game game{
      .layoutPictures = brz::assets::layoutPicture, .start = brz::startBrizzlet, .recordPath = {}};
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--record" && i + 1 < argc && game.recordPath.empty()) {
      game.recordPath = argv[++i];
      continue;
    }
    std::fprintf(stderr, "brizzlet: %s %s\n%s",
                 arg == "--record" ? "--record needs one FILE, given once:" : "unknown option",
                 argv[i], kUsage);
    return 2;
  }
  return brz::sdl::run(game);
}
