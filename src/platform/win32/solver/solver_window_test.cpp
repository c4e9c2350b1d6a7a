// The solver's real window over a temporary program folder: problems solved
// by clicks on the board and by typed moves, a wrong move, hints, the lists,
// pictures off, and what the progress file holds after each step. Waits are
// bounded; the pauses of the window are shortened to a millisecond.
#include "platform/win32/solver/solver_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/win32/solver/solver_resources.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_files.h"
#include "solver/progress_store.h"
#include "solver/test_problems.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

using chess::Square;
using solver::testing::kTestData;

Square At(const char* name) { return *chess::SquareFromName(name); }

MenSheet LoadMen() {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ZEL_MEN_SHEET_RESOURCE),
                                    MAKEINTRESOURCEW(10));  // RT_RCDATA
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  return *MenSheet::Decode({bytes, SizeofResource(nullptr, found)});
}

class SolverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Write("Zadachi.dat", kTestData); }

  // Opens the window on a course (or, with none, on the course list). The
  // pauses are a millisecond unless a test must see what comes before a reply.
  void Open(const char* course, chess::Language language = chess::Language::Russian,
            bool pictures = true, SolverFamily family = SolverFamily::CourseSolver,
            SolverTiming timing = {1, 1, 1}) {
    data_ = solver::ReadProblemData(files_);
    const solver::StartChoice start{family, language, pictures,
                                    course ? solver::FindCourse(course) : nullptr};
    window_.emplace(files_, start, data_, men_, timing);
    window_->Show(SW_SHOWNORMAL);
    Pump([] { return true; });
  }

  HWND Item(int id) const { return GetDlgItem(window_->handle(), id); }
  std::string TextOf(int id) const {
    wchar_t text[1024] = {};
    GetWindowTextW(Item(id), text, 1024);
    return Narrow(text);
  }
  std::string Title() const {
    wchar_t text[256] = {};
    GetWindowTextW(window_->handle(), text, 256);
    return Narrow(text);
  }

  // Delivers messages, through the window's own key handling, until `done`
  // holds or ten seconds have passed (a loaded machine slows Wine down).
  bool Pump(const std::function<bool()>& done = [] { return false; }) {
    const DWORD until = GetTickCount() + 10000;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (window_ && window_->PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (done()) return true;
      if (GetTickCount() > until) return false;
      Sleep(1);
    }
  }
  bool WaitForYourMove() {
    return Pump([&] {
      return window_->session()->phase() == solver::Phase::SolverToMove &&
             !window_->board()->animating() && IsWindowEnabled(Item(kIdPlay));
    });
  }

  // A click on a square as the mouse makes it.
  void ClickSquare(const char* name) {
    const HWND board = window_->board()->handle();
    const POINT at = window_->board()->SquareCentre(At(name));
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(board, WM_LBUTTONUP, 0, where);
    Pump([] { return true; });
  }
  void Drag(const char* from, const char* to) {
    const HWND board = window_->board()->handle();
    const POINT a = window_->board()->SquareCentre(At(from));
    const POINT b = window_->board()->SquareCentre(At(to));
    SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    SendMessageW(board, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((a.x + b.x) / 2, (a.y + b.y) / 2));
    SendMessageW(board, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    SendMessageW(board, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    Pump([] { return true; });
  }
  void Type(const char* move) {
    SetWindowTextW(Item(kIdMoveEdit), Widen(move).c_str());
    SendMessageW(Item(kIdPlay), BM_CLICK, 0, 0);
    Pump([] { return true; });
  }
  void Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump([] { return true; });
  }

  // What the course's progress file holds: the current problem, then each
  // problem's state in the cycle under way: "current p0001 p0001 first ...".
  std::string Saved(const char* course = "practice") {
    constexpr const char* kStates[] = {"new", "missed", "solved", "first"};
    const solver::CourseProblems& problems = *data_.Find(course);
    const solver::CourseProgress progress =
        solver::ProgressStore(files_, SystemClock(), *solver::FindCourse(course), problems).Load();
    std::string text = "current " + problems.problems[progress.current].id;
    for (std::size_t i = 0; i < problems.problems.size(); ++i)
      text += " " + problems.problems[i].id + " " + kStates[static_cast<int>(progress.StateOf(i))];
    return text;
  }

  testing::TestFolder folder_;
  Win32Files files_{folder_.path().string(), folder_.path().string()};
  MenSheet men_ = LoadMen();
  solver::ProblemData data_;
  std::optional<SolverWindow> window_;
};

