// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/runtime.h"

namespace brz {

// Starts the game on a runtime: the menu window `menutama` is created and
// loaded (its load creates and loads the game window `Form1`), then shown.
// The runtime's host should give the layout pictures
// (brz::assets::layoutPicture) and a picture decoder.
void startBrizzlet(Runtime& runtime);

}  // namespace brz
