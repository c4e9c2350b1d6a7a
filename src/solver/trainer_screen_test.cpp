// The solver's screen over the in-memory window and a real program folder:
// what it shows and enables in each phase, moves by clicks, drags and typing,
// the pauses and the moving man run by the window's timers, hints, the shown
// solution, the lists, pictures off, the clock, what follows a problem, and a
// progress file that cannot be written.
#include "solver/trainer_screen.h"

#include <gtest/gtest.h>

#include <bit>

#include "platform/fake/fake_clock.h"
#include "solver/fake_trainer_view.h"
#include "solver/progress_store.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

using chess::Language;

constexpr std::string_view kProduct = "Шахматная тактика";
constexpr Command kPanelCommands[] = {Command::Play,  Command::Hint,        Command::Solution,
                                      Command::Retry, Command::Flip,        Command::Previous,
                                      Command::Next,  Command::ProblemList, Command::RestartCourse};

std::uint64_t Bit(std::string_view square) {
  return std::uint64_t{1} << *chess::SquareFromName(square);
}

struct TrainerScreenTest : ::testing::Test {
  zel::testing::Harness h;
  ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  platform::FakeClock clock;
  FakeTrainerView view{clock};
  std::optional<TrainerScreen> screen;

  void Open(const char* course, Language language = Language::Russian, bool pictures = true,
            SolverFamily family = SolverFamily::CourseSolver) {
    const StartChoice start{family, language, pictures, course ? FindCourse(course) : nullptr};
    screen.emplace(view, h.files, clock, start, data, kProduct);
    view.Attach(*screen);
    screen->Start();
  }
  const Session& session() const { return *screen->session(); }
  const std::string& Text(Field field) const { return view.text(field); }
  bool Enabled(Command command) const { return view.command(command).enabled; }
  std::string Progress(const char* file = "practice.prg") const { return h.Read(file); }
  // What the course's progress file holds: the current problem, then each
  // problem's state in the cycle under way: "current p0001 p0001 first ...".
  std::string Saved(const char* course = "practice") {
    constexpr const char* kStates[] = {"new", "missed", "solved", "first"};
    const CourseProblems& problems = *data.Find(course);
    const CourseProgress progress =
        ProgressStore(h.files, clock, *FindCourse(course), problems).Load();
    std::string text = "current " + problems.problems[progress.current].id;
    for (std::size_t i = 0; i < problems.problems.size(); ++i)
      text += " " + problems.problems[i].id + " " + kStates[static_cast<int>(progress.StateOf(i))];
    return text;
  }
  // The commands enabled now, in table order, as "Play Hint ...".
  std::string EnabledCommands() const {
    std::string names;
    for (const CommandRow& row : kCommandRows)
      if (Enabled(row.id)) names += (names.empty() ? "" : " ") + std::string(CommandName(row.id));
    return names;
  }
};

