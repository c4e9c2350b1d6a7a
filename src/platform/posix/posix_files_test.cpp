// The POSIX files over a real temporary folder: where names lead, what a
// failing open leaves, how a patch beyond the end grows a file, that no
// descriptor outlives its operation or reaches a started program, and how a
// settings file that is a symbolic link is replaced.
#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "platform/fake/faulty_files.h"
#include "platform/posix/posix_processes.h"
#include "settings/settings.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

int FailureCode(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const Failure& failure) {
    return failure.code;
  }
  return 0;
}

TEST(PosixFiles, DrivePathsLeadUnderTheDriveRootAndOtherNamesIntoTheProgramFolder) {
  const PosixFiles files("/p/prog", "/p/drive");
  EXPECT_EQ(files.Resolve("C:\\Zelmiku\\install.bat"), "/p/drive/Zelmiku/install.bat");
  EXPECT_EQ(files.Resolve("c:\\Zelmiku"), "/p/drive/Zelmiku");
  EXPECT_EQ(files.Resolve("C:/Zelmiku/vb5db.dll"), "/p/drive/Zelmiku/vb5db.dll");
  EXPECT_EQ(files.Resolve("enfo00.dat"), "/p/prog/enfo00.dat");
  EXPECT_EQ(files.Resolve("sub\\Help01.bmp"), "/p/prog/sub/Help01.bmp");
  EXPECT_EQ(files.Resolve("/abs/file"), "/abs/file");
  EXPECT_EQ(PosixFiles().Resolve("C:\\Zelmiku\\install.bat"), "/Zelmiku/install.bat");
  EXPECT_EQ(PosixFiles().Resolve("enfo00.dat"), "enfo00.dat");

  // And through the real operations.
  TestFolder root;
  root.Write("drive/Zelmiku/install.bat", "echo\r\n");
  fs::create_directories(root / "prog");
  PosixFiles real((root / "prog").string(), (root / "drive").string());
  real.RemoveFile("C:\\Zelmiku\\install.bat");
  EXPECT_FALSE(root.Exists("drive/Zelmiku/install.bat"));
  real.RemoveEmptyFolder("C:\\Zelmiku");
  EXPECT_FALSE(root.Exists("drive/Zelmiku"));
  EXPECT_EQ(FailureCode([&] { real.RemoveFile("C:\\Zelmiku\\install.bat"); }), ENOENT);
}

TEST(PosixFiles, OpeningAMissingFileForUpdateCreatesNothing) {
  TestFolder folder;
  PosixFiles files(folder.path().string());
  try {
    files.OpenForUpdate("Kombiru.exe");
    FAIL() << "a missing file was opened";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code, ENOENT);
    EXPECT_EQ(failure.subject, "Kombiru.exe");
  }
  EXPECT_EQ(folder.List(), "");
}

TEST(PosixFiles, BytesWrittenBeyondTheEndGrowTheFileWithZeros) {
  TestFolder folder;
  folder.Write("Kombiru.exe", "abc");
  PosixFiles files(folder.path().string());
  auto file = files.OpenForUpdate("Kombiru.exe");
  file->WriteByteAt(1, 'X');
  file->WriteByteAt(10, 'Z');
  file->Close();
  EXPECT_EQ(folder.Read("Kombiru.exe"), std::string("aXc\0\0\0\0\0\0\0Z", 11));
}

TEST(PosixFiles, AFifoInASettingsFilesPlaceFailsInsteadOfHanging) {
  TestFolder folder;
  ASSERT_EQ(::mkfifo((folder / "enfo00.dat").c_str(), 0644), 0);
  PosixFiles files(folder.path().string());
  // Without a writer the read sees no value; without a reader the probe fails.
  EXPECT_EQ(FailureCode([&] { ReadSetting(files, "enfo00.dat"); }), ENODATA);
  EXPECT_EQ(FailureCode([&] { files.ProbeWritable("enfo00.dat"); }), ENXIO);
}

