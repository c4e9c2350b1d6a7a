// The installer as a user runs it, silently, into a fresh folder of the Wine
// prefix: what it delivers and registers, what a second installation and the
// uninstaller keep, and the program file's version and icon. Every wait is
// bounded; a program that outlives its wait is ended.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/menu_tree.h"
#include "platform/win32/caption.h"
#include "platform/win32/command_ids.h"
#include "platform/win32/icon_testing.h"
#include "platform/win32/solver/solver_window.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"
#include "testing/test_folder.h"
#include "zel_version.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using platform::Widen;

const fs::path kInstaller = ZEL_INSTALLER;
const fs::path kStaging = ZEL_STAGING_DIR;
constexpr const wchar_t* kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zelmiku";
constexpr DWORD kLimitMs = 30000;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::wstring> Names(const fs::path& folder) {
  std::set<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().wstring());
  return names;
}

// Starts a program and waits for it; its exit status, or -1 if it had to be
// ended after `limitMs`.
int RunAndWait(const fs::path& program, const std::wstring& arguments, DWORD limitMs = kLimitMs) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return -2;
  DWORD status = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &status);
  else
    TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// Polls until `done` holds or `limitMs` has passed; whether it holds.
template <class Done>
bool WaitUntil(Done done, DWORD limitMs = kLimitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

bool UninstallKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::optional<std::wstring> RegText(const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

std::optional<DWORD> RegNumber(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

fs::path ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

fs::path StartMenuShortcut() {
  return ShellFolder(CSIDL_PROGRAMS) / (Widen(ZEL_PRODUCT_NAME) + L".lnk");
}
fs::path DesktopShortcut() {
  return ShellFolder(CSIDL_DESKTOPDIRECTORY) / (Widen(ZEL_PRODUCT_NAME) + L".lnk");
}

struct Shortcut {
  std::wstring target;
  std::wstring workingFolder;
  std::wstring iconFile;
  int iconIndex;
};

std::optional<Shortcut> ReadShortcut(const fs::path& file) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return std::nullopt;
  std::optional<Shortcut> result;
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int iconIndex = 0;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    result = Shortcut{target, folder, icon, iconIndex};
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return result;
}

// Paths compared as Windows compares them: case-insensitive, either slash.
bool SamePath(const fs::path& a, const fs::path& b) {
  const std::wstring x = a.lexically_normal().make_preferred().wstring();
  const std::wstring y = b.lexically_normal().make_preferred().wstring();
  return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                              static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

// The settings files exactly as the shell writes its defaults.
constexpr std::pair<const char*, std::string_view> kDefaultSettings[] = {
    {"enfo00.dat", "\"R\"\r\n"}, {"pnfo00.dat", "\"Y\"\r\n"}, {"Sound.dat", "1\r\n"}};

// Each test installs into a fresh folder whose name has a blank, and leaves
// the prefix without the key and the shortcut, whatever happened. The name is
// ASCII: Wine reads a shortcut's target back in the ANSI code page only.
class Installer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(UninstallKeyExists()) << "left by an earlier run"; }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    DeleteFileW(StartMenuShortcut().c_str());
    DeleteFileW(DesktopShortcut().c_str());
  }

  int Install() { return RunAndWait(kInstaller, L"/S /D=" + folder_.wstring()); }
  // In place: the uninstaller waits for its work and leaves itself behind.
  int UninstallInPlace() {
    return RunAndWait(folder_ / L"Uninstall.exe", L"/S _?=" + folder_.wstring());
  }
  std::string Read(const char* name) const { return ReadAll(folder_ / name); }
  void Write(const char* name, std::string_view bytes) const { WriteAll(folder_ / name, bytes); }

  testing::TestFolder scratch_;
  const fs::path folder_ = scratch_.path() / L"Chess tactics";
};