TEST_F(TrainerScreenTest, ARightMoveIsPraisedAndAnsweredAfterThePauseWhileCommandsWait) {
  Open("practice");
  EXPECT_EQ(Text(Field::Caption), "Тактика-0: практика");
  EXPECT_EQ(Text(Field::Problem), "Задача 1 из 4");
  EXPECT_EQ(Text(Field::ToMove), "Ход белых");
  EXPECT_EQ(Text(Field::Status), "Ваш ход.");
  EXPECT_EQ(view.part(), LeftPart::Board);
  EXPECT_EQ(view.focus(), FocusTarget::Board);
  EXPECT_EQ(EnabledCommands(),
            "Play Hint Solution Retry Flip Next ProblemList Statistics RestartCourse EraseCourse "
            "Review ShowClock");

  view.ClickSquare("b1");
  view.ClickSquare("b7");
  EXPECT_EQ(Text(Field::Status), "Правильно!");
  EXPECT_EQ(session().phase(), Phase::ReplyPending);
  // The commands keep their look for the moment the answer takes; only
  // Flip would act.
  EXPECT_EQ(EnabledCommands(),
            "Play Hint Solution Retry Flip Next ProblemList Statistics RestartCourse EraseCourse "
            "Review ShowClock");
  EXPECT_TRUE(screen->Available(Command::Flip));
  EXPECT_FALSE(screen->Available(Command::Hint));
  EXPECT_FALSE(screen->Available(Command::Next));
  EXPECT_TRUE(view.TimerRunning(Timer::Reply));

  view.Advance(599);
  EXPECT_EQ(session().phase(), Phase::ReplyPending) << "the pause is 600 ms";
  view.Advance(1);
  EXPECT_FALSE(view.TimerRunning(Timer::Reply));
  EXPECT_EQ(Text(Field::Status), "Ответ: Крg8. Ваш ход.");
  ASSERT_TRUE(screen->board().animating());
  EXPECT_FALSE(screen->Available(Command::Flip)) << "not even Flip while the man moves";
  EXPECT_FALSE(screen->board().LookOf(*chess::SquareFromName("h8")).man) << "lifted";

  view.Advance(250 + 15);  // the first frame after the man's 250 ms
  EXPECT_FALSE(screen->board().animating());
  EXPECT_FALSE(view.TimerRunning(Timer::Animation));
  EXPECT_EQ(session().Position().Fen(), "6k1/1R6/8/8/8/8/8/R5K1 w - - 2 2");
  EXPECT_EQ(screen->board().position(), session().Position());
  EXPECT_TRUE(screen->Available(Command::Hint));
  EXPECT_EQ(view.focus(), FocusTarget::Board);

  view.DragMan("a1", "a8");
  EXPECT_EQ(session().phase(), Phase::Solved);
  EXPECT_EQ(Text(Field::Status), "Задача решена!");
  EXPECT_EQ(Text(Field::Progress), "Решено 1 из 4, с первой попытки 1");
  EXPECT_EQ(
      EnabledCommands(),
      "Solution Retry Flip Next ProblemList Statistics RestartCourse EraseCourse Review ShowClock");
  EXPECT_EQ(Saved(), "current p0001 p0001 first p0002 new p0003 new p0004 new");
  view.Click(Command::Next);
  EXPECT_EQ(Text(Field::Problem), "Задача 2 из 4");
  EXPECT_EQ(Text(Field::Status), "Ваш ход.");
  EXPECT_TRUE(Saved().starts_with("current p0002 ")) << Saved();
  EXPECT_EQ(EnabledCommands(),
            "Play Hint Solution Retry Flip Previous Next ProblemList Statistics RestartCourse "
            "EraseCourse Review ShowClock");
}

TEST_F(TrainerScreenTest, AWrongMoveIsNamedCountedAndTakenBackAnIllegalOneOnlyRefused) {
  Open("practice");
  const std::string before = session().Position().Fen();
  view.ClickSquare("b1");
  view.ClickSquare("b2");
  EXPECT_EQ(Text(Field::Status), "Лb2 — неверно. Попробуйте ещё раз.");
  EXPECT_EQ(view.beeps(), 1);
  EXPECT_EQ(session().Position().Fen(), before);
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
  // The same mistake again is said again, for a screen reader to repeat.
  view.ClearLog();
  view.ClickSquare("b1");
  view.ClickSquare("b2");
  EXPECT_EQ(std::count(view.log().begin(), view.log().end(),
                       "text Status Лb2 — неверно. Попробуйте ещё раз."),
            1);
  EXPECT_EQ(session().Mistakes(), 2);

  view.ClickSquare("b1");
  view.ClickSquare("c3");
  EXPECT_EQ(Text(Field::Status), "Так ходить нельзя.");
  EXPECT_EQ(session().Mistakes(), 2);
  EXPECT_EQ(view.beeps(), 2);

  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  EXPECT_EQ(session().phase(), Phase::Solved);
  EXPECT_EQ(Saved(), "current p0001 p0001 solved p0002 new p0003 new p0004 new");
}

