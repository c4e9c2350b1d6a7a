// Reading Zadachi.dat: a good file gives every course with its problems, and
// every fault stops the reading with a failure that names the file and line.
#include "solver/problem_data.h"

#include <gtest/gtest.h>

#include "chess/notation.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

std::string Uci(const std::vector<chess::Move>& line) {
  std::string text;
  for (const chess::Move& move : line) text += (text.empty() ? "" : " ") + chess::UciText(move);
  return text;
}

TEST(ProblemData, AGoodFileGivesEveryCourseAndProblemInOrder) {
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  ASSERT_EQ(data.courses.size(), 2u);
  const CourseProblems* practice = data.Find("practice");
  ASSERT_NE(practice, nullptr);
  EXPECT_EQ(practice->Ids(), (std::vector<std::string>{"p0001", "p0002", "p0003", "p0004"}));
  const Problem& ladder = practice->problems[0];
  EXPECT_EQ(ladder.start.Fen(), "7k/8/8/8/8/8/8/RR4K1 w - - 0 1");
  EXPECT_EQ(Uci(ladder.line), "b1b7 h8g8 a1a8");
  EXPECT_EQ(ladder.themes, (std::vector<std::string>{"ladder", "mate-in-2"}));
  EXPECT_EQ(ladder.difficulty, 600);
  EXPECT_EQ(practice->problems[2].line[0].kind, chess::MoveKind::Castling);
  EXPECT_EQ(practice->problems[3].line[0].promotion, chess::Queen);
  EXPECT_EQ(data.Find("checkmate")->problems.size(), 1u);
  EXPECT_EQ(data.Find("tactics1"), nullptr);
}

TEST(ProblemData, LineEndsBlanksCommentsAndCastlingAsKingTakesRook) {
  const ProblemData data = ParseProblemData(
      "[tactics9]\n"
      "  # an indented comment\n"
      "\t\n"
      " x-1 ; 2rkr3/2p1p3/8/8/8/8/8/R3K3 w Q - 0 1 ;  e1a1 ;  ; 0 \n"
      "[material]",
      "Zadachi.dat");
  ASSERT_EQ(data.courses.size(), 2u);
  const Problem& problem = data.Find("tactics9")->problems.at(0);
  EXPECT_EQ(problem.id, "x-1");
  EXPECT_EQ(Uci(problem.line), "e1c1");
  EXPECT_TRUE(problem.themes.empty());
  EXPECT_TRUE(data.Find("material")->problems.empty());
}

TEST(ProblemData, EachFaultNamesTheFileTheLineAndWhatIsWrong) {
  const std::string ok = "p1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1\n";
  struct Case {
    std::string text;
    std::size_t line;
    std::string_view fault;  // a part of the description
  };
  const Case cases[] = {
      {"", 0, "no course"},
      {"# only a comment\r\n\r\n", 0, "no course"},
      {ok, 1, "before the first [course]"},
      {"[practice\n", 1, "closing"},
      {"[beginners]\n", 1, "Unknown course \"beginners\""},
      {"[practice]\n" + ok + "[practice]\n", 3, "second time"},
      {"[practice]\n" + ok + ok, 3, "\"p1\" twice"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t\n", 2, "5 fields"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1;x\n", 2, "not 6"},
      {"[practice]\np 1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1\n", 2, "Invalid problem id"},
      {"[practice]\n;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1\n", 2, "Invalid problem id"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1\n", 2, "p1: Invalid FEN"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 b - - 0 1;a1a8;t;1\n", 2, "is not legal"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;;t;1\n", 2, "p1: no moves"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a2 g8h8;t;1\n", 2, "end on a move"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a2 g8g6 a2a8;t;1\n", 2,
       "move 2 \"g8g6\" is not legal"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8 g8h8 a8b8;t;1\n", 2,
       "game is over after move 1"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;\n", 2, "difficulty"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;12x\n", 2, "difficulty"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;-5\n", 2, "difficulty"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;99999999999\n", 2, "difficulty"},
      {"[practice]\np1;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t\xC3\xA9;1\n", 2,
       "invalid theme \"t??\""},
      {"# comment\r\n[practice]\r\n" + ok + "\r\n[checkmate]\r\n\x01\x02;;;;\r\n", 6,
       "Invalid problem id \"??\""},
  };
  const platform::Failure invalid = platform::DamagedFileFailure("Zadachi.dat", 1, "x");
  // Read at once, and with the problems of every course but one no file
  // holds left for later: the same failure, from the reading or the rest.
  for (const std::string_view firstCourse : {"", "tactics5"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      SCOPED_TRACE(firstCourse);
      try {
        ProblemData data = ParseProblemData(c.text, "Zadachi.dat", firstCourse);
        data.CheckRest();
        ADD_FAILURE() << "read without a failure";
      } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.code, invalid.code);
        EXPECT_EQ(failure.subject,
                  c.line == 0 ? "Zadachi.dat" : "Zadachi.dat, line " + std::to_string(c.line));
        EXPECT_NE(failure.description.find(c.fault), std::string::npos) << failure.description;
        for (char ch : failure.description)
          EXPECT_TRUE(ch >= ' ' && ch < 0x7F) << failure.description;
      }
    }
  }
}

