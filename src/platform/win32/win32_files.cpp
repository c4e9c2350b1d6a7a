#include "platform/win32/win32_files.h"

#include <algorithm>

#include <windows.h>

#include "platform/drive_path.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_handle.h"

namespace zel::platform {
namespace {

[[noreturn]] void ThrowLastError(std::string_view subject) {
  throw LastErrorFailure(GetLastError(), subject);
}

HANDLE OpenOrThrow(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                   std::string_view subject) {
  const HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ThrowLastError(subject);
  return handle;
}

bool IsRootedPath(std::string_view name) {
  return IsDrivePath(name) || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}

std::string JoinBelow(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path += name;
}

class Win32OutputFile final : public OutputFile {
 public:
  Win32OutputFile(HANDLE handle, std::string subject)
      : handle_(handle), subject_(std::move(subject)) {}

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      if (!WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr))
        ThrowLastError(subject_);
      if (written == 0) throw LastErrorFailure(ERROR_WRITE_FAULT, subject_);
      bytes.remove_prefix(written);
    }
  }
  void FlushToDisk() override {
    if (!FlushFileBuffers(handle_.get())) ThrowLastError(subject_);
  }
  void Close() override { handle_.Close(subject_); }

 private:
  OwnedHandle handle_;
  std::string subject_;
};

class Win32UpdateFile final : public UpdateFile {
 public:
  Win32UpdateFile(HANDLE handle, std::string subject)
      : handle_(handle), subject_(std::move(subject)) {}

  // The offset travels with the call, so no file position is kept between writes.
  void WriteByteAt(std::uint64_t offset, char byte) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!WriteFile(handle_.get(), &byte, 1, &written, &at)) ThrowLastError(subject_);
    if (written != 1) throw LastErrorFailure(ERROR_WRITE_FAULT, subject_);
  }
  void Close() override { handle_.Close(subject_); }

 private:
  OwnedHandle handle_;
  std::string subject_;
};

// Windows refuses to write or replace a file with the read-only attribute, for
// administrators too. Wine run by root lets both through, so the attribute is
// asked here as well: the same refusal, with the same error, everywhere.
void RefuseReadOnly(const std::wstring& path, std::string_view subject) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw LastErrorFailure(ERROR_ACCESS_DENIED, subject);
}

// Virus scanners and indexers open new files for a moment; a rename that meets
// them fails with 5 or 32. A read-only target, which fails with 5 for good, has
// been refused before the first try.
bool MayBeTransient(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// Unlocked explicitly: the system releases a lock of a closed handle only
// when it gets round to it, and the next writer is waiting for it.
class Win32FileLock final : public FileLock {
 public:
  explicit Win32FileLock(HANDLE handle) : handle_(handle) {}
  ~Win32FileLock() override {
    if (locked_) {
      OVERLAPPED at{};
      UnlockFileEx(handle_.get(), 0, 1, 0, &at);
    }
  }
  bool TryLock() {
    OVERLAPPED at{};
    locked_ = LockFileEx(handle_.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                         0, &at) != 0;
    return locked_;
  }

 private:
  OwnedHandle handle_;
  bool locked_ = false;
};

}  // namespace

Win32Files::Win32Files(std::string programFolder, std::string driveRoot)
    : programFolder_(std::move(programFolder)), driveRoot_(std::move(driveRoot)) {}

std::wstring Win32Files::Resolve(std::string_view name) const {
  if (IsDrivePath(name)) {
    if (driveRoot_.empty()) return Widen(name);
    return Widen(JoinBelow(driveRoot_, name.substr(3)));
  }
  if (IsRootedPath(name) || programFolder_.empty()) return Widen(name);
  return Widen(JoinBelow(programFolder_, name));
}

std::string Win32Files::ReadAll(std::string_view name) {
  OwnedHandle file(OpenOrThrow(Resolve(name), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               OPEN_EXISTING, name));
  // Read straight into the string, in a few large reads: the solvers read
  // their own program file (a megabyte) as they start, where every call counts.
  // The size is a hint only: a file that grows meanwhile is read to its end.
  LARGE_INTEGER size{};
  std::string content;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1 << 30))
    content.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
  constexpr DWORD kChunk = 1 << 20;
  for (;;) {
    const std::size_t had = content.size();
    const std::size_t room = content.capacity() > had ? content.capacity() - had : kChunk;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(room, kChunk));
    content.resize(had + wanted);
    DWORD got = 0;
    if (!ReadFile(file.get(), content.data() + had, wanted, &got, nullptr)) ThrowLastError(name);
    content.resize(had + got);
    if (got == 0) break;
  }
  file.Close(name);
  return content;
}

void Win32Files::ProbeWritable(std::string_view name) {
  const std::wstring path = Resolve(name);
  RefuseReadOnly(path, name);
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return;  // nothing there yet: the write creates it
    ThrowLastError(name);
  }
  OwnedHandle(handle).Close(name);
}

TemporaryFile Win32Files::CreateTemporaryBeside(std::string_view beside) {
  const std::string stem = std::string(beside) + ".~" + std::to_string(GetCurrentProcessId()) + "-";
  for (int attempt = 0;; ++attempt) {
    const std::string name = stem + std::to_string(attempt) + ".tmp";
    const HANDLE handle = CreateFileW(Resolve(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
      return {name, std::make_unique<Win32OutputFile>(handle, std::string(beside))};
    // A name left by an earlier run with the same process id: take the next one.
    if (GetLastError() != ERROR_FILE_EXISTS || attempt == 99) ThrowLastError(beside);
  }
}

void Win32Files::Replace(std::string_view from, std::string_view to) {
  const std::wstring source = Resolve(from);
  const std::wstring target = Resolve(to);
  RefuseReadOnly(target, to);
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return;
    const DWORD error = GetLastError();
    if (attempt == 4 || !MayBeTransient(error)) throw LastErrorFailure(error, to);
    Sleep(40);
  }
}

std::unique_ptr<UpdateFile> Win32Files::OpenForUpdate(std::string_view name) {
  // Never creates: a missing solver is an error, not an empty new file.
  const std::wstring path = Resolve(name);
  RefuseReadOnly(path, name);
  const HANDLE handle =
      OpenOrThrow(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, name);
  return std::make_unique<Win32UpdateFile>(handle, std::string(name));
}

void Win32Files::RemoveFile(std::string_view name) {
  if (!DeleteFileW(Resolve(name).c_str())) ThrowLastError(name);
}

void Win32Files::RemoveEmptyFolder(std::string_view name) {
  if (!RemoveDirectoryW(Resolve(name).c_str())) ThrowLastError(name);
}

std::unique_ptr<FileLock> Win32Files::LockExclusive(std::string_view name) {
  // Reading is all LockFileEx needs, so a read-only lock file serves too; the
  // other holders keep their handles open, hence the full sharing.
  auto lock = std::make_unique<Win32FileLock>(
      OpenOrThrow(Resolve(name), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS, name));
  constexpr int kStepMs = 10;
  for (int waited = 0;; waited += kStepMs) {
    if (lock->TryLock()) return lock;
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION) throw LastErrorFailure(error, name);
    if (waited >= kLockPatienceMs) throw LastErrorFailure(ERROR_LOCK_VIOLATION, name);
    Sleep(kStepMs);
  }
}

}  // namespace zel::platform