TEST_F(TrainerScreenTest, TypedMovesInEitherNotationWithAPromotionAskedForAndCastling) {
  Open("practice", Language::English);
  EXPECT_EQ(Text(Field::Caption), "Tactics-0: Practice");
  view.Type("Лb7");  // Russian letters in the English solver are understood too
  EXPECT_EQ(view.TypedMove(), "") << "a played move leaves the field empty";
  EXPECT_EQ(view.focus(), FocusTarget::MoveField) << "the field keeps the keyboard";
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Ra2");
  EXPECT_EQ(Text(Field::Status), "Ra2 — wrong. Try again.");
  EXPECT_EQ(view.TypedMove(), "Ra2");
  EXPECT_TRUE(view.typedSelected()) << "kept and selected, to be typed over";
  EXPECT_EQ(view.focus(), FocusTarget::MoveField);
  view.Type("Ra8+");
  EXPECT_EQ(session().phase(), Phase::Solved);

  view.Click(Command::Next);
  view.Type("nonsense");
  EXPECT_EQ(Text(Field::Status), "That is not a move. Type, for example, Nf3 or e2e4.");
  EXPECT_EQ(view.TypedMove(), "nonsense");
  EXPECT_EQ(view.beeps(), 1) << "only the wrong move beeped";

  // Castling as the king taking its own rook, by clicks.
  view.Click(Command::Next);
  view.ClickSquare("e1");
  view.ClickSquare("a1");
  EXPECT_EQ(session().phase(), Phase::Solved) << Text(Field::Status);

  // Black's promotion typed without its piece: the piece is asked for.
  view.Click(Command::Next);
  EXPECT_EQ(Text(Field::ToMove), "Black to move");
  view.promotionAnswer = chess::Queen;
  view.Type("a1");
  EXPECT_EQ(view.promotionsAsked, 1);
  EXPECT_EQ(session().phase(), Phase::Solved) << Text(Field::Status);
  EXPECT_EQ(Saved(), "current p0004 p0001 solved p0002 new p0003 first p0004 first");
}

TEST_F(TrainerScreenTest, APromotionOnTheBoardAsksForThePieceAndADeclineCountsNothing) {
  Open("practice");
  view.Click(Command::Next);
  view.Click(Command::Next);
  view.Click(Command::Next);
  ASSERT_EQ(Text(Field::Problem), "Задача 4 из 4");
  view.promotionAnswer = std::nullopt;
  view.DragMan("a2", "a1");
  EXPECT_EQ(view.promotionsAsked, 1);
  EXPECT_EQ(Text(Field::Status), "Ваш ход.") << "what was said before the question";
  EXPECT_EQ(session().Mistakes(), 0);
  EXPECT_EQ(session().phase(), Phase::SolverToMove);

  // A knight is no mate and not the line: the wrong move is named with its piece.
  view.promotionAnswer = chess::Knight;
  view.ClickSquare("a2");
  view.ClickSquare("a1");
  EXPECT_EQ(view.promotionsAsked, 2);
  EXPECT_EQ(Text(Field::Status), "a1К — неверно. Попробуйте ещё раз.");
  view.promotionAnswer = chess::Rook;
  view.ClickSquare("a2");
  view.ClickSquare("a1");
  EXPECT_EQ(Text(Field::Status), "Мат! Задача решена.") << "a rook mates too";
}

TEST_F(TrainerScreenTest, HintsNameTheManThenTheMoveMarkTheBoardAndCountAsAMistake) {
  Open("practice");
  view.Click(Command::Hint);
  EXPECT_EQ(Text(Field::Status), "Подсказка: ходит ладья с b1.");
  EXPECT_TRUE(screen->board().LookOf(*chess::SquareFromName("b1")).hint);
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
  view.Click(Command::Hint);
  EXPECT_EQ(Text(Field::Status), "Подсказка: ход Лb7.");
  EXPECT_TRUE(screen->board().LookOf(*chess::SquareFromName("b7")).hint);
  view.Type("b1b7");
  EXPECT_FALSE(screen->board().LookOf(*chess::SquareFromName("b7")).hint)
      << "a hint is for the position it was given in";
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Click(Command::Flip);
  EXPECT_FALSE(screen->board().LookOf(*chess::SquareFromName("b1")).hint);
}