TEST_F(SolverWindowTest, AProblemSolvedByClicksAndADragWithTheRepliesPlayedByThemselves) {
  // The reply waits a second, so that what the window says before it can be
  // seen even on a slow machine.
  Open("practice", chess::Language::Russian, true, SolverFamily::CourseSolver, {1000, 1, 1});
  EXPECT_EQ(Title(), "Тактика-0: практика");
  EXPECT_EQ(TextOf(kIdProblem), "Задача 1 из 4");
  EXPECT_EQ(TextOf(kIdToMove), "Ход белых");

  ClickSquare("b1");
  ClickSquare("b7");
  EXPECT_EQ(TextOf(kIdStatus), "Правильно!");
  ASSERT_TRUE(WaitForYourMove());
  EXPECT_EQ(window_->session()->Position().Fen(), "6k1/1R6/8/8/8/8/8/R5K1 w - - 2 2");
  ASSERT_TRUE(window_->session()->LastMove());
  EXPECT_EQ(chess::UciText(*window_->session()->LastMove()), "h8g8");
  EXPECT_NE(TextOf(kIdStatus).find("Ответ: Крg8"), std::string::npos) << TextOf(kIdStatus);

  Drag("a1", "a8");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved);
  EXPECT_EQ(TextOf(kIdProgress), "Решено 1 из 4, с первой попытки 1");
  EXPECT_EQ(Saved(), "current p0001 p0001 first p0002 new p0003 new p0004 new");
  // The next problem is the first unsolved one when the course opens again.
  Click(kIdNext);
  EXPECT_EQ(TextOf(kIdProblem), "Задача 2 из 4");
  EXPECT_TRUE(Saved().starts_with("current p0002 ")) << Saved();
}

TEST_F(SolverWindowTest, AWrongMoveIsTakenBackAndCountedAndTheUserGoesOnFromThere) {
  Open("practice");
  const std::string before = window_->session()->Position().Fen();
  ClickSquare("b1");
  ClickSquare("b2");  // legal, but not the solution
  EXPECT_EQ(TextOf(kIdStatus), "Неверно. Попробуйте ещё раз.");
  EXPECT_EQ(window_->session()->Position().Fen(), before);
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
  // An illegal move is refused and counts nothing.
  ClickSquare("b1");
  ClickSquare("c3");
  EXPECT_EQ(TextOf(kIdStatus), "Так ходить нельзя.");
  EXPECT_EQ(window_->session()->Mistakes(), 1);

  ClickSquare("b1");
  ClickSquare("b7");
  ASSERT_TRUE(WaitForYourMove());
  ClickSquare("a1");
  ClickSquare("a8");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved);
  EXPECT_EQ(Saved(), "current p0001 p0001 solved p0002 new p0003 new p0004 new");
  EXPECT_EQ(TextOf(kIdProgress), "Решено 1 из 4, с первой попытки 0");
}

TEST_F(SolverWindowTest, TypedMovesInEitherNotationWithAPromotionAndCastling) {
  Open("practice", chess::Language::English);
  EXPECT_EQ(Title(), "Tactics-0: Practice");
  Type("Лb7");  // Russian letters in the English solver are understood too
  ASSERT_TRUE(WaitForYourMove());
  Type("Ra8+");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved);
  EXPECT_EQ(TextOf(kIdMoveEdit), "") << "a played move leaves the field empty";

  Click(kIdNext);
  Type("nonsense");
  EXPECT_EQ(TextOf(kIdStatus), "That is not a move. Type, for example, Nf3 or e2e4.");
  EXPECT_EQ(TextOf(kIdMoveEdit), "nonsense") << "kept, to be corrected";

  // Castling as the king taking its own rook, by clicks.
  Click(kIdNext);
  ClickSquare("e1");
  ClickSquare("a1");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved) << TextOf(kIdStatus);

  // Black's promotion, typed with its piece.
  Click(kIdNext);
  EXPECT_EQ(TextOf(kIdToMove), "Black to move");
  Type("a1=Q#");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved) << TextOf(kIdStatus);
  EXPECT_EQ(Saved(), "current p0004 p0001 first p0002 new p0003 first p0004 first");
}

TEST_F(SolverWindowTest, HintsNameTheManThenTheMoveAndCountAsAMistake) {
  Open("practice");
  Click(kIdHint);
  EXPECT_EQ(TextOf(kIdStatus), "Подсказка: ходит ладья с b1.");
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
  Click(kIdHint);
  EXPECT_EQ(TextOf(kIdStatus), "Подсказка: ход Лb7.");

  // The solution plays itself out; the problem stays unsolved.
  Click(kIdSolution);
  ASSERT_TRUE(Pump([&] {
    return window_->session()->phase() == solver::Phase::SolutionShown &&
           !window_->board()->animating();
  }));
  EXPECT_EQ(window_->session()->Position().Fen(), "R5k1/1R6/8/8/8/8/8/6K1 b - - 3 2");
  EXPECT_EQ(TextOf(kIdProgress), "Решено 0 из 4, с первой попытки 0");
  Click(kIdRetry);
  EXPECT_EQ(window_->session()->Position().Fen(), "7k/8/8/8/8/8/8/RR4K1 w - - 0 1");
}

