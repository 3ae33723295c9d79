// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// One run of the scenario runner on the real game with `data` as its script;
// aborts, naming the input, when the run ends in a way the runner promises
// never to end (see script_fuzz.cpp). Returns -1 for an input it leaves alone
// because it would only wait a long time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