TEST_F(TrainerScreenTest, TheSolutionPlaysItselfOutOnTheTimersAndThenTellsAllAboutTheProblem) {
  Open("practice");
  EXPECT_EQ(Text(Field::Summary), "");
  view.Click(Command::Solution);
  EXPECT_EQ(Text(Field::Status), "Решение:");
  EXPECT_EQ(EnabledCommands(), "Flip ShowClock");
  view.Advance(900);
  EXPECT_EQ(Text(Field::Status), "Решение: Лb7");
  EXPECT_TRUE(screen->board().animating());
  view.Advance(250 + 15);
  EXPECT_TRUE(view.TimerRunning(Timer::SolutionStep)) << "the next move after a pause";
  view.Advance(900);
  EXPECT_EQ(Text(Field::Status), "Решение: Крg8");
  for (int i = 0; i < 100 && session().phase() != Phase::SolutionShown; ++i) view.Advance(50);
  view.Advance(250 + 15);
  EXPECT_EQ(session().Position().Fen(), "R5k1/1R6/8/8/8/8/8/6K1 b - - 3 2");
  EXPECT_EQ(Text(Field::Status),
            "Это решение. Чтобы решить задачу самостоятельно, нажмите «Заново».");
  EXPECT_EQ(Text(Field::Summary), "Тема: Мат в 2 хода\nРейтинг: 600\nРешение: 1. Лb7 Крg8 2. Лa8#");
  EXPECT_EQ(Text(Field::Progress), "Решено 0 из 4, с первой попытки 0");
  EXPECT_EQ(
      EnabledCommands(),
      "Solution Retry Flip Next ProblemList Statistics RestartCourse EraseCourse Review ShowClock");
  for (const Timer timer : {Timer::Reply, Timer::SolutionStep, Timer::Animation})
    EXPECT_FALSE(view.TimerRunning(timer));
  EXPECT_TRUE(view.TimerRunning(Timer::Clock)) << "not solved: its time goes on";

  view.Click(Command::Retry);
  EXPECT_EQ(session().Position().Fen(), "7k/8/8/8/8/8/8/RR4K1 w - - 0 1");
  EXPECT_EQ(Text(Field::Summary), "");
  EXPECT_EQ(Text(Field::Status), "Ваш ход.");
}

TEST_F(TrainerScreenTest, WithPicturesOffThePositionIsInWordsAndTheFieldKeepsTheKeyboard) {
  Open("practice", Language::Russian, false);
  EXPECT_EQ(view.part(), LeftPart::Description);
  EXPECT_EQ(view.focus(), FocusTarget::MoveField);
  EXPECT_EQ(Text(Field::Description),
            "Белые: Крg1, Лa1, Лb1. Чёрные: Крh8. Ход белых.\n\nВаш ход.");
  view.Type("b1b7");
  EXPECT_EQ(view.focus(), FocusTarget::MoveField) << "the field keeps the keyboard meanwhile";
  view.Advance(600);
  EXPECT_FALSE(screen->board().animating()) << "nothing moves where nothing is drawn";
  EXPECT_EQ(Text(Field::Description),
            "Белые: Крg1, Лa1, Лb7. Чёрные: Крg8. Ход белых.\n\nОтвет: Крg8. Ваш ход.");
  EXPECT_EQ(view.focus(), FocusTarget::MoveField) << "back for the next move";
  view.Type("Лa8");
  EXPECT_EQ(Text(Field::Description),
            "Белые: Крg1, Лa8, Лb7. Чёрные: Крg8. Ход чёрных.\n\nЗадача решена!\n\n"
            "Тема: Мат в 2 хода\nРейтинг: 600\nРешение: 1. Лb7 Крg8 2. Лa8#");

  // A solution in words: each move said, then that it is over.
  view.Click(Command::Solution);
  view.Advance(900 * 3);
  EXPECT_EQ(session().phase(), Phase::SolutionShown);
  EXPECT_EQ(Text(Field::Status),
            "Решение: Лa8#\nЭто решение. Чтобы решить задачу "
            "самостоятельно, нажмите «Заново».");
}

TEST_F(TrainerScreenTest, TheProblemListOpensAProblemAndGivesTheKeyboardBack) {
  Open("practice");
  view.Click(Command::ListClose);  // hidden: its click does nothing
  EXPECT_EQ(view.part(), LeftPart::Board);
  view.Click(Command::ProblemList);
  EXPECT_EQ(view.part(), LeftPart::ProblemList);
  EXPECT_EQ(view.focus(), FocusTarget::List);
  ASSERT_EQ(view.list().size(), 4u);
  EXPECT_EQ(view.list()[0], "Задача 1 из 4 — не решена");
  EXPECT_EQ(view.ListChoice(), 0u);
  EXPECT_TRUE(view.command(Command::ListClose).shown);
  EXPECT_TRUE(Enabled(Command::Hint)) << "the panel still works beside the list";
  view.Choose(2);
  EXPECT_EQ(Text(Field::Problem), "Задача 3 из 4");
  EXPECT_EQ(view.part(), LeftPart::Board);
  EXPECT_EQ(view.focus(), FocusTarget::Board);
  EXPECT_FALSE(view.command(Command::ListOpen).shown);

  // A move typed beside the list changes its entry.
  view.Click(Command::ProblemList);
  view.Type("0-0-0");
  EXPECT_EQ(view.list()[2], "Задача 3 из 4 — решена с первой попытки");
  view.Choose(7);  // beyond the list: nothing chosen, nothing opened
  EXPECT_EQ(view.part(), LeftPart::ProblemList);
  view.Click(Command::ListClose);
  EXPECT_EQ(view.part(), LeftPart::Board);
  EXPECT_EQ(view.focus(), FocusTarget::Board);
}

