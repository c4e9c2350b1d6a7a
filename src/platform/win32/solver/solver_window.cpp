#include "platform/win32/solver/solver_window.h"

#include <algorithm>

#include "chess/notation.h"
#include "platform/failure.h"
#include "platform/win32/caption.h"
#include "platform/win32/message_box_report.h"
#include "platform/win32/solver/message_font.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "solver/catalog.h"
#include "solver/texts.h"

namespace zel::platform {
namespace {

using solver::MoveResult;
using solver::Phase;
using solver::Text;

constexpr UINT_PTR kReplyTimer = 1;
constexpr UINT_PTR kSolutionTimer = 2;

// The buttons of the panel, two a row, in tab order.
struct Command {
  SolverControl id;
  Text caption;
};
constexpr Command kCommandButtons[] = {
    {kIdHint, Text::CommandHint},
    {kIdSolution, Text::CommandSolution},
    {kIdRetry, Text::CommandRetry},
    {kIdFlip, Text::CommandFlipBoard},
    {kIdPrevious, Text::CommandPrevious},
    {kIdNext, Text::CommandNext},
    {kIdProblemList, Text::CommandProblemList},
    {kIdRestartCourse, Text::CommandRestartCourse},
};

// The scaling of the window's monitor: GetDpiForWindow where the system has
// it (Windows 10), else the screen's.
UINT DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi && hwnd) {
    if (const UINT dpi = getDpi(hwnd)) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

SolverWindow::SolverWindow(Files& files, const solver::StartChoice& start,
                           const solver::ProblemData& data, const MenSheet& men,
                           SolverTiming timing)
    : files_(files),
      data_(data),
      men_(men),
      timing_(timing),
      start_(start),
      language_(start.language) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  // Made at its size for the screen's scaling; a window on another monitor
  // hears of that one's with WM_DPICHANGED. WS_EX_CONTROLPARENT: Tab and the
  // access keys reach the controls.
  dpi_ = DpiOf(nullptr);
  hwnd_ =
      CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, MulDiv(940, static_cast<int>(dpi_), 96),
                      MulDiv(640, static_cast<int>(dpi_), 96), nullptr, nullptr, instance, this);
  if (!hwnd_) throw LastErrorFailure(GetLastError(), "CreateWindowExW");
  dpi_ = DpiOf(hwnd_);
  // The board (or the position in words) now; the panel once the board is
  // on the screen (Show), so that the user sees the problem as soon as can be.
  CreateLeftPart();
  SetFonts();

  if (start.course) {
    OpenCourse(*start.course);
  } else {
    ShowLeftPart(LeftPart::CourseList);  // the list itself is filled with the panel
  }
  Layout();
}

SolverWindow::~SolverWindow() {
  board_.reset();
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (font_) DeleteObject(font_);
  if (titleFont_) DeleteObject(titleFont_);
}

void SolverWindow::Show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  CreatePanel();
}

std::string_view SolverWindow::Say(Text text) const { return solver::TextOf(text, language_); }

void SolverWindow::SetCaption(HWND control, std::string_view caption) const {
  // Most texts stay as they were after a move; setting one again would
  // repaint it (and a screen reader hear it) for nothing.
  const std::wstring text = Widen(caption);
  const int length = GetWindowTextLengthW(control);
  if (length == static_cast<int>(text.size())) {
    std::wstring now(static_cast<std::size_t>(length) + 1, L'\0');
    now.resize(static_cast<std::size_t>(GetWindowTextW(control, now.data(), length + 1)));
    if (now == text) return;
  }
  SetWindowTextW(control, text.c_str());
}

