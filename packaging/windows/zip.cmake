# SPDX-License-Identifier: GPL-3.0-or-later
# Fills the zip's folder and packs it: cmake -DMANIFEST=FILE -DZIP=FILE -P
# zip.cmake, the manifest written by CMakeLists.txt beside it. The program
# goes in stripped; the texts get Windows' line ends, for any editor.
include(${MANIFEST})
get_filename_component(work ${MANIFEST} DIRECTORY)
set(stage ${work}/${name})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/fonts ${stage}/licences)

execute_process(COMMAND ${strip} -o ${stage}/brizzlet.exe ${program} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot strip ${program}")
endif()
file(COPY ${run_time_files} DESTINATION ${stage})
file(COPY ${fonts} DESTINATION ${stage}/fonts)

function(text from to)
  file(READ ${from} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${to} "${content}")
endfunction()
foreach(from IN LISTS texts)
  get_filename_component(to ${from} NAME_WE)
  text(${from} ${stage}/${to}.txt)
endforeach()
list(LENGTH licences words)
math(EXPR last "${words} - 1")
foreach(at RANGE 0 ${last} 2)
  math(EXPR from_at "${at} + 1")
  list(GET licences ${at} to)
  list(GET licences ${from_at} from)
  text(${from} ${stage}/licences/${to})
endforeach()

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${name}
  WORKING_DIRECTORY ${work} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
