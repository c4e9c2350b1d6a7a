// A stand-in for the separate programs the shell starts: the course and
// problem-book solvers in both languages, and the video program. Which one it
// is follows from its own file name. A solver reads back the fourteen letters a
// launch wrote into its own program file, decodes them through the shell's own
// launch tables and appends what it found to launches.log in the current
// folder, e.g. "Kombiru mnuTactics1 russian pictures-on letters=tPaiiiiiiiiiii
// pid=123". On Windows it also opens a small window that tells the user, in
// the language of the program it stands in for, what the shell handed over and
// that the real program would run there.
//
// ZEL_STANDIN_SECONDS: how long the program stays after logging. Unset on
// Linux: it ends at once; unset on Windows: its window stays until closed.
//
// No iostream and no heap: the solver stand-ins must stay below the lowest
// patch position, so that the patched bytes fall into their zero padding.
#include <array>
#include <cstdint>
#include <string_view>

#include "launcher/launch_decode.h"
#include "launcher/patch_layout.h"
#include "launcher/solver_identity.h"
#include "prefs/switches.h"
#include "standin_text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace {

using Letters = zel::PatchLetters;

// A fixed buffer for the one line the program reports.
class Line {
 public:
  void Add(std::string_view text) {
    for (char c : text)
      if (size_ < sizeof text_) text_[size_++] = c;
  }
  void AddNumber(unsigned long value) {
    char digits[24];
    std::size_t count = 0;
    do digits[count++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) != 0);
    while (count > 0) Add(std::string_view(&digits[--count], 1));
  }
  std::string_view text() const { return {text_, size_}; }

 private:
  char text_[200];
  std::size_t size_ = 0;
};

// Names the launch that wrote the letters, with its language and pictures
// setting, and the letters themselves. The two practice items write the same
// letters, so every row with the found row's letters is named.
std::optional<zel::DecodedLaunch> Decode(zel::SolverFamily family, const Letters& got, Line& line) {
  const std::optional<zel::DecodedLaunch> found = zel::DecodeLaunch(family, got);
  if (!found) {
    line.Add(" unknown unknown unknown");
  } else {
    const char* separator = " ";
    for (const zel::LaunchRow& row : zel::LaunchRowsOf(family)) {
      if (!zel::SameLetters(row.entry, found->row->entry)) continue;
      line.Add(separator);
      line.Add(zel::ControlName(row.control));
      separator = "/";
    }
    line.Add(found->russian ? " russian" : " english");
    line.Add(found->picturesOn ? " pictures-on" : " pictures-off");
  }
  line.Add(" letters=");
  for (char c : got) {
    const bool printable = c > ' ' && c < 0x7F;
    line.Add(std::string_view(printable ? &c : ".", 1));
  }
  return found;
}

// The letters at the family's positions in write order; 0 where the file has
// no byte.
#if defined(_WIN32)
Letters ReadOwnLetters(const wchar_t* ownPath, const zel::PatchLayout& layout) {
  Letters got{};
  const HANDLE file = CreateFileW(ownPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return got;
  const auto positions = zel::PositionsInWriteOrder(layout);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    OVERLAPPED at{};
    at.Offset = positions[i] - 1;
    DWORD read = 0;
    if (!ReadFile(file, &got[i], 1, &read, &at) || read != 1) got[i] = 0;
  }
  CloseHandle(file);
  return got;
}
#else
Letters ReadOwnLetters(const zel::PatchLayout& layout) {
  Letters got{};
  const int fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return got;
  const auto positions = zel::PositionsInWriteOrder(layout);
  for (std::size_t i = 0; i < positions.size(); ++i)
    if (::pread(fd, &got[i], 1, static_cast<off_t>(positions[i] - 1)) != 1) got[i] = 0;
  ::close(fd);
  return got;
}
#endif

// A whole number of seconds, or -1 for an unset or unreadable value.
long SecondsFrom(std::string_view text) {
  if (text.empty()) return -1;
  long seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || seconds > 86400) return -1;
    seconds = seconds * 10 + (c - '0');
  }
  return seconds;
}

}  // namespace

#if defined(_WIN32)

