// SPDX-License-Identifier: GPL-3.0-or-later
// The Vorbis decoder that plays the music's rendering: stb_vorbis, as
// Debian's libstb-dev ships it, compiled here once. Its header alone
// declares it to the rest of the sound player.
#define STB_VORBIS_NO_STDIO 1
#define STB_VORBIS_NO_PUSHDATA_API 1
#include <stb_vorbis.h>
