# Draws the icon twice into DIR and fails unless both files have the same
# bytes: a build must not change the program file when nothing changed.
#   cmake -DPYTHON=... -DSCRIPT=make_icon.py -DDIR=... -P reproducible_test.cmake
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
foreach(run 1 2)
  execute_process(COMMAND ${PYTHON} ${SCRIPT} ${DIR}/icon${run}.ico RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${SCRIPT} failed (${failed})")
  endif()
  file(SHA256 ${DIR}/icon${run}.ico hash${run})
endforeach()
if(NOT hash1 STREQUAL hash2)
  message(FATAL_ERROR "two runs of ${SCRIPT} gave different bytes")
endif()