TEST_F(Installer, DeliversEveryStagedFileAndTheDefaultSettings) {
  ASSERT_EQ(Install(), 0);
  std::size_t files = 0;
  std::uintmax_t bytes = 0;
  for (const char* part : {"program", "solvers"}) {
    for (const auto& staged : fs::directory_iterator(kStaging / part)) {
      const fs::path installed = folder_ / staged.path().filename();
      EXPECT_EQ(ReadAll(installed), ReadAll(staged.path())) << installed;
      ++files;
      bytes += staged.file_size();
    }
  }
  EXPECT_GE(files, 4u + 2u + 3u + 33u);  // solvers, shell and problems, settings, pictures
  for (const auto& [name, defaults] : kDefaultSettings) EXPECT_EQ(Read(name), defaults) << name;
  EXPECT_TRUE(fs::exists(folder_ / "Uninstall.exe"));

  const std::wstring program = (folder_ / L"Zelmiku.exe").wstring();
  const std::wstring uninstaller = L"\"" + (folder_ / L"Uninstall.exe").wstring() + L"\"";
  EXPECT_EQ(RegText(L"DisplayName"), Widen(platform::kProductTitle));
  EXPECT_EQ(RegText(L"DisplayVersion"), Widen(ZEL_VERSION_TEXT));
  EXPECT_EQ(RegText(L"Publisher"), Widen(ZEL_PUBLISHER));
  EXPECT_EQ(RegText(L"DisplayIcon"), program + L",0");
  EXPECT_EQ(RegText(L"InstallLocation"), folder_.wstring());
  EXPECT_EQ(RegText(L"UninstallString"), uninstaller);
  EXPECT_EQ(RegText(L"QuietUninstallString"), uninstaller + L" /S");
  EXPECT_EQ(RegNumber(L"NoModify"), 1u);
  EXPECT_EQ(RegNumber(L"NoRepair"), 1u);
  // makensis counts each file in whole KB.
  const auto estimated = RegNumber(L"EstimatedSize");
  ASSERT_TRUE(estimated);
  EXPECT_GE(*estimated, bytes / 1024);
  EXPECT_LE(*estimated, bytes / 1024 + files);

  const auto shortcut = ReadShortcut(StartMenuShortcut());
  ASSERT_TRUE(shortcut) << StartMenuShortcut();
  EXPECT_TRUE(SamePath(shortcut->target, program)) << shortcut->target;
  EXPECT_TRUE(SamePath(shortcut->workingFolder, folder_)) << shortcut->workingFolder;
  EXPECT_TRUE(SamePath(shortcut->iconFile, program)) << shortcut->iconFile;
  // Asked for only on the components page.
  EXPECT_FALSE(fs::exists(DesktopShortcut()));
}

// The shell started from a folder as a shortcut starts it. Its window shows
// only once the settings files were read from the current folder; without
// them the shell waits in a message box instead.
class StartedShell {
 public:
  StartedShell(const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process_))
      return;
    WaitUntil([&] {
      window_ = VisibleWindow();
      return window_ || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
    });
  }
  ~StartedShell() { Close(); }
  StartedShell(const StartedShell&) = delete;
  StartedShell& operator=(const StartedShell&) = delete;

  // Null unless the window showed within the limit.
  HWND window() const { return window_; }

  // Closed as the user closes it, or ended if it shows no window: the exit
  // status, 99 when it had to be ended.
  DWORD Close() {
    if (!process_.hProcess) return status_;
    if (window_ && PostMessageW(window_, WM_CLOSE, 0, 0) &&
        WaitForSingleObject(process_.hProcess, 15000) == WAIT_OBJECT_0)
      GetExitCodeProcess(process_.hProcess, &status_);
    else
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
    window_ = nullptr;
    return status_;
  }

 private:
  HWND VisibleWindow() const {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, platform::kWindowClass, nullptr))) {
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner == process_.dwProcessId && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
  }

  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  DWORD status_ = 99;
};

