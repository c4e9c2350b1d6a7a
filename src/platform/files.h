// File operations the logic uses. Relative names are taken from the program
// folder; a drive path such as "C:\Zelmiku\install.bat" is absolute. Every
// operation throws Failure with the platform's error; every handle is closed by
// its destructor on any path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zel::platform {

// A new file being written. Close() reports errors that the destructor cannot.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::string_view bytes) = 0;
  virtual void FlushToDisk() = 0;
  virtual void Close() = 0;
};

// An existing file opened for reading and writing without truncation.
class UpdateFile {
 public:
  virtual ~UpdateFile() = default;
  virtual void WriteByteAt(std::uint64_t offset, char byte) = 0;  // 0-based offset
  virtual void Close() = 0;
};

// An exclusive lock, held until destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

struct TemporaryFile {
  std::string name;  // the name to hand to Files::Replace or Files::RemoveFile
  std::unique_ptr<OutputFile> file;
};

class Files {
 public:
  virtual ~Files() = default;

  // The whole content of an existing file.
  virtual std::string ReadAll(std::string_view name) = 0;

  // If the file exists, opens it for writing without truncating it and closes it
  // again, so that a file that may not be written fails here as a write would.
  virtual void ProbeWritable(std::string_view name) = 0;

  // Creates a new, empty file in the folder of `beside`, never reusing an
  // existing name.
  virtual TemporaryFile CreateTemporaryBeside(std::string_view beside) = 0;

  // Puts `from` in the place of `to` in one step, durably.
  virtual void Replace(std::string_view from, std::string_view to) = 0;

  virtual std::unique_ptr<UpdateFile> OpenForUpdate(std::string_view name) = 0;

  virtual void RemoveFile(std::string_view name) = 0;
  virtual void RemoveEmptyFolder(std::string_view name) = 0;

  // Waits until this holder alone has the exclusive lock of the file `name`,
  // creating it empty when missing; other processes, and other locks of this
  // process, wait meanwhile. Gives up with the platform's lock error after
  // kLockPatienceMs. The lock file is never written, replaced or removed, so
  // all writers of a folder meet at the same file.
  virtual std::unique_ptr<FileLock> LockExclusive(std::string_view name) = 0;
};

// How long LockExclusive waits for another holder: a writer holds the lock
// while it reads and replaces one small file, some milliseconds.
inline constexpr int kLockPatienceMs = 5000;

}  // namespace zel::platform