TEST_F(SolverWindowTest, ADamagedProgressFileIsSetAsideAndTheCourseStartsAfresh) {
  folder_.Write("practice.prg", "Zelmiku progress 1\r\ncourse practice\r\ncurrent p00");
  Open("practice");
  EXPECT_EQ(TextOf(kIdProblem), "Задача 1 из 4");
  EXPECT_EQ(folder_.Read("practice.prg.bad"),
            "Zelmiku progress 1\r\ncourse practice\r\ncurrent p00");
  ClickSquare("b1");
  ClickSquare("b2");
  EXPECT_EQ(Saved(), "current p0001 p0001 missed p0002 new p0003 new p0004 new");
}

TEST_F(SolverWindowTest, WithPicturesOffThePositionIsGivenInWordsAndMovesAreTyped) {
  Open("practice", chess::Language::Russian, false);
  EXPECT_FALSE(IsWindowVisible(window_->board()->handle()));
  EXPECT_TRUE(IsWindowVisible(Item(kIdDescription)));
  EXPECT_EQ(GetFocus(), Item(kIdMoveEdit));
  EXPECT_NE(TextOf(kIdDescription).find("Белые: Крg1, Лa1, Лb1. Чёрные: Крh8. Ход белых."),
            std::string::npos)
      << TextOf(kIdDescription);
  Type("b1b7");
  ASSERT_TRUE(WaitForYourMove());
  EXPECT_NE(TextOf(kIdDescription).find("Чёрные: Крg8"), std::string::npos);
  EXPECT_NE(TextOf(kIdDescription).find("Ответ: Крg8"), std::string::npos);
}

TEST_F(SolverWindowTest, TheKeyboardComesBackToItsControlWhenTheUserReturns) {
  Open("practice", chess::Language::Russian, false);
  ASSERT_EQ(GetFocus(), Item(kIdMoveEdit));
  // Another program's window takes the user away; a reply that comes in
  // meanwhile must not take the activation back.
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  SetActiveWindow(other);
  Pump([] { return true; });
  ASSERT_EQ(GetActiveWindow(), other);
  // The command as a screen reader's "press" gives it, without a click that
  // would bring the window forward.
  SetWindowTextW(Item(kIdMoveEdit), L"b1b7");
  SendMessageW(window_->handle(), WM_COMMAND, MAKEWPARAM(kIdPlay, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(kIdPlay)));
  ASSERT_TRUE(WaitForYourMove());
  EXPECT_EQ(GetActiveWindow(), other);

  SetActiveWindow(window_->handle());
  Pump([] { return true; });
  EXPECT_EQ(GetFocus(), Item(kIdMoveEdit));
  DestroyWindow(other);
}

TEST_F(SolverWindowTest, TheProblemListOpensAProblemAndTheArrowsPage) {
  Open("practice");
  Click(kIdProblemList);
  const HWND list = Item(kIdList);
  ASSERT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  wchar_t item[128] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(Narrow(item), "Задача 1 из 4 — не решена");
  SendMessageW(list, LB_SETCURSEL, 2, 0);
  Click(kIdListOpen);
  EXPECT_EQ(TextOf(kIdProblem), "Задача 3 из 4");
  EXPECT_TRUE(IsWindowVisible(window_->board()->handle()));

  // The arrows page while the focus is on the board.
  SetFocus(window_->board()->handle());
  PostMessageW(window_->board()->handle(), WM_KEYDOWN, VK_RIGHT, 0);
  Pump([] { return true; });
  EXPECT_EQ(TextOf(kIdProblem), "Задача 4 из 4");
  PostMessageW(window_->board()->handle(), WM_KEYDOWN, VK_LEFT, 0);
  Pump([] { return true; });
  EXPECT_EQ(TextOf(kIdProblem), "Задача 3 из 4");
}

TEST_F(SolverWindowTest, WithoutACourseTheFamilysCoursesAreOfferedAndOneOpens) {
  Open(nullptr, chess::Language::English, true, SolverFamily::ProblemBookSolver);
  const HWND list = Item(kIdList);
  ASSERT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  EXPECT_FALSE(IsWindowVisible(Item(kIdHint)));
  wchar_t item[128] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(Narrow(item), "Checkmate");
  Click(kIdListOpen);
  EXPECT_EQ(Title(), "Checkmate");
  EXPECT_TRUE(IsWindowVisible(Item(kIdHint)));
  Type("Ra8#");
  EXPECT_EQ(window_->session()->phase(), solver::Phase::Solved);
  EXPECT_EQ(Saved("checkmate"), "current c0001 c0001 first");
}

}  // namespace
}  // namespace zel::platform