TEST_F(Installer, TheShortcutShowsTheProgramIconAndStartsTheShellInItsFolder) {
  ASSERT_EQ(Install(), 0);
  const auto shortcut = ReadShortcut(StartMenuShortcut());
  ASSERT_TRUE(shortcut);
  // The icon the shortcut shows, as Explorer takes it from its icon location.
  HICON large = nullptr, small = nullptr;
  ExtractIconExW(shortcut->iconFile.c_str(), shortcut->iconIndex, &large, &small, 1);
  EXPECT_EQ(testing::IconWidth(large), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(testing::IconWidth(small), GetSystemMetrics(SM_CXSMICON));
  for (HICON icon : {large, small})
    if (icon) DestroyIcon(icon);

  // The window's own icons are checked in the window tests: Wine answers
  // neither WM_GETICON nor GetClassLongPtrW for another process's window.
  StartedShell shell(shortcut->target, shortcut->workingFolder);
  EXPECT_TRUE(shell.window()) << "no window within 30 s";
  EXPECT_EQ(shell.Close(), 0u);
}

// The solver window of that title, shown by any process; null if none shows
// within the limit.
HWND WaitForSolver(const std::string& title) {
  HWND found = nullptr;
  WaitUntil([&] {
    found = FindWindowW(platform::SolverWindow::kClassName, Widen(title).c_str());
    return found && IsWindowVisible(found) &&
           GetDlgItem(found, platform::kIdPlay);  // the panel is made once the board is shown
  });
  return found;
}

// Closed as the user closes it; true once its process has ended. The window
// goes first, and the program file stays open until the process ends: the
// shell cannot write into it before.
bool CloseSolver(HWND solver) {
  DWORD id = 0;
  GetWindowThreadProcessId(solver, &id);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  PostMessageW(solver, WM_CLOSE, 0, 0);
  if (!process) return WaitUntil([&] { return !IsWindow(solver); });
  const bool ended = WaitForSingleObject(process, kLimitMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// Sends a message to another program's window, as a user's click does; false
// if it was not handled within the limit (a message box would hold it).
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kLimitMs, &result) != 0;
}

// The product as a user has it after installing: each course and collection
// item the menus show, clicked in the shell, opens that course in the solver
// of the language chosen in the shell, with its board; and a problem is solved
// in the window by moves typed there.
class InstalledProduct : public Installer, public ::testing::WithParamInterface<bool> {};

TEST_P(InstalledProduct, EveryVisibleCourseItemOpensItsCourseInTheSolverOfTheChosenLanguage) {
  const bool russian = GetParam();
  ASSERT_EQ(Install(), 0);
  StartedShell shell((folder_ / L"Zelmiku.exe").wstring(), folder_.wstring());
  ASSERT_TRUE(shell.window());
  const auto choose = [&](Control control) {
    return SendWithin(shell.window(), WM_COMMAND, platform::CommandId(control), 0);
  };
  ASSERT_TRUE(choose(russian ? Control::mnuRussian : Control::mnuEnglish));
  const chess::Language language = russian ? chess::Language::Russian : chess::Language::English;

  int opened = 0;
  for (const solver::CourseInfo& course : solver::kCourses) {
    const Control item = course.controls[0];
    if (!IsReachable(item)) continue;  // the two hidden collections
    ASSERT_TRUE(choose(item)) << ControlName(item) << ": the shell did not answer";
    const HWND solver = WaitForSolver(std::string(course.Title(language)));
    ASSERT_TRUE(solver) << ControlName(item) << ": no solver window titled "
                        << course.Title(language);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(solver, platform::kIdBoard))) << ControlName(item);
    ASSERT_TRUE(CloseSolver(solver)) << ControlName(item);
    ++opened;
  }
  EXPECT_EQ(opened, 12);  // practice, Тактика-1 to -9, "Шах и мат", "Тактика"

  // "Тактика-1" again, and its first problem solved by typed moves.
  ASSERT_TRUE(choose(Control::mnuTactics1));
  const HWND solver = WaitForSolver(std::string(solver::FindCourse("tactics1")->Title(language)));
  ASSERT_TRUE(solver);
  platform::Win32Files files(folder_.string(), folder_.string());
  const solver::ProblemData data = solver::ReadProblemData(files);
  const solver::Problem& first = data.Find("tactics1")->problems.front();
  const HWND edit = GetDlgItem(solver, platform::kIdMoveEdit);
  const HWND play = GetDlgItem(solver, platform::kIdPlay);
  const HWND status = GetDlgItem(solver, platform::kIdStatus);
  const auto says_reply = [&] {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(status, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    const std::wstring_view said(text);
    return said.starts_with(L"Ответ: ") || said.starts_with(L"Reply: ");
  };
  for (std::size_t ply = 0; ply < first.line.size(); ply += 2) {
    const std::wstring move = Widen(chess::UciText(first.line[ply]));
    const auto play_move = [&] {
      return SendWithin(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(move.c_str())) &&
             SendWithin(play, BM_CLICK, 0, 0);
    };
    if (ply == 0) {
      ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(play) != FALSE; }));
      ASSERT_TRUE(play_move());
      continue;
    }
    // The solver's turn comes once the defender's reply has been shown and
    // its man has moved; the commands keep their look meanwhile and a move
    // played before then is not taken, so the move is played until the
    // status line no longer shows the reply.
    ASSERT_TRUE(WaitUntil(says_reply)) << "ply " << ply;
    ASSERT_TRUE(WaitUntil([&] { return play_move() && !says_reply(); })) << "ply " << ply;
  }
  EXPECT_TRUE(WaitUntil([&] {
    return Read("tactics1.prg").find(first.id + " first") != std::string::npos;
  })) << Read("tactics1.prg");
  EXPECT_TRUE(CloseSolver(solver));
  EXPECT_EQ(shell.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, InstalledProduct, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return std::string(param.param ? "Russian" : "English");
                         });

