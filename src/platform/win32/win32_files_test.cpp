// What the Win32 files, process start and error texts do beyond what the
// portable tests check through them: drive paths, sharing, read-only files,
// temporary names, and programs started by bare name.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "settings/settings.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

using testing::TestFolder;

// The Win32 numbers as the type Failure carries them.
constexpr std::int32_t Code(DWORD error) { return static_cast<std::int32_t>(error); }

std::int32_t FailureCode(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const Failure& failure) {
    return failure.code;
  }
  return 0;
}

std::string OwnProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return Narrow(path);
}

TEST(Win32Files, DrivePathsGoBelowTheDriveRootAndNamesBelowTheProgramFolder) {
  TestFolder root;
  root.Write("drive/Zelmiku/install.bat", "leftover");
  root.Write("drive/Zelmiku/keep.txt", "other");
  root.Write("prog/enfo00.dat", "\"R\"\r\n");
  Win32Files files((root / "prog").string(), (root / "drive").string());

  EXPECT_EQ(files.ReadAll("enfo00.dat"), "\"R\"\r\n");
  EXPECT_EQ(files.ReadAll("C:\\Zelmiku\\install.bat"), "leftover");
  files.RemoveFile("C:\\Zelmiku\\install.bat");
  EXPECT_FALSE(root.Exists("drive/Zelmiku/install.bat"));
  EXPECT_EQ(FailureCode([&] { files.RemoveFile("C:\\Zelmiku\\install.bat"); }), 2);
  EXPECT_EQ(FailureCode([&] { files.RemoveEmptyFolder("C:\\Zelmiku"); }),
            Code(ERROR_DIR_NOT_EMPTY));
  files.RemoveFile("C:\\Zelmiku\\keep.txt");
  files.RemoveEmptyFolder("C:\\Zelmiku");
  EXPECT_FALSE(root.Exists("drive/Zelmiku"));
  EXPECT_NE(FailureCode([&] { files.RemoveEmptyFolder("C:\\Zelmiku"); }), 0);

  // Without a drive root the path is the real one.
  EXPECT_EQ(Win32Files().Resolve("C:\\Zelmiku\\vb5db.dll"), L"C:\\Zelmiku\\vb5db.dll");
  EXPECT_EQ(Win32Files().Resolve("Sound.dat"), L"Sound.dat");
}

TEST(Win32Files, AFileIsReadWholeWhateverItsSize) {
  TestFolder root;
  // Across the reads' chunks, and not a whole number of them.
  std::string large(2 * 1024 * 1024 + 4097, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 4096);
  root.Write("large.bin", large);
  root.Write("empty.txt", "");
  root.Write("one.txt", "x");
  Win32Files files(root.path().string(), root.path().string());
  EXPECT_EQ(files.ReadAll("large.bin"), large);
  EXPECT_EQ(files.ReadAll("empty.txt"), "");
  EXPECT_EQ(files.ReadAll("one.txt"), "x");
}