TEST_F(TrainerScreenTest, WithoutACourseTheFamilysCoursesAreOfferedAndOneOpens) {
  Open(nullptr, Language::English, true, SolverFamily::ProblemBookSolver);
  EXPECT_EQ(view.part(), LeftPart::CourseList);
  EXPECT_EQ(Text(Field::Caption), "Шахматная тактика — Choose a collection");
  EXPECT_EQ(Text(Field::Title), "Choose a collection");
  for (const Command command : kPanelCommands) EXPECT_FALSE(view.command(command).shown);
  EXPECT_FALSE(view.command(Command::ListClose).shown) << "nothing to go back to";
  ASSERT_EQ(view.list().size(), 4u);
  EXPECT_EQ(view.list()[0], "Checkmate");
  view.Choose(1);  // a collection the test data has no problems for
  EXPECT_EQ(Text(Field::Status), "This course has no problems yet.");
  EXPECT_EQ(view.part(), LeftPart::CourseList);
  view.Choose(0);
  EXPECT_EQ(Text(Field::Caption), "Checkmate");
  EXPECT_EQ(view.part(), LeftPart::Board);
  for (const Command command : kPanelCommands) EXPECT_TRUE(view.command(command).shown);
  view.Type("Ra8#");
  EXPECT_EQ(session().phase(), Phase::Solved);
  EXPECT_EQ(Text(Field::Status), "Solved! Every problem is solved!");
  EXPECT_EQ(Saved("checkmate"), "current c0001 c0001 first");
}

TEST_F(TrainerScreenTest, ADamagedProgressFileIsSetAsideAndTheCourseStartsAfresh) {
  h.Write("practice.prg", "Zelmiku progress 1\r\ncourse practice\r\ncurrent p00");
  Open("practice");
  EXPECT_EQ(Text(Field::Problem), "Задача 1 из 4");
  EXPECT_TRUE(view.reports().empty()) << "nothing to tell: the course starts afresh";
  EXPECT_EQ(h.Read("practice.prg.bad"), "Zelmiku progress 1\r\ncourse practice\r\ncurrent p00");
  view.ClickSquare("b1");
  view.ClickSquare("b2");
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
}

TEST_F(TrainerScreenTest, AClickOnAHiddenOrDisabledCommandOrWhileTheAnswerComesDoesNothing) {
  Open("practice");
  view.Click(Command::Previous);  // the first problem has none before it
  EXPECT_EQ(session().ProblemIndex(), 0u);
  view.Click(Command::ListOpen);
  EXPECT_EQ(view.part(), LeftPart::Board);
  view.ClickSquare("b1");
  view.ClickSquare("b7");
  view.ClearLog();
  for (const Command command : {Command::Hint, Command::Solution, Command::Retry, Command::Next,
                                Command::ProblemList, Command::RestartCourse}) {
    view.Click(command);
    EXPECT_EQ(session().phase(), Phase::ReplyPending);
  }
  EXPECT_EQ(session().Mistakes(), 0) << "no hint was given";
  EXPECT_EQ(view.confirmationsAsked, 0);
  view.Type("a1a8");
  EXPECT_EQ(session().Ply(), 1u);
  // The board takes nothing either.
  view.ClickSquare("a1");
  EXPECT_FALSE(screen->board().selected());
  for (const std::string& line : view.log())
    EXPECT_EQ(line.rfind("command ", 0), std::string::npos) << "no button changed: " << line;
  // While the solution plays out, the commands are off.
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Click(Command::Solution);
  EXPECT_EQ(EnabledCommands(), "Flip ShowClock");
  view.Click(Command::Retry);
  EXPECT_EQ(session().phase(), Phase::ShowingSolution);
}