TEST_F(Installer, NeitherInstallerNorUninstallerTouchAFolderWhoseShellIsRunning) {
  ASSERT_EQ(Install(), 0);
  Write("enfo00.dat", "\"E\"\r\n");
  StartedShell shell((folder_ / L"Zelmiku.exe").wstring(), folder_.wstring());
  ASSERT_TRUE(shell.window());
  const auto before = Names(folder_);

  // Silent: the question whether to retry is answered "cancel".
  EXPECT_EQ(Install(), 2);
  EXPECT_EQ(UninstallInPlace(), 2);
  EXPECT_EQ(Names(folder_), before);
  EXPECT_EQ(Read("enfo00.dat"), "\"E\"\r\n");
  EXPECT_EQ(RegText(L"InstallLocation"), folder_.wstring());

  EXPECT_EQ(shell.Close(), 0u);
  EXPECT_EQ(UninstallInPlace(), 0);
  EXPECT_EQ(Names(folder_), std::set<std::wstring>{L"Uninstall.exe"});
}

TEST_F(Installer, ASecondInstallationKeepsChangedSettingsAndASolverPutThereFirst) {
  fs::create_directories(folder_);
  const std::string solver = "MZ a real solver, not ours";
  Write("Kombiru.exe", solver);
  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(Read("Kombiru.exe"), solver);
  EXPECT_EQ(Read("Kombien.exe"), ReadAll(kStaging / "solvers/Kombien.exe"));

  Write("enfo00.dat", "\"E\"\r\n");
  Write("pnfo00.dat", "\"N\"\r\n");
  Write("Sound.dat", "3\r\n");
  WriteAll(folder_ / "Zelmiku.exe", "an older program");
  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(Read("enfo00.dat"), "\"E\"\r\n");
  EXPECT_EQ(Read("pnfo00.dat"), "\"N\"\r\n");
  EXPECT_EQ(Read("Sound.dat"), "3\r\n");
  EXPECT_EQ(Read("Kombiru.exe"), solver);
  EXPECT_EQ(Read("Zelmiku.exe"), ReadAll(kStaging / "program/Zelmiku.exe")) << "not updated";
}

TEST_F(Installer, AnUpdateReplacesTheSolversItPutThereButNotAProgramFromElsewhere) {
  ASSERT_EQ(Install(), 0);
  // The shell writes its letters into a solver it starts, keeping its size.
  std::string patched = Read("Kombiru.exe");
  patched[94118] = 't';
  Write("Kombiru.exe", patched);
  // An earlier version's stand-in, recorded as such.
  const std::string standin(30000, 'S');
  Write("ZelmikuR.exe", standin);
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kUninstallKey, L"Solver ZelmikuR.exe");
  const DWORD standinSize = static_cast<DWORD>(standin.size());
  RegSetKeyValueW(HKEY_CURRENT_USER, kUninstallKey, L"Standin ZelmikuR.exe", REG_DWORD,
                  &standinSize, sizeof standinSize);
  // A program the user copied over one of ours.
  const std::string foreign = "MZ another solver";
  Write("ZelmikuE.exe", foreign);

  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(Read("Kombiru.exe"), ReadAll(kStaging / "solvers/Kombiru.exe"));
  EXPECT_EQ(Read("ZelmikuR.exe"), ReadAll(kStaging / "solvers/ZelmikuR.exe"));
  EXPECT_FALSE(RegNumber(L"Standin ZelmikuR.exe"));
  EXPECT_EQ(RegNumber(L"Solver ZelmikuR.exe"), fs::file_size(folder_ / "ZelmikuR.exe"));
  EXPECT_EQ(Read("ZelmikuE.exe"), foreign);
}

TEST_F(Installer, AReinstallRepairsASettingsFileTheShellCannotReadAndKeepsAReadableOne) {
  ASSERT_EQ(Install(), 0);
  Write("enfo00.dat", "");
  Write("pnfo00.dat", " \r\n\t\r\n");
  Write("Sound.dat", "x\r\n");  // a value, if not one the shell expects: the user's
  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(Read("enfo00.dat"), "\"R\"\r\n");
  EXPECT_EQ(Read("pnfo00.dat"), "\"Y\"\r\n");
  EXPECT_EQ(Read("Sound.dat"), "x\r\n");
}