TEST(Win32Files, ARunningProgramCanBeReadButNeitherProbedNorPatched) {
  Win32Files files;
  const std::string self = OwnProgram();
  EXPECT_GT(files.ReadAll(self).size(), 100000u);
  EXPECT_EQ(FailureCode([&] { files.OpenForUpdate(self); }), Code(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(FailureCode([&] { files.ProbeWritable(self); }), Code(ERROR_SHARING_VIOLATION));
}

TEST(Win32Files, UpdatesWriteAtTheirOffsetsAndNeverCreate) {
  TestFolder root;
  Win32Files files(root.path().string());
  EXPECT_EQ(FailureCode([&] { files.OpenForUpdate("Kombiru.exe"); }), 2);
  EXPECT_FALSE(root.Exists("Kombiru.exe"));

  root.Write("Kombiru.exe", "0123456789");
  auto update = files.OpenForUpdate("Kombiru.exe");
  update->WriteByteAt(3, 'x');
  update->WriteByteAt(12, 'y');  // past the end: the gap reads as zeros
  update->WriteByteAt(0, 'z');
  update->Close();
  EXPECT_EQ(root.Read("Kombiru.exe"), std::string("z12x456789\0\0y", 13));
}

TEST(Win32Files, TemporaryNamesNeverReuseAFileLeftBehind) {
  TestFolder root;
  Win32Files files(root.path().string());
  const std::string stem = "enfo00.dat.~" + std::to_string(GetCurrentProcessId()) + "-";
  root.Write(stem + "0.tmp", "left by an earlier run");
  TemporaryFile temporary = files.CreateTemporaryBeside("enfo00.dat");
  EXPECT_EQ(temporary.name, stem + "1.tmp");
  temporary.file->Write("\"E\"\r\n");
  temporary.file->FlushToDisk();
  temporary.file->Close();
  files.Replace(temporary.name, "enfo00.dat");
  EXPECT_EQ(root.Read("enfo00.dat"), "\"E\"\r\n");
  EXPECT_EQ(root.Read(stem + "0.tmp"), "left by an earlier run");
  EXPECT_FALSE(root.Exists(stem + "1.tmp"));
}

TEST(Win32Files, AReadOnlySettingsFileIsNeitherReplacedNorMadeWritable) {
  TestFolder root;
  root.Write("enfo00.dat", "\"R\"\r\n");
  root.Write("new.tmp", "\"E\"\r\n");
  const std::wstring target = Widen((root / "enfo00.dat").string());
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  Win32Files files(root.path().string());

  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(FailureCode([&] { files.Replace("new.tmp", "enfo00.dat"); }),
            Code(ERROR_ACCESS_DENIED));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  EXPECT_EQ(root.Read("enfo00.dat"), "\"R\"\r\n");
  EXPECT_TRUE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY);

  // Through WriteSetting: the failure is the access error, and no temporary
  // file stays behind.
  std::filesystem::remove(root / "new.tmp");
  EXPECT_EQ(FailureCode([&] { WriteSetting(files, "enfo00.dat", std::string_view("E")); }),
            Code(ERROR_ACCESS_DENIED));
  EXPECT_EQ(root.List(), "enfo00.dat");
  EXPECT_EQ(root.Read("enfo00.dat"), "\"R\"\r\n");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Runs `operation` with `folder` as the current folder.
void InFolder(const std::filesystem::path& folder, const std::function<void()>& operation) {
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  SetCurrentDirectoryW(folder.wstring().c_str());
  operation();
  SetCurrentDirectoryW(before);
}

TEST(Win32Processes, ABareNameStartsTheProgramBesideTheShellWithItsWindowStyle) {
  TestFolder cwd;
  Win32Processes processes;
  // The test program stands for the shell: the child lies beside it, not in
  // the current folder, and is named without ".exe".
  InFolder(cwd.path(), [&] { processes.StartProgram("ZelTestChild", 1); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!cwd.Exists("started.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(cwd.Exists("started.txt")) << "the child did not start within 20 s";
  const std::string report = cwd.Read("started.txt");
  const std::wstring wide(reinterpret_cast<const wchar_t*>(report.data()), report.size() / 2);
  EXPECT_EQ(Narrow(wide), "ZelTestChild\n1");

  Failure missing;
  InFolder(cwd.path(), [&] {
    try {
      processes.StartProgram("NoSuchSolver", 1);
    } catch (const Failure& failure) {
      missing = failure;
    }
  });
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.subject, "NoSuchSolver");
}

TEST(Win32Failure, NumbersWithTheSystemsOwnTextsOnOneLine) {
  for (const Failure& failure :
       {LastErrorFailure(2, "a"), LastErrorFailure(5, "a"), LastErrorFailure(32, "a"),
        NoValueFailure("a"), InvalidPictureFailure("a")}) {
    SCOPED_TRACE(failure.code);
    ASSERT_FALSE(failure.description.empty());
    EXPECT_EQ(failure.description.find_first_of("\r\n"), std::string::npos);
    EXPECT_NE(failure.description.back(), ' ');
    EXPECT_EQ(failure.subject, "a");
  }
  EXPECT_EQ(NoValueFailure("").code, Code(ERROR_HANDLE_EOF));
  EXPECT_EQ(InvalidPictureFailure("").code, Code(ERROR_INVALID_DATA));
  EXPECT_NE(NoValueFailure("").description, InvalidPictureFailure("").description);
}

TEST(Win32Text, Utf8AndUtf16RoundTrip) {
  const std::string caption = "П&рактика — Тактика-&1";
  const std::wstring wide = Widen(caption);
  EXPECT_EQ(wide, L"П&рактика — Тактика-&1");
  EXPECT_EQ(Narrow(wide), caption);
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(L""), "");
}

}  // namespace
}  // namespace zel::platform
