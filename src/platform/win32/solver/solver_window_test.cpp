// The solver's real window over a temporary program folder: what only the
// window can show. Mouse messages on the board control and what it paints
// (all of it, and only the changed squares after a move), typed moves through
// the edit control and the buttons, access keys and the arrows through the
// message loop's key handling, the keyboard given back on activation, the
// lists in a real list box, pictures off in a real edit control, and the
// scaling of another monitor; and the trainer's memory as the real window and
// files keep it, on a day the test sets: a failed problem due on its day and
// reviewed, a second cycle beside the first, the rating after a first
// attempt, a question answered in a real message box. The screen's rules
// themselves are tested on Linux (solver/trainer_screen_test.cpp). Waits are
// bounded and wait for a condition; the window's pauses are shortened to a
// millisecond.
#include "platform/win32/solver/solver_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/solver/gdi_guards.h"
#include "platform/win32/solver/solver_resources.h"
#include "platform/win32/solver/statistics_window.h"
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

// EnumThreadWindows' callback: the visible dialog window of a message box,
// into the HWND that `found` points to.
BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The day the test sets, and the system's steady time, which the window's
// timers and its moving men follow.
class TestClock final : public Clock {
 public:
  Day Today() override { return today; }
  std::int64_t SteadyMilliseconds() override { return SystemClock().SteadyMilliseconds(); }
  Day today = DayOf({2026, 3, 2});
};

MenSheet LoadMen() {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ZEL_MEN_SHEET_RESOURCE),
                                    MAKEINTRESOURCEW(10));  // RT_RCDATA
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  return *MenSheet::Decode({bytes, SizeofResource(nullptr, found)});
}

