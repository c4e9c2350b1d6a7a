# ZEL_PYTHON: the Python 3 that runs the content tools. Drawing needs Pillow,
# which Debian installs for /usr/bin/python3 only, while a python3 earlier on
# the PATH may be another installation; so /usr/bin comes first, and an
# interpreter without Pillow stops the configuration with what to install.
include_guard(GLOBAL)

find_program(ZEL_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT ZEL_PYTHON)
  find_program(ZEL_PYTHON NAMES python3 REQUIRED)
endif()

function(zel_require_python_module module package)
  execute_process(COMMAND ${ZEL_PYTHON} -c "import ${module}"
    RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
  if(missing)
    message(FATAL_ERROR "${ZEL_PYTHON} cannot import ${module}: install Debian's "
      "${package} (scripts/install-deps.sh does), or set ZEL_PYTHON to a Python 3 that has it")
  endif()
endfunction()