HWND SolverWindow::AddControl(const wchar_t* className, int id, DWORD style, DWORD exStyle) {
  const HWND control = CreateWindowExW(exStyle, className, L"", WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
  if (!control) throw LastErrorFailure(GetLastError(), "CreateWindowExW");
  return control;
}

void SolverWindow::CreateLeftPart() {
  // In tab order: the left part first, then the panel top to bottom.
  board_ = std::make_unique<BoardView>(hwnd_, kIdBoard, men_, language_,
                                       static_cast<BoardListener&>(*this));
  AddControl(L"EDIT", kIdDescription,
             WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
             WS_EX_CLIENTEDGE);
}

void SolverWindow::CreatePanel() {
  if (GetDlgItem(hwnd_, kIdPlay)) return;
  AddControl(L"LISTBOX", kIdList, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             WS_EX_CLIENTEDGE);
  SetCaption(AddControl(L"BUTTON", kIdListOpen, WS_TABSTOP | BS_PUSHBUTTON),
             Say(Text::CommandOpen));
  SetCaption(AddControl(L"BUTTON", kIdListClose, WS_TABSTOP | BS_PUSHBUTTON),
             Say(Text::CommandClose));

  for (int id : {kIdTitle, kIdProblem, kIdToMove, kIdProgress, kIdStatus})
    AddControl(L"STATIC", id, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
  // The label's access key puts the caret into the field after it.
  SetCaption(AddControl(L"STATIC", kIdMoveLabel, WS_VISIBLE | SS_LEFT), Say(Text::CommandTypeMove));
  AddControl(L"EDIT", kIdMoveEdit, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  SetCaption(AddControl(L"BUTTON", kIdPlay, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON),
             Say(Text::CommandPlay));
  for (const Command& command : kCommandButtons)
    SetCaption(AddControl(L"BUTTON", command.id, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON),
               Say(command.caption));
  SendDlgItemMessageW(hwnd_, kIdMoveEdit, EM_SETLIMITTEXT, 32, 0);

  ApplyFonts();
  Layout();
  if (left_ == LeftPart::CourseList) FillCourseList();
  const std::string status = status_;
  ShowLeftPart(left_);
  SetStatus(status);
  if (left_ == LeftPart::Description) Focus(GetDlgItem(hwnd_, kIdMoveEdit));
}

void SolverWindow::SetFonts() {
  if (font_) DeleteObject(font_);
  if (titleFont_) DeleteObject(titleFont_);
  // The system's message face, a little larger than there, at this window's
  // scaling.
  auto make = [&](int points, LONG weight) {
    return CreateMessageFont(MulDiv(points, static_cast<int>(dpi_), 72), weight);
  };
  font_ = make(10, FW_NORMAL);
  titleFont_ = make(14, FW_BOLD);
  ApplyFonts();
}

void SolverWindow::ApplyFonts() {
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendDlgItemMessageW(hwnd_, kIdTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
}

void SolverWindow::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  auto px = [&](int logical) { return MulDiv(logical, static_cast<int>(dpi_), 96); };
  const int margin = px(10), gap = px(6), line = px(22), button = px(30);
  const int panelWidth = std::min(px(330), std::max(px(220), static_cast<int>(client.right) / 2));
  const int panelLeft = client.right - margin - panelWidth;

  // The left part takes what the panel leaves.
  const RECT left{margin, margin, panelLeft - margin, client.bottom - margin};
  HDWP moves = BeginDeferWindowPos(24);
  auto place = [&](int id, int x, int y, int w, int h) {
    // The panel's controls do not exist until the board has been shown.
    const HWND control = GetDlgItem(hwnd_, id);
    if (control && moves)
      moves = DeferWindowPos(moves, control, nullptr, x, y, std::max(w, 0), std::max(h, 0),
                             SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const int leftWidth = left.right - left.left, leftHeight = left.bottom - left.top;
  place(kIdBoard, left.left, left.top, leftWidth, leftHeight);
  place(kIdDescription, left.left, left.top, leftWidth, leftHeight);
  const int listButtons = button + gap;
  place(kIdList, left.left, left.top, leftWidth, leftHeight - listButtons);
  place(kIdListOpen, left.left, left.bottom - button, px(120), button);
  place(kIdListClose, left.left + px(120) + gap, left.bottom - button, px(120), button);

  int y = margin;
  place(kIdTitle, panelLeft, y, panelWidth, px(30));
  y += px(34);
  for (int id : {kIdProblem, kIdToMove, kIdProgress}) {
    place(id, panelLeft, y, panelWidth, line);
    y += line;
  }
  y += gap;
  place(kIdStatus, panelLeft, y, panelWidth, 3 * line + gap);
  y += 3 * line + 2 * gap;
  place(kIdMoveLabel, panelLeft, y, panelWidth, line);
  y += line;
  const int playWidth = px(100);
  place(kIdMoveEdit, panelLeft, y, panelWidth - playWidth - gap, px(26));
  place(kIdPlay, panelLeft + panelWidth - playWidth, y - px(2), playWidth, button);
  y += button + 2 * gap;
  const int half = (panelWidth - gap) / 2;
  for (std::size_t i = 0; i < std::size(kCommandButtons); ++i) {
    place(kCommandButtons[i].id, panelLeft + (i % 2 ? half + gap : 0), y, half, button);
    if (i % 2) y += button + gap;
  }
  if (moves) EndDeferWindowPos(moves);
}

void SolverWindow::ShowLeftPart(LeftPart part) {
  left_ = part;
  const bool list = part == LeftPart::ProblemList || part == LeftPart::CourseList;
  ShowWindow(board_->handle(), part == LeftPart::Board ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(hwnd_, kIdDescription), part == LeftPart::Description ? SW_SHOW : SW_HIDE);
  for (int id : {kIdList, kIdListOpen}) ShowWindow(GetDlgItem(hwnd_, id), list ? SW_SHOW : SW_HIDE);
  // The course list is where a program started without a course begins:
  // there is nothing to go back to.
  ShowWindow(GetDlgItem(hwnd_, kIdListClose), part == LeftPart::ProblemList ? SW_SHOW : SW_HIDE);
  // The panel works on a course; without one it stays empty.
  const int panelShow = session_ ? SW_SHOW : SW_HIDE;
  for (int id : {kIdMoveLabel, kIdMoveEdit, kIdPlay}) ShowWindow(GetDlgItem(hwnd_, id), panelShow);
  for (const Command& command : kCommandButtons)
    ShowWindow(GetDlgItem(hwnd_, command.id), panelShow);
  if (list) Focus(GetDlgItem(hwnd_, kIdList));
  Refresh();
}

void SolverWindow::OpenCourse(const solver::CourseInfo& course) {
  const solver::CourseProblems* problems = data_.Find(course.key);
  if (!problems || problems->problems.empty()) {
    SetStatus(Say(Text::NoProblems));
    return;
  }
  session_ = std::make_unique<solver::Session>(files_, course, *problems, language_);
  flipped_ = false;
  SetStatus(Say(Text::YourMove));
  ShowLeftPart(start_.picturesOn ? LeftPart::Board : LeftPart::Description);
  const HWND edit = GetDlgItem(hwnd_, kIdMoveEdit);
  if (start_.picturesOn || edit) Focus(start_.picturesOn ? board_->handle() : edit);
}

void SolverWindow::Refresh() {
  if (!session_) {
    // The course list: the title says what to do.
    const Text choose =
        start_.family == SolverFamily::CourseSolver ? Text::ChooseCourse : Text::ChooseCollection;
    SetWindowTextW(hwnd_,
                   Widen(std::string(kProductTitle) + " — " + std::string(Say(choose))).c_str());
    SetCaption(GetDlgItem(hwnd_, kIdTitle), Say(choose));
    for (int id : {kIdProblem, kIdToMove, kIdProgress}) SetCaption(GetDlgItem(hwnd_, id), "");
    return;
  }
  const solver::Session& s = *session_;
  // The window's title names the course as the menu does, so that the
  // taskbar tells two open solvers apart.
  SetWindowTextW(hwnd_, Widen(s.Title()).c_str());
  SetCaption(GetDlgItem(hwnd_, kIdTitle), s.Title());
  SetCaption(GetDlgItem(hwnd_, kIdProblem), s.ProblemLine());
  SetCaption(GetDlgItem(hwnd_, kIdToMove), s.ToMoveLine());
  SetCaption(GetDlgItem(hwnd_, kIdProgress), s.ProgressLine());

  const chess::Color bottom = flipped_ ? chess::Opponent(s.SolverColor()) : s.SolverColor();
  if (!board_->animating()) {
    board_->SetPosition(s.Position(), bottom);
    board_->SetLastMove(s.LastMove());
    board_->SetHint(std::nullopt);
  }
  const bool yourMove = s.phase() == Phase::SolverToMove && !busy_;
  board_->SetInputEnabled(yourMove);
  // The position in words only where it is shown: the text control lays its
  // text out at once, which a move with the board shown need not wait for.
  if (left_ == LeftPart::Description)
    SetCaption(GetDlgItem(hwnd_, kIdDescription),
               chess::DescribePosition(s.Position(), language_) + "\r\n\r\n" + status_);

  auto enable = [&](int id, bool on) { EnableWindow(GetDlgItem(hwnd_, id), on); };
  enable(kIdMoveEdit, yourMove);
  enable(kIdPlay, yourMove);
  enable(kIdHint, yourMove);
  enable(kIdSolution, !busy_ && s.phase() != Phase::ShowingSolution);
  enable(kIdRetry, !busy_);
  enable(kIdPrevious, !busy_ && s.ProblemIndex() > 0);
  enable(kIdNext, !busy_ && s.ProblemIndex() + 1 < s.ProblemCount());
  enable(kIdProblemList, !busy_);
  enable(kIdRestartCourse, !busy_);
  // A disabled control cannot keep the focus, and the keyboard would be lost.
  const HWND focus = GetFocus();
  if (focus && GetParent(focus) == hwnd_ && !IsWindowEnabled(focus)) SetFocus(hwnd_);
}

void SolverWindow::Focus(HWND control) {
  focus_ = control;
  if (GetActiveWindow() == hwnd_) SetFocus(control);
}

void SolverWindow::RestoreFocus() {
  const bool usable = focus_ && IsWindow(focus_) && IsWindowVisible(focus_) &&
                      IsWindowEnabled(focus_) && IsChild(hwnd_, focus_);
  SetFocus(usable ? focus_ : hwnd_);
}

void SolverWindow::SetStatus(std::string_view text) {
  status_ = text;
  const HWND status = GetDlgItem(hwnd_, kIdStatus);
  SetCaption(status, text);
  // Screen readers hear the new message without the focus moving.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, status, OBJID_CLIENT, CHILDID_SELF);
  if (session_ && left_ == LeftPart::Description)
    SetCaption(GetDlgItem(hwnd_, kIdDescription),
               chess::DescribePosition(session_->Position(), language_) + "\r\n\r\n" + status_);
}

// --- Moves ------------------------------------------------------------------

void SolverWindow::OnBoardMove(chess::Square from, chess::Square to) { TryFromBoard(from, to); }

void SolverWindow::TryFromBoard(chess::Square from, chess::Square to) {
  if (!session_ || busy_) return;
  chess::PieceType promotion = chess::NoPieceType;
  if (session_->NeedsPromotion(from, to)) {
    const auto chosen = AskPromotion();
    if (!chosen) return;  // the user changed his mind: no move, nothing counted
    promotion = *chosen;
  }
  Judge(session_->TrySquares(from, to, promotion));
}

void SolverWindow::TryTyped() {
  if (!session_ || busy_) return;
  const HWND edit = GetDlgItem(hwnd_, kIdMoveEdit);
  wchar_t typed[64] = {};
  GetWindowTextW(edit, typed, static_cast<int>(std::size(typed)));
  std::string text = Narrow(typed);
  MoveResult result = session_->TryTyped(text);
  if (result == MoveResult::NeedsPromotion) {
    const auto chosen = AskPromotion();
    if (!chosen) return;
    static constexpr char kLetters[] = " pnbrqk";
    text += kLetters[*chosen];
    result = session_->TryTyped(text);
  }
  // A move that was played leaves the field empty for the next one; a wrong
  // one stays there, selected, to be corrected.
  if (result == MoveResult::Right || result == MoveResult::Solved) {
    SetWindowTextW(edit, L"");
  } else {
    SendMessageW(edit, EM_SETSEL, 0, -1);
  }
  Judge(result);
  if (IsWindowEnabled(edit)) Focus(edit);
}

std::optional<chess::PieceType> SolverWindow::AskPromotion() {
  const HMENU menu = CreatePopupMenu();
  constexpr std::pair<chess::PieceType, Text> kPieces[] = {{chess::Queen, Text::PromoteQueen},
                                                           {chess::Rook, Text::PromoteRook},
                                                           {chess::Bishop, Text::PromoteBishop},
                                                           {chess::Knight, Text::PromoteKnight}};
  for (const auto& [piece, caption] : kPieces)
    AppendMenuW(menu, MF_STRING, piece, Widen(Say(caption)).c_str());
  POINT at;
  GetCursorPos(&at);
  SetStatus(Say(Text::ChoosePromotion));
  const int chosen = static_cast<int>(TrackPopupMenuEx(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x, at.y, hwnd_, nullptr));
  DestroyMenu(menu);
  if (chosen == 0) return std::nullopt;
  return static_cast<chess::PieceType>(chosen);
}

void SolverWindow::Judge(MoveResult result) {
  if (result == MoveResult::NotNow) return;
  SetStatus(session_->ResultText(result));
  switch (result) {
    case MoveResult::Right:
      // The defender answers after a pause, so that the user sees his own
      // move first.
      busy_ = true;
      Refresh();
      SetTimer(hwnd_, kReplyTimer, static_cast<UINT>(timing_.replyPauseMs), nullptr);
      break;
    case MoveResult::Solved:
      Refresh();
      SetStatus(std::string(session_->ResultText(result)) +
                (session_->AllSolved() ? " " + std::string(Say(Text::CourseComplete)) : ""));
      break;
    case MoveResult::Wrong:
      MessageBeep(MB_ICONEXCLAMATION);
      Refresh();
      break;
    default:
      Refresh();
      break;
  }
}

void SolverWindow::PlayReplyNow() {
  KillTimer(hwnd_, kReplyTimer);
  if (!session_) return;
  const chess::Position before = session_->Position();
  const auto reply = session_->PlayReply();
  if (!reply) {
    busy_ = false;
    Refresh();
    return;
  }
  const std::string text = std::string(Say(Text::Reply)) +
                           chess::MoveText(before, *reply, language_) + ". " +
                           std::string(Say(Text::YourMove));
  if (left_ == LeftPart::Board) {
    board_->Animate(*reply, timing_.animationMs);
    SetStatus(text);  // the rest when the man has arrived
    return;
  }
  busy_ = false;
  SetStatus(text);
  Refresh();
}

void SolverWindow::OnBoardAnimationDone() {
  if (!session_) return;
  if (session_->phase() == Phase::ShowingSolution) {
    SetTimer(hwnd_, kSolutionTimer, static_cast<UINT>(timing_.solutionStepMs), nullptr);
    return;
  }
  if (session_->phase() == Phase::SolutionShown) {
    busy_ = false;
    SetStatus(Say(Text::SolutionShown));
  } else {
    busy_ = false;
  }
  Refresh();
  if (left_ == LeftPart::Board) Focus(board_->handle());
}

// --- Commands ----------------------------------------------------------------

void SolverWindow::Hint() {
  if (!session_ || busy_) return;
  const auto hint = session_->RequestHint();
  if (!hint) return;
  Refresh();
  board_->SetHint(hint->from, hint->move ? std::optional(hint->move->to) : std::nullopt);
  SetStatus(hint->text);
  SetCaption(GetDlgItem(hwnd_, kIdProgress), session_->ProgressLine());
}

void SolverWindow::ShowSolution() {
  if (!session_ || busy_) return;
  session_->ShowSolution();
  busy_ = true;
  Refresh();
  SetStatus(Say(Text::SolutionShowing));
  SetTimer(hwnd_, kSolutionTimer, static_cast<UINT>(timing_.solutionStepMs), nullptr);
}

void SolverWindow::StepSolution() {
  KillTimer(hwnd_, kSolutionTimer);
  if (!session_) return;
  const chess::Position before = session_->Position();
  const auto move = session_->StepSolution();
  if (!move) {
    busy_ = false;
    SetStatus(Say(Text::SolutionShown));
    Refresh();
    return;
  }
  SetStatus(std::string(Say(Text::SolutionShowing)) + " " +
            chess::MoveText(before, *move, language_));
  if (left_ == LeftPart::Board) {
    board_->Animate(*move, timing_.animationMs);  // OnBoardAnimationDone goes on
    return;
  }
  if (session_->phase() == Phase::SolutionShown) {
    busy_ = false;
    SetStatus(std::string(status_) + "\r\n" + std::string(Say(Text::SolutionShown)));
  } else {
    SetTimer(hwnd_, kSolutionTimer, static_cast<UINT>(timing_.solutionStepMs), nullptr);
  }
  Refresh();
}

void SolverWindow::Retry() {
  if (!session_) return;
  KillTimer(hwnd_, kReplyTimer);
  KillTimer(hwnd_, kSolutionTimer);
  busy_ = false;
  session_->Retry();
  board_->SetPosition(session_->Position(), chess::White);  // ends an animation
  SetStatus(Say(Text::YourMove));
  Refresh();
}

void SolverWindow::GoTo(std::size_t index) {
  if (!session_) return;
  KillTimer(hwnd_, kReplyTimer);
  KillTimer(hwnd_, kSolutionTimer);
  busy_ = false;
  board_->SetPosition(session_->Position(), chess::White);  // ends an animation
  if (!session_->GoTo(index)) {
    Refresh();
    return;
  }
  flipped_ = false;
  SetStatus(Say(Text::YourMove));
  ShowLeftPart(start_.picturesOn ? LeftPart::Board : LeftPart::Description);
}

void SolverWindow::Flip() {
  if (!session_ || board_->animating()) return;
  flipped_ = !flipped_;
  Refresh();
}

void SolverWindow::RestartCourse() {
  if (!session_ || busy_) return;
  const std::wstring question = Widen(Say(Text::RestartQuestion));
  const std::wstring title = Widen(session_->Title());
  if (MessageBoxW(hwnd_, question.c_str(), title.c_str(),
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  session_->RestartCourse();
  SetStatus(Say(Text::YourMove));
  ShowLeftPart(start_.picturesOn ? LeftPart::Board : LeftPart::Description);
}

void SolverWindow::FillProblemList() {
  const HWND list = GetDlgItem(hwnd_, kIdList);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < session_->ProblemCount(); ++i) {
    const std::string item = solver::ProblemOfText(i + 1, session_->ProblemCount(), language_) +
                             " — " +
                             std::string(solver::StateText(session_->StateOf(i), language_));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, session_->ProblemIndex(), 0);
  SetCaption(GetDlgItem(hwnd_, kIdListOpen), Say(Text::CommandOpen));
}

void SolverWindow::FillCourseList() {
  const HWND list = GetDlgItem(hwnd_, kIdList);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const solver::CourseInfo& course : solver::CoursesOf(start_.family))
    SendMessageW(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Widen(course.Title(language_)).c_str()));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void SolverWindow::OpenFromList() {
  const auto chosen = SendDlgItemMessageW(hwnd_, kIdList, LB_GETCURSEL, 0, 0);
  if (chosen == LB_ERR) return;
  if (left_ == LeftPart::CourseList) {
    const auto courses = solver::CoursesOf(start_.family);
    if (static_cast<std::size_t>(chosen) < courses.size()) OpenCourse(courses[chosen]);
  } else {
    GoTo(static_cast<std::size_t>(chosen));
  }
}

void SolverWindow::ReportNotSaved(const Failure& failure) const {
  const std::wstring text =
      Widen(std::string(Say(Text::ProgressNotSaved)) + "\n\n" + FailureText(failure));
  MessageBoxW(hwnd_, text.c_str(), Widen(kProductTitle).c_str(), MB_OK | MB_ICONERROR);
}

// --- Messages -----------------------------------------------------------------

void SolverWindow::OnCommand(int id, int notification) {
  switch (id) {
    case kIdPlay:
      TryTyped();
      break;
    case kIdHint:
      Hint();
      break;
    case kIdSolution:
      ShowSolution();
      break;
    case kIdRetry:
      Retry();
      break;
    case kIdPrevious:
      if (session_)
        GoTo(session_->ProblemIndex() - std::min<std::size_t>(1, session_->ProblemIndex()));
      break;
    case kIdNext:
      if (session_) GoTo(session_->ProblemIndex() + 1);
      break;
    case kIdFlip:
      Flip();
      break;
    case kIdProblemList:
      if (session_ && !busy_) {
        FillProblemList();
        ShowLeftPart(LeftPart::ProblemList);
      }
      break;
    case kIdRestartCourse:
      RestartCourse();
      break;
    case kIdList:
      if (notification == LBN_DBLCLK) OpenFromList();
      break;
    case kIdListOpen:
      OpenFromList();
      break;
    case kIdListClose:
      ShowLeftPart(start_.picturesOn ? LeftPart::Board : LeftPart::Description);
      break;
    case IDCANCEL:
      // Escape leaves the problem list, as a dialog's Cancel would.
      if (left_ == LeftPart::ProblemList) OnCommand(kIdListClose, BN_CLICKED);
      break;
  }
}

void SolverWindow::OnTimer(UINT_PTR timer) {
  if (timer == kReplyTimer) PlayReplyNow();
  if (timer == kSolutionTimer) StepSolution();
}

bool SolverWindow::PreTranslate(MSG& message) {
  if (!hwnd_) return false;
  if (message.message == WM_KEYDOWN && session_ &&
      (message.wParam == VK_LEFT || message.wParam == VK_RIGHT) && !busy_) {
    // The arrows page through the problems, unless the caret or a list
    // selection is what they move.
    const HWND focus = GetFocus();
    const bool ownsArrows = focus == GetDlgItem(hwnd_, kIdMoveEdit) ||
                            focus == GetDlgItem(hwnd_, kIdDescription) ||
                            focus == GetDlgItem(hwnd_, kIdList);
    if (!ownsArrows && (focus == hwnd_ || IsChild(hwnd_, focus))) {
      OnCommand(message.wParam == VK_LEFT ? kIdPrevious : kIdNext, BN_CLICKED);
      return true;
    }
  }
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

LRESULT CALLBACK SolverWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<SolverWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<SolverWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  // The one place failures are caught: no exception may cross user32's
  // frames. A failure here is a progress file that could not be written; the
  // user is told, and the session goes on with what it holds.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (const Failure& failure) {
    self->ReportNotSaved(failure);
    return 0;
  } catch (...) {
    EndAfterUnexpectedFailure();
  }
}

LRESULT SolverWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {MulDiv(640, static_cast<int>(dpi_), 96),
                                MulDiv(480, static_cast<int>(dpi_), 96)};
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetFonts();
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case DM_GETDEFID:
      // Enter plays the typed move, or opens the chosen list entry.
      return MAKELONG(
          left_ == LeftPart::ProblemList || left_ == LeftPart::CourseList ? kIdListOpen : kIdPlay,
          DC_HASDEFID);
    case WM_ACTIVATE:
      // The control that had the keyboard gets it back when the user returns.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
      } else if (!HIWORD(wParam)) {  // not while minimised
        RestoreFocus();
      }
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_CLOSE:
      // A result that could not be written is tried once more. If the file
      // still cannot be written the user hears so, and the window closes all
      // the same: keeping it open would not make the disk writable.
      if (session_ && session_->HasUnsavedChanges()) {
        try {
          session_->SaveAgain();
        } catch (const Failure& failure) {
          ReportNotSaved(failure);
        }
      }
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kReplyTimer);
      KillTimer(hwnd_, kSolutionTimer);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      const HWND self = hwnd_;
      board_.reset();
      hwnd_ = nullptr;
      return DefWindowProcW(self, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace zel::platform
