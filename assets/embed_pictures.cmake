# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the layout pictures into a C++ fragment of byte arrays and a table
# of LayoutPicture entries, each named after its file without the extension.
# Run as a script:
#   cmake -DPICTURE_DIR=<dir> -DPICTURES=<file,file,...> -DOUTPUT=<file> -P embed_pictures.cmake
cmake_minimum_required(VERSION 3.20)

string(REPLACE "," ";" pictures "${PICTURES}")
# Sixteen bytes to a line.
string(REPEAT "0x[0-9a-f][0-9a-f], " 16 line_pattern)

set(arrays "")
set(table "")
foreach(file IN LISTS pictures)
  get_filename_component(name "${file}" NAME_WE)
  file(READ "${PICTURE_DIR}/${file}" hex HEX)
  if(hex STREQUAL "")
    message(FATAL_ERROR "embed_pictures: ${PICTURE_DIR}/${file} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " bytes "${hex}")
  string(REGEX REPLACE "(${line_pattern})" "\\1\n  " bytes "${bytes}")
  string(REPLACE " \n" "\n" bytes "${bytes}")
  string(REGEX REPLACE "[ \n]+$" "" bytes "${bytes}")
  string(APPEND arrays "// ${file}\nconst unsigned char k_${name}[] = {\n  ${bytes}\n};\n\n")
  string(APPEND table "    {\"${name}\", k_${name}},\n")
endforeach()

set(content "// Written by assets/embed_pictures.cmake from assets/pictures. Do not edit.\n\n")
string(APPEND content "${arrays}")
string(APPEND content "const LayoutPicture kLayoutPictures[] = {\n${table}};\n")

# Leave an unchanged file alone, so that nothing recompiles for nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
