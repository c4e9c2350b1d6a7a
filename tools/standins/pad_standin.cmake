# Runs after a solver stand-in is linked: fails when the program itself reaches
# the lowest patch position, then pads it with zero bytes so that every patch
# position lies inside the file. The loaders ignore the trailing bytes.
#   cmake -DFILE=... -DLIMIT=94118 -DPAD_TO=97000 -DTRUNCATE=/usr/bin/truncate -P pad_standin.cmake
file(SIZE "${FILE}" built)
if(built GREATER_EQUAL LIMIT)
  # Removed, so that the next build links it again instead of taking the
  # oversized file as up to date.
  file(REMOVE "${FILE}")
  message(FATAL_ERROR "${FILE} is ${built} bytes as built; a solver stand-in must stay below "
    "${LIMIT} bytes, or the shell's patches would overwrite its code")
endif()
execute_process(COMMAND "${TRUNCATE}" -s "${PAD_TO}" "${FILE}" RESULT_VARIABLE failed)
file(SIZE "${FILE}" padded)
if(failed OR NOT padded EQUAL PAD_TO)
  file(REMOVE "${FILE}")
  message(FATAL_ERROR "could not pad ${FILE} to ${PAD_TO} bytes")
endif()
message(STATUS "${FILE}: ${built} bytes, padded to ${padded}")
