// The catalog against the shell's own menu: the Russian titles are the
// captions the user clicked. (Which launch opens which course is checked at
// compile time beside the table, and by the start tests through the shell.)
#include "solver/catalog.h"

#include <gtest/gtest.h>

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
  }
}

}  // namespace
}  // namespace zel::solver
