# The solvers' problem data: Zadachi.dat, written in every build from
# content/problems.txt and content/courses.txt by tools/problems/make_data.py,
# which checks every problem by our chess rules and stops with file:line on a
# fault. It lands in ${CMAKE_BINARY_DIR}/data/ for the installer to pick up.
include_guard(GLOBAL)
include(${PROJECT_SOURCE_DIR}/cmake/Python.cmake)

set(ZEL_PROBLEM_DATA ${CMAKE_BINARY_DIR}/data/Zadachi.dat)
add_custom_command(
  OUTPUT ${ZEL_PROBLEM_DATA}
  COMMAND ${ZEL_PYTHON} ${PROJECT_SOURCE_DIR}/tools/problems/make_data.py ${ZEL_PROBLEM_DATA}
  DEPENDS ${PROJECT_SOURCE_DIR}/content/problems.txt
          ${PROJECT_SOURCE_DIR}/content/courses.txt
          ${PROJECT_SOURCE_DIR}/tools/problems/make_data.py
          ${PROJECT_SOURCE_DIR}/tools/problems/pool.py
          ${PROJECT_SOURCE_DIR}/tools/content/chess.py
  COMMENT "Writing the problem data Zadachi.dat"
  VERBATIM)
add_custom_target(zel_problem_data ALL DEPENDS ${ZEL_PROBLEM_DATA})
