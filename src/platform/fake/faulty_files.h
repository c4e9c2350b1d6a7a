// Files that fail on request, for tests of what a failure leaves behind. Every
// operation, on the files or on an open handle, is one numbered call; call k
// can be made to fail with a given error instead of running, as SQLite's I/O
// error tests do. It also counts the handles still open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zel::platform {

class FaultyFiles final : public Files {
 public:
  explicit FaultyFiles(Files& real) : real_(real) {}

  // Call number `call` (1-based, counted from now) fails with `error`; 0 never.
  // With `persistent`, every call from then on fails too.
  void FailCall(int call, std::int32_t error, bool persistent = false);
  // Every call whose name is `operation` ("WriteByteAt", "Replace", ...) from
  // the n-th such call on fails, the n-th only unless persistent.
  void FailOperation(std::string operation, int nth, std::int32_t error, bool persistent = false);

  int calls() const { return calls_; }
  int openHandles() const { return openHandles_; }
  const std::vector<std::string>& log() const { return log_; }  // "Write enfo00.dat", ...

  std::string ReadAll(std::string_view name) override;
  void ProbeWritable(std::string_view name) override;
  TemporaryFile CreateTemporaryBeside(std::string_view beside) override;
  void Replace(std::string_view from, std::string_view to) override;
  std::unique_ptr<UpdateFile> OpenForUpdate(std::string_view name) override;
  void RemoveFile(std::string_view name) override;
  void RemoveEmptyFolder(std::string_view name) override;
  std::unique_ptr<FileLock> LockExclusive(std::string_view name) override;

  // Counts and maybe fails one call; used by the handle wrappers too.
  void Enter(std::string_view operation, std::string_view subject);
  void HandleClosed() { --openHandles_; }

 private:
  Files& real_;
  int calls_ = 0;
  int failAt_ = 0;
  std::string failOperation_;
  int operationCount_ = 0;
  std::int32_t error_ = 0;
  bool persistent_ = false;
  int openHandles_ = 0;
  std::vector<std::string> log_;
};

}  // namespace zel::platform
