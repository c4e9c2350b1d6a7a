// The courses of the course solver and the collections of the problem-book
// solver, one row each: the key the problem data and the progress use, the
// launch controls of the shell that start it, its window title in both
// languages and the file its progress is kept in, in the program folder.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "app/controls.h"
#include "chess/notation.h"
#include "launcher/launch_decode.h"
#include "launcher/patch_layout.h"

namespace zel::solver {

using chess::Language;

struct CourseInfo {
  std::string_view key;  // as in Zadachi.dat: "[tactics1]"
  SolverFamily family;
  std::array<Control, 2> controls;  // the shell's launch items; the second may repeat the first
  std::string_view russianTitle;    // the shell's menu caption without "&"
  std::string_view englishTitle;
  std::string_view progressFile;

  constexpr std::string_view Title(Language language) const {
    return language == Language::Russian ? russianTitle : englishTitle;
  }
};

namespace catalog_detail {
using C = Control;
constexpr SolverFamily kCourse = SolverFamily::CourseSolver;
constexpr SolverFamily kBook = SolverFamily::ProblemBookSolver;
}  // namespace catalog_detail

// In the order the solver lists them: each family's in the shell's menu order.
// clang-format off
inline constexpr CourseInfo kCourses[] = {
  {"practice",    catalog_detail::kCourse, {Control::mnuPractic, Control::cmdPractic},
   "Тактика-0: практика", "Tactics-0: Practice", "practice.prg"},
  {"tactics1",    catalog_detail::kCourse, {Control::mnuTactics1, Control::mnuTactics1},
   "Тактика-1", "Tactics-1", "tactics1.prg"},
  {"tactics2",    catalog_detail::kCourse, {Control::mnuTactics2, Control::mnuTactics2},
   "Тактика-2", "Tactics-2", "tactics2.prg"},
  {"tactics3",    catalog_detail::kCourse, {Control::mnuTactics3, Control::mnuTactics3},
   "Тактика-3", "Tactics-3", "tactics3.prg"},
  {"tactics4",    catalog_detail::kCourse, {Control::mnuTactics4, Control::mnuTactics4},
   "Тактика-4", "Tactics-4", "tactics4.prg"},
  {"tactics5",    catalog_detail::kCourse, {Control::mnuTactics5, Control::mnuTactics5},
   "Тактика-5", "Tactics-5", "tactics5.prg"},
  {"tactics6",    catalog_detail::kCourse, {Control::mnuTactics6, Control::mnuTactics6},
   "Тактика-6", "Tactics-6", "tactics6.prg"},
  {"tactics7",    catalog_detail::kCourse, {Control::mnuTactics7, Control::mnuTactics7},
   "Тактика-7", "Tactics-7", "tactics7.prg"},
  {"tactics8",    catalog_detail::kCourse, {Control::mnuTactics8, Control::mnuTactics8},
   "Тактика-8", "Tactics-8", "tactics8.prg"},
  {"tactics9",    catalog_detail::kCourse, {Control::mnuTactics9, Control::mnuTactics9},
   "Тактика-9", "Tactics-9", "tactics9.prg"},
  {"checkmate",   catalog_detail::kBook, {Control::mnuChecmate, Control::mnuChecmate},
   "Шах и мат", "Checkmate", "checkmate.prg"},
  {"tactics",     catalog_detail::kBook, {Control::mnuTactic, Control::mnuTactic},
   "Тактика", "Tactics", "tactics.prg"},
  {"problembook", catalog_detail::kBook, {Control::mnuZadachnik, Control::mnuZadachnik},
   "Задачник Дорбелан", "Dorbelan Problem Book", "problembook.prg"},
  {"material",    catalog_detail::kBook, {Control::mnuDorbelan, Control::mnuDorbelan},
   "Тактика на выигрыш материала", "Tactics: Winning Material", "material.prg"},
};
// clang-format on

// The user's own file beside the courses' progress files: the tactics rating,
// one for every course of both families (user_rating.h).
inline constexpr std::string_view kRatingFile = "rating.prg";

// The courses of one family, in list order.
constexpr std::span<const CourseInfo> CoursesOf(SolverFamily family) {
  return family == SolverFamily::CourseSolver ? std::span(kCourses).first(10)
                                              : std::span(kCourses).subspan(10);
}

constexpr const CourseInfo* FindCourse(std::string_view key) {
  for (const CourseInfo& course : kCourses)
    if (course.key == key) return &course;
  return nullptr;
}

constexpr const CourseInfo* CourseOfControl(Control control) {
  for (const CourseInfo& course : kCourses)
    if (course.controls[0] == control || course.controls[1] == control) return &course;
  return nullptr;
}

// The course a launch chose: the row the letters decode to names the control.
constexpr const CourseInfo* CourseOfLaunch(const DecodedLaunch& launch) {
  return CourseOfControl(launch.row->control);
}

namespace catalog_detail {
// Every launch row starts exactly one course of its own family, every course
// is started by launch rows only, each family's rows form one block, and keys
// and progress files are all distinct.
constexpr bool CatalogMatchesLaunches() {
  for (const SolverFamily family : {kCourse, kBook}) {
    for (const LaunchRow& row : LaunchRowsOf(family)) {
      int courses = 0;
      for (const CourseInfo& course : kCourses)
        if (course.controls[0] == row.control || course.controls[1] == row.control) {
          if (course.family != family) return false;
          ++courses;
        }
      if (courses != 1) return false;
    }
    for (const CourseInfo& course : CoursesOf(family)) {
      if (course.family != family) return false;
      for (const Control control : course.controls) {
        bool launched = false;
        for (const LaunchRow& row : LaunchRowsOf(family)) launched = launched || row.control == control;
        if (!launched) return false;
      }
    }
  }
  for (std::size_t i = 0; i < std::size(kCourses); ++i)
    for (std::size_t j = i + 1; j < std::size(kCourses); ++j)
      if (kCourses[i].key == kCourses[j].key || kCourses[i].progressFile == kCourses[j].progressFile)
        return false;
  return CoursesOf(kCourse).size() + CoursesOf(kBook).size() == std::size(kCourses);
}
static_assert(CatalogMatchesLaunches());
}  // namespace catalog_detail

}  // namespace zel::solver
