# SPDX-License-Identifier: GPL-3.0-or-later
# The SDL family built for Windows by scripts/sdl-deps, under the names the
# rest of the build knows them by: the Linux build finds Debian's packages
# with pkg-config, which knows nothing of these static builds, but their
# CMake packages do.

# SDL2_image's package asks for libpng and libjpeg even though stb_image
# decodes its PNG and JPEG files: empty targets answer it.
foreach(answer PNG::PNG JPEG::JPEG)
  if(NOT TARGET ${answer})
    add_library(${answer} INTERFACE IMPORTED)
  endif()
endforeach()
find_package(SDL2 CONFIG REQUIRED)
find_package(SDL2_image CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
find_package(SDL2_ttf CONFIG REQUIRED)
find_package(Freetype REQUIRED)

# brizzlet_sdl_target(NAME LIBRARY...): an interface target NAME that links
# the LIBRARYs. SDL2_mixer's and SDL2_image's static targets do not bring SDL2
# along, so it comes last.
function(brizzlet_sdl_target name)
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  target_link_libraries(${name} INTERFACE ${ARGN} SDL2::SDL2-static)
endfunction()
brizzlet_sdl_target(PkgConfig::SDL2)
brizzlet_sdl_target(PkgConfig::SDL2_IMAGE SDL2_image::SDL2_image-static)
brizzlet_sdl_target(PkgConfig::SDL2_MIXER SDL2_mixer::SDL2_mixer-static)
brizzlet_sdl_target(PkgConfig::SDL2_TTF SDL2_ttf::SDL2_ttf-static Freetype::Freetype)
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED GLOBAL)
target_link_libraries(PkgConfig::FREETYPE INTERFACE Freetype::Freetype)