// 0xRRGGBB of every pixel of a control's client area: as it paints itself
// anew (WM_PRINTCLIENT), or as it stands on the screen now.
std::vector<std::uint32_t> Pixels(HWND control, bool repainted) {
  RECT client;
  GetClientRect(control, &client);
  const DibCanvas canvas(client.right, client.bottom);
  if (!canvas.dc()) return {};
  if (repainted) {
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  } else {
    const WindowDc screen(control);
    BitBlt(canvas.dc(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  std::vector<std::uint32_t> pixels(canvas.pixels(),
                                    canvas.pixels() + std::size_t(client.right) * client.bottom);
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

class SolverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Write("Zadachi.dat", kTestData); }

  // Opens the window on a course (or, with none, on the course list). The
  // pauses are a millisecond unless a test must see what comes before a reply.
  void Open(const char* course, chess::Language language = chess::Language::Russian,
            bool pictures = true, SolverFamily family = SolverFamily::CourseSolver,
            solver::ScreenTiming timing = {1, 1, 1, 1}) {
    data_ = solver::ReadProblemData(files_);
    const solver::StartChoice start{family, language, pictures,
                                    course ? solver::FindCourse(course) : nullptr};
    window_.emplace(files_, clock_, start, data_, men_, timing);
    window_->Show(SW_SHOWNORMAL);
    Pump([] { return true; });
  }

  // Clicks a button that asks a question in a message box, and answers it
  // from another thread as the user would, within ten seconds.
  void ClickAndAnswer(int id, int answer) {
    const DWORD thread = GetCurrentThreadId();
    std::thread answering([thread, answer] {
      for (int waited = 0; waited < 10000; waited += 20) {
        HWND box = nullptr;
        EnumThreadWindows(thread, FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
          PostMessageW(box, WM_COMMAND, answer, 0);
          return;
        }
        Sleep(20);
      }
    });
    Click(id);
    answering.join();
  }

  HWND Item(int id) const { return GetDlgItem(window_->handle(), id); }
  HWND Board() const { return window_->board()->handle(); }
  std::string TextOf(HWND control) const {
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    return Narrow(text);
  }
  std::string TextOf(int id) const { return TextOf(Item(id)); }
  const solver::Session& Session() const { return *window_->session(); }

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
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  bool WaitForYourMove() {
    return Pump([&] {
      return Session().phase() == solver::Phase::SolverToMove &&
             !window_->screen().board().animating() && IsWindowEnabled(Item(kIdPlay));
    });
  }

  // A click on a square as the mouse makes it.
  void ClickSquare(const char* name) {
    const POINT at = window_->board()->SquareCentre(At(name));
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(Board(), WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(Board(), WM_LBUTTONUP, 0, where);
    Pump([] { return true; });
  }
  void Drag(const char* from, const char* to) {
    const POINT a = window_->board()->SquareCentre(At(from));
    const POINT b = window_->board()->SquareCentre(At(to));
    SendMessageW(Board(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    EXPECT_EQ(GetCapture(), Board()) << "the board keeps the mouse while it holds a man";
    SendMessageW(Board(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((a.x + b.x) / 2, (a.y + b.y) / 2));
    SendMessageW(Board(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    SendMessageW(Board(), WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    EXPECT_NE(GetCapture(), Board());
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
  // Alt with a character, as TranslateMessage makes it, through the window's
  // key handling.
  void AltKey(wchar_t character) {
    const HWND focus = GetFocus() ? GetFocus() : window_->handle();
    PostMessageW(focus, WM_SYSCHAR, character, LPARAM{1} | (LPARAM{1} << 29));
    Pump([] { return true; });
  }

  // What the course's progress file holds: the current problem, then each
  // problem's state in the cycle under way: "current p0001 p0001 first ...".
  std::string Saved(const char* course = "practice") {
    constexpr const char* kStates[] = {"new", "missed", "solved", "first"};
    const solver::CourseProblems& problems = *data_.Find(course);
    const solver::CourseProgress progress =
        solver::ProgressStore(files_, clock_, *solver::FindCourse(course), problems).Load();
    std::string text = "current " + problems.problems[progress.current].id;
    for (std::size_t i = 0; i < problems.problems.size(); ++i)
      text += " " + problems.problems[i].id + " " + kStates[static_cast<int>(progress.StateOf(i))];
    return text;
  }

  testing::TestFolder folder_;
  TestClock clock_;
  Win32Files files_{folder_.path().string(), folder_.path().string()};
  MenSheet men_ = LoadMen();
  solver::ProblemData data_;
  std::optional<SolverWindow> window_;
};

TEST_F(SolverWindowTest, AProblemSolvedByClicksAndADragOnTheBoardControl) {
  // The reply waits a second, so that what the window says before it can be
  // seen even on a slow machine.
  Open("practice", chess::Language::Russian, true, SolverFamily::CourseSolver, {1000, 1, 1, 1});
  wchar_t title[256] = {};
  GetWindowTextW(window_->handle(), title, 256);
  EXPECT_EQ(Narrow(title), "Тактика-0: практика");
  EXPECT_EQ(TextOf(kIdProblem), "Задача 1 из 4");
  EXPECT_EQ(TextOf(kIdToMove), "Ход белых");
  EXPECT_EQ(TextOf(kIdClock), "Время: 0:00");
  EXPECT_NE(TextOf(Board()).find("Белые: Крg1, Лa1, Лb1."), std::string::npos)
      << "screen readers name the board by its position";

  ClickSquare("b1");
  ClickSquare("b7");
  EXPECT_EQ(TextOf(kIdStatus), "Правильно!");
  Click(kIdHint);  // the commands wait for the answer
  EXPECT_EQ(TextOf(kIdStatus), "Правильно!");
  ASSERT_TRUE(WaitForYourMove());
  EXPECT_EQ(Session().Position().Fen(), "6k1/1R6/8/8/8/8/8/R5K1 w - - 2 2");
  EXPECT_EQ(TextOf(kIdStatus), "Ответ: Крg8. Ваш ход.");

  Drag("a1", "a8");
  EXPECT_EQ(Session().phase(), solver::Phase::Solved);
  EXPECT_EQ(TextOf(kIdProgress), "Решено 1 из 4, с первой попытки 1");
  EXPECT_EQ(TextOf(kIdSummary),
            "Тема: Мат в 2 хода\r\nРейтинг: 600\r\nРешение: 1. Лb7 Крg8 2. Лa8#");
  EXPECT_EQ(Saved(), "current p0001 p0001 first p0002 new p0003 new p0004 new");
  Click(kIdNext);
  EXPECT_EQ(TextOf(kIdProblem), "Задача 2 из 4");
  EXPECT_EQ(TextOf(kIdSummary), "");
  EXPECT_TRUE(Saved().starts_with("current p0002 ")) << Saved();
}

TEST_F(SolverWindowTest, TheBoardPaintsItsSquaresAndMenAndAfterAMoveOnlyWhatChanged) {
  Open("practice");
  auto at = [&](const std::vector<std::uint32_t>& pixels, POINT p) {
    RECT client;
    GetClientRect(Board(), &client);
    return pixels[std::size_t(p.y) * client.right + p.x];
  };
  const solver::BoardModel& model = window_->screen().board();
  auto square = [&](const char* name) {
    const solver::PixelRect r = model.geometry().SquareRect(At(name), model.bottom());
    return RECT{r.left, r.top, r.right, r.bottom};
  };
  std::vector<std::uint32_t> painted = Pixels(Board(), true);
  ASSERT_FALSE(painted.empty());
  // An empty light square in its colour; a man's square with the man's dark
  // lines on it, and the square's colour in its corner, where no man reaches.
  EXPECT_EQ(at(painted, window_->board()->SquareCentre(At("c8"))), 0xF0D9B5u);
  const RECT rook = square("a1");
  EXPECT_EQ(at(painted, {rook.left + 1, rook.top + 1}), 0xB58863u) << "a1 is dark";
  int ink = 0;
  for (int y = rook.top; y < rook.bottom; ++y)
    for (int x = rook.left; x < rook.right; ++x) ink += (at(painted, {x, y}) & 0xFF) < 60;
  EXPECT_GT(ink, (rook.right - rook.left) * 2) << "the rook's lines";

  ClickSquare("b1");  // chosen: its square green
  const RECT chosen = square("b1");
  EXPECT_EQ(at(Pixels(Board(), true), {chosen.left + 1, chosen.top + 1}), 0x82AA5Au);
  ClickSquare("b7");
  ASSERT_TRUE(WaitForYourMove());
  // What is on the screen, painted square by square as things changed,
  // equals the board painted whole.
  UpdateWindow(Board());
  EXPECT_EQ(Pixels(Board(), false), Pixels(Board(), true));
}

TEST_F(SolverWindowTest, TypedMovesThroughTheFieldAndAWrongOneNamedThere) {
  Open("practice", chess::Language::English);
  Type("Rb2");
  EXPECT_EQ(TextOf(kIdStatus), "Rb2 — wrong. Try again.");
  EXPECT_EQ(TextOf(kIdMoveEdit), "Rb2") << "kept, to be corrected";
  DWORD from = 1, to = 0;
  SendMessageW(Item(kIdMoveEdit), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
               reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 3u) << "selected, to be typed over";
  Type("Лb7");
  EXPECT_EQ(TextOf(kIdMoveEdit), "") << "a played move leaves the field empty";
  ASSERT_TRUE(WaitForYourMove());
  Type("Ra8+");
  EXPECT_EQ(Session().phase(), solver::Phase::Solved);

  // Black's promotion, typed with its piece; castling by clicks.
  Click(kIdNext);
  Click(kIdNext);
  ClickSquare("e1");
  ClickSquare("a1");
  EXPECT_EQ(Session().phase(), solver::Phase::Solved) << TextOf(kIdStatus);
  Click(kIdNext);
  EXPECT_EQ(TextOf(kIdToMove), "Black to move");
  Type("a1=Q#");
  EXPECT_EQ(Session().phase(), solver::Phase::Solved) << TextOf(kIdStatus);
  EXPECT_EQ(Saved(), "current p0004 p0001 solved p0002 new p0003 first p0004 first");
}

TEST_F(SolverWindowTest, AccessKeysAndEnterReachTheCommandsAndADisabledOneStaysStill) {
  // The reply waits a second: the test looks at the window before it.
  Open("practice", chess::Language::Russian, true, SolverFamily::CourseSolver, {1000, 1, 1, 1});
  SetFocus(Board());
  // Wine's dialog manager matches letters beyond ASCII in the caption's case
  // only (Windows in either).
  AltKey(L'П');  // "&Подсказка"
  EXPECT_EQ(TextOf(kIdStatus), "Подсказка: ходит ладья с b1.");
  AltKey(L'П');
  EXPECT_EQ(TextOf(kIdStatus), "Подсказка: ход Лb7.");
  // Enter in the field plays the move typed there.
  AltKey(L'х');  // "Ввести &ход:" puts the caret in the field
  ASSERT_EQ(GetFocus(), Item(kIdMoveEdit));
  // Tab goes on to Play, Shift+Tab back.
  PostMessageW(Item(kIdMoveEdit), WM_KEYDOWN, VK_TAB, 0);
  Pump([&] { return GetFocus() == Item(kIdPlay); });
  EXPECT_EQ(GetFocus(), Item(kIdPlay));
  SetFocus(Item(kIdMoveEdit));
  SetWindowTextW(Item(kIdMoveEdit), L"b1b7");
  PostMessageW(Item(kIdMoveEdit), WM_KEYDOWN, VK_RETURN, 0);
  Pump([&] { return Session().phase() != solver::Phase::SolverToMove; });
  EXPECT_EQ(Session().Ply(), 1u);
  // A click while the answer comes does nothing; nor does one on a
  // disabled button, which still arrives under Wine.
  AltKey(L'З');  // "&Заново"
  EXPECT_EQ(Session().Ply(), 1u);
  ASSERT_TRUE(WaitForYourMove());
  ASSERT_FALSE(IsWindowEnabled(Item(kIdPrevious)));
  SendMessageW(window_->handle(), WM_COMMAND, MAKEWPARAM(kIdPrevious, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(kIdPrevious)));
  EXPECT_EQ(TextOf(kIdProblem), "Задача 1 из 4");
}

TEST_F(SolverWindowTest, WithPicturesOffThePositionIsGivenInWordsAndMovesAreTyped) {
  Open("practice", chess::Language::Russian, false);
  EXPECT_FALSE(IsWindowVisible(Board()));
  EXPECT_TRUE(IsWindowVisible(Item(kIdDescription)));
  EXPECT_EQ(GetFocus(), Item(kIdMoveEdit));
  EXPECT_EQ(TextOf(kIdDescription),
            "Белые: Крg1, Лa1, Лb1. Чёрные: Крh8. Ход белых.\r\n\r\nВаш ход.");
  // The edit control breaks its lines there.
  EXPECT_EQ(SendMessageW(Item(kIdDescription), EM_GETLINECOUNT, 0, 0), 3);
  Type("b1b7");
  ASSERT_TRUE(WaitForYourMove());
  EXPECT_NE(TextOf(kIdDescription).find("Чёрные: Крg8"), std::string::npos);
  EXPECT_NE(TextOf(kIdDescription).find("Ответ: Крg8"), std::string::npos);
  EXPECT_EQ(GetFocus(), Item(kIdMoveEdit)) << "the field has the keyboard for the next move";
}

TEST_F(SolverWindowTest, TheKeyboardComesBackToItsControlAndTheClockGoesOnWhenTheUserReturns) {
  Open("practice", chess::Language::Russian, false);
  ASSERT_EQ(GetFocus(), Item(kIdMoveEdit));
  EXPECT_TRUE(Session().ClockRunning());
  // Another program's window takes the user away; a reply that comes in
  // meanwhile must not take the activation back.
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  SetActiveWindow(other);
  Pump([] { return true; });
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_FALSE(Session().ClockRunning()) << "time elsewhere is not time on the problem";
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
  EXPECT_TRUE(Session().ClockRunning());
  DestroyWindow(other);
}

TEST_F(SolverWindowTest, TheClocksCheckBoxHidesItAndTheOrdersShowsOnlyInACollection) {
  Open("practice");
  EXPECT_FALSE(IsWindowVisible(Item(kIdAtMyLevel)));
  ASSERT_TRUE(IsWindowVisible(Item(kIdShowClock)));
  EXPECT_EQ(SendMessageW(Item(kIdShowClock), BM_GETCHECK, 0, 0), BST_CHECKED);
  Click(kIdShowClock);
  EXPECT_EQ(SendMessageW(Item(kIdShowClock), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(TextOf(kIdClock), "");
  EXPECT_TRUE(Session().ClockRunning()) << "hidden, it counts all the same";
  Click(kIdShowClock);
  EXPECT_TRUE(TextOf(kIdClock).starts_with("Время: ")) << TextOf(kIdClock);
  window_.reset();

  Open("checkmate", chess::Language::English, true, SolverFamily::ProblemBookSolver);
  ASSERT_TRUE(IsWindowVisible(Item(kIdAtMyLevel)));
  Click(kIdAtMyLevel);
  EXPECT_EQ(SendMessageW(Item(kIdAtMyLevel), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Session().order(), solver::Order::AtMyLevel);
}

TEST_F(SolverWindowTest, TheProblemListInAListBoxAndTheArrowsPage) {
  Open("practice");
  EXPECT_FALSE(IsWindowVisible(Item(kIdListOpen)));
  Click(kIdProblemList);
  const HWND list = Item(kIdList);
  ASSERT_TRUE(IsWindowVisible(list));
  EXPECT_TRUE(IsWindowVisible(Item(kIdListClose)));
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  wchar_t item[128] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(Narrow(item), "Задача 1 из 4 — не решена");
  // Arrows move the list's choice here, and Enter opens it.
  PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  Pump([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 2; });
  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  Pump([&] { return IsWindowVisible(Board()) != FALSE; });
  EXPECT_EQ(TextOf(kIdProblem), "Задача 3 из 4");
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), Board());

  // The arrows page while the focus is on the board.
  PostMessageW(Board(), WM_KEYDOWN, VK_RIGHT, 0);
  Pump([] { return true; });
  EXPECT_EQ(TextOf(kIdProblem), "Задача 4 из 4");
  PostMessageW(Board(), WM_KEYDOWN, VK_LEFT, 0);
  Pump([] { return true; });
  EXPECT_EQ(TextOf(kIdProblem), "Задача 3 из 4");

  // Escape leaves the list.
  Click(kIdProblemList);
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump([&] { return !IsWindowVisible(list); });
  EXPECT_TRUE(IsWindowVisible(Board()));
}

TEST_F(SolverWindowTest, WithoutACourseTheFamilysCoursesAreOfferedAndOneOpens) {
  Open(nullptr, chess::Language::English, true, SolverFamily::ProblemBookSolver);
  const HWND list = Item(kIdList);
  ASSERT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  EXPECT_FALSE(IsWindowVisible(Item(kIdHint)));
  EXPECT_FALSE(IsWindowVisible(Item(kIdMoveEdit)));
  wchar_t item[128] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(Narrow(item), "Checkmate");
  SendMessageW(window_->handle(), WM_COMMAND, MAKEWPARAM(kIdList, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  Pump([] { return true; });
  wchar_t title[256] = {};
  GetWindowTextW(window_->handle(), title, 256);
  EXPECT_EQ(Narrow(title), "Checkmate");
  EXPECT_TRUE(IsWindowVisible(Item(kIdHint)));
  Type("Ra8#");
  EXPECT_EQ(Session().phase(), solver::Phase::Solved);
  EXPECT_EQ(Saved("checkmate"), "current c0001 c0001 first");
}

TEST_F(SolverWindowTest, AnotherMonitorsScalingMakesTheTextsAndControlsLarger) {
  Open("practice");
  RECT button;
  GetWindowRect(Item(kIdHint), &button);
  const int height = button.bottom - button.top;
  LOGFONTW before{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(kIdStatus), WM_GETFONT, 0, 0)),
             sizeof before, &before);
  RECT window;
  GetWindowRect(window_->handle(), &window);
  // Twice the scaling, the size the system suggests with it.
  RECT suggested{window.left, window.top, window.left + 2 * (window.right - window.left),
                 window.top + 2 * (window.bottom - window.top)};
  const UINT dpi = 2 * 96;  // as the window was made at 96 under Wine's default
  SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  Pump([] { return true; });
  GetWindowRect(Item(kIdHint), &button);
  EXPECT_EQ(button.bottom - button.top, 2 * height);
  LOGFONTW after{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(kIdStatus), WM_GETFONT, 0, 0)), sizeof after,
             &after);
  EXPECT_NEAR(after.lfHeight, 2 * before.lfHeight, 1) << "points to pixels, rounded";
  // The board grew with the window and still takes clicks where it draws.
  ClickSquare("b1");
  ClickSquare("b7");
  EXPECT_GE(Session().Ply(), 1u) << "the right move was taken (its reply may follow at once)";
}

TEST_F(SolverWindowTest, AProblemFailedTodayIsDueAgainOnTheScheduledDayAndReviewPlaysIt) {
  Open("practice");
  EXPECT_EQ(TextOf(kIdDue), "К повторению сегодня: 0");
  ClickSquare("b1");
  ClickSquare("b2");  // a mistake: due again the next day
  window_.reset();
  Open("practice");
  EXPECT_EQ(TextOf(kIdDue), "К повторению сегодня: 0") << "not on the day it was failed";
  window_.reset();
  clock_.today = clock_.today + 1;
  Open("practice");
  EXPECT_EQ(TextOf(kIdDue), "К повторению сегодня: 1");
  Click(kIdReview);
  EXPECT_EQ(TextOf(kIdDue), "Повторение: задача 1 из 1");
  Type("Лb7");
  ASSERT_TRUE(WaitForYourMove());
  Type("Лa8");
  Click(kIdNext);
  EXPECT_EQ(TextOf(kIdStatus), "Повторение закончено.");
  EXPECT_EQ(TextOf(kIdDue), "К повторению сегодня: 0");
}

TEST_F(SolverWindowTest, ASecondCycleKeepsTheFirstCyclesResults) {
  Open("practice");
  Type("Лb7");
  ASSERT_TRUE(WaitForYourMove());
  Type("Лa8");
  ClickAndAnswer(kIdRestartCourse, IDNO);
  EXPECT_EQ(TextOf(kIdProgress), "Решено 1 из 4, с первой попытки 1") << "the user said no";
  ClickAndAnswer(kIdRestartCourse, IDYES);
  EXPECT_EQ(TextOf(kIdProgress), "Решено 0 из 4, с первой попытки 0");
  const std::string summary = TextOf(kIdSummary);
  EXPECT_TRUE(summary.starts_with("Круг 1 (02.03.2026): ")) << summary;
  EXPECT_NE(summary.find("с первой попытки 100\u00A0%\r\nКруг 2 (02.03.2026): "), std::string::npos)
      << summary;
  // The file keeps both, as the next start reads it.
  window_.reset();
  const solver::CourseProgress saved =
      solver::ProgressStore(files_, clock_, *solver::FindCourse("practice"),
                            *data_.Find("practice"))
          .Load();
  ASSERT_EQ(saved.cycles.size(), 2u);
  EXPECT_EQ(saved.cycles[0].records[0].state, solver::ProblemState::SolvedFirst);
  EXPECT_EQ(saved.cycles[1].records[0].state, solver::ProblemState::New);
}

TEST_F(SolverWindowTest, TheRatingMovesAfterAFirstAttemptAndIsKept) {
  Open("practice");
  EXPECT_EQ(TextOf(kIdRating), "Рейтинг 1500 ± 350");
  ClickSquare("b1");
  ClickSquare("b2");  // a first attempt that fails: a loss
  const std::string after = TextOf(kIdRating);
  EXPECT_LT(Session().Rating().rating, 1500);
  EXPECT_TRUE(after.starts_with("Рейтинг ")) << after;
  EXPECT_NE(after.find(" (−"), std::string::npos) << after;
  EXPECT_FALSE(folder_.Read("rating.prg").empty());
  // A second try at the same problem is no first attempt.
  Type("Лb7");
  ASSERT_TRUE(WaitForYourMove());
  Type("Лa8");
  EXPECT_EQ(TextOf(kIdRating), after);
}

TEST_F(SolverWindowTest, StatisticsOpenInAWindowOfTheirOwnOverTheSolvers) {
  Open("practice");
  Click(kIdStatistics);
  const HWND statistics = FindWindowW(kStatisticsClassName, nullptr);
  ASSERT_TRUE(statistics);
  EXPECT_TRUE(IsWindowVisible(statistics));
  EXPECT_EQ(GetWindow(statistics, GW_OWNER), window_->handle());
  window_.reset();
  EXPECT_FALSE(IsWindow(statistics)) << "its owner takes it along";
}

}  // namespace
}  // namespace zel::platform
