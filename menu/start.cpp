// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/start.h"

#include "menu/menutama.h"

namespace brz {

void startBrizzlet(Runtime& runtime) {
  runtime.start<menutama>();
}

}  // namespace brz
