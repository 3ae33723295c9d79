# SPDX-License-Identifier: GPL-3.0-or-later
# brizzlet_licences(OUT DOC) : what a zip of the game with its own builds of
# the SDL family must carry beside the program, as pairs of the name in its
# folder "licences" and the file here: the game's art, the fonts' packages
# and the licences they name, the libraries, whose Debian copyright files the
# dependency scripts keep in DOC (PREFIX/share/doc), and the music's decoder
# (Debian's libstb-dev). The caller adds its own run-time's.
function(brizzlet_licences out doc)
  set(${out}
    assets.txt ${PROJECT_SOURCE_DIR}/assets/LICENSE
    fonts-wine.txt /usr/share/doc/fonts-wine/copyright
    fonts-liberation.txt /usr/share/doc/fonts-liberation/copyright
    LGPL-2.1.txt /usr/share/common-licenses/LGPL-2.1
    GPL-2.txt /usr/share/common-licenses/GPL-2
    SDL2.txt ${doc}/libsdl2/copyright
    SDL2_image.txt ${doc}/libsdl2-image/copyright
    SDL2_mixer.txt ${doc}/libsdl2-mixer/copyright
    SDL2_ttf.txt ${doc}/libsdl2-ttf/copyright
    FreeType.txt ${doc}/freetype/copyright
    stb.txt /usr/share/doc/libstb-dev/copyright
    ${ARGN}
    PARENT_SCOPE)
endfunction()
