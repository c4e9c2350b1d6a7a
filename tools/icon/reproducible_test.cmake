# Draws the icon and the installer's side picture twice into DIR and fails
# unless both runs give the same bytes: a build must not change the program
# file or the installer when nothing changed.
#   cmake -DPYTHON=... -DSCRIPT=make_icon.py -DDIR=... -P reproducible_test.cmake
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
foreach(run 1 2)
  execute_process(COMMAND ${PYTHON} ${SCRIPT} ${DIR}/icon${run}.ico ${DIR}/wizard${run}.bmp
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${SCRIPT} failed (${failed})")
  endif()
  file(SHA256 ${DIR}/icon${run}.ico icon${run})
  file(SHA256 ${DIR}/wizard${run}.bmp wizard${run})
endforeach()
if(NOT icon1 STREQUAL icon2 OR NOT wizard1 STREQUAL wizard2)
  message(FATAL_ERROR "two runs of ${SCRIPT} gave different bytes")
endif()
