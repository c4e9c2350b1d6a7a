#include "platform/win32/solver/board_view.h"

#include <windowsx.h>

#include <algorithm>
#include <bit>

#include "platform/win32/solver/message_font.h"
#include "platform/win32/solver/window_class.h"
#include "platform/win32/text.h"

namespace zel::platform {
namespace {

using chess::Square;
using solver::Shade;
using solver::TargetMark;

// By solver::Shade.
constexpr COLORREF kShades[] = {
    RGB(240, 217, 181),  // light
    RGB(181, 136, 99),   // dark
    RGB(246, 233, 130),  // the last move's, light
    RGB(218, 195, 74),   // the last move's, dark
    RGB(130, 170, 90),   // the chosen man's
};
static_assert(std::size(kShades) == static_cast<std::size_t>(Shade::Selected) + 1);
constexpr COLORREF kFrame = RGB(78, 52, 34);
constexpr COLORREF kLabel = RGB(90, 80, 70);
constexpr COLORREF kHint = RGB(70, 120, 200);
constexpr COLORREF kTarget = RGB(60, 90, 50);

RECT ToRect(const solver::PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

BoardView::BoardView(HWND parent, int controlId, const MenSheet& men, solver::TrainerScreen& screen)
    : screen_(screen), tiles_(men) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  Register({kClassName, Procedure, MAKEINTRESOURCEW(32649) /* IDC_HAND */, nullptr, false},
           instance);
  hwnd_ =
      CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, this);
}

BoardView::~BoardView() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void BoardView::Repaint(const solver::BoardDamage& damage) {
  if (damage.all) {
    InvalidateRect(hwnd_, nullptr, FALSE);
    return;
  }
  // One rectangle around all of it: each InvalidateRect asks the system's
  // window manager, and the paint covers the rectangle around what is
  // invalid all the same.
  const solver::BoardModel& board = model();
  solver::PixelRect around = damage.area;
  for (std::uint64_t squares = damage.squares; squares; squares &= squares - 1) {
    const auto square = static_cast<Square>(std::countr_zero(squares));
    around = around.Union(board.geometry().SquareRect(square, board.bottom()));
  }
  if (around.Empty()) return;
  const RECT r = ToRect(around);
  InvalidateRect(hwnd_, &r, FALSE);
}

void BoardView::SetWords(std::string_view words) { SetWindowTextW(hwnd_, Widen(words).c_str()); }

POINT BoardView::SquareCentre(Square square) const {
  const solver::Point at = model().geometry().SquareCentre(square, model().bottom());
  return {at.x, at.y};
}

void BoardView::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  screen_.BoardResized(client.right, client.bottom);
  const solver::BoardGeometry& geometry = model().geometry();
  const int side = geometry.square();
  tiles_.Resize(side);
  labelFont_ = CreateMessageFont(geometry.LabelHeight(), FW_NORMAL);
  // Thick enough to see at a glance.
  hintPen_ = Pen(CreatePen(PS_INSIDEFRAME, std::max(2, side / 12), kHint));
  ringPen_ = Pen(CreatePen(PS_SOLID, std::max(2, side / 14), kTarget));
}

