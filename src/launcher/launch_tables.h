// The launch items of the course and problem-book solvers, one row each.
// Letters are case-sensitive ASCII.
#pragma once

#include <span>

#include "app/controls.h"
#include "launcher/launch_entry.h"

namespace zel {

struct LaunchRow {
  Control control;
  LaunchEntry entry;
};

namespace launch_detail {
constexpr LaunchEntry Course(char item1, char russian, char english, char item2, char picture) {
  return {SolverFamily::CourseSolver, item1, russian, english, item2, picture};
}
constexpr LaunchEntry Book(char item1, char russian, char english, char item2, char picture) {
  return {SolverFamily::ProblemBookSolver, item1, russian, english, item2, picture};
}
}  // namespace launch_detail

// clang-format off
inline constexpr LaunchRow kCourseLaunches[] = {
    {Control::mnuTactics1, launch_detail::Course('t', 'P', 'T', 'a', 'i')},
    {Control::mnuTactics2, launch_detail::Course('x', 'P', 'T', 'y', 'i')},
    {Control::mnuTactics3, launch_detail::Course('s', 'P', 'T', 'u', 'i')},
    {Control::mnuTactics4, launch_detail::Course('w', 'P', 'T', 'o', 't')},
    {Control::mnuTactics5, launch_detail::Course('q', 'P', 'T', 'q', 't')},
    {Control::mnuTactics6, launch_detail::Course('v', 'P', 'T', 'e', 't')},
    {Control::mnuTactics7, launch_detail::Course('p', 'P', 'T', 'd', 'y')},
    {Control::mnuTactics8, launch_detail::Course('k', 'P', 'T', 'c', 'y')},
    {Control::mnuTactics9, launch_detail::Course('z', 'P', 'T', 'b', 'y')},
    {Control::mnuPractic,  launch_detail::Course('l', 'S', 'R', 't', 'i')},
    {Control::cmdPractic,  launch_detail::Course('l', 'S', 'R', 't', 'i')},
};

inline constexpr LaunchRow kProblemBookLaunches[] = {
    {Control::mnuZadachnik, launch_detail::Book('b', 'P', 'T', 's', 'y')},
    {Control::mnuDorbelan,  launch_detail::Book('m', 'P', 'T', 'm', 'y')},
    {Control::mnuChecmate,  launch_detail::Book('r', 'P', 'T', 'i', 'y')},
    {Control::mnuTactic,    launch_detail::Book('f', 'K', 'L', 'r', 'y')},
};
// clang-format on

// The row of a launch control; every launch handler calls LaunchSolver with it.
constexpr const LaunchEntry& LaunchEntryOf(Control control) {
  for (const LaunchRow& row : kCourseLaunches)
    if (row.control == control) return row.entry;
  for (const LaunchRow& row : kProblemBookLaunches)
    if (row.control == control) return row.entry;
  throw "no launch row for this control";  // a compile-time error where it is constant
}

}  // namespace zel
