#include "platform/win32/solver/board_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "platform/win32/solver/message_font.h"
#include "platform/win32/text.h"

namespace zel::platform {
namespace {

using chess::Square;

constexpr COLORREF kLight = RGB(240, 217, 181);
constexpr COLORREF kDark = RGB(181, 136, 99);
constexpr COLORREF kFrame = RGB(78, 52, 34);
constexpr COLORREF kLabel = RGB(90, 80, 70);
constexpr COLORREF kLastMoveLight = RGB(246, 233, 130);
constexpr COLORREF kLastMoveDark = RGB(218, 195, 74);
constexpr COLORREF kSelected = RGB(130, 170, 90);
constexpr COLORREF kHint = RGB(70, 120, 200);
constexpr COLORREF kTarget = RGB(60, 90, 50);
constexpr UINT_PTR kAnimationTimer = 1;

bool IsLight(Square s) { return (chess::FileOf(s) + chess::RankOf(s)) % 2 == 1; }

// The man's place among the men drawn: White's six, then Black's.
int ManIndex(chess::Piece piece) {
  return (piece.color == chess::White ? 0 : chess::kGlyphCount) + chess::RowOf(piece.type).glyph;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

BoardView::BoardView(HWND parent, int controlId, const MenSheet& men, chess::Language language,
                     BoardListener& listener)
    : men_(men), language_(language), listener_(listener) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // a second board finds the class registered
  hwnd_ =
      CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, this);
}

BoardView::~BoardView() {
  DropSheet();
  if (labelFont_) DeleteObject(labelFont_);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void BoardView::SetPosition(const chess::Position& position, chess::Color bottom) {
  if (animation_) KillTimer(hwnd_, kAnimationTimer);
  animation_.reset();
  drag_.reset();
  position_ = position;
  bottom_ = bottom;
  Select(std::nullopt);
  Describe();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardView::SetLastMove(std::optional<chess::Move> move) {
  lastMove_ = move;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardView::SetHint(std::optional<Square> from, std::optional<Square> to) {
  hintFrom_ = from;
  hintTo_ = to;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardView::SetInputEnabled(bool enabled) {
  inputEnabled_ = enabled;
  if (!enabled) {
    drag_.reset();
    if (GetCapture() == hwnd_) ReleaseCapture();
    Select(std::nullopt);
  }
}

void BoardView::Animate(const chess::Move& move, int milliseconds) {
  const auto piece = position_.PieceAt(move.from);
  if (!piece) return;
  Select(std::nullopt);
  drag_.reset();
  animation_ = Animation{move, *piece, GetTickCount(), std::max(milliseconds, 1)};
  SetTimer(hwnd_, kAnimationTimer, 15, nullptr);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardView::FinishAnimation() {
  KillTimer(hwnd_, kAnimationTimer);
  const Animation done = *animation_;
  animation_.reset();
  position_ = position_.After(done.move);
  lastMove_ = done.move;
  Describe();
  InvalidateRect(hwnd_, nullptr, FALSE);
  listener_.OnBoardAnimationDone();
}

void BoardView::Describe() {
  // Screen readers name the control by its text: the position in words.
  SetWindowTextW(hwnd_, Widen(chess::DescribePosition(position_, language_)).c_str());
}

POINT BoardView::SquareCentre(Square square) const {
  const RECT r = SquareRect(square);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

RECT BoardView::SquareRect(Square square) const {
  int column = chess::FileOf(square), row = 7 - chess::RankOf(square);
  if (bottom_ == chess::Black) column = 7 - column, row = 7 - row;
  const int x = left_ + column * square_, y = top_ + row * square_;
  return {x, y, x + square_, y + square_};
}

std::optional<Square> BoardView::SquareAt(POINT p) const {
  if (square_ <= 0 || p.x < left_ || p.y < top_) return std::nullopt;
  int column = (p.x - left_) / square_, row = (p.y - top_) / square_;
  if (column > 7 || row > 7) return std::nullopt;
  if (bottom_ == chess::Black) column = 7 - column, row = 7 - row;
  return chess::MakeSquare(column, 7 - row);
}

void BoardView::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  // A margin of a third of a square on the left and at the bottom for the
  // coordinates: 8 1/3 squares each way, plus a thin frame.
  square_ = std::max(0, std::min(width, height) * 3 / 25);
  const int board = 8 * square_, margin = square_ / 3;
  left_ = (width - board + margin) / 2;
  top_ = (height - board - margin) / 2;
  if (labelFont_) DeleteObject(labelFont_);
  // The coordinates a quarter of a square high.
  labelFont_ = CreateMessageFont(std::max(9, square_ / 4), FW_NORMAL);
}

// The sheet the men are kept in: 8 x 8 slots of one square each, a tile a
// slot, the last slot for the man being dragged or animated.
constexpr int kSheetSlots = 8;
constexpr int kFloatingSlot = kSheetSlots * kSheetSlots - 1;

void BoardView::PrepareSheet() const {
  if (menSide_ == square_ && sheetDc_) return;
  // A new square size: every man and tile is drawn anew, when first needed.
  for (auto& pixels : menPixels_) pixels.clear();
  tiles_.clear();
  floatingMan_ = -1;
  DropSheet();
  menSide_ = square_;
  if (square_ <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kSheetSlots * square_;
  info.bmiHeader.biHeight = -kSheetSlots * square_;  // top-down, as the men are drawn
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  sheet_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!sheet_) return;
  sheetPixels_ = static_cast<std::uint32_t*>(bits);
  sheetDc_ = CreateCompatibleDC(nullptr);
  SelectObject(sheetDc_, sheet_);
}

void BoardView::DropSheet() const {
  if (sheetDc_) DeleteDC(sheetDc_);
  if (sheet_) DeleteObject(sheet_);
  sheetDc_ = nullptr;
  sheet_ = nullptr;
  sheetPixels_ = nullptr;
}

const std::vector<std::uint32_t>& BoardView::ManPixels(chess::Piece piece) const {
  auto& pixels = menPixels_[ManIndex(piece)];
  if (pixels.empty()) pixels = men_.Draw(piece, square_);
  return pixels;
}

POINT BoardView::SlotCorner(int slot) const {
  return {(slot % kSheetSlots) * square_, (slot / kSheetSlots) * square_};
}

void BoardView::FillSlot(int slot, const std::vector<std::uint32_t>& man,
                         std::optional<COLORREF> square) const {
  const POINT corner = SlotCorner(slot);
  const int stride = kSheetSlots * square_;
  const std::uint32_t under[3] = {square ? GetBValue(*square) : 0u,
                                  square ? GetGValue(*square) : 0u,
                                  square ? GetRValue(*square) : 0u};
  for (int y = 0; y < square_; ++y) {
    std::uint32_t* row = sheetPixels_ + static_cast<std::size_t>(corner.y + y) * stride + corner.x;
    for (int x = 0; x < square_; ++x) {
      const std::uint32_t p = man[static_cast<std::size_t>(y) * square_ + x];
      if (!square) {
        row[x] = p;  // premultiplied, for blending
        continue;
      }
      const std::uint32_t clear = 255 - (p >> 24);
      std::uint32_t out = 0;
      for (int c = 0; c < 3; ++c)
        out |= std::min<std::uint32_t>(255, ((p >> (8 * c)) & 0xFF) + under[c] * clear / 255)
               << (8 * c);
      row[x] = out;
    }
  }
  GdiFlush();  // the bits were written directly; GDI reads them next
}

void BoardView::PaintMan(HDC dc, chess::Piece piece, int x, int y, COLORREF square) const {
  // The man already laid on the square's colour: a plain copy paints it, far
  // cheaper than blending each time the board is drawn.
  PrepareSheet();
  if (!sheetDc_) return;
  const int index = ManIndex(piece);
  auto tile = std::find_if(tiles_.begin(), tiles_.end(),
                           [&](const ManTile& t) { return t.man == index && t.square == square; });
  if (tile == tiles_.end()) {
    if (static_cast<int>(tiles_.size()) >= kFloatingSlot) tiles_.clear();  // never in a game
    FillSlot(static_cast<int>(tiles_.size()), ManPixels(piece), square);
    tile = tiles_.insert(tiles_.end(), ManTile{index, square});
  }
  const POINT from = SlotCorner(static_cast<int>(tile - tiles_.begin()));
  BitBlt(dc, x, y, square_, square_, sheetDc_, from.x, from.y, SRCCOPY);
}

void BoardView::PaintFloatingMan(HDC dc, chess::Piece piece, int x, int y) const {
  PrepareSheet();
  if (!sheetDc_) return;
  const int index = ManIndex(piece);
  if (floatingMan_ != index) {
    FillSlot(kFloatingSlot, ManPixels(piece), std::nullopt);
    floatingMan_ = index;
  }
  const POINT from = SlotCorner(kFloatingSlot);
  const BLENDFUNCTION over{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, x, y, square_, square_, sheetDc_, from.x, from.y, square_, square_, over);
}

COLORREF BoardView::SquareColour(Square s) const {
  if (selected_ == s) return kSelected;
  if (lastMove_ && (lastMove_->from == s || lastMove_->to == s))
    return IsLight(s) ? kLastMoveLight : kLastMoveDark;
  return IsLight(s) ? kLight : kDark;
}

void BoardView::Paint(HDC dc) const {
  RECT client;
  GetClientRect(hwnd_, &client);
  Fill(dc, client, GetSysColor(COLOR_BTNFACE));
  if (square_ <= 0) return;
  const int edge = std::max(1, square_ / 20);
  Fill(dc, {left_ - edge, top_ - edge, left_ + 8 * square_ + edge, top_ + 8 * square_ + edge},
       kFrame);

  // The squares with their men, but not one being dragged or animated: that
  // one comes last, on top.
  const std::optional<Square> lifted =
      animation_ ? std::optional(animation_->move.from)
                 : (drag_ && drag_->moved ? std::optional(drag_->from) : std::nullopt);
  for (Square s = 0; s < 64; ++s) {
    const RECT r = SquareRect(s);
    const COLORREF colour = SquareColour(s);
    const auto piece = s == lifted ? std::nullopt : position_.PieceAt(s);
    if (piece)
      PaintMan(dc, *piece, r.left, r.top, colour);
    else
      Fill(dc, r, colour);
    if (hintFrom_ == s || hintTo_ == s) {
      // A frame inside the square, thick enough to see at a glance.
      const HGDIOBJ pen =
          SelectObject(dc, CreatePen(PS_INSIDEFRAME, std::max(2, square_ / 12), kHint));
      const HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      SelectObject(dc, brush);
      DeleteObject(SelectObject(dc, pen));
    }
  }

  // Where the chosen man may go: a dot on an empty square, a ring on a man.
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  SetDCBrushColor(dc, kTarget);
  for (Square t : targets_) {
    const RECT r = SquareRect(t);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    if (position_.PieceAt(t)) {
      const HGDIOBJ ring =
          SelectObject(dc, CreatePen(PS_SOLID, std::max(2, square_ / 14), kTarget));
      SelectObject(dc, GetStockObject(NULL_BRUSH));
      const int inset = square_ / 14;
      Ellipse(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
      SelectObject(dc, GetStockObject(DC_BRUSH));
      DeleteObject(SelectObject(dc, ring));
      SelectObject(dc, GetStockObject(NULL_PEN));
    } else {
      const int radius = std::max(3, square_ / 7);
      Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
    }
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);

  // Coordinates below and to the left, turned with the board.
  const HGDIOBJ oldFont = SelectObject(dc, labelFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabel);
  for (int i = 0; i < 8; ++i) {
    const int file = bottom_ == chess::White ? i : 7 - i;
    const wchar_t fileName[2] = {static_cast<wchar_t>(L'a' + file), 0};
    RECT below{left_ + i * square_, top_ + 8 * square_ + edge, left_ + (i + 1) * square_,
               top_ + 8 * square_ + square_ / 3 + edge};
    DrawTextW(dc, fileName, 1, &below, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    const int rank = bottom_ == chess::White ? 8 - i : i + 1;
    const wchar_t rankName[2] = {static_cast<wchar_t>(L'0' + rank), 0};
    RECT beside{left_ - square_ / 3 - edge, top_ + i * square_, left_ - edge,
                top_ + (i + 1) * square_};
    DrawTextW(dc, rankName, 1, &beside, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);

  if (animation_) {
    const double t =
        std::min(1.0, double(GetTickCount() - animation_->started) / animation_->milliseconds);
    const double eased = t * t * (3 - 2 * t);
    const RECT from = SquareRect(animation_->move.from), to = SquareRect(animation_->move.to);
    PaintFloatingMan(dc, animation_->piece, from.left + int((to.left - from.left) * eased),
                     from.top + int((to.top - from.top) * eased));
  } else if (drag_ && drag_->moved) {
    if (const auto piece = position_.PieceAt(drag_->from))
      PaintFloatingMan(dc, *piece, drag_->at.x - square_ / 2, drag_->at.y - square_ / 2);
  }
}

void BoardView::Select(std::optional<Square> square) {
  selected_ = square;
  targets_.clear();
  if (square) {
    for (const chess::Move& m : chess::LegalMoves(position_)) {
      if (m.from != *square) continue;
      if (std::find(targets_.begin(), targets_.end(), m.to) == targets_.end())
        targets_.push_back(m.to);
    }
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void BoardView::OnButtonDown(POINT point) {
  SetFocus(hwnd_);
  if (!inputEnabled_ || animation_) return;
  const auto square = SquareAt(point);
  if (!square) {
    Select(std::nullopt);
    return;
  }
  const auto piece = position_.PieceAt(*square);
  const bool own = piece && piece->color == position_.SideToMove();
  if (selected_ && *square != *selected_) {
    // The second click of a move, unless it picks another man of one's own
    // instead; the king onto its own rook is a move (castling), though.
    const bool isMove =
        chess::MoveFromSquares(position_, *selected_, *square, chess::Queen).has_value();
    if (!own || isMove) {
      const Square from = *selected_;
      Select(std::nullopt);
      listener_.OnBoardMove(from, *square);
      return;
    }
  }
  if (own) {
    Select(*square);
    drag_ = Drag{*square, point};
    SetCapture(hwnd_);
  } else {
    Select(std::nullopt);
  }
}

void BoardView::OnButtonUp(POINT point) {
  // Taken before the capture goes: losing it ends a drag (WM_CAPTURECHANGED).
  const std::optional<Drag> dragged = drag_;
  drag_.reset();
  if (GetCapture() == hwnd_) ReleaseCapture();
  if (!dragged) return;
  const Drag drag = *dragged;
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (!drag.moved) return;  // a click: the man stays chosen for a second click
  const auto square = SquareAt(point);
  if (!square || *square == drag.from) return;
  Select(std::nullopt);
  listener_.OnBoardMove(drag.from, *square);
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
  switch (message) {
    case WM_SIZE:
      Layout();
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint covers every pixel, from a memory bitmap: no flicker
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      const HDC memory = CreateCompatibleDC(dc);
      const HBITMAP canvas = CreateCompatibleBitmap(dc, client.right, client.bottom);
      const HGDIOBJ old = SelectObject(memory, canvas);
      Paint(memory);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(canvas);
      DeleteDC(memory);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      if (drag_ && (wParam & MK_LBUTTON)) {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // A few pixels of wobble in a click are no drag.
        if (std::abs(at.x - drag_->at.x) + std::abs(at.y - drag_->at.y) >
            GetSystemMetrics(SM_CXDRAG))
          drag_->moved = true;
        if (drag_->moved) {
          drag_->at = at;
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (drag_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
        drag_.reset();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    case WM_RBUTTONDOWN:
      Select(std::nullopt);
      return 0;
    case WM_TIMER:
      if (wParam == kAnimationTimer && animation_) {
        if (GetTickCount() - animation_->started >= DWORD(animation_->milliseconds))
          FinishAnimation();
        else
          InvalidateRect(hwnd_, nullptr, FALSE);
      }
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
