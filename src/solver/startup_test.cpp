// How a solver starts: the shell launches it as a user would, and the solver
// finds the course, language and pictures from its own name and file.
#include "solver/startup.h"

#include <gtest/gtest.h>

#include "app/dispatcher.h"
#include "launcher/launch.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

constexpr std::size_t kProgramSize = 97000;

struct Folder : zel::testing::Harness {
  explicit Folder(bool russian = true, bool picturesOn = true) {
    WriteSettings(russian ? "\"R\"\r\n" : "\"E\"\r\n", picturesOn ? "\"Y\"\r\n" : "\"N\"\r\n");
    WritePicture("PictZEL.bmp");
    for (std::string_view name : {"Kombiru.exe", "Kombien.exe", "ZelmikuR.exe", "ZelmikuE.exe"})
      Write(name, std::string(kProgramSize, '\0'));
  }
  // A launch from the shell's menu or button, as the user clicks it.
  std::string Launch(Control control) {
    (form.*HandlerOf(control))();
    return processes.starts.back().name + ".exe";
  }
};

TEST(SolverStart, EveryLaunchOpensItsCourseInTheChosenLanguageAndPictures) {
  for (const CourseInfo& course : kCourses) {
    for (const Control control : course.controls) {
      for (const bool russian : {true, false}) {
        for (const bool picturesOn : {true, false}) {
          SCOPED_TRACE(std::string(ControlName(control)) + (russian ? " R" : " E") +
                       (picturesOn ? " Y" : " N"));
          Folder h(russian, picturesOn);
          const StartChoice choice = ChooseStart(h.files, h.Launch(control));
          EXPECT_EQ(choice.family, course.family);
          EXPECT_EQ(choice.language, russian ? Language::Russian : Language::English);
          EXPECT_EQ(choice.picturesOn, picturesOn);
          EXPECT_EQ(choice.course, &course);
        }
      }
    }
  }
}

TEST(SolverStart, NoLaunchLetsTheUserChooseTheCourse) {
  Folder h;
  // Fresh program files: the family's list, pictures on, the name's language.
  StartChoice choice = ChooseStart(h.files, "ZelmikuE.exe");
  EXPECT_EQ(choice.family, SolverFamily::ProblemBookSolver);
  EXPECT_EQ(choice.language, Language::English);
  EXPECT_TRUE(choice.picturesOn);
  EXPECT_EQ(choice.course, nullptr);

  // A file too short to hold the letters.
  h.Write("Kombiru.exe", "MZ");
  choice = ChooseStart(h.files, "Kombiru.exe");
  EXPECT_EQ(choice.family, SolverFamily::CourseSolver);
  EXPECT_EQ(choice.language, Language::Russian);
  EXPECT_EQ(choice.course, nullptr);

  EXPECT_THROW(ChooseStart(h.files, "Kombien-missing.exe"), platform::Failure);
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(SolverStart, TheNameDecidesTheLanguageAndARenamedCopyGoesByItsLetters) {
  Folder h(false, false);
  // An English launch of the problem book, copied under the Russian name: the
  // program speaks as its name says, and opens the course of its letters.
  const std::string english = h.Launch(Control::mnuChecmate);
  h.Write("ZelmikuR.exe", h.Read(english));
  StartChoice choice = ChooseStart(h.files, "ZelmikuR.exe");
  EXPECT_EQ(choice.language, Language::Russian);
  EXPECT_EQ(choice.course, FindCourse("checkmate"));
  EXPECT_FALSE(choice.picturesOn);

  // Under a name of its own, by the letters alone, whichever family they are.
  h.Write("Chess.exe", h.Read(english));
  choice = ChooseStart(h.files, "Chess.exe");
  EXPECT_EQ(choice.family, SolverFamily::ProblemBookSolver);
  EXPECT_EQ(choice.language, Language::English);
  EXPECT_EQ(choice.course, FindCourse("checkmate"));
  h.Write("Chess.exe", h.Read(h.Launch(Control::mnuTactics7)));
  EXPECT_EQ(ChooseStart(h.files, "Chess.exe").course, FindCourse("tactics7"));

  // No letters and no solver's name: the Russian course solver's list.
  h.Write("Chess.exe", std::string(kProgramSize, 'x'));
  choice = ChooseStart(h.files, "Chess.exe");
  EXPECT_EQ(choice.family, SolverFamily::CourseSolver);
  EXPECT_EQ(choice.language, Language::Russian);
  EXPECT_EQ(choice.course, nullptr);
}

TEST(SolverStart, AFullWindowsPathWhateverItsCase) {
  Folder h;
  const std::string started = h.Launch(Control::mnuTactics2);  // Kombiru.exe
  h.root.Write("drive/Zel/KOMBIRU.EXE", h.Read(started));
  const StartChoice choice = ChooseStart(h.files, "C:\\Zel\\KOMBIRU.EXE");
  // On Windows the name alone says Russian course solver; elsewhere the
  // letters say the same.
  EXPECT_EQ(choice.family, SolverFamily::CourseSolver);
  EXPECT_EQ(choice.language, Language::Russian);
  EXPECT_EQ(choice.course, FindCourse("tactics2"));
}

}  // namespace
}  // namespace zel::solver