TEST(ProblemData, TheFirstCourseIsCheckedAtOnceTheOthersWhenTheRestIs) {
  const std::string mate = "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;t;1\n";
  const std::string damaged = "[practice]\np1;" + mate + "\n[checkmate]\nc1;" + mate +
                              "c2;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1b2;t;1\n[material]\n";
  ProblemData data = ParseProblemData(damaged, "Zadachi.dat", "practice");
  ASSERT_EQ(data.courses.size(), 3u);
  ASSERT_NE(data.Find("practice"), nullptr);
  EXPECT_EQ(data.Find("practice")->Ids(), std::vector<std::string>{"p1"});
  EXPECT_EQ(data.Find("checkmate"), nullptr) << "not checked yet";
  EXPECT_EQ(data.Find("material"), nullptr);
  try {
    data.CheckRest();
    FAIL() << "the damaged course was not found";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.subject, "Zadachi.dat, line 6");
    EXPECT_NE(failure.description.find("c2:"), std::string::npos) << failure.description;
  }
  EXPECT_EQ(data.Find("checkmate"), nullptr) << "a course that failed is never shown";
  EXPECT_EQ(data.Find("practice")->Ids(), std::vector<std::string>{"p1"});

  // The chosen course damaged: reported before anything is shown.
  try {
    ParseProblemData(damaged, "Zadachi.dat", "checkmate");
    FAIL() << "the damaged course was not found";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.subject, "Zadachi.dat, line 6");
  }
}

TEST(ProblemData, TheRestCheckedGivesWhatAWholeReadingGivesAndLeavesTheFirstInPlace) {
  const ProblemData whole = ParseProblemData(testing::kTestData, "Zadachi.dat");
  ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat", "checkmate");
  const CourseProblems* first = data.Find("checkmate");
  ASSERT_NE(first, nullptr);
  data.CheckRest();
  EXPECT_EQ(data.Find("checkmate"), first);
  ASSERT_EQ(data.courses.size(), whole.courses.size());
  for (std::size_t c = 0; c < whole.courses.size(); ++c) {
    const CourseProblems* read = data.Find(whole.courses[c].key);
    ASSERT_NE(read, nullptr) << whole.courses[c].key;
    ASSERT_EQ(read->Ids(), whole.courses[c].Ids());
    for (std::size_t p = 0; p < read->problems.size(); ++p) {
      EXPECT_EQ(read->problems[p].start.Fen(), whole.courses[c].problems[p].start.Fen());
      EXPECT_EQ(Uci(read->problems[p].line), Uci(whole.courses[c].problems[p].line));
      EXPECT_EQ(read->problems[p].themes, whole.courses[c].problems[p].themes);
    }
  }
  data.CheckRest();  // nothing left: no harm
  EXPECT_EQ(data.Find("practice")->Ids(), whole.Find("practice")->Ids());
}

TEST(ProblemData, AMissingFileFailsWithThePlatformsError) {
  zel::testing::Harness h;
  try {
    ReadProblemData(h.files);
    FAIL() << "a missing file was read";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, 2);  // ENOENT and ERROR_FILE_NOT_FOUND alike
    EXPECT_EQ(failure.subject, "Zadachi.dat");
  }
  h.Write("Zadachi.dat", testing::kTestData);
  EXPECT_EQ(ReadProblemData(h.files).courses.size(), 2u);
  EXPECT_EQ(h.files.openHandles(), 0);
}

}  // namespace
}  // namespace zel::solver
