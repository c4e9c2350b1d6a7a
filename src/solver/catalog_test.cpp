// The catalog against the shell's own tables: the Russian titles are the menu
// captions the user clicked, and each launch item opens its course.
#include "solver/catalog.h"

#include <gtest/gtest.h>

#include <set>

#include "app/buttons.h"
#include "app/menu_tree.h"

namespace zel::solver {
namespace {

std::string WithoutAccessMark(std::string_view caption) {
  std::string text;
  for (char c : caption)
    if (c != '&') text += c;
  return text;
}

TEST(Catalog, RussianTitlesAreTheShellsMenuCaptions) {
  for (const CourseInfo& course : kCourses) {
    SCOPED_TRACE(std::string(course.key));
    if (course.key == "practice") {
      // Under "Тактика-0", the item "Практика": both words in the title.
      EXPECT_EQ(WithoutAccessMark(FindMenuNode(Control::mnuTactics0)->caption), "Тактика-0");
      EXPECT_EQ(WithoutAccessMark(FindMenuNode(Control::mnuPractic)->caption), "Практика");
      EXPECT_EQ(course.russianTitle, "Тактика-0: практика");
      continue;
    }
    const MenuNode* node = FindMenuNode(course.controls[0]);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(WithoutAccessMark(node->caption), course.russianTitle);
    EXPECT_FALSE(course.englishTitle.empty());
    EXPECT_EQ(course.Title(Language::Russian), course.russianTitle);
    EXPECT_EQ(course.Title(Language::English), course.englishTitle);
  }
}

TEST(Catalog, EveryLaunchItemOpensOneCourseOfItsSolver) {
  std::set<std::string_view> opened;
  for (const SolverFamily family : {SolverFamily::CourseSolver, SolverFamily::ProblemBookSolver}) {
    for (const LaunchRow& row : LaunchRowsOf(family)) {
      const CourseInfo* course = CourseOfControl(row.control);
      ASSERT_NE(course, nullptr) << ControlName(row.control);
      EXPECT_EQ(course->family, family);
      EXPECT_EQ(FindCourse(course->key), course);
      opened.insert(course->key);
    }
  }
  EXPECT_EQ(opened.size(), std::size(kCourses));
  EXPECT_EQ(CourseOfControl(Control::cmdPractic), FindCourse("practice"));
  EXPECT_EQ(CourseOfControl(Control::mnuDorbelan), FindCourse("material"));
  EXPECT_EQ(CourseOfControl(Control::mnuZadachnik), FindCourse("problembook"));
  EXPECT_EQ(CourseOfControl(Control::mnuBook), nullptr);
  EXPECT_EQ(FindCourse("tactics10"), nullptr);
  EXPECT_EQ(CoursesOf(SolverFamily::CourseSolver).size(), 10u);
  EXPECT_EQ(CoursesOf(SolverFamily::ProblemBookSolver).front().key, "checkmate");
}

}  // namespace
}  // namespace zel::solver
