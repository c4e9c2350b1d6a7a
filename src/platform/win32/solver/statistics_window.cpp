#include "platform/win32/solver/statistics_window.h"

#include <array>
#include <memory>

#include "platform/win32/message_box_report.h"
#include "platform/win32/solver/gdi_guards.h"
#include "platform/win32/solver/message_font.h"
#include "platform/win32/solver/monitor_dpi.h"
#include "platform/win32/solver/window_class.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "solver/statistics_screen.h"
#include "solver/texts.h"

namespace zel::platform {
namespace {

using solver::Ink;

constexpr int kInks = static_cast<int>(Ink::Track) + 1;

// The colours of the inks; texts and the page follow the system's colours,
// so that a high-contrast scheme keeps them readable.
COLORREF ColourOf(Ink ink) {
  switch (ink) {
    case Ink::Text:
    case Ink::Heading:
      return GetSysColor(COLOR_WINDOWTEXT);
    case Ink::Label:
    case Ink::Axis:
      return RGB(96, 96, 96);
    case Ink::Grid:
      return RGB(224, 224, 224);
    case Ink::Line:
      return RGB(21, 101, 192);
    case Ink::Bar:
      return RGB(46, 125, 50);
    case Ink::BarUnderWay:
      return RGB(165, 214, 167);
    case Ink::Track:
      return RGB(232, 232, 232);
  }
  return 0;
}

UINT FormatOf(solver::Align align) {
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  switch (align) {
    case solver::Align::Left:
      return format | DT_LEFT;
    case solver::Align::Center:
      return format | DT_CENTER;
    case solver::Align::Right:
      return format | DT_RIGHT;
  }
  return format;
}

class StatisticsWindow {
 public:
  StatisticsWindow(solver::Statistics statistics, chess::Language language, bool pictures,
                   solver::ThemeNameLookup themeNames)
      : statistics_(std::move(statistics)),
        language_(language),
        pictures_(pictures),
        themeNames_(std::move(themeNames)) {}

  // Makes the window; it owns this object from then on, and deletes it when
  // it is destroyed.
  static HWND Open(HWND owner, std::unique_ptr<StatisticsWindow> self);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void MakeFonts();
  void Layout();
  void Paint(HDC dc, const RECT& client) const;

  solver::Statistics statistics_;
  chess::Language language_;
  bool pictures_;
  solver::ThemeNameLookup themeNames_;

  HWND hwnd_ = nullptr;
  HWND text_ = nullptr;  // with pictures off
  UINT dpi_ = 96;
  Font font_;
  Font headingFont_;
  solver::Drawing drawing_;
};

HWND StatisticsWindow::Open(HWND owner, std::unique_ptr<StatisticsWindow> self) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  Register({kStatisticsClassName, Procedure, MAKEINTRESOURCEW(32512) /* IDC_ARROW */,
            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), true},
           instance);

  const int dpi = static_cast<int>(DpiOf(owner));
  const std::wstring title = Widen(solver::TextOf(solver::Text::StatisticsTitle, self->language_));
  StatisticsWindow* window = self.get();
  const HWND hwnd = CreateWindowExW(0, kStatisticsClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, MulDiv(960, dpi, 96),
                                    MulDiv(680, dpi, 96), owner, nullptr, instance, window);
  if (!hwnd) throw LastErrorFailure(GetLastError(), "CreateWindowExW");
  self.release();  // the window's now: WM_NCDESTROY deletes it

  window->dpi_ = DpiOf(hwnd);
  window->MakeFonts();
  if (!window->pictures_) {
    window->text_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
            ES_AUTOVSCROLL,
        0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatisticsText)),
        instance, nullptr);
    if (!window->text_) {
      const DWORD error = GetLastError();
      DestroyWindow(hwnd);
      throw LastErrorFailure(error, "CreateWindowExW");
    }
    SendMessageW(window->text_, WM_SETFONT, reinterpret_cast<WPARAM>(window->font_.get()), FALSE);
    // Esc and Enter reach the window through the field, which would swallow them.
    SetWindowLongPtrW(
        window->text_, GWLP_USERDATA,
        SetWindowLongPtrW(window->text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextProcedure)));
    // The text last, in its font and at its size: the field breaks a year's
    // lines again at every change of either.
    window->Layout();
    SetWindowTextW(
        window->text_,
        Widen(solver::StatisticsText(window->statistics_, window->language_, window->themeNames_))
            .c_str());
  } else {
    window->Layout();
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  if (window->text_) SetFocus(window->text_);
  UpdateWindow(hwnd);
  return hwnd;
}

void StatisticsWindow::MakeFonts() {
  Font font(CreateMessageFont(MulDiv(10, static_cast<int>(dpi_), 72), FW_NORMAL));
  headingFont_ = Font(CreateMessageFont(MulDiv(10, static_cast<int>(dpi_), 72), FW_BOLD));
  // The field lets go of the old font before it is deleted.
  if (text_) SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
}