TEST(PosixFiles, AReplacedSettingsFileKeepsItsPermissionBits) {
  TestFolder folder;
  folder.Write("pnfo00.dat", "\"Y\"\r\n");
  ASSERT_EQ(::chmod((folder / "pnfo00.dat").c_str(), 0640), 0);
  PosixFiles files(folder.path().string());
  WriteSetting(files, "pnfo00.dat", std::string_view("N"));
  struct stat info;
  ASSERT_EQ(::stat((folder / "pnfo00.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.Read("pnfo00.dat"), "\"N\"\r\n");
}

TEST(PosixFiles, RemovingAFolderThatIsNotEmptyFailsAndKeepsIt) {
  TestFolder root;
  root.Write("drive/Zelmiku/mci32.ocx", "x");
  PosixFiles files((root / "prog").string(), (root / "drive").string());
  EXPECT_EQ(FailureCode([&] { files.RemoveEmptyFolder("C:\\Zelmiku"); }), ENOTEMPTY);
  EXPECT_EQ(root.Read("drive/Zelmiku/mci32.ocx"), "x");
}

int OpenDescriptors() {
  int count = 0;
  DIR* folder = ::opendir("/proc/self/fd");
  if (!folder) return -1;
  while (const dirent* entry = ::readdir(folder)) count += entry->d_name[0] != '.';
  ::closedir(folder);
  return count;
}

TEST(PosixFiles, NoDescriptorOutlivesItsOperationOnAnyPath) {
  TestFolder folder;
  folder.WriteSettings();
  folder.Write("Kombiru.exe", std::string(64, '\0'));
  PosixFiles native(folder.path().string());
  FaultyFiles files(native);
  const int before = OpenDescriptors();
  ASSERT_GT(before, 0);

  ReadSetting(files, "enfo00.dat");
  WriteSetting(files, "enfo00.dat", std::string_view("E"));
  WriteSetting(files, "playea.ini", 3);
  files.OpenForUpdate("Kombiru.exe")->WriteByteAt(5, 't');  // dropped without Close
  auto patched = files.OpenForUpdate("Kombiru.exe");
  patched->WriteByteAt(6, 'P');
  patched->Close();
  // Failing paths: missing files, and a write whose temporary file fails.
  EXPECT_NE(FailureCode([&] { ReadSetting(files, "missing.dat"); }), 0);
  EXPECT_NE(FailureCode([&] { files.OpenForUpdate("missing.exe"); }), 0);
  EXPECT_NE(FailureCode([&] { WriteSetting(files, "no/such/folder.dat", 1); }), 0);
  for (const char* step : {"Write", "FlushToDisk", "Close", "Replace"}) {
    files.FailOperation(step, 1, EIO);
    EXPECT_EQ(FailureCode([&] { WriteSetting(files, "pnfo00.dat", std::string_view("N")); }), EIO);
  }
  files.FailCall(0, 0);

  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(files.openHandles(), 0);
  EXPECT_EQ(folder.List(), "Kombiru.exe Sound.dat enfo00.dat playea.ini pnfo00.dat");
}

// Runs in a started program: lists the files it holds open.
constexpr const char* kDescriptorProbe =
    "#!/bin/sh\n"
    "ls -l /proc/$$/fd/ > fd-list.part && mv fd-list.part fd-list.txt\n";

class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : saved_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~CurrentFolder() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST(PosixFiles, AStartedProgramInheritsNoOpenFile) {
  TestFolder folder;
  folder.Write("Kombiru.exe", std::string(64, '\0'));
  folder.Write("marker.txt", "inherited on purpose");
  folder.Write("zel-fd-probe", kDescriptorProbe);
  fs::permissions(folder / "zel-fd-probe", fs::perms::owner_all);
  PosixFiles files(folder.path().string());

  // Held open while the program starts: a patch in progress and a new file.
  auto patch = files.OpenForUpdate("Kombiru.exe");
  auto temporary = files.CreateTemporaryBeside("enfo00.dat");
  // The check can see an inherited descriptor: this one is meant to be.
  const int marker = ::open((folder / "marker.txt").c_str(), O_RDONLY);
  ASSERT_GE(marker, 0);
  {
    CurrentFolder inFolder(folder.path());
    PosixProcesses().StartProgram("zel-fd-probe", 1);
  }
  ::close(marker);
  patch->Close();
  temporary.file->Close();

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!folder.Exists("fd-list.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::string list = folder.Read("fd-list.txt");
  ASSERT_NE(list.find("marker.txt"), std::string::npos) << list;
  EXPECT_EQ(list.find("Kombiru.exe"), std::string::npos) << list;
  EXPECT_EQ(list.find(temporary.name), std::string::npos) << list;
}

TEST(PosixFiles, ASymbolicallyLinkedSettingIsReplacedWhereItPointsAndStaysALink) {
  TestFolder root;
  root.Write("shared/real.dat", "\"E\"\r\n");
  fs::create_directories(root / "prog");
  fs::create_symlink("../shared/real.dat", root / "prog" / "enfo00.dat");
  fs::create_symlink("enfo00.dat", root / "prog" / "chain.dat");
  fs::create_symlink("../shared/later.dat", root / "prog" / "dangling.dat");
  PosixFiles files((root / "prog").string());

  WriteSetting(files, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(root.Read("shared/real.dat"), "\"R\"\r\n");
  WriteSetting(files, "chain.dat", std::string_view("Y"));  // a link to a link
  EXPECT_EQ(root.Read("shared/real.dat"), "\"Y\"\r\n");
  // A link to a file not there yet creates that file, as a direct write would.
  WriteSetting(files, "dangling.dat", 3);
  EXPECT_EQ(root.Read("shared/later.dat"), "3\r\n");

  for (const char* link : {"enfo00.dat", "chain.dat", "dangling.dat"}) {
    EXPECT_TRUE(fs::is_symlink(root / "prog" / link)) << link;
  }
  EXPECT_EQ(fs::read_symlink(root / "prog" / "enfo00.dat"), "../shared/real.dat");
  EXPECT_EQ(ReadSetting(files, "enfo00.dat").AsText(), "Y");
  {
    // As the shell runs: names relative to the current folder.
    CurrentFolder inProgram(root / "prog");
    PosixFiles relative;
    WriteSetting(relative, "enfo00.dat", std::string_view("E"));
  }
  EXPECT_EQ(root.Read("shared/real.dat"), "\"E\"\r\n");
  EXPECT_TRUE(fs::is_symlink(root / "prog" / "enfo00.dat"));
  // The temporary files were made beside the real files and are gone.
  EXPECT_EQ(root.List(), "prog shared");
  std::vector<std::string> shared;
  for (const auto& entry : fs::directory_iterator(root / "shared"))
    shared.push_back(entry.path().filename().string());
  std::sort(shared.begin(), shared.end());
  EXPECT_EQ(shared, (std::vector<std::string>{"later.dat", "real.dat"}));
}

}  // namespace
}  // namespace zel::platform