namespace {

// What the window says; filled before the window is made.
zel::standin::WideText gText;

LRESULT CALLBACK StandinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      InflateRect(&area, -12, -12);
      // The stock GUI font has Cyrillic letters; the DC's default font need not.
      SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      const std::wstring_view text = gText.text();
      DrawTextW(dc, text.data(), static_cast<int>(text.size()), &area, DT_WORDBREAK | DT_NOPREFIX);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void AppendToLog(std::string_view text) {
  const HANDLE log =
      CreateFileW(L"launches.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(log);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  wchar_t ownPath[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
  char name[MAX_PATH];
  int nameLength = WideCharToMultiByte(CP_ACP, 0, ownPath, static_cast<int>(length), name,
                                       sizeof name, nullptr, nullptr);
  const std::string_view startName =
      zel::StartNameOf(std::string_view(name, nameLength > 0 ? nameLength : 0));

  Line line;
  line.Add(startName);
  if (const std::optional<zel::SolverIdentity> solver = zel::IdentifySolver(startName)) {
    const zel::SolverFamily family = solver->family;
    const std::optional<zel::DecodedLaunch> found =
        Decode(family, ReadOwnLetters(ownPath, zel::LayoutOf(family)), line);
    zel::standin::Describe(
        {family, solver->russian, found ? zel::standin::NameOf(found->row->control) : nullptr,
         found && found->russian, found && found->picturesOn},
        gText);
  } else if (zel::SameFileName(startName, zel::kVideoProgram)) {
    line.Add(" started");
    gText.Add(zel::standin::kVideoText);
  } else {
    line.Add(" unknown-program");
    gText.Add(zel::standin::kUnknownProgramText);
  }
  line.Add(" pid=");
  line.AddNumber(GetCurrentProcessId());
  line.Add("\r\n");
  AppendToLog(line.text());

  wchar_t value[16];
  const DWORD valueLength = GetEnvironmentVariableW(L"ZEL_STANDIN_SECONDS", value, 16);
  char narrow[16];
  for (DWORD i = 0; i < valueLength && i < 16; ++i) narrow[i] = static_cast<char>(value[i]);
  const long seconds = valueLength < 16 ? SecondsFrom(std::string_view(narrow, valueLength)) : -1;
  if (seconds == 0) return 0;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StandinWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"ZelStandin";
  RegisterClassW(&windowClass);
  wchar_t title[MAX_PATH];
  const int titleLength = MultiByteToWideChar(
      CP_ACP, 0, startName.data(), static_cast<int>(startName.size()), title, MAX_PATH - 1);
  title[titleLength > 0 ? titleLength : 0] = L'\0';
  const HWND window = CreateWindowExW(0, L"ZelStandin", title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 520, 180, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  if (seconds > 0) SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

#else

namespace {

void AppendToLog(std::string_view text) {
  const int fd = ::open("launches.log", O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // One write per line: appends of programs running side by side never mix.
  (void)!::write(fd, text.data(), text.size());
  ::close(fd);
}

// A stand-in that outlives its starter must not keep the starter's terminal
// or a test runner's output pipe open.
void DetachStandardStreams() {
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return;
  for (int fd = 0; fd <= 2; ++fd) ::dup2(null, fd);
  ::close(null);
}

void Stay(long seconds) {
  timespec left{seconds, 0};
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace

int main(int, char** argv) {
  DetachStandardStreams();
  char ownPath[4096];
  const ssize_t length = ::readlink("/proc/self/exe", ownPath, sizeof ownPath);
  const std::string_view startName =
      zel::StartNameOf(length > 0 ? std::string_view(ownPath, static_cast<std::size_t>(length))
                             : std::string_view(argv[0] ? argv[0] : ""));

  Line line;
  line.Add(startName);
  if (const std::optional<zel::SolverIdentity> solver = zel::IdentifySolver(startName))
    Decode(solver->family, ReadOwnLetters(zel::LayoutOf(solver->family)), line);
  else
    line.Add(zel::SameFileName(startName, zel::kVideoProgram) ? " started" : " unknown-program");
  line.Add(" pid=");
  line.AddNumber(static_cast<unsigned long>(::getpid()));
  line.Add("\n");
  AppendToLog(line.text());

  const char* value = std::getenv("ZEL_STANDIN_SECONDS");
  const long seconds = SecondsFrom(value ? value : "");
  if (seconds > 0) Stay(seconds);
  return 0;
}

#endif