TEST_F(TrainerScreenTest, ANewCycleIsAskedForFirstAndKeepsTheEarlierCycle) {
  Open("practice");
  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  view.Click(Command::Next);
  view.Click(Command::Flip);
  view.confirmAnswer = false;
  view.Click(Command::RestartCourse);
  EXPECT_EQ(view.confirmationsAsked, 1);
  EXPECT_EQ(view.log().back(),
            "confirm Тактика-0: практика | Начать новый круг? Все задачи курса снова станут "
            "нерешёнными, а результаты прежних кругов останутся в статистике.");
  EXPECT_EQ(Text(Field::Progress), "Решено 1 из 4, с первой попытки 1");
  view.confirmAnswer = true;
  view.Click(Command::RestartCourse);
  EXPECT_EQ(Text(Field::Progress), "Решено 0 из 4, с первой попытки 0");
  EXPECT_EQ(Text(Field::Problem), "Задача 1 из 4");
  EXPECT_EQ(screen->board().bottom(), chess::White) << "the first problem the right way up";
  EXPECT_EQ(Saved(), "current p0001 p0001 new p0002 new p0003 new p0004 new");
  ASSERT_EQ(session().Cycles().size(), 2u);
  EXPECT_EQ(session().Cycles()[0].solvedFirst, 1u) << "the first cycle's result stays";
}

TEST_F(TrainerScreenTest, AFailedWriteIsReportedOnceTheScreenShowsWhatChanged) {
  Open("practice");
  h.files.FailOperation("Replace", 1, 28, true);
  view.ClickSquare("b1");
  view.ClickSquare("b2");
  ASSERT_EQ(view.reports().size(), 1u);
  EXPECT_EQ(view.reports()[0].rfind("report Your results could not be saved. | Error 28", 0), 0u)
      << view.reports()[0];
  // The verdict was said before the report, and the user goes on.
  const auto said = std::find(view.log().begin(), view.log().end(),
                              "text Status Лb2 — неверно. Попробуйте ещё раз.");
  const auto reported = std::find(view.log().begin(), view.log().end(), view.reports()[0]);
  EXPECT_LT(said, reported);
  EXPECT_TRUE(Enabled(Command::Hint));

  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  EXPECT_EQ(view.reports().size(), 2u);
  EXPECT_EQ(Text(Field::Status), "Задача решена!");
  EXPECT_EQ(Text(Field::Progress), "Решено 1 из 4, с первой попытки 0");
  EXPECT_EQ(Progress(), "") << "nothing could be written";

  // Closing tries once more; the disk has room again.
  h.files.FailCall(0, 0);
  screen->Closing();
  EXPECT_EQ(view.reports().size(), 2u);
  EXPECT_EQ(Saved(), "current p0001 p0001 solved p0002 new p0003 new p0004 new");
}

TEST_F(TrainerScreenTest, ClosingWithAResultStillUnwrittenSaysSo) {
  Open("practice");
  h.files.FailOperation("Replace", 1, 28, true);
  view.Click(Command::Hint);
  ASSERT_EQ(view.reports().size(), 1u);
  screen->Closing();
  EXPECT_EQ(view.reports().size(), 2u);
  EXPECT_EQ(Progress(), "");
}

TEST_F(TrainerScreenTest, AProgressFileThatCannotBeReadStopsTheStartOrIsReportedFromTheList) {
  h.files.FailOperation("ReadAll", 1, 13, true);
  EXPECT_THROW(Open("practice"), platform::Failure);

  Open(nullptr, Language::English, true, SolverFamily::CourseSolver);
  view.Choose(0);
  ASSERT_EQ(view.reports().size(), 1u);
  EXPECT_EQ(view.reports()[0].rfind("report The course's results could not be read. | Error 13", 0),
            0u)
      << view.reports()[0];
  EXPECT_EQ(view.part(), LeftPart::CourseList);
  EXPECT_EQ(screen->session(), nullptr);
}

