// Files through the Win32 API. Relative names are taken from the program
// folder; a drive path "C:\dir\file" is used as it is, or, for tests, below a
// folder that stands in for the drive.
#pragma once

#include <string>

#include "platform/files.h"

namespace zel::platform {

class Win32Files final : public Files {
 public:
  // An empty programFolder leaves relative names relative to the current
  // folder; an empty driveRoot leaves drive paths on the real drives.
  explicit Win32Files(std::string programFolder = "", std::string driveRoot = "");

  std::string ReadAll(std::string_view name) override;
  void ProbeWritable(std::string_view name) override;
  TemporaryFile CreateTemporaryBeside(std::string_view beside) override;
  void Replace(std::string_view from, std::string_view to) override;
  std::unique_ptr<UpdateFile> OpenForUpdate(std::string_view name) override;
  void RemoveFile(std::string_view name) override;
  void RemoveEmptyFolder(std::string_view name) override;
  std::unique_ptr<FileLock> LockExclusive(std::string_view name) override;

  // The UTF-16 path the operations use for a name.
  std::wstring Resolve(std::string_view name) const;

 private:
  std::string programFolder_;
  std::string driveRoot_;
};

}  // namespace zel::platform
