// What the stand-in solvers tell the user in their window: the course or
// collection handed over, by the name the user chose it under, in the
// program's own language, with the language and pictures the letters carry.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "standin_text.h"

namespace zel::standin {
namespace {

std::wstring Said(SolverFamily family, bool speaksRussian, Control item, bool russian,
                  bool picturesOn) {
  WideText text;
  Describe({family, speaksRussian, NameOf(item), russian, picturesOn}, text);
  return std::wstring(text.text());
}

TEST(StandinText, TellsTheWholeHandoverInTheProgramsLanguage) {
  EXPECT_EQ(Said(SolverFamily::CourseSolver, true, Control::mnuTactics1, true, true),
            L"Оболочка передала курс «Тактика-1».\nЯзык: русский, картинки: есть.\n\n"
            L"Это демонстрационная замена программы-решателя: здесь работала бы настоящая "
            L"программа.");
  EXPECT_EQ(Said(SolverFamily::ProblemBookSolver, false, Control::mnuChecmate, false, false),
            L"The shell handed over the collection \u201CCheckmate\u201D.\n"
            L"Language: English, pictures: off.\n\n"
            L"This is a demonstration stand-in for the solver program: the real program would "
            L"run here.");
}

TEST(StandinText, RussianNamesAreTheMenuCaptionsWithoutTheirKey) {
  struct Case {
    SolverFamily family;
    Control item;
    std::wstring_view russian, english;
  };
  for (const Case& c : {
           Case{SolverFamily::CourseSolver, Control::mnuTactics9, L"«Тактика-9»", L"Tactics-9"},
           Case{SolverFamily::CourseSolver, Control::mnuPractic, L"«Практика»", L"Practice"},
           Case{SolverFamily::CourseSolver, Control::cmdPractic, L"«Практика»", L"Practice"},
           Case{SolverFamily::ProblemBookSolver, Control::mnuChecmate, L"«Шах и мат»",
                L"Checkmate"},
           Case{SolverFamily::ProblemBookSolver, Control::mnuTactic, L"задачник «Тактика»",
                L"\u201CTactics\u201D"},
       }) {
    SCOPED_TRACE(ControlName(c.item));
    const std::wstring russian = Said(c.family, true, c.item, true, false);
    EXPECT_NE(russian.find(c.russian), std::wstring::npos) << russian.size();
    EXPECT_EQ(russian.find(L'&'), std::wstring::npos);
    const std::wstring english = Said(c.family, false, c.item, false, true);
    EXPECT_NE(english.find(c.english), std::wstring::npos);
    EXPECT_NE(english.find(L"pictures: on"), std::wstring::npos);
  }
}

// A Russian program patched with English letters says so in Russian: the
// window reports what was handed over, not what the program would prefer.
TEST(StandinText, LanguageAndPicturesComeFromTheLetters) {
  const std::wstring text =
      Said(SolverFamily::CourseSolver, true, Control::mnuTactics4, false, false);
  EXPECT_NE(text.find(L"Язык: английский, картинки: нет."), std::wstring::npos);
  const std::wstring english =
      Said(SolverFamily::CourseSolver, false, Control::mnuTactics4, true, true);
  EXPECT_NE(english.find(L"Language: Russian, pictures: on."), std::wstring::npos);
}

TEST(StandinText, UnknownLettersNameNoCourse) {
  WideText russian;
  Describe({SolverFamily::CourseSolver, true, nullptr, true, true}, russian);
  EXPECT_EQ(russian.text(), std::wstring(kRussian.nothing) + std::wstring(kRussian.standIn));
  WideText english;
  Describe({SolverFamily::ProblemBookSolver, false, nullptr, false, false}, english);
  EXPECT_EQ(english.text(), std::wstring(kEnglish.nothing) + std::wstring(kEnglish.standIn));
}

TEST(StandinText, TextStopsAtItsBuffer) {
  WideText text;
  const std::wstring longer(1000, L'x');
  text.Add(longer);
  text.AddCaption("Тактика-&1");
  EXPECT_LT(text.text().size(), longer.size());
  EXPECT_EQ(text.text(), std::wstring_view(longer).substr(0, text.text().size()));
}

}  // namespace
}  // namespace zel::standin
