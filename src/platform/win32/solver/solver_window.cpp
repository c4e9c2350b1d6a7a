#include "platform/win32/solver/solver_window.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/win32/caption.h"
#include "platform/win32/message_box_report.h"
#include "platform/win32/solver/message_font.h"
#include "platform/win32/solver/monitor_dpi.h"
#include "platform/win32/solver/statistics_window.h"
#include "platform/win32/solver/window_class.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "solver/themes.h"
#include "solver/window_layout.h"

namespace zel::platform {
namespace {

using solver::Command;
using solver::Field;
using solver::LeftPart;

// The controls that show a text of the screen's; the window's title and the
// board's own name are set apart.
struct FieldControl {
  Field field;
  SolverControl id;
};
constexpr FieldControl kFieldControls[] = {
    {Field::Title, kIdTitle},     {Field::Problem, kIdProblem},
    {Field::ToMove, kIdToMove},   {Field::Progress, kIdProgress},
    {Field::Clock, kIdClock},     {Field::Rating, kIdRating},
    {Field::Due, kIdDue},         {Field::Status, kIdStatus},
    {Field::Summary, kIdSummary}, {Field::Description, kIdDescription},
};

// The buttons, by the screen's commands. The move field and its label go
// with Play.
constexpr SolverControl kCommandControls[] = {
    kIdPlay,      kIdHint,        kIdSolution,   kIdRetry,         kIdFlip,        kIdPrevious,
    kIdNext,      kIdProblemList, kIdStatistics, kIdRestartCourse, kIdEraseCourse, kIdListOpen,
    kIdListClose, kIdReview,      kIdAtMyLevel,  kIdShowClock,
};
static_assert(std::size(kCommandControls) == solver::kCommandCount);

// The panel's buttons below the move field: the commands from Hint to
// EraseCourse, in the screen's order.
constexpr std::size_t kFirstPanelButton = static_cast<std::size_t>(Command::Hint);
constexpr std::size_t kPanelButtons =
    static_cast<std::size_t>(Command::EraseCourse) + 1 - kFirstPanelButton;

// Where each control that is no button goes, by the portable layout's
// places; the buttons go by their commands.
struct PlaceControl {
  solver::Place place;
  SolverControl id;
};
constexpr PlaceControl kPlaceControls[] = {
    {solver::Place::Left, kIdBoard},         {solver::Place::Left, kIdDescription},
    {solver::Place::List, kIdList},          {solver::Place::Title, kIdTitle},
    {solver::Place::Problem, kIdProblem},    {solver::Place::ToMove, kIdToMove},
    {solver::Place::Progress, kIdProgress},  {solver::Place::Clock, kIdClock},
    {solver::Place::Rating, kIdRating},      {solver::Place::Due, kIdDue},
    {solver::Place::Status, kIdStatus},      {solver::Place::MoveLabel, kIdMoveLabel},
    {solver::Place::MoveField, kIdMoveEdit}, {solver::Place::Summary, kIdSummary},
};
static_assert(std::size(kPlaceControls) == solver::kPlaceCount + 1, "every place; Left twice");

std::optional<Command> CommandOf(int id) {
  for (std::size_t c = 0; c < std::size(kCommandControls); ++c)
    if (kCommandControls[c] == id) return static_cast<Command>(c);
  return std::nullopt;
}

UINT_PTR TimerId(solver::Timer timer) { return 1 + static_cast<UINT_PTR>(timer); }

// Edit controls break lines only at CR LF; the screen writes LF.
std::wstring WithCrLf(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + 8);
  for (const char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return Widen(lines);
}

// Sets a control's text only when it differs: setting it again would
// repaint it (and a screen reader hear it) for nothing.
void SetCaption(HWND control, const std::wstring& text) {
  const int length = GetWindowTextLengthW(control);
  if (length == static_cast<int>(text.size())) {
    std::wstring now(static_cast<std::size_t>(length) + 1, L'\0');
    now.resize(static_cast<std::size_t>(GetWindowTextW(control, now.data(), length + 1)));
    if (now == text) return;
  }
  SetWindowTextW(control, text.c_str());
}

bool HasStyle(HWND control, DWORD style) {
  return (static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & style) != 0;
}

}  // namespace

SolverWindow::SolverWindow(Files& files, Clock& clock, const solver::StartChoice& start,
                           const solver::ProblemData& data, const MenSheet& men,
                           solver::ScreenTiming timing)
    : start_(start), files_(files), clock_(clock), data_(data), men_(men) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  Register({kClassName, Procedure, MAKEINTRESOURCEW(32512) /* IDC_ARROW */,
            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), true},
           instance);
  solver::TrainerView& view = *this;
  screen_ = std::make_unique<solver::TrainerScreen>(view, files, clock, start, data, kProductTitle,
                                                    timing);
  // Made at its size for the screen's scaling; a window on another monitor
  // hears of that one's with WM_DPICHANGED. WS_EX_CONTROLPARENT: Tab and the
  // access keys reach the controls.
  dpi_ = DpiOf(nullptr);
  const solver::WindowSize size = solver::OpeningWindowSize(static_cast<int>(dpi_));
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, size.width, size.height, nullptr, nullptr, instance, this);
  if (!hwnd_) throw LastErrorFailure(GetLastError(), "CreateWindowExW");
  try {
    dpi_ = DpiOf(hwnd_);
    // The board (or the position in words) now; the panel once the board is
    // on the screen (Show), so that the user sees the problem as soon as can be.
    CreateLeftPart();
    // The texts' fonts are for the panel and the position in words: with the
    // board they wait for the panel.
    if (!start_.picturesOn) SetFonts();
    Layout();
    screen_->Start();
  } catch (...) {
    board_.reset();
    DestroyWindow(hwnd_);
    throw;
  }
}

