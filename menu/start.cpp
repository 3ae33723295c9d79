#include "menu/start.h"

#include "menu/menutama.h"

namespace brz {

void startBrizzlet(Runtime& runtime) {
  runtime.start<menutama>();
}

}  // namespace brz