TEST_F(TrainerScreenTest, TheClockCountsWhileTheUserIsHereHiddenOrNotAndStopsAtTheSolve) {
  Open("practice");
  EXPECT_EQ(Text(Field::Clock), "Время: 0:00");
  view.Advance(42'000);
  EXPECT_EQ(Text(Field::Clock), "Время: 0:42");
  // Time in another program is not time on the problem.
  view.Deactivate();
  EXPECT_FALSE(view.TimerRunning(Timer::Clock));
  view.Advance(600'000);
  view.Activate();
  EXPECT_EQ(Text(Field::Clock), "Время: 0:42");
  // Hidden, it counts all the same.
  EXPECT_TRUE(view.command(Command::ShowClock).checked);
  view.Click(Command::ShowClock);
  EXPECT_FALSE(view.command(Command::ShowClock).checked);
  EXPECT_EQ(Text(Field::Clock), "");
  EXPECT_FALSE(view.TimerRunning(Timer::Clock)) << "nothing to show";
  view.Advance(2'000);
  view.Click(Command::ShowClock);
  EXPECT_EQ(Text(Field::Clock), "Время: 0:44");

  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  EXPECT_FALSE(view.TimerRunning(Timer::Clock));
  const std::string stopped = Text(Field::Clock);
  EXPECT_EQ(stopped, "Время: 0:44");
  view.Advance(30'000);
  EXPECT_EQ(Text(Field::Clock), stopped);
  EXPECT_EQ(session().Progress().Current().records[0].seconds, 44u) << "kept with the result";
  view.Click(Command::Next);
  EXPECT_EQ(Text(Field::Clock), "Время: 0:00");
}

TEST_F(TrainerScreenTest, FlipTurnsTheBoardForThisProblemOnly) {
  Open("practice");
  view.Click(Command::Flip);
  EXPECT_EQ(screen->board().bottom(), chess::Black);
  view.ClickSquare("b1");  // clicks follow the turned board
  view.ClickSquare("b7");
  EXPECT_EQ(session().phase(), Phase::ReplyPending);
  view.Advance(600);
  EXPECT_FALSE(screen->Available(Command::Flip)) << "not while a man moves";
  ASSERT_TRUE(view.AdvanceToYourMove());
  EXPECT_EQ(screen->board().bottom(), chess::Black);
  view.Click(Command::Next);
  EXPECT_EQ(screen->board().bottom(), chess::White);
}

TEST_F(TrainerScreenTest, OnlyTheSquaresAMoveChangesArePaintedAndUnchangedTextsAreLeftAlone) {
  Open("practice");
  EXPECT_TRUE(view.repainted().all) << "all of it at the start";
  view.ClearRepaints();
  view.ClearLog();
  view.ClickSquare("b1");
  view.ClickSquare("b7");
  EXPECT_FALSE(view.repainted().all);
  EXPECT_EQ(view.repainted().squares & (Bit("b1") | Bit("b7")), Bit("b1") | Bit("b7"));
  EXPECT_EQ(view.repainted().squares & Bit("a1"), 0u) << "the other rook stays as it was";
  for (const std::string& line : view.log()) {
    EXPECT_EQ(line.find("text Problem"), std::string::npos) << line;
    EXPECT_EQ(line.find("text Caption"), std::string::npos) << line;
  }
}

TEST_F(TrainerScreenTest, ShowAllTellsANewViewEverything) {
  Open("practice");
  // Everything again, as to the window's panel once it is made; the board
  // control keeps what it painted.
  view.ClearLog();
  view.ClearRepaints();
  screen->ShowAll();
  int texts = 0, commands = 0;
  for (const std::string& line : view.log()) {
    texts += line.rfind("text ", 0) == 0;
    commands += line.rfind("command ", 0) == 0;
  }
  EXPECT_EQ(texts, static_cast<int>(kFieldCount));
  EXPECT_EQ(commands, static_cast<int>(kCommandCount));
  EXPECT_FALSE(view.repainted().any());
}

TEST_F(TrainerScreenTest, ACourseWithoutProblemsOffersTheFamilysListInstead) {
  Open("tactics", Language::Russian, true, SolverFamily::ProblemBookSolver);
  EXPECT_EQ(view.part(), LeftPart::CourseList);
  EXPECT_EQ(Text(Field::Status), "В этом курсе пока нет задач.");
  ASSERT_EQ(view.list().size(), 4u);
  view.Choose(0);
  EXPECT_EQ(Text(Field::Caption), "Шах и мат");
}

TEST_F(TrainerScreenTest, AProblemFailedTodayIsDueTomorrowAndReviewPlaysItThenSaysItIsOver) {
  Open("practice");
  EXPECT_EQ(Text(Field::Due), "К повторению сегодня: 0");
  view.Click(Command::Review);
  EXPECT_EQ(Text(Field::Status), "Сегодня повторять нечего.");
  view.ClickSquare("b1");
  view.ClickSquare("b2");  // a mistake: the first box, due tomorrow
  view.Click(Command::Next);

  clock.PassDays(1);
  Open("practice");
  EXPECT_EQ(Text(Field::Due), "К повторению сегодня: 1");
  view.Click(Command::Review);
  EXPECT_EQ(Text(Field::Problem), "Задача 1 из 4");
  EXPECT_EQ(Text(Field::Due), "Повторение: задача 1 из 1");
  EXPECT_EQ(EnabledCommands().find("Previous"), std::string::npos);
  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  EXPECT_EQ(Text(Field::Status), "Задача решена!");
  view.Click(Command::Next);  // after the last one of the review
  EXPECT_EQ(Text(Field::Status), "Повторение закончено.");
  EXPECT_EQ(Text(Field::Due), "К повторению сегодня: 0");
}

TEST_F(TrainerScreenTest, ANewCycleShowsTheCyclesSideBySideAndErasingAsksAndClearsThemAll) {
  Open("practice");
  EXPECT_EQ(Text(Field::Summary), "") << "one cycle: nothing to compare";
  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Advance(5'000);
  view.Type("Лa8");
  view.confirmAnswer = true;
  view.Click(Command::RestartCourse);
  EXPECT_EQ(Text(Field::Summary),
            "Круг 1 (02.03.2026): 5 с, с первой попытки 100\u00A0%\nКруг 2 (02.03.2026): 0 с");

  view.confirmAnswer = false;
  view.Click(Command::EraseCourse);
  EXPECT_EQ(view.log().back(),
            "confirm Тактика-0: практика | Стереть все результаты этого курса, все круги и "
            "повторения? Этого нельзя отменить. Рейтинг останется.");
  EXPECT_EQ(session().Cycles().size(), 2u) << "the user said no";
  view.confirmAnswer = true;
  view.Click(Command::EraseCourse);
  EXPECT_EQ(session().Cycles().size(), 1u);
  EXPECT_EQ(Text(Field::Summary), "");
  EXPECT_EQ(Saved(), "current p0001 p0001 new p0002 new p0003 new p0004 new");
  EXPECT_EQ(view.confirmationsAsked, 3);
}

TEST_F(TrainerScreenTest, TheRatingMovesAfterAFirstAttemptAndShowsTheChange) {
  Open("practice");
  EXPECT_EQ(Text(Field::Rating), "Рейтинг 1500 ± 350");
  view.Type("Лb7");
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.Type("Лa8");
  const Glicko after = session().Rating();
  EXPECT_GT(after.rating, 1500);
  EXPECT_LT(after.deviation, 350);
  EXPECT_EQ(Text(Field::Rating), RatingChangeText({{}, after}, Language::Russian));
  EXPECT_NE(Text(Field::Rating).find(" (+"), std::string::npos) << Text(Field::Rating);
}

TEST_F(TrainerScreenTest, InACollectionNextMayGoToTheProblemNearestAboveTheRating) {
  data = ParseProblemData(
      "[checkmate]\r\n"
      "c0001;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;back-rank;450\r\n"
      "c0002;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;back-rank;1900\r\n"
      "c0003;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;back-rank;1600\r\n",
      "Zadachi.dat");
  Open("checkmate", Language::English, true, SolverFamily::ProblemBookSolver);
  EXPECT_TRUE(view.command(Command::AtMyLevel).shown);
  EXPECT_FALSE(view.command(Command::AtMyLevel).checked);
  view.Click(Command::AtMyLevel);
  EXPECT_TRUE(view.command(Command::AtMyLevel).checked);
  view.Click(Command::Next);
  EXPECT_EQ(Text(Field::Problem), "Problem 3 of 3") << "1600, the nearest above 1500";

  Open("practice");
  EXPECT_FALSE(view.command(Command::AtMyLevel).shown) << "a course goes in its own order";
}

TEST_F(TrainerScreenTest, StatisticsAreTheWindowsToShow) {
  Open("practice");
  view.Click(Command::Statistics);
  EXPECT_EQ(view.statisticsShown, 1);
  view.ClickSquare("b1");
  view.ClickSquare("b7");
  view.Click(Command::Statistics);  // not while the answer comes
  EXPECT_EQ(view.statisticsShown, 1);
  ASSERT_TRUE(view.AdvanceToYourMove());
  view.statisticsFailure = platform::Failure{13, "Permission denied", "rating.prg"};
  view.Click(Command::Statistics);
  ASSERT_EQ(view.reports().size(), 1u);
  EXPECT_EQ(view.reports()[0].rfind("report The course's results could not be read. | Error 13", 0),
            0u)
      << view.reports()[0];
}

}  // namespace
}  // namespace zel::solver