TEST_F(Installer, UninstallingRemovesWhatTheProgramWroteAndKeepsForeignFiles) {
  fs::create_directories(folder_);
  const std::string solver = "MZ a real solver, not ours";
  Write("ZelmikuR.exe", solver);
  ASSERT_EQ(Install(), 0);
  // What the shell and the stand-ins leave in their folder while they run,
  // the writer's leftovers after a crash among them.
  Write("playea.ini", "7\r\n");
  Write("playeo.ini", "2\r\n");
  Write("launches.log", "Kombiru ...\r\n");
  Write("enfo00.dat.~1234-0.tmp", "\"E\"");
  Write("playeo.ini.~88-12.tmp", "");
  // What the solvers write: every course's progress and the user's rating,
  // a damaged one set aside, a writer's leftover and the lock.
  for (const solver::CourseInfo& course : solver::kCourses) {
    const std::string name(course.progressFile);
    Write(name.c_str(), "Zelmiku progress 1\r\n");
    Write((name + ".bad").c_str(), "damaged");
  }
  const std::string rating(solver::kRatingFile);
  Write(rating.c_str(), "Zelmiku rating 1\r\n");
  Write((rating + ".bad").c_str(), "damaged");
  Write((rating + ".~12-0.tmp").c_str(), "");
  Write("tactics3.prg.~77-1.tmp", "");
  Write("progress.lck", "");
  // The user's own files, one named much like a leftover.
  Write("notes.txt", "mine");
  Write("enfo00.dat.bak", "\"E\"\r\n");
  // A stand-in the user replaced by a real solver after the installation.
  const std::string replaced(ReadAll(folder_ / "Kombien.exe").size() + 1, 'x');
  Write("Kombien.exe", replaced);

  ASSERT_EQ(UninstallInPlace(), 0);
  EXPECT_EQ(Names(folder_),
            (std::set<std::wstring>{L"Kombien.exe", L"Uninstall.exe", L"ZelmikuR.exe",
                                    L"enfo00.dat.bak", L"notes.txt"}));
  EXPECT_EQ(Read("ZelmikuR.exe"), solver);
  EXPECT_EQ(Read("Kombien.exe"), replaced);
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(fs::exists(StartMenuShortcut()));
}

// NSIS's uninstaller copies itself to the temporary folder, starts the copy
// and ends; the copy does the work. It must be gone before the test ends.
bool UninstallerCopiesEnded() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    running = running || _wcsnicmp(entry.szExeFile, L"Un_", 3) == 0;
  CloseHandle(snapshot);
  return !running;
}

TEST_F(Installer, UninstallingRemovesTheFolderTheKeyAndTheShortcut) {
  ASSERT_EQ(Install(), 0);
  Write("playea.ini", "3\r\n");
  Write("Sound.dat.~4-0.tmp", "3\r\n");
  ASSERT_EQ(RunAndWait(folder_ / L"Uninstall.exe", L"/S"), 0);
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(folder_); })) << "still there after 30 s";
  EXPECT_TRUE(WaitUntil(&UninstallerCopiesEnded));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(fs::exists(StartMenuShortcut()));
}

// --- The program file as Explorer reads it --------------------------------------

