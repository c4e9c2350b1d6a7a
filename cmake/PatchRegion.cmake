# A solver program's file must hold the launch letters at fixed byte
# positions (94,119 to 96,972) that the shell overwrites. A real program's
# code is larger than that, so the bytes there are set aside: a section
# ".zpatch" of zeros, placed first in the file by a linker script that is
# ld's own default with that one section put before ".text".
#
#   zel_reserve_patch_region(<target>)
#
# The target must contain the section (solver/patch_region.cpp). Only for
# the mingw-w64 builds: the script is made from this toolchain's ld.
include_guard(GLOBAL)

set(_zel_ld ${ZEL_MINGW_TRIPLET}-ld)
execute_process(COMMAND ${_zel_ld} --verbose OUTPUT_VARIABLE _zel_ld_out RESULT_VARIABLE _zel_ld_failed)
if(_zel_ld_failed)
  message(FATAL_ERROR "${_zel_ld} --verbose failed: cannot make the solvers' linker script")
endif()
# The default script sits between two lines of "=" (CMake's regular
# expressions have no lazy match, so the lines are found by position).
set(_zel_rule "==================================================")
string(FIND "${_zel_ld_out}" "${_zel_rule}" _zel_first)
string(FIND "${_zel_ld_out}" "${_zel_rule}" _zel_last REVERSE)
if(_zel_first EQUAL -1 OR _zel_last LESS_EQUAL _zel_first)
  message(FATAL_ERROR "${_zel_ld} --verbose printed no default script")
endif()
string(LENGTH "${_zel_rule}" _zel_rule_length)
math(EXPR _zel_begin "${_zel_first} + ${_zel_rule_length}")
math(EXPR _zel_length "${_zel_last} - ${_zel_begin}")
string(SUBSTRING "${_zel_ld_out}" ${_zel_begin} ${_zel_length} _zel_script)
set(_zel_text_start "  .text  __image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ ) :")
string(FIND "${_zel_script}" "${_zel_text_start}" _zel_at)
if(_zel_at EQUAL -1)
  message(FATAL_ERROR "${_zel_ld}'s default script has no .text where expected: "
    "cannot place the solvers' reserved section")
endif()
string(REPLACE "${_zel_text_start}"
"  /* The launch letters' region: first in the file, at .text's address. */
  .zpatch  __image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ ) :
  {
    KEEP (*(.zpatch))
  }
  .text  ALIGN(__section_alignment__) :" _zel_script "${_zel_script}")
set(ZEL_PATCH_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/generated/zpatch.ld)
file(WRITE ${ZEL_PATCH_LINKER_SCRIPT} "${_zel_script}")

function(zel_reserve_patch_region target)
  target_link_options(${target} PRIVATE -Wl,-T,${ZEL_PATCH_LINKER_SCRIPT})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${ZEL_PATCH_LINKER_SCRIPT})
endfunction()
