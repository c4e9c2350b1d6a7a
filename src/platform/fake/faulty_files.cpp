#include "platform/fake/faulty_files.h"

#include "platform/failure.h"

namespace zel::platform {
namespace {

// A failing close still releases the handle, as close(2) and CloseHandle do.
template <typename Handle>
void CloseCounted(FaultyFiles& files, bool& open, std::unique_ptr<Handle>& real,
                  const std::string& subject) {
  open = false;
  files.HandleClosed();
  try {
    files.Enter("Close", subject);
  } catch (...) {
    real.reset();
    throw;
  }
  real->Close();
}

class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(FaultyFiles& files, std::unique_ptr<OutputFile> real, std::string subject)
      : files_(files), real_(std::move(real)), subject_(std::move(subject)) {}
  ~FaultyOutputFile() override {
    if (open_) files_.HandleClosed();
  }
  void Write(std::string_view bytes) override {
    files_.Enter("Write", subject_);
    real_->Write(bytes);
  }
  void FlushToDisk() override {
    files_.Enter("FlushToDisk", subject_);
    real_->FlushToDisk();
  }
  void Close() override { CloseCounted(files_, open_, real_, subject_); }

 private:
  FaultyFiles& files_;
  std::unique_ptr<OutputFile> real_;
  std::string subject_;
  bool open_ = true;
};

class FaultyUpdateFile final : public UpdateFile {
 public:
  FaultyUpdateFile(FaultyFiles& files, std::unique_ptr<UpdateFile> real, std::string subject)
      : files_(files), real_(std::move(real)), subject_(std::move(subject)) {}
  ~FaultyUpdateFile() override {
    if (open_) files_.HandleClosed();
  }
  void WriteByteAt(std::uint64_t offset, char byte) override {
    files_.Enter("WriteByteAt", subject_);
    real_->WriteByteAt(offset, byte);
  }
  void Close() override { CloseCounted(files_, open_, real_, subject_); }

 private:
  FaultyFiles& files_;
  std::unique_ptr<UpdateFile> real_;
  std::string subject_;
  bool open_ = true;
};

class FaultyLock final : public FileLock {
 public:
  FaultyLock(FaultyFiles& files, std::unique_ptr<FileLock> real)
      : files_(files), real_(std::move(real)) {}
  ~FaultyLock() override { files_.HandleClosed(); }

 private:
  FaultyFiles& files_;
  std::unique_ptr<FileLock> real_;
};

}  // namespace

void FaultyFiles::FailCall(int call, std::int32_t error, bool persistent) {
  failAt_ = call == 0 ? 0 : calls_ + call;
  failOperation_.clear();
  error_ = error;
  persistent_ = persistent;
}

void FaultyFiles::FailOperation(std::string operation, int nth, std::int32_t error,
                                bool persistent) {
  failAt_ = 0;
  failOperation_ = std::move(operation);
  operationCount_ = 0;
  failAt_ = nth;
  error_ = error;
  persistent_ = persistent;
}

void FaultyFiles::Enter(std::string_view operation, std::string_view subject) {
  ++calls_;
  log_.push_back(std::string(operation) + " " + std::string(subject));
  bool fail;
  if (!failOperation_.empty()) {
    if (operation != failOperation_) return;
    ++operationCount_;
    fail = persistent_ ? operationCount_ >= failAt_ : operationCount_ == failAt_;
  } else {
    fail = failAt_ != 0 && (persistent_ ? calls_ >= failAt_ : calls_ == failAt_);
  }
  if (fail) throw Failure{error_, "injected failure", std::string(subject)};
}

std::string FaultyFiles::ReadAll(std::string_view name) {
  Enter("ReadAll", name);
  return real_.ReadAll(name);
}

void FaultyFiles::ProbeWritable(std::string_view name) {
  Enter("ProbeWritable", name);
  real_.ProbeWritable(name);
}

TemporaryFile FaultyFiles::CreateTemporaryBeside(std::string_view beside) {
  Enter("CreateTemporaryBeside", beside);
  TemporaryFile temporary = real_.CreateTemporaryBeside(beside);
  ++openHandles_;
  temporary.file =
      std::make_unique<FaultyOutputFile>(*this, std::move(temporary.file), std::string(beside));
  return temporary;
}

void FaultyFiles::Replace(std::string_view from, std::string_view to) {
  Enter("Replace", to);
  real_.Replace(from, to);
}

std::unique_ptr<UpdateFile> FaultyFiles::OpenForUpdate(std::string_view name) {
  Enter("OpenForUpdate", name);
  auto file = real_.OpenForUpdate(name);
  ++openHandles_;
  return std::make_unique<FaultyUpdateFile>(*this, std::move(file), std::string(name));
}

void FaultyFiles::RemoveFile(std::string_view name) {
  Enter("RemoveFile", name);
  real_.RemoveFile(name);
}

void FaultyFiles::RemoveEmptyFolder(std::string_view name) {
  Enter("RemoveEmptyFolder", name);
  real_.RemoveEmptyFolder(name);
}

// The release is no numbered call: a destructor cannot fail.
std::unique_ptr<FileLock> FaultyFiles::LockExclusive(std::string_view name) {
  Enter("LockExclusive", name);
  auto lock = real_.LockExclusive(name);
  ++openHandles_;
  return std::make_unique<FaultyLock>(*this, std::move(lock));
}

}  // namespace zel::platform
