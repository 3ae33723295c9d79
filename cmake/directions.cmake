# SPDX-License-Identifier: GPL-3.0-or-later
# The directions the code depends in, checked on every source and header, the
# program's root included. Included when the build is configured, and run as
# a script (cmake -DBRIZZLET_SOURCE_DIR=... -P) whenever a source changes.
#
# Each rule: the folders it covers (a regular expression on the path), what
# their sources must not include, and why.
set(brizzlet_direction_rules
  "^(game|menu)/" "#include[ \t]*[<\"](SDL2/)?SDL"
  "includes SDL: the game and the menu know the world only through the runtime"
  "^game/" "#include[ \t]*\"menu/"
  "includes the menu: the menu links the game, never the other way round"
  "^platform/" "#include[ \t]*\"(app|assets|game|menu|tools)/"
  "reaches above the runtime: platform/ is built on by the program and its tools, never the other way round"
  "^platform/(script/)?[a-z_]+\\.(h|cpp)$" "#include[ \t]*([<\"](SDL2/)?SDL|\"platform/sdl/)"
  "reaches SDL: the runtime and the scenario language are headless"
)

if(NOT BRIZZLET_SOURCE_DIR)
  set(BRIZZLET_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
endif()
file(GLOB_RECURSE brizzlet_sources RELATIVE ${BRIZZLET_SOURCE_DIR}
  ${BRIZZLET_SOURCE_DIR}/app/*.[ch]*  ${BRIZZLET_SOURCE_DIR}/assets/*.[ch]*
  ${BRIZZLET_SOURCE_DIR}/bench/*.[ch]* ${BRIZZLET_SOURCE_DIR}/game/*.[ch]*
  ${BRIZZLET_SOURCE_DIR}/menu/*.[ch]* ${BRIZZLET_SOURCE_DIR}/platform/*.[ch]*
  ${BRIZZLET_SOURCE_DIR}/tests/*.[ch]* ${BRIZZLET_SOURCE_DIR}/tools/*.[ch]*)
list(FILTER brizzlet_sources INCLUDE REGEX "\\.(h|cpp)$")
list(LENGTH brizzlet_direction_rules rule_words)
math(EXPR last_rule "${rule_words} - 1")
foreach(source IN LISTS brizzlet_sources)
  foreach(at RANGE 0 ${last_rule} 3)
    math(EXPR pattern_at "${at} + 1")
    math(EXPR why_at "${at} + 2")
    list(GET brizzlet_direction_rules ${at} folders)
    list(GET brizzlet_direction_rules ${pattern_at} pattern)
    list(GET brizzlet_direction_rules ${why_at} why)
    if(source MATCHES "${folders}")
      file(STRINGS ${BRIZZLET_SOURCE_DIR}/${source} found REGEX "${pattern}")
      if(found)
        list(GET found 0 line)
        message(FATAL_ERROR "${source} ${why}:\n  ${line}")
      endif()
    endif()
  endforeach()
endforeach()
