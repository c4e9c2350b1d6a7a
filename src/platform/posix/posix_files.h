// Files on POSIX. Relative names are taken from the program folder; a drive
// path "C:\dir\file" is taken from the drive root, so that the Windows paths
// of the logic work unchanged (the root is "/" by default, a test folder in
// tests).
#pragma once

#include <string>

#include "platform/failure.h"
#include "platform/files.h"

namespace zel::platform {

class PosixFiles final : public Files {
 public:
  explicit PosixFiles(std::string programFolder = ".", std::string driveRoot = "/");

  std::string ReadAll(std::string_view name) override;
  void ProbeWritable(std::string_view name) override;
  TemporaryFile CreateTemporaryBeside(std::string_view beside) override;
  void Replace(std::string_view from, std::string_view to) override;
  std::unique_ptr<UpdateFile> OpenForUpdate(std::string_view name) override;
  void RemoveFile(std::string_view name) override;
  void RemoveEmptyFolder(std::string_view name) override;
  std::unique_ptr<FileLock> LockExclusive(std::string_view name) override;

  // The path the operations use for a name.
  std::string Resolve(std::string_view name) const;

 private:
  std::string programFolder_;
  std::string driveRoot_;
};

// A Failure from errno as the failing call left it.
Failure ErrnoFailure(int error, std::string_view subject);

}  // namespace zel::platform