void StatisticsWindow::Layout() {
  if (!font_) return;  // WM_SIZE while the window is made: Open lays it out after
  RECT client;
  GetClientRect(hwnd_, &client);
  if (text_) {
    const int margin = MulDiv(8, static_cast<int>(dpi_), 96);
    MoveWindow(text_, margin, margin, std::max(0L, client.right - 2 * margin),
               std::max(0L, client.bottom - 2 * margin), TRUE);
    return;
  }
  // Texts are measured in the heading's face, the wider one, so that no
  // column's heading is cut.
  const WindowDc dc(hwnd_);
  const Selection face(dc.get(), headingFont_.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  const solver::TextMeasure measure{
      static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading), [&dc](std::string_view text) {
        const std::wstring wide = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
      }};
  drawing_ = solver::DrawStatistics(statistics_, language_, themeNames_,
                                    {0, 0, client.right, client.bottom}, measure);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void StatisticsWindow::Paint(HDC dc, const RECT& client) const {
  const Brush page(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
  FillRect(dc, &client, page.get());

  std::array<Brush, kInks> brushes;
  std::array<Pen, kInks> pens;
  for (int i = 0; i < kInks; ++i) {
    const Ink ink = static_cast<Ink>(i);
    brushes[i] = Brush(CreateSolidBrush(ColourOf(ink)));
    // The rating's line a little heavier than the axes and the grid.
    const int width = ink == Ink::Line ? std::max(2, MulDiv(2, static_cast<int>(dpi_), 96)) : 1;
    pens[i] = Pen(CreatePen(PS_SOLID, width, ColourOf(ink)));
  }
  for (const solver::BoxPiece& piece : drawing_.boxes) {
    const RECT box{piece.box.left, piece.box.top, piece.box.right, piece.box.bottom};
    FillRect(dc, &box, brushes[static_cast<int>(piece.ink)].get());
  }
  std::vector<POINT> points;
  for (const solver::LinePiece& piece : drawing_.lines) {
    const Selection pen(dc, pens[static_cast<int>(piece.ink)].get());
    points.clear();
    for (const solver::Point& point : piece.points) points.push_back({point.x, point.y});
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SetBkMode(dc, TRANSPARENT);
  for (const solver::TextPiece& piece : drawing_.texts) {
    const Selection face(dc, piece.ink == Ink::Heading ? headingFont_.get() : font_.get());
    SetTextColor(dc, ColourOf(piece.ink));
    RECT box{piece.box.left, piece.box.top, piece.box.right, piece.box.bottom};
    const std::wstring text = Widen(piece.text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, FormatOf(piece.align));
  }
}

LRESULT CALLBACK StatisticsWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<StatisticsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<StatisticsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete self;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // No exception may cross user32's frames; nothing here throws one but
  // memory running out.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    EndAfterUnexpectedFailure();
  }
}

LRESULT CALLBACK StatisticsWindow::TextProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  const bool closing = wParam == VK_ESCAPE || wParam == VK_RETURN;
  if (message == WM_KEYDOWN && closing) {
    PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
    return 0;
  }
  if (message == WM_CHAR && (wParam == L'\x1b' || wParam == L'\r')) return 0;  // no beep
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

LRESULT StatisticsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_ERASEBKGND:
      // The picture paints every pixel itself; only the text needs the page.
      if (!text_) return 1;
      break;
    case WM_PAINT: {
      if (text_) break;
      const PaintDc paint(hwnd_);
      RECT client;
      GetClientRect(hwnd_, &client);
      // Drawn aside and copied at once, so that a resize does not flicker.
      const DibCanvas canvas(client.right, client.bottom);
      if (canvas.dc()) {
        Paint(canvas.dc(), client);
        BitBlt(paint.get(), 0, 0, client.right, client.bottom, canvas.dc(), 0, 0, SRCCOPY);
      } else {
        Paint(paint.get(), client);
      }
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(hwnd_, &client);
      if (!text_) Paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
        DestroyWindow(hwnd_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (text_) SetFocus(text_);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {MulDiv(640, static_cast<int>(dpi_), 96),
                                MulDiv(480, static_cast<int>(dpi_), 96)};
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      MakeFonts();
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// The statistics window `owner` has open, if any.
BOOL CALLBACK CloseOwnedStatistics(HWND hwnd, LPARAM owner) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  if (GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(owner) &&
      std::wstring_view(name) == kStatisticsClassName)
    DestroyWindow(hwnd);
  return TRUE;
}

}  // namespace

HWND OpenStatisticsWindow(HWND owner, Files& files, const solver::ProblemData& data,
                          const solver::StartChoice& start, Clock& clock,
                          const solver::ThemeNameLookup& themeNames) {
  solver::Statistics statistics =
      solver::ComputeStatistics(files, data, solver::CoursesOf(start.family), clock.Today());
  if (owner)
    EnumThreadWindows(GetCurrentThreadId(), CloseOwnedStatistics, reinterpret_cast<LPARAM>(owner));
  return StatisticsWindow::Open(
      owner, std::make_unique<StatisticsWindow>(std::move(statistics), start.language,
                                                start.picturesOn, themeNames));
}

}  // namespace zel::platform