SolverWindow::~SolverWindow() {
  board_.reset();
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void SolverWindow::Show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  CreatePanel();
}

std::string_view SolverWindow::Say(solver::Text text) const {
  return solver::TextOf(text, start_.language);
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
  board_ = std::make_unique<BoardView>(hwnd_, kIdBoard, men_, *screen_);
  AddControl(L"EDIT", kIdDescription,
             WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
             WS_EX_CLIENTEDGE);
}

HWND SolverWindow::Item(int id) const {
  // Before the panel is made only the left part's controls exist. Asking for
  // the others would find nothing, at a round trip to the window server
  // each under Wine: some dozens while the first board waits to be shown.
  if (!panelMade_ && id != kIdBoard && id != kIdDescription) return nullptr;
  return GetDlgItem(hwnd_, id);
}

void SolverWindow::CreatePanel() {
  if (panelMade_) return;
  panelMade_ = true;
  // In tab order, hidden until the screen shows them: the list and its
  // buttons, the texts, the move field, the commands.
  AddControl(L"LISTBOX", kIdList, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             WS_EX_CLIENTEDGE);
  auto addButton = [&](Command command, DWORD kind) {
    const solver::CommandRow& row = solver::kCommandRows[static_cast<std::size_t>(command)];
    // A check box's mark is the screen's to set (SetCommand), not the click's.
    if (row.kind == solver::CommandKind::Check) kind = BS_CHECKBOX;
    SetCaption(AddControl(L"BUTTON", kCommandControls[static_cast<std::size_t>(command)],
                          WS_TABSTOP | kind),
               Widen(Say(row.caption)));
  };
  addButton(Command::ListOpen, BS_PUSHBUTTON);
  addButton(Command::ListClose, BS_PUSHBUTTON);
  for (int id :
       {kIdTitle, kIdProblem, kIdToMove, kIdProgress, kIdClock, kIdRating, kIdDue, kIdStatus})
    AddControl(L"STATIC", id, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
  // Those that sit on the lines, top to bottom.
  addButton(Command::AtMyLevel, 0);
  addButton(Command::ShowClock, 0);
  addButton(Command::Review, BS_PUSHBUTTON);
  // The label's access key puts the caret into the field after it.
  SetCaption(AddControl(L"STATIC", kIdMoveLabel, SS_LEFT),
             Widen(Say(solver::Text::CommandTypeMove)));
  AddControl(L"EDIT", kIdMoveEdit, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  addButton(Command::Play, BS_DEFPUSHBUTTON);
  for (std::size_t i = 0; i < kPanelButtons; ++i)
    addButton(static_cast<Command>(kFirstPanelButton + i), BS_PUSHBUTTON);
  AddControl(L"STATIC", kIdSummary, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
  SendDlgItemMessageW(hwnd_, kIdMoveEdit, EM_SETLIMITTEXT, 32, 0);

  if (font_) {
    ApplyFonts();
  } else {
    SetFonts();
  }
  Layout();
  screen_->ShowAll();
  if (!focus_ && wantedFocus_) Focus(*wantedFocus_);
}

void SolverWindow::SetFonts() {
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
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendDlgItemMessageW(hwnd_, kIdTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()),
                      FALSE);
}

void SolverWindow::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const solver::WindowLayout layout =
      solver::LayOutWindow(client.right, client.bottom, static_cast<int>(dpi_));
  HDWP moves =
      BeginDeferWindowPos(static_cast<int>(std::size(kPlaceControls) + solver::kCommandCount));
  auto move = [&](int id, const solver::PixelRect& r) {
    // The panel's controls do not exist until the board has been shown.
    const HWND control = Item(id);
    if (control && moves)
      moves = DeferWindowPos(moves, control, nullptr, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  for (const PlaceControl& row : kPlaceControls) move(row.id, layout.at(row.place));
  for (std::size_t c = 0; c < solver::kCommandCount; ++c)
    move(kCommandControls[c], layout.at(static_cast<Command>(c)));
  if (moves) EndDeferWindowPos(moves);
}

// --- TrainerView -----------------------------------------------------------------

void SolverWindow::ShowPart(LeftPart part) {
  if (!board_) return;
  const bool list = part == LeftPart::ProblemList || part == LeftPart::CourseList;
  ShowWindow(board_->handle(), part == LeftPart::Board ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(kIdDescription), part == LeftPart::Description ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(kIdList), list ? SW_SHOW : SW_HIDE);
}

void SolverWindow::SetText(Field field, std::string_view text) {
  if (field == Field::Caption) {
    SetCaption(hwnd_, Widen(text));
    return;
  }
  if (field == Field::BoardWords) {
    if (board_) board_->SetWords(text);
    return;
  }
  const auto row = std::find_if(std::begin(kFieldControls), std::end(kFieldControls),
                                [&](const FieldControl& c) { return c.field == field; });
  const HWND control = row == std::end(kFieldControls) ? nullptr : Item(row->id);
  if (!control) return;  // the panel is made after the board is shown
  SetCaption(control, WithCrLf(text));
  // Screen readers hear each verdict, the same one again too, without the
  // focus moving.
  if (field == Field::Status)
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void SolverWindow::SetCommand(Command command, solver::CommandState state) {
  auto apply = [&](int id, bool canDisable) {
    const HWND item = Item(id);
    if (!item) return;  // the panel is made after the board is shown
    if (HasStyle(item, WS_VISIBLE) != state.shown)
      ShowWindow(item, state.shown ? SW_SHOW : SW_HIDE);
    if (!canDisable) return;
    // A disabled control cannot keep the keyboard, which would be lost.
    if (!state.enabled && GetFocus() == item) SetFocus(hwnd_);
    EnableWindow(item, state.enabled);
  };
  const std::size_t c = static_cast<std::size_t>(command);
  apply(kCommandControls[c], true);
  if (solver::kCommandRows[c].kind == solver::CommandKind::Check)
    SendDlgItemMessageW(hwnd_, kCommandControls[c], BM_SETCHECK,
                        state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (command == Command::Play) {
    apply(kIdMoveEdit, true);
    apply(kIdMoveLabel, false);  // a label stays as it is
  }
}

void SolverWindow::SetList(std::span<const std::string> items, std::size_t chosen) {
  const HWND list = Item(kIdList);
  if (!list) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  SendMessageW(list, LB_SETCURSEL, chosen, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::optional<std::size_t> SolverWindow::ListChoice() const {
  const LRESULT chosen = SendDlgItemMessageW(hwnd_, kIdList, LB_GETCURSEL, 0, 0);
  if (chosen == LB_ERR) return std::nullopt;
  return static_cast<std::size_t>(chosen);
}

std::string SolverWindow::TypedMove() const {
  wchar_t typed[64] = {};
  GetWindowTextW(Item(kIdMoveEdit), typed, static_cast<int>(std::size(typed)));
  return Narrow(typed);
}

void SolverWindow::ClearTypedMove() { SetWindowTextW(Item(kIdMoveEdit), L""); }

void SolverWindow::SelectTypedMove() { SendDlgItemMessageW(hwnd_, kIdMoveEdit, EM_SETSEL, 0, -1); }

void SolverWindow::RepaintBoard(const solver::BoardDamage& damage) {
  if (board_) board_->Repaint(damage);
}

void SolverWindow::Focus(solver::FocusTarget target) {
  const HWND control = target == solver::FocusTarget::Board
                           ? (board_ ? board_->handle() : nullptr)
                           : Item(target == solver::FocusTarget::List ? kIdList : kIdMoveEdit);
  wantedFocus_ = target;
  FocusControl(control);
}

void SolverWindow::StartTimer(solver::Timer timer, int milliseconds) {
  SetTimer(hwnd_, TimerId(timer), static_cast<UINT>(std::max(milliseconds, 1)), nullptr);
}

void SolverWindow::StopTimer(solver::Timer timer) { KillTimer(hwnd_, TimerId(timer)); }

std::optional<chess::PieceType> SolverWindow::AskPromotion() {
  const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(
      CreatePopupMenu(), &DestroyMenu);
  constexpr std::pair<chess::PieceType, solver::Text> kPieces[] = {
      {chess::Queen, solver::Text::PromoteQueen},
      {chess::Rook, solver::Text::PromoteRook},
      {chess::Bishop, solver::Text::PromoteBishop},
      {chess::Knight, solver::Text::PromoteKnight}};
  for (const auto& [piece, caption] : kPieces)
    AppendMenuW(menu.get(), MF_STRING, piece, Widen(Say(caption)).c_str());
  POINT at;
  GetCursorPos(&at);
  const int chosen = static_cast<int>(TrackPopupMenuEx(
      menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x, at.y, hwnd_, nullptr));
  if (chosen == 0) return std::nullopt;
  return static_cast<chess::PieceType>(chosen);
}

bool SolverWindow::Confirm(std::string_view question, std::string_view title) {
  return MessageBoxW(hwnd_, Widen(question).c_str(), Widen(title).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void SolverWindow::ShowStatistics() {
  const solver::Language language = start_.language;
  OpenStatisticsWindow(hwnd_, files_, data_, start_, clock_, [language](std::string_view token) {
    return solver::StatisticsThemeName(token, language);
  });
}

void SolverWindow::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

void SolverWindow::Report(solver::Text headline, const Failure& failure) {
  const std::wstring text = Widen(std::string(Say(headline)) + "\n\n" + FailureText(failure));
  MessageBoxW(hwnd_, text.c_str(), Widen(kProductTitle).c_str(), MB_OK | MB_ICONERROR);
}

// --- Focus -------------------------------------------------------------------------

void SolverWindow::FocusControl(HWND control) {
  focus_ = control;
  if (control && GetActiveWindow() == hwnd_) SetFocus(control);
}

void SolverWindow::RestoreFocus() {
  const bool usable = focus_ && IsWindow(focus_) && IsWindowVisible(focus_) &&
                      IsWindowEnabled(focus_) && IsChild(hwnd_, focus_);
  SetFocus(usable ? focus_ : hwnd_);
}

// --- Messages ----------------------------------------------------------------------

void SolverWindow::OnCommand(int id, int notification) {
  if (id == kIdList) {
    if (notification == LBN_DBLCLK) screen_->Do(Command::ListOpen);
  } else if (id == IDCANCEL) {
    // Escape leaves the problem list, as a dialog's Cancel would.
    screen_->Do(Command::ListClose);
  } else if (const auto command = CommandOf(id)) {
    screen_->Do(*command);
  }
}

bool SolverWindow::PreTranslate(MSG& message) {
  if (!hwnd_) return false;
  if (message.message == WM_KEYDOWN && (message.wParam == VK_LEFT || message.wParam == VK_RIGHT)) {
    // The arrows page through the problems, unless the caret or a list
    // selection is what they move.
    const Command command = message.wParam == VK_LEFT ? Command::Previous : Command::Next;
    const HWND focus = GetFocus();
    const bool ownsArrows =
        focus == Item(kIdMoveEdit) || focus == Item(kIdDescription) || focus == Item(kIdList);
    if (screen_->state().command(command).shown && !ownsArrows &&
        (focus == hwnd_ || IsChild(hwnd_, focus))) {
      screen_->Do(command);  // nothing when there is no such problem or the screen is busy
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
  // No exception may cross user32's frames. The screen reports what it
  // meets on the way; anything else here is the system's own refusal.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (const Failure& failure) {
    MessageBoxReport().Report(failure);
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
      const solver::WindowSize smallest = solver::SmallestWindowSize(static_cast<int>(dpi_));
      limits->ptMinTrackSize = {smallest.width, smallest.height};
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
    case DM_GETDEFID: {
      // Enter plays the typed move, or opens the chosen list entry.
      const LeftPart part = screen_->part();
      const bool list = part == LeftPart::ProblemList || part == LeftPart::CourseList;
      return MAKELONG(list ? kIdListOpen : kIdPlay, DC_HASDEFID);
    }
    case WM_ACTIVATE:
      // The problem's clock stands while the user is elsewhere, or the
      // window is activated minimised.
      screen_->Activated(LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam));
      // The control that had the keyboard gets it back when the user returns.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
      } else if (!HIWORD(wParam)) {  // not while minimised
        RestoreFocus();
      }
      return 0;
    case WM_NEXTDLGCTL: {
      // The dialog manager (IsDialogMessage) asks this for Tab and for a
      // label's access key, as of a dialog's own procedure: the keyboard to
      // the control given, or to the next (previous) one with a tab stop.
      const HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                         : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
      if (target) FocusControl(target);
      return 0;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam >= 1 && wParam <= solver::kTimerCount)
        screen_->OnTimer(static_cast<solver::Timer>(wParam - 1));
      return 0;
    case WM_CLOSE:
      screen_->Closing();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      for (std::size_t t = 0; t < solver::kTimerCount; ++t)
        KillTimer(hwnd_, TimerId(static_cast<solver::Timer>(t)));
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