void BoardView::PaintSquare(HDC dc, Square square, const RECT& r) {
  const solver::SquareLook look = model().LookOf(square);
  const COLORREF colour = kShades[static_cast<std::size_t>(look.shade)];
  if (look.man) {
    tiles_.Draw(dc, *look.man, r.left, r.top, colour);
  } else {
    Fill(dc, r, colour);
  }
  const int side = r.right - r.left;
  if (look.hint) {
    // A frame inside the square.
    const Selection pen(dc, hintPen_.get());
    const Selection brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  if (look.target == TargetMark::Ring) {
    const Selection pen(dc, ringPen_.get());
    const Selection brush(dc, GetStockObject(NULL_BRUSH));
    const int inset = side / 14;
    Ellipse(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
  } else if (look.target == TargetMark::Dot) {
    const Selection pen(dc, GetStockObject(NULL_PEN));
    const Selection brush(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, kTarget);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int radius = std::max(3, side / 7);
    Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
  }
}

void BoardView::PaintLabels(HDC dc, const RECT& area) {
  const solver::BoardModel& board = model();
  const Selection font(dc, labelFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabel);
  for (int i = 0; i < 8; ++i) {
    RECT below = ToRect(board.geometry().FileLabelRect(i));
    if (Overlap(below, area)) {
      const wchar_t file[2] = {static_cast<wchar_t>(board.FileLabel(i)), 0};
      DrawTextW(dc, file, 1, &below, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    RECT beside = ToRect(board.geometry().RankLabelRect(i));
    if (Overlap(beside, area)) {
      const wchar_t rank[2] = {static_cast<wchar_t>(board.RankLabel(i)), 0};
      DrawTextW(dc, rank, 1, &beside, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
}

void BoardView::Paint(HDC target, RECT area) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (!canvas_ || canvas_->width() != client.right || canvas_->height() != client.bottom) {
    canvas_.emplace(client.right, client.bottom);
    area = client;  // a new bitmap holds nothing yet
  }
  const HDC dc = canvas_->dc();
  if (!dc) {
    Fill(target, area, GetSysColor(COLOR_BTNFACE));
    return;
  }
  {
    const ClipTo clip(dc, area);
    Fill(dc, area, GetSysColor(COLOR_BTNFACE));
    const solver::BoardModel& board = model();
    const solver::BoardGeometry& geometry = board.geometry();
    if (geometry.square() > 0) {
      Fill(dc, ToRect(geometry.FrameRect()), kFrame);
      for (Square s = 0; s < 64; ++s) {
        const RECT r = ToRect(geometry.SquareRect(s, board.bottom()));
        if (Overlap(r, area)) PaintSquare(dc, s, r);
      }
      PaintLabels(dc, area);
      // The man dragged or moving, over the squares.
      if (const auto floating = board.Floating(); floating && Overlap(ToRect(floating->box), area))
        tiles_.DrawFloating(dc, floating->man, floating->box.left, floating->box.top);
    }
  }
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc, area.left,
         area.top, SRCCOPY);
}

void BoardView::FollowMouse() {
  if (!model().holding()) {
    LetMouseGo();
  } else if (GetCapture() != hwnd_) {
    SetCapture(hwnd_);
  }
}

void BoardView::LetMouseGo() {
  if (GetCapture() != hwnd_) return;
  releasingMouse_ = true;
  ReleaseCapture();
  releasingMouse_ = false;
}

LRESULT CALLBACK BoardView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BoardView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<BoardView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT BoardView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const solver::Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint covers every pixel, from a bitmap: no flicker
    case WM_PAINT: {
      const PaintDc paint(hwnd_);
      Paint(paint.get(), paint.area());
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(hwnd_, &client);
      Paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      screen_.BoardPressed(at);
      FollowMouse();
      return 0;
    case WM_MOUSEMOVE:
      if ((wParam & MK_LBUTTON) && model().holding())
        screen_.BoardDragged(at, GetSystemMetrics(SM_CXDRAG));
      return 0;
    case WM_LBUTTONUP:
      // The mouse goes back to the system first: the move may ask for a
      // promotion piece with a menu of its own.
      LetMouseGo();
      screen_.BoardReleased(at);
      return 0;
    case WM_CAPTURECHANGED:
      if (!releasingMouse_ && reinterpret_cast<HWND>(lParam) != hwnd_ && model().holding())
        screen_.BoardLostMouse();
      return 0;
    case WM_RBUTTONDOWN:
      screen_.BoardRightClicked();
      return 0;
    case WM_GETDLGCODE:
      // Arrows and characters go on to the window, which pages and types with them.
      return 0;
    case WM_NCDESTROY: {
      // Destroyed with its parent: nothing is left for the destructor to destroy.
      const HWND self = hwnd_;
      hwnd_ = nullptr;
      return DefWindowProcW(self, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace zel::platform