class Module {
 public:
  explicit Module(const fs::path& file)
      : handle_(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~Module() {
    if (handle_) FreeLibrary(handle_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE get() const { return handle_; }

  std::string_view Resource(LPCWSTR type, LPCWSTR name) const {
    const HRSRC found = FindResourceW(handle_, name, type);
    if (!found) return {};
    return {static_cast<const char*>(LockResource(LoadResource(handle_, found))),
            SizeofResource(handle_, found)};
  }

 private:
  HMODULE handle_;
};

// RT_ICON and RT_GROUP_ICON as wide names: the test is built without UNICODE.
const LPCWSTR kIconType = MAKEINTRESOURCEW(3);
const LPCWSTR kIconGroupType = MAKEINTRESOURCEW(14);

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<ULONG_PTR*>(found) =
      IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0;
  return FALSE;
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(ProgramFile, TheFirstIconGroupHoldsEverySizeSmallOnesAsBitmaps) {
  const Module program(kStaging / "program/Zelmiku.exe");
  ASSERT_TRUE(program.get());
  ULONG_PTR first = 0;
  EnumResourceNamesW(program.get(), kIconGroupType, &TakeFirstName,
                     reinterpret_cast<LONG_PTR>(&first));
  EXPECT_EQ(first, static_cast<ULONG_PTR>(platform::kProgramIconResource));

  const std::string_view group =
      program.Resource(kIconGroupType, MAKEINTRESOURCEW(platform::kProgramIconResource));
  ASSERT_GE(group.size(), 6u);
  const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconEntry));
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const auto& entry = reinterpret_cast<const GroupIconEntry*>(group.data() + 6)[i];
    const int side = entry.width ? entry.width : 256;
    sizes.push_back(side);
    EXPECT_EQ(entry.bitCount, 32) << side;
    const std::string_view image = program.Resource(kIconType, MAKEINTRESOURCEW(entry.id));
    ASSERT_GE(image.size(), 8u) << side;
    const bool png = image.substr(0, 8) == "\x89PNG\r\n\x1a\n";
    EXPECT_EQ(png, side == 256) << side;
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));

  for (int side : {16, 32}) {
    const auto icon = static_cast<HICON>(
        LoadImageW(program.get(), MAKEINTRESOURCEW(platform::kProgramIconResource), IMAGE_ICON,
                   side, side, 0));
    EXPECT_EQ(testing::IconWidth(icon), side);
    if (icon) DestroyIcon(icon);
  }
}

struct VersionInfo {
  std::vector<char> data;
  const VS_FIXEDFILEINFO* fixed = nullptr;
  std::wstring block;  // "\StringFileInfo\041904b0\", from the translation

  explicit VersionInfo(const fs::path& file) {
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    data.resize(size);
    if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return;
    UINT length = 0;
    VerQueryValueW(data.data(), L"\\",
                   reinterpret_cast<void**>(const_cast<VS_FIXEDFILEINFO**>(&fixed)), &length);
    const WORD* translation = nullptr;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) &&
        length >= 4) {
      wchar_t text[64];
      swprintf(text, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
      block = text;
    }
  }
  std::wstring Text(const wchar_t* name) const {
    wchar_t* value = nullptr;
    UINT length = 0;
    if (block.empty() || !VerQueryValueW(data.data(), (block + name).c_str(),
                                         reinterpret_cast<void**>(&value), &length))
      return L"(none)";
    return value;
  }
};

TEST(ProgramFile, VersionResourcesNameTheProductAndTheBuildsVersion) {
  const VersionInfo program(kStaging / "program/Zelmiku.exe");
  ASSERT_TRUE(program.fixed);
  const DWORD high = MAKELONG(ZEL_VERSION_MINOR, ZEL_VERSION_MAJOR);
  const DWORD low = MAKELONG(0, ZEL_VERSION_PATCH);
  EXPECT_EQ(program.fixed->dwFileVersionMS, high);
  EXPECT_EQ(program.fixed->dwFileVersionLS, low);
  EXPECT_EQ(program.fixed->dwProductVersionMS, high);
  EXPECT_EQ(program.fixed->dwProductVersionLS, low);
  EXPECT_EQ(program.block, L"\\StringFileInfo\\041904b0\\");
  EXPECT_EQ(program.Text(L"ProductName"), Widen(platform::kProductTitle));
  EXPECT_EQ(program.Text(L"FileVersion"), Widen(ZEL_VERSION_TEXT));
  EXPECT_EQ(program.Text(L"ProductVersion"), Widen(ZEL_VERSION_TEXT));
  EXPECT_EQ(program.Text(L"OriginalFilename"), L"Zelmiku.exe");
  EXPECT_EQ(program.Text(L"InternalName"), L"Zelmiku");
  EXPECT_EQ(program.Text(L"CompanyName"), Widen(ZEL_PUBLISHER));
  EXPECT_NE(program.Text(L"LegalCopyright").find(Widen(ZEL_PUBLISHER)), std::wstring::npos);
  EXPECT_NE(program.Text(L"FileDescription"), L"(none)");

  // The installer carries the same number.
  const VersionInfo installer(kInstaller);
  ASSERT_TRUE(installer.fixed);
  EXPECT_EQ(installer.fixed->dwProductVersionMS, high);
  EXPECT_EQ(installer.Text(L"ProductVersion"), Widen(ZEL_VERSION_TEXT));
  EXPECT_EQ(installer.Text(L"ProductName"), Widen(platform::kProductTitle));
}

}  // namespace
}  // namespace zel
