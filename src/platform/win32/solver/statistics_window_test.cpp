// The statistics window over a real program folder: with pictures off its
// figures are the text a screen reader reads, with pictures on the rating's
// line and the cycles' bars are painted; Esc and Enter close it, and so does
// its owner's end. Waits are bounded.
#include "platform/win32/solver/statistics_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/fake/fake_clock.h"
#include "platform/win32/solver/gdi_guards.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_files.h"
#include "solver/test_problems.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

class StatisticsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("Zadachi.dat", solver::testing::kTestData);
    folder_.Write("practice.prg",
                  "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0001\r\n"
                  "cycle 1 2026-01-05\r\n"
                  "p0001 first 30 2026-01-05\r\np0002 solved 90 2026-01-06\r\n"
                  "p0003 first 20 2026-01-06\r\np0004 solved 60 2026-01-07\r\n"
                  "cycle 2 2026-02-01\r\n"
                  "p0001 missed 50 2026-02-01\r\np0002 first 10 2026-02-01\r\n"
                  "review\r\np0001 1 2026-02-02\r\nend\r\n");
    folder_.Write("rating.prg",
                  "Zelmiku rating 1\r\nrating 1432.5 81.4 0.06 2026-03-02\r\n"
                  "rated p0001\r\nrated p0002\r\n"
                  "day 2026-01-05 1461.2 120.07 1\r\nday 2026-03-02 1432.5 81.4 1\r\nend\r\n");
    data_ = solver::ReadProblemData(files_);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }

  HWND Open(chess::Language language, bool pictures, HWND owner = nullptr) {
    const solver::StartChoice start{SolverFamily::CourseSolver, language, pictures, nullptr};
    window_ = OpenStatisticsWindow(owner, files_, data_, start, clock_, [](std::string_view token) {
      return token == "promotion" ? std::string("Превращение") : std::string(token);
    });
    Pump();
    return window_;
  }

  // Delivers messages until `done` holds or ten seconds have passed.
  static bool Pump(const std::function<bool()>& done = [] { return true; }) {
    const DWORD until = GetTickCount() + 10000;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (done()) return true;
      if (GetTickCount() > until) return false;
      Sleep(1);
    }
  }
  static std::string TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
  }
  // A key as the keyboard gives it to the focused control.
  bool PressClosing(WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    return Pump([&] { return !IsWindow(window_); });
  }

  // How many pixels of each colour (0xRRGGBB) the window paints.
  std::map<std::uint32_t, int> PaintedColours() const {
    RECT client;
    GetClientRect(window_, &client);
    const DibCanvas canvas(client.right, client.bottom);
    EXPECT_NE(canvas.dc(), nullptr);
    if (!canvas.dc()) return {};
    SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    std::map<std::uint32_t, int> colours;
    for (int i = 0; i < canvas.width() * canvas.height(); ++i)
      ++colours[canvas.pixels()[i] & 0xFFFFFF];
    return colours;
  }

  testing::TestFolder folder_;
  Win32Files files_{folder_.path().string(), folder_.path().string()};
  FakeClock clock_{{2026, 3, 2}};
  solver::ProblemData data_;
  HWND window_ = nullptr;
};

TEST_F(StatisticsWindowTest, WithPicturesOffTheFiguresAreTextAScreenReaderReads) {
  Open(chess::Language::Russian, false);
  ASSERT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(TextOf(window_), "Статистика");
  const HWND text = GetDlgItem(window_, kIdStatisticsText);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(GetFocus(), text);
  EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
  const std::string shown = TextOf(text);
  for (const char* line :
       {"Рейтинг 1433 ± 81, задач в оценке: 2.\r\n",
        "Тактика-0: практика. К повторению сегодня: 1.",
        "  Круг 1, 05.01.2026 – 07.01.2026: решено 4 из 4, с первой попытки 2 из 4 (50\u00A0%), "
        "время 3 мин 20 с.\r\n",
        "  Превращение: с первой попытки 0 из 1 (0\u00A0%).\r\n",
        "  02.03.2026: Рейтинг 1433 ± 81, задач: 1.\r\n"})
    EXPECT_NE(shown.find(line), std::string::npos) << line;
  // The folder is only read.
  EXPECT_EQ(folder_.List(), "Zadachi.dat practice.prg rating.prg");

  EXPECT_TRUE(PressClosing(VK_ESCAPE));
  Open(chess::Language::English, false);
  EXPECT_NE(TextOf(GetDlgItem(window_, kIdStatisticsText)).find("Cycle 2, started 2026-02-01"),
            std::string::npos);
  EXPECT_TRUE(PressClosing(VK_RETURN));
}

TEST_F(StatisticsWindowTest, WithPicturesOnTheRatingAndTheCyclesArePainted) {
  Open(chess::Language::English, true);
  ASSERT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(TextOf(window_), "Statistics");
  EXPECT_EQ(GetDlgItem(window_, kIdStatisticsText), nullptr);
  std::map<std::uint32_t, int> colours = PaintedColours();
  EXPECT_GT(colours[0x1565C0], 50);   // the rating's line and today's dot
  EXPECT_GT(colours[0x2E7D32], 50);   // the finished cycle and the themes' shares
  EXPECT_GT(colours[0xA5D6A7], 10);   // the cycle under way
  EXPECT_GT(colours[0xE0E0E0], 100);  // the grid

  // Larger, the picture follows.
  SetWindowPos(window_, nullptr, 0, 0, 1400, 900, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  const std::map<std::uint32_t, int> larger = PaintedColours();
  EXPECT_GT(larger.at(0x1565C0), colours[0x1565C0]);

  EXPECT_TRUE(PressClosing(VK_ESCAPE));
  // Nothing tried yet: the pictures say so, and paint no bar.
  folder_.Write("practice.prg", "");
  folder_.Write("rating.prg", "");
  Open(chess::Language::Russian, true);
  colours = PaintedColours();
  EXPECT_EQ(colours.count(0x1565C0), 0u);
  EXPECT_EQ(colours.count(0x2E7D32), 0u);
  EXPECT_TRUE(PressClosing(VK_RETURN));
}

TEST_F(StatisticsWindowTest, OneWindowAnOwnerAndItGoesWithTheOwner) {
  const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  const HWND first = Open(chess::Language::Russian, true, owner);
  EXPECT_EQ(GetWindow(first, GW_OWNER), owner);
  const HWND second = Open(chess::Language::Russian, false, owner);
  EXPECT_FALSE(IsWindow(first));  // today's figures replace the earlier ones
  EXPECT_TRUE(IsWindow(second));
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(second));
}

}  // namespace
}  // namespace zel::platform
